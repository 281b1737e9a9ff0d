#pragma once
// The two reference tables the dealer keeps for quoting, the automobile tax table CarTax.db and
// the compulsory insurance table CarInSure.db, and the column width files of their windows.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::pricing {

/// CarTax.db: 車種 first, then the displacement class and the yearly and monthly tax.
const table::TableSchema& carTaxSchema();
/// CarInSure.db: 車種 first, then the premium for each usual insurance period in months.
const table::TableSchema& carInsureSchema();

/// Opens (creating when missing) the table in the CARDATA directory.
std::unique_ptr<table::Cursor> openCarTaxTable(const std::string& cardataDirectory);
std::unique_ptr<table::Cursor> openCarInsureTable(const std::string& cardataDirectory);

/// One line pair of a width file: a field number (1-based) and a display width in characters.
using ColumnWidth = std::pair<int, int>;

/// The pairs of a width file in order; a last line without its partner is dropped. Nothing (an
/// empty list) when the file does not exist. Throws FileError when it cannot be read.
std::vector<ColumnWidth> loadColumnWidths(const std::string& path);

/// Writes the width file anew, one pair per column. Throws FileError.
void saveColumnWidths(const std::string& path, const std::vector<ColumnWidth>& widths);

/// Gives the cursor's columns the widths read (the windows show the fields in table order, so the
/// column at position field number − 1 is that field). A field number outside the table's columns is ignored; a width below 1 counts as 1.
void applyColumnWidths(table::Cursor& cursor, const std::vector<ColumnWidth>& widths);

}  // namespace vendaro::pricing

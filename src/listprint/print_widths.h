#pragma once
// The print width table EstLen.DB: one integer field per estimate field, named like it; the
// current record gives each list column its width in bytes.

#include <memory>
#include <string>

#include "platform/table/cursor.h"

namespace vendaro::listprint {

/// The schema of EstLen.DB: the 123 estimate field names, all integers, in table order.
const table::TableSchema& printWidthSchema();

/// The width a new installation gives the estimate field of that number (0-based): dates 22
/// bytes, names and addresses wide enough for their usual text, amounts 11.
int defaultPrintWidth(int field);

/// Opens EstLen.DB in the CARDATA directory. A table that was just created (or holds no record)
/// gets one record of the default widths. The cursor is on the first record.
std::unique_ptr<table::Cursor> openPrintWidthTable(const std::string& cardataDirectory);

}  // namespace vendaro::listprint

#pragma once
// The embedded home of a table: one SQLite file in the CARDATA directory, held with an exclusive
// lock for as long as it is open, so that no other process changes it meanwhile.

#include <memory>
#include <string>

#include "platform/table/backend.h"

namespace vendaro::table {

/// Opens the table's file in `directory`, creating it empty (fields and indexes) when it is
/// missing. Throws TableError naming the file when it is not a table of this schema, cannot be
/// opened, or is in use by another process; such a file is left unchanged. Everything read until
/// finishOpen is read inside the opening transaction.
std::unique_ptr<Backend> openSqliteTable(const std::string& directory, const TableSchema& schema);

/// Opens a table file that another program owns, for reading only and without holding its lock,
/// so that its owner can go on reading and writing it meanwhile. The schema's fields are found by
/// name among the file's columns, whatever their order and whatever other columns it has. Never
/// creates the file: a missing one throws TableError naming it, a missing field fieldNotFound.
std::unique_ptr<Backend> openSqliteTableShared(const std::string& directory, const TableSchema& schema);

/// True when the table's file exists in the directory.
bool sqliteTableExists(const std::string& directory, const TableSchema& schema);

}  // namespace vendaro::table

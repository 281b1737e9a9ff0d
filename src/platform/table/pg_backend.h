#pragma once
// The shared home of a table: a table of a PostgreSQL database, reached through libpq, that the
// seats of a dealership use at the same time. Text is kept as bytea, so that comparisons stay byte
// comparisons; integers as 32-bit integers; the empty field as NULL. Every record carries a
// version that each write raises, so a write names the version it read and is refused when another
// seat wrote the record meanwhile. The tables of one database share one connection per process.

#include <memory>
#include <string>

#include "platform/table/backend.h"

namespace vendaro::table {

/// Opens the table in the database `location` names (a libpq URI or connection string, which must
/// not hold a password: libpq reads it from ~/.pgpass or the service file), creating it empty
/// (fields and indexes) when it is missing. Throws TableError naming the table when it cannot be
/// reached or is not a table of this schema.
std::unique_ptr<Backend> openPostgresTable(const std::string& location, const TableSchema& schema);

/// Opens a table of the database that another program owns, for reading; never creates it: a
/// missing one throws TableError naming it.
std::unique_ptr<Backend> openPostgresTableShared(const std::string& location, const TableSchema& schema);

/// True when the database holds the table.
bool postgresTableExists(const std::string& location, const TableSchema& schema);

}  // namespace vendaro::table

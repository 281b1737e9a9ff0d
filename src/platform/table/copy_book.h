#pragma once
// Moving a whole book between two homes: the tables of a directory into a database, or back.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/table/schema.h"

namespace vendaro::table {

/// Copies every table of `schemas` that `from` holds into `to` (places as CARDATA names them: a
/// directory or a database), record for record in entry order, so that both hold the same records
/// in the same orders. Tables `from` lacks are left out. Refuses, before writing anything, when
/// both name one place, when `from` holds none of the tables, or when `to` already holds a record
/// in any of them. The tables of one database are written in one transaction; a table file is
/// written whole or not at all. Returns each copied table's name and record count.
std::vector<std::pair<std::string, int64_t>> copyBook(const std::string& from, const std::string& to,
                                                      const std::vector<const TableSchema*>& schemas);

}  // namespace vendaro::table

#pragma once
// Filter texts of the table engine, read into SQL with bound values.
//
// A filter is one or more comparisons joined by "and", each usually in parentheses:
//   (作成日 >= '平成１５年０２月２１日') and  (作成日 <= '平成１５年０３月２０日')
//   (氏名 = 'O''Brien')          inner quotes are doubled
//   (作成日 = '平成１５年０３月*') a trailing * makes = a prefix match
// Operators are =, >=, <=, and also <>, <, >. Text fields compare as bytes (CP932 byte order); an
// empty field compares as the empty text. Integer fields compare as numbers.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/table/schema.h"

namespace vendaro::table {

/// The SQL a condition is written in: the embedded engine's, or the database server's. Filters
/// read the same in both; both mark each bound value with "?", which the server's backend
/// numbers as it sends the statement.
enum class Dialect { Sqlite, Postgres };

/// A value bound into SQL: an integer or a text (bound as a BLOB of CP932 bytes).
using SqlValue = std::variant<int64_t, std::string>;

/// A filter made ready for SQL: a condition over the table's columns and the values it binds, in
/// order. An empty condition selects every record.
struct SqlCondition {
  std::string sql;
  std::vector<SqlValue> values;
};

/// Reads a filter text (CP932) for the schema. Throws TableError for a field the table does not
/// have, for a value an integer field cannot take, and for text that is not a filter.
SqlCondition compileFilter(std::string_view text, const TableSchema& schema);

/// The condition "field starts with prefix" (prefix in CP932).
SqlCondition prefixCondition(int field, std::string_view prefix, const TableSchema& schema,
                             Dialect dialect = Dialect::Sqlite);

}  // namespace vendaro::table

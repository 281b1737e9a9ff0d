#pragma once
// The description of one table: its fields in order, its natural order and its named indexes.
// One declarative list drives the SQL schema, the field lookup and the list views.

#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vendaro::table {

/// An error of the table engine. what() is the engine's message in CP932.
class TableError : public std::runtime_error {
 public:
  explicit TableError(const std::string& cp932Message) : std::runtime_error(cp932Message) {}
};

/// A post or delete refused because another seat wrote or deleted the record since this seat read
/// it. Nothing was written; the edit stays in the record buffer.
class RecordConflict : public TableError {
 public:
  enum class Kind { Changed, Deleted };
  RecordConflict(Kind kind, bool deleting);
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

/// "項目 '<name>' が見つかりません": a field the table does not have.
TableError fieldNotFound(std::string_view name);
/// "'<value>' は項目 '<field>' に適した整数値ではありません": text an integer field cannot take.
TableError notAnIntegerFor(std::string_view value, std::string_view field);
/// "'<value>' は有効な整数値ではありません": a text field read as an integer that holds no integer.
TableError notAnInteger(std::string_view value);

enum class FieldType { Integer, Text };

/// One field. Names are CP932 bytes, matched exactly.
struct FieldDef {
  std::string name;
  FieldType type = FieldType::Text;
  int displayWidth = 10;  ///< characters shown in a list view
  bool visible = true;    ///< shown as a list column
};

/// One key of an order: a field number (0-based) and its direction.
struct SortKey {
  int field = 0;
  bool descending = false;
};

/// A named secondary index: its keys, then entry order (ascending or descending) for ties.
struct IndexDef {
  std::string name;  ///< CP932
  std::vector<SortKey> keys;
  bool tiesDescending = false;
};

class TableSchema {
 public:
  /// `fileName` is the table's file in the CARDATA directory. `naturalOrder` is the order with no
  /// index (ties in entry order); empty means entry order alone. `searchFields` get a plain SQL
  /// index so that filters on them stay fast.
  TableSchema(std::string fileName, std::vector<FieldDef> fields, std::vector<SortKey> naturalOrder = {},
              std::vector<IndexDef> indexes = {}, std::vector<int> searchFields = {});

  const std::string& fileName() const { return fileName_; }
  const std::vector<FieldDef>& fields() const { return fields_; }
  int fieldCount() const { return static_cast<int>(fields_.size()); }
  const FieldDef& field(int i) const { return fields_.at(static_cast<std::size_t>(i)); }
  /// The field number (0-based) of a name, or -1.
  int find(std::string_view name) const;
  const std::vector<SortKey>& naturalOrder() const { return naturalOrder_; }
  const std::vector<IndexDef>& indexes() const { return indexes_; }
  /// The index of that name, or null.
  const IndexDef* index(std::string_view name) const;
  const std::vector<int>& searchFields() const { return searchFields_; }
  /// The SQL column of field i: its name in UTF-8 as a quoted identifier.
  const std::string& column(int i) const { return columns_.at(static_cast<std::size_t>(i)); }

 private:
  std::string fileName_;
  std::vector<FieldDef> fields_;
  std::vector<SortKey> naturalOrder_;
  std::vector<IndexDef> indexes_;
  std::vector<int> searchFields_;
  std::vector<std::string> columns_;
  std::unordered_map<std::string, int> byName_;
};

}  // namespace vendaro::table

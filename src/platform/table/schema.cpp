#include "platform/table/schema.h"

#include "platform/sjis.h"

namespace vendaro::table {
namespace {
std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }
}  // namespace

namespace {
std::string conflictMessage(RecordConflict::Kind kind, bool deleting) {
  if (kind == RecordConflict::Kind::Deleted)
    return sjis::lit(deleting ? "このレコードは他の席で削除されています"
                              : "このレコードは他の席で削除されたため保存できません。入力した内容は画面に残っています");
  return sjis::lit(deleting ? "このレコードは読み込んだ後に他の席で変更されたため削除できません。"
                              "最新の内容を読み込んでから操作し直してください"
                            : "このレコードは読み込んだ後に他の席で変更されたため保存できません。"
                              "入力した内容は画面に残っています。取り消して最新の内容を読み込み、入力し直してください");
}
}  // namespace

RecordConflict::RecordConflict(Kind kind, bool deleting) : TableError(conflictMessage(kind, deleting)), kind_(kind) {}

TableError fieldNotFound(std::string_view name) {
  return TableError(sjis::lit("項目 ") + quoted(name) + sjis::lit(" が見つかりません"));
}

TableError notAnIntegerFor(std::string_view value, std::string_view field) {
  return TableError(quoted(value) + sjis::lit(" は項目 ") + quoted(field) + sjis::lit(" に適した整数値ではありません"));
}

TableError notAnInteger(std::string_view value) {
  return TableError(quoted(value) + sjis::lit(" は有効な整数値ではありません"));
}

TableSchema::TableSchema(std::string fileName, std::vector<FieldDef> fields, std::vector<SortKey> naturalOrder,
                         std::vector<IndexDef> indexes, std::vector<int> searchFields)
    : fileName_(std::move(fileName)),
      fields_(std::move(fields)),
      naturalOrder_(std::move(naturalOrder)),
      indexes_(std::move(indexes)),
      searchFields_(std::move(searchFields)) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    byName_.emplace(fields_[i].name, static_cast<int>(i));
    std::string utf8 = sjis::toUtf8(fields_[i].name);
    std::string column = "\"";
    for (char c : utf8) column += c == '"' ? std::string("\"\"") : std::string(1, c);
    columns_.push_back(column + "\"");
  }
}

int TableSchema::find(std::string_view name) const {
  auto it = byName_.find(std::string(name));
  return it == byName_.end() ? -1 : it->second;
}

const IndexDef* TableSchema::index(std::string_view name) const {
  for (const auto& index : indexes_)
    if (index.name == name) return &index;
  return nullptr;
}

}  // namespace vendaro::table

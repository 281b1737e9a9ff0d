#include "entry/register.h"

#include "entry/postal.h"
#include "platform/sjis.h"

namespace vendaro::entry {

const table::TableSchema& registerSchema() {
  static const table::TableSchema schema = [] {
    std::vector<table::FieldDef> fields;
    for (const char* name : {"電話番号", "使用者住所", "使用者ふりがな", "使用者", "車名", "自動車登録番号", "車台番号", "型式",
                             "初度登録年月", "自賠責期間至", "有効期間の満了する日"})
      fields.push_back({sjis::lit(name), table::FieldType::Text, 20});
    return table::TableSchema("INDATA.db", std::move(fields));
  }();
  return schema;
}

std::unique_ptr<table::Cursor> openRegister(const std::string& cardataDirectory) {
  // The sibling program's table, only read: in the table directory, or in the shared book's
  // database when CARDATA names one.
  return table::Cursor::openShared(cardataDirectory, registerSchema());
}

std::string prefixFilter(const std::string& field, const std::string& text) {
  std::string quoted = "'";
  for (char c : text + "*") {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return "(" + field + " = " + quoted + "')";
}

void copyRegisterRow(const table::Cursor& reg, table::Cursor& estimate, const std::string& programDirectory) {
  static const std::pair<std::string, std::string> copies[] = {
      {sjis::lit("電話番号"), sjis::lit("電話番号")},   {sjis::lit("住所"), sjis::lit("使用者住所")},
      {sjis::lit("ふりがな"), sjis::lit("使用者ふりがな")}, {sjis::lit("氏名"), sjis::lit("使用者")},
      {sjis::lit("下取車1"), sjis::lit("車名")},         {sjis::lit("下取車2"), sjis::lit("自動車登録番号")},
      {sjis::lit("下取車3"), sjis::lit("車台番号")},     {sjis::lit("下取車4"), sjis::lit("型式")},
      {sjis::lit("下取車5"), sjis::lit("初度登録年月")}, {sjis::lit("下取車6"), sjis::lit("自賠責期間至")},
  };
  // Read everything first, so that a failing lookup leaves the estimate untouched.
  const std::string code = postRead(programDirectory, reg.text(sjis::lit("使用者住所")));
  if (estimate.state() == table::Cursor::State::Browse) estimate.edit();
  for (const auto& [to, from] : copies) estimate.setText(to, reg.text(from));
  estimate.setText(sjis::lit("郵便番号"), code);
}

}  // namespace vendaro::entry

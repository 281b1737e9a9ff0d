#include "pricing/reference_tables.h"

#include <algorithm>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::pricing {
namespace {
table::FieldDef text(const char* utf8, int width) { return {sjis::lit(utf8), table::FieldType::Text, width, true}; }
table::FieldDef yen(const char* utf8) { return {sjis::lit(utf8), table::FieldType::Integer, 10, true}; }
}  // namespace

const table::TableSchema& carTaxSchema() {
  static const table::TableSchema schema("CarTax.db",
                                         {text("車種", 24), text("排気量", 14), yen("年税額"), yen("月割額")});
  return schema;
}

const table::TableSchema& carInsureSchema() {
  static const table::TableSchema schema("CarInSure.db",
                                         {text("車種", 24), yen("保険料12"), yen("保険料13"), yen("保険料24"),
                                          yen("保険料25"), yen("保険料36"), yen("保険料37")});
  return schema;
}

std::unique_ptr<table::Cursor> openCarTaxTable(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  return table::Cursor::open(cardataDirectory, carTaxSchema());
}

std::unique_ptr<table::Cursor> openCarInsureTable(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  return table::Cursor::open(cardataDirectory, carInsureSchema());
}

std::vector<ColumnWidth> loadColumnWidths(const std::string& path) {
  SettingsLines lines = SettingsLines::load(path);
  std::vector<ColumnWidth> widths;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
    widths.emplace_back(sjis::leadingInt(lines.text(i)), sjis::leadingInt(lines.text(i + 1)));
  return widths;
}

void saveColumnWidths(const std::string& path, const std::vector<ColumnWidth>& widths) {
  std::vector<std::string> lines;
  for (const auto& [field, width] : widths) {
    lines.push_back(std::to_string(field));
    lines.push_back(std::to_string(width));
  }
  writeSettingsLines(path, lines);
}

void applyColumnWidths(table::Cursor& cursor, const std::vector<ColumnWidth>& widths) {
  for (const auto& [field, width] : widths) {
    if (field < 1 || field > cursor.schema().fieldCount()) continue;
    cursor.setDisplayWidth(field - 1, std::max(width, 1));
  }
}

}  // namespace vendaro::pricing

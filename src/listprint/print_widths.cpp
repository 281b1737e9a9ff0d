#include "listprint/print_widths.h"

#include "book/estimate_fields.h"
#include "platform/sjis.h"

namespace vendaro::listprint {

const table::TableSchema& printWidthSchema() {
  static const table::TableSchema schema = [] {
    std::vector<table::FieldDef> fields;
    for (int i = 0; i < static_cast<int>(book::estimateFields().size()); ++i)
      fields.push_back({book::estimateFieldName(i), table::FieldType::Integer, 8, true});
    return table::TableSchema("EstLen.DB", std::move(fields));
  }();
  return schema;
}

int defaultPrintWidth(int field) {
  const book::EstimateField& f = book::estimateFields().at(static_cast<std::size_t>(field));
  const std::string name = f.nameUtf8;
  struct Wide {
    const char* name;
    int width;
  };
  static const Wide wide[] = {{"ふりがな", 20}, {"氏名", 20},   {"電話番号", 14}, {"郵便番号", 8},
                              {"住所", 40},     {"車種", 20},   {"排気量", 8},    {"型式", 12},
                              {"ミッション", 8}, {"車体色", 10}, {"コメント", 20}, {"年式", 8},
                              {"車検満期", 22}, {"登録番号", 20}, {"走行距離", 10}, {"備考", 30}};
  for (const Wide& w : wide)
    if (name == w.name) return w.width;
  switch (f.kind) {
    case book::FieldKind::Integer: return 8;
    case book::FieldKind::EraDate: return 22;
    case book::FieldKind::Count: return 4;
    case book::FieldKind::Text: return 20;  // line captions and trade-in vehicle lines
    default: return 11;                     // amounts up to "999,999,999" with a blank before
  }
}

std::unique_ptr<table::Cursor> openPrintWidthTable(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  auto cursor = table::Cursor::open(cardataDirectory, printWidthSchema());
  if (cursor->recordCount() == 0) {
    std::vector<std::optional<std::string>> widths;
    for (int i = 0; i < printWidthSchema().fieldCount(); ++i) widths.emplace_back(std::to_string(defaultPrintWidth(i)));
    cursor->appendRecord(widths);
    cursor->first();
  }
  return cursor;
}

}  // namespace vendaro::listprint

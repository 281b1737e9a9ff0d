// The filter text of the table engine, against the estimate table: any text either is refused
// with the engine's error, or becomes SQL that binds every value (nothing typed reaches the SQL
// text) and runs on a real table.

#include <algorithm>
#include <memory>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "fuzz_support.h"
#include "platform/sjis.h"
#include "platform/table/filter.h"

using namespace vendaro;
using fuzz::check;

namespace {

/// A scratch estimate table with a few records: empty fields, Japanese text, negative amounts.
table::Cursor& estimates() {
  static std::unique_ptr<table::Cursor> cursor = [] {
    auto c = book::openEstimateTable(fuzz::scratchDirectory() + "/filter");
    const std::vector<std::vector<std::pair<const char*, const char*>>> records = {
        {{"作成日", "平成１５年０３月２０日"}, {"氏名", "山田太郎"}, {"見積金額", "1234567"}},
        {{"作成日", "令和０６年０２月２９日"}, {"氏名", "O'Brien"}, {"見積金額", "-500"}, {"住所", "東京都"}},
        {{"作成日", "昭和６４年０１月０７日"}},
        {},
    };
    for (const auto& fields : records) {
      c->append();
      for (const auto& [name, value] : fields) c->setText(sjis::lit(name), sjis::lit(value));
      c->post();
    }
    return c;
  }();
  return *cursor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  table::Cursor& cursor = estimates();

  table::SqlCondition condition;
  try {
    condition = table::compileFilter(text, book::estimateSchema());
  } catch (const table::TableError&) {
    return 0;  // refused with the engine's message: what a bad filter should give
  }
  // The only quotes the SQL may hold are those of the empty text x'' that the engine writes itself.
  std::string sql = condition.sql;
  for (std::size_t at; (at = sql.find("x''")) != std::string::npos;) sql.erase(at, 3);
  check(sql.find('\'') == std::string::npos, "a literal reached the SQL text");
  check(static_cast<std::size_t>(std::count(condition.sql.begin(), condition.sql.end(), '?')) ==
            condition.values.size(),
        "placeholders and bound values differ");

  const int all = cursor.recordCount();
  try {
    cursor.setFilter(text);
    cursor.setFiltered(true);
    const int shown = cursor.recordCount();
    check(shown >= 0 && shown <= all, "a filter shows records the table does not have");
    for (cursor.first(); !cursor.eof(); cursor.next()) cursor.text(book::kNameField);
    cursor.setFiltered(false);
  } catch (const table::TableError&) {
    fuzz::fail("a filter that compiled did not run");
  }
  return 0;
}

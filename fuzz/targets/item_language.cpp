// The print item language: arbitrary expressions evaluated in print and screen mode against one
// fixed estimate whose every field is filled (Japanese text, half-width kana, era dates, empty
// fields, bytes that are not valid CP932, amounts at both ends of the 32-bit range). The first two
// bytes pick the layout's date settings.

#include <climits>
#include <memory>
#include <string>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/item_language.h"
#include "fuzz_support.h"
#include "platform/sjis.h"

using namespace vendaro;
using fuzz::check;

namespace {

table::Cursor& estimate() {
  static std::unique_ptr<table::Cursor> cursor = [] {
    auto c = book::openEstimateTable(fuzz::scratchDirectory() + "/item_language");
    const std::string texts[] = {sjis::lit("平成１５年０３月２０日"), sjis::lit("山田　太郎"), sjis::lit("ｿｱﾗ ﾊﾞﾝ"),
                                 std::string(), std::string("\x82"), std::string("123-4567"),
                                 sjis::lit("東京都千代田区１－１"), std::string("\x81\x7f\xff\xa0"), sjis::lit("３ヶ月後")};
    const int32_t numbers[] = {1234567, -500, 0, INT32_MAX, INT32_MIN, 1000000, 7};
    c->append();
    const auto& schema = c->schema();
    for (int i = 1; i < schema.fieldCount(); ++i) {
      if (schema.field(i).type == table::FieldType::Integer)
        c->setInteger(i, numbers[static_cast<std::size_t>(i) % std::size(numbers)]);
      else
        c->setText(i, texts[static_cast<std::size_t>(i) % std::size(texts)]);
    }
    c->setText(book::kCreatedField, texts[0]);
    c->post();
    return c;
  }();
  return *cursor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const formprint::FixedDateSettings layout(in.byte() & 1, static_cast<int>(in.byte()) - 64);
  const std::string_view expression = in.rest();

  static const formprint::CompanyLines company({sjis::lit("東京都港区１－２－３"), sjis::lit("ベンダロ自動車"),
                                                "", "03-0000-0000", "\x83", sjis::lit("ｶﾌﾞｼｷｶﾞｲｼｬ"), "x"});
  int questions = 0;
  const formprint::ItemEvaluator evaluator(estimate(), company, layout, [&questions](const std::string&) {
    return ++questions % 2 == 0;
  });

  evaluator.menuTextCheck(expression, formprint::EvalMode::Print);
  const auto screen = evaluator.menuTextCheck(expression, formprint::EvalMode::Screen);
  check(screen.number == 0 || screen.number == 1, "screen mode gives a date flag other than 0 or 1");
  check(questions <= 1, "one expression asked more than once");
  const auto value = evaluator.itemChange(expression);
  check(value.number == 0 || value.number == 1, "itemChange gives a date flag other than 0 or 1");
  const auto item = evaluator.changeItem(expression);
  check(item.number == 0 || item.number == 1, "changeItem gives a date flag other than 0 or 1");
  return 0;
}

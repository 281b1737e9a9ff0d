#include "pricing/discount.h"

#include <climits>

#include "platform/sjis.h"

namespace vendaro::pricing {
namespace {
std::string f(const char* utf8) { return sjis::lit(utf8); }
}  // namespace

std::vector<std::string> discountChoices(std::string_view quotedText) {
  std::vector<std::string> choices;
  for (std::size_t n = 1; n <= 4; ++n) {
    std::string_view tail = quotedText.size() > n ? quotedText.substr(quotedText.size() - n) : quotedText;
    choices.push_back(std::string(tail) + f("円"));
  }
  return choices;
}

int64_t discountReduction(std::string_view typed, const std::optional<std::string>& choice, int64_t quoted) {
  int64_t wanted = sjis::leadingInt(typed);
  if (wanted != 0) return quoted - wanted;
  if (choice) return sjis::leadingInt(*choice);
  return 0;
}

void applyDiscount(table::Cursor& cursor, int64_t reduction, int32_t rate) {
  if (reduction == 0) return;
  const int64_t scaled = reduction * 100;  // |reduction| < 2^33, so this fits 64 bits
  if (scaled < INT32_MIN || scaled > INT32_MAX)
    throw DiscountRefused(f("値引き額が大きすぎるため計算できません"));
  const int64_t divisor = 100 + static_cast<int64_t>(rate);
  if (divisor == 0) throw DiscountRefused(f("消費税率が -100 のため値引きを計算できません"));

  AmountSheet s(cursor);
  s.set(f("車両価格2"), s.get(f("車両価格2")) - scaled / divisor);
  s.set(f("車両価格3"), s.get(f("車両価格1")) + s.get(f("車両価格2")));
  if (s.text(f("車両項目2")).empty()) s.setText(f("車両項目2"), f("値引き"));
  carCalc(s, 3, rate);

  const std::string quoted = std::to_string(s.get(f("見積金額")));
  const char last = quoted.back();
  if (last == '1') s.set(f("車両価格2"), s.get(f("車両価格2")) - 1);
  if (last == '9') s.set(f("車両価格2"), s.get(f("車両価格2")) + 1);
  if (last != '0') {
    s.set(f("車両価格3"), s.get(f("車両価格1")) + s.get(f("車両価格2")));
    carCalc(s, 3, rate);
  }
  s.commit(cursor);
}

}  // namespace vendaro::pricing

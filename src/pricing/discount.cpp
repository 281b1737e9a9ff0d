#include "pricing/discount.h"

#include <climits>

#include "platform/sjis.h"

namespace vendaro::pricing {
namespace {
std::string f(const char* utf8) { return sjis::lit(utf8); }

std::string numbered(const char* prefixUtf8, int n) { return f(prefixUtf8) + std::to_string(n); }
}  // namespace

std::vector<std::string> discountChoices(std::string_view quotedText) {
  std::vector<std::string> choices;
  for (std::size_t n = 1; n <= 4; ++n) {
    std::string_view tail = quotedText.size() > n ? quotedText.substr(quotedText.size() - n) : quotedText;
    choices.push_back(std::string(tail) + f("円"));
  }
  return choices;
}

std::optional<int64_t> discountTarget(std::string_view typed, const std::optional<std::string>& choice,
                                      int64_t quoted, std::string_view boxCaption) {
  bool blank = true;
  for (char c : typed) blank = blank && (c == ' ' || c == '\t');
  if (!blank) {
    auto amount = readAmount(typed);
    if (!amount)
      throw DiscountRefused("'" + std::string(typed) + f("' は「") + std::string(boxCaption) +
                            f("」に指定できる金額ではありません"));
    if (*amount != 0) return *amount;
  }
  if (!choice) return std::nullopt;
  const int64_t reduction = sjis::leadingInt(*choice);
  if (reduction == 0) return std::nullopt;
  return quoted - reduction;
}

DiscountOutcome applyDiscount(table::Cursor& cursor, int64_t target, int32_t rate) {
  AmountSheet s(cursor);
  const int64_t quoted = s.get(f("見積金額"));
  if (target == quoted) return {target, quoted};
  if (target <= 0) throw DiscountRefused(f("請求額には 1 円以上の金額を指定してください"));
  // Below -100 % a higher price would give a lower quote; -100 % makes every quote the same.
  if (rate <= -100)
    throw DiscountRefused(f("消費税率が ") + std::to_string(rate) + f(" のため値引きを計算できません"));

  // With every tax at the rate, the quote is 車両価格3 + its tax + what the other lines give.
  int64_t others = s.get(f("諸費用合計")) + taxOf(s.get(f("小計")), rate) - s.get(f("頭金合計"));
  for (int line = 4; line <= 6; ++line) {
    const int64_t amount = s.get(numbered("車両価格", line));
    others += amount + taxOf(amount, rate);
  }
  const int64_t wanted = target - others;  // what 車両価格3 and its tax are to make
  auto withTax = [rate](int64_t v) { return v + taxOf(v, rate); };

  // v + tax(v) never falls as v rises (for rates above -100), so the largest 車両価格3 whose
  // share is not above the wanted one gives the target exactly whenever any figure does.
  int64_t lo = INT32_MIN, hi = INT32_MAX;
  if (withTax(lo) > wanted) throw AmountTooLarge(f("車両価格3"));
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo + 1) / 2;
    if (withTax(mid) <= wanted) lo = mid;
    else hi = mid - 1;
  }
  const int64_t body = s.get(f("車両価格1"));
  s.set(f("車両価格2"), lo - body);
  s.set(f("車両価格3"), body + s.get(f("車両価格2")));
  if (s.text(f("車両項目2")).empty()) s.setText(f("車両項目2"), f("値引き"));
  allTaxes(s, rate);
  const DiscountOutcome outcome{target, s.get(f("見積金額"))};
  s.commit(cursor);
  return outcome;
}

std::string inexactDiscountHint(const DiscountOutcome& outcome) {
  return f(" 消費税の端数のため、ちょうど ") + std::to_string(outcome.asked) + f(" 円にはできません。") +
         std::to_string(outcome.reached) + f(" 円にしました。");
}

}  // namespace vendaro::pricing

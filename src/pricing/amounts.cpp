#include "pricing/amounts.h"

#include <climits>

#include "platform/sjis.h"

namespace vendaro::pricing {
namespace {
std::string f(const char* utf8) { return sjis::lit(utf8); }

std::string numbered(std::string_view prefix, int n) { return std::string(prefix) + std::to_string(n); }
}  // namespace

AmountTooLarge::AmountTooLarge(const std::string& field)
    : std::runtime_error(sjis::lit("「") + field + sjis::lit("」の金額が大きすぎるため計算できません")),
      field_(field) {}

int64_t AmountSheet::get(std::string_view field) const {
  if (auto it = values_.find(field); it != values_.end()) return it->second;
  return cursor_.integer(field);
}

void AmountSheet::set(std::string_view field, int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) throw AmountTooLarge(std::string(field));
  cursor_.fieldIndex(field);  // a field the table lacks ends the recalculation before any write
  auto it = values_.find(field);
  if (it == values_.end()) {
    order_.emplace_back(field);
    values_.emplace(std::string(field), value);
  } else {
    it->second = value;
  }
}

int64_t AmountSheet::sum(std::string_view prefix, int from, int to) const {
  int64_t total = 0;
  for (int i = from; i <= to; ++i) total += get(numbered(prefix, i));
  return total;
}

std::string AmountSheet::text(std::string_view field) const {
  if (auto it = texts_.find(field); it != texts_.end()) return it->second;
  return cursor_.text(field);
}

void AmountSheet::setText(std::string_view field, std::string value) {
  cursor_.fieldIndex(field);
  texts_[std::string(field)] = std::move(value);
}

void AmountSheet::commit(table::Cursor& cursor) const {
  if (cursor.state() == table::Cursor::State::Browse) cursor.edit();
  for (const auto& field : order_) cursor.setInteger(field, static_cast<int32_t>(values_.find(field)->second));
  for (const auto& [field, value] : texts_) cursor.setText(field, value);
}

int64_t taxOf(int64_t amount, int32_t rate) { return amount * rate / 100; }  // C++ truncates toward zero

void carCalc(AmountSheet& s, int line, int32_t rate) {
  if (line < 3 || line > 6) throw std::invalid_argument("vehicle line 3 to 6");
  s.set(numbered(f("車両消費税"), line), taxOf(s.get(numbered(f("車両価格"), line)), rate));
  s.set(f("車両合計"), s.sum(f("車両価格"), 3, 6));
  s.set(f("車両消費税"), s.sum(f("車両消費税"), 3, 6));
  s.set(f("販売合計"), s.get(f("車両合計")) + s.get(f("車両消費税")) + s.get(f("諸費用合計")) + s.get(f("諸費用消費税")));
  s.set(f("見積金額"), s.get(f("販売合計")) - s.get(f("頭金合計")));
}

void vehicleBody(AmountSheet& s, int32_t rate) {
  s.set(f("車両価格3"), s.get(f("車両価格1")) + s.get(f("車両価格2")));
  carCalc(s, 3, rate);
}

void optionTotal(AmountSheet& s, int32_t rate) {
  s.set(f("オプション合計"), s.sum(f("オプション金額"), 1, 6));
  s.set(f("車両価格4"), s.get(f("オプション合計")));
  carCalc(s, 4, rate);
}

void accessoryTotal(AmountSheet& s, int32_t rate) {
  s.set(f("付属品合計"), s.sum(f("付属品金額"), 1, 10));
  s.set(f("車両価格5"), s.get(f("付属品合計")));
  carCalc(s, 5, rate);
}

void costs(AmountSheet& s, int32_t rate) {
  s.set(f("小計"), s.sum(f("販売費用"), 1, 8));
  s.set(f("小計消費税"), taxOf(s.get(f("小計")), rate));
  s.set(f("諸費用消費税"), s.get(f("小計消費税")));
  s.set(f("諸費用合計"), s.get(f("小計")) + s.sum(f("販売費用"), 9, 13) + s.sum(f("税金"), 1, 5) + s.sum(f("保険"), 1, 3));
  s.set(f("販売合計"), s.get(f("車両合計")) + s.get(f("車両消費税")) + s.get(f("諸費用合計")) + s.get(f("諸費用消費税")));
  s.set(f("見積金額"), s.get(f("販売合計")) - s.get(f("頭金合計")));
}

void downPayment(AmountSheet& s) {
  s.set(f("頭金合計"), s.sum(f("頭金"), 1, 3));
  s.set(f("見積金額"), s.get(f("販売合計")) - s.get(f("頭金合計")));
}

void Amounts::run(const std::function<void(AmountSheet&, int32_t)>& steps) {
  AmountSheet sheet(cursor_);
  steps(sheet, rate_());
  sheet.commit(cursor_);
}

void Amounts::CarCalc(int line) {
  run([line](AmountSheet& s, int32_t rate) { carCalc(s, line, rate); });
}
void Amounts::DBEdit1Exit() { run(vehicleBody); }
void Amounts::DBEdit3Exit() { CarCalc(3); }
void Amounts::DBEdit5Exit() { CarCalc(4); }
void Amounts::DBEdit7Exit() { CarCalc(5); }
void Amounts::DBEdit9Exit() { CarCalc(6); }
void Amounts::DBEdit56Exit() { run(optionTotal); }
void Amounts::DBEdit63Exit() { run(accessoryTotal); }
void Amounts::DBEdit17Exit() { run(costs); }
void Amounts::DBEdit13Exit() {
  run([](AmountSheet& s, int32_t) { downPayment(s); });
}

const std::vector<std::pair<std::string, Amounts::Handler>>& Amounts::exitHandlers() {
  static const std::vector<std::pair<std::string, Handler>> table = [] {
    std::vector<std::pair<std::string, Handler>> t = {
        {"DBEdit1", &Amounts::DBEdit1Exit}, {"DBEdit2", &Amounts::DBEdit1Exit}, {"DBEdit3", &Amounts::DBEdit3Exit},
        {"DBEdit5", &Amounts::DBEdit5Exit}, {"DBEdit7", &Amounts::DBEdit7Exit}, {"DBEdit9", &Amounts::DBEdit9Exit},
    };
    auto boxes = [&t](int from, int to, Handler h) {
      for (int i = from; i <= to; ++i) t.emplace_back("DBEdit" + std::to_string(i), h);
    };
    boxes(56, 61, &Amounts::DBEdit56Exit);  // オプション金額1-6
    boxes(63, 69, &Amounts::DBEdit63Exit);  // 付属品金額1-7
    boxes(71, 73, &Amounts::DBEdit63Exit);  // 付属品金額8-10
    boxes(17, 24, &Amounts::DBEdit17Exit);  // 販売費用1-8
    boxes(27, 31, &Amounts::DBEdit17Exit);  // 販売費用9-13
    boxes(32, 36, &Amounts::DBEdit17Exit);  // 税金1-5
    boxes(37, 39, &Amounts::DBEdit17Exit);  // 保険1-3
    boxes(13, 15, &Amounts::DBEdit13Exit);  // 頭金1-3
    return t;
  }();
  return table;
}

}  // namespace vendaro::pricing

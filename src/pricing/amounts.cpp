#include "pricing/amounts.h"

#include <algorithm>
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

std::optional<int32_t> readAmount(std::string_view typed) {
  static const std::string yen = f("円");
  // First each character becomes one mark: digits, ',', '-', '+', a backslash for a yen sign, ' '
  // for a blank and 'Y' for 円; any other character means the text is no amount.
  std::string marks;
  for (std::size_t i = 0; i < typed.size();) {
    const unsigned char c = static_cast<unsigned char>(typed[i]);
    if (sjis::isLeadByte(c)) {
      if (i + 1 >= typed.size()) return std::nullopt;
      const unsigned char d = static_cast<unsigned char>(typed[i + 1]);
      if (c == 0x82 && d >= 0x4F && d <= 0x58) marks += static_cast<char>('0' + (d - 0x4F));  // ０-９
      else if (c == 0x81 && d == 0x43) marks += ',';   // ，
      else if (c == 0x81 && d == 0x7C) marks += '-';   // －
      else if (c == 0x81 && d == 0x7B) marks += '+';   // ＋
      else if (c == 0x81 && d == 0x8F) marks += '\\';  // ￥
      else if (c == 0x81 && d == 0x40) marks += ' ';   // full-width blank
      else if (typed.substr(i, 2) == yen) marks += 'Y';
      else return std::nullopt;
      i += 2;
      continue;
    }
    if ((c >= '0' && c <= '9') || c == ',' || c == '-' || c == '+' || c == '\\' || c == ' ') marks += static_cast<char>(c);
    else if (c == '\t') marks += ' ';
    else return std::nullopt;
    ++i;
  }
  std::size_t i = 0;
  auto blanks = [&] {
    while (i < marks.size() && marks[i] == ' ') ++i;
  };
  blanks();
  bool negative = false, signed_ = false, yenSign = false;
  for (int k = 0; k < 2 && i < marks.size(); ++k) {  // a sign and a yen sign, in either order
    if (!signed_ && (marks[i] == '-' || marks[i] == '+')) {
      signed_ = true;
      negative = marks[i++] == '-';
    } else if (!yenSign && marks[i] == '\\') {
      yenSign = true;
      ++i;
    }
    blanks();
  }
  int64_t value = 0;
  std::size_t digits = 0, group = 0;  // digits in all, digits since the last comma
  bool grouped = false;
  for (; i < marks.size(); ++i) {
    const char m = marks[i];
    if (m >= '0' && m <= '9') {
      value = value * 10 + (m - '0');
      if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
      ++digits, ++group;
    } else if (m == ',') {
      // The first group holds one to three digits, every later one exactly three.
      if (group == 0 || (grouped ? group != 3 : group > 3)) return std::nullopt;
      grouped = true;
      group = 0;
    } else {
      break;
    }
  }
  if (digits == 0 || (grouped && group != 3)) return std::nullopt;
  blanks();
  if (i < marks.size() && marks[i] == 'Y') ++i;
  blanks();
  if (i != marks.size()) return std::nullopt;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::string amountToStore(std::string_view typed) {
  if (auto amount = readAmount(typed)) return std::to_string(*amount);
  return std::string(typed);
}

void allTaxes(AmountSheet& s, int32_t rate) {
  for (int line = 3; line <= 6; ++line)
    s.set(numbered(f("車両消費税"), line), taxOf(s.get(numbered(f("車両価格"), line)), rate));
  s.set(f("車両合計"), s.sum(f("車両価格"), 3, 6));
  s.set(f("車両消費税"), s.sum(f("車両消費税"), 3, 6));
  s.set(f("小計消費税"), taxOf(s.get(f("小計")), rate));
  s.set(f("諸費用消費税"), s.get(f("小計消費税")));
  s.set(f("販売合計"), s.get(f("車両合計")) + s.get(f("車両消費税")) + s.get(f("諸費用合計")) + s.get(f("諸費用消費税")));
  s.set(f("見積金額"), s.get(f("販売合計")) - s.get(f("頭金合計")));
}

void vehicleBody(AmountSheet& s, int32_t rate) {
  s.set(f("車両価格3"), s.get(f("車両価格1")) + s.get(f("車両価格2")));
  allTaxes(s, rate);
}

void optionTotal(AmountSheet& s, int32_t rate) {
  s.set(f("オプション合計"), s.sum(f("オプション金額"), 1, 6));
  s.set(f("車両価格4"), s.get(f("オプション合計")));
  allTaxes(s, rate);
}

void accessoryTotal(AmountSheet& s, int32_t rate) {
  s.set(f("付属品合計"), s.sum(f("付属品金額"), 1, 10));
  s.set(f("車両価格5"), s.get(f("付属品合計")));
  allTaxes(s, rate);
}

void costs(AmountSheet& s, int32_t rate) {
  s.set(f("小計"), s.sum(f("販売費用"), 1, 8));
  // The consumption tax is not part of the costs total.
  s.set(f("諸費用合計"), s.get(f("小計")) + s.sum(f("販売費用"), 9, 13) + s.sum(f("税金"), 1, 5) + s.sum(f("保険"), 1, 3));
  allTaxes(s, rate);
}

void downPayment(AmountSheet& s, int32_t rate) {
  s.set(f("頭金合計"), s.sum(f("頭金"), 1, 3));
  allTaxes(s, rate);
}

void Amounts::run(Step step) {
  AmountSheet sheet(cursor_);
  const int32_t rate = rate_();
  try {
    for (Step failed : pending_) failed(sheet, rate);
    step(sheet, rate);
  } catch (const AmountTooLarge&) {
    if (std::find(pending_.begin(), pending_.end(), step) == pending_.end()) pending_.push_back(step);
    throw;
  }
  sheet.commit(cursor_);
  pending_.clear();
}

void Amounts::CarCalc(int line) {
  if (line < 3 || line > 6) throw std::invalid_argument("vehicle line 3 to 6");
  run(allTaxes);
}
void Amounts::DBEdit1Exit() { run(vehicleBody); }
void Amounts::DBEdit3Exit() { CarCalc(3); }
void Amounts::DBEdit5Exit() { CarCalc(4); }
void Amounts::DBEdit7Exit() { CarCalc(5); }
void Amounts::DBEdit9Exit() { CarCalc(6); }
void Amounts::DBEdit56Exit() { run(optionTotal); }
void Amounts::DBEdit63Exit() { run(accessoryTotal); }
void Amounts::DBEdit17Exit() { run(costs); }
void Amounts::DBEdit13Exit() { run(downPayment); }

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

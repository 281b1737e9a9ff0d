#include "formprint/item_language.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "book/estimate_fields.h"
#include "formprint/char_convert.h"
#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

constexpr std::size_t npos = std::string_view::npos;

/// The words the evaluator looks for, converted to CP932 once.
struct Words {
  std::vector<std::string> company;  // the seven company items, line 1 first
  std::string postalFull = sjis::lit("郵便番号全角");
  std::string postal = sjis::lit("郵便番号");
  std::string addressNoPrefecture = sjis::lit("住所都道府県無");
  std::string address = sjis::lit("住所");
  std::vector<std::string> prefectures;
  std::string prefecture = sjis::lit("県");
  std::vector<std::string> eras;
  std::string twoBlanks = sjis::lit("　　");
  std::string year = sjis::lit("年");
  std::string months = sjis::lit("ヶ月");
  std::string month = sjis::lit("月");
  std::string day = sjis::lit("日");
  std::string blankSama = sjis::lit("　様");
  std::string blankDono = sjis::lit("　殿");
  std::string sama = sjis::lit("様");
  std::string dono = sjis::lit("殿");
  std::string after = sjis::lit("後");
  std::string questionHead = sjis::lit("項目名：");
  std::string questionOf = sjis::lit("の");
  std::string questionTail = sjis::lit("は印刷しますか？");

  Words() {
    for (const char* n : {"自住所", "自社名", "自社名付", "自電話番号", "自社情報追加１", "自社情報追加２", "自社情報追加３"})
      company.push_back(sjis::lit(n));
    for (const char* p : {"東京都", "北海道", "大阪府", "京都府"}) prefectures.push_back(sjis::lit(p));
    // The era is left to the pre-printed form whichever era the date is in.
    for (const char* e : {"平成", "昭和", "令和"}) eras.push_back(sjis::lit(e));
  }
};

const Words& words() {
  static const Words w;
  return w;
}

/// The first occurrence of `needle` at or after `from` that starts at a character boundary, so an
/// operator is never found in the second byte of a two-byte character. `from` must be a boundary.
std::size_t findAt(std::string_view text, std::string_view needle, std::size_t from = 0) {
  if (needle.empty() || needle.size() > text.size()) return npos;
  const std::size_t lastStart = text.size() - needle.size();
  for (std::size_t i = 0; i <= lastStart; i += printCharLength(text, i))
    if (i >= from && text.compare(i, needle.size(), needle) == 0) return i;
  return npos;
}

/// True when `text` ends with `suffix` and the suffix starts at a character boundary.
bool endsWithAt(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  const std::size_t start = text.size() - suffix.size();
  std::size_t i = 0;
  while (i < start) i += printCharLength(text, i);
  return i == start && text.substr(start) == suffix;
}

bool startsWith(std::string_view text, char c) { return !text.empty() && text[0] == c; }

/// Splits the text after "<" at its first "/" into the converted and the negative text.
void splitChoice(std::string_view text, std::string& converted, std::string& negative) {
  const std::size_t slash = findAt(text, "/");
  converted = std::string(text.substr(0, slash));
  negative = slash == npos ? std::string() : std::string(text.substr(slash + 1));
}

/// The leading-integer reading for arithmetic: like sjis::leadingInt, but a number beyond the
/// 32-bit range is reported instead of held at the end of the range.
bool readOperand(std::string_view text, int64_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > int64_t{INT32_MAX} + 1) return false;
  }
  value = negative ? -v : v;
  return value >= INT32_MIN && value <= INT32_MAX;
}

bool fitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

int clampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

const std::vector<std::string>& itemMenuEntries() {
  static const std::vector<std::string> entries = [] {
    const Words& w = words();
    std::vector<std::string> list = w.company;
    const table::TableSchema& schema = book::estimateSchema();
    for (int i = book::kCreatedField; i < schema.fieldCount(); ++i) {
      list.push_back(schema.field(i).name);
      if (schema.field(i).name == w.postal) list.push_back(w.postalFull);
      if (schema.field(i).name == w.address) list.push_back(w.addressNoPrefecture);
    }
    for (const char* t : {"!    （確認モード）", "#項目=確認内容<変換内容/否定内容 （変換モード）",
                          "#項目\\確認内容<変換内容/否定内容 （変換否定モード）", "_数値 （間隔モード）",
                          "&位置,桁数 （文字列指定モード）", "%桁数（小数点モード）", "$桁数（右揃えモード）",
                          "@文字（ダイレクトモード）", "^項目,分割文字,前または後,判定長（分割モード）"})
      list.push_back(sjis::lit(t));
    return list;
  }();
  return entries;
}

ItemEvaluator::ItemEvaluator(const table::Cursor& estimate, const CompanyFields& company,
                             const LayoutDateSettings& layout, Question ask)
    : estimate_(estimate), company_(company), layout_(layout), ask_(std::move(ask)) {}

ItemValue ItemEvaluator::menuTextCheck(std::string_view expression, EvalMode mode) const {
  const Words& w = words();
  std::string e(expression);

  // Suffixes, each cut off the text the steps before have left.
  int start = 0, length = 0;
  if (std::size_t amp = findAt(e, "&"); amp != npos) {
    if (std::size_t comma = findAt(e, ",", amp + 1); comma != npos) {
      start = sjis::leadingInt(std::string_view(e).substr(amp + 1));
      length = sjis::leadingInt(std::string_view(e).substr(comma + 1));
      e.resize(amp);
    }
  }
  auto suffix = [&e](const char* op) {
    const std::size_t at = findAt(e, op);
    if (at == npos) return 0;
    const int value = sjis::leadingInt(std::string_view(e).substr(at + 1));
    e.resize(at);
    return value;
  };
  const int spacing = suffix("_");
  const int width = suffix("$");
  const int decimals = suffix("%");

  // Conversion: on success the chosen text is evaluated in place of the expression.
  if (startsWith(e, '#')) {
    std::string chosen;
    if (chooseConversion(std::string_view(e).substr(1), chosen)) e = std::move(chosen);
  }

  std::string honorific;
  for (const std::string* h : {&w.blankSama, &w.blankDono, &w.sama, &w.dono}) {
    if (endsWithAt(e, *h)) {
      honorific = *h;
      e.resize(e.size() - h->size());
      break;
    }
  }

  const bool confirm = startsWith(e, '!');
  if (confirm) e.erase(0, 1);

  bool split = false, splitAfter = false;
  std::string splitText;
  int threshold = 0;
  if (startsWith(e, '^')) {
    e.erase(0, 1);
    const std::size_t c1 = findAt(e, ",");
    const std::size_t c2 = c1 == npos ? npos : findAt(e, ",", c1 + 1);
    if (c2 != npos) {
      split = true;
      splitText = e.substr(c1 + 1, c2 - c1 - 1);
      const std::size_t c3 = findAt(e, ",", c2 + 1);
      splitAfter = e.substr(c2 + 1, c3 == npos ? npos : c3 - c2 - 1) == w.after;
      if (c3 != npos) threshold = sjis::leadingInt(std::string_view(e).substr(c3 + 1));
    }
    if (c1 != npos) e.resize(c1);
  }

  Value v;
  if (!e.empty()) v = valueOf(e);
  std::string r = std::move(v.text);

  if (split) {
    const std::size_t at = splitText.empty() ? npos : findAt(r, splitText);
    if (static_cast<int64_t>(r.size()) > threshold && at != npos)
      r = splitAfter ? r.substr(at + splitText.size()) + honorific : r.substr(0, at);
    else
      r = splitAfter ? std::string() : r + honorific;
  } else {
    r += honorific;
  }

  int64_t decimalWidth = 0;
  if (decimals != 0) {
    const int64_t n = decimals < 0 ? -int64_t{decimals} : int64_t{decimals};
    if (r == "0" || r.empty()) {
      r.clear();
    } else {
      const std::size_t dot = r.find('.');
      const int64_t d = dot == npos ? static_cast<int64_t>(r.size()) + 1 : static_cast<int64_t>(dot) + 1;
      std::string filler;
      if (decimals > 0) filler = (dot == npos ? "." : "") + std::string(38, '0');
      else filler = std::string(40, ' ');
      const int64_t count = std::min<int64_t>(n - static_cast<int64_t>(r.size()) + d, static_cast<int64_t>(filler.size()));
      if (count > 0) r.append(filler, 0, static_cast<std::size_t>(count));
    }
    decimalWidth = n + 1;
  }

  int64_t shift = 0;
  if (width != 0) {
    if (r == "0" || r.empty()) {
      r.clear();
    } else {
      const int32_t value = sjis::leadingInt(r);
      // A separator before the last `fromEnd` bytes; none where that would put it in front.
      auto separate = [&r](int64_t fromEnd) {
        if (fromEnd >= 0 && fromEnd < static_cast<int64_t>(r.size())) r.insert(r.size() - static_cast<std::size_t>(fromEnd), ",");
      };
      if (value >= 1000000 || value <= -1000000) separate(decimalWidth + 6);
      if (value >= 1000 || value <= -1000) separate(decimalWidth + 3);
    }
    const int64_t room = int64_t{width} - static_cast<int64_t>(r.size());
    if (mode == EvalMode::Print) shift = room;
    else if (room > 0) r.insert(0, static_cast<std::size_t>(std::min<int64_t>(room, 40)), ' ');
  }

  if (start != 0 && length != 0) {
    // From byte `start` (1-based; below 1 counts as 1), `length` bytes, fewer at the end.
    const std::size_t from = static_cast<std::size_t>(std::max(start, 1) - 1);
    if (length < 0 || from >= r.size()) r.clear();
    else r = r.substr(from, static_cast<std::size_t>(length));
  }

  if (confirm && mode == EvalMode::Print) {
    const std::string question = w.questionHead + v.lastOperand + w.questionOf + r + w.questionTail;
    if (!ask_ || !ask_(question)) r.clear();
  }

  if (spacing > 0) r = spaceSet(r, spacing);

  return {std::move(r), mode == EvalMode::Print ? clampToInt(shift) : v.dateFlag};
}

bool ItemEvaluator::chooseConversion(std::string_view e, std::string& chosen) const {
  std::string converted, negative;

  // Zero test: "\0" (wins) or "=0", then "<converted/negative"; what stands between is ignored.
  bool negated = true;
  std::size_t at = findAt(e, "\\0");
  if (at == npos) {
    negated = false;
    at = findAt(e, "=0");
  }
  if (at != npos) {
    const std::string_view rest = e.substr(at + 2);
    if (const std::size_t lt = findAt(rest, "<"); lt != npos) {
      splitChoice(rest.substr(lt + 1), converted, negative);
      const bool zero = sjis::leadingInt(valueOf(e.substr(0, at)).text) == 0;
      chosen = (negated ? !zero : zero) ? converted : negative;
      return true;
    }
  }

  // Text test: "\" (wins) or "=", then "check<converted/negative".
  negated = true;
  at = findAt(e, "\\");
  if (at == npos) {
    negated = false;
    at = findAt(e, "=");
  }
  if (at == npos) return false;
  const std::string_view rest = e.substr(at + 1);
  const std::size_t lt = findAt(rest, "<");
  if (lt == npos) return false;
  const std::string check = valueOf(rest.substr(0, lt)).text;
  splitChoice(rest.substr(lt + 1), converted, negative);
  const std::string value = valueOf(e.substr(0, at)).text;
  const bool match = check.empty() ? value.empty() : findAt(value, check) != npos;
  chosen = (negated ? !match : match) ? converted : negative;
  return true;
}

ItemValue ItemEvaluator::itemChange(std::string_view expression) const {
  Value v = valueOf(expression);
  return {std::move(v.text), v.dateFlag};
}

ItemEvaluator::Value ItemEvaluator::valueOf(std::string_view e) const {
  auto whole = [&] {
    ItemValue item = changeItem(e);
    return Value{std::move(item.text), item.number, std::string(e)};
  };
  if (startsWith(e, '@')) return whole();

  // Operands and operators, left to right.
  std::vector<std::string_view> operands;
  std::string operators;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < e.size(); i += printCharLength(e, i)) {
    const char c = e[i];
    if (c != '+' && c != '-' && c != '*' && c != '/') continue;
    operands.push_back(e.substr(begin, i - begin));
    operators += c;
    begin = i + 1;
  }
  if (operators.empty()) return whole();
  operands.push_back(e.substr(begin));
  for (std::string_view operand : operands)
    if (operand.empty()) return whole();

  Value result;
  std::vector<int64_t> values;
  bool valid = true;
  for (std::string_view operand : operands) {
    ItemValue item = changeItem(operand);
    result.dateFlag = item.number;
    result.lastOperand = std::string(operand);
    int64_t n = 0;
    valid = readOperand(item.text, n) && valid;
    values.push_back(n);
  }
  if (!valid) return result;  // an operand beyond the 32-bit range: no figure rather than a wrong one

  // "*" and "/" first, left to right, into terms joined by "+" and "-".
  std::vector<int64_t> terms{values[0]};
  std::string additions;
  for (std::size_t i = 0; i < operators.size(); ++i) {
    const int64_t rhs = values[i + 1];
    switch (operators[i]) {
      case '*': terms.back() *= rhs; break;
      case '/':
        if (rhs == 0) return result;  // division by zero: an empty value
        terms.back() /= rhs;          // truncates toward zero
        break;
      default:
        terms.push_back(rhs);
        additions += operators[i];
        continue;
    }
    if (!fitsInt32(terms.back())) return result;
  }
  int64_t sum = terms[0];
  for (std::size_t i = 0; i < additions.size(); ++i) {
    sum = additions[i] == '+' ? sum + terms[i + 1] : sum - terms[i + 1];
    if (!fitsInt32(sum)) return result;
  }
  result.text = std::to_string(sum);
  return result;
}

ItemValue ItemEvaluator::changeItem(std::string_view t) const {
  const Words& w = words();
  std::string r;
  const auto company = std::find(w.company.begin(), w.company.end(), t);
  if (company != w.company.end()) {
    r = company_.companyLine(static_cast<int>(company - w.company.begin()) + 1);
  } else if (startsWith(t, '@')) {
    r = std::string(t.substr(1));
  } else {
    const bool postalFull = t == w.postalFull;
    const bool noPrefecture = t == w.addressNoPrefecture;
    const std::string_view name = postalFull ? w.postal : noPrefecture ? w.address : t;
    const int field = estimate_.schema().find(name);
    if (field < 0) return {std::string(t), 0};  // literal text prints as written
    r = estimate_.text(field);
    if (postalFull) r = charCheck(r, CharMode::DigitsToFull);
    if (noPrefecture) {
      for (const std::string& p : w.prefectures)
        if (const std::size_t at = findAt(r, p); at != npos) r.erase(0, at + p.size());
      if (const std::size_t at = findAt(r, w.prefecture); at != npos) r.erase(0, at + w.prefecture.size());
    }
  }
  int dateFlag = 0;
  if (!layout_.showDateUnits()) blankDates(r, dateFlag);
  return {std::move(r), dateFlag};
}

void ItemEvaluator::blankDates(std::string& r, int& dateFlag) const {
  const Words& w = words();
  // 日付の幅 + 2 blanks in place of each unit; held to 47 like every other run of blanks.
  const int64_t count = std::clamp<int64_t>(int64_t{layout_.dateSpacing()} + 2, 0, 47);
  const std::string units(static_cast<std::size_t>(count), ' ');
  const std::string copy = r;
  auto replaceFirst = [&](const std::string& what, std::size_t bytes, const std::string& with) {
    if (const std::size_t at = findAt(r, what); at != npos) {
      r.replace(at, bytes, with);
      dateFlag = 1;
    }
  };
  for (const std::string& era : w.eras) replaceFirst(era, era.size(), w.twoBlanks);
  replaceFirst(w.year, w.year.size(), units);
  replaceFirst(w.months, 2, units);  // only the ヶ of ヶ月
  replaceFirst(w.month, w.month.size(), units);
  replaceFirst(w.day, w.day.size(), units);
  if (!dateFlag) return;
  std::string converted = charCheck(r, CharMode::DateDigits);
  if (converted == r) {
    // No full-width digits: the value is not a date.
    r = copy;
    dateFlag = 0;
  } else {
    r = std::move(converted);
  }
}

}  // namespace vendaro::formprint

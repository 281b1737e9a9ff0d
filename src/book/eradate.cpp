#include "book/eradate.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/sjis.h"

namespace vendaro::era {
namespace {
const Era kEras[kEraCount] = {
    {"明治", 1867, {1868, 9, 8}},
    {"大正", 1911, {1912, 7, 30}},
    {"昭和", 1925, {1926, 12, 25}},
    {"平成", 1988, {1989, 1, 8}},
    {"令和", 2018, {2019, 5, 1}},
};

bool before(const Date& a, const Date& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  return a.day < b.day;
}
}  // namespace

const Era* eras() { return kEras; }

const std::string& eraName(int index) {
  static const std::string names[kEraCount] = {
      sjis::lit(kEras[0].nameUtf8), sjis::lit(kEras[1].nameUtf8), sjis::lit(kEras[2].nameUtf8),
      sjis::lit(kEras[3].nameUtf8), sjis::lit(kEras[4].nameUtf8)};
  return names[index];
}

int eraOf(const Date& date) {
  int index = 0;
  for (int i = 1; i < kEraCount; ++i)
    if (!before(date, kEras[i].firstDay)) index = i;
  return index;
}

std::string formatPlain(const Date& date) {
  int index = eraOf(date);
  static const std::string nen = sjis::lit("年"), tsuki = sjis::lit("月"), hi = sjis::lit("日");
  char year[16], month[16], day[16];
  std::snprintf(year, sizeof year, "%02d", date.year - kEras[index].base);
  std::snprintf(month, sizeof month, "%02d", date.month);
  std::snprintf(day, sizeof day, "%02d", date.day);
  return eraName(index) + year + nen + month + tsuki + day + hi;
}

void changeChar(std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c >= 0x80 && c <= 0x9F) || c >= 0xE0) {
      out += text[i];
      if (i + 1 < text.size()) out += text[++i];
    } else {
      out += static_cast<char>(0x82);
      out += static_cast<char>(c + 0x1F);
    }
  }
  text.swap(out);
}

std::string format(const Date& date) {
  std::string text = formatPlain(date);
  changeChar(text);
  return text;
}

Date charToDate(std::string_view text, const Date& today) {
  int slots[3] = {today.year, today.month, today.day};
  int base = 0;
  for (int i = kEraCount - 1; i >= 0; --i) {
    if (text.substr(0, 4) == eraName(i)) {
      base = kEras[i].base;
      text.remove_prefix(4);
      break;
    }
  }
  int number = 0;
  int slot = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (c == 0x82 && next >= 0x4F && next <= 0x58) {
      number = number * 10 + (next - 0x4F);
      ++i;
    } else if (c >= '0' && c <= '9') {
      number = number * 10 + (c - '0');
    } else {
      if ((number != 0 || base != 0) && slot < 3) slots[slot] = number + base;
      ++slot;
      number = 0;
      base = 0;
      ++i;  // a separator is taken as a two-byte character
    }
    // Keep a run of digits from leaving the int range; no real date comes near it.
    if (number > 100000000) number = 100000000;
  }
  int year = slots[0], month = slots[1], day = slots[2];
  if (month > 12) month = 12;
  if (month < 1) month = 1;
  if (month == 2) {
    int last = isLeapYear(year) ? 29 : 28;
    if (day > last) day = last;
  } else if ((month == 4 || month == 6 || month == 9 || month == 11) && day > 30) {
    day = 30;  // also for days past 31, which would otherwise give the 31st of a 30-day month
  } else if (day > 31) {
    day = 31;
  }
  return Date{year, month, day};
}

Date charToDate(std::string_view text) { return charToDate(text, today()); }

std::optional<Date> readTypedDate(std::string_view text) {
  static const std::string nen = sjis::lit("年"), tsuki = sjis::lit("月"), hi = sjis::lit("日"),
                           gan = sjis::lit("元");
  // Each character becomes one mark: digits, '/' '-' '.' as typed (full-width too), 'Y' 'M' 'D'
  // for 年 月 日, '1' for 元 (the first year), ' ' for a blank, and 'a' to 'z' for letters.
  std::string marks;
  int era = -1;
  for (int i = kEraCount - 1; i >= 0; --i) {
    if (text.substr(0, 4) == eraName(i)) {
      era = i;
      text.remove_prefix(4);
      break;
    }
  }
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (sjis::isLeadByte(c)) {
      if (i + 1 >= text.size()) return std::nullopt;
      const unsigned char d = static_cast<unsigned char>(text[i + 1]);
      const std::string_view two = text.substr(i, 2);
      if (c == 0x82 && d >= 0x4F && d <= 0x58) marks += static_cast<char>('0' + (d - 0x4F));
      else if (c == 0x82 && d >= 0x60 && d <= 0x79) marks += static_cast<char>('a' + (d - 0x60));  // Ａ-Ｚ
      else if (c == 0x82 && d >= 0x81 && d <= 0x9A) marks += static_cast<char>('a' + (d - 0x81));  // ａ-ｚ
      else if (c == 0x81 && d == 0x5E) marks += '/';
      else if (c == 0x81 && d == 0x7C) marks += '-';
      else if (c == 0x81 && d == 0x44) marks += '.';
      else if (c == 0x81 && d == 0x40) marks += ' ';
      else if (two == nen) marks += 'Y';
      else if (two == tsuki) marks += 'M';
      else if (two == hi) marks += 'D';
      else if (two == gan && era >= 0 && marks.empty()) marks += '1';
      else return std::nullopt;
      i += 2;
      continue;
    }
    if (c >= 'A' && c <= 'Z') marks += static_cast<char>(c - 'A' + 'a');
    else if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '/' || c == '-' || c == '.' || c == ' ') marks += static_cast<char>(c);
    else if (c == '\t') marks += ' ';
    else return std::nullopt;
    ++i;
  }
  auto first = marks.find_first_not_of(' '), last = marks.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  marks = marks.substr(first, last - first + 1);
  if (era < 0 && !marks.empty() && marks[0] >= 'a' && marks[0] <= 'z') {
    static const char letters[kEraCount + 1] = "mtshr";
    const char* at = std::char_traits<char>::find(letters, kEraCount, marks[0]);
    if (!at) return std::nullopt;
    era = static_cast<int>(at - letters);
    marks.erase(0, 1);
  }

  // Now three numbers with their separators: "y/m/d" (one of / - . throughout), "yYmMd[D]", or
  // eight digits in a row for a western date.
  std::vector<std::string> numbers(1);
  std::string separators;
  for (char m : marks) {
    if (m >= '0' && m <= '9') {
      numbers.back() += m;
    } else {
      if (numbers.back().empty()) return std::nullopt;
      separators += m;
      numbers.emplace_back();
    }
  }
  if (separators == "YMD") {
    numbers.pop_back();
    separators = "YM";
  }
  if (numbers.size() == 1 && era < 0 && numbers[0].size() == 8) {
    numbers = {numbers[0].substr(0, 4), numbers[0].substr(4, 2), numbers[0].substr(6, 2)};
    separators = "//";
  }
  if (numbers.size() != 3 || numbers[2].empty()) return std::nullopt;
  if (separators != "YM" && (separators[0] != separators[1] || separators[0] == 'Y' || separators[0] == 'M' ||
                             separators[0] == 'D'))
    return std::nullopt;
  for (const auto& n : numbers)
    if (n.size() > 4) return std::nullopt;
  if (era < 0 ? numbers[0].size() != 4 : numbers[0].size() > 2) return std::nullopt;
  if (numbers[1].size() > 2 || numbers[2].size() > 2) return std::nullopt;
  const int year = std::stoi(numbers[0]), month = std::stoi(numbers[1]), day = std::stoi(numbers[2]);
  if (era >= 0 && year < 1) return std::nullopt;
  const Date date{era < 0 ? year : kEras[era].base + year, month, day};
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(date.year, month)) return std::nullopt;
  if (before(date, kEras[era < 0 ? 0 : era].firstDay)) return std::nullopt;
  if (date.year - kEras[eraOf(date)].base > 99) return std::nullopt;  // the text has two digits for it
  return date;
}

}  // namespace vendaro::era

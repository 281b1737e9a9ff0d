#include "book/eradate.h"

#include <gtest/gtest.h>
#include <optional>

#include "platform/sjis.h"

namespace vendaro::era {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }
std::string utf8(const std::string& cp932) { return sjis::toUtf8(cp932); }

TEST(EraDate, FormatsWithTheEraOfTheDayAndFullWidthDigits) {
  struct Case {
    Date date;
    const char* text;
  } cases[] = {
      {{2003, 3, 20}, "平成１５年０３月２０日"},
      {{1989, 1, 7}, "昭和６４年０１月０７日"},
      {{1989, 1, 8}, "平成０１年０１月０８日"},
      {{2019, 4, 30}, "平成３１年０４月３０日"},
      {{2019, 5, 1}, "令和０１年０５月０１日"},
      {{2026, 12, 10}, "令和０８年１２月１０日"},
      {{1926, 12, 24}, "大正１５年１２月２４日"},
      {{1926, 12, 25}, "昭和０１年１２月２５日"},
      {{1912, 7, 29}, "明治４５年０７月２９日"},
      {{1912, 7, 30}, "大正０１年０７月３０日"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text = format(c.date);
    EXPECT_EQ(utf8(text), c.text);
    EXPECT_EQ(text.size(), 22u);
  }
}

TEST(EraDate, ChangeCharWidensSingleBytesAndKeepsDoubleBytes) {
  std::string text = cp("平成15年A");
  changeChar(text);
  EXPECT_EQ(utf8(text), "平成１５年Ａ");
  std::string cut("\x95", 1);  // a lead byte at the very end stays as it is
  changeChar(cut);
  EXPECT_EQ(cut, std::string("\x95", 1));
}

TEST(EraDate, ParsesTextsAgainstToday) {
  const Date today{2026, 12, 10};
  struct Case {
    const char* text;
    Date date;
  } cases[] = {
      {"平成１５年０３月２０日", {2003, 3, 20}},
      {"昭和６４年０１月０５日", {1989, 1, 5}},
      {"明治４５年０７月０１日", {1912, 7, 1}},
      {"大正０１年０７月３０日", {1912, 7, 30}},
      {"令和０１年０５月０１日", {2019, 5, 1}},
      {"令和０８年１２月１０日", {2026, 12, 10}},
      {"", {2026, 12, 10}},
      {"平成１５年", {2003, 12, 10}},
      {"平成１５年０２月３０日", {2003, 2, 28}},
      {"平成１２年０２月３０日", {2000, 2, 29}},
      {"平成１５年０４月３１日", {2003, 4, 30}},
      {"平成１５年１３月０１日", {2003, 12, 1}},
      {"平成１５年００月２０日", {2003, 12, 20}},  // 0 never replaces today's month
      {"平成１５年０６月４５日", {2003, 6, 30}},   // never the 31st of a 30-day month
      {"平成１５年０１月４５日", {2003, 1, 31}},
      {"2003/3/20", {2003, 12, 10}},              // each '/' consumes the digit after it
      {"2003年3月20日", {2003, 3, 20}},            // ordinary digits with kanji separators
      {"平成１５年０３月２０", {2003, 3, 10}},     // a number with no separator is dropped
      {"平成１５年０３月２０日１２月", {2003, 3, 20}},  // slots after the third are ignored
      {"平成００年", {1988, 12, 10}},
      {"abc", {2026, 12, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(charToDate(cp(c.text), today), c.date);
  }
}

TEST(EraDate, DatesTypedByHandAreRead) {
  struct Case {
    const char* typed;
    std::optional<Date> date;
  } cases[] = {
      {"2026/12/20", Date{2026, 12, 20}},   {"2026-12-20", Date{2026, 12, 20}},   {"20261220", Date{2026, 12, 20}},
      {"2026.1.5", Date{2026, 1, 5}},       {"２０２６／１２／２０", Date{2026, 12, 20}}, {" 2026/12/20 ", Date{2026, 12, 20}},
      {"2026年12月20日", Date{2026, 12, 20}}, {"R8.12.20", Date{2026, 12, 20}},     {"r8/12/20", Date{2026, 12, 20}},
      {"Ｒ８．１２．２０", Date{2026, 12, 20}}, {"令和8年12月20日", Date{2026, 12, 20}}, {"令和８年１２月２０日", Date{2026, 12, 20}},
      {"令和元年5月1日", Date{2019, 5, 1}},    {"H31.4.30", Date{2019, 4, 30}},      {"S64.1.7", Date{1989, 1, 7}},
      {"平成１５年０３月２０日", Date{2003, 3, 20}}, {"平成15年3月20日", Date{2003, 3, 20}},
      {"H31.5.1", Date{2019, 5, 1}},  // a day of 令和 named by the year of 平成 it would have been
      {"2024/2/29", Date{2024, 2, 29}},
      // Not dates: kept as typed by the date box.
      {"", std::nullopt},           {"未定", std::nullopt},        {"2026/2/30", std::nullopt},  {"2023/2/29", std::nullopt},
      {"2026/13/1", std::nullopt},  {"2026/0/10", std::nullopt},  {"2026/12", std::nullopt},    {"12/20", std::nullopt},
      {"2026/12-20", std::nullopt}, {"26/12/20", std::nullopt},   {"2026121", std::nullopt},    {"R1.4.30", std::nullopt},
      {"R0.5.1", std::nullopt},     {"X8.12.20", std::nullopt},   {"R8.12.20x", std::nullopt},  {"1850/1/1", std::nullopt},
      {"平成１５年", std::nullopt}, {"R101.1.1", std::nullopt},   {"2026/12/20/1", std::nullopt}, {"元年5月1日", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(readTypedDate(cp(c.typed)), c.date);
  }
}

TEST(EraDate, TodaysDayIsBroughtWithinTheParsedMonth) {
  EXPECT_EQ(charToDate(cp("平成１５年０２月"), Date{2026, 3, 31}), (Date{2003, 2, 28}));
  EXPECT_EQ(charToDate(cp("平成１６年０２月"), Date{2026, 3, 31}), (Date{2004, 2, 29}));
  EXPECT_EQ(charToDate(cp("平成１２年０２月"), Date{2026, 3, 31}), (Date{2000, 2, 29}));
  EXPECT_EQ(charToDate(cp("明治３３年０２月"), Date{2026, 3, 31}), (Date{1900, 2, 28}));  // 1900 is no leap year
}

TEST(EraDate, TextsSortInDateOrderAcrossShowaHeiseiAndReiwa) {
  const Date dates[] = {{1926, 12, 25}, {1988, 12, 31}, {1989, 1, 8},  {2000, 2, 29},
                        {2019, 4, 30},  {2019, 5, 1},   {2026, 12, 10}, {2050, 1, 1}};
  for (std::size_t i = 1; i < std::size(dates); ++i) EXPECT_LT(format(dates[i - 1]), format(dates[i]));
}

TEST(EraDate, EveryDayOfFiftyYearsSurvivesFormatAndParse) {
  for (int year = 1985; year <= 2035; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= daysInMonth(year, month); ++day) {
        Date d{year, month, day};
        ASSERT_EQ(charToDate(format(d), Date{1, 1, 1}), d) << utf8(format(d));
      }
}

}  // namespace
}  // namespace vendaro::era

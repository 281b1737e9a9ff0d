#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace vendaro::sjis {
namespace {

TEST(Sjis, EveryDoubleByteCharacterSurvivesARoundTrip) {
  // All two-byte codes come back through the lossless form exactly as they were.
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      std::string utf8 = toUtf8(bytes);
      auto back = fromUtf8(utf8);
      ASSERT_TRUE(back.has_value()) << std::hex << lead << " " << trail;
      EXPECT_EQ(*back, bytes) << std::hex << lead << " " << trail;
      ++checked;
    }
  }
  EXPECT_GT(checked, 10000);
}

TEST(Sjis, KnownTextsConvertBothWays) {
  EXPECT_EQ(fromUtf8("平成１５年"), std::string("\x95\xbd\x90\xac\x82\x50\x82\x54\x94\x4e"));
  EXPECT_EQ(toUtf8("\x95\xbd\x90\xac\x82\x50\x82\x54\x94\x4e"), "平成１５年");
  EXPECT_EQ(toUtf8("\xb1\xb2"), "ｱｲ");  // half-width kana are single bytes
  EXPECT_EQ(fromUtf8("ABC 123"), "ABC 123");
}

TEST(Sjis, InvalidBytesSurviveARoundTripAndShowAsReplacementMarks) {
  const std::string cases[] = {
      std::string("\x82", 1),          // half of a cut character at the end
      std::string("AB\x82", 3),        // the same after text
      std::string("\x82\x20Z", 3),     // a lead byte with a trail that cannot follow it
      std::string("\x80\xa0\xfd\xfe\xff", 5),  // single bytes CP932 does not assign
      std::string("\x95\xbd\x82", 3),  // a whole character followed by a cut one
  };
  for (const auto& bytes : cases) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    auto back = fromUtf8(toUtf8(bytes));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, bytes);
    EXPECT_NE(toUtf8Display(bytes).find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
  }
}

TEST(Sjis, CodesSharingACharacterKeepTheirBytes) {
  // CP932 writes these characters two ways; Unicode has one. The lossless form keeps the code the
  // text had, and the display form shows the character either way.
  struct Case {
    const char* bytes;
    const char* otherCode;
    const char* shown;
  };
  const Case cases[] = {
      {"\xed\xe6", "\xfb\x45", "淼"},  // NEC-selected IBM extension and IBM extension
      {"\x87\x90", "\x81\xe0", "≒"},  // NEC row 13 and the ordinary symbol
      {"\xee\xf9", "\x81\xca", "￢"},
      {"\xfa\x4a", "\x87\x54", "Ⅰ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    for (const std::string bytes : {c.bytes, c.otherCode}) {
      EXPECT_EQ(fromUtf8(toUtf8(bytes)), bytes);
      EXPECT_EQ(toUtf8Display(bytes), c.shown);
    }
  }
  // Found by fuzzing: such a code among other text and cut characters.
  const std::string mixed("\xed\xe6tih\0\0\xbc\xe5y", 10);
  EXPECT_EQ(fromUtf8(toUtf8(mixed)), mixed);
}

TEST(Sjis, CharactersWithoutAShiftJisFormAreRefused) {
  std::string bad;
  EXPECT_FALSE(fromUtf8("車🚗", &bad).has_value());
  EXPECT_EQ(bad, "🚗");
  EXPECT_FALSE(fromUtf8("\xff\xfe", &bad).has_value());  // not UTF-8 at all
  EXPECT_EQ(fromUtf8Lossy("車🚗車"), fromUtf8("車").value() + "?" + fromUtf8("車").value());
}

TEST(Sjis, LeadingIntegerReading) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"", 0},          {"abc", 0},         {"12", 12},          {"  12", 12},       {"-7", -7},
      {"+7", 7},        {"12abc", 12},      {" - 3", 0},         {"007", 7},         {"3.9", 3},
      {"2147483647", 2147483647},           {"99999999999", 2147483647},            {"-99999999999", INT32_MIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(leadingInt(c.text), c.value);
  }
}

TEST(Sjis, StrictIntegerReading) {
  EXPECT_EQ(parseInt32("123"), 123);
  EXPECT_EQ(parseInt32(" -123 "), -123);
  EXPECT_EQ(parseInt32("-2147483648"), INT32_MIN);
  EXPECT_FALSE(parseInt32("2147483648"));
  EXPECT_FALSE(parseInt32(""));
  EXPECT_FALSE(parseInt32("-"));
  EXPECT_FALSE(parseInt32("12a"));
  EXPECT_FALSE(parseInt32("1 2"));
}

TEST(Sjis, CutNeverSplitsACharacter) {
  std::string text = fromUtf8("A車B").value();  // 41 xx xx 42
  EXPECT_EQ(cutBytes(text, 1), "A");
  EXPECT_EQ(cutBytes(text, 2), "A");
  EXPECT_EQ(cutBytes(text, 3), text.substr(0, 3));
  EXPECT_EQ(cutBytes(text, 10), text);
}

}  // namespace
}  // namespace vendaro::sjis

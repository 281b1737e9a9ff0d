#include "formprint/char_convert.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

struct ConvertCase {
  const char* name;
  CharMode mode;
  std::string in;
  std::string out;
};

TEST(CharCheck, ConvertsByteForByte) {
  const ConvertCase cases[] = {
      // Postal codes and digits to full-width: only ASCII digits change.
      {"postal code to full width", CharMode::DigitsToFull, "123-4567", cp("１２３-４５６７")},
      {"full-width and kana kept", CharMode::DigitsToFull, cp("Ａ１あ9"), cp("Ａ１あ９")},
      {"lead byte at the end kept", CharMode::DigitsToFull, "1\x82", cp("１") + "\x82"},
      {"wide lead range: 0xA0 pairs with a digit", CharMode::DigitsToFull, "\xA0" "5", "\xA0" "5"},
      // Date digits: each number loses its leading zero to a blank.
      {"blanked era date", CharMode::DateDigits, cp("　　１８  ０５  １０  "), cp("　　") + "18   5  10  "},
      {"double zero", CharMode::DateDigits, cp("００"), " 0"},
      {"zero after a digit stays", CharMode::DateDigits, cp("１０"), "10"},
      {"a kanji between numbers restarts", CharMode::DateDigits, cp("１年０５"), "1" + cp("年") + " 5"},
      {"a half-width byte restarts", CharMode::DateDigits, cp("１") + "-" + cp("０１"), "1- 1"},
      {"no full-width digits: identical", CharMode::DateDigits, cp("あ漢Ａｚ　ソ"), cp("あ漢Ａｚ　ソ")},
      {"lone lead byte at the end", CharMode::DateDigits, cp("０") + "\x82", " \x82"},
      // Full-width to half-width.
      {"katakana with voiced marks", CharMode::FullToHalf, cp("ガソリン"), cp("ｶﾞｿﾘﾝ")},
      {"digits and hyphen", CharMode::FullToHalf, cp("１２３－４５６７"), "123-4567"},
      {"letters", CharMode::FullToHalf, cp("ＡＢｃ"), "ABc"},
      {"whole alphabet ends", CharMode::FullToHalf, cp("ＺＹａｚ０９"), "ZYaz09"},
      {"blank and symbols", CharMode::FullToHalf, cp("　！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿～"),
       " !#$%&()*+,-./:;<=>?@[]^_~"},
      {"yen sign to 0x5C", CharMode::FullToHalf, cp("￥１００"), "\x5C" "100"},
      {"punctuation", CharMode::FullToHalf, cp("。「」、・ー"), cp("｡｢｣､･ｰ")},
      {"small letters", CharMode::FullToHalf, cp("ァィゥェォャュョッ"), cp("ｧｨｩｪｫｬｭｮｯ")},
      {"plain letters", CharMode::FullToHalf, cp("アカサタナハマヤラワヲン"), cp("ｱｶｻﾀﾅﾊﾏﾔﾗﾜｦﾝ")},
      {"voiced and semi-voiced", CharMode::FullToHalf, cp("ヴヂボパポ"), cp("ｳﾞﾁﾞﾎﾞﾊﾟﾎﾟ")},
      {"no entry: copied", CharMode::FullToHalf, cp("ひら漢字ヰヱヮヵヶ｛｝｜＼’＂｀"), cp("ひら漢字ヰヱヮヵヶ｛｝｜＼’＂｀")},
      {"half-width kept", CharMode::FullToHalf, cp("abc ｶﾅ"), cp("abc ｶﾅ")},
      {"empty", CharMode::FullToHalf, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sjis::toUtf8(charCheck(c.in, c.mode)), sjis::toUtf8(c.out));
    EXPECT_EQ(charCheck(c.in, c.mode), c.out);
  }
}

TEST(SpaceSet, PutsBlanksAfterEveryCharacter) {
  struct Case {
    const char* name;
    std::string in;
    int k;
    std::string out;
  } const cases[] = {
      {"three double-byte characters", cp("山田様"), 2, cp("山") + "  " + cp("田") + "  " + cp("様") + "  "},
      {"mixed widths", cp("1あ"), 1, "1 " + cp("あ") + " "},
      {"a trail byte 0x5C is not a character", cp("ソ"), 1, cp("ソ") + " "},
      {"empty stays empty", "", 5, ""},
      {"zero adds nothing", "abc", 0, "abc"},
      {"negative adds nothing", "abc", -3, "abc"},
      {"at most 47 blanks", "a", 100, "a" + std::string(47, ' ')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(spaceSet(c.in, c.k), c.out);
  }
  EXPECT_EQ(spaceSet(cp("山田様"), 2).size(), 12u);
}

}  // namespace
}  // namespace vendaro::formprint

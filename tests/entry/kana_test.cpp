#include "entry/kana.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace vendaro::entry {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

struct Case {
  const char* in;
  const char* out;
};

TEST(HalfKanaToHiragana, ConvertsReadings) {
  const Case cases[] = {
      {"ﾔﾏﾀﾞ", "やまだ"},
      {"ﾀﾛｳ", "たろう"},
      {"ﾗｰﾒﾝ", "らあめん"},
      {"ﾁｰｽﾞ", "ちいず"},
      {"ｰｱ", "ーあ"},               // nothing before the mark: the long-vowel mark itself
      {"ﾝｰ", "んー"},               // ん has no vowel
      {"ｳﾞｧｲｵﾘﾝ", "う゛ぁいおりん"},
      {"ｶA-", "かAあ"},             // ASCII is copied and keeps the class of か
      {"ｺ-ﾋｰ", "こおひい"},         // the hyphen counts as a long-vowel mark
      {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ぱぴぷぺぽ"},
      {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ", "がぎぐげござじずぜぞだぢづでどばびぶべぼ"},
      {"ｱﾞﾜﾞ", "あﾞわﾞ"},           // no such pair: the mark stays half-width
      {"ﾊﾞｰ", "ばあ"},               // a pair takes the class of its unvoiced kana
      {"ｷｮｰ", "きょお"},
      {"ｯｰ", "っう"},
      {"ﾜｦﾝ", "わをん"},
      {"ｧｨｩｪｫｬｭｮ", "ぁぃぅぇぉゃゅょ"},
      {"ｦｰ", "をお"},
      {"ﾕｰ", "ゆう"},
      {"ｶﾟ", "かﾟ"},                // no semi-voiced か
      {"山ﾀ", "山た"},               // a two-byte character is copied whole
      {"ﾞ", "ﾞ"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(sjis::toUtf8(HalfKanaToHiragana(cp(c.in))), c.out);
  }
}

TEST(HalfKanaToHiragana, SecondByteOfAKanjiIsNotReadAsKana) {
  // 鯵 is 0x88 0xB1: its second byte is the half-width ｱ; 臆 is 0x89 0xB0, the second byte ｰ.
  const std::string text = cp("ｶ鯵臆");
  ASSERT_EQ(static_cast<unsigned char>(text[2]), 0xB1);
  EXPECT_EQ(sjis::toUtf8(HalfKanaToHiragana(text)), "か鯵臆");
}

TEST(HalfWidthReading, BringsFullWidthKanaToHalfWidth) {
  const Case cases[] = {
      {"やまだ", "ﾔﾏﾀﾞ"},
      {"ヤマダ", "ﾔﾏﾀﾞ"},
      {"ﾔﾏﾀﾞ", "ﾔﾏﾀﾞ"},
      {"らーめん", "ﾗｰﾒﾝ"},
      {"ぱぴぷぺぽ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
      {"ぁゃっをん", "ｧｬｯｦﾝ"},
      {"むめもゐ", "ﾑﾒﾓヰ"},          // around the gap of the katakana rows; ヰ has no half-width form
      {"ヴァイオリン", "ｳﾞｧｲｵﾘﾝ"},
      {"う゛", "ｳﾞ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(sjis::toUtf8(halfWidthReading(cp(c.in))), c.out);
  }
}

TEST(HalfWidthReading, RoundTripsEveryHiraganaThatHasAHalfWidthKana) {
  const char* hiragana = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
                         "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉゃゅょっ";
  EXPECT_EQ(sjis::toUtf8(HalfKanaToHiragana(halfWidthReading(cp(hiragana)))), hiragana);
}

}  // namespace
}  // namespace vendaro::entry

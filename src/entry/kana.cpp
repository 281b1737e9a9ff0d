#include "entry/kana.h"

#include <array>

#include "formprint/char_convert.h"
#include "platform/sjis.h"

namespace vendaro::entry {
namespace {

/// What a half-width kana byte becomes: its hiragana (two bytes of CP932) and vowel class.
struct Kana {
  std::string hiragana;
  int vowel = -1;  ///< -1: not a kana of the table
};

/// The single table, indexed by the half-width byte (0xA1-0xDF).
const std::array<Kana, 256>& singles() {
  static const std::array<Kana, 256> table = [] {
    std::array<Kana, 256> t{};
    auto add = [&t](const char* halfUtf8, const char* hiraUtf8, std::initializer_list<int> vowels) {
      const std::string half = sjis::lit(halfUtf8), hira = sjis::lit(hiraUtf8);
      auto v = vowels.begin();
      for (std::size_t i = 0; i < half.size(); ++i, ++v)
        t[static_cast<unsigned char>(half[i])] = Kana{hira.substr(2 * i, 2), *v};
    };
    add("ｱｲｳｴｵ", "あいうえお", {1, 2, 3, 4, 5});
    add("ｶｷｸｹｺ", "かきくけこ", {1, 2, 3, 4, 5});
    add("ｻｼｽｾｿ", "さしすせそ", {1, 2, 3, 4, 5});
    add("ﾀﾁﾂﾃﾄ", "たちつてと", {1, 2, 3, 4, 5});
    add("ﾅﾆﾇﾈﾉ", "なにぬねの", {1, 2, 3, 4, 5});
    add("ﾊﾋﾌﾍﾎ", "はひふへほ", {1, 2, 3, 4, 5});
    add("ﾏﾐﾑﾒﾓ", "まみむめも", {1, 2, 3, 4, 5});
    add("ﾔﾕﾖ", "やゆよ", {1, 3, 5});
    add("ﾗﾘﾙﾚﾛ", "らりるれろ", {1, 2, 3, 4, 5});
    add("ﾜｦﾝ", "わをん", {1, 5, 0});
    add("ｧｨｩｪｫ", "ぁぃぅぇぉ", {1, 2, 3, 4, 5});
    add("ｬｭｮ", "ゃゅょ", {1, 3, 5});
    add("ｯ", "っ", {3});
    return t;
  }();
  return table;
}

/// The pair table: the voiced (index 0) and semi-voiced (index 1) hiragana of a half-width byte.
const std::array<std::array<std::string, 2>, 256>& pairs() {
  static const std::array<std::array<std::string, 2>, 256> table = [] {
    std::array<std::array<std::string, 2>, 256> t{};
    auto add = [&t](int mark, const char* halfUtf8, const char* hiraUtf8) {
      const std::string half = sjis::lit(halfUtf8), hira = sjis::lit(hiraUtf8);
      for (std::size_t i = 0; i < half.size(); ++i)
        t[static_cast<unsigned char>(half[i])][static_cast<std::size_t>(mark)] = hira.substr(2 * i, 2);
    };
    add(0, "ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ", "がぎぐげござじずぜぞだぢづでどばびぶべぼ");
    add(1, "ﾊﾋﾌﾍﾎ", "ぱぴぷぺぽ");
    t[static_cast<unsigned char>(sjis::lit("ｳ")[0])][0] = sjis::lit("う゛");
    return t;
  }();
  return table;
}

}  // namespace

std::string HalfKanaToHiragana(std::string_view text) {
  static const unsigned char voicedMark = static_cast<unsigned char>(sjis::lit("ﾞ")[0]);
  static const unsigned char semiVoicedMark = static_cast<unsigned char>(sjis::lit("ﾟ")[0]);
  static const unsigned char longMark = static_cast<unsigned char>(sjis::lit("ｰ")[0]);
  static const std::array<std::string, 6> vowels = {sjis::lit("ー"), sjis::lit("あ"), sjis::lit("い"),
                                                    sjis::lit("う"), sjis::lit("え"), sjis::lit("お")};
  std::string out;
  out.reserve(text.size() * 2);
  int vowel = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (sjis::isLeadByte(c) && i + 1 < text.size()) {
      out.append(text.substr(i, 2));
      i += 2;
      continue;
    }
    if (i + 1 < text.size()) {
      const auto mark = static_cast<unsigned char>(text[i + 1]);
      const std::size_t kind = mark == voicedMark ? 0 : (mark == semiVoicedMark ? 1 : 2);
      if (kind < 2 && !pairs()[c][kind].empty()) {
        out += pairs()[c][kind];
        vowel = singles()[c].vowel;
        i += 2;
        continue;
      }
    }
    const Kana& k = singles()[c];
    if (k.vowel >= 0) {
      out += k.hiragana;
      vowel = k.vowel;
    } else if (c == longMark || c == '-') {
      out += vowels[static_cast<std::size_t>(vowel)];
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string halfWidthReading(std::string_view fullWidthKana) {
  // Hiragana (0x829F-0x82F1) to katakana (0x8340-0x8393, which skips 0x837F); the hiragana sound
  // marks to their half-width forms; then the full-to-half conversion of form printing.
  static const std::string voiced = sjis::lit("ﾞ"), semiVoiced = sjis::lit("ﾟ");
  std::string katakana;
  katakana.reserve(fullWidthKana.size());
  for (std::size_t i = 0; i < fullWidthKana.size();) {
    const auto lead = static_cast<unsigned char>(fullWidthKana[i]);
    if (!sjis::isLeadByte(lead) || i + 1 >= fullWidthKana.size()) {
      katakana += static_cast<char>(lead);
      ++i;
      continue;
    }
    const auto trail = static_cast<unsigned char>(fullWidthKana[i + 1]);
    if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) {
      int kata = trail - 0x5F;
      if (kata >= 0x7F) ++kata;
      katakana += static_cast<char>(0x83);
      katakana += static_cast<char>(kata);
    } else if (lead == 0x81 && trail == 0x4A) {
      katakana += voiced;
    } else if (lead == 0x81 && trail == 0x4B) {
      katakana += semiVoiced;
    } else {
      katakana.append(fullWidthKana.substr(i, 2));
    }
    i += 2;
  }
  return formprint::charCheck(katakana, formprint::CharMode::FullToHalf);
}

}  // namespace vendaro::entry

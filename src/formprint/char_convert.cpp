#include "formprint/char_convert.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

constexpr unsigned char kDigitRow = 0x82;

bool isFullDigit(unsigned char lead, unsigned char trail) { return lead == kDigitRow && trail >= 0x4F && trail <= 0x58; }

uint16_t code(unsigned char lead, unsigned char trail) { return static_cast<uint16_t>(lead << 8 | trail); }

/// Two-byte characters of the full-to-half conversion that are not simple digit or letter rows,
/// with what each becomes.
const std::unordered_map<uint16_t, std::string>& halfWidthTable() {
  static const std::unordered_map<uint16_t, std::string> table = [] {
    std::unordered_map<uint16_t, std::string> t;
    // Each full-width character of `full` becomes the half-width character at the same place in
    // `half`, followed by `mark` (the voiced or semi-voiced sound mark, or nothing).
    auto add = [&t](const char* fullUtf8, const char* halfUtf8, const std::string& mark) {
      const std::string full = sjis::lit(fullUtf8);
      const std::string half = sjis::lit(halfUtf8);
      for (std::size_t i = 0, j = 0; i + 1 < full.size() && j < half.size(); i += 2, ++j)
        t[code(static_cast<unsigned char>(full[i]), static_cast<unsigned char>(full[i + 1]))] = half.substr(j, 1) + mark;
    };
    add("　", " ", "");
    add("！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＾＿～", "!#$%&()*+,-./:;<=>?@[]^_~", "");
    t[code(0x81, 0x8F)] = "\x5C";  // ￥
    add("。「」、・ー", "｡｢｣､･ｰ", "");
    add("アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン",
        "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝ", "");
    add("ァィゥェォャュョッ", "ｧｨｩｪｫｬｭｮｯ", "");
    const std::string voiced = sjis::lit("ﾞ"), semiVoiced = sjis::lit("ﾟ");
    add("ガギグゲゴザジズゼゾダヂヅデドバビブベボ", "ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎ", voiced);
    add("ヴ", "ｳ", voiced);
    add("パピプペポ", "ﾊﾋﾌﾍﾎ", semiVoiced);
    return t;
  }();
  return table;
}

/// Full-to-half of one two-byte character, appended to `out`.
void appendHalfWidth(std::string& out, unsigned char lead, unsigned char trail) {
  const auto& table = halfWidthTable();
  auto it = table.find(code(lead, trail));
  if (it != table.end()) {
    out += it->second;
    return;
  }
  if (lead == kDigitRow) {
    if ((trail >= 0x4F && trail <= 0x58) || (trail >= 0x60 && trail <= 0x79)) {  // ０-９, Ａ-Ｚ
      out += static_cast<char>(trail - 0x1F);
      return;
    }
    if (trail >= 0x81 && trail <= 0x9A) {  // ａ-ｚ
      out += static_cast<char>(trail - 0x20);
      return;
    }
  }
  out += static_cast<char>(lead);
  out += static_cast<char>(trail);
}

}  // namespace

std::string charCheck(std::string_view text, CharMode mode) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  bool afterDigit = false;  // date digits: the previous character was a full-width digit
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = printCharLength(text, i);
    const auto lead = static_cast<unsigned char>(text[i]);
    if (len == 1) {
      if (mode == CharMode::DigitsToFull && lead >= '0' && lead <= '9') {
        out += static_cast<char>(kDigitRow);
        out += static_cast<char>(lead + 0x1F);
      } else {
        out += static_cast<char>(lead);
      }
      afterDigit = false;
      ++i;
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    switch (mode) {
      case CharMode::DateDigits:
        if (isFullDigit(lead, trail)) {
          // A number keeps its width in columns: its leading zero becomes a blank.
          out += (trail == 0x4F && !afterDigit) ? ' ' : static_cast<char>(trail - 0x1F);
          afterDigit = true;
        } else {
          out.append(text.substr(i, 2));
          afterDigit = false;
        }
        break;
      case CharMode::FullToHalf:
        appendHalfWidth(out, lead, trail);
        break;
      case CharMode::DigitsToFull:
        out.append(text.substr(i, 2));
        break;
    }
    i += 2;
  }
  return out;
}

std::string spaceSet(std::string_view text, int k) {
  if (k <= 0) return std::string(text);
  const std::size_t blanks = static_cast<std::size_t>(std::min(k, 47));
  std::string out;
  out.reserve(text.size() * (blanks + 1));
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = printCharLength(text, i);
    out.append(text.substr(i, len));
    out.append(blanks, ' ');
    i += len;
  }
  return out;
}

}  // namespace vendaro::formprint

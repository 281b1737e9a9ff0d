#include "formprint/item_face.h"

#include <algorithm>
#include <cctype>

#include "platform/sjis.h"

namespace vendaro::formprint {

FaceKind requestedFaceKind(const std::string& face) {
  // Full-width letters become half-width and lower case, so "ＭＩＮＣＨＯ" and "Mincho" compare alike.
  std::string folded = sjis::toUtf8(face);
  std::string ascii;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(folded[i]);
    // U+FF21..U+FF3A and U+FF41..U+FF5A: EF BC A1..BA, EF BD 81..9A.
    if (c == 0xEF && i + 2 < folded.size()) {
      const unsigned char b1 = static_cast<unsigned char>(folded[i + 1]), b2 = static_cast<unsigned char>(folded[i + 2]);
      if (b1 == 0xBC && b2 >= 0xA1 && b2 <= 0xBA) {
        ascii += static_cast<char>('a' + (b2 - 0xA1));
        i += 2;
        continue;
      }
      if (b1 == 0xBD && b2 >= 0x81 && b2 <= 0x9A) {
        ascii += static_cast<char>('a' + (b2 - 0x81));
        i += 2;
        continue;
      }
    }
    ascii += static_cast<char>(std::tolower(c));
  }
  for (const char* serif : {"明朝", "ﾐﾝﾁｮｳ", "ミンチョウ", "楷書", "行書", "教科書", "mincho", "ming", "serif", "song",
                            "times", "century"}) {
    const std::string needle = serif;
    if (needle == "serif") {
      // "Sans Serif" is no serif face.
      if (ascii.find("serif") != std::string::npos && ascii.find("sans") == std::string::npos) return FaceKind::Serif;
      continue;
    }
    if (ascii.find(needle) != std::string::npos) return FaceKind::Serif;
  }
  return FaceKind::Sans;
}

}  // namespace vendaro::formprint

// The kana reading conversions on any bytes: HalfKanaToHiragana and halfWidthReading.
//
// HalfKanaToHiragana at most doubles the text and leaves nothing it would convert again, so a
// second pass changes nothing. A reading made of hiragana that have a half-width form (the input
// picks them) comes back unchanged through halfWidthReading and HalfKanaToHiragana.

#include <string>
#include <vector>

#include "entry/kana.h"
#include "fuzz_support.h"
#include "platform/sjis.h"

using namespace vendaro;
using fuzz::check;

namespace {

/// The hiragana that half-width katakana can spell, one per entry.
const std::vector<std::string>& spellable() {
  static const std::vector<std::string> kana = [] {
    const std::string all = sjis::lit(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
        "ぁぃぅぇぉゃゅょっがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ");
    std::vector<std::string> out;
    for (std::size_t i = 0; i + 1 < all.size(); i += 2) out.push_back(all.substr(i, 2));
    return out;
  }();
  return kana;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::string hiragana = entry::HalfKanaToHiragana(text);
  check(hiragana.size() <= 2 * text.size(), "the conversion more than doubled the text");
  check(entry::HalfKanaToHiragana(hiragana) == hiragana, "a converted text converts again");

  const std::string half = entry::halfWidthReading(text);
  check(half.size() <= text.size(), "the half-width reading made the text longer");
  entry::HalfKanaToHiragana(half);

  std::string reading;
  for (std::size_t i = 0; i < size; ++i) reading += spellable()[data[i] % spellable().size()];
  check(entry::HalfKanaToHiragana(entry::halfWidthReading(reading)) == reading,
        "a hiragana reading does not come back through half-width kana");
  return 0;
}

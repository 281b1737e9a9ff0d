// CP932 text at the edges: any bytes go to UTF-8 and come back unchanged, any UTF-8 either
// converts or names the character that cannot, the number readings (amounts as typed included)
// agree with each other, and a search finds text only at a character's start.

#include "fuzz_support.h"
#include "platform/sjis.h"
#include "pricing/amounts.h"

using namespace vendaro;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // CP932 bytes (valid or not) through UTF-8 and back.
  const std::string utf8 = sjis::toUtf8(bytes);
  const auto back = sjis::fromUtf8(utf8);
  check(back && *back == bytes, "CP932 bytes do not come back from UTF-8");
  sjis::toUtf8Display(bytes);

  // The same bytes taken as UTF-8.
  std::string bad;
  if (const auto cp932 = sjis::fromUtf8(bytes, &bad)) {
    check(bad.empty(), "a conversion that worked named a bad character");
  } else {
    check(!bad.empty() && bad.size() <= 4, "a failed conversion named no character");
  }
  sjis::fromUtf8Lossy(bytes);

  // The strict reading, when it reads, agrees with the leading-integer reading.
  if (const auto strict = sjis::parseInt32(bytes)) check(sjis::leadingInt(bytes) == *strict, "the number readings differ");

  // An amount as people type it, when it reads, is stored as digits that read back as the same figure;
  // the strict reading always agrees with it.
  if (const auto amount = pricing::readAmount(bytes)) {
    const std::string stored = pricing::amountToStore(bytes);
    check(sjis::parseInt32(stored) == amount && pricing::readAmount(stored) == amount, "a typed amount is stored as another figure");
  } else {
    check(pricing::amountToStore(bytes) == bytes, "text that is no amount is not kept as typed");
  }
  if (const auto strict = sjis::parseInt32(bytes)) check(pricing::readAmount(bytes) == strict, "the amount reading refuses a whole number");

  // Character-boundary search finds only what a byte search finds, at a character's start.
  if (size >= 2) {
    const std::string_view needle = bytes.substr(size / 2, 1 + size % 3);
    const std::size_t at = sjis::findText(bytes, needle);
    if (at != std::string_view::npos) {
      check(bytes.substr(at, needle.size()) == needle, "a boundary match is no match");
      std::size_t i = 0;
      while (i < at) i += sjis::isLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
      check(i == at, "a match starts inside a two-byte character");
    }
  }

  // Cutting a longer text keeps a prefix within the limit and never leaves half a character.
  for (std::size_t limit : {std::size_t{0}, std::size_t{1}, size / 2, size > 0 ? size - 1 : 0}) {
    if (limit >= size) continue;
    const std::string_view cut = sjis::cutBytes(bytes, limit);
    check(cut.size() <= limit && bytes.substr(0, cut.size()) == cut, "a cut is not a prefix within the limit");
    std::size_t i = 0;
    while (i < cut.size()) i += sjis::isLeadByte(static_cast<unsigned char>(cut[i])) ? 2 : 1;
    check(i == cut.size(), "a cut split a two-byte character");
  }
  return 0;
}

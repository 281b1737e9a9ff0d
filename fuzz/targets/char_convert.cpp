// The character conversions of form printing and of era dates, on any bytes: charCheck in each
// mode, spaceSet and era::changeChar. The first byte picks the letter spacing.

#include "book/eradate.h"
#include "formprint/char_convert.h"
#include "fuzz_support.h"

using namespace vendaro;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const int spacing = static_cast<int>(in.byte()) - 8;
  const std::string_view text = in.rest();

  const std::string dateDigits = formprint::charCheck(text, formprint::CharMode::DateDigits);
  check(dateDigits.size() <= text.size(), "date digits made the text longer");
  const std::string half = formprint::charCheck(text, formprint::CharMode::FullToHalf);
  check(half.size() <= text.size(), "full to half made the text longer");
  const std::string full = formprint::charCheck(text, formprint::CharMode::DigitsToFull);
  check(full.size() >= text.size() && full.size() <= 2 * text.size(), "digits to full width changed size wrongly");

  // Letter spacing puts the same number of blanks after every character.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); i += formprint::printCharLength(text, i)) ++characters;
  const std::size_t blanks = spacing <= 0 ? 0 : static_cast<std::size_t>(std::min(spacing, 47));
  const std::string spaced = formprint::spaceSet(text, spacing);
  check(spaced.size() == text.size() + characters * blanks, "letter spacing added the wrong number of blanks");

  // Widening leaves only two-byte characters (and a lone lead byte at the end), so it is done once.
  std::string wide(text);
  era::changeChar(wide);
  check(wide.size() <= 2 * text.size(), "widening more than doubled the text");
  std::string twice = wide;
  era::changeChar(twice);
  check(twice == wide, "widening a widened text changed it");
  return 0;
}

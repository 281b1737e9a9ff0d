#pragma once
// Character conversion for printing on forms: full-width and half-width digits, letters, symbols
// and katakana, and the letter spacing of a print item. Byte for byte on CP932 text.
//
// Form printing reads characters with a wider lead-byte range than CP932 proper: a byte from 0x7F
// to 0xA0 or from 0xE0 to 0xFF starts a two-byte character. A lead byte at the very end of a text
// stands alone.

#include <cstddef>
#include <string>
#include <string_view>

namespace vendaro::formprint {

/// True for a byte that starts a two-byte character in form printing (0x7F-0xA0, 0xE0-0xFF).
inline bool isPrintLeadByte(unsigned char c) { return (c >= 0x7F && c <= 0xA0) || c >= 0xE0; }

/// Bytes of the character that starts at `pos` (1 or 2; 1 for a lead byte at the end).
inline std::size_t printCharLength(std::string_view text, std::size_t pos) {
  return isPrintLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

/// The conversions of charCheck.
enum class CharMode {
  DateDigits = 0,    ///< full-width digits to ASCII digits, a leading full-width zero to a blank
  FullToHalf = 1,    ///< full-width blank, symbols, digits, letters and katakana to half-width
  DigitsToFull = 3,  ///< ASCII digits to full-width digits
};

/// Converts a text in one of the modes above; every character without a conversion is copied.
std::string charCheck(std::string_view text, CharMode mode);

/// The text with `k` half-width blanks (at most 47) after every character, the last one included.
/// A two-byte character counts as one character; k of 0 or less adds nothing.
std::string spaceSet(std::string_view text, int k);

}  // namespace vendaro::formprint

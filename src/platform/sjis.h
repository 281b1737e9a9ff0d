#pragma once
// Shift-JIS (CP932) text helpers. Every text the system keeps is CP932 bytes in a std::string;
// these functions are the only road between those bytes and Unicode (UTF-8) at the edges.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vendaro::sjis {

/// True for a byte that starts a two-byte character in CP932 (0x81-0x9F, 0xE0-0xFC).
inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

/// True for a byte that can end a two-byte character in CP932 (0x40-0x7E, 0x80-0xFC). A lead
/// byte followed by anything else (a quote, say) is a stray byte, not half of a character.
inline bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

/// First code point of the private-use block that carries bytes which are not valid CP932
/// through a conversion to UTF-8 and back: byte b becomes U+F700 + b.
constexpr char32_t kEscapeBase = 0xF700;

/// CP932 bytes to UTF-8. A byte that does not form a valid CP932 character (a stray lead byte, half
/// of a cut character, an unassigned code) is carried as the private-use code point
/// kEscapeBase + byte, so that fromUtf8(toUtf8(x)) == x for every x.
std::string toUtf8(std::string_view cp932);

/// CP932 bytes to UTF-8 for showing to a person: invalid bytes become U+FFFD.
std::string toUtf8Display(std::string_view cp932);

/// UTF-8 to CP932. Escaped bytes (see toUtf8) come back as the raw bytes they stand for. Returns
/// nothing when a character has no CP932 form or the input is not valid UTF-8; the offending
/// character (as UTF-8) is then stored in *bad when given.
std::optional<std::string> fromUtf8(std::string_view utf8, std::string* bad = nullptr);

/// UTF-8 to CP932, each character without a CP932 form becoming '?'. For texts written in the
/// program's own source (messages, field names), which are always representable.
std::string fromUtf8Lossy(std::string_view utf8);

/// Shorthand for program literals written in UTF-8 source: fromUtf8Lossy.
inline std::string lit(std::string_view utf8) { return fromUtf8Lossy(utf8); }

/// The leading-integer reading: leading blanks are skipped, an optional sign is taken, then decimal
/// digits up to the first other character; no digits read as 0. A value beyond the 32-bit range is
/// held at the nearest end of the range.
int32_t leadingInt(std::string_view text);

/// Strict reading of a whole text as a signed 32-bit integer: optional blanks around an optional
/// sign and at least one digit, nothing else. Nothing for anything else, the empty text included.
std::optional<int32_t> parseInt32(std::string_view text);

/// Where `needle` occurs in `hay` at a character boundary of CP932 text, from byte `from` on, or
/// npos. A match that starts on the second byte of a two-byte character is no match ("R" is not
/// found in 山, whose second byte is 'R').
std::size_t findText(std::string_view hay, std::string_view needle, std::size_t from = 0);

/// findText(hay, needle) found something.
inline bool containsText(std::string_view hay, std::string_view needle) {
  return findText(hay, needle) != std::string_view::npos;
}

/// Cuts `text` to at most `maxBytes` bytes without splitting a two-byte character.
std::string_view cutBytes(std::string_view text, std::size_t maxBytes);

}  // namespace vendaro::sjis

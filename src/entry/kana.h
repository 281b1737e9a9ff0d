#pragma once
// Kana readings of names: the input method's reading of a commit arrives as kana, is brought to
// half-width katakana, and is stored as hiragana.

#include <string>
#include <string_view>

namespace vendaro::entry {

/// Half-width katakana to hiragana (CP932 in and out). A long-vowel mark "ｰ" or a hyphen becomes
/// the vowel of the kana before it (あ い う え お), or "ー" where that kana has no vowel (ん) or
/// there is none yet; a voiced or semi-voiced mark joins the kana before it when that pair exists
/// (ｳﾞ gives "う゛"), else it is copied. Everything else is copied unchanged: ASCII, other
/// half-width characters and whole two-byte characters (whose second byte is never read as kana).
std::string HalfKanaToHiragana(std::string_view text);

/// A reading in full-width kana (hiragana, katakana, the marks "゛" "゜" and "ー") brought to
/// half-width katakana, the form the conversion above reads. Characters without a half-width form
/// are copied unchanged.
std::string halfWidthReading(std::string_view fullWidthKana);

}  // namespace vendaro::entry

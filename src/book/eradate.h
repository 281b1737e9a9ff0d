#pragma once
// Era date text: a date written in the Japanese era calendar with full-width digits, for example
// 平成１５年０３月２０日 (22 bytes of CP932). Every date the book stores or compares has this form.

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace vendaro::era {

/// An era known to formatting, parsing and the date dialog.
struct Era {
  const char* nameUtf8;  ///< the era's two kanji, in UTF-8 (nameCp932() gives the stored bytes)
  int base;              ///< calendar year = base + year in the era
  Date firstDay;         ///< the era's first day
};

/// The five eras, oldest first: 明治, 大正, 昭和, 平成, 令和.
const Era* eras();
constexpr int kEraCount = 5;

/// The era's name in CP932 (four bytes).
const std::string& eraName(int index);

/// Index into eras() of the era the date falls in; dates before 明治 count as 明治.
int eraOf(const Date& date);

/// The date as "<era><ee>年<mm>月<dd>日" with ordinary digits (before ChangeChar), in CP932.
std::string formatPlain(const Date& date);

/// Widens a formatted date in place: each single byte c becomes 0x82, c + 0x1F (digits become
/// full-width digits); two-byte characters are kept.
void changeChar(std::string& text);

/// The era date text of a date: formatPlain followed by changeChar.
std::string format(const Date& date);

/// Reads an era date text into a date. Starts from `today` and replaces the year, month and day it
/// finds; month and day are then brought within the calendar. Never fails.
Date charToDate(std::string_view text, const Date& today);

/// charToDate against today's date.
Date charToDate(std::string_view text);

/// A date as people type it into a date box, digits ordinary or full-width, blanks around it:
/// western (2026/12/20, 2026-12-20, 2026.12.20, 20261220, 2026年12月20日), short era with the
/// era's letter M, T, S, H or R (R8.12.20, H31/4/30) or the era's name (令和8年12月20日, 令和元年5月1日,
/// 平成１５年０３月２０日). The day must exist, fall on or after the era's first day and not
/// before 明治, and its year in the era must have at most two digits. Nothing for any other text.
std::optional<Date> readTypedDate(std::string_view text);

}  // namespace vendaro::era

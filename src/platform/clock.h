#pragma once
// Today's date, which tests and the command line can fix.

#include <optional>

namespace vendaro {

/// A calendar date (proleptic Gregorian).
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const Date& a, const Date& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
  }
  friend bool operator!=(const Date& a, const Date& b) { return !(a == b); }
};

/// Today's local date: the fixed date when one is set, else $VENDARO_TODAY (YYYY-MM-DD) when set,
/// else the system clock's.
Date today();

/// Fixes today's date for the rest of the process (nothing returns to the clock).
void setToday(std::optional<Date> date);

/// Reads "YYYY-MM-DD"; nothing for any other text or an impossible date.
std::optional<Date> parseIsoDate(const char* text);

/// Days in the month of the given year (leap years of the Gregorian calendar).
int daysInMonth(int year, int month);

/// True for a year divisible by 4 and not by 100, or divisible by 400.
inline bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace vendaro

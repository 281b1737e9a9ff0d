#include "platform/clock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vendaro {
namespace {
std::optional<Date>& fixedDate() {
  static std::optional<Date> date;
  return date;
}
}  // namespace

int daysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 31;
  return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

std::optional<Date> parseIsoDate(const char* text) {
  if (!text) return std::nullopt;
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (std::sscanf(text, "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return std::nullopt;
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return std::nullopt;
  return Date{y, m, d};
}

Date today() {
  if (fixedDate()) return *fixedDate();
  if (auto fromEnv = parseIsoDate(std::getenv("VENDARO_TODAY"))) return *fromEnv;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void setToday(std::optional<Date> date) { fixedDate() = date; }

}  // namespace vendaro

// The era date parser: any text read as an era date gives a real calendar date, the item number
// made from it is that date or a clear error, and every date written as an era date text reads
// back as itself. The same bytes also go through the YYYY-MM-DD reading of today's date and the
// reading of a date typed by hand into a date box.

#include "book/eradate.h"
#include "book/estimate_table.h"
#include "platform/clock.h"
#include "fuzz_support.h"
#include "platform/table/schema.h"

using namespace vendaro;
using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  // A today's date from the first bytes, always a real date.
  const int todayYear = 1868 + in.byte() * 2;
  const int todayMonth = 1 + in.byte() % 12;
  const Date today{todayYear, todayMonth, 1 + in.byte() % daysInMonth(todayYear, todayMonth)};
  const std::string_view text = in.rest();

  const Date d = era::charToDate(text, today);
  check(d.month >= 1 && d.month <= 12, "month out of range");
  check(d.day >= 1 && d.day <= daysInMonth(d.year, d.month), "day out of range");

  const int64_t number = int64_t{d.year} * 10000 + d.month * 100 + d.day;
  try {
    check(book::itemNumberFor(text, today) == number, "item number is not the date read");
  } catch (const table::TableError&) {
    check(number > INT32_MAX, "item number refused for a date that fits");
  }

  // The same text as a date of the command line and of VENDARO_TODAY (YYYY-MM-DD): when it reads,
  // it is a real date.
  if (const auto iso = parseIsoDate(std::string(text).c_str()))
    check(iso->year >= 1 && iso->month >= 1 && iso->month <= 12 && iso->day >= 1 &&
              iso->day <= daysInMonth(iso->year, iso->month),
          "an impossible date read from YYYY-MM-DD");

  // A date typed by hand, when it reads, is a real day that its era date text names again.
  if (const auto typed = era::readTypedDate(text)) {
    check(typed->month >= 1 && typed->month <= 12 && typed->day >= 1 &&
              typed->day <= daysInMonth(typed->year, typed->month),
          "an impossible date read from a typed text");
    const std::string written = era::format(*typed);
    check(written.size() == 22, "a typed date gives an era date text that is not 22 bytes");
    check(era::readTypedDate(written) == typed && era::charToDate(written, today) == *typed,
          "the era date text of a typed date does not read back as that date");
  }

  // A date from the same bytes, from the first era on: written and read back it is the same date.
  fuzz::Input again(data, size);
  const int year = 1868 + (again.byte() << 8 | again.byte()) % 8132;
  const int month = 1 + again.byte() % 12;
  const Date written{year, month, 1 + again.byte() % daysInMonth(year, month)};
  const std::string eraText = era::format(written);
  check(era::charToDate(eraText, today) == written, "era date text does not read back as its date");
  return 0;
}

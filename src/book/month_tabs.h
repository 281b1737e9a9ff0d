#pragma once
// Month tabs: the estimates filed by month, from the newest creation date to the oldest. A month
// runs over the calendar month, or with a settlement day s from the day after the s-th of the
// previous month to the s-th of the month.

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/table/cursor.h"

namespace vendaro::book {

/// One month tab: its caption (the month label, the first 16 bytes of an era date text) and its
/// period. With the settlement day at month end only the start is set, to the caption.
struct MonthTab {
  std::string caption;
  std::string periodStart;
  std::string periodEnd;
};

/// The settlement days offered (0 is month end).
constexpr int kSettlementDays[] = {0, 5, 10, 15, 20, 25};

/// At most this many month tabs are built (the newest ones), so that tab numbers stay within 2000.
constexpr int kMaxMonthTabs = 1999;

/// The month tabs for estimates created from `first` to `last`, newest month first. A date after
/// the settlement day belongs to the next month. Empty when the last month lies before the first.
std::vector<MonthTab> buildMonthTabs(Date first, Date last, int settlementDay);

/// A text value for a filter: in single quotes, inner single quotes doubled.
std::string quoteFilterValue(std::string_view value);

/// The filter of a month tab: a prefix match on the month label at month end, else the period.
std::string monthFilter(const MonthTab& tab, int settlementDay);

/// The filter of the tab "個人": every estimate of the customer with exactly this name.
std::string personFilter(std::string_view name);

/// Rebuilds the month tabs from the cursor's first and last records in the natural order, and
/// leaves the cursor unfiltered in the order "降順" on the record that was current before; when
/// that record is gone, at the record number it had (now counted in that order). The filter is
/// switched off on the way.
std::vector<MonthTab> rebuildMonthTabs(table::Cursor& estimates, int settlementDay);

/// The captions of the two fixed tabs in CP932: "全て" and "個人".
const std::string& allTabCaption();
const std::string& personTabCaption();

}  // namespace vendaro::book

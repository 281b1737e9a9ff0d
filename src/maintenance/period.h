#pragma once
// A span of months chosen from the month tabs, as the backup and the clean-up use it: its text
// for names and questions, and the filter that selects its estimates.

#include <string>
#include <vector>

#include "book/month_tabs.h"

namespace vendaro::maintenance {

/// A span of month tabs by their positions in the list of month tabs (0 is the newest month);
/// `from` is the older end. A position outside the list stands for no month.
struct MonthSpan {
  int from = -1;
  int to = -1;
};

/// The span the period dialog proposes: the oldest month to the newest.
MonthSpan wholeSpan(const std::vector<book::MonthTab>& tabs);

/// The caption of the start month, "～" and the caption of the end month (CP932); a missing month
/// gives the empty text, so with no month at all the text is "～" alone.
std::string periodText(const std::vector<book::MonthTab>& tabs, MonthSpan span);

/// The filter that selects the estimates of the span. With the settlement day at month end, from
/// the start month's label to the end month's label followed by "３１日"; otherwise from the
/// period start of the start month to the period end of the end month. When either month is
/// missing (no month tabs at all) the filter selects no estimate.
std::string periodFilter(const std::vector<book::MonthTab>& tabs, MonthSpan span, int settlementDay);

/// The position of the month tab with this caption (CP932), or -1.
int monthTabIndex(const std::vector<book::MonthTab>& tabs, const std::string& caption);

}  // namespace vendaro::maintenance

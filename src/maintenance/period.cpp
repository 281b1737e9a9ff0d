#include "maintenance/period.h"

#include "platform/sjis.h"

namespace vendaro::maintenance {
namespace {

const book::MonthTab* tabAt(const std::vector<book::MonthTab>& tabs, int i) {
  if (i < 0 || i >= static_cast<int>(tabs.size())) return nullptr;
  return &tabs[static_cast<std::size_t>(i)];
}

}  // namespace

MonthSpan wholeSpan(const std::vector<book::MonthTab>& tabs) {
  int n = static_cast<int>(tabs.size());
  return MonthSpan{n - 1, n > 0 ? 0 : -1};
}

std::string periodText(const std::vector<book::MonthTab>& tabs, MonthSpan span) {
  const book::MonthTab* from = tabAt(tabs, span.from);
  const book::MonthTab* to = tabAt(tabs, span.to);
  return (from ? from->caption : std::string()) + sjis::lit("～") + (to ? to->caption : std::string());
}

std::string periodFilter(const std::vector<book::MonthTab>& tabs, MonthSpan span, int settlementDay) {
  static const std::string created = sjis::lit("作成日");
  const book::MonthTab* from = tabAt(tabs, span.from);
  const book::MonthTab* to = tabAt(tabs, span.to);
  // No month to choose: an empty lower bound would let every estimate with an empty or odd
  // creation date through, so the span holds nothing at all.
  if (!from || !to) return "(" + created + " < '')";
  if (settlementDay == 0)
    return "(" + created + " >= " + book::quoteFilterValue(from->caption) + ") and (" + created + " <= " +
           book::quoteFilterValue(to->caption + sjis::lit("３１日")) + ")";
  return "(" + created + " >= " + book::quoteFilterValue(from->periodStart) + ") and  (" + created + " <= " +
         book::quoteFilterValue(to->periodEnd) + ")";
}

int monthTabIndex(const std::vector<book::MonthTab>& tabs, const std::string& caption) {
  for (std::size_t i = 0; i < tabs.size(); ++i)
    if (tabs[i].caption == caption) return static_cast<int>(i);
  return -1;
}

}  // namespace vendaro::maintenance

#include "book/month_tabs.h"

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "platform/sjis.h"

namespace vendaro::book {
namespace {

/// A date moved into the month it is filed under.
void settle(Date& d, int settlementDay) {
  if (settlementDay != 0 && d.day > settlementDay) {
    if (++d.month == 13) {
      d.month = 1;
      ++d.year;
    }
  }
}

}  // namespace

const std::string& allTabCaption() {
  static const std::string caption = sjis::lit("全て");
  return caption;
}

const std::string& personTabCaption() {
  static const std::string caption = sjis::lit("個人");
  return caption;
}

std::vector<MonthTab> buildMonthTabs(Date first, Date last, int settlementDay) {
  settle(first, settlementDay);
  settle(last, settlementDay);
  const int day = settlementDay != 0 ? settlementDay : 1;
  std::vector<MonthTab> tabs;
  for (int year = last.year; year >= first.year; --year) {
    int fromMonth = year == last.year ? last.month : 12;
    int toMonth = year == first.year ? first.month : 1;
    for (int month = fromMonth; month >= toMonth; --month) {
      if (static_cast<int>(tabs.size()) >= kMaxMonthTabs) return tabs;
      std::string text = era::format(Date{year, month, day});
      MonthTab tab;
      tab.caption = text.substr(0, 16);
      if (settlementDay == 0) {
        tab.periodStart = tab.caption;
      } else {
        tab.periodEnd = text;
        Date previous = month == 1 ? Date{year - 1, 12, settlementDay + 1} : Date{year, month - 1, settlementDay + 1};
        tab.periodStart = era::format(previous);
      }
      tabs.push_back(std::move(tab));
    }
  }
  return tabs;
}

std::string quoteFilterValue(std::string_view value) {
  std::string out = "'";
  for (std::size_t i = 0; i < value.size(); ++i) {
    // Only a real quote character is doubled, never the second byte of a two-byte character; a
    // stray lead byte (one no second byte follows) is a byte of its own, as the filter reads it.
    if (sjis::isLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size() &&
        sjis::isTrailByte(static_cast<unsigned char>(value[i + 1]))) {
      out += value.substr(i, 2);
      ++i;
      continue;
    }
    out += value[i];
    if (value[i] == '\'') out += '\'';
  }
  return out + "'";
}

std::string monthFilter(const MonthTab& tab, int settlementDay) {
  static const std::string created = sjis::lit("作成日");
  if (settlementDay != 0)
    return "(" + created + " >= " + quoteFilterValue(tab.periodStart) + ") and  (" + created + " <= " +
           quoteFilterValue(tab.periodEnd) + ")";
  return "(" + created + " = " + quoteFilterValue(tab.caption + "*") + ")";
}

std::string personFilter(std::string_view name) {
  static const std::string field = sjis::lit("氏名");
  // "=" with a value ending in "*" matches every text that starts with the rest; a name that
  // really ends in "*" is matched exactly by being both the lowest and the highest value.
  if (!name.empty() && name.back() == '*')
    return "(" + field + " >= " + quoteFilterValue(name) + ") and  (" + field + " <= " + quoteFilterValue(name) + ")";
  return "(" + field + " = " + quoteFilterValue(name) + ")";
}

std::vector<MonthTab> rebuildMonthTabs(table::Cursor& estimates, int settlementDay) {
  int remembered = estimates.recNo();
  int64_t current = estimates.bookmark();
  estimates.setFiltered(false);
  estimates.setIndex("");
  std::vector<MonthTab> tabs;
  if (!estimates.isEmpty()) {
    estimates.first();
    Date first = era::charToDate(estimates.text(kCreatedField));
    estimates.last();
    Date last = era::charToDate(estimates.text(kCreatedField));
    tabs = buildMonthTabs(first, last, settlementDay);
  }
  estimates.setIndex(descendingIndexName());
  // The estimate that was current stays current; its old record number would, among all the
  // estimates, belong to another one.
  if (!estimates.gotoBookmark(current) && remembered > 0) estimates.setRecNo(remembered);
  return tabs;
}

}  // namespace vendaro::book

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
    // Only a real quote character is doubled, never the second byte of a two-byte character.
    if (sjis::isLeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size()) {
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
  return "(" + field + " = " + quoteFilterValue(name) + ")";
}

std::vector<MonthTab> rebuildMonthTabs(table::Cursor& estimates, int settlementDay) {
  int remembered = estimates.recNo();
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
  if (remembered > 0) estimates.setRecNo(remembered);
  return tabs;
}

}  // namespace vendaro::book

#include "maintenance/cleanup.h"

#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/month_tabs.h"
#include "maintenance/period.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::maintenance {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

TEST(CleanUp, DeletesExactlyTheEstimatesOfTheChosenMonths) {
  const char* dates[] = {"平成１２年０１月０１日", "平成１２年０１月３１日", "平成１２年０２月０１日", "平成１４年１１月２０日",
                         "平成１４年１１月２１日", "平成１４年１２月２０日", "平成１４年１２月２１日", "平成１５年０１月１０日"};
  struct Case {
    const char* name;
    int settlementDay;
    const char* from;
    const char* to;
    std::vector<const char*> left;  // creation dates that stay
  } cases[] = {
      {"the oldest month, month end", 0, "平成１２年０１月", "平成１２年０１月",
       {"平成１２年０２月０１日", "平成１４年１１月２０日", "平成１４年１１月２１日", "平成１４年１２月２０日", "平成１４年１２月２１日",
        "平成１５年０１月１０日"}},
      {"one month with settlement day 20", 20, "平成１４年１２月", "平成１４年１２月",
       {"平成１２年０１月０１日", "平成１２年０１月３１日", "平成１２年０２月０１日", "平成１４年１１月２０日", "平成１４年１２月２１日",
        "平成１５年０１月１０日"}},
      {"the whole span", 0, "平成１２年０１月", "平成１５年０１月", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    for (const char* d : dates) {
      estimates->append();
      estimates->setText(book::kCreatedField, cp(d));
      estimates->post();
    }
    // An estimate without a creation date is in no month.
    estimates->append();
    estimates->setText(book::kNameField, cp("日付なし"));
    estimates->post();

    auto tabs = book::rebuildMonthTabs(*estimates, c.settlementDay);
    MonthSpan span{monthTabIndex(tabs, cp(c.from)), monthTabIndex(tabs, cp(c.to))};
    ASSERT_GE(span.from, 0);
    ASSERT_GE(span.to, 0);
    estimates->setFilter(periodFilter(tabs, span, c.settlementDay));
    int expectedDeleted = static_cast<int>(std::size(dates) - c.left.size());
    EXPECT_EQ(deleteFilteredEstimates(*estimates), expectedDeleted);

    estimates->setFiltered(false);
    estimates->setIndex("");
    std::vector<std::string> left;
    for (estimates->first(); !estimates->eof(); estimates->next())
      if (estimates->text(book::kNameField).empty()) left.push_back(estimates->text(book::kCreatedField));
    std::vector<std::string> expected;
    for (const char* d : c.left) expected.push_back(cp(d));
    EXPECT_EQ(left, expected);
    EXPECT_EQ(estimates->recordCount(), static_cast<int>(c.left.size()) + 1);
  }
}

}  // namespace
}  // namespace vendaro::maintenance

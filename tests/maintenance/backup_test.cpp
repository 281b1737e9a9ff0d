#include "maintenance/backup.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/month_tabs.h"
#include "maintenance/file_names.h"
#include "maintenance/period.h"
#include "maintenance/restore.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::maintenance {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> linesOf(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0, end;
  while ((end = content.find("\r\n", start)) != std::string::npos) {
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, content.size()) << "the file does not end with CR LF";
  return lines;
}

class BackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setToday(Date{2003, 7, 4});
    estimates = book::openEstimateTable(dir.file("CARDATA"));
  }
  void TearDown() override { setToday(std::nullopt); }

  void add(const char* created, const char* name, const char* remark = "") {
    estimates->append();
    estimates->setText(cp("作成日"), cp(created));
    estimates->setText(cp("氏名"), cp(name));
    estimates->setText(cp("備考"), cp(remark));
    estimates->setInteger(cp("見積金額"), -1200);
    estimates->post();
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> estimates;
};

TEST_F(BackupTest, WritesTheHeaderAndOneLineOfValuesPerEstimateInTheCurrentOrder) {
  add("平成１４年１１月０５日", "山田　一郎");
  add("平成１５年０２月２８日", "佐藤　花子");
  add("平成１４年１２月１０日", "鈴木　健太");
  estimates->setIndex(book::descendingIndexName());
  BackupReport report = writeBackup(*estimates, dir.file("all.CSV"), false);
  EXPECT_EQ(report.estimates, 3);
  EXPECT_TRUE(report.unreadable.empty());

  auto lines = linesOf(slurp(dir.file("all.CSV")));
  ASSERT_EQ(lines.size(), 4u);
  std::string header;
  for (int i = 1; i < 123; ++i) header += (i > 1 ? "," : "") + book::estimateFieldName(i);
  EXPECT_EQ(lines[0], header);
  const char* newestFirst[] = {"佐藤　花子", "鈴木　健太", "山田　一郎"};
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 121);
    EXPECT_NE(lines[i].find("," + cp(newestFirst[i - 1]) + ","), std::string::npos);
    EXPECT_NE(lines[i].find(",-1200,"), std::string::npos);  // plain decimal with its sign
  }
}

TEST_F(BackupTest, AnEmptyViewGivesOneLineOfEmptyValues) {
  add("平成１４年１１月０５日", "山田　一郎");
  estimates->setFilter(cp("(作成日 = '令和*')"));
  estimates->setFiltered(true);
  BackupReport report = writeBackup(*estimates, dir.file("p.CSV"), true);
  auto lines = linesOf(slurp(dir.file("p.CSV")));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], std::string(121, ','));
  EXPECT_EQ(report.estimates, 1);
}

TEST_F(BackupTest, WithoutPeriodLimitTheFilterIsLiftedAndASplitNameStartsAtTheCurrentEstimate) {
  for (const char* d : {"平成１４年１２月０１日", "平成１４年１２月０２日", "平成１４年１２月０３日", "平成１４年１２月０４日",
                        "平成１５年０１月０１日"})
    add(d, "山田　一郎");
  estimates->setIndex(book::descendingIndexName());
  estimates->setFilter(cp("(作成日 = '平成１４年１２月*')"));
  estimates->setFiltered(true);
  struct Case {
    const char* name;
    const char* file;
    int expected;
  } cases[] = {
      {"ordinary name: every estimate", "見積.CSV", 5},
      {"split name: from the third of the month on", "見積分割.CSV", 2},
      {"split name with a period mark: every estimate", "見積分割～.CSV", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    estimates->setFilter(cp("(作成日 = '平成１４年１２月*')"));
    estimates->setFiltered(true);
    estimates->setRecNo(3);
    BackupReport report = writeBackup(*estimates, dir.file(c.file), false);
    EXPECT_EQ(report.estimates, c.expected);
    EXPECT_EQ(linesOf(slurp(report.path)).size(), static_cast<std::size_t>(c.expected) + 1);
  }
}

TEST_F(BackupTest, ValuesWithACommaOrLineBreakAreWrittenAsTheyStandAndReported) {
  add("平成１４年１１月０５日", "山田　一郎", "値引き,下取り");
  add("平成１４年１１月０６日", "佐藤　花子", "普通");
  estimates->first();
  estimates->edit();
  estimates->setText(cp("住所"), "A\r\nB");
  estimates->post();
  estimates->setIndex(book::descendingIndexName());
  BackupReport report = writeBackup(*estimates, dir.file("b.CSV"), false);
  std::string content = slurp(report.path);
  EXPECT_NE(content.find(cp("値引き,下取り") + "\r\n"), std::string::npos);
  EXPECT_NE(content.find(",A\r\nB,"), std::string::npos);
  ASSERT_EQ(report.unreadable.size(), 1u);
  EXPECT_EQ(report.unreadableValues, 2);
  EXPECT_EQ(report.unreadable[0].line, 3);  // the older estimate is written second
  EXPECT_EQ(report.unreadable[0].name, cp("山田　一郎"));
  EXPECT_EQ(report.unreadable[0].fields, (std::vector<std::string>{cp("住所"), cp("備考")}));
  std::string notice = unreadableNotice(report);
  EXPECT_NE(notice.find(cp("山田　一郎")), std::string::npos);
  EXPECT_NE(notice.find(cp("3行目")), std::string::npos);
  EXPECT_EQ(notice.find(cp("佐藤　花子")), std::string::npos);
  EXPECT_NE(notice.find(cp("このファイルはリストアできません")), std::string::npos);

  // As the notice says, the restore refuses the file at that estimate's line and changes nothing.
  RestoreReport restored;
  try {
    runRestore(*estimates, report.path, nullptr, restored);
    ADD_FAILURE() << "the file was restored";
  } catch (const RestoreError& e) {
    EXPECT_EQ(e.line(), 3);
  }
  EXPECT_EQ(estimates->recordCount(), 2);
}

TEST_F(BackupTest, AFileThatCannotBeCreatedIsTheGeneralFileError) {
  add("平成１４年１１月０５日", "山田　一郎");
  EXPECT_THROW(writeBackup(*estimates, dir.file("no-such-dir/x.CSV"), false), FileError);
}

TEST_F(BackupTest, TheFilterKeeperPutsFilterTextAndSwitchBack) {
  estimates->setFilter(cp("(氏名 = 'x')"));
  estimates->setFiltered(false);
  {
    FilterKeeper keep(*estimates);
    estimates->setFilter(cp("(作成日 >= 'a')"));
    estimates->setFiltered(true);
  }
  EXPECT_EQ(estimates->filter(), cp("(氏名 = 'x')"));
  EXPECT_FALSE(estimates->filtered());
}

TEST(BackupNames, ProposedNameAndTheFileActuallyWritten) {
  EXPECT_EQ(proposedBackupName("", cp("見積"), todayNamePart(Date{2002, 12, 5}), ""), cp("見積平成14年12月05日.CSV"));
  EXPECT_EQ(proposedBackupName(cp("D:\\BACK\\"), cp("見積"), cp("平成１３年０４月～平成１４年０３月"), "_a"),
            cp("D:\\BACK\\見積平成１３年０４月～平成１４年０３月_a.CSV"));

  test::TempDir dir;
  std::ofstream(dir.file("old.csv")) << "x";
  struct Case {
    std::string chosen;
    std::string written;
  } cases[] = {
      {dir.file("backup.txt"), dir.file("backup.CSV")},
      {dir.file("backup"), dir.file("backup.CSV")},
      {dir.file("a.b.txt"), dir.file("a.b.CSV")},
      {"/tmp/x.d/name", "/tmp/x.d/name.CSV"},
      {dir.file("old.txt"), dir.file("old.csv")},  // the file there in other letters is the one meant
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(csvPath(c.chosen), c.written);
  }
}

TEST(BackupNames, WhereASplitBackupStarts) {
  struct Case {
    const char* path;
    bool fromCurrent;
  } cases[] = {
      {"/d/見積分割.CSV", true},
      {"/d/見積分割平成14年12月05日.txt", true},
      {"/d/見積平成１３年０４月～平成１４年０３月分割.CSV", false},
      {"/d/見積.CSV", false},
      {"/分割/見積.CSV", false},  // only the file name counts
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(backupFromCurrent(c.path), c.fromCurrent);
  }
  // "ｕｪ" holds the bytes of "分" across its two characters, which is no match.
  EXPECT_EQ(cp("ｕｪ").find(cp("分")), 1u);
  EXPECT_FALSE(containsText(cp("ｕｪ"), cp("分")));
  EXPECT_TRUE(containsText(cp("ｕ分"), cp("分")));
}

TEST(BackupPeriod, FiltersAndNamePartsOfASpanOfMonths) {
  auto monthEnd = book::buildMonthTabs(Date{2001, 4, 10}, Date{2002, 3, 2}, 0);
  auto day20 = book::buildMonthTabs(Date{2002, 11, 5}, Date{2003, 2, 28}, 20);
  struct Case {
    const char* name;
    const std::vector<book::MonthTab>* tabs;
    int settlement;
    MonthSpan span;
    const char* text;
    const char* filter;
  } cases[] = {
      {"month end, the whole span", &monthEnd, 0, wholeSpan(monthEnd), "平成１３年０４月～平成１４年０３月",
       "(作成日 >= '平成１３年０４月') and (作成日 <= '平成１４年０３月３１日')"},
      {"settlement day 20, one month", &day20, 20, MonthSpan{2, 2}, "平成１５年０１月～平成１５年０１月",
       "(作成日 >= '平成１４年１２月２１日') and  (作成日 <= '平成１５年０１月２０日')"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(periodText(*c.tabs, c.span), cp(c.text));
    EXPECT_EQ(periodFilter(*c.tabs, c.span, c.settlement), cp(c.filter));
  }
  std::vector<book::MonthTab> none;
  EXPECT_EQ(wholeSpan(none).from, -1);
  EXPECT_EQ(periodText(none, wholeSpan(none)), cp("～"));
}

TEST_F(BackupTest, APeriodWithoutMonthsSelectsNoEstimate) {
  add("", "作成日なし");
  add("2003/01/01", "ASCIIの日付");
  std::vector<book::MonthTab> none;
  estimates->setFilter(periodFilter(none, wholeSpan(none), 0));
  estimates->setFiltered(true);
  EXPECT_EQ(estimates->recordCount(), 0);
}

}  // namespace
}  // namespace vendaro::maintenance

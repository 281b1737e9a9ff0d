#include "listprint/list_lines.h"

#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "listprint/print_widths.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::listprint {
namespace {

using sjis::lit;

TEST(ListColumns, KindsFollowTheFieldNames) {
  struct Case {
    const char* field;
    ColumnKind kind;
  } cases[] = {
      {"氏名", ColumnKind::Text},          {"作成日", ColumnKind::Text},         {"走行距離", ColumnKind::Text},
      {"車両項目2", ColumnKind::Text},     {"オプション項目6", ColumnKind::Text}, {"下取車7", ColumnKind::Text},
      {"見積金額", ColumnKind::Amount},    {"税金月数", ColumnKind::Amount},     {"プラン1回数", ColumnKind::Amount},
      {"車両消費税3", ColumnKind::Amount}, {"項番", ColumnKind::Amount},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(columnKind(lit(c.field)), c.kind);
  }
  // "項目" found only on character boundaries: 0x8D 0x80 here straddles two characters.
  EXPECT_EQ(columnKind(std::string("\x81\x8D\x80\x96\xDA", 5)), ColumnKind::Amount);
}

TEST(ListCells, TextCellsPadAndCutToTheWidth) {
  struct Case {
    const char* name;
    std::string value;
    int width;
    std::string cell;
  } cases[] = {
      {"padded", lit("山田太郎"), 12, lit("山田太郎") + "    "},
      {"exact", lit("山田太郎"), 8, lit("山田太郎")},
      {"cut on a character boundary", lit("山田太郎"), 4, lit("山田")},
      {"cut far shorter than the name", lit("東京都港区１－２－３"), 6, lit("東京都")},
      {"cut through a character leaves a blank", lit("山田太郎"), 5, lit("山田") + " "},
      {"cut through the first character", lit("山田"), 1, " "},
      {"half-width kana are one byte", lit("ｿｱﾗ"), 2, lit("ｿｱ")},
      {"zero width", lit("山田"), 0, ""},
      {"negative width", lit("山田"), -3, ""},
      {"no more than 248 filling blanks", "ab", 300, "ab" + std::string(248, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(textCell(c.value, c.width), c.cell);
  }
}

TEST(ListCells, DigitGroupingPutsAtMostTwoCommas) {
  struct Case {
    const char* value;
    const char* grouped;
  } cases[] = {
      {"1500000", "1,500,000"}, {"1234567", "1,234,567"}, {"-1234", "-1,234"},   {"-999", "-999"},
      {"999", "999"},           {"1000", "1,000"},        {"999999", "999,999"}, {"1000000", "1,000,000"},
      {"-1000000", "-1,000,000"}, {"1234567890", "1234,567,890"}, {"-2147483648", "-2147,483,648"},
      {"0", "0"},               {"", ""},                 {"abc", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(groupDigits(c.value), c.grouped);
  }
}

TEST(ListCells, AmountCellsAlignRightAndCutFromTheLeft) {
  struct Case {
    const char* name;
    std::string value;
    int width;
    bool grouping;
    std::string cell;
  } cases[] = {
      {"grouped", "1500000", 10, true, " 1,500,000"},
      {"not grouped", "1500000", 10, false, "   1500000"},
      {"negative below a thousand", "-999", 6, true, "  -999"},
      {"ten digits", "1234567890", 12, true, "1234,567,890"},
      {"cut from the left", "1234567890", 6, true, "67,890"},
      {"empty amount", "", 3, true, "   "},
      {"zero width", "1500000", 0, true, ""},
      {"no more than 248 filling blanks", "12", 260, false, std::string(248, ' ') + "12"},
      {"cut through a character leaves a blank", lit("山田"), 3, false, " " + lit("田")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(amountCell(c.value, c.width, c.grouping), c.cell);
  }
}

TEST(ListLines, RuleDateAndTitleLines) {
  EXPECT_EQ(ruleLine(3), lit("－－－"));
  EXPECT_EQ(ruleLine(0), "");
  EXPECT_EQ(ruleLine(-2), "");
  EXPECT_EQ(dateLine(3, Date{2002, 12, 5}), "   " + lit("平成14年12月05日"));
  EXPECT_EQ(dateLine(-1, Date{2025, 1, 9}), lit("令和07年01月09日"));
  EXPECT_EQ(dateLine(1000, Date{2025, 1, 9}), std::string(248, ' ') + lit("令和07年01月09日"));
  EXPECT_EQ(titleLine(2, lit("見積一覧")), "  " + lit("見積一覧"));
}

/// What a print stream received: one entry per job, each line with the size it was printed at.
struct RecordedStream : LineStream {
  struct Line {
    int points;
    std::string text;
  };
  std::vector<std::vector<Line>> jobs;
  int size = 0;
  bool isOpen = false;
  void open(int points) override {
    EXPECT_FALSE(isOpen);
    isOpen = true;
    size = points;
    jobs.emplace_back();
  }
  void setSize(int points) override { size = points; }
  void line(const std::string& text) override {
    ASSERT_TRUE(isOpen);
    jobs.back().push_back({size, text});
  }
  void close() override {
    EXPECT_TRUE(isOpen);
    isOpen = false;
  }
};

class ListPrintRun : public ::testing::Test {
 protected:
  void SetUp() override {
    estimates = book::openEstimateTable(dir.path());
    widths = openPrintWidthTable(dir.path());
    widths->edit();
    widths->setInteger(lit("氏名"), 12);
    widths->setInteger(lit("見積金額"), 10);
    widths->post();
    settings = defaultListPrintSettings();
    settings.fields.second = {lit("氏名"), lit("見積金額")};
    settings.grouping = true;
  }
  void add(const std::string& name, const std::string& amount) {
    estimates->append();
    estimates->setText(lit("作成日"), lit("令和０７年０１月０９日"));
    estimates->setText(lit("氏名"), name);
    estimates->setText(lit("見積金額"), amount);
    estimates->post();
  }
  test::TempDir dir;
  std::unique_ptr<table::Cursor> estimates, widths;
  ListPrintSettings settings;
  const Date today{2002, 12, 5};
};

TEST_F(ListPrintRun, PrintsDateTitleHeadingAndEstimateLines) {
  add(lit("山田太郎"), "1500000");
  settings.dateSize = "12";
  settings.datePosition = "4";
  settings.title = lit("見積一覧");
  settings.titleSize = "14";
  settings.titlePosition = "2";
  settings.ruleLength = "3";
  RecordedStream out;
  EXPECT_EQ(runListPrint(*estimates, *widths, settings, today, out), 1);
  ASSERT_EQ(out.jobs.size(), 1u);
  const std::vector<std::pair<int, std::string>> expected = {
      {12, "    " + lit("平成14年12月05日")},
      {14, "  " + lit("見積一覧")},
      {9, lit("氏名") + std::string(8, ' ') + lit("見積金額") + "  "},
      {9, lit("－－－")},
      {9, lit("山田太郎") + "    " + " 1,500,000"},
      {9, lit("－－－")},
  };
  ASSERT_EQ(out.jobs[0].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(out.jobs[0][i].points, expected[i].first);
    EXPECT_EQ(out.jobs[0][i].text, expected[i].second);
  }
}

TEST_F(ListPrintRun, ALineBreakInAValuePrintsAsABlankSoTheEstimateStaysOneLine) {
  settings.fields.second = {lit("氏名"), lit("住所"), lit("見積金額")};
  widths->edit();
  widths->setInteger(lit("住所"), 14);
  widths->post();
  struct Case {
    const char* name;
    std::string address;
    std::string cell;  // the 住所 cell, 14 bytes
  } cases[] = {
      {"CR LF", lit("東京都") + "\r\n" + lit("港区"), lit("東京都") + " " + lit("港区") + "   "},
      {"LF alone", lit("東京都") + "\n" + lit("港区"), lit("東京都") + " " + lit("港区") + "   "},
      {"CR alone, and two breaks in a row", "A\rB\n\nC", "A B  C" + std::string(8, ' ')},
      {"a break at the end", lit("港区") + "\r\n", lit("港区") + std::string(10, ' ')},
  };
  add(lit("山田"), "100");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    estimates->first();
    estimates->edit();
    estimates->setText(lit("住所"), c.address);
    estimates->post();
    RecordedStream out;
    settings.count = OutputCount::CurrentOnly;
    runListPrint(*estimates, *widths, settings, today, out);
    ASSERT_EQ(out.jobs.size(), 1u);
    ASSERT_EQ(out.jobs[0].size(), 4u);  // heading, rule, the estimate, rule
    EXPECT_EQ(out.jobs[0][2].text, lit("山田") + std::string(8, ' ') + c.cell + "       100");
  }
}

TEST_F(ListPrintRun, DateAndTitleLinesOnlyWhenSet) {
  add(lit("山田太郎"), "1");
  struct Case {
    const char* name;
    const char* dateSize;
    const char* title;
    const char* titleSize;
    std::size_t lines;  // before the heading
  } cases[] = {
      {"nothing set", "", "", "", 0},       {"date size 0", "0", "", "", 0},
      {"date size not a number", "x", "", "", 0}, {"title without text", "", "", "12", 0},
      {"title without size", "", "T", "", 0}, {"both", "10", "T", "12", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    settings.dateSize = c.dateSize;
    settings.title = c.title;
    settings.titleSize = c.titleSize;
    RecordedStream out;
    runListPrint(*estimates, *widths, settings, today, out);
    ASSERT_EQ(out.jobs.size(), 1u);
    EXPECT_EQ(out.jobs[0].size(), c.lines + 4);
  }
}

TEST_F(ListPrintRun, PageLengthStartsNewJobsWithoutHeadings) {
  for (int i = 1; i <= 12; ++i) add(lit("客") + std::to_string(i), std::to_string(i));
  struct Case {
    const char* perPage;
    std::vector<std::size_t> estimatesPerJob;
  } cases[] = {
      {"5", {5, 5, 2}}, {"6", {6, 6}}, {"12", {12}}, {"0", {12}}, {"abc", {12}}, {"-3", {12}}, {"1", std::vector<std::size_t>(12, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.perPage);
    settings.perPage = c.perPage;
    settings.dateSize = "10";
    RecordedStream out;
    EXPECT_EQ(runListPrint(*estimates, *widths, settings, today, out), 12);
    ASSERT_EQ(out.jobs.size(), c.estimatesPerJob.size());
    for (std::size_t j = 0; j < out.jobs.size(); ++j) {
      const std::size_t header = j == 0 ? 3 : 0;  // date, heading, rule
      EXPECT_EQ(out.jobs[j].size(), header + 2 * c.estimatesPerJob[j]) << "job " << j;
    }
    EXPECT_TRUE(estimates->eof());
  }
  // Estimates in view order, the first job's first one right after the heading's rule.
  settings.perPage = "5";
  RecordedStream out;
  runListPrint(*estimates, *widths, settings, today, out);
  EXPECT_EQ(out.jobs[1][0].text.substr(0, 4), lit("客6 "));
}

TEST_F(ListPrintRun, CurrentOnlyPrintsOneEstimateWhateverTheView) {
  for (int i = 1; i <= 4; ++i) add(lit("客") + std::to_string(i), "0");
  estimates->setRecNo(3);
  settings.count = OutputCount::CurrentOnly;
  settings.perPage = "1";
  RecordedStream out;
  EXPECT_EQ(runListPrint(*estimates, *widths, settings, today, out), 1);
  ASSERT_EQ(out.jobs.size(), 1u);
  ASSERT_EQ(out.jobs[0].size(), 4u);
  EXPECT_EQ(out.jobs[0][2].text.substr(0, 3), lit("客3"));
  EXPECT_EQ(estimates->recNo(), 3);
}

TEST_F(ListPrintRun, RuleLengthZeroPrintsEmptyRules) {
  add(lit("山田"), "0");
  settings.ruleLength = "0";
  RecordedStream out;
  runListPrint(*estimates, *widths, settings, today, out);
  ASSERT_EQ(out.jobs[0].size(), 4u);
  EXPECT_EQ(out.jobs[0][1].text, "");
  EXPECT_EQ(out.jobs[0][3].text, "");
}

TEST_F(ListPrintRun, ScreenOutputShowsEveryFieldInOneJob) {
  for (int i = 0; i < 7; ++i) add(lit("客"), "0");
  settings.method = OutputMethod::AllFieldsOnScreen;
  settings.fields.second.clear();
  RecordedStream out;
  EXPECT_EQ(runListPrint(*estimates, *widths, settings, today, out), 7);
  ASSERT_EQ(out.jobs.size(), 1u);
  std::string heading;
  for (int f = 1; f < estimates->schema().fieldCount(); ++f) {
    heading += textCell(book::estimateFieldName(f), widths->integer(f));
  }
  EXPECT_EQ(out.jobs[0][0].text, heading);
}

TEST_F(ListPrintRun, UnknownFieldStopsBeforeAnythingIsSent) {
  add(lit("山田"), "0");
  settings.fields.second.push_back(lit("存在しない"));
  RecordedStream out;
  try {
    runListPrint(*estimates, *widths, settings, today, out);
    FAIL() << "no error";
  } catch (const table::TableError& e) {
    EXPECT_EQ(std::string(e.what()), lit("項目 '存在しない' が見つかりません"));
  }
  EXPECT_TRUE(out.jobs.empty());
}

TEST(PrintWidthTable, NewTableHasOneRecordOfDefaultWidthsForEveryEstimateField) {
  test::TempDir dir;
  {
    auto widths = openPrintWidthTable(dir.path());
    ASSERT_EQ(widths->recordCount(), 1);
    ASSERT_EQ(widths->schema().fieldCount(), book::estimateSchema().fieldCount());
    for (int f = 0; f < widths->schema().fieldCount(); ++f) {
      SCOPED_TRACE(f);
      EXPECT_EQ(widths->schema().field(f).name, book::estimateFieldName(f));
      EXPECT_EQ(widths->integer(f), defaultPrintWidth(f));
      EXPECT_GT(defaultPrintWidth(f), 0);
    }
    EXPECT_EQ(widths->integer(lit("作成日")), 22);
    widths->edit();
    widths->setInteger(lit("氏名"), 30);
    widths->post();
  }
  auto again = openPrintWidthTable(dir.path());
  EXPECT_EQ(again->recordCount(), 1);
  EXPECT_EQ(again->integer(lit("氏名")), 30);
}

}  // namespace
}  // namespace vendaro::listprint

#include "book/estimate_table.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "book/estimate_fields.h"
#include "platform/sjis.h"
#include "support/estimate_samples.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }
std::string utf8(const std::string& cp932) { return sjis::toUtf8(cp932); }

TEST(EstimateFields, TheTableHasItsFieldsInOrderWithTheirKinds) {
  const auto& s = estimateSchema();
  ASSERT_EQ(s.fieldCount(), 123);
  struct Case {
    int number;  // 1-based, as the field numbers are counted
    const char* name;
    table::FieldType type;
  } cases[] = {
      {1, "項番", table::FieldType::Integer},        {2, "作成日", table::FieldType::Text},
      {12, "ミッション", table::FieldType::Text},     {19, "車両価格1", table::FieldType::Integer},
      {52, "税金月数", table::FieldType::Text},       {71, "見積金額", table::FieldType::Integer},
      {72, "オプション項目1", table::FieldType::Text}, {83, "オプション金額6", table::FieldType::Integer},
      {84, "オプション合計", table::FieldType::Integer}, {104, "付属品金額10", table::FieldType::Integer},
      {105, "付属品合計", table::FieldType::Integer},  {114, "プラン1初回", table::FieldType::Text},
      {123, "備考", table::FieldType::Text},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(s.find(cp(c.name)), c.number - 1);
    EXPECT_EQ(s.field(c.number - 1).type, c.type);
  }
  EXPECT_FALSE(s.field(0).visible);
  EXPECT_STREQ(estimateFields()[4].control, "YomiDBMemo1");
  EXPECT_STREQ(estimateFields()[103].control, "DBEdit73");
  EXPECT_TRUE(estimateFields()[70].readOnly);
}

class EstimateTableTest : public ::testing::Test {
 protected:
  void TearDown() override { setToday(std::nullopt); }
  test::TempDir dir;
};

TEST_F(EstimateTableTest, ItemNumberFollowsTheCreationDateOnEverySave) {
  setToday(Date{2003, 7, 4});
  auto c = openEstimateTable(dir.path());
  c->append();
  c->setText(cp("作成日"), cp("平成１５年０３月２０日"));
  c->post();
  EXPECT_EQ(c->integer(cp("項番")), 20030320);
  c->edit();
  c->setText(cp("作成日"), cp("平成１５年１２月０１日"));
  c->post();
  EXPECT_EQ(c->integer(cp("項番")), 20031201);

  c->append();
  c->setText(cp("氏名"), cp("日付なし"));
  c->post();
  EXPECT_EQ(c->integer(cp("項番")), 20030704);
  EXPECT_EQ(c->text(cp("作成日")), "");

  c->append();
  c->setText(cp("作成日"), cp("令和０８年１２月１０日"));
  c->post();
  EXPECT_EQ(c->integer(cp("項番")), 20261210);
}

TEST_F(EstimateTableTest, AYearThatCannotMakeAnItemNumberRefusesTheSave) {
  auto c = openEstimateTable(dir.path());
  c->append();
  c->setText(cp("作成日"), "99999999/");
  EXPECT_THROW(c->post(), table::TableError);
  EXPECT_EQ(c->state(), table::Cursor::State::Insert);
}

TEST_F(EstimateTableTest, DescendingPutsTheNewestFirstAndNaturalOrderTheOldest) {
  auto c = openEstimateTable(dir.path());
  for (const char* date : {"平成１５年０２月２８日", "平成１４年１１月０５日", "令和０１年０５月０１日", "昭和６３年０１月０１日"}) {
    c->append();
    c->setText(cp("作成日"), cp(date));
    c->post();
  }
  c->first();
  EXPECT_EQ(utf8(c->text(kCreatedField)), "昭和６３年０１月０１日");
  c->last();
  EXPECT_EQ(utf8(c->text(kCreatedField)), "令和０１年０５月０１日");
  c->setIndex(descendingIndexName());
  c->first();
  EXPECT_EQ(utf8(c->text(kCreatedField)), "令和０１年０５月０１日");
  c->setFiltered(true);
  c->setFilter(cp("(作成日 = '平成１５年０２月*')"));
  EXPECT_EQ(c->recordCount(), 1);
  c->setFilter(cp("(作成日 = '令和０２年０１月*')"));
  EXPECT_EQ(c->recordCount(), 0);
}

test::CliRun cli(const std::string& dir, const std::string& args, const std::string& env = "") {
  return test::runCli(dir, args, env);
}

TEST(Cli, DateCommands) {
  test::TempDir dir;
  struct Case {
    const char* args;
    int status;
    const char* out;
  } cases[] = {
      {"date parse 平成１５年０３月２０日", 0, "2003 3 20\n"},
      {"date parse 平成１５年", 0, "2003 12 10\n"},
      {"date parse '' --today 2003-07-04", 0, "2003 7 4\n"},
      {"date format 2019-04-30", 0, "平成３１年０４月３０日\n"},
      {"date format 2026-12-10", 0, "令和０８年１２月１０日\n"},
      {"date format 2003-02-30", 2, nullptr},
      {"date parse 🚗", 2, nullptr},
      {"date", 2, nullptr},
      {"frobnicate", 2, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    test::CliRun r = cli(dir.path(), c.args);
    EXPECT_EQ(r.status, c.status) << r.out;
    if (c.out) {
      EXPECT_EQ(r.out, c.out);
    }
  }
}

TEST(Cli, AddAndDumpGoThroughTheTable) {
  test::TempDir dir;
  EXPECT_EQ(cli(dir.path(), "add 作成日=平成１５年０３月２０日 氏名=佐藤 車両価格1=1500000").out, "20030320\n");
  EXPECT_EQ(cli(dir.path(), "add 氏名=鈴木").out, "20261210\n");
  test::CliRun bad = cli(dir.path(), "add 住所録=x");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("項目 '住所録' が見つかりません"), std::string::npos) << bad.out;
  bad = cli(dir.path(), "add 車両価格1=abc");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("'abc' は項目 '車両価格1' に適した整数値ではありません"), std::string::npos) << bad.out;

  test::CliRun dump = cli(dir.path(), "dump");
  ASSERT_EQ(dump.status, 0) << dump.out;
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = dump.out.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(dump.out.substr(start, end - start));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("項番,作成日,見積有効期限,ふりがな,氏名,", 0), 0u);
  EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), 122);
  EXPECT_EQ(lines[1].rfind("20261210,,,,鈴木,", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("20030320,平成１５年０３月２０日,,,佐藤,", 0), 0u) << lines[2];
  EXPECT_NE(lines[2].find(",1500000,"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir.file("CARDATA/Estimate.DB")));
}

/// Reads CSV text: fields split at commas, quoted fields with doubled quotes and line ends inside.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') field += c;
      else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else quoted = false;
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      row.push_back(std::move(field));
      rows.push_back(std::move(row));
      field.clear();
      row.clear();
    } else {
      field += c;
    }
  }
  EXPECT_FALSE(quoted) << "unclosed quote";
  EXPECT_TRUE(any || rows.size() <= 1) << "no field needed quotes";
  return rows;
}

TEST(Cli, DumpLosesNothingOfEveryFieldFilled) {
  test::TempDir dir;
  {
    auto estimates = openEstimateTable(dir.file("CARDATA"));
    test::appendHardEstimates(*estimates, 12);
  }
  test::CliRun dump = cli(dir.path(), "dump");
  ASSERT_EQ(dump.status, 0) << dump.out;
  const auto rows = readCsv(dump.out);

  auto estimates = openEstimateTable(dir.file("CARDATA"));
  estimates->setIndex(descendingIndexName());
  const int n = estimates->schema().fieldCount();
  ASSERT_EQ(rows.size(), 13u);
  ASSERT_EQ(rows[0].size(), static_cast<std::size_t>(n));
  for (int f = 0; f < n; ++f) EXPECT_EQ(sjis::fromUtf8(rows[0][static_cast<std::size_t>(f)]), estimateFieldName(f));
  std::size_t r = 1;
  for (estimates->first(); !estimates->eof(); estimates->next(), ++r) {
    ASSERT_EQ(rows[r].size(), static_cast<std::size_t>(n)) << "row " << r;
    for (int f = 0; f < n; ++f) {
      SCOPED_TRACE("row " + std::to_string(r) + " " + utf8(estimateFieldName(f)));
      EXPECT_EQ(sjis::fromUtf8(rows[r][static_cast<std::size_t>(f)]), estimates->text(f));
    }
  }
}

TEST(Cli, TheDataDirectoryCanBeNamedAndAnUnusableTableIsReported) {
  test::TempDir dir;
  test::CliRun r = cli(dir.path(), "add 氏名=y", "VENDARO_CARDATA='" + dir.file("elsewhere/data") + "'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(std::filesystem::exists(dir.file("elsewhere/data/Estimate.DB")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("CARDATA")));

  std::filesystem::create_directories(dir.file("CARDATA"));
  { std::ofstream(dir.file("CARDATA/Estimate.DB")) << "garbage"; }
  test::CliRun broken = cli(dir.path(), "dump");
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.out.find("Estimate.DB"), std::string::npos) << broken.out;
  EXPECT_NE(broken.out.find("有効なテーブルではありません"), std::string::npos) << broken.out;
}

}  // namespace
}  // namespace vendaro::book

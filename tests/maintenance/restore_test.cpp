#include "maintenance/restore.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <gtest/gtest.h>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/field_lists.h"
#include "maintenance/backup.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/estimate_samples.h"
#include "support/temp_dir.h"

namespace vendaro::maintenance {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

std::string backupHeader() {
  std::string header;
  for (const auto& name : book::chooserFieldNames()) header += (header.empty() ? "" : ",") + name;
  return header;
}

/// Every stored value of every estimate, as text, in a fixed order (the natural order).
std::vector<std::vector<std::string>> contentOf(table::Cursor& c) {
  std::vector<std::vector<std::string>> rows;
  c.setFiltered(false);
  c.setIndex("");
  for (c.first(); !c.eof(); c.next()) {
    std::vector<std::string> row;
    for (int i = 0; i < c.schema().fieldCount(); ++i) row.push_back(c.text(i));
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> names(table::Cursor& c) {
  std::vector<std::string> out;
  for (const auto& row : contentOf(c)) out.push_back(row[book::kNameField]);
  std::sort(out.begin(), out.end());
  return out;
}

class RestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setToday(Date{2003, 7, 4});
    estimates = book::openEstimateTable(dir.file("CARDATA"));
  }
  void TearDown() override { setToday(std::nullopt); }

  void add(const char* created, const char* name) {
    estimates->append();
    estimates->setText(cp("作成日"), cp(created));
    estimates->setText(cp("氏名"), cp(name));
    estimates->post();
  }
  std::string write(const std::string& name, const std::string& content) {
    std::ofstream(dir.file(name), std::ios::binary) << content;
    return dir.file(name);
  }
  RestoreOutcome restore(const std::string& path, std::optional<std::vector<std::string>> pattern = std::nullopt) {
    report = RestoreReport{};
    return runRestore(*estimates, path, [&] { return pattern; }, report);
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> estimates;
  RestoreReport report;
};

/// Fills every field of the current record: era dates in the date fields, Japanese text in the
/// text fields, signed numbers in the number fields.
void fillEveryField(table::Cursor& c, int n) {
  for (int i = 1; i < c.schema().fieldCount(); ++i) {
    const auto kind = book::estimateFields()[static_cast<std::size_t>(i)].kind;
    if (kind == book::FieldKind::EraDate)
      c.setText(i, era::format(Date{1990 + n % 35, 1 + n % 12, 1 + (n * 7 + i) % 28}));
    else if (c.schema().field(i).type == table::FieldType::Integer)
      c.setInteger(i, (n * 1000 + i) * (i % 3 == 0 ? -1 : 1));
    else
      c.setText(i, cp("値・ｶﾅ・漢字") + std::to_string(n) + "-" + std::to_string(i) + "'\"");
  }
}

TEST_F(RestoreTest, ABackupRestoresToTheSameFieldValues) {
  for (int n = 0; n < 25; ++n) {
    estimates->append();
    fillEveryField(*estimates, n);
    estimates->post();
  }
  auto before = contentOf(*estimates);
  estimates->setIndex(book::descendingIndexName());
  BackupReport backup = writeBackup(*estimates, dir.file("all.CSV"), false);
  ASSERT_TRUE(backup.unreadable.empty());

  test::TempDir other;
  auto restored = book::openEstimateTable(other.file("CARDATA"));
  RestoreReport r;
  ASSERT_EQ(runRestore(*restored, backup.path, nullptr, r), RestoreOutcome::Done);
  EXPECT_EQ(r.stored, 25);
  EXPECT_EQ(contentOf(*restored), before);

  // The same into the table that holds them: the old ones are replaced, not added to.
  ASSERT_EQ(restore(backup.path), RestoreOutcome::Done);
  EXPECT_EQ(report.deleted, 25);
  EXPECT_EQ(contentOf(*estimates), before);
}

TEST_F(RestoreTest, HardEstimatesComeBackWholeSaveTheValuesTheBackupReports) {
  test::appendHardEstimates(*estimates, 20);
  estimates->setIndex(book::descendingIndexName());

  // The values that cannot be read back, found in the table: (line of the file, field name).
  std::set<std::pair<int, std::string>> breaking;
  int line = 2;
  for (estimates->first(); !estimates->eof(); estimates->next(), ++line)
    for (const auto& name : book::chooserFieldNames())
      if (estimates->text(name).find_first_of(",\r\n") != std::string::npos) breaking.emplace(line, name);
  ASSERT_FALSE(breaking.empty());

  // The backup reports exactly those.
  BackupReport first = writeBackup(*estimates, dir.file("hard.CSV"), false);
  std::set<std::pair<int, std::string>> reported;
  for (const auto& u : first.unreadable)
    for (const auto& name : u.fields) reported.emplace(u.line, name);
  EXPECT_EQ(reported, breaking);
  EXPECT_EQ(first.unreadableValues, static_cast<int>(breaking.size()));

  // Without the reported values, everything else comes back byte for byte: Japanese text,
  // half-width kana, bytes that are not valid CP932, blanks, extreme and negative amounts, and
  // empty fields.
  for (const auto& [l, name] : reported) {
    estimates->setRecNo(l - 1);
    estimates->edit();
    estimates->setText(name, "");
    estimates->post();
  }
  const auto expected = contentOf(*estimates);
  estimates->setIndex(book::descendingIndexName());
  BackupReport second = writeBackup(*estimates, dir.file("clean.CSV"), false);
  ASSERT_TRUE(second.unreadable.empty()) << sjis::toUtf8Display(unreadableNotice(second));
  test::TempDir other;
  auto restored = book::openEstimateTable(other.file("CARDATA"));
  RestoreReport r;
  ASSERT_EQ(runRestore(*restored, second.path, nullptr, r), RestoreOutcome::Done);
  EXPECT_TRUE(r.droppedLines.empty());
  EXPECT_EQ(contentOf(*restored), expected);
}

TEST_F(RestoreTest, TheHeaderMapsColumnsByName) {
  write("turned.CSV", cp("氏名,備考,作成日\r\n山田　一郎,下取りあり,平成１４年１１月０５日\r\n"));
  ASSERT_EQ(restore(dir.file("turned.CSV")), RestoreOutcome::Done);
  ASSERT_EQ(estimates->recordCount(), 1);
  EXPECT_EQ(estimates->text(cp("氏名")), cp("山田　一郎"));
  EXPECT_EQ(estimates->text(cp("備考")), cp("下取りあり"));
  EXPECT_EQ(estimates->integer(cp("項番")), 20021105);  // derived again before the estimate is stored
}

TEST_F(RestoreTest, LinesBecomeEstimatesByTheirLineFeeds) {
  const std::string h = cp("作成日,氏名,備考") + "\r\n";
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> names;  // 氏名 of the estimates stored, in byte order
    int stored;
  } cases[] = {
      {"the last line without its line end is not stored", h + cp(",山田,\r\n,佐藤,"), {cp("山田")}, 1},
      {"a CR anywhere is dropped", h + cp(",山\r田,\r\n"), {cp("山田")}, 1},
      {"a line feed alone ends a line", h + cp(",山田,\n,佐藤,\n"), {cp("佐藤"), cp("山田")}, 2},
      {"the backup of an empty view", backupHeader() + "\r\n" + std::string(121, ',') + "\r\n", {""}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(restore(write("lines.CSV", c.content)), RestoreOutcome::Done);
    EXPECT_EQ(report.stored, c.stored);
    EXPECT_EQ(names(*estimates), c.names);
  }
  // A file of one column has lines of one value, blank ones included.
  ASSERT_EQ(restore(write("lines.CSV", cp("氏名") + "\r\n" + cp("山田") + "\r\n\r\n")), RestoreOutcome::Done);
  EXPECT_EQ(names(*estimates), (std::vector<std::string>{"", cp("山田")}));
}

TEST_F(RestoreTest, AStoppedRestoreLeavesTheTableAsItWasAndNamesTheLine) {
  add("平成１４年１１月０５日", "山田　一郎");
  add("平成１４年１２月０１日", "佐藤　花子");
  estimates->setIndex(book::descendingIndexName());
  estimates->setFilter(cp("(氏名 = '佐藤　花子')"));
  estimates->setFiltered(true);
  auto before = contentOf(*estimates);
  estimates->setIndex(book::descendingIndexName());
  estimates->setFiltered(true);

  const std::string h = cp("作成日,氏名,見積金額") + "\r\n";
  struct Case {
    const char* name;
    const char* file;
    std::string content;
    std::string message;
    int line;
  } cases[] = {
      {"a value with a comma makes a line of more values", "a.CSV",
       h + cp("平成１５年０１月０１日,鈴木,100\r\n平成１５年０１月０２日,田中,200,300\r\n"), valueCountMessage(4, 3), 3},
      {"a value with a line break makes two lines of fewer values", "e.CSV",
       h + cp("平成１５年０１月０１日,鈴木,100\r\n平成１５年０１月０２日,上\r\n下,200\r\n"), valueCountMessage(2, 3), 3},
      {"a blank line", "f.CSV", h + cp("平成１５年０１月０１日,鈴木,100\r\n\r\n"), valueCountMessage(1, 3), 3},

      {"letters in a number field", "b.CSV", h + cp("平成１５年０１月０１日,鈴木,百円\r\n"),
       cp("'百円' は項目 '見積金額' に適した整数値ではありません"), 2},
      {"a header naming a field the table lacks", "c.CSV", cp("作成日,車名\r\n平成１５年０１月０１日,カローラ\r\n"),
       cp("項目 '車名' が見つかりません"), 2},
      {"appending to the table stops the same way", "d分割.CSV", h + cp("平成１５年０１月０１日,鈴木,x\r\n"),
       cp("'x' は項目 '見積金額' に適した整数値ではありません"), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      restore(write(c.file, c.content));
      ADD_FAILURE() << "the restore did not stop";
    } catch (const RestoreError& e) {
      EXPECT_EQ(e.engineMessage(), c.message);
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos);
      EXPECT_NE(std::string(e.what()).find(std::to_string(c.line) + cp(" 行目")), std::string::npos);
    }
    // The view is as it was, and so is the table.
    EXPECT_EQ(estimates->state(), table::Cursor::State::Browse);
    EXPECT_TRUE(estimates->filtered());
    EXPECT_EQ(estimates->indexName(), book::descendingIndexName());
    EXPECT_EQ(estimates->recordCount(), 1);
    EXPECT_EQ(contentOf(*estimates), before);
    estimates->setIndex(book::descendingIndexName());
    estimates->setFiltered(true);
  }
}

TEST_F(RestoreTest, TheFileNameDecidesWhatIsRead) {
  add("平成１４年１１月０５日", "山田　一郎");
  const std::string line = cp("作成日,氏名\r\n平成１５年０１月０１日,鈴木\r\n");
  write("data.CSV", line);
  write("顧客住所録.CSV", line);
  write("見積分割平成14年12月05日.CSV", line);
  struct Case {
    const char* name;
    std::string chosen;
    RestoreOutcome outcome;
    int estimatesAfter;
  } cases[] = {
      {"an address book is refused", dir.file("顧客住所録.CSV"), RestoreOutcome::AddressBook, 1},
      {"another extension reads the .CSV file", dir.file("data.TXT"), RestoreOutcome::Done, 1},
      {"no .CSV file: nothing happens", dir.file("none.TXT"), RestoreOutcome::Missing, 1},
      {"a split file is added to the table", dir.file("見積分割平成14年12月05日.CSV"), RestoreOutcome::Done, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(restore(c.chosen), c.outcome);
    EXPECT_EQ(estimates->recordCount(), c.estimatesAfter);
  }
  write("empty.CSV", "");
  write("oneline.CSV", cp("作成日,氏名"));
  EXPECT_EQ(restore(dir.file("empty.CSV")), RestoreOutcome::NoLine);
  EXPECT_EQ(restore(dir.file("oneline.CSV")), RestoreOutcome::NoLine);
  EXPECT_EQ(estimates->recordCount(), 2);
}

TEST_F(RestoreTest, AFileWithoutHeaderIsMappedByThePattern) {
  add("平成１４年１１月０５日", "山田　一郎");
  const std::string pattern3 = cp("佐藤,東京都,03-1111\r\n鈴木,大阪府,06-2222\r\n");
  write("plain.CSV", pattern3);
  std::vector<std::string> pattern = {cp("氏名"), cp("住所"), cp("電話番号")};

  EXPECT_EQ(restore(dir.file("plain.CSV")), RestoreOutcome::NoPattern);
  EXPECT_EQ(names(*estimates), std::vector<std::string>{cp("山田　一郎")});

  ASSERT_EQ(restore(dir.file("plain.CSV"), pattern), RestoreOutcome::Done);
  EXPECT_EQ(report.stored, 2);
  EXPECT_TRUE(estimates->locate(cp("氏名"), cp("鈴木")));
  EXPECT_EQ(estimates->text(cp("住所")), cp("大阪府"));
  EXPECT_EQ(estimates->text(cp("電話番号")), "06-2222");

  // A fourth value goes to the field named by the first line's fourth value, which names none.
  write("four.CSV", cp("佐藤,東京都,03-1111,男\r\n鈴木,大阪府,06-2222,女\r\n"));
  try {
    restore(dir.file("four.CSV"), pattern);
    ADD_FAILURE() << "the restore did not stop";
  } catch (const RestoreError& e) {
    EXPECT_EQ(e.engineMessage(), cp("項目 '男' が見つかりません"));
    EXPECT_EQ(e.line(), 1);
  }
  EXPECT_EQ(report.stored, 0);
  EXPECT_EQ(estimates->recordCount(), 2);
}

TEST_F(RestoreTest, RefusedEstimatesAreDroppedAndNotedWhileTheRestGoesOn) {
  int afterPosts = 0;
  estimates->afterPost = [&](table::Cursor&) { ++afterPosts; };
  estimates->beforePost = [](table::Cursor& c) {
    if (c.text(book::kNameField) == sjis::lit("拒否")) throw table::TableError("refused");
    book::deriveItemNumber(c);
  };
  write("r.CSV", cp("氏名\r\n山田\r\n拒否\r\n佐藤\r\n拒否\r\n"));
  ASSERT_EQ(restore(dir.file("r.CSV")), RestoreOutcome::Done);
  EXPECT_EQ(report.stored, 2);
  EXPECT_EQ(report.droppedLines, (std::vector<int>{3, 5}));
  EXPECT_EQ(names(*estimates), (std::vector<std::string>{cp("佐藤"), cp("山田")}));
  EXPECT_NE(droppedNotice(report).find(cp("3行目、5行目")), std::string::npos);
  // Nothing that hangs on every save ran once per line.
  EXPECT_EQ(afterPosts, 0);
  ASSERT_TRUE(estimates->afterPost);
}

TEST_F(RestoreTest, TheSampleEstimatesRestore) {
  ASSERT_EQ(restore(VENDARO_SAMPLES_DIR "/estimates.csv"), RestoreOutcome::Done);
  EXPECT_EQ(report.stored, 30);
  EXPECT_TRUE(report.droppedLines.empty());
  EXPECT_EQ(estimates->recordCount(), 30);
}

}  // namespace
}  // namespace vendaro::maintenance

// vendaro-cli backup and restore, run as a user would in a program directory.
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

test::CliRun cli(const std::string& dir, const std::string& args) { return test::runCli(dir, args); }

std::size_t lineCount(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string content(std::istreambuf_iterator<char>(in), {});
  return static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
}

TEST(MaintenanceCommands, RestoreThenBackUpAllOrSomeMonths) {
  test::TempDir dir;
  test::CliRun restored = cli(dir.path(), "restore '" VENDARO_SAMPLES_DIR "/estimates.csv'");
  ASSERT_EQ(restored.status, 0) << restored.out;
  EXPECT_NE(restored.out.find("30 estimates restored"), std::string::npos);

  struct Case {
    const char* name;
    std::string args;
    int status;
    std::size_t lines;  // lines of the file written, header included
  } cases[] = {
      {"the whole table", "backup all.txt", 0, 31},
      {"a span of months", "backup part --from 令和０７年０１月 --to 令和０７年０３月", 0, 3},
      {"a month that has no tab", "backup none --from 令和０１年０１月 --to 令和０７年０３月", 2, 0},
      {"start after end", "backup none --from 令和０７年０３月 --to 令和０７年０１月", 2, 0},
      {"only one end of the span", "backup none --from 令和０７年０１月", 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::CliRun run = cli(dir.path(), c.args);
    EXPECT_EQ(run.status, c.status) << run.out;
  }
  EXPECT_EQ(lineCount(dir.file("all.CSV")), 31u);
  EXPECT_EQ(lineCount(dir.file("part.CSV")), 3u);
  EXPECT_FALSE(std::ifstream(dir.file("none.CSV")).good());
}

TEST(MaintenanceCommands, AFileWithoutHeaderNeedsThePattern) {
  test::TempDir dir;
  std::ofstream(dir.file("plain.CSV"), std::ios::binary) << sjis::lit("山田,東京都\r\n佐藤,大阪府\r\n");
  test::CliRun without = cli(dir.path(), "restore plain.CSV");
  EXPECT_EQ(without.status, 2) << without.out;
  test::CliRun with = cli(dir.path(), "restore plain.CSV --pattern 氏名,住所");
  EXPECT_EQ(with.status, 0) << with.out;
  auto estimates = book::openEstimateTable(dir.file("CARDATA"));
  EXPECT_EQ(estimates->recordCount(), 2);
}

TEST(MaintenanceCommands, AStoppedRestoreSaysWhereAndChangesNothing) {
  test::TempDir dir;
  std::ofstream(dir.file("bad.CSV"), std::ios::binary) << sjis::lit("氏名,見積金額\r\n山田,100\r\n佐藤,百\r\n");
  ASSERT_EQ(cli(dir.path(), "restore '" VENDARO_SAMPLES_DIR "/estimates.csv'").status, 0);
  test::CliRun run = cli(dir.path(), "restore bad.CSV");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("'百' は項目 '見積金額' に適した整数値ではありません"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("3 行目"), std::string::npos) << run.out;
  auto estimates = book::openEstimateTable(dir.file("CARDATA"));
  EXPECT_EQ(estimates->recordCount(), 30);
}

}  // namespace
}  // namespace vendaro

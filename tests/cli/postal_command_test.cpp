// vendaro-cli postal and kana, run as a user would in a program directory.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

test::CliRun cli(const std::string& dir, const std::string& args) { return test::runCli(dir, args); }

TEST(PostalCommand, ImportsTheRealListAndFindsInIt) {
  test::TempDir dir;
  std::filesystem::copy_file(VENDARO_POSTAL_SAMPLE, dir.file("KEN_ALL.CSV"));
  std::ofstream(dir.file("PostData.INI"), std::ios::binary) << "3\r\n7\r\n8\r\n9\r\n";
  struct Case {
    const char* args;
    int status;
    const char* out;
  };
  const Case cases[] = {
      {"postal import KEN_ALL.CSV", 0, "4087\n"},
      {"postal address 105", 0, "東京都港区\n"},                       // the first code beginning with 105
      {"postal address 1050014", 0, "東京都港区芝（１～３丁目）\n"},
      {"postal address 999", 0, "\n"},
      {"postal code 東京都港区芝公園", 0, "1050011\n"},
      {"postal code 東京都港区芝公園１丁目", 0, "\n"},
      {"postal lookup 東京都港区芝２丁目３－４", 0, "1050014\n"},
      {"postal lookup 大阪府堺市堺区", 0, "\n"},
      {"kana ﾗｰﾒﾝ", 0, "らあめん\n"},
      {"kana 'ｳﾞｧｲｵﾘﾝ A-1'", 0, "う゛ぁいおりん Aー1\n"},
      {"postal import missing.csv", 1, nullptr},
      {"postal frobnicate x", 2, nullptr},
      {"kana", 2, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    test::CliRun run = cli(dir.path(), c.args);
    EXPECT_EQ(run.status, c.status) << run.out;
    if (c.out) {
      EXPECT_EQ(run.out, c.out);
    }
  }
  // The failed import left the rows of the first one.
  EXPECT_EQ(cli(dir.path(), "postal address 1000301").out, "東京都利島村\n");
}

}  // namespace
}  // namespace vendaro

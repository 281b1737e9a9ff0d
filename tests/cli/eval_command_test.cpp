// vendaro-cli eval, run as a user would in a program directory.
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "book/estimate_table.h"
#include "formprint/layout_tables.h"
#include "platform/sjis.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

/// vendaro-cli in the directory, reading standard output alone unless `redirect` says otherwise.
test::CliRun cli(const std::string& dir, const std::string& args, const std::string& redirect = " 2>/dev/null") {
  return test::runCli(dir, args, "", redirect);
}

/// A program directory with two estimates, the company information and two layouts: layout 1
/// blanks dates with 日付の幅 1, layout 2 shows them.
class EvalCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string cardata = dir_.file("CARDATA");
    {
      auto estimates = book::openEstimateTable(cardata);
      auto add = [&](std::vector<std::pair<const char*, const char*>> fields) {
        estimates->append();
        for (const auto& [f, v] : fields) estimates->setText(cp(f), cp(v));
        estimates->post();
      };
      add({{"作成日", "平成１８年０５月１０日"}, {"氏名", "山田太郎"}, {"見積金額", "1234567"}, {"ミッション", "オートマ"},
           {"郵便番号", "123-4567"}, {"頭金合計", "0"}, {"電話番号", "03-1234-5678"}, {"車両価格1", "1500000"},
           {"頭金1", "100000"}, {"頭金2", "50000"}, {"住所", "東京都千代田区千代田１－１－１　ベンダロマンション１０１号室"}});
      add({{"作成日", "令和０７年０１月２０日"}, {"氏名", "佐藤花子"}, {"ミッション", "マニュアル"}, {"頭金合計", "300000"}});
      auto layouts = formprint::LayoutTables::open(cardata);
      layouts->ensureLayout(2);
      for (int n = 1; n <= 2; ++n) {
        layouts->openLayout(n);
        layouts->data().edit();
        layouts->data().setText(formprint::kShowDateUnitsField, n == 1 ? "False" : "True");
        layouts->data().setInteger(formprint::kDateSpacingField, 1);
        layouts->data().post();
      }
    }
    std::ofstream(dir_.file("User.INI"), std::ios::binary)
        << cp("東京都中央区") << "\r\n" << cp("ベンダロ自動車") << "\r\n";
  }

  test::TempDir dir_;
};

TEST_F(EvalCommand, AnswersTheWorkedExamples) {
  struct Case {
    const char* args;
    const char* out;
  } const cases[] = {
      {"--record 2 '氏名　様'", "山田太郎　様\n0\n"},
      {"--record 2 '見積金額$10'", "1,234,567\n1\n"},
      {"--record 2 --mode screen '見積金額$10'", " 1,234,567\n0\n"},
      {"--record 2 '見積金額%2$12'", "1,234,567.00\n0\n"},
      {"--record 2 '見積金額$12%2'", "1,234,567\n3\n"},
      {"--record 2 '郵便番号_1'", "1 2 3 - 4 5 6 7 \n0\n"},
      {"--record 2 郵便番号全角", "１２３-４５６７\n0\n"},
      {"--record 2 '#ミッション=オートマ<AT/MT'", "AT\n0\n"},
      {"'#ミッション=オートマ<AT/MT'", "MT\n0\n"},  // record 1 is the newest estimate
      {"--record 2 '#ミッション\\オートマ<MT/AT'", "AT\n0\n"},
      {"'#ミッション\\オートマ<MT/AT'", "MT\n0\n"},
      {"--record 2 '#頭金合計=0<@なし/頭金合計'", "なし\n0\n"},
      {"'#頭金合計=0<@なし/頭金合計'", "300000\n0\n"},
      {"--record 2 '車両価格1*108/100'", "1620000\n0\n"},
      {"--record 2 '頭金1+頭金2'", "150000\n0\n"},
      {"--record 2 '^住所,　,前,30'", "東京都千代田区千代田１－１－１\n0\n"},
      {"--record 2 '^住所,　,後,30'", "ベンダロマンション１０１号室\n0\n"},
      {"--record 2 '!氏名'", "山田太郎\n0\n"},
      {"--record 2 --mode screen '!氏名'", "山田太郎\n0\n"},
      {"@お見積金額", "お見積金額\n0\n"},
      {"お見積金額", "お見積金額\n0\n"},
      {"--record 2 '電話番号&1,3'", "03-\n0\n"},
      {"'自社名　様'", "ベンダロ自動車　様\n0\n"},
      {"自社情報追加３", "\n0\n"},
      {"--record 2 '見積金額/頭金合計'", "\n0\n"},  // division by zero
      {"-- '--mode'", "--mode\n0\n"},
      // Dates: as stored without a layout or with a layout that shows them, else blanked.
      {"作成日", "令和０７年０１月２０日\n0\n"},
      {"--layout 2 --mode screen 作成日", "令和０７年０１月２０日\n0\n"},
      {"--layout 1 --mode screen 作成日", "　　 7    1   20   \n1\n"},
      {"--layout 1 --record 2 作成日", "　　18    5   10   \n0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const test::CliRun run = cli(dir_.path(), std::string("eval ") + c.args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, c.out);
  }
}

TEST_F(EvalCommand, ShowsTheQuestionAndAnswersYes) {
  const test::CliRun run = cli(dir_.path(), "eval --record 2 '!氏名'", " 2>&1 >/dev/null");
  EXPECT_EQ(run.out, "項目名：氏名の山田太郎は印刷しますか？\n");
}

TEST_F(EvalCommand, RefusesWhatItCannotEvaluate) {
  struct Case {
    const char* args;
    int status;
    const char* message;
  } const cases[] = {
      {"", 2, "eval needs one EXPRESSION"},
      {"a b", 2, "eval needs one EXPRESSION"},
      {"--record", 2, "--record needs a value"},
      {"--record 0 x", 2, "--record needs a number from 1: 0"},
      {"--layout x x", 2, "--layout needs a number from 1: x"},
      {"--mode paper x", 2, "--mode is print or screen, not paper"},
      {"--record 3 x", 1, "there is no estimate 3 (the book holds 2)"},
      {"--layout 3 x", 1, "there is no layout 3 (there are 2)"},
      {"'€'", 2, "cannot be written in Shift-JIS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const test::CliRun run = cli(dir_.path(), std::string("eval ") + c.args, " 2>&1");
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
  }
}

}  // namespace
}  // namespace vendaro

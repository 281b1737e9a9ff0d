// vendaro-cli print form, run as a user would in a program directory; the PDF read back.
#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "book/estimate_table.h"
#include "formprint/layout_tables.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/pdf_text.h"
#include "support/cli_run.h"
#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

std::string slurpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

test::CliRun cli(const std::string& dir, const std::string& args) { return test::runCli(dir, args, "", " 2>/dev/null"); }

/// Two estimates and one layout on A4 with the name at 100 mm across and "!" before the amount.
class PrintCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string cardata = dir.file("CARDATA");
    auto estimates = book::openEstimateTable(cardata);
    for (const char* name : {"ALPHA", "BRAVO"}) {
      estimates->append();
      estimates->setText(cp("氏名"), name);
      estimates->setText(cp("見積金額"), "1234567");
      estimates->post();
    }
    auto t = formprint::LayoutTables::open(cardata);
    t->ensureLayout(1);
    t->openLayout(1);
    t->data().edit();
    t->data().setInteger(formprint::kPaperWidthField, 210);
    t->data().setInteger(formprint::kPaperHeightField, 297);
    t->data().setText(formprint::kFirstItemField, cp("氏名"));
    t->data().setText(formprint::kFirstItemField + 1, cp("!見積金額$10"));
    t->data().post();
    for (auto [c, a, b] : {std::tuple{&t->posX(), 379, 0}, {&t->posY(), 0, 379}, {&t->size(), 10, 10}}) {
      c->edit();
      c->setInteger(0, a);
      c->setInteger(1, b);
      c->post();
    }
    writeSettingsLines(dir.file("EsPrintName.INI"), {cp("見積書"), "1", cp("新規追加"), "2"});
    writeSettingsLines(dir.file("ToolEdit.INI"), {"1000", "267", "0", "1"});
  }
  test::TempDir dir;
};

TEST_F(PrintCommand, PrintsTheChosenEstimateWhereTheFormulaPlacesIt) {
  const test::CliRun run = cli(dir.path(), "print form --layout 1 --record 2 --pdf out.pdf");
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\n");
  const test::PdfText text = test::readPdfText(dir.file("out.pdf"));
  EXPECT_EQ(text.pages, 1);
  ASSERT_EQ(text.words.size(), 2u);
  // 1430 and 0 dots at 360 dpi for the name; the amount one cell (5 units) right, 100 mm down.
  const test::PdfWord& name = text.words[0].text == "1,234,567" ? text.words[1] : text.words[0];
  const test::PdfWord& amount = text.words[0].text == "1,234,567" ? text.words[0] : text.words[1];
  EXPECT_TRUE(name.text == "ALPHA" || name.text == "BRAVO") << name.text;
  EXPECT_NEAR(name.xMin, 1430 * 0.2, 1.0);
  EXPECT_NEAR(name.yMin, 0, 3.0);
  EXPECT_NEAR(amount.xMin, (5 * 1000 / 267 + 11) * 0.2, 1.0);
  EXPECT_NEAR(amount.yMin, 1419 * 0.2, 3.0);
}

TEST_F(PrintCommand, WithoutAStoredSetTheNameLandsAtItsPlaceFromThePapersEdge) {
  std::remove(dir.file("ToolEdit.INI").c_str());
  const test::CliRun run = cli(dir.path(), "print form --layout 1 --record 1 --pdf out.pdf");
  ASSERT_EQ(run.status, 0);
  const test::PdfText text = test::readPdfText(dir.file("out.pdf"));
  ASSERT_EQ(text.words.size(), 2u);
  const test::PdfWord& name = text.words[0].text == "1,234,567" ? text.words[1] : text.words[0];
  // 379 layout units of 1/96 inch, 0.75 points each, within half a millimetre.
  EXPECT_NEAR(name.xMin, 379 * 0.75, 0.5 / 25.4 * 72);
}

TEST_F(PrintCommand, AllPrintsOnePagePerEstimateAndBadChoicesAreRefused) {
  const test::CliRun all = cli(dir.path(), "print form --layout 1 --all --pdf all.pdf");
  ASSERT_EQ(all.status, 0);
  EXPECT_EQ(all.out, "2\n");
  const test::PdfText text = test::readPdfText(dir.file("all.pdf"));
  EXPECT_EQ(text.pages, 2);
  EXPECT_EQ(text.words.size(), 4u);

  struct Case {
    const char* args;
    int status;
  };
  const Case cases[] = {
      {"print form --layout 2 --pdf x.pdf", 1},     // the list names one layout
      {"print form --layout 1 --record 3 --pdf x.pdf", 1},
      {"print form --layout 1", 2},
      {"print form --pdf x.pdf", 2},
      {"print form --layout 1 --record 1 --all --pdf x.pdf", 2},
      {"print list --layout 1 --pdf x.pdf", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(cli(dir.path(), c.args).status, c.status);
  }
  EXPECT_FALSE(fileExists(dir.file("x.pdf")));
}

TEST_F(PrintCommand, AFormPrintOnAFullDiskLeavesThePreviousPdfWhole) {
  ASSERT_EQ(cli(dir.path(), "print form --layout 1 --record 1 --pdf out.pdf").status, 0);
  const std::string previous = slurpFile(dir.file("out.pdf"));
  const std::vector<std::string> before = test::namesIn(dir.path());
  const std::string outcome = test::inChild(test::Disk::Full, [&] {
    return std::to_string(cli(dir.path(), "print form --layout 1 --record 2 --pdf out.pdf").status);
  });
  EXPECT_NE(outcome, "0");
  EXPECT_EQ(slurpFile(dir.file("out.pdf")), previous);
  EXPECT_EQ(test::namesIn(dir.path()), before);
}

}  // namespace
}  // namespace vendaro

namespace vendaro {
namespace {

TEST(PrintListCommand, TextShowsTheLinesWithAFormFeedBetweenJobsAndPdfAPagePerJob) {
  test::TempDir dir;
  {
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    for (const char* name : {"ALPHA", "BRAVO", "CHARLIE"}) {
      estimates->append();
      estimates->setText(cp("氏名"), name);
      estimates->setText(cp("見積金額"), "-1234");
      estimates->post();
    }
  }
  // 氏名 and 見積金額 at widths 20 and 11 (the new table's defaults), 2 per job, rule 2, grouping.
  std::vector<std::string> print = {"128", "0", "0", "-12", "F", "9", "1", "0", "2", "2", "", cp("氏名"),
                                    cp("見積金額"), ""};
  writeSettingsLines(dir.file("EsPrint.INI"), print);
  writeSettingsLines(dir.file("EsPrintPat.INI"), {"", "", "", "", "", "True"});
  const test::CliRun text = cli(dir.path(), "print list --text");
  ASSERT_EQ(text.status, 0);
  const std::string rule = "－－\n";
  const std::string heading = "氏名" + std::string(16, ' ') + "見積金額   \n";
  auto line = [](const std::string& name) { return name + std::string(20 - name.size(), ' ') + "     -1,234\n"; };
  // The "降順" order: the latest entry first among equal item numbers.
  EXPECT_EQ(text.out, heading + rule + line("CHARLIE") + rule + line("BRAVO") + rule + "\f\n" + line("ALPHA") + rule);

  const test::CliRun pdf = cli(dir.path(), "print list --pdf out.pdf");
  ASSERT_EQ(pdf.status, 0);
  EXPECT_EQ(pdf.out, "2\n");
  EXPECT_EQ(test::readPdfText(dir.file("out.pdf")).pages, 2);
  EXPECT_NE(cli(dir.path(), "print list").status, 0);
  EXPECT_NE(cli(dir.path(), "print list --text --pdf x.pdf").status, 0);
}

}  // namespace
}  // namespace vendaro

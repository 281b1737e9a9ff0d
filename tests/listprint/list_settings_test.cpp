#include "listprint/list_settings.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::listprint {
namespace {

using sjis::lit;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeAll(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(ListPrintSettings, DefaultsWithoutFilesAndWhatOkWrites) {
  test::TempDir dir;
  const ListPrintSettings s = loadListPrintSettings(dir.path());
  EXPECT_EQ(s.font.name, lit("ＭＳ 明朝"));
  EXPECT_EQ(s.font.size, 9);
  EXPECT_EQ(s.font.height, -12);
  EXPECT_EQ(s.count, OutputCount::All);
  EXPECT_EQ(s.method, OutputMethod::ChosenFields);
  EXPECT_EQ(s.perPage, "5");
  EXPECT_EQ(s.ruleLength, "40");
  EXPECT_EQ(s.fields.first, book::chooserFieldNames());
  EXPECT_TRUE(s.fields.second.empty());
  EXPECT_FALSE(s.grouping);

  saveListPrintSettings(dir.path(), s);
  std::string expected = "128\r\n-2147483640\r\n0\r\n-12\r\n" + lit("ＭＳ 明朝") + "\r\n9\r\n1\r\n0\r\n5\r\n40\r\n";
  for (const std::string& f : book::chooserFieldNames()) expected += f + "\r\n";
  expected += "\r\n\r\n";
  EXPECT_EQ(readAll(dir.file("EsPrint.INI")), expected);
  EXPECT_EQ(readAll(dir.file("EsPrintPat.INI")), "\r\n\r\n\r\n\r\n\r\nFalse\r\n");
}

TEST(ListPrintSettings, SurviveSavingAndReading) {
  test::TempDir dir;
  ListPrintSettings s = defaultListPrintSettings();
  s.font = {128, 255, 77, -16, lit("ＭＳ ゴシック"), 11};
  s.count = OutputCount::CurrentOnly;
  s.method = OutputMethod::AllFieldsOnScreen;
  s.perPage = "12x";
  s.ruleLength = "-1";
  s.fields = {{lit("作成日"), lit("住所")}, {lit("見積金額"), lit("氏名")}};
  s.title = lit("見積一覧表");
  s.titlePosition = "10";
  s.titleSize = "14";
  s.datePosition = "3";
  s.dateSize = "8";
  s.grouping = true;
  saveListPrintSettings(dir.path(), s);
  const ListPrintSettings r = loadListPrintSettings(dir.path());
  EXPECT_EQ(r.font.color, 255);
  EXPECT_EQ(r.font.height, -16);
  EXPECT_EQ(r.font.name, s.font.name);
  EXPECT_EQ(r.font.size, 11);
  EXPECT_EQ(r.font.handle, 0) << "the handle line is never read back";
  EXPECT_EQ(r.count, s.count);
  EXPECT_EQ(r.method, s.method);
  EXPECT_EQ(r.perPage, s.perPage);
  EXPECT_EQ(r.ruleLength, s.ruleLength);
  EXPECT_EQ(r.fields.first, s.fields.first);
  EXPECT_EQ(r.fields.second, s.fields.second);
  EXPECT_EQ(r.title, s.title);
  EXPECT_EQ(r.titlePosition, "10");
  EXPECT_EQ(r.titleSize, "14");
  EXPECT_EQ(r.datePosition, "3");
  EXPECT_EQ(r.dateSize, "8");
  EXPECT_TRUE(r.grouping);
}

TEST(ListPrintSettings, ShortAndOddFiles) {
  struct Case {
    const char* name;
    std::string print;
    std::string pattern;
    std::vector<std::string> first, second;
    bool grouping;
    OutputCount count;
  } cases[] = {
      {"first list runs to the end of the file", "0\r\n0\r\n0\r\n-12\r\nF\r\n9\r\n0\r\n0\r\n5\r\n40\r\nA\r\nB\r\n", "",
       {"A", "B"}, {}, false, OutputCount::CurrentOnly},
      {"second list without its closing line", "0\r\n0\r\n0\r\n-12\r\nF\r\n9\r\n1\r\n0\r\n5\r\n40\r\nA\r\n\r\nC\r\nD",
       "", {"A"}, {"C", "D"}, false, OutputCount::All},
      {"file ends before the lists", "0\r\n0\r\n0\r\n-12\r\nF\r\n9\r\n1\r\n", "", {}, {}, false, OutputCount::All},
      {"grouping only for the exact True", "", "T\r\n1\r\n2\r\n3\r\n4\r\ntrue\r\n", book::chooserFieldNames(), {},
       false, OutputCount::All},
      {"grouping on", "", "T\r\n1\r\n2\r\n3\r\n4\r\nTrue\r\n", book::chooserFieldNames(), {}, true, OutputCount::All},
      {"a choice other than 0 or 1 keeps the default", "0\r\n0\r\n0\r\n-12\r\nF\r\n9\r\n7\r\n", "", {}, {}, false,
       OutputCount::All},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    if (!c.print.empty()) writeAll(dir.file("EsPrint.INI"), c.print);
    if (!c.pattern.empty()) writeAll(dir.file("EsPrintPat.INI"), c.pattern);
    const ListPrintSettings s = loadListPrintSettings(dir.path());
    EXPECT_EQ(s.fields.first, c.first);
    EXPECT_EQ(s.fields.second, c.second);
    EXPECT_EQ(s.grouping, c.grouping);
    EXPECT_EQ(s.count, c.count);
  }
}

}  // namespace
}  // namespace vendaro::listprint

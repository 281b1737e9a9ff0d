// The pricing settings files: the consumption-tax rate, the pick lists and the width files of the
// reference table windows.
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "pricing/pick_lists.h"
#include "pricing/reference_tables.h"
#include "pricing/tax_rate.h"
#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro::pricing {
namespace {

std::string f(const char* utf8) { return sjis::lit(utf8); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void put(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

TEST(TaxRateFile, IsReadByTheLeadingIntegerReading) {
  struct Case {
    const char* content;  // null: no file
    int32_t rate;
  } cases[] = {
      // A new installation quotes at today's 10 %; a file of no bytes keeps that, a file that says
      // something is read as it stands.
      {nullptr, 10}, {"", 10}, {"5\r\n", 5}, {"8\r\n", 8}, {"\r\n", 0}, {"8%\r\n", 8}, {"  -3x\r\n10\r\n", -3},
      {"abc\r\n", 0},
      {"99999999999\r\n", INT32_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content ? c.content : "(none)");
    test::TempDir dir;
    if (c.content) put(dir.file("Zei.INI"), c.content);
    EXPECT_EQ(loadTaxRate(dir.path()), c.rate);
  }
}

TEST(TaxRateFile, IsWrittenAsOneLineOfDigits) {
  test::TempDir dir;
  for (int32_t rate : {8, 0, -2}) {
    saveTaxRate(dir.path(), rate);
    EXPECT_EQ(slurp(dir.file("Zei.INI")), std::to_string(rate) + "\r\n");
    EXPECT_EQ(loadTaxRate(dir.path()), rate);
  }
  EXPECT_THROW(saveTaxRate(dir.file("missing"), 5), FileError);
}

TEST(TaxRateText, OnlyAWholeNumberCounts) {
  EXPECT_EQ(taxRateFromText("8"), 8);
  EXPECT_EQ(taxRateFromText("-1"), -1);
  EXPECT_EQ(taxRateFromText("8%"), 0);
  EXPECT_EQ(taxRateFromText(""), 0);
}

TEST(PickLists, EightListsFeedTheirBoxesInOrder) {
  const auto& lists = pickLists();
  ASSERT_EQ(lists.size(), 8u);
  EXPECT_EQ(pickListHeading(lists[0]), f("”ミッション”の修正"));
  EXPECT_EQ(pickListHeading(lists[7]), f("”プラン”の修正"));
  EXPECT_EQ(std::string(lists[7].file), "CarPlan.INI");
  EXPECT_EQ(std::vector<std::string>(lists[7].boxes.begin(), lists[7].boxes.end()),
            (std::vector<std::string>{"DBComboBox12", "DBComboBox13"}));
}

TEST(PickLists, FilesHoldOneEntryPerLine) {
  test::TempDir dir;
  const PickList& carPrice = pickLists()[1];
  EXPECT_FALSE(loadPickList(dir.path(), carPrice).has_value());
  put(dir.file("CarPrice.INI"), "");
  EXPECT_EQ(loadPickList(dir.path(), carPrice), std::vector<std::string>{});
  savePickList(dir.path(), carPrice, {f("値引き"), "", f("下取り")});
  EXPECT_EQ(slurp(dir.file("CarPrice.INI")), f("値引き") + "\r\n\r\n" + f("下取り") + "\r\n");
  EXPECT_EQ(loadPickList(dir.path(), carPrice), (std::vector<std::string>{f("値引き"), "", f("下取り")}));
}

TEST(PickLists, AFileThatCannotBeWrittenKeepsItsOldContents) {
  test::TempDir dir;
  const PickList& mission = pickLists()[0];
  savePickList(dir.path(), mission, {"A"});
  // On a disk without room the new list cannot be written.
  const std::string outcome = test::inChild(test::Disk::Full, [&]() -> std::string {
    try {
      savePickList(dir.path(), mission, {"B"});
    } catch (const FileError&) {
      return "refused";
    }
    return "written";
  });
  EXPECT_EQ(outcome, "refused");
  EXPECT_EQ(slurp(dir.file("Mission.INI")), "A\r\n");
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"Mission.INI"});
}

TEST(PickLists, MemoTextBecomesOneEntryPerLine) {
  struct Case {
    const char* text;
    std::vector<std::string> entries;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"\n", {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(entriesOfText(c.text), c.entries);
  }
}

TEST(ReferenceTables, AreCreatedWithTheVehicleTypeFirst) {
  test::TempDir dir;
  auto tax = openCarTaxTable(dir.file("CARDATA"));
  auto insure = openCarInsureTable(dir.file("CARDATA"));
  EXPECT_EQ(tax->schema().field(0).name, f("車種"));
  EXPECT_EQ(insure->schema().field(0).name, f("車種"));
  EXPECT_EQ(tax->schema().fileName(), "CarTax.db");
  EXPECT_EQ(insure->schema().fileName(), "CarInSure.db");
  for (int i = 1; i < insure->schema().fieldCount(); ++i)
    EXPECT_EQ(insure->schema().field(i).type, table::FieldType::Integer);
  tax->append();
  tax->setText(f("車種"), f("軽自動車"));
  tax->setText(f("年税額"), "10800");
  tax->post();
  EXPECT_THROW(tax->setText(f("年税額"), "abc"), table::TableError);
  tax.reset();
  tax = openCarTaxTable(dir.file("CARDATA"));
  EXPECT_EQ(tax->recordCount(), 1);
  EXPECT_EQ(tax->integer(f("年税額")), 10800);
}

TEST(ColumnWidthFiles, PairsOutsideTheColumnsAreIgnored) {
  test::TempDir dir;
  auto tax = openCarTaxTable(dir.path());
  const int defaultWidth = tax->displayWidth(1);
  put(dir.file("EsTaxLen.INI"), "1\r\n30\r\n0\r\n9\r\n5\r\n9\r\n-1\r\n9\r\n3\r\n-4\r\n2\r\n");
  auto widths = loadColumnWidths(dir.file("EsTaxLen.INI"));
  EXPECT_EQ(widths, (std::vector<ColumnWidth>{{1, 30}, {0, 9}, {5, 9}, {-1, 9}, {3, -4}}));  // last line alone
  applyColumnWidths(*tax, widths);
  EXPECT_EQ(tax->displayWidth(0), 30);
  EXPECT_EQ(tax->displayWidth(1), defaultWidth);
  EXPECT_EQ(tax->displayWidth(2), 1);
  EXPECT_TRUE(loadColumnWidths(dir.file("EsInsLen.INI")).empty());
  saveColumnWidths(dir.file("EsInsLen.INI"), {{1, 24}, {2, 12}});
  EXPECT_EQ(slurp(dir.file("EsInsLen.INI")), "1\r\n24\r\n2\r\n12\r\n");
}

}  // namespace
}  // namespace vendaro::pricing

#include "formprint/printer_settings.h"

#include "formprint/print_run.h"

#include <fstream>
#include <gtest/gtest.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PrinterSettings, FilesAreReadIntoRangeAndShortFilesFillWhatTheyHave) {
  struct Case {
    const char* name;
    std::vector<std::string> toolEdit;   // empty: no file
    std::vector<std::string> toolEdit1;  // empty: no file
    std::array<AdjustmentSet, 3> sets;
    std::array<std::string, 3> printers;
  };
  const AdjustmentSet d;
  const Case cases[] = {
      {"no files: defaults", {}, {}, {d, d, d}, {"", "", ""}},
      {"out of range and not numbers",
       {"2000", "0", "-15", "11", "PrinterA", " 900x", "abc", "+3", "-4", "PrinterB"},
       {"1001", "-1", "75"},
       {AdjustmentSet{1000, 1, -10, 10, 1000}, AdjustmentSet{900, 1, 3, -4, 0}, AdjustmentSet{d.numerator, d.denominator, 0, 1, 75}},
       {"PrinterA", "PrinterB", ""}},
      {"only set 1's scale", {"950", "250"}, {}, {AdjustmentSet{950, 250, 0, 1, 50}, d, d}, {"", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    if (!c.toolEdit.empty()) writeSettingsLines(dir.file("ToolEdit.INI"), c.toolEdit);
    if (!c.toolEdit1.empty()) writeSettingsLines(dir.file("ToolEdit1.INI"), c.toolEdit1);
    const PrinterSettings s = loadPrinterSettings(dir.path());
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i + 1);
      EXPECT_EQ(s.sets[i], c.sets[i]);
      EXPECT_EQ(s.printers[i], c.printers[i]);
    }
  }
}

TEST(PrinterSettings, SavingWritesFifteenAndThreeLinesThatReadBackTheSame) {
  test::TempDir dir;
  PrinterSettings s;
  s.sets[0] = {900, 267, -2, 1, 55};
  s.sets[1] = {1000, 300, 0, 0, 60};
  s.printers = {sjis::lit("事務所"), "PrinterB", ""};
  savePrinterSettings(dir.path(), s);
  EXPECT_EQ(slurp(dir.file("ToolEdit.INI")),
            "900\r\n267\r\n-2\r\n1\r\n" + sjis::lit("事務所") +
                "\r\n1000\r\n300\r\n0\r\n0\r\nPrinterB\r\n1000\r\n267\r\n0\r\n1\r\n\r\n");
  EXPECT_EQ(slurp(dir.file("ToolEdit1.INI")), "55\r\n60\r\n50\r\n");
  const PrinterSettings back = loadPrinterSettings(dir.path());
  EXPECT_EQ(back.sets, s.sets);
  EXPECT_EQ(back.printers, s.printers);
}

TEST(PrinterSettings, TheSetOfAPrinter) {
  struct Case {
    const char* printer;
    bool multiple;
    std::array<std::string, 3> names;
    int set;
  };
  const Case cases[] = {
      {"B", false, {"A", "B", "C"}, 0},  // one printer at start: set 1 always
      {"B", true, {"", "B", "C"}, 0},    // set 1 unnamed: set 1 for every printer
      {"B", true, {"A", "B", "C"}, 1},
      {"C", true, {"A", "B", "C"}, 2},
      {"B", true, {"A", "B", "B"}, 2},   // set 3 is compared first
      {"A", true, {"A", "B", "C"}, 0},
      {"Z", true, {"A", "B", "C"}, 0},   // a printer no set names
      {"", true, {"A", "", "C"}, 1},     // an unnamed printer matches an unnamed set 2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.printer) + (c.multiple ? " multiple" : " single"));
    EXPECT_EQ(chooseAdjustmentSet(c.printer, c.multiple, c.names), c.set);
  }
}

TEST(PrinterSettings, ASetIsStoredOnlyWhereTheFileHoldsIt) {
  struct Case {
    const char* name;
    std::vector<std::string> toolEdit;  // empty: no file
    std::array<bool, 3> stored;
  };
  const Case cases[] = {
      {"no file", {}, {false, false, false}},
      {"set 1 only", {"1000", "267", "0", "1"}, {true, false, false}},
      {"set 1 with its name", {"1000", "267", "0", "1", "P1"}, {true, false, false}},
      {"sets 1 and 2", {"1000", "267", "0", "1", "P1", "900"}, {true, true, false}},
      {"all three", std::vector<std::string>(15, "5"), {true, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    if (!c.toolEdit.empty()) writeSettingsLines(dir.file("ToolEdit.INI"), c.toolEdit);
    EXPECT_EQ(loadPrinterSettings(dir.path()).stored, c.stored);
  }
}

TEST(PrinterSettings, ADerivedSetPutsLayoutUnitsOnThePaperAt96PerInch) {
  struct Case {
    const char* name;
    PrinterGeometry printer;
    AdjustmentSet set;
  };
  const AdjustmentSet d;
  const Case cases[] = {
      {"1200 dpi, no margins", {1200, 0, 0}, {25, 2, 0, 0, 50}},
      {"600 dpi, a sixth of an inch all round", {600, 4.23, 4.23}, {25, 4, -4, -4, 50}},
      {"360 dpi, 3 mm left, 5 mm top", {360, 3.0, 5.0}, {15, 4, -5, -3, 50}},
      {"300 dpi", {300, 0, 0}, {25, 8, 0, 0, 50}},
      {"margins past the offsets' range", {600, 25, 12}, {25, 4, -10, -10, 50}},
      {"a resolution past the fields", {200000, 0, 0}, {1000, 1, 0, 0, 50}},
      {"no resolution reported", {0, 4, 4}, d},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(deriveAdjustmentSet(c.printer), c.set);
  }
  // Through the print run's formula: an item 100 layout units (100/96 inch) in lands 100/96 inch
  // from the paper's edge, to within a millimetre's rounding of the margin.
  const PrinterGeometry printer{600, 4.23, 6.0};
  const DevicePoint at = devicePosition(100, 100, 0, 10, deriveAdjustmentSet(printer));
  const double leftMm = at.x / 600.0 * 25.4 + printer.leftMarginMm, topMm = at.y / 600.0 * 25.4 + printer.topMarginMm;
  EXPECT_NEAR(leftMm, 100 * 25.4 / 96, 0.5);
  EXPECT_NEAR(topMm, 100 * 25.4 / 96, 0.5);
}

}  // namespace
}  // namespace vendaro::formprint

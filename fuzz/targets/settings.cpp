// Settings files: arbitrary bytes as any of the settings files of the program directory (and as a
// key file of the per-user registry), read by the line reader and by every reader built on it.
// The first byte picks the file. Where the program writes a file back, what it writes reads back
// as what it read.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/main_settings.h"
#include "book/display_pattern.h"
#include "book/field_lists.h"
#include "book/find.h"
#include "entry/postal.h"
#include "formprint/layout_list.h"
#include "formprint/printer_settings.h"
#include "fuzz_support.h"
#include "listprint/list_settings.h"
#include "platform/settings_file.h"
#include "platform/user_registry.h"
#include "prefs/company_info.h"
#include "prefs/title_colors.h"
#include "prefs/window_placement.h"
#include "pricing/pick_lists.h"
#include "pricing/reference_tables.h"
#include "pricing/tax_rate.h"

using namespace vendaro;
using fuzz::check;

namespace {

// The first twenty keep the places the seeds were made for; the registry key file is last.
const char* const kFiles[] = {
    "Estimate.INI",     "EsWidth.INI",    "EsDsplay.INI",   "VendaroSave.INI", "EsPass.INI",   "INIDIR.INI",
    "EsPrintName.INI",  "EsCarFont.INI",  "User.INI",       "ToolEdit.INI",    "ToolEdit1.INI", "EsPrint.INI",
    "EsPrintPat.INI",   "EstimateLen.INI", "EsCopy.INI",    "EsFind.INI",      "Zei.INI",      "Mission.INI",
    "EsTitleColor.INI", "PostData.INI",   "EsTaxLen.INI",   "EsInsLen.INI",    "CarPlan.INI",  "CarPrice.INI",
    "CarTax.INI",       "Deposit.INI",    "Expense1.INI",   "Expense2.INI",    "Insurance.INI", nullptr,
};
constexpr std::size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

void writeRaw(const std::string& path, std::string_view content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fuzz::fail("cannot write a scratch file");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

/// The registry's key files go below the scratch directory, never the user's own.
const std::string& registryKeyFile() {
  static const std::string file = [] {
    ::setenv("XDG_CONFIG_HOME", fuzz::scratchDirectory().c_str(), 1);
    std::string f = userRegistryFile("\\Software\\Vendaro");
    std::filesystem::create_directories(std::filesystem::path(f).parent_path());
    return f;
  }();
  return file;
}

void readRegistry() {
  auto key = UserRegistryKey::open("\\Software\\Vendaro");
  check(key.has_value(), "an existing key file reads as missing");
  key->readInteger("PosX");
  key->readInteger("");
  prefs::readPlacement(prefs::placementSettingsOf(prefs::PlacedWindow::Main));
}

/// Every reader of the program directory, each on whatever file it reads.
void readProgramDirectory(const std::string& dir) {
  app::loadMainSettings(dir);
  prefs::loadCompanyInfo(dir);
  prefs::loadTitleColorName(dir);
  book::loadFindFields(dir);
  entry::readPostColumns(dir);
  pricing::loadTaxRate(dir);
  for (const auto& list : pricing::pickLists()) {
    if (auto entries = pricing::loadPickList(dir, list)) {
      // The list editor writes the entries back; they read back as they were.
      pricing::savePickList(dir, list, *entries);
      check(pricing::loadPickList(dir, list) == entries, "a pick list changes when written and read back");
    }
  }
  for (const char* name : {"EsTaxLen.INI", "EsInsLen.INI"}) {
    const std::string path = joinPath(dir, name);
    auto widths = pricing::loadColumnWidths(path);
    if (!widths.empty()) {
      pricing::saveColumnWidths(path, widths);
      check(pricing::loadColumnWidths(path) == widths, "column widths change when written and read back");
    }
  }
  for (const char* name : {"EsDsplay.INI", "EsCopy.INI", "EsPrint.INI", "EsPrintPat.INI"}) {
    const std::string path = joinPath(dir, name);
    if (auto lists = book::readTwoListFile(path)) {
      book::writeTwoListFile(path, *lists);
      auto again = book::readTwoListFile(path);
      check(again && again->first == lists->first && again->second == lists->second,
            "two lists change when written and read back");
    }
  }
  if (auto pairs = book::readColumnPairs(joinPath(dir, "EstimateLen.INI"))) {
    // The list page places its columns from the pairs: every field once, whatever the file holds.
    const book::ColumnLayout layout = book::placeColumns(std::vector<bool>(123, true), *pairs);
    std::vector<int> order = layout.order;
    std::sort(order.begin(), order.end());
    for (int f = 0; f < 123; ++f) check(order.size() == 123 && order[static_cast<std::size_t>(f)] == f, "a column is lost or doubled");
  }
  listprint::loadListPrintSettings(dir);

  // The printer adjustment sets: what is written back reads back the same.
  formprint::PrinterSettings printers = formprint::loadPrinterSettings(dir);
  formprint::savePrinterSettings(dir, printers);
  formprint::PrinterSettings again = formprint::loadPrinterSettings(dir);
  check(again.sets == printers.sets && again.printers == printers.printers,
        "printer settings change when written and read back");

  formprint::readFontFace(dir);
  formprint::LayoutList list;
  if (list.read(dir)) {
    // Every entry but the last names a layout (an empty file has neither).
    const auto layouts = list.layouts();
    check(layouts.size() + 1 == list.entries().size() || list.entries().empty(), "layouts and entries disagree");
    // The print order dialog writes the layouts back; they read back as they were.
    formprint::writeLayoutOrder(dir, layouts);
    formprint::LayoutList reread;
    reread.read(dir);
    check(reread.layouts() == layouts, "layouts change when written and read back");
  }
}

/// Removes whatever a run left in the directory, so that each input starts from nothing.
void clear(const std::string& dir) {
  for (const char* name : kFiles)
    if (name) std::remove(joinPath(dir, name).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::string dir = fuzz::scratchDirectory() + "/program";
  static const bool made = std::filesystem::create_directories(dir);
  (void)made;
  const std::string& keyFile = registryKeyFile();
  const char* name = kFiles[in.byte() % kFileCount];
  const std::string path = name ? joinPath(dir, name) : keyFile;
  const std::string_view content = in.rest();
  writeRaw(path, content);

  const SettingsLines lines = SettingsLines::load(path);
  check(lines.exists(), "a file that is there reads as missing");
  std::size_t bytes = 0;
  for (const auto& line : lines.lines()) {
    check(line.find_first_of("\r\n") == std::string::npos, "a line holds a line end");
    bytes += line.size() + 1;
  }
  check(bytes <= content.size() + 1, "the lines hold more than the file");
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    lines.integer(i, 7);
    lines.boolean(i, false);
  }

  // Written back whole and read again, the lines are the same.
  writeSettingsLines(path, lines.lines());
  check(SettingsLines::load(path).lines() == lines.lines(), "lines change when written and read back");
  writeRaw(path, content);

  // The readers built on the line reader. A file they cannot take is reported, never a crash.
  try {
    if (name) readProgramDirectory(dir);
    else readRegistry();
  } catch (const FileError&) {
  }

  clear(dir);
  std::remove(keyFile.c_str());
  return 0;
}

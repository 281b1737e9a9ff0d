// Settings files: arbitrary bytes as any of the settings files of the program directory, read by
// the line reader and by every reader built on it. The first byte picks the file.

#include <cstdio>

#include "app/main_settings.h"
#include "formprint/layout_list.h"
#include "fuzz_support.h"
#include "platform/settings_file.h"
#include "prefs/company_info.h"

using namespace vendaro;
using fuzz::check;

namespace {

// The settings files read through the readers below, then those whose readers are still to come
// (two-list files, pick lists, printer and list print settings): until their readers land they
// are read here by the line reader alone, and each reader is called below when it does.
const char* const kFiles[] = {
    "Estimate.INI",  "EsWidth.INI",    "EsDsplay.INI", "VendaroSave.INI", "EsPass.INI",    "INIDIR.INI",
    "EsPrintName.INI", "EsCarFont.INI", "User.INI",    "ToolEdit.INI",    "ToolEdit1.INI", "EsPrint.INI",
    "EsPrintPat.INI", "EstimateLen.INI", "EsCopy.INI", "EsFind.INI",      "Zei.INI",       "Mission.INI",
    "EsTitleColor.INI", "PostData.INI",
};
constexpr std::size_t kFileCount = sizeof kFiles / sizeof kFiles[0];

void writeRaw(const std::string& path, std::string_view content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fuzz::fail("cannot write a scratch file");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::string dir = fuzz::scratchDirectory();
  const std::string path = joinPath(dir, kFiles[in.byte() % kFileCount]);
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

  // The readers built on the line reader.
  app::loadMainSettings(dir);
  prefs::loadCompanyInfo(dir);
  formprint::readFontFace(dir);
  formprint::LayoutList list;
  if (list.read(dir)) {
    // Every entry but the last names a layout (an empty file has neither).
    const auto layouts = list.layouts();
    check(layouts.size() + 1 == list.entries().size() || list.entries().empty(), "layouts and entries disagree");
    // The print order dialog writes the layouts back; they read back as they were.
    formprint::writeLayoutOrder(dir, layouts);
    formprint::LayoutList again;
    again.read(dir);
    check(again.layouts() == layouts, "layouts change when written and read back");
  }

  std::remove(path.c_str());
  return 0;
}

#include "formprint/printer_settings.h"

#include <vector>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

const char* kSetsFile = "ToolEdit.INI";
const char* kPitchFile = "ToolEdit1.INI";

void readNumber(const SettingsLines& file, std::size_t line, ValueRange range, int& value) {
  if (auto text = file.get(line)) value = range.clamp(sjis::leadingInt(*text));
}

}  // namespace

PrinterSettings loadPrinterSettings(const std::string& programDirectory) {
  PrinterSettings s;
  const auto sets = SettingsLines::load(joinPath(programDirectory, kSetsFile));
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t base = i * 5;
    AdjustmentSet& set = s.sets[i];
    readNumber(sets, base + 0, kScaleRange, set.numerator);
    readNumber(sets, base + 1, kScaleRange, set.denominator);
    readNumber(sets, base + 2, kOffsetRange, set.vertical);
    readNumber(sets, base + 3, kOffsetRange, set.horizontal);
    if (auto name = sets.get(base + 4)) s.printers[i] = *name;
  }
  const auto pitches = SettingsLines::load(joinPath(programDirectory, kPitchFile));
  for (std::size_t i = 0; i < 3; ++i) readNumber(pitches, i, kPitchRange, s.sets[i].pitch);
  return s;
}

void savePrinterSettings(const std::string& programDirectory, const PrinterSettings& s) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < 3; ++i) {
    const AdjustmentSet& set = s.sets[i];
    for (int v : {set.numerator, set.denominator, set.vertical, set.horizontal}) lines.push_back(std::to_string(v));
    lines.push_back(s.printers[i]);
  }
  writeSettingsLines(joinPath(programDirectory, kSetsFile), lines);
  writeSettingsLines(joinPath(programDirectory, kPitchFile),
                     {std::to_string(s.sets[0].pitch), std::to_string(s.sets[1].pitch), std::to_string(s.sets[2].pitch)});
}

int chooseAdjustmentSet(const std::string& printerName, bool multiplePrinters,
                        const std::array<std::string, 3>& printers) {
  if (!multiplePrinters || printers[0].empty()) return 0;
  if (printerName == printers[2]) return 2;
  if (printerName == printers[1]) return 1;
  return 0;
}

}  // namespace vendaro::formprint

#include "formprint/printer_settings.h"

#include <cmath>
#include <cstdint>
#include <numeric>
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
    s.stored[i] = sets.get(base + 0).has_value();
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

AdjustmentSet deriveAdjustmentSet(const PrinterGeometry& printer) {
  AdjustmentSet set;
  const int dpi = printer.dotsPerInch;
  if (dpi <= 0) return set;
  // Device dots per layout unit: dpi / 96, as an exact fraction when it fits the fields.
  const int g = std::gcd(dpi, 96);
  set.numerator = dpi / g;
  set.denominator = 96 / g;
  if (set.numerator > kScaleRange.max) {
    set.numerator = kScaleRange.max;
    set.denominator = kScaleRange.clamp(static_cast<int>(std::lround(96000.0 / dpi)));
  }
  // The offset in whole millimetres whose device shift, as the print run computes it, comes
  // nearest to moving the printable area's corner back onto the paper's corner.
  auto nearest = [&set, dpi](double marginMm) {
    const double wanted = -marginMm / 25.4 * dpi;
    int best = 0;
    double bestError = 0;
    for (int mm = kOffsetRange.min; mm <= kOffsetRange.max; ++mm) {
      const int64_t dots = int64_t{mm} * 379 / 100 * set.numerator / set.denominator;
      const double error = std::fabs(static_cast<double>(dots) - wanted);
      if (mm == kOffsetRange.min || error < bestError || (error == bestError && std::abs(mm) < std::abs(best))) {
        best = mm;
        bestError = error;
      }
    }
    return best;
  };
  set.horizontal = nearest(printer.leftMarginMm);
  set.vertical = nearest(printer.topMarginMm);
  return set;
}

int chooseAdjustmentSet(const std::string& printerName, bool multiplePrinters,
                        const std::array<std::string, 3>& printers) {
  if (!multiplePrinters || printers[0].empty()) return 0;
  if (printerName == printers[2]) return 2;
  if (printerName == printers[1]) return 1;
  return 0;
}

}  // namespace vendaro::formprint

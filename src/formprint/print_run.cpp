#include "formprint/print_run.h"

#include <cstdint>
#include <limits>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

int to32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int>(v);
}

/// v × A div B, truncating toward zero (C++ division does).
int64_t scaled(int64_t v, const AdjustmentSet& set) {
  const int64_t b = set.denominator == 0 ? 1 : set.denominator;
  return v * set.numerator / b;
}

}  // namespace

DevicePoint devicePosition(int x, int y, int shift, int points, const AdjustmentSet& set) {
  const int64_t shiftUnits = (int64_t{shift} * set.pitch * points + 50) / 100;
  const int64_t hOffset = scaled(int64_t{set.horizontal} * 379 / 100, set);
  const int64_t vOffset = scaled(int64_t{set.vertical} * 379 / 100, set);
  return {to32(scaled(x + shiftUnits, set) + hOffset), to32(scaled(y, set) + vOffset)};
}

DevicePoint formExtent(int paperWidthMm, int paperHeightMm, const AdjustmentSet& set) {
  return {to32(scaled(mmToLayoutUnits(paperWidthMm), set)), to32(scaled(mmToLayoutUnits(paperHeightMm), set))};
}

std::vector<PlacedText> placeItems(LayoutTables& layout, const ItemEvaluator& evaluator, const AdjustmentSet& set) {
  std::vector<PlacedText> placed;
  for (int k = 1; k <= kItemCount; ++k) {
    const std::string expression = layout.item(k);
    if (expression.empty()) continue;
    ItemValue value = evaluator.menuTextCheck(expression, EvalMode::Print);
    if (value.text.empty()) continue;
    const int points = layout.itemSize(k);
    placed.push_back({std::move(value.text), points,
                      devicePosition(layout.itemX(k), layout.itemY(k), value.number, points, set)});
  }
  return placed;
}

std::string findFormImage(const std::string& programDirectory, const std::string& formName) {
  if (formName.empty()) return {};
  // Form names are CP932 like every stored text; the file system spells them in UTF-8.
  const std::string base = joinPath(programDirectory, sjis::toUtf8(formName));
  for (const char* extension : {".jpg", ".bmp"})
    if (fileExists(base + extension)) return base + extension;
  return {};
}

int printForms(SheetDevice& device, LayoutTables& layout, table::Cursor& estimates, const ItemEvaluator& evaluator,
               const RunSettings& settings) {
  std::string image;
  if (layout.printForm()) image = findFormImage(settings.programDirectory, layout.formName());
  if (!image.empty()) device.loadForm(image);
  const DevicePoint extent = formExtent(layout.paperWidth(), layout.paperHeight(), settings.set);
  const bool continuous = settings.sheets == RunSettings::Sheets::AsLayout ? layout.continuous()
                                                                           : settings.sheets == RunSettings::Sheets::All;
  if (continuous) estimates.first();
  int sheets = 0;
  for (;;) {
    device.beginSheet();
    if (!image.empty()) device.drawForm(extent);
    for (const PlacedText& item : placeItems(layout, evaluator, settings.set)) device.drawText(item, settings.face);
    device.endSheet();
    ++sheets;
    if (!continuous) break;
    estimates.next();
    if (estimates.eof()) break;
  }
  device.finish();
  return sheets;
}

}  // namespace vendaro::formprint

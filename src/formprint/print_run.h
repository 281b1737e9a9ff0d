#pragma once
// The form print run without its device: which printer adjustment set serves a printer, where an
// item lands in device units, and the run itself (one sheet for the current estimate, or one per
// estimate in view for a continuous layout), drawn through a SheetDevice.

#include <string>
#include <vector>

#include "formprint/item_language.h"
#include "formprint/layout_tables.h"
#include "formprint/printer_settings.h"
#include "platform/table/cursor.h"

namespace vendaro::formprint {

/// The size an item prints at: its サイズ, or 10 points for an item whose size was never set (0 or
/// less).
inline int printedPoints(int size) { return size > 0 ? size : 10; }

/// A position in device units, from the top-left corner of the printable area.
struct DevicePoint {
  int x = 0;
  int y = 0;
  bool operator==(const DevicePoint& o) const { return x == o.x && y == o.y; }
};

/// The device position of an item at layout position (x, y), shifted right by `shift` character
/// cells of an item of `points` size:
///   X = ((x + (shift × P × points + 50) div 100) × A) div B + ((H × 379 div 100) × A) div B
///   Y = (y × A) div B + ((V × 379 div 100) × A) div B
/// in integer arithmetic truncating toward zero at each step (held within the 32-bit range).
DevicePoint devicePosition(int x, int y, int shift, int points, const AdjustmentSet& set);

/// The device size of the paper, into which the form image is stretched (no offsets apply).
DevicePoint formExtent(int paperWidthMm, int paperHeightMm, const AdjustmentSet& set);

/// One item as printed: its text, size in points and device position (of its top-left corner).
struct PlacedText {
  std::string text;
  int points = 0;
  DevicePoint at;
};

/// Evaluates items 1 to 240 of the current layout in print mode (which may ask the "!" questions)
/// and places every item with text.
std::vector<PlacedText> placeItems(LayoutTables& layout, const ItemEvaluator& evaluator, const AdjustmentSet& set);

/// The form image of a layout in the program directory: the form name with ".jpg", else with
/// ".bmp" (file-system path, UTF-8); empty when neither exists or the name is empty.
std::string findFormImage(const std::string& programDirectory, const std::string& formName);

/// The printing service of one run. A run is one document; each sheet begins and ends a page.
class SheetDevice {
 public:
  virtual ~SheetDevice() = default;
  /// Reads the form image before anything is printed; throws (ImageError) when it cannot.
  virtual void loadForm(const std::string& path) = 0;
  virtual void beginSheet() = 0;
  /// Draws the loaded form stretched from (0, 0) to `extent`.
  virtual void drawForm(const DevicePoint& extent) = 0;
  /// Draws a text with its top-left corner at the item's position, in the face (CP932).
  virtual void drawText(const PlacedText& item, const std::string& face) = 0;
  virtual void endSheet() = 0;
  /// Ends the document after the last sheet.
  virtual void finish() = 0;
};

/// What a run needs besides the tables.
struct RunSettings {
  /// Which estimates get a sheet: as the layout's 連続印刷 says, only the current one, or every
  /// one in view.
  enum class Sheets { AsLayout, Current, All };
  AdjustmentSet set;
  std::string programDirectory;
  std::string face;  ///< the item font (CP932)
  Sheets sheets = Sheets::AsLayout;
};

/// Prints the current layout: one sheet for the current estimate; for a continuous layout, one
/// sheet per estimate in view from the first, leaving the cursor on the last (an empty view still
/// prints one sheet). The form image, when the layout prints it and the file exists, is read
/// before the first sheet, so an unreadable image prints nothing. Returns the sheets printed.
int printForms(SheetDevice& device, LayoutTables& layout, table::Cursor& estimates, const ItemEvaluator& evaluator,
               const RunSettings& settings);

}  // namespace vendaro::formprint

#pragma once
// Window placement memory: where a window was and how large it was, kept per user in the
// registry under "\Software\" + the key name, as four integer values (left, top, width, height).

#include <optional>
#include <string>
#include <vector>

namespace vendaro::prefs {

/// What is remembered of one window, and under which names.
struct PlacementSettings {
  bool enabled = true;
  std::string keyName;  ///< below "\Software\"; when empty nothing is written
  std::string posXValueName = "PosX";
  std::string posYValueName = "PosY";
  std::string widthValueName = "Width";
  std::string heightValueName = "Height";
  bool restoreSize = true;  ///< width and height are stored and restored too
  bool saveNormal = true;   ///< a maximized window stores its normal rectangle
  /// When not empty: 1 is stored under this name when the window was maximized, else 0, and a
  /// window stored maximized opens maximized again (over its normal rectangle).
  std::string maximizedValueName;
};

/// A rectangle in screen pixels.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

/// The values found in the registry; each one missing or not an integer stays empty on its own.
struct StoredPlacement {
  std::optional<int> x, y, width, height;
  bool maximized = false;
};

/// The registry key path of a key name: "\Software\" + keyName.
std::string placementKeyPath(const std::string& keyName);

/// Reads the stored values. Nothing at all when disabled or when the key does not exist; width and
/// height only with `restoreSize`. Throws FileError when the key's file cannot be read.
StoredPlacement readPlacement(const PlacementSettings& settings);

/// Stores the rectangle (width and height only with `restoreSize`) and, when the settings name a
/// value for it, whether the window was maximized, keeping the key's other values. Does nothing
/// when disabled or when the key name is empty. Throws FileError.
void writePlacement(const PlacementSettings& settings, const ScreenRect& rect, bool maximized = false);

/// A window rectangle that lies entirely off every screen is moved onto the primary screen's
/// available area (centred, its size kept); any other rectangle is returned unchanged.
ScreenRect keepOnScreen(const ScreenRect& rect, const std::vector<ScreenRect>& screens, const ScreenRect& primary);

/// The windows of the program that remember their placement.
enum class PlacedWindow {
  Main,               ///< TEstimateDataForm
  LayoutEditor,       ///< TCarPrintForm
  PostalImport,       ///< TPostForm
  PrintWidth,         ///< TInDTLenForm
  VehicleTaxTable,    ///< TCTaxForm
  InsuranceTable,     ///< TCInsureForm (shares its values with the vehicle-tax table)
};

/// The key and value names of one of the program's windows (default switches).
PlacementSettings placementSettingsOf(PlacedWindow window);

}  // namespace vendaro::prefs

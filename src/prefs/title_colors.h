#pragma once
// The colour of the estimate sheet's title panels: chosen by name from a fixed list of 42 names
// and kept as that name in "EsTitleColor.INI" in the program directory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vendaro::prefs {

/// A colour of the list: either a fixed RGB value or one of the 24 system colours of the desktop
/// scheme, numbered 1 to 24 like the user-interface roles they stand for.
struct TitleColor {
  bool system = false;
  int systemIndex = 0;  ///< 1..24 when `system`
  uint32_t rgb = 0;     ///< 0xRRGGBB when not `system`

  bool operator==(const TitleColor& o) const {
    return system == o.system && systemIndex == o.systemIndex && rgb == o.rgb;
  }
};

/// System colour numbers the program itself relies on.
enum SystemColorIndex : int {
  kInactiveCaptionColor = 3,  ///< inactive title bar: designed colour of the caption panels
  kButtonFaceColor = 15,      ///< button face: designed colour of the one-character strip panels
};

/// The 42 colour names in list order, CP932, blanks included exactly.
const std::vector<std::string>& titleColorNames();

/// The colour of a list name, compared byte for byte (blanks included); nothing for any other text.
std::optional<TitleColor> lookupTitleColor(const std::string& name);

/// The name used when "EsTitleColor.INI" does not exist: the inactive title bar colour.
std::string defaultTitleColorName();

/// The settings file's name.
inline const char* titleColorFileName() { return "EsTitleColor.INI"; }

/// Line 1 of "EsTitleColor.INI", or the default name when the file does not exist (an existing
/// empty file gives the empty text). Throws FileError when the file exists but cannot be read.
std::string loadTitleColorName(const std::string& programDirectory);

/// Rewrites "EsTitleColor.INI" with the name as its only line. Throws FileError.
void saveTitleColorName(const std::string& programDirectory, const std::string& name);

/// The object names of the 73 title panels of the main window, caption panels first.
const std::vector<std::string>& titlePanelNames();

/// True for the 43 one-character panels inside the group strips (every strip panel but its first),
/// whose designed colour is the button face; the other 30 are designed in the inactive title bar
/// colour.
bool isStripCharacterPanel(const std::string& panelName);

}  // namespace vendaro::prefs

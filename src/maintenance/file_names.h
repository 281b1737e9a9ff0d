#pragma once
// What the name of a chosen backup or restore file means. Paths are file-system names (UTF-8);
// the words looked for in them (分割, ～, 住所録) are compared as CP932 text, character by
// character.

#include <string>
#include <string_view>

namespace vendaro::maintenance {

/// A path cut into its directory (with its trailing '/', or empty), its file name without the
/// extension, and the extension (from the last '.' of the file name, or empty).
struct PathParts {
  std::string directory;
  std::string name;
  std::string extension;
};
PathParts splitPath(const std::string& path);

/// The path with the extension of its file name replaced by ".CSV" (a name without one gets it).
/// File names are told apart without regard to letter case, as the dealer's file names always
/// were: when the directory holds a file of that name in other letters (backup.csv), that file is
/// the one meant.
std::string csvPath(const std::string& path);

/// True when the CP932 text holds `needle` starting at a character boundary.
bool containsText(std::string_view cp932, std::string_view needle);

/// True when the file name (without its extension) holds the word, given in UTF-8.
bool nameHolds(const std::string& path, std::string_view wordUtf8);

}  // namespace vendaro::maintenance

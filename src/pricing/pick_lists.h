#pragma once
// The pick lists: ready-made entries for the combo boxes of the estimate sheet (captions of the
// free price lines, the transmission, the numbers of instalments), one list file each.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vendaro::pricing {

/// One list: its menu item and caption, its file and the boxes it feeds (in order; the first is
/// the one the list editor starts from).
struct PickList {
  const char* menuItem;     ///< N7, N9, ...
  const char* captionUtf8;  ///< the menu caption, also named in the editor's heading
  const char* file;         ///< the list file in the program directory
  std::vector<const char*> boxes;
};

/// The eight lists in the order they are loaded at start.
const std::vector<PickList>& pickLists();

/// The list editor's heading for a list: ”caption”の修正 (CP932).
std::string pickListHeading(const PickList& list);

/// The entries of a list file, one per line; nothing when the file does not exist. Throws
/// FileError when it exists but cannot be read.
std::optional<std::vector<std::string>> loadPickList(const std::string& programDirectory, const PickList& list);

/// Writes the list file anew, one entry per line. Throws FileError; the old file is then kept.
void savePickList(const std::string& programDirectory, const PickList& list, const std::vector<std::string>& entries);

/// The entries of a memo's text: one per line; a line break at the very end starts no entry.
std::vector<std::string> entriesOfText(std::string_view text);

}  // namespace vendaro::pricing

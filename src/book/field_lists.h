#pragma once
// The field list chooser without its window: two lists of entries (the fields not chosen and the
// fields chosen, in the order that counts), the moves of its four buttons, and the settings file
// that stores both lists.

#include <optional>
#include <string>
#include <vector>

namespace vendaro::book {

/// One list of the chooser: its entries (CP932) and which of them are selected.
struct ChooserList {
  std::vector<std::string> entries;
  std::vector<bool> selected;  ///< same length as entries

  /// Sets the entries with nothing selected.
  void assign(std::vector<std::string> items);
  /// Positions of the first and last selected entry; false when nothing is selected.
  bool selectedSpan(std::size_t& first, std::size_t& last) const;
};

/// "＞" and "＜": moves the block from the first to the last selected entry of `from` (the entries
/// between them included, selected or not) to the end of `to`, in its order. False, and nothing
/// moved, when nothing is selected. Nothing is selected in either list afterwards.
bool transferBlock(ChooserList& from, ChooserList& to);

/// Up: moves the selected block one place up, the entry above it going below it; afterwards only
/// the block's first entry is selected. False when nothing is selected or the block starts at the top.
bool moveBlockUp(ChooserList& list);

/// Down: moves the selected block one place down, the entry below it going above it; afterwards
/// only the block's last entry is selected. False when nothing is selected or the block ends at the
/// bottom.
bool moveBlockDown(ChooserList& list);

/// The two lists of a settings file.
struct TwoLists {
  std::vector<std::string> first;
  std::vector<std::string> second;
};

/// Reads a two-list settings file: the lines up to the first empty line, then the lines up to the
/// next empty line or the end. A missing file gives nothing. Throws FileError.
std::optional<TwoLists> readTwoListFile(const std::string& path);

/// Writes the first list, an empty line, the second list and an empty line, each line ended by
/// CR LF, replacing the file whole. Throws FileError.
void writeTwoListFile(const std::string& path, const TwoLists& lists);

/// The 122 field names from 作成日 to 備考 in table order (every field but the item number): the
/// columns of a backup and what the choosers offer at first.
const std::vector<std::string>& chooserFieldNames();

}  // namespace vendaro::book

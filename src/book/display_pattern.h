#pragma once
// The list page's display pattern: which fields the grid shows ("EsDsplay.INI", two lists of
// entries such as "  4,氏名") and the stored column layout ("EstimateLen.INI", one pair of lines
// per column: the field's place in the table, 作成日 being 2, then its width in characters).
//
// Field numbers here are the table places minus one: 1 is 作成日, 122 is 備考; the item number
// (0) is never listed.

#include <optional>
#include <string>
#include <vector>

namespace vendaro::book {

/// Number of the last listed field (備考).
constexpr int kLastDisplayField = 122;
/// Widths in characters that a stored layout may set; others leave the column's width alone.
constexpr int kMaxDisplayWidth = 1000;

/// An entry of the dialog's lists: the field number right-aligned in three characters, a comma and
/// the field name ("  1,作成日", "122,備考").
std::string displayEntry(int number);
/// The entries of fields 1 to 122 in order: what the list of hidden fields holds at first.
const std::vector<std::string>& displayEntries();

/// Shown flags indexed by field number 0 to 122, from the leading numbers of the shown entries.
/// Numbers outside 1 to 122 are ignored.
std::vector<bool> shownFields(const std::vector<std::string>& shownEntries);

/// One stored column: the field's place in the table (作成日 is 2) and its width in characters,
/// missing when the file ends after the place.
struct ColumnPair {
  int place = 0;
  std::optional<int> width;
};

/// Reads "EstimateLen.INI"-style pairs; nothing when the file is missing. Throws FileError.
std::optional<std::vector<ColumnPair>> readColumnPairs(const std::string& path);

/// Where the columns end up: every field number 0 to 122 in column order, and the widths to set.
struct ColumnLayout {
  std::vector<int> order;
  std::vector<std::pair<int, int>> widths;  ///< field number, width in characters
};

/// Places the grid's columns (item number first, then every field in table order) from the
/// stored pairs in file order: a pair whose field is not shown, is out of range or was already
/// placed is skipped; otherwise the columns after those placed are rotated until that field comes
/// next, and its width is taken when it is a sensible one.
ColumnLayout placeColumns(const std::vector<bool>& shown, const std::vector<ColumnPair>& pairs);

}  // namespace vendaro::book

#pragma once
// The layout list "EsPrintName.INI": the layouts in print-menu order, each as a name line and a
// record-number line, ending with the new-layout entry "新規追加" numbered one past the last
// layout. And the font file "EsCarFont.INI": the face of every print item.

#include <string>
#include <vector>

namespace vendaro::formprint {

/// One entry of the layout list. The number is kept as the text the file holds; it reads as a
/// layout number by the leading-integer reading.
struct LayoutListEntry {
  std::string name;    ///< CP932
  std::string number;  ///< decimal digits of the layout's record number
  bool operator==(const LayoutListEntry& o) const { return name == o.name && number == o.number; }
};

/// The new-layout entry's name, "新規追加", in CP932.
const std::string& newLayoutName();

/// A copy of the layout list, as each of its holders keeps one.
class LayoutList {
 public:
  /// Reads "EsPrintName.INI" from the program directory: name line, then number line, until the
  /// end of the file (a missing number line reads as empty). A missing file leaves the copy as it
  /// was and gives false. Throws FileError when the file cannot be read.
  bool read(const std::string& programDirectory);

  /// Every entry, the new-layout entry (the last one) included.
  const std::vector<LayoutListEntry>& entries() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }
  /// The entries that name layouts: all but the last. These are the form-print commands.
  std::vector<LayoutListEntry> layouts() const;

  /// Keeps the copy current after a layout record is saved: the entry numbered `recordNumber`
  /// takes the record's name. A record that no entry names takes the new-layout entry's place, or
  /// is added at the end once that place has been taken, so no saved record loses its entry.
  void recordSaved(int recordNumber, const std::string& printName);

  /// Writes the list as the layout editor does when it closes, for a layout table holding
  /// `printNames.size()` records with those 印刷名: the copy's entries for those records, in
  /// the copy's order, then an entry for every record the copy does not name (in record order),
  /// then the new-layout entry numbered one past the last record. Entries naming no record are
  /// left out. The copy becomes what was written. Throws FileError.
  void writeByEditor(const std::string& programDirectory, const std::vector<std::string>& printNames);

  /// Replaces the copy; the last entry is taken for the new-layout entry.
  void setEntries(std::vector<LayoutListEntry> entries);

 private:
  std::vector<LayoutListEntry> entries_;
  bool newLayoutLast_ = false;  ///< the last entry is still the new-layout entry
};

/// Writes the list as the print order dialog does on OK: the layouts in the given order, then the
/// new-layout entry numbered one past them. Throws FileError.
void writeLayoutOrder(const std::string& programDirectory, const std::vector<LayoutListEntry>& layouts);

/// The print face from "EsCarFont.INI", or "ＪＳゴシック" when there is no such file (CP932).
std::string readFontFace(const std::string& programDirectory);

/// Rewrites "EsCarFont.INI" with the face. Throws FileError.
void writeFontFace(const std::string& programDirectory, const std::string& face);

}  // namespace vendaro::formprint

#pragma once
// Loading estimates from a comma-separated file: bytes copied into fields as they stand, a comma
// always separates, a line feed always ends a line, a CR is dropped. A file whose first value names
// an estimate field maps its columns by its first line; any other file is mapped by a pattern of
// field names the user chooses.
//
// The whole load, the deletion of the old estimates included, is one transaction: when a value
// cannot be written the table is left exactly as it was.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::maintenance {

/// The first line of a restore file.
struct RestoreHead {
  std::vector<std::string> columns;  ///< the values of the first line
  bool header = false;               ///< the first value names a field of the table
  bool lineEnd = false;              ///< the file holds a line feed at all
};

/// Reads the first line of the file. Throws FileError.
RestoreHead readRestoreHead(const std::string& path, const table::TableSchema& schema);

/// The column map of a file without a header: the pattern's fields in order, and beyond them
/// what the file's first line holds.
std::vector<std::string> patternColumns(const std::vector<std::string>& firstLine,
                                        const std::vector<std::string>& pattern);

/// A restore stopped by a value that could not be written; the table is as it was before.
class RestoreError : public std::runtime_error {
 public:
  RestoreError(const std::string& engineMessage, int line);
  /// The table engine's message alone.
  const std::string& engineMessage() const { return engineMessage_; }
  /// The line of the file (1 is its first line).
  int line() const { return line_; }

 private:
  std::string engineMessage_;
  int line_;
};

/// What a restore did.
struct RestoreReport {
  int stored = 0;                  ///< estimates stored
  int deleted = 0;                 ///< estimates deleted first
  std::vector<int> droppedLines;   ///< lines whose estimate the table refused to store
};

/// Loads the file into the table in one transaction: unless `append`, every estimate is deleted
/// first; then each line ended by a line feed becomes one estimate (the line after the header
/// first, or line 1 when `skipFirstLine` is false), its values written as text to the fields the
/// columns name, and stored through the before-post hook. An estimate the table refuses to store is
/// dropped and noted. The after-post hook does not run; the caller rebuilds whatever depends on
/// the table once at the end. The cursor is left unfiltered in the natural order. Throws
/// RestoreError for a value without a field or one its field cannot take, FileError for the file,
/// TableError when the transaction cannot be committed; in each case nothing is changed. Every
/// line must hold `valuesPerLine` values (as many as the first line): a line of another count (a
/// value with a comma or a line break, a blank line) is refused as a RestoreError with its line.
RestoreReport restoreEstimates(table::Cursor& estimates, const std::string& path,
                               const std::vector<std::string>& columns, bool skipFirstLine, bool append,
                               std::size_t valuesPerLine);

/// The message of a line whose number of values differs from the first line's.
std::string valueCountMessage(std::size_t found, std::size_t expected);

/// How a restore command ended.
enum class RestoreOutcome {
  Done,            ///< the file was loaded
  AddressBook,     ///< the name holds 住所録: refused before opening
  Missing,         ///< no such .CSV file
  NoLine,          ///< the file holds no line end, so no estimate
  NoPattern,       ///< a file without a header and no pattern chosen
};

/// The restore command without its windows: the chosen path's .CSV file, the 住所録 refusal, the
/// header or the pattern (asked through `choosePattern` only for a file without a header; nothing
/// from it means stop), the 分割 append, and the load. Throws as restoreEstimates does.
RestoreOutcome runRestore(table::Cursor& estimates, const std::string& chosenPath,
                          const std::function<std::optional<std::vector<std::string>>()>& choosePattern,
                          RestoreReport& report);

/// The message of a stopped restore (CP932): the engine's message and the line it stopped at.
std::string restoreErrorMessage(const RestoreError& error);

/// The notice for estimates the table refused to store (CP932); empty when there were none.
std::string droppedNotice(const RestoreReport& report);

}  // namespace vendaro::maintenance

#pragma once
// Copying an estimate: the chosen fields of the estimate on screen are read into a buffer, then a
// new estimate is appended holding exactly those values, left in insert state for the user.

#include <string>
#include <utility>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::book {

/// The values carried over: each a field number with its value read as text (CP932).
struct CopyBuffer {
  std::vector<std::pair<int, std::string>> values;
};

/// Reads the named fields of the current estimate as text, in the order named. A field named
/// more than once is read once, at its first naming, so a buffer never holds more entries than the
/// table has fields. Throws TableError (field not found) for a name the table does not have, before
/// anything is read.
CopyBuffer fillCopyBuffer(const table::Cursor& cursor, const std::vector<std::string>& names);

/// Appends a new empty estimate (a pending edit is saved first) and writes every buffered value
/// into its field. The new estimate stays in insert state; nothing is recalculated. When a value
/// cannot be written the new estimate is dropped and the error passed on.
void pasteCopyBuffer(table::Cursor& cursor, const CopyBuffer& buffer);

/// Both steps: the copy command once the dialog has said which fields to carry.
void copyEstimate(table::Cursor& cursor, const std::vector<std::string>& names);

}  // namespace vendaro::book

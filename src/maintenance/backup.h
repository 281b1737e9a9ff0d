#pragma once
// The CSV backup of estimates: CP932 text, a header line of the 122 column names, one line of 122
// values per estimate, values joined by single commas and never quoted, CR LF after every line.

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/table/cursor.h"

namespace vendaro::maintenance {

/// The name part of a backup made without a period: today's date as era name, two-digit year,
/// "年", two-digit month, "月", two-digit day, "日", with ASCII digits (平成14年12月05日).
std::string todayNamePart(const Date& today);

/// The proposed file name (CP932): directory text, prefix, name part, suffix and ".CSV".
std::string proposedBackupName(const std::string& directory, const std::string& prefix, const std::string& namePart,
                               const std::string& suffix);

/// True when a backup to this chosen file starts at the current record of the view in force: its
/// name holds "分割" and no "～". Otherwise it covers the whole view from its first record.
bool backupFromCurrent(const std::string& chosenPath);

/// An estimate holding a value with a comma, CR or LF: such a value does not read back.
struct UnreadableEstimate {
  int line = 0;              ///< its line in the file
  std::string created;       ///< its 作成日
  std::string name;          ///< its 氏名
  std::vector<std::string> fields;  ///< the fields whose values do not read back
};

/// What a backup wrote.
struct BackupReport {
  std::string path;        ///< the file written
  int estimates = 0;       ///< estimate lines written (an empty view writes one empty line)
  int unreadableValues = 0;
  std::vector<UnreadableEstimate> unreadable;
};

/// Writes the backup of the cursor's view to the chosen file with its extension replaced by
/// ".CSV", overwriting it. Unless backupFromCurrent(), writing starts at the first record, with
/// the filter switched off first when `periodLimit` is off; otherwise at the current record. The
/// cursor is left past its last record. Throws FileError and TableError; a file of that name that
/// was there before is then left as it was.
BackupReport writeBackup(table::Cursor& estimates, const std::string& chosenPath, bool periodLimit);

/// The notice after a backup with values that do not read back (CP932); empty when there are none.
std::string unreadableNotice(const BackupReport& report);

/// Keeps a cursor's filter text and filtering switch, and puts both back when it goes.
class FilterKeeper {
 public:
  explicit FilterKeeper(table::Cursor& cursor);
  ~FilterKeeper();
  FilterKeeper(const FilterKeeper&) = delete;
  FilterKeeper& operator=(const FilterKeeper&) = delete;

 private:
  table::Cursor& cursor_;
  std::string filter_;
  bool filtered_;
};

}  // namespace vendaro::maintenance

#pragma once
// Keeping customers' personal data to the account that owns the book: the tables, the settings
// files, the backups and the printed PDF files are readable and writable by their owner alone.

#include <string>
#include <vector>

namespace vendaro::maintenance {

/// A file or directory whose permissions were narrowed.
struct ModeChange {
  std::string path;
  unsigned before = 0;
  unsigned after = 0;
};

/// Narrows every personal file of a program directory to its owner: the table directory and every
/// file in it (tables and their journals), the settings files (*.INI), the backups (.CSV files that
/// begin with the backup's header) and the PDF files, in the program directory and in the backup
/// directory that INIDIR.INI names. Group and other permissions are taken away; the owner's stay.
/// The postal-code list and the form images hold nothing personal and are left alone. Returns
/// every file changed, in the order met. Throws FileError for a file that cannot be changed.
std::vector<ModeChange> tightenProgramDirectory(const std::string& programDirectory,
                                                const std::string& cardataDirectory);

/// The files in the table directory that another account can read (the directory lets it in and
/// the file lets it read); empty when there is none.
std::vector<std::string> tablesReadableByOthers(const std::string& cardataDirectory);

/// The question shown at start when the tables are readable by others (CP932).
std::string readableTablesQuestion(const std::string& cardataDirectory);

}  // namespace vendaro::maintenance

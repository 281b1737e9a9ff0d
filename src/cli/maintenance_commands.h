#pragma once
// vendaro-cli backup and restore: the File menu's backup and restore without windows, on the same
// code.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage lines of the two commands.
extern const char* const kMaintenanceUsage;

/// Runs `backup FILE [--from MONTH --to MONTH]` (the arguments after "backup", UTF-8): the whole
/// table, or the estimates of the months from MONTH to MONTH (month labels such as 令和０８年０１月,
/// under the settlement day of Estimate.INI), newest first. Prints where it wrote and how many
/// estimates; values that will not read back are listed on standard error. Returns the exit
/// status; throws std::invalid_argument for a mistake in the arguments and the system's errors.
int backupCommand(const std::vector<std::string>& args);

/// Runs `restore FILE [--pattern FIELD,FIELD,...]`: loads the file as the File menu's restore does;
/// a file without a header needs the pattern. Prints how many estimates were stored.
int restoreCommand(const std::vector<std::string>& args);

/// Runs `protect`: takes group and other permissions off the personal files of the program
/// directory (the tables, settings files, backups and PDF files) and prints each one changed.
int protectCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

#pragma once
// The main window's own settings files: what is read when it is created and written when it
// closes. Every file is optional; a missing file or line leaves the default.

#include <optional>
#include <string>

namespace vendaro::app {

struct MainSettings {
  int settlementDay = 0;        ///< "Estimate.INI" line 1 (0 is month end)
  bool periodLimit = false;     ///< "Estimate.INI" line 2, "True" only
  std::optional<int> leftWidth; ///< "EsWidth.INI" line 1: the estimate sheet's left column
  bool displayPattern = false;  ///< "EsDsplay.INI" exists
  bool sibling = false;         ///< "Tesmora.exe" exists
  std::string password;         ///< "EsPass.INI" line 1
  std::string backupPrefix;     ///< "VendaroSave.INI" line 1, "見積" when missing or empty
  std::string backupSuffix;     ///< "VendaroSave.INI" line 2
  std::string backupDirectory;  ///< "INIDIR.INI" line 1
};

/// Reads the settings from the program directory. Throws FileError only for a file that exists
/// but cannot be read.
MainSettings loadMainSettings(const std::string& programDirectory);

/// Rewrites "Estimate.INI" and "EsWidth.INI". Throws FileError.
void saveMainSettings(const std::string& programDirectory, int settlementDay, bool periodLimit, int leftWidth);

}  // namespace vendaro::app

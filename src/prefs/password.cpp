#include "prefs/password.h"

#include "platform/settings_file.h"

namespace vendaro::prefs {

void savePassword(const std::string& programDirectory, const std::string& password) {
  writeSettingsLines(joinPath(programDirectory, passwordFileName()), {password}, kPrivateFileMode, ExistingMode::Replace);
}

}  // namespace vendaro::prefs

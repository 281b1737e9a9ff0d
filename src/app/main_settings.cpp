#include "app/main_settings.h"

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::app {

MainSettings loadMainSettings(const std::string& dir) {
  MainSettings s;
  auto width = SettingsLines::load(joinPath(dir, "EsWidth.INI"));
  if (width.exists()) s.leftWidth = width.integer(0, 0);
  auto estimate = SettingsLines::load(joinPath(dir, "Estimate.INI"));
  if (estimate.exists()) {
    s.settlementDay = estimate.integer(0, 0);
    s.periodLimit = estimate.boolean(1, false);
  }
  s.sibling = fileExists(joinPath(dir, "Tesmora.exe"));
  s.displayPattern = fileExists(joinPath(dir, "EsDsplay.INI"));
  auto save = SettingsLines::load(joinPath(dir, "VendaroSave.INI"));
  s.backupPrefix = save.text(0);
  s.backupSuffix = save.text(1);
  if (s.backupPrefix.empty()) s.backupPrefix = sjis::lit("見積");
  s.password = SettingsLines::load(joinPath(dir, "EsPass.INI")).text(0);
  s.backupDirectory = SettingsLines::load(joinPath(dir, "INIDIR.INI")).text(0);
  return s;
}

void saveMainSettings(const std::string& dir, int settlementDay, bool periodLimit, int leftWidth) {
  writeSettingsLines(joinPath(dir, "Estimate.INI"), {std::to_string(settlementDay), boolText(periodLimit)});
  writeSettingsLines(joinPath(dir, "EsWidth.INI"), {std::to_string(leftWidth)});
}

}  // namespace vendaro::app

#include "prefs/company_info.h"

#include <vector>

#include "platform/settings_file.h"

namespace vendaro::prefs {

bool companyInfoExists(const std::string& programDirectory) {
  return fileExists(joinPath(programDirectory, companyInfoFileName()));
}

CompanyInfo loadCompanyInfo(const std::string& programDirectory) {
  const auto file = SettingsLines::load(joinPath(programDirectory, companyInfoFileName()));
  CompanyInfo info;
  for (std::size_t i = 0; i < info.lines.size(); ++i) info.lines[i] = file.text(i);
  return info;
}

void saveCompanyInfo(const std::string& programDirectory, const CompanyInfo& info) {
  writeSettingsLines(joinPath(programDirectory, companyInfoFileName()),
                     std::vector<std::string>(info.lines.begin(), info.lines.end()));
}

}  // namespace vendaro::prefs

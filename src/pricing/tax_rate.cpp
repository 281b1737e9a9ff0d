#include "pricing/tax_rate.h"

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::pricing {
namespace {
const char* const kFile = "Zei.INI";
}

int32_t loadTaxRate(const std::string& programDirectory, int32_t fallback) {
  SettingsLines lines = SettingsLines::load(joinPath(programDirectory, kFile));
  if (!lines.exists() || lines.size() == 0) return fallback;  // a file of no bytes has no first line
  return sjis::leadingInt(lines.text(0));
}

void saveTaxRate(const std::string& programDirectory, int32_t rate) {
  writeSettingsLines(joinPath(programDirectory, kFile), {std::to_string(rate)});
}

int32_t taxRateFromText(std::string_view text) { return sjis::parseInt32(text).value_or(0); }

}  // namespace vendaro::pricing

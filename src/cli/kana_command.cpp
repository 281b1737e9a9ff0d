#include "cli/kana_command.h"

#include <cstdio>
#include <stdexcept>

#include "entry/kana.h"
#include "platform/sjis.h"

namespace vendaro::cli {

const char* const kKanaUsage =
    "  vendaro-cli kana TEXT                              half-width katakana reading to hiragana\n";

int kanaCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) throw std::invalid_argument("kana needs one TEXT");
  std::string bad;
  auto bytes = sjis::fromUtf8(args[0], &bad);
  if (!bytes) throw std::invalid_argument("'" + bad + "' cannot be written in Shift-JIS");
  std::printf("%s\n", sjis::toUtf8Display(entry::HalfKanaToHiragana(*bytes)).c_str());
  return 0;
}

}  // namespace vendaro::cli

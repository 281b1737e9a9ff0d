#include "pricing/pick_lists.h"

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::pricing {

const std::vector<PickList>& pickLists() {
  static const std::vector<PickList> lists = {
      {"N7", "ミッション", "Mission.INI", {"DBComboBox1"}},
      {"N9", "車両価格", "CarPrice.INI", {"DBComboBox2", "DBComboBox3"}},
      {"N10", "頭金", "Deposit.INI", {"DBComboBox4"}},
      {"N11", "販売費用", "Expense1.INI", {"DBComboBox5", "DBComboBox6"}},
      {"N14", "法定費用", "Expense2.INI", {"DBComboBox7"}},
      {"N12", "自動車税", "CarTax.INI", {"DBComboBox8"}},
      {"N13", "保険", "Insurance.INI", {"DBComboBox9"}},
      {"N15", "プラン", "CarPlan.INI", {"DBComboBox12", "DBComboBox13"}},
  };
  return lists;
}

std::string pickListHeading(const PickList& list) {
  return sjis::lit("”") + sjis::lit(list.captionUtf8) + sjis::lit("”の修正");
}

std::optional<std::vector<std::string>> loadPickList(const std::string& programDirectory, const PickList& list) {
  SettingsLines lines = SettingsLines::load(joinPath(programDirectory, list.file));
  if (!lines.exists()) return std::nullopt;
  return lines.lines();
}

void savePickList(const std::string& programDirectory, const PickList& list, const std::vector<std::string>& entries) {
  writeSettingsLines(joinPath(programDirectory, list.file), entries);
}

std::vector<std::string> entriesOfText(std::string_view text) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      entries.emplace_back(text.substr(start));
      break;
    }
    entries.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return entries;
}

}  // namespace vendaro::pricing

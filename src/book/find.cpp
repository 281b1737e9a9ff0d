#include "book/find.h"

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::book {

std::vector<std::string> defaultFindFields() {
  std::vector<std::string> out;
  for (const char* name : {"作成日", "見積有効期限", "ふりがな", "氏名", "電話番号", "郵便番号", "住所", "車種", "排気量",
                           "型式", "車体色", "ミッション", "コメント", "年式", "車検満期", "登録番号", "走行距離"})
    out.push_back(sjis::lit(name));
  return out;
}

std::vector<std::string> loadFindFields(const std::string& programDirectory) {
  auto lines = SettingsLines::load(joinPath(programDirectory, "EsFind.INI"));
  if (lines.size() == 0) return defaultFindFields();
  return lines.lines();
}

bool findInView(table::Cursor& estimates, std::string_view field, std::string_view text, int from, bool forward) {
  int f = estimates.fieldIndex(field);
  int count = estimates.recordCount();
  if (count == 0) return false;
  int found = estimates.findContaining(f, text, from, forward);
  if (found == 0) {
    estimates.setRecNo(forward ? count : 1);
    return false;
  }
  estimates.setRecNo(found);
  return true;
}

std::string notFoundMessage(std::string_view field, std::string_view text) {
  return std::string(field) + sjis::lit(" の ") + std::string(text) + sjis::lit("は、見つかりませんでした。");
}

}  // namespace vendaro::book

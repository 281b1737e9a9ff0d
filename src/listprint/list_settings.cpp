#include "listprint/list_settings.h"

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::listprint {

ListPrintSettings defaultListPrintSettings() {
  ListPrintSettings s;
  s.font.name = sjis::lit("ＭＳ 明朝");
  s.fields.first = book::chooserFieldNames();
  return s;
}

namespace {

/// Lines 7 and 8 pick one of two buttons; any other number leaves the choice as it was.
template <typename Choice>
void readChoice(const SettingsLines& lines, std::size_t i, Choice& choice) {
  if (!lines.get(i)) return;
  const int value = sjis::leadingInt(lines.text(i));
  if (value == 0 || value == 1) choice = static_cast<Choice>(value);
}

void readText(const SettingsLines& lines, std::size_t i, std::string& field) {
  if (auto line = lines.get(i)) field = *line;
}

}  // namespace

void loadListPrintSettings(const std::string& programDirectory, ListPrintSettings& s) {
  const SettingsLines print = SettingsLines::load(joinPath(programDirectory, kPrintSettingsFile));
  if (print.exists()) {
    s.font.color = print.integer(1, s.font.color);
    s.font.height = print.integer(3, s.font.height);
    readText(print, 4, s.font.name);
    s.font.size = print.integer(5, s.font.size);
    readChoice(print, 6, s.count);
    readChoice(print, 7, s.method);
    readText(print, 8, s.perPage);
    readText(print, 9, s.ruleLength);
    s.fields.first.clear();
    s.fields.second.clear();
    const auto& lines = print.lines();
    std::size_t i = 10;
    for (; i < lines.size() && !lines[i].empty(); ++i) s.fields.first.push_back(lines[i]);
    for (++i; i < lines.size() && !lines[i].empty(); ++i) s.fields.second.push_back(lines[i]);
  }
  const SettingsLines pattern = SettingsLines::load(joinPath(programDirectory, kPrintPatternFile));
  if (pattern.exists()) {
    readText(pattern, 0, s.title);
    readText(pattern, 1, s.titlePosition);
    readText(pattern, 2, s.titleSize);
    readText(pattern, 3, s.datePosition);
    readText(pattern, 4, s.dateSize);
    s.grouping = pattern.boolean(5, s.grouping);
  }
}

ListPrintSettings loadListPrintSettings(const std::string& programDirectory) {
  ListPrintSettings s = defaultListPrintSettings();
  loadListPrintSettings(programDirectory, s);
  return s;
}

void saveListPrintSettings(const std::string& programDirectory, const ListPrintSettings& s) {
  std::vector<std::string> lines = {std::to_string(s.font.charset),
                                    std::to_string(s.font.color),
                                    std::to_string(s.font.handle),
                                    std::to_string(s.font.height),
                                    s.font.name,
                                    std::to_string(s.font.size),
                                    std::to_string(static_cast<int>(s.count)),
                                    std::to_string(static_cast<int>(s.method)),
                                    s.perPage,
                                    s.ruleLength};
  lines.insert(lines.end(), s.fields.first.begin(), s.fields.first.end());
  lines.emplace_back();
  lines.insert(lines.end(), s.fields.second.begin(), s.fields.second.end());
  lines.emplace_back();
  writeSettingsLines(joinPath(programDirectory, kPrintSettingsFile), lines);
  writeSettingsLines(joinPath(programDirectory, kPrintPatternFile),
                     {s.title, s.titlePosition, s.titleSize, s.datePosition, s.dateSize, boolText(s.grouping)});
}

}  // namespace vendaro::listprint

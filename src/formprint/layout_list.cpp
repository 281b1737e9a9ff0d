#include "formprint/layout_list.h"

#include <set>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

const char* kListFile = "EsPrintName.INI";
const char* kFontFile = "EsCarFont.INI";

void writeEntries(const std::string& programDirectory, const std::vector<LayoutListEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size() * 2);
  for (const auto& e : entries) {
    lines.push_back(e.name);
    lines.push_back(e.number);
  }
  writeSettingsLines(joinPath(programDirectory, kListFile), lines);
}

}  // namespace

const std::string& newLayoutName() {
  static const std::string name = sjis::lit("新規追加");
  return name;
}

bool LayoutList::read(const std::string& programDirectory) {
  const auto file = SettingsLines::load(joinPath(programDirectory, kListFile));
  if (!file.exists()) return false;
  std::vector<LayoutListEntry> entries;
  for (std::size_t i = 0; i < file.size(); i += 2) entries.push_back({file.text(i), file.text(i + 1)});
  setEntries(std::move(entries));
  return true;
}

void LayoutList::setEntries(std::vector<LayoutListEntry> entries) {
  entries_ = std::move(entries);
  newLayoutLast_ = !entries_.empty();
}

std::vector<LayoutListEntry> LayoutList::layouts() const {
  if (entries_.empty()) return {};
  return std::vector<LayoutListEntry>(entries_.begin(), entries_.end() - 1);
}

void LayoutList::recordSaved(int recordNumber, const std::string& printName) {
  const std::string number = std::to_string(recordNumber);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].number != number) continue;
    entries_[i].name = printName;
    if (i + 1 == entries_.size()) newLayoutLast_ = false;  // a layout made from the new-layout entry
    return;
  }
  if (newLayoutLast_) {
    entries_.back() = {printName, number};
    newLayoutLast_ = false;
  } else {
    entries_.push_back({printName, number});
  }
}

void LayoutList::writeByEditor(const std::string& programDirectory, const std::vector<std::string>& printNames) {
  const int records = static_cast<int>(printNames.size());
  std::vector<LayoutListEntry> out;
  std::set<int> named;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const LayoutListEntry& e = entries_[i];
    const int n = sjis::leadingInt(e.number);
    if (n < 1 || n > records || !named.insert(n).second) continue;
    // The new-layout entry whose number a layout record now has (one made but never saved by
    // name) is that layout's entry, under the layout's own name, not a second "新規追加".
    const bool stillNewLayout = newLayoutLast_ && i + 1 == entries_.size();
    out.push_back(stillNewLayout ? LayoutListEntry{printNames[static_cast<std::size_t>(n - 1)], e.number} : e);
  }
  for (int n = 1; n <= records; ++n)
    if (!named.count(n)) out.push_back({printNames[static_cast<std::size_t>(n - 1)], std::to_string(n)});
  out.push_back({newLayoutName(), std::to_string(records + 1)});
  writeEntries(programDirectory, out);
  setEntries(std::move(out));
}

void writeLayoutOrder(const std::string& programDirectory, const std::vector<LayoutListEntry>& layouts) {
  std::vector<LayoutListEntry> entries = layouts;
  entries.push_back({newLayoutName(), std::to_string(layouts.size() + 1)});
  writeEntries(programDirectory, entries);
}

std::string readFontFace(const std::string& programDirectory) {
  const auto file = SettingsLines::load(joinPath(programDirectory, kFontFile));
  if (auto face = file.get(0)) return *face;
  return sjis::lit("ＪＳゴシック");
}

void writeFontFace(const std::string& programDirectory, const std::string& face) {
  writeSettingsLines(joinPath(programDirectory, kFontFile), {face});
}

}  // namespace vendaro::formprint

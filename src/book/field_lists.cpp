#include "book/field_lists.h"

#include <algorithm>

#include "book/estimate_fields.h"
#include "platform/settings_file.h"

namespace vendaro::book {

void ChooserList::assign(std::vector<std::string> items) {
  entries = std::move(items);
  selected.assign(entries.size(), false);
}

bool ChooserList::selectedSpan(std::size_t& first, std::size_t& last) const {
  auto begin = std::find(selected.begin(), selected.end(), true);
  if (begin == selected.end()) return false;
  auto end = std::find(selected.rbegin(), selected.rend(), true);
  first = static_cast<std::size_t>(begin - selected.begin());
  last = selected.size() - 1 - static_cast<std::size_t>(end - selected.rbegin());
  return true;
}

bool transferBlock(ChooserList& from, ChooserList& to) {
  std::size_t f, l;
  if (!from.selectedSpan(f, l)) return false;
  auto b = from.entries.begin() + static_cast<std::ptrdiff_t>(f);
  auto e = from.entries.begin() + static_cast<std::ptrdiff_t>(l) + 1;
  to.entries.insert(to.entries.end(), b, e);
  from.entries.erase(b, e);
  from.selected.assign(from.entries.size(), false);
  to.selected.assign(to.entries.size(), false);
  return true;
}

bool moveBlockUp(ChooserList& list) {
  std::size_t f, l;
  if (!list.selectedSpan(f, l) || f == 0) return false;
  auto b = list.entries.begin();
  std::rotate(b + static_cast<std::ptrdiff_t>(f) - 1, b + static_cast<std::ptrdiff_t>(f),
              b + static_cast<std::ptrdiff_t>(l) + 1);
  list.selected.assign(list.entries.size(), false);
  list.selected[f - 1] = true;
  return true;
}

bool moveBlockDown(ChooserList& list) {
  std::size_t f, l;
  if (!list.selectedSpan(f, l) || l + 1 >= list.entries.size()) return false;
  auto b = list.entries.begin();
  std::rotate(b + static_cast<std::ptrdiff_t>(f), b + static_cast<std::ptrdiff_t>(l) + 1,
              b + static_cast<std::ptrdiff_t>(l) + 2);
  list.selected.assign(list.entries.size(), false);
  list.selected[l + 1] = true;
  return true;
}

std::optional<TwoLists> readTwoListFile(const std::string& path) {
  auto file = SettingsLines::load(path);
  if (!file.exists()) return std::nullopt;
  TwoLists lists;
  const auto& lines = file.lines();
  std::size_t i = 0;
  for (; i < lines.size() && !lines[i].empty(); ++i) lists.first.push_back(lines[i]);
  for (++i; i < lines.size() && !lines[i].empty(); ++i) lists.second.push_back(lines[i]);
  return lists;
}

void writeTwoListFile(const std::string& path, const TwoLists& lists) {
  std::vector<std::string> lines = lists.first;
  lines.emplace_back();
  lines.insert(lines.end(), lists.second.begin(), lists.second.end());
  lines.emplace_back();
  writeSettingsLines(path, lines);
}

const std::vector<std::string>& chooserFieldNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (int i = kCreatedField; i < static_cast<int>(estimateFields().size()); ++i) out.push_back(estimateFieldName(i));
    return out;
  }();
  return names;
}

}  // namespace vendaro::book

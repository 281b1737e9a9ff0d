#include "book/display_pattern.h"

#include <algorithm>
#include <cstdio>

#include "book/estimate_fields.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::book {

std::string displayEntry(int number) {
  char head[16];
  std::snprintf(head, sizeof head, "%3d,", number);
  return head + estimateFieldName(number);
}

const std::vector<std::string>& displayEntries() {
  static const std::vector<std::string> entries = [] {
    std::vector<std::string> out;
    for (int n = 1; n <= kLastDisplayField; ++n) out.push_back(displayEntry(n));
    return out;
  }();
  return entries;
}

std::vector<bool> shownFields(const std::vector<std::string>& shownEntries) {
  std::vector<bool> shown(kLastDisplayField + 1, false);
  for (const std::string& entry : shownEntries) {
    int32_t n = sjis::leadingInt(entry);
    if (n >= 1 && n <= kLastDisplayField) shown[static_cast<std::size_t>(n)] = true;
  }
  return shown;
}

std::optional<std::vector<ColumnPair>> readColumnPairs(const std::string& path) {
  auto file = SettingsLines::load(path);
  if (!file.exists()) return std::nullopt;
  std::vector<ColumnPair> pairs;
  for (std::size_t i = 0; i < file.size(); i += 2) {
    ColumnPair pair;
    pair.place = sjis::leadingInt(file.text(i));
    if (i + 1 < file.size()) pair.width = sjis::leadingInt(file.text(i + 1));
    pairs.push_back(pair);
  }
  return pairs;
}

ColumnLayout placeColumns(const std::vector<bool>& shown, const std::vector<ColumnPair>& pairs) {
  ColumnLayout layout;
  for (int f = 0; f <= kLastDisplayField; ++f) layout.order.push_back(f);
  std::vector<bool> placed(kLastDisplayField + 1, false);
  std::size_t p = 1;  // the item number keeps position 0
  const std::size_t last = layout.order.size() - 1;
  for (const ColumnPair& pair : pairs) {
    // Unknown fields, hidden ones and repeats are skipped: the search below would never end for
    // a field that is not among the columns after those placed. The place is checked before it is
    // turned into a field number, since a file may hold any integer there.
    if (pair.place < 2 || pair.place > kLastDisplayField + 1) continue;
    int field = pair.place - 1;
    auto index = static_cast<std::size_t>(field);
    if (index >= shown.size() || !shown[index] || placed[index]) continue;
    auto at = std::find(layout.order.begin() + static_cast<std::ptrdiff_t>(p), layout.order.end(), field);
    // Moving the column at p to the end until the field stands at p is one rotation.
    std::rotate(layout.order.begin() + static_cast<std::ptrdiff_t>(p), at, layout.order.end());
    placed[index] = true;
    if (pair.width && *pair.width >= 1 && *pair.width <= kMaxDisplayWidth) layout.widths.emplace_back(field, *pair.width);
    if (p == last) break;
    ++p;
  }
  return layout;
}

}  // namespace vendaro::book

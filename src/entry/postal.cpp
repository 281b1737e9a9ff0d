#include "entry/postal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>

#include "formprint/char_convert.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::entry {

const std::string kPostCodeField = sjis::lit("郵便番号７桁");
const std::string kPostAddressField = sjis::lit("住所");

const table::TableSchema& postDataSchema() {
  static const table::TableSchema schema(
      "PostData.db", {{kPostCodeField, table::FieldType::Text, 9}, {kPostAddressField, table::FieldType::Text, 60}},
      {}, {}, {1});
  return schema;
}

std::unique_ptr<table::Cursor> openPostData(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  return table::Cursor::open(cardataDirectory, postDataSchema());
}

PostColumns readPostColumns(const std::string& programDirectory) {
  SettingsLines lines = SettingsLines::load(joinPath(programDirectory, "PostData.INI"));
  PostColumns columns{};
  for (std::size_t i = 0; i < columns.size(); ++i) columns[i] = lines.integer(i, 0);
  return columns;
}

namespace {

/// The whole content of a file; FileError when it cannot be opened or read through.
std::string readWholeFile(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw FileError(path, errno);
  std::string content;
  struct stat info {};
  if (::fstat(::fileno(f), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    content.reserve(static_cast<std::size_t>(info.st_size));
  char buf[1 << 16];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  int error = std::ferror(f) ? (errno ? errno : EIO) : 0;
  std::fclose(f);
  if (error) throw FileError(path, error);
  return content;
}

/// Calls `each` with every line of `text` (without its CR LF or LF end); a last line without an
/// end counts too. `each` returns false to stop.
template <class F>
void forEachLine(std::string_view text, F each) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* lineEnd = lf ? lf : end;
    std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    p = lf ? lf + 1 : end;
    if (!each(line)) return;
  }
}

using sjis::findText;

bool occurs(std::string_view hay, std::string_view needle) { return sjis::containsText(hay, needle); }

/// A field without its enclosing double quotes.
std::string_view unquote(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') return field.substr(1, field.size() - 2);
  return field;
}

const std::string& notListedQuoted() {
  static const std::string text = "\"" + sjis::lit("以下に掲載がない場合") + "\"";
  return text;
}
const std::string& wholeArea() {
  static const std::string text = sjis::lit("一円");
  return text;
}

}  // namespace

std::vector<std::string> importFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.emplace_back(line.substr(start));  // the last field is taken as it is
      return fields;
    }
    std::string_view raw = line.substr(start, comma - start);
    if (raw == notListedQuoted() || occurs(raw, wholeArea()))
      fields.emplace_back();
    else if (!raw.empty() && raw.front() == '"')
      fields.emplace_back(raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string_view());
    else
      fields.emplace_back(raw);
    start = comma + 1;
  }
}

int importPostalFile(table::Cursor& postData, const std::string& path, const PostColumns& columns) {
  const std::string content = readWholeFile(path);
  table::Transaction transaction(postData);
  postData.removeAll();
  int stored = 0;
  std::vector<std::optional<std::string>> record(2);
  forEachLine(content, [&](std::string_view line) {
    if (line.empty()) return true;
    std::vector<std::string> fields = importFields(line);
    auto column = [&](int n) -> const std::string& {
      static const std::string none;
      return n >= 1 && static_cast<std::size_t>(n) <= fields.size() ? fields[static_cast<std::size_t>(n - 1)] : none;
    };
    record[0] = column(columns[0]);
    record[1] = column(columns[1]) + column(columns[2]) + column(columns[3]);
    postData.appendRecord(record);
    ++stored;
    return true;
  });
  transaction.commit();
  postData.first();
  return stored;
}

namespace {

/// The number at the start of a text after full-width digits became ASCII digits; 0 when no digit
/// leads.
long leadingNumber(std::string_view text) {
  std::string half = formprint::charCheck(sjis::cutBytes(text, 24), formprint::CharMode::FullToHalf);
  long n = 0;
  for (std::size_t i = 0; i < half.size() && half[i] >= '0' && half[i] <= '9' && n < 100000000; ++i)
    n = n * 10 + (half[i] - '0');
  return n;
}

struct Candidate {
  std::string_view code;
  std::size_t length;
};

/// The match length of a parenthesised town's list against the address after the city, or nothing.
std::optional<std::size_t> matchList(std::string_view rest, std::string_view prefix, std::string_view list) {
  static const std::string others = sjis::lit("その他）"), block = sjis::lit("番地"), close = sjis::lit("）");
  static const std::string marks[3] = {sjis::lit("～"), sjis::lit("、"), sjis::lit("・")};
  if (list == others) return prefix.size();
  std::string_view a = rest.substr(findText(rest, prefix));
  if (std::size_t cut = findText(list, block); cut != std::string_view::npos) list = list.substr(0, cut);
  if (std::size_t cut = findText(list, close); cut != std::string_view::npos) list = list.substr(0, cut);
  struct Piece {
    std::string_view text;
    bool range;  // separated from the next piece by ～
  };
  std::vector<Piece> pieces;
  for (;;) {
    std::size_t best = std::string_view::npos;
    int which = -1;
    for (int m = 0; m < 3; ++m) {
      std::size_t at = findText(list, marks[m]);
      if (at < best) best = at, which = m;
    }
    if (which < 0) {
      pieces.push_back({list, false});
      break;
    }
    pieces.push_back({list.substr(0, best), which == 0});
    list = list.substr(best + marks[which].size());
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i].range && i + 1 < pieces.size()) {
      long n = leadingNumber(a.substr(prefix.size()));
      long lo = leadingNumber(pieces[i].text), hi = leadingNumber(pieces[i + 1].text);
      if (lo <= n && n <= hi) return prefix.size() + pieces[i].text.size();
      ++i;  // past the range's second piece
      continue;
    }
    if (pieces[i].text.empty()) continue;  // a list cut after its mark ends in nothing, which is no town
    std::string joined = std::string(prefix) + std::string(pieces[i].text);
    if (occurs(a, joined)) return joined.size();
  }
  return std::nullopt;
}

}  // namespace

std::string lookupPostalCode(std::string_view listText, std::string_view address) {
  static const std::string open = sjis::lit("（"), close = sjis::lit("）");
  std::vector<Candidate> candidates;
  std::string_view defaultCode;
  bool cityMatched = false;
  bool parenOpen = false;
  std::string_view prefix;  // of the parenthesised town being read
  std::array<std::string_view, 9> f;
  forEachLine(listText, [&](std::string_view line) {
    // Columns 1 to 9; a line with fewer has empty ones.
    std::size_t start = 0;
    for (auto& field : f) {
      if (start > line.size()) {
        field = {};
        continue;
      }
      std::size_t comma = line.find(',', start);
      field = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      start = comma == std::string_view::npos ? line.size() + 1 : comma + 1;
    }
    std::string_view a = address;
    std::string_view prefecture = unquote(f[6]);
    if (std::size_t at = findText(a, prefecture); at != std::string_view::npos) a = a.substr(at + prefecture.size());
    std::string_view city = unquote(f[7]);
    std::size_t at = findText(a, city);
    if (at == std::string_view::npos) return !cityMatched;
    a = a.substr(at + city.size());
    cityMatched = true;
    std::string_view townRaw = f[8];
    if (occurs(townRaw, wholeArea()) || townRaw == notListedQuoted()) {
      defaultCode = unquote(f[2]);
      return true;
    }
    std::string_view town = unquote(townRaw);
    std::size_t paren = findText(town, open);
    if (paren == std::string_view::npos && !parenOpen) {
      if (occurs(a, town)) candidates.push_back({unquote(f[2]), town.size()});
      return true;
    }
    std::string_view list;
    if (!parenOpen) {
      prefix = town.substr(0, paren);
      list = town.substr(paren + open.size());
      parenOpen = !occurs(town, close);
    } else {
      parenOpen = false;
      list = town;
    }
    if (!occurs(a, prefix)) return true;
    if (auto length = matchList(a, prefix, list)) candidates.push_back({unquote(f[2]), *length});
    return true;
  });
  const Candidate* best = nullptr;
  for (const auto& c : candidates)
    if (!best || c.length > best->length) best = &c;
  return std::string(best ? best->code : defaultCode);
}

std::string postRead(const std::string& programDirectory, std::string_view address) {
  const std::string path = joinPath(programDirectory, "KEN_ALL.CSV");
  if (!fileExists(path)) return {};
  return lookupPostalCode(readWholeFile(path), address);
}

}  // namespace vendaro::entry

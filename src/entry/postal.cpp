#include "entry/postal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>

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
  if (!lines.exists()) return kNationalColumns;
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

/// Where `needle` occurs in `hay` at a character boundary of CP932 text, or npos. A match that
/// starts on the second byte of a two-byte character is no match.
std::size_t findText(std::string_view hay, std::string_view needle, std::size_t from = 0) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  std::size_t boundary = 0;  // a character boundary at or before the candidate
  for (std::size_t pos = hay.find(needle, from); pos != std::string_view::npos; pos = hay.find(needle, pos + 1)) {
    while (boundary < pos) boundary += sjis::isLeadByte(static_cast<unsigned char>(hay[boundary])) ? 2 : 1;
    if (boundary == pos) return pos;
  }
  return std::string_view::npos;
}

bool occurs(std::string_view hay, std::string_view needle) { return findText(hay, needle) != std::string_view::npos; }

bool startsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

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

/// The fields of a line, split at every comma; the text after the last comma is the last field.
void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  for (std::size_t start = 0;;) {
    std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return;
    }
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
}

/// A field other than the last as the import stores it: "以下に掲載がない場合" in quotes and any
/// field containing "一円" become empty, a quoted field loses its first and last character.
std::string_view cleanField(std::string_view raw) {
  if (raw == notListedQuoted() || occurs(raw, wholeArea())) return {};
  if (!raw.empty() && raw.front() == '"') return raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string_view();
  return raw;
}

}  // namespace

std::vector<std::string> importFields(std::string_view line) {
  std::vector<std::string_view> raw;
  splitFields(line, raw);
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < raw.size(); ++i)
    fields.emplace_back(i + 1 < raw.size() ? cleanField(raw[i]) : raw[i]);  // the last is taken as it is
  return fields;
}

namespace {

/// True for a valid UTF-8 text that holds at least one character beyond ASCII (or starts with the
/// byte-order mark). CP932 text of any length in Japanese is never such a text: its lead bytes
/// 0x81-0x9F and its half-width kana cannot start a UTF-8 character.
bool isUtf8Text(std::string_view bytes) {
  if (startsWith(bytes, "\xEF\xBB\xBF")) return true;
  bool beyondAscii = false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    beyondAscii = true;
    int more = (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0 || *p == 0xC0 || *p == 0xC1 || *p > 0xF4 || end - p <= more) return false;
    for (int i = 1; i <= more; ++i)
      if ((p[i] & 0xC0) != 0x80) return false;
    p += more + 1;
  }
  return beyondAscii;
}

}  // namespace

std::string postalListText(std::string bytes) {
  if (!isUtf8Text(bytes)) return bytes;
  std::string_view text = bytes;
  if (startsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  if (auto cp932 = sjis::fromUtf8(text)) return *cp932;
  return sjis::fromUtf8Lossy(text);
}

PostalImportRefused::PostalImportRefused()
    : std::runtime_error(sjis::lit("このファイルからは郵便番号を1件も読み込めません。"
                                   "PostData.INI の列番号とファイルを確かめてください。郵便番号データは変更していません。")) {}

int importPostalFile(table::Cursor& postData, const std::string& path, const PostColumns& columns,
                     const ImportProgress& progress) {
  const std::string content = postalListText(readWholeFile(path));
  int stored = 0;
  bool anyCode = false;
  std::vector<std::string_view> fields;
  std::string address;
  std::string_view record[2];
  const std::size_t step = std::max<std::size_t>(content.size() / 100, 1);
  std::size_t nextReport = step;
  const char* const begin = content.data();
  auto column = [&](int n) -> std::string_view {
    if (n < 1 || static_cast<std::size_t>(n) > fields.size()) return {};
    std::string_view raw = fields[static_cast<std::size_t>(n - 1)];
    return static_cast<std::size_t>(n) == fields.size() ? raw : cleanField(raw);  // the last as it is
  };
  postData.replaceAll([&] {
    forEachLine(content, [&](std::string_view line) {
      if (line.empty()) return true;
      splitFields(line, fields);
      record[0] = column(columns[0]);
      address.assign(column(columns[1]));
      address.append(column(columns[2]));
      address.append(column(columns[3]));
      record[1] = address;
      postData.appendTexts(record, 2);
      anyCode = anyCode || !record[0].empty();
      ++stored;
      if (progress && static_cast<std::size_t>(line.data() - begin) >= nextReport) {
        progress(static_cast<double>(line.data() - begin) / static_cast<double>(content.size()));
        nextReport += step;
      }
      return true;
    });
    // A file or column setting that gives no code at all would leave a table of empty rows.
    if (!anyCode) throw PostalImportRefused();
  });
  if (progress) progress(1.0);
  return stored;
}

int importPostalList(const std::string& programDirectory, table::Cursor& postData, const std::string& path,
                     const ImportProgress& progress) {
  const std::string settings = joinPath(programDirectory, "PostData.INI");
  const bool configured = fileExists(settings);
  const PostColumns columns = readPostColumns(programDirectory);
  const int stored = importPostalFile(postData, path, columns, progress);
  if (!configured) {
    std::vector<std::string> lines;
    for (int c : columns) lines.push_back(std::to_string(c));
    writeSettingsLines(settings, lines);
  }
  return stored;
}

namespace {

// ---------------------------------------------------------------------------------------------
// Reading digits and hyphens alike in either width

/// Two-byte CP932 characters that read as one ASCII character when addresses are compared.
char foldedPair(unsigned char lead, unsigned char trail) {
  if (lead == 0x82 && trail >= 0x4F && trail <= 0x58) return static_cast<char>('0' + (trail - 0x4F));  // ０-９
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) return static_cast<char>('A' + (trail - 0x60));  // Ａ-Ｚ
  if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) return static_cast<char>('a' + (trail - 0x81));  // ａ-ｚ
  if (lead == 0x81 && (trail == 0x7C || trail == 0x5D || trail == 0x5C || trail == 0x5B)) return '-';  // －‐―ー
  return 0;
}

/// The text with full-width digits, Latin letters and the hyphen-like marks (－ ‐ ― ー, and the
/// half-width ｰ) as their ASCII forms, so that "芝３丁目１－２" and "芝3丁目1-2" read alike. Every
/// other character stays as it is.
std::string foldWidths(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (sjis::isLeadByte(c) && i + 1 < text.size()) {
      if (char folded = foldedPair(c, static_cast<unsigned char>(text[i + 1]))) out += folded;
      else out.append(text, i, 2);
      i += 2;
    } else {
      out += c == 0xB0 ? '-' : static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Words {
  std::string chome = sjis::lit("丁目"), banchi = sjis::lit("番地"), ban = sjis::lit("番"), go = sjis::lit("号"),
              floor = sjis::lit("階"), no = sjis::lit("の"), blank = sjis::lit("　");
  std::string open = sjis::lit("（"), close = sjis::lit("）"), range = sjis::lit("～"), comma = sjis::lit("、"),
              dot = sjis::lit("・");
  std::string others = sjis::lit("その他"), exceptBuildings = sjis::lit("次のビルを除く"), oaza = sjis::lit("大字"), aza = sjis::lit("字"),
              basement = sjis::lit("地階"), underground = sjis::lit("地下"), floorUnknown = sjis::lit("階層不明");
};
const Words& words() {
  static const Words w;
  return w;
}

std::size_t skipBlanks(std::string_view s, std::size_t i) {
  for (;;) {
    if (i < s.size() && s[i] == ' ') ++i;
    else if (startsWith(s.substr(std::min(i, s.size())), words().blank)) i += words().blank.size();
    else return i;
  }
}

// The levels of an address number: 丁目, then 番 or 番地, then 号; the floor of a building.
constexpr int kChome = 0, kBan = 1, kGo = 2, kFloor = 3, kNoUnit = -1;

/// The unit word at the start of `s` and its level; kNoUnit (and length 0) when none.
int unitAt(std::string_view s, std::size_t& length) {
  const Words& w = words();
  for (const auto& [word, level] : {std::pair{&w.chome, kChome}, std::pair{&w.banchi, kBan}, std::pair{&w.ban, kBan},
                                    std::pair{&w.go, kGo}, std::pair{&w.floor, kFloor}}) {
    if (startsWith(s, *word)) {
      length = word->size();
      return level;
    }
  }
  length = 0;
  return kNoUnit;
}

/// One number of an address ("3丁目", "18", "5号") and its level once known.
struct Number {
  long value;
  int level;
};

/// The chain of numbers at the start of an address's rest: "3丁目18番5号", "3-18-5", "3丁目18-5",
/// "10階", "10F". A number without a unit is joined to the next by "-" or "の"; anything else ends
/// the chain.
std::vector<Number> numbersAt(std::string_view s) {
  std::vector<Number> out;
  std::size_t i = skipBlanks(s, 0);
  while (i < s.size() && isDigit(s[i])) {
    long n = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
      if (n < 100000000) n = n * 10 + (s[i] - '0');
    std::size_t length = 0;
    int level = unitAt(s.substr(i), length);
    if (level == kNoUnit && i < s.size() && (s[i] == 'F' || s[i] == 'f')) level = kFloor, length = 1;
    i += length;
    out.push_back({n, level});
    if (i < s.size() && s[i] == '-') ++i;
    else if (startsWith(s.substr(i), words().no)) i += words().no.size();
    else if (level == kNoUnit) break;
  }
  return out;
}

/// Gives numbers without a unit the level after the number before them; the first one `first`.
void resolveLevels(std::vector<Number>& numbers, int first) {
  int previous = kNoUnit;
  for (Number& n : numbers) {
    if (n.level == kNoUnit) n.level = previous == kNoUnit ? first : previous + 1;
    previous = n.level;
  }
}

// ---------------------------------------------------------------------------------------------
// The list in a town's parenthesis

/// One level of a piece of a list: the numbers lo to hi at that level ("１～３丁目" is 1 to 3 at the
/// 丁目 level).
struct Level {
  long lo, hi;
  int unit;
};

enum class PieceKind {
  Numbers,       ///< "１～３丁目", "４丁目１～１４番", "１０階": compared number by number
  Others,        ///< "その他", "次のビルを除く", "大字": the town alone
  Chome,         ///< "丁目": any 丁目 of the town
  Basement,      ///< "地階": a building's basement
  FloorUnknown,  ///< "階層不明": a building named without a floor
  Text,          ///< anything else: the town followed by the piece as written
};

struct Piece {
  PieceKind kind;
  std::string text;          ///< as written (the first part of a range), for the match length
  std::vector<Level> path;   ///< Numbers: from the 丁目 level down
};

/// The numbers and unit words that make up all of `s` ("４丁目１", "１４番"); false when anything
/// else is in it.
bool elementsOf(std::string_view s, std::vector<Level>& out) {
  std::size_t i = 0;
  if (s.empty()) return false;
  while (i < s.size()) {
    if (!isDigit(s[i])) return false;
    long n = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
      if (n < 100000000) n = n * 10 + (s[i] - '0');
    std::size_t length = 0;
    int unit = unitAt(s.substr(i), length);
    i += length;
    out.push_back({n, n, unit});
  }
  return true;
}

/// The pieces of a town's list (folded, after "（" and before "）"), split at "、" and "・".
///
/// A number without its own unit takes the next unit written after it ("１～３丁目", "３丁目１８・２１番");
/// a piece that starts below the 丁目 level keeps the higher levels of the piece before it
/// ("４丁目１～２番・１０～２７番" is 4丁目 1 to 2番 and 4丁目 10 to 27番).
std::vector<Piece> parseList(std::string_view list) {
  const Words& w = words();
  struct Raw {
    std::string_view text;
    std::vector<Level> lo, hi;
    bool numbers;
  };
  std::vector<Raw> raws;
  for (;;) {
    std::size_t a = findText(list, w.comma), b = findText(list, w.dot);
    std::size_t cut = std::min(a, b);
    std::string_view piece = list.substr(0, cut);
    Raw raw{piece, {}, {}, false};
    std::size_t tilde = findText(piece, w.range);
    if (tilde == std::string_view::npos) {
      raw.numbers = elementsOf(piece, raw.lo);
    } else {
      raw.text = piece.substr(0, tilde);
      raw.numbers = elementsOf(raw.text, raw.lo) && elementsOf(piece.substr(tilde + w.range.size()), raw.hi);
    }
    if (!raw.numbers) raw.text = piece, raw.lo.clear(), raw.hi.clear();
    raws.push_back(std::move(raw));
    if (cut == std::string_view::npos) break;
    list = list.substr(cut + (cut == a ? w.comma.size() : w.dot.size()));
  }
  // Units written later in the list reach back to the numbers written without one.
  int next = kNoUnit;
  for (auto r = raws.rbegin(); r != raws.rend(); ++r)
    for (auto* side : {&r->hi, &r->lo})
      for (auto e = side->rbegin(); e != side->rend(); ++e) {
        if (e->unit == kNoUnit) e->unit = next;
        else next = e->unit;
      }

  std::vector<Piece> pieces;
  std::vector<Level> previous;
  for (Raw& raw : raws) {
    Piece piece{PieceKind::Text, std::string(raw.text), {}};
    if (raw.numbers) {
      piece.kind = PieceKind::Numbers;
      std::vector<Level> path = raw.lo;
      if (!raw.hi.empty()) {
        Level& last = path.back();
        const Level* hi = &raw.hi.back();
        for (const Level& h : raw.hi)
          if (h.unit == last.unit) hi = &h;
        last.hi = hi->lo;
      }
      int unit = kNoUnit;
      for (Level& l : path) unit = l.unit = l.unit == kNoUnit ? (unit == kNoUnit ? kChome : unit + 1) : l.unit;
      std::vector<Level> context;
      for (const Level& l : previous)
        if (l.unit < path.front().unit) context.push_back(l);
      path.insert(path.begin(), context.begin(), context.end());
      piece.path = previous = path;
    } else if (raw.text == w.others || raw.text == w.exceptBuildings || raw.text == w.oaza) {
      piece.kind = PieceKind::Others;
    } else if (raw.text == w.chome) {
      piece.kind = PieceKind::Chome;
    } else if (raw.text == w.basement) {
      piece.kind = PieceKind::Basement;
    } else if (raw.text == w.floorUnknown) {
      piece.kind = PieceKind::FloorUnknown;
    }
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

/// True when the address's numbers lie in the piece at every level of it.
bool pathMatches(const std::vector<Level>& path, std::vector<Number> numbers) {
  resolveLevels(numbers, path.front().unit);
  for (const Level& l : path) {
    auto it = std::find_if(numbers.begin(), numbers.end(), [&](const Number& n) { return n.level == l.unit; });
    if (it == numbers.end() || it->value < l.lo || it->value > l.hi) return false;
  }
  return true;
}

/// What follows a town (or a building's name) in the address.
struct Rest {
  std::string_view text;  ///< from the town on
  std::vector<Number> numbers;
  bool basement;
};

Rest restAfter(std::string_view fromTown, std::size_t townLength) {
  std::string_view after = fromTown.substr(townLength);
  std::string_view trimmed = after.substr(skipBlanks(after, 0));
  const bool basement = startsWith(trimmed, words().basement) || startsWith(trimmed, words().underground) ||
                        (trimmed.size() > 1 && (trimmed[0] == 'B' || trimmed[0] == 'b') && isDigit(trimmed[1]));
  return {fromTown, numbersAt(after), basement};
}

/// The match length of the piece of a list that the address's rest matches first, or nothing.
std::optional<std::size_t> matchPieces(const std::vector<Piece>& pieces, std::string_view prefix, const Rest& rest) {
  for (const Piece& piece : pieces) {
    bool match = false;
    switch (piece.kind) {
      case PieceKind::Others: return prefix.size();
      case PieceKind::Numbers: match = !rest.numbers.empty() && pathMatches(piece.path, rest.numbers); break;
      case PieceKind::Chome:
        match = !rest.numbers.empty() &&
                (rest.numbers[0].level == kChome || (rest.numbers[0].level == kNoUnit && rest.numbers.size() > 1));
        break;
      case PieceKind::Basement: match = rest.basement; break;
      case PieceKind::FloorUnknown: match = !rest.basement && rest.numbers.empty(); break;
      case PieceKind::Text:
        // A list cut after its mark ends in nothing, which is no town.
        match = !piece.text.empty() && occurs(rest.text, std::string(prefix) + piece.text);
        break;
    }
    if (match) return prefix.size() + piece.text.size();
  }
  return std::nullopt;
}

struct Candidate {
  std::string_view code;
  std::size_t length;
};

/// The town lines of one city block, read one after another.
class CityBlock {
 public:
  explicit CityBlock(std::vector<Candidate>& candidates) : candidates_(candidates) {}

  /// Reads one line's town (already without its quotes) against the address after the city.
  void read(std::string_view code, std::string_view townRaw, std::string_view a) {
    const Words& w = words();
    const std::string town = foldWidths(townRaw);
    std::size_t paren = findText(town, w.open);
    if (paren == std::string_view::npos && !parenOpen_) {
      if (std::size_t at = townAt(a, town); at != std::string_view::npos) add(code, town.size(), at == townStart(a));
      return;
    }
    std::string_view list;
    if (!parenOpen_) {
      prefix_ = town.substr(0, paren);
      list = std::string_view(town).substr(paren + w.open.size());
      previous_.clear();
    } else {
      list = town;  // the rest of the list of the line before
    }
    parenOpen_ = !occurs(list, w.close);
    if (std::size_t cut = findText(list, w.close); cut != std::string_view::npos) list = list.substr(0, cut);
    if (list == w.exceptBuildings && !prefix_.empty()) districts_.push_back(prefix_);

    // A building of a business district ("大手町ＪＡビル（１階）" after "大手町（次のビルを除く）") is
    // found where the address names the district and, after it, the building.
    std::string_view building, district;
    for (const std::string& d : districts_)
      if (prefix_.size() > d.size() && startsWith(prefix_, d)) district = d, building = std::string_view(prefix_).substr(d.size());
    std::optional<Rest> rest;
    std::size_t at = townAt(a, building.empty() ? std::string_view(prefix_) : district);
    if (at == std::string_view::npos) return;
    if (!building.empty()) {
      std::size_t named = findText(a, building, at + district.size());
      if (named == std::string_view::npos) return;
      rest = restAfter(a.substr(named), building.size());
    } else {
      rest = restAfter(a.substr(at), prefix_.size());
    }
    std::vector<Piece> pieces = parseList(list);
    if (!previous_.empty() && !pieces.empty() && pieces.front().kind == PieceKind::Numbers) {
      // A list that runs on from the line before keeps that line's higher levels.
      std::vector<Level>& path = pieces.front().path;
      std::vector<Level> context;
      for (const Level& l : previous_)
        if (l.unit < path.front().unit) context.push_back(l);
      path.insert(path.begin(), context.begin(), context.end());
    }
    for (const Piece& p : pieces)
      if (p.kind == PieceKind::Numbers) previous_ = p.path;
    if (auto length = matchPieces(pieces, prefix_, *rest)) add(code, *length, at == townStart(a));
  }

 private:
  /// Where a town's name begins in an address after its city: past blanks and a written "大字" or
  /// "字", which the list leaves out.
  static std::size_t townStart(std::string_view a) {
    std::size_t i = skipBlanks(a, 0);
    for (const std::string* word : {&words().oaza, &words().aza})
      if (startsWith(a.substr(i), *word)) return skipBlanks(a, i + word->size());
    return i;
  }
  /// Where the town occurs in the address: where a town's name begins when it is there, else its
  /// first occurrence anywhere.
  static std::size_t townAt(std::string_view a, std::string_view town) {
    const std::size_t start = townStart(a);
    return startsWith(a.substr(start), town) ? start : findText(a, town);
  }
  /// A town found where a town's name begins ranks above any found further on ("東豊田" is not
  /// 豊田), and among either kind the longer match ranks first.
  void add(std::string_view code, std::size_t length, bool atStart) {
    candidates_.push_back({code, length + (atStart ? kAtStart : 0)});
  }
  static constexpr std::size_t kAtStart = 1 << 20;

  std::vector<Candidate>& candidates_;
  bool parenOpen_ = false;
  std::string prefix_;             // of the parenthesised town being read
  std::vector<Level> previous_;    // the last numbered piece of its list
  std::vector<std::string> districts_;
};

}  // namespace

std::string lookupPostalCode(std::string_view listText, std::string_view typedAddress) {
  const std::string address = foldWidths(typedAddress);
  std::vector<Candidate> candidates;
  std::string_view defaultCode;
  bool cityMatched = false;
  CityBlock block(candidates);
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
    std::string_view city = unquote(f[7]);
    std::string_view townRaw = f[8];
    // A blank line, or one without its city or town, names no place: it would match every address.
    if (city.empty() || unquote(townRaw).empty()) return true;
    std::string_view a = address;
    std::string_view prefecture = unquote(f[6]);
    if (std::size_t at = findText(a, prefecture); at != std::string_view::npos) a = a.substr(at + prefecture.size());
    std::size_t at = findText(a, city);
    if (at == std::string_view::npos) return !cityMatched;
    a = a.substr(at + city.size());
    cityMatched = true;
    if (occurs(townRaw, wholeArea()) || townRaw == notListedQuoted()) {
      defaultCode = unquote(f[2]);
      return true;
    }
    block.read(unquote(f[2]), unquote(townRaw), a);
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
  return lookupPostalCode(postalListText(readWholeFile(path)), address);
}

}  // namespace vendaro::entry

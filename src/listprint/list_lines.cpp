#include "listprint/list_lines.h"

#include <algorithm>

#include "book/eradate.h"
#include "book/field_lists.h"
#include "platform/sjis.h"

namespace vendaro::listprint {

ColumnKind columnKind(std::string_view fieldName) {
  static const std::vector<std::string> textFields = [] {
    std::vector<std::string> names;
    for (const char* n : {"作成日", "見積有効期限", "ふりがな", "氏名", "電話番号", "郵便番号", "住所", "車種", "年式",
                          "型式", "車体色", "ミッション", "コメント", "排気量", "車検満期", "登録番号", "走行距離", "備考"})
      names.push_back(sjis::lit(n));
    return names;
  }();
  static const std::string item = sjis::lit("項目"), tradeIn = sjis::lit("下取車");
  if (std::find(textFields.begin(), textFields.end(), fieldName) != textFields.end()) return ColumnKind::Text;
  // Searched by whole characters: a byte match could start on the second byte of another character.
  for (const std::string* part : {&item, &tradeIn}) {
    for (std::size_t i = 0; i + part->size() <= fieldName.size();) {
      if (fieldName.compare(i, part->size(), *part) == 0) return ColumnKind::Text;
      i += sjis::isLeadByte(static_cast<unsigned char>(fieldName[i])) ? 2 : 1;
    }
  }
  return ColumnKind::Amount;
}

std::string blanks(int count) { return std::string(static_cast<std::size_t>(std::clamp(count, 0, kBlankRun)), ' '); }

namespace {

/// The start of the character that byte `at` of `text` belongs to.
std::size_t characterStart(std::string_view text, std::size_t at) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t next = i + (sjis::isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1);
    if (next > at) return i;
    i = next;
  }
  return i;
}

}  // namespace

std::string textCell(std::string_view value, int width) {
  if (width <= 0) return {};
  std::string cell(value);
  cell += blanks(kBlankRun);
  const std::size_t keep = std::min(cell.size(), static_cast<std::size_t>(width));
  // The last byte kept starts a two-byte character: its first half alone would print as garbage.
  const std::size_t last = characterStart(cell, keep - 1);
  cell.resize(keep);
  if (last == keep - 1 && sjis::isLeadByte(static_cast<unsigned char>(cell[last]))) cell[last] = ' ';
  return cell;
}

std::string groupDigits(std::string_view value) {
  const auto v = sjis::parseInt32(value);
  if (!v) return std::string(value);
  std::string text(value);
  if ((*v >= 1000000 || *v <= -1000000) && text.size() > 6) text.insert(text.size() - 6, ",");
  if ((*v >= 1000 || *v <= -1000) && text.size() > 3) text.insert(text.size() - 3, ",");
  return text;
}

std::string amountCell(std::string_view value, int width, bool grouping) {
  if (width <= 0) return {};
  std::string cell = blanks(kBlankRun) + (grouping ? groupDigits(value) : std::string(value));
  const std::size_t keep = std::min(cell.size(), static_cast<std::size_t>(width));
  const std::size_t from = cell.size() - keep;
  // The first byte kept is the second half of a two-byte character: print a blank for it.
  const bool half = from > 0 && characterStart(cell, from) < from;
  cell.erase(0, from);
  if (half) cell[0] = ' ';
  return cell;
}

std::string ruleLine(int length) {
  static const std::string dash = sjis::lit("－");
  std::string line;
  for (int i = 0; i < length; ++i) line += dash;
  return line;
}

std::string dateLine(int position, const Date& date) { return blanks(position) + era::formatPlain(date); }

std::string titleLine(int position, std::string_view title) { return blanks(position) + std::string(title); }

std::string headingLine(const std::vector<ListColumn>& columns) {
  std::string line;
  for (const ListColumn& c : columns) line += textCell(c.field, c.width);
  return line;
}

namespace {

/// The value with each line break (CR LF, or a CR or LF alone) as one blank: a break inside a
/// cell would push the rest of the estimate's line onto a line of its own.
std::string withoutLineBreaks(std::string value) {
  if (value.find_first_of("\r\n") == std::string::npos) return value;
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r' || c == '\n') {
      out += ' ';
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string estimateLine(const std::vector<ListColumn>& columns, const table::Cursor& estimates, bool grouping) {
  std::string line;
  for (const ListColumn& c : columns) {
    const std::string value = withoutLineBreaks(estimates.text(c.field));
    line += c.kind == ColumnKind::Text ? textCell(value, c.width) : amountCell(value, c.width, grouping);
  }
  return line;
}

std::vector<ListColumn> listColumns(const ListPrintSettings& settings, const table::Cursor& estimates,
                                    table::Cursor& widths) {
  const std::vector<std::string>& fields = settings.method == OutputMethod::AllFieldsOnScreen
                                               ? book::chooserFieldNames()
                                               : settings.fields.second;
  const bool haveWidths = widths.recordCount() > 0;
  std::vector<ListColumn> columns;
  for (const std::string& field : fields) {
    if (estimates.schema().find(field) < 0) throw table::fieldNotFound(field);
    const int at = widths.schema().find(field);
    if (at < 0) throw table::fieldNotFound(field);
    const int width = haveWidths && !widths.isNull(at) ? widths.integer(at) : 0;
    columns.push_back({field, columnKind(field), width});
  }
  return columns;
}

int runListPrint(table::Cursor& estimates, table::Cursor& widths, const ListPrintSettings& settings,
                 const Date& today, LineStream& out) {
  const bool screen = settings.method == OutputMethod::AllFieldsOnScreen;
  const std::vector<ListColumn> columns = listColumns(settings, estimates, widths);
  const bool all = settings.count == OutputCount::All;
  const int perPage = screen ? 0 : sjis::leadingInt(settings.perPage);
  const std::string rule = ruleLine(sjis::leadingInt(settings.ruleLength));
  const int body = settings.font.size;

  if (all) estimates.first();
  out.open(body);
  if (const int size = sjis::leadingInt(settings.dateSize); size != 0) {
    out.setSize(size);
    out.line(dateLine(sjis::leadingInt(settings.datePosition), today));
  }
  if (const int size = sjis::leadingInt(settings.titleSize); size != 0 && !settings.title.empty()) {
    out.setSize(size);
    out.line(titleLine(sjis::leadingInt(settings.titlePosition), settings.title));
  }
  out.setSize(body);
  out.line(headingLine(columns));
  out.line(rule);

  int printed = 0, count = 0;
  // An empty view has no current estimate: the list is its heading alone.
  if (estimates.recordCount() > 0) {
    for (;;) {
      out.line(estimateLine(columns, estimates, settings.grouping));
      out.line(rule);
      ++printed;
      if (!all) break;
      estimates.next();
      if (estimates.eof()) break;
      if (++count == perPage) {
        count = 0;
        out.close();
        out.open(body);
      }
    }
  }
  out.close();
  return printed;
}

}  // namespace vendaro::listprint

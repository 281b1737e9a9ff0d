// Arbitrary bytes as a restore file, loaded into a scratch estimate table that holds a few
// estimates: the restore either loads the file or stops with an error, and then the table holds
// exactly what it held before, with the same filter, order and current record. The first byte
// picks the file name (plain, 分割 to append, 住所録 to refuse) and whether a filter is in force;
// for a file without a header the next bytes pick the pattern of fields.

#include <algorithm>
#include <cstdio>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/field_lists.h"
#include "fuzz_support.h"
#include "maintenance/restore.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/table/schema.h"

using namespace vendaro;
using fuzz::check;

namespace {

using Content = std::vector<std::vector<std::string>>;

/// Every value of every estimate in the primary order, unfiltered: the kind of value and its text.
Content contentOf(table::Cursor& c) {
  c.setFiltered(false);
  c.setIndex("");
  Content rows;
  for (int r = 1; r <= c.recordCount(); ++r) {
    std::vector<std::string> row;
    for (const auto& v : c.rowAt(r))
      row.push_back(std::to_string(static_cast<int>(v.kind)) + ":" + std::to_string(v.integer) + ":" + v.text);
    rows.push_back(std::move(row));
  }
  return rows;
}

void reset(table::Cursor& c) {
  c.setFiltered(false);
  c.setIndex("");
  table::Transaction t(c);
  c.removeAll();
  const char* const names[] = {"山田　太郎", "ｻﾄｳ", "鈴木"};
  for (const char* name : names) {
    c.append();
    c.setText(book::kCreatedField, sjis::lit("平成１５年０３月２０日"));
    c.setText(book::kNameField, sjis::lit(name));
    c.post();
  }
  t.commit();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string dir = fuzz::scratchDirectory() + "/csv_restore";
  static std::unique_ptr<table::Cursor> estimates = [] {
    setToday(Date{2003, 7, 4});
    auto c = book::openEstimateTable(dir + "/CARDATA");
    reset(*c);
    return c;
  }();
  fuzz::Input in(data, size);
  const uint8_t mode = in.byte();
  const char* const fileNames[] = {"r.CSV", "r分割.TXT", "顧客住所録.CSV"};
  // File names are the file system's (UTF-8).
  const std::string chosen = joinPath(dir, fileNames[mode % 3]);
  const std::string path = joinPath(dir, mode % 3 == 1 ? "r分割.CSV" : fileNames[mode % 3]);
  // The pattern: up to 8 fields picked by the next bytes.
  std::vector<std::string> pattern;
  const auto& names = book::chooserFieldNames();
  for (int n = in.byte() % 9; n > 0; --n) pattern.push_back(names[in.byte() % names.size()]);
  const std::string_view bytes = in.rest();
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) fuzz::fail("cannot write a scratch file");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  table::Cursor& c = *estimates;
  if (c.recordCount() > 200) reset(c);
  const Content before = contentOf(c);
  if (mode & 4) {
    c.setFilter(sjis::lit("氏名 = '山*'"));
    c.setFiltered(true);
  }
  if (mode & 8) c.setIndex(book::descendingIndexName());
  if (c.recordCount() > 0) c.setRecNo(1 + static_cast<int>(mode >> 4) % c.recordCount());
  const std::string filter = c.filter(), index = c.indexName();
  const bool filtered = c.filtered();
  const int recNo = c.recNo();

  maintenance::RestoreReport report;
  maintenance::RestoreOutcome outcome;
  try {
    outcome = maintenance::runRestore(c, chosen, [&] { return std::optional(pattern); }, report);
  } catch (const maintenance::RestoreError&) {
    check(c.filter() == filter && c.filtered() == filtered && c.indexName() == index && c.recNo() == recNo,
          "a stopped restore changed the view");
    check(contentOf(c) == before, "a stopped restore changed the table");
    return 0;
  }
  if (outcome != maintenance::RestoreOutcome::Done) {
    check(contentOf(c) == before, "a restore that loaded nothing changed the table");
  } else {
    check(!c.filtered() && c.indexName().empty(), "a restore left a filter or an order");
    const std::size_t kept = (mode % 3 == 1) ? before.size() : 0;
    check(static_cast<std::size_t>(c.recordCount()) == kept + static_cast<std::size_t>(report.stored),
          "the table does not hold what was kept and stored");
    check(report.deleted == static_cast<int>(before.size() - kept), "the count of deleted estimates is wrong");
    if (kept) {
      Content was = before, now = contentOf(c);
      std::sort(was.begin(), was.end());
      std::sort(now.begin(), now.end());
      check(std::includes(now.begin(), now.end(), was.begin(), was.end()), "appending changed the estimates that were there");
    }
  }
  return 0;
}

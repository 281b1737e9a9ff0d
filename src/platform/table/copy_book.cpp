#include "platform/table/copy_book.h"

#include <memory>

#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "platform/table/pg_backend.h"
#include "platform/table/sqlite_backend.h"

namespace vendaro::table {
namespace {

std::unique_ptr<Backend> openBackend(const std::string& location, const TableSchema& schema) {
  std::unique_ptr<Backend> backend =
      isDatabaseLocation(location) ? openPostgresTable(location, schema) : openSqliteTable(location, schema);
  backend->finishOpen(true);
  return backend;
}

std::string placeText(const std::string& location) { return "'" + sjis::fromUtf8Lossy(location) + "'"; }

/// The records of one table from its first to its last in entry order, handed on in batches.
constexpr std::size_t kBatch = 200;

}  // namespace

std::vector<std::pair<std::string, int64_t>> copyBook(const std::string& from, const std::string& to,
                                                      const std::vector<const TableSchema*>& schemas) {
  if (from == to) throw TableError(sjis::lit("移行元と移行先が同じです: ") + placeText(from));
  std::vector<const TableSchema*> present;
  for (const TableSchema* schema : schemas)
    if (tableExists(from, *schema)) present.push_back(schema);
  if (present.empty()) throw TableError(sjis::lit("移行元 ") + placeText(from) + sjis::lit(" にテーブルがありません"));

  ensureDirectory(to);
  for (const TableSchema* schema : present) {
    if (!tableExists(to, *schema)) continue;
    if (int64_t n = openBackend(to, *schema)->count(nullptr); n > 0)
      throw TableError(sjis::lit("移行先 ") + placeText(to) + sjis::lit(" は空ではありません: テーブル '") +
                       schema->fileName() + "' " + sjis::lit("に ") + std::to_string(n) + sjis::lit(" 件あります"));
  }

  struct Pair {
    const TableSchema* schema;
    std::unique_ptr<Backend> source, target;
    int level = 0;
    bool ended = false;
  };
  std::vector<Pair> pairs;
  for (const TableSchema* schema : present) pairs.push_back({schema, openBackend(from, *schema), openBackend(to, *schema)});
  for (auto& p : pairs) p.level = p.target->begin();
  std::vector<std::pair<std::string, int64_t>> copied;
  try {
    for (auto& p : pairs) {
      int64_t n = 0;
      std::vector<std::vector<Value>> batch;
      p.source->scan(nullptr, Order{}, 0, [&](const std::vector<Value>& row) {
        batch.push_back(row);
        if (batch.size() == kBatch) {
          p.target->insertMany(batch);
          n += static_cast<int64_t>(batch.size());
          batch.clear();
        }
      });
      p.target->insertMany(batch);
      n += static_cast<int64_t>(batch.size());
      copied.emplace_back(p.schema->fileName(), n);
    }
    for (auto& p : pairs) {
      p.target->commit(p.level);
      p.ended = true;
    }
  } catch (...) {
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
      if (!it->ended) it->target->rollback(it->level);
    throw;
  }
  return copied;
}

}  // namespace vendaro::table

#include "platform/table/cursor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/safe_file.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::table {
namespace {

std::string fileText(const std::string& path) { return "'" + sjis::fromUtf8Lossy(path) + "'"; }

TableError openError(const std::string& path, std::string_view reasonUtf8) {
  return TableError(sjis::lit("テーブル ") + fileText(path) + sjis::lit(" を開けません: ") + sjis::lit(reasonUtf8));
}

/// Runs one statement that returns no rows the caller needs.
int execOn(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

void bindAll(sqlite3_stmt* st, const std::vector<SqlValue>& values, int first) {
  int i = first;
  for (const auto& v : values) {
    if (const auto* n = std::get_if<int64_t>(&v))
      sqlite3_bind_int64(st, i++, *n);
    else {
      const auto& s = std::get<std::string>(v);
      sqlite3_bind_blob(st, i++, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
  }
}

/// The statements that make the table's indexes, named ix0, ix1, ... in this order.
std::vector<std::string> indexStatements(const TableSchema& schema) {
  std::vector<std::string> statements;
  int n = 0;
  auto keyList = [&](const std::vector<SortKey>& keys) {
    std::string list;
    for (const auto& k : keys) list += (list.empty() ? "" : ", ") + schema.column(k.field) + (k.descending ? " DESC" : "");
    return list;
  };
  auto add = [&](const std::string& columns) {
    statements.push_back("CREATE INDEX ix" + std::to_string(n++) + " ON records (" + columns + ")");
  };
  if (!schema.naturalOrder().empty()) add(keyList(schema.naturalOrder()));
  for (const auto& index : schema.indexes())
    if (!index.keys.empty()) add(keyList(index.keys));
  for (int f : schema.searchFields()) add(schema.column(f));
  return statements;
}

std::string createSql(const TableSchema& schema) {
  std::string sql = "CREATE TABLE records (rid INTEGER PRIMARY KEY AUTOINCREMENT";
  for (int i = 0; i < schema.fieldCount(); ++i)
    sql += ", " + schema.column(i) + (schema.field(i).type == FieldType::Integer ? " INTEGER" : " BLOB");
  sql += ");\n";
  for (const std::string& statement : indexStatements(schema)) sql += statement + ";\n";
  return sql;
}

/// Creates the empty file `path` with exactly `mode`, whatever the umask (the engine gives a
/// table's journal the table's own mode). Returns the reason when it cannot, else empty.
std::string makeEmptyFile(const std::string& path, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  std::string error;
  if (fd < 0 || ::fchmod(fd, mode) != 0) error = std::strerror(errno);
  if (fd >= 0) ::close(fd);
  return error;
}

/// Makes the empty table in a file beside the final name and renames it into place, so that a
/// crash never leaves a half-made table under the real name. The file is its owner's alone,
/// whatever the umask (the engine gives its journal the table's own mode).
void createTableFile(const std::string& path, const TableSchema& schema) {
  std::string tmp = path + ".new";
  ::unlink(tmp.c_str());
  ::unlink((tmp + "-wal").c_str());
  ::unlink((tmp + "-journal").c_str());
  sqlite3* db = nullptr;
  int rc = SQLITE_OK;
  std::string error = makeEmptyFile(tmp, kPrivateFileMode);
  if (!error.empty()) rc = SQLITE_CANTOPEN;
  if (rc == SQLITE_OK) rc = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) rc = execOn(db, "PRAGMA journal_mode=WAL");
  if (rc == SQLITE_OK) rc = execOn(db, ("BEGIN;\n" + createSql(schema) + "COMMIT;").c_str());
  if (rc != SQLITE_OK && error.empty()) error = db ? sqlite3_errmsg(db) : "out of memory";
  sqlite3_close(db);
  if (rc == SQLITE_OK && ::rename(tmp.c_str(), path.c_str()) != 0) {
    rc = SQLITE_CANTOPEN;
    error = std::strerror(errno);
  }
  if (rc != SQLITE_OK) {
    ::unlink(tmp.c_str());
    throw TableError(sjis::lit("テーブル ") + fileText(path) + sjis::lit(" を作成できません: ") + sjis::fromUtf8Lossy(error));
  }
}

/// True when the open file holds the table of this schema, field for field.
bool matchesSchema(sqlite3* db, const TableSchema& schema, int& rc) {
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_prepare_v2(db, "PRAGMA table_info(records)", -1, &st, nullptr);
  if (rc != SQLITE_OK) return false;
  std::vector<std::pair<std::string, std::string>> columns;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    auto text = [&](int c) {
      const unsigned char* t = sqlite3_column_text(st, c);
      return std::string(t ? reinterpret_cast<const char*>(t) : "");
    };
    columns.emplace_back(text(1), text(2));
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) return false;
  rc = SQLITE_OK;
  if (columns.size() != static_cast<std::size_t>(schema.fieldCount()) + 1) return false;
  if (columns[0].first != "rid") return false;
  for (int i = 0; i < schema.fieldCount(); ++i) {
    const auto& [name, type] = columns[static_cast<std::size_t>(i) + 1];
    if (name != sjis::toUtf8(schema.field(i).name)) return false;
    if (type != (schema.field(i).type == FieldType::Integer ? "INTEGER" : "BLOB")) return false;
  }
  return true;
}

/// A connection to the file (for one thread only, as the program has one); TableError naming the
/// file when it cannot be opened.
sqlite3* openConnection(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw openError(path, reason);
  }
  return db;
}

/// The settings of every connection to a table this program owns.
void configureConnection(sqlite3* db) {
  sqlite3_busy_timeout(db, 0);
  sqlite3_extended_result_codes(db, 0);
  // Hold the file for the whole run: another process can neither read nor write it meanwhile.
  execOn(db, "PRAGMA locking_mode=EXCLUSIVE");
  execOn(db, "PRAGMA synchronous=FULL");
  // The undo records of the savepoint around each write stay in memory: bulk work writes
  // thousands of records in one transaction, and a scratch file per savepoint costs more than
  // the records themselves.
  execOn(db, "PRAGMA temp_store=MEMORY");
}

/// Flushes a file (or a directory, for a rename in it) to the disk; false when that fails.
bool syncPath(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string directoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : (slash == 0 ? std::string("/") : path.substr(0, slash));
}

int compareValues(const Value& a, const Value& b) {
  if (a.kind != b.kind) return static_cast<int>(a.kind) < static_cast<int>(b.kind) ? -1 : 1;
  switch (a.kind) {
    case Value::Kind::Null: return 0;
    case Value::Kind::Int: return a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
    case Value::Kind::Text: return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
  }
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Opening

std::unique_ptr<Cursor> Cursor::open(const std::string& directory, const TableSchema& schema) {
  std::string path = joinPath(directory, schema.fileName());
  if (!fileExists(path)) createTableFile(path, schema);

  sqlite3* db = openConnection(path, SQLITE_OPEN_READWRITE);
  auto refuse = [&](const TableError& error) {
    execOn(db, "ROLLBACK");
    sqlite3_close(db);
    throw error;
  };
  configureConnection(db);
  int rc = execOn(db, "BEGIN EXCLUSIVE");
  bool ok = rc == SQLITE_OK && matchesSchema(db, schema, rc);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
    refuse(TableError(sjis::lit("テーブル ") + fileText(path) + sjis::lit(" は他のプログラムが使用中です")));
  if (!ok && (rc == SQLITE_OK || rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT || rc == SQLITE_ERROR))
    refuse(TableError(sjis::lit("ファイル ") + fileText(path) + sjis::lit(" は有効なテーブルではありません")));
  if (!ok) refuse(openError(path, sqlite3_errmsg(db)));

  // The view is built inside the opening transaction. A file whose records cannot be read is then
  // refused by rolling back, so that nothing SQLite mends on the way (such as a wrong page count
  // in the file's header, which it rewrites when a write transaction begins) reaches the file.
  std::unique_ptr<Cursor> cursor(new Cursor(db, path, schema));
  try {
    cursor->prepareStatements();
    cursor->rebuildView(Keep::First);
    if (execOn(db, "COMMIT") != SQLITE_OK) throw openError(path, sqlite3_errmsg(db));
  } catch (...) {
    execOn(db, "ROLLBACK");
    throw;
  }
  return cursor;
}

std::unique_ptr<Cursor> Cursor::openShared(const std::string& directory, const TableSchema& schema) {
  const std::string path = joinPath(directory, schema.fileName());
  if (!fileExists(path))
    throw TableError(sjis::lit("テーブル '") + sjis::fromUtf8Lossy(path) + sjis::lit("' が見つかりません"));
  sqlite3* db = openConnection(path, SQLITE_OPEN_READONLY);
  // The owner may be writing at this moment: wait a little for it rather than fail at once.
  sqlite3_busy_timeout(db, 2000);
  sqlite3_extended_result_codes(db, 0);
  execOn(db, "PRAGMA query_only=ON");
  auto refuse = [&](const TableError& error) {
    execOn(db, "ROLLBACK");
    sqlite3_close(db);
    throw error;
  };
  // The fields are found by name; the owner's other columns and their order do not matter.
  std::vector<std::string> columns;
  sqlite3_stmt* st = nullptr;
  int rc = execOn(db, "BEGIN");
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, "PRAGMA table_info(records)", -1, &st, nullptr);
  while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
    const unsigned char* name = sqlite3_column_text(st, 1);
    columns.emplace_back(name ? reinterpret_cast<const char*>(name) : "");
    rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE && rc != SQLITE_OK) refuse(openError(path, sqlite3_errmsg(db)));
  if (columns.empty())
    refuse(TableError(sjis::lit("ファイル ") + fileText(path) + sjis::lit(" は有効なテーブルではありません")));
  for (const auto& field : schema.fields())
    if (std::find(columns.begin(), columns.end(), sjis::toUtf8(field.name)) == columns.end()) refuse(fieldNotFound(field.name));

  std::unique_ptr<Cursor> cursor(new Cursor(db, path, schema));
  try {
    cursor->prepareStatements();
    cursor->rebuildView(Keep::First);
    execOn(db, "COMMIT");
  } catch (...) {
    execOn(db, "ROLLBACK");
    throw;
  }
  return cursor;
}

Cursor::Cursor(sqlite3* db, std::string path, const TableSchema& schema)
    : db_(db), path_(std::move(path)), schema_(schema) {
  for (const auto& f : schema_.fields()) columns_.push_back(Column{f.displayWidth, f.visible});
  for (int i = 0; i < schema_.fieldCount(); ++i) columnOrder_.push_back(i);
  record_.assign(static_cast<std::size_t>(schema_.fieldCount()), Value{});
}

Cursor::~Cursor() {
  for (sqlite3_stmt* st : {selectRow_, insertRow_, updateRow_, deleteRow_, sortKey_}) sqlite3_finalize(st);
  sqlite3_close(db_);
}

sqlite3_stmt* Cursor::prepare(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fail("prepare");
  return st;
}

void Cursor::prepareStatements() {
  std::string columns, marks, sets;
  for (int i = 0; i < schema_.fieldCount(); ++i) {
    columns += (i ? ", " : "") + schema_.column(i);
    marks += i ? ", ?" : "?";
    sets += (i ? ", " : "") + schema_.column(i) + " = ?";
  }
  selectRow_ = prepare("SELECT " + columns + " FROM records WHERE rowid = ?");
  insertRow_ = prepare("INSERT INTO records (" + columns + ") VALUES (" + marks + ")");
  updateRow_ = prepare("UPDATE records SET " + sets + " WHERE rowid = ?");
  deleteRow_ = prepare("DELETE FROM records WHERE rowid = ?");
}

void Cursor::fail(const char*) const {
  throw TableError(sjis::lit("テーブル ") + fileText(path_) + ": " + sjis::fromUtf8Lossy(sqlite3_errmsg(db_)));
}

void Cursor::exec(const char* sql) {
  if (execOn(db_, sql) != SQLITE_OK) fail(sql);
}

// ---------------------------------------------------------------------------------------------
// The view

const std::vector<SortKey>& Cursor::orderKeys() const { return index_ ? index_->keys : schema_.naturalOrder(); }
bool Cursor::orderTiesDescending() const { return index_ && index_->tiesDescending; }

std::string Cursor::orderSql(bool) const {
  std::string sql = " ORDER BY ";
  for (const auto& k : orderKeys()) sql += schema_.column(k.field) + (k.descending ? " DESC, " : ", ");
  return sql + (orderTiesDescending() ? "rowid DESC" : "rowid");
}

void Cursor::rebuildView(Keep keep) {
  std::string sql = "SELECT rowid FROM records";
  bool filtering = filtered_ && !condition_.sql.empty();
  if (filtering) sql += " WHERE " + condition_.sql;
  sql += orderSql(false);
  sqlite3_stmt* st = prepare(sql);
  if (filtering) bindAll(st, condition_.values, 1);
  view_.clear();
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) view_.push_back(sqlite3_column_int64(st, 0));
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) fail("view");
  viewStale_ = false;

  std::size_t size = view_.size();
  if (keep == Keep::Record) {
    auto it = std::find(view_.begin(), view_.end(), currentRowid_);
    if (it != view_.end()) pos_ = static_cast<std::size_t>(it - view_.begin());
    else keep = Keep::Position;
  }
  if (keep == Keep::Position) pos_ = size == 0 ? 0 : std::min(pos_, size - 1);
  if (keep == Keep::First) pos_ = 0;
  bof_ = keep == Keep::First || size == 0;
  eof_ = size == 0;
  loadCurrent();
}

void Cursor::ensureView() {
  if (viewStale_) rebuildView(Keep::Record);
}

void Cursor::refresh() { rebuildView(Keep::Record); }

Value Cursor::readValue(sqlite3_stmt* st, int col) const {
  Value v;
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER:
      v.kind = Value::Kind::Int;
      v.integer = sqlite3_column_int64(st, col);
      break;
    default: {
      const void* data = sqlite3_column_blob(st, col);
      int n = sqlite3_column_bytes(st, col);
      v.kind = Value::Kind::Text;
      if (data) v.text.assign(static_cast<const char*>(data), static_cast<std::size_t>(n));
    }
  }
  return v;
}

void Cursor::readInto(sqlite3_stmt* st, int col, Value& v) const {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
      v.kind = Value::Kind::Null;
      v.integer = 0;
      v.text.clear();
      break;
    case SQLITE_INTEGER:
      v.kind = Value::Kind::Int;
      v.integer = sqlite3_column_int64(st, col);
      v.text.clear();
      break;
    default: {
      const void* data = sqlite3_column_blob(st, col);
      int n = sqlite3_column_bytes(st, col);
      v.kind = Value::Kind::Text;
      v.integer = 0;
      if (data) v.text.assign(static_cast<const char*>(data), static_cast<std::size_t>(n));
      else v.text.clear();
    }
  }
}

void Cursor::bindValue(sqlite3_stmt* st, int col, const Value& v) const {
  switch (v.kind) {
    case Value::Kind::Null: sqlite3_bind_null(st, col); break;
    case Value::Kind::Int: sqlite3_bind_int64(st, col, v.integer); break;
    case Value::Kind::Text:
      sqlite3_bind_blob(st, col, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
      break;
  }
}

void Cursor::loadCurrent() {
  record_.resize(static_cast<std::size_t>(schema_.fieldCount()));
  if (view_.empty() && !viewStale_) {
    currentRowid_ = 0;
    for (Value& v : record_) v = Value{};
    return;
  }
  if (!viewStale_) currentRowid_ = view_[pos_];
  sqlite3_reset(selectRow_);
  sqlite3_bind_int64(selectRow_, 1, currentRowid_);
  int rc = sqlite3_step(selectRow_);
  if (rc == SQLITE_ROW) {
    // Read into the values in place, so that their text storage is used again from record to record.
    for (int i = 0; i < schema_.fieldCount(); ++i) readInto(selectRow_, i, record_[static_cast<std::size_t>(i)]);
  } else {
    for (Value& v : record_) v = Value{};
  }
  sqlite3_reset(selectRow_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("read");
}

int Cursor::findContaining(int field, std::string_view bytes, int from, bool forward) {
  ensureView();
  const int count = static_cast<int>(view_.size());
  if (bytes.empty() || from < 1 || from > count) return 0;
  // One pass of SQL finds every record holding the bytes; a text must also hold them at a
  // character boundary (so "R" does not find 山, whose second byte is 'R'). The view then gives
  // the order.
  const std::string& col = schema_.column(field);
  const bool integer = schema_.field(field).type == FieldType::Integer;
  std::string sql = integer ? "SELECT rowid, NULL FROM records WHERE instr(CAST(" + col + " AS BLOB), ?) > 0"
                            : "SELECT rowid, " + col + " FROM records WHERE instr(" + col + ", ?) > 0";
  sqlite3_stmt* st = prepare(sql);
  sqlite3_bind_blob(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  std::vector<int64_t> matches;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (!integer) {
      const char* stored = static_cast<const char*>(sqlite3_column_blob(st, 1));
      std::string_view text(stored ? stored : "", static_cast<std::size_t>(sqlite3_column_bytes(st, 1)));
      if (!sjis::containsText(text, bytes)) continue;
    }
    matches.push_back(sqlite3_column_int64(st, 0));
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) fail("find");
  std::sort(matches.begin(), matches.end());
  auto matchesAt = [&](int n) {
    return std::binary_search(matches.begin(), matches.end(), view_[static_cast<std::size_t>(n - 1)]);
  };
  if (forward) {
    for (int n = from; n <= count; ++n)
      if (matchesAt(n)) return n;
  } else {
    for (int n = from; n >= 1; --n)
      if (matchesAt(n)) return n;
  }
  return 0;
}

void Cursor::scanView(int from, const std::function<void(const std::vector<Value>&)>& visit) {
  ensureView();
  if (from < 1 || from > static_cast<int>(view_.size())) return;
  std::string columns;
  for (int i = 0; i < schema_.fieldCount(); ++i) columns += (i ? ", " : "") + schema_.column(i);
  std::string sql = "SELECT " + columns + " FROM records";
  bool filtering = filtered_ && !condition_.sql.empty();
  if (filtering) sql += " WHERE " + condition_.sql;
  sql += orderSql(false) + " LIMIT -1 OFFSET " + std::to_string(from - 1);
  sqlite3_stmt* st = prepare(sql);
  if (filtering) bindAll(st, condition_.values, 1);
  std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
  int rc;
  try {
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      for (int i = 0; i < schema_.fieldCount(); ++i) readInto(st, i, row[static_cast<std::size_t>(i)]);
      visit(row);
    }
  } catch (...) {
    sqlite3_finalize(st);
    throw;
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) fail("scan");
}

std::vector<Value> Cursor::rowAt(int n) {
  ensureView();
  std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
  if (n < 1 || n > static_cast<int>(view_.size())) return row;
  sqlite3_reset(selectRow_);
  sqlite3_bind_int64(selectRow_, 1, view_[static_cast<std::size_t>(n - 1)]);
  int rc = sqlite3_step(selectRow_);
  if (rc == SQLITE_ROW)
    for (int i = 0; i < schema_.fieldCount(); ++i) row[static_cast<std::size_t>(i)] = readValue(selectRow_, i);
  sqlite3_reset(selectRow_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("read");
  return row;
}

void Cursor::scrolled() {
  if (afterScroll) afterScroll(*this);
}

bool Cursor::rowPassesFilter(int64_t rowid) {
  if (!filtered_ || condition_.sql.empty()) return true;
  sqlite3_stmt* st = prepare("SELECT 1 FROM records WHERE rowid = ? AND (" + condition_.sql + ")");
  sqlite3_bind_int64(st, 1, rowid);
  bindAll(st, condition_.values, 2);
  int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("filter");
  return rc == SQLITE_ROW;
}

std::vector<Value> Cursor::sortKeyOf(int64_t rowid) {
  const auto& keys = orderKeys();
  if (keys.empty()) return {};
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < keys.size(); ++i) sql += (i ? ", " : "") + schema_.column(keys[i].field);
  sql += " FROM records WHERE rowid = ?";
  if (sql != sortKeyFor_) {
    sqlite3_finalize(sortKey_);
    sortKey_ = nullptr;
    sortKey_ = prepare(sql);
    sortKeyFor_ = sql;
  }
  sqlite3_reset(sortKey_);
  sqlite3_bind_int64(sortKey_, 1, rowid);
  std::vector<Value> key;
  if (sqlite3_step(sortKey_) == SQLITE_ROW)
    for (std::size_t i = 0; i < keys.size(); ++i) key.push_back(readValue(sortKey_, static_cast<int>(i)));
  sqlite3_reset(sortKey_);
  return key;
}

bool Cursor::sortsBefore(const std::vector<Value>& a, int64_t ra, const std::vector<Value>& b, int64_t rb) const {
  const auto& keys = orderKeys();
  for (std::size_t i = 0; i < keys.size() && i < a.size() && i < b.size(); ++i) {
    int c = compareValues(a[i], b[i]);
    if (keys[i].descending) c = -c;
    if (c != 0) return c < 0;
  }
  return orderTiesDescending() ? ra > rb : ra < rb;
}

/// Puts a just-written record into the view at its place in the order (or takes it out when the
/// filter no longer lets it through) without reading the whole view again.
void Cursor::placeInView(int64_t rowid) {
  ensureView();
  std::size_t oldPos = pos_;
  auto it = std::find(view_.begin(), view_.end(), rowid);
  if (it != view_.end()) {
    oldPos = static_cast<std::size_t>(it - view_.begin());
    view_.erase(it);
  }
  if (!rowPassesFilter(rowid)) {
    pos_ = view_.empty() ? 0 : std::min(oldPos, view_.size() - 1);
    bof_ = eof_ = view_.empty();
    loadCurrent();
    return;
  }
  std::vector<Value> key = sortKeyOf(rowid);
  std::size_t lo = 0, hi = view_.size();
  while (lo < hi) {
    std::size_t mid = lo + (hi - lo) / 2;
    if (sortsBefore(sortKeyOf(view_[mid]), view_[mid], key, rowid)) lo = mid + 1;
    else hi = mid;
  }
  view_.insert(view_.begin() + static_cast<std::ptrdiff_t>(lo), rowid);
  pos_ = lo;
  bof_ = eof_ = false;
  loadCurrent();
}

// ---------------------------------------------------------------------------------------------
// Moving

void Cursor::first() {
  checkBrowseMode();
  ensureView();
  pos_ = 0;
  bof_ = true;
  eof_ = view_.empty();
  loadCurrent();
  scrolled();
}

void Cursor::last() {
  checkBrowseMode();
  ensureView();
  pos_ = view_.empty() ? 0 : view_.size() - 1;
  eof_ = true;
  bof_ = view_.empty();
  loadCurrent();
  scrolled();
}

void Cursor::next() {
  checkBrowseMode();
  ensureView();
  bof_ = false;
  if (pos_ + 1 < view_.size()) {
    ++pos_;
    eof_ = false;
    loadCurrent();
    scrolled();
  } else {
    eof_ = true;
  }
}

void Cursor::prior() {
  checkBrowseMode();
  ensureView();
  eof_ = false;
  if (pos_ > 0 && !view_.empty()) {
    --pos_;
    bof_ = false;
    loadCurrent();
    scrolled();
  } else {
    bof_ = true;
  }
}

int Cursor::recordCount() {
  ensureView();
  return static_cast<int>(view_.size());
}

int Cursor::recNo() {
  ensureView();
  return view_.empty() ? 0 : static_cast<int>(pos_) + 1;
}

void Cursor::setRecNo(int n) {
  checkBrowseMode();
  ensureView();
  if (view_.empty()) return;
  n = std::clamp(n, 1, static_cast<int>(view_.size()));
  pos_ = static_cast<std::size_t>(n - 1);
  bof_ = eof_ = false;
  loadCurrent();
  scrolled();
}

int64_t Cursor::bookmark() {
  ensureView();
  return view_.empty() ? 0 : view_[pos_];
}

bool Cursor::gotoBookmark(int64_t bookmark) {
  checkBrowseMode();
  ensureView();
  auto it = std::find(view_.begin(), view_.end(), bookmark);
  if (bookmark == 0 || it == view_.end()) return false;
  pos_ = static_cast<std::size_t>(it - view_.begin());
  bof_ = eof_ = false;
  loadCurrent();
  scrolled();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Fields

int Cursor::fieldIndex(std::string_view name) const {
  int i = schema_.find(name);
  if (i < 0) throw fieldNotFound(name);
  return i;
}

const std::vector<Value>& Cursor::values() const { return state_ == State::Browse ? record_ : buffer_; }

std::string Cursor::text(int field) const {
  const Value& v = values().at(static_cast<std::size_t>(field));
  switch (v.kind) {
    case Value::Kind::Null: return {};
    case Value::Kind::Int: return std::to_string(v.integer);
    case Value::Kind::Text: return v.text;
  }
  return {};
}

int32_t Cursor::integer(int field) const {
  const Value& v = values().at(static_cast<std::size_t>(field));
  switch (v.kind) {
    case Value::Kind::Null: return 0;
    case Value::Kind::Int: return static_cast<int32_t>(std::clamp<int64_t>(v.integer, INT32_MIN, INT32_MAX));
    case Value::Kind::Text:
      if (v.text.empty()) return 0;
      if (auto n = sjis::parseInt32(v.text)) return *n;
      throw notAnInteger(v.text);
  }
  return 0;
}

bool Cursor::isNull(int field) const { return values().at(static_cast<std::size_t>(field)).isNull(); }

void Cursor::requireEditing() const {
  if (state_ == State::Browse)
    throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" は編集モードではありません"));
}

std::vector<Value>& Cursor::buffer() {
  requireEditing();
  return buffer_;
}

void Cursor::setText(int field, std::string_view value) {
  Value v;
  const FieldDef& def = schema_.field(field);
  if (!value.empty()) {
    if (def.type == FieldType::Integer) {
      auto n = sjis::parseInt32(value);
      if (!n) throw notAnIntegerFor(value, def.name);
      v.kind = Value::Kind::Int;
      v.integer = *n;
    } else {
      v.kind = Value::Kind::Text;
      v.text = std::string(value);
    }
  }
  buffer().at(static_cast<std::size_t>(field)) = std::move(v);
  modified_ = true;
}

void Cursor::setInteger(int field, int32_t value) {
  Value v;
  if (schema_.field(field).type == FieldType::Integer) {
    v.kind = Value::Kind::Int;
    v.integer = value;
  } else {
    v.kind = Value::Kind::Text;
    v.text = std::to_string(value);
  }
  buffer().at(static_cast<std::size_t>(field)) = std::move(v);
  modified_ = true;
}

void Cursor::clear(int field) {
  buffer().at(static_cast<std::size_t>(field)) = Value{};
  modified_ = true;
}

// ---------------------------------------------------------------------------------------------
// Editing

void Cursor::edit() {
  if (state_ != State::Browse) return;
  ensureView();
  if (view_.empty()) {
    append();
    return;
  }
  buffer_ = record_;
  editRowid_ = currentRowid_;
  state_ = State::Edit;
  modified_ = false;
}

void Cursor::append() {
  checkBrowseMode();
  buffer_.assign(static_cast<std::size_t>(schema_.fieldCount()), Value{});
  editRowid_ = 0;
  state_ = State::Insert;
  modified_ = false;
}

void Cursor::insert() { append(); }

void Cursor::cancel() {
  if (state_ == State::Browse) return;
  state_ = State::Browse;
  modified_ = false;
  buffer_.clear();
}

void Cursor::checkBrowseMode() {
  if (state_ == State::Browse) return;
  if (modified_) post();
  else cancel();
}

void Cursor::writeRecord() {
  bool outer = transactionDepth_ == 0;
  // Inside bulk work one statement is already undone whole by the engine when it fails, so the
  // savepoint is needed only to make a single post its own committed transaction.
  if (outer) exec("SAVEPOINT post");
  sqlite3_stmt* st = state_ == State::Insert ? insertRow_ : updateRow_;
  sqlite3_reset(st);
  for (int i = 0; i < schema_.fieldCount(); ++i) bindValue(st, i + 1, buffer_[static_cast<std::size_t>(i)]);
  if (state_ == State::Edit) sqlite3_bind_int64(st, schema_.fieldCount() + 1, editRowid_);
  int rc = sqlite3_step(st);
  std::string error = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
  sqlite3_reset(st);
  sqlite3_clear_bindings(st);
  if (rc == SQLITE_DONE) {
    if (state_ == State::Insert) editRowid_ = sqlite3_last_insert_rowid(db_);
    if (outer) {
      rc = execOn(db_, "RELEASE post");
      if (rc != SQLITE_OK) error = sqlite3_errmsg(db_);
      else rc = SQLITE_DONE;
    }
  }
  if (rc != SQLITE_DONE) {
    if (outer) execOn(db_, "ROLLBACK");
    throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" に書き込めません: ") + sjis::fromUtf8Lossy(error));
  }
}

void Cursor::post() {
  if (state_ == State::Browse) return;
  if (beforePost) beforePost(*this);
  writeRecord();
  int64_t rowid = editRowid_;
  postedRowid_ = rowid;
  state_ = State::Browse;
  modified_ = false;
  currentRowid_ = rowid;
  if (transactionDepth_ > 0) {
    // Bulk work: the view is read again when it is next needed, and the record just written is
    // the current one as it stands in the buffer.
    viewStale_ = true;
    record_.swap(buffer_);
    buffer_.clear();
  } else {
    buffer_.clear();
    placeInView(rowid);
  }
  if (afterPost) afterPost(*this);
}

void Cursor::remove() {
  if (state_ == State::Insert) {
    cancel();
    return;
  }
  cancel();
  ensureView();
  if (view_.empty()) return;
  int64_t rowid = view_[pos_];
  bool outer = transactionDepth_ == 0;
  exec("SAVEPOINT post");
  sqlite3_reset(deleteRow_);
  sqlite3_bind_int64(deleteRow_, 1, rowid);
  int rc = sqlite3_step(deleteRow_);
  sqlite3_reset(deleteRow_);
  if (rc == SQLITE_DONE) rc = execOn(db_, "RELEASE post") == SQLITE_OK ? SQLITE_DONE : SQLITE_ERROR;
  if (rc != SQLITE_DONE) {
    std::string error = sqlite3_errmsg(db_);
    execOn(db_, outer ? "ROLLBACK" : "ROLLBACK TO post");
    if (!outer) execOn(db_, "RELEASE post");
    throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" に書き込めません: ") + sjis::fromUtf8Lossy(error));
  }
  view_.erase(view_.begin() + static_cast<std::ptrdiff_t>(pos_));
  if (pos_ >= view_.size() && !view_.empty()) pos_ = view_.size() - 1;
  bof_ = eof_ = view_.empty();
  loadCurrent();
  scrolled();
}

int Cursor::removeAll() {
  cancel();
  ensureView();
  int count = static_cast<int>(view_.size());
  if (count > 0) {
    std::string sql = "DELETE FROM records";
    bool filtering = filtered_ && !condition_.sql.empty();
    if (filtering) sql += " WHERE " + condition_.sql;
    bool outer = transactionDepth_ == 0;
    exec("SAVEPOINT post");
    sqlite3_stmt* st = prepare(sql);
    if (filtering) bindAll(st, condition_.values, 1);
    int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE) rc = execOn(db_, "RELEASE post") == SQLITE_OK ? SQLITE_DONE : SQLITE_ERROR;
    if (rc != SQLITE_DONE) {
      std::string error = sqlite3_errmsg(db_);
      execOn(db_, outer ? "ROLLBACK" : "ROLLBACK TO post");
      if (!outer) execOn(db_, "RELEASE post");
      throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" に書き込めません: ") + sjis::fromUtf8Lossy(error));
    }
  }
  rebuildView(Keep::First);
  scrolled();
  return count;
}

void Cursor::appendRecord(const std::vector<std::optional<std::string>>& values) {
  append();
  try {
    for (std::size_t i = 0; i < values.size() && i < static_cast<std::size_t>(schema_.fieldCount()); ++i)
      if (values[i]) setText(static_cast<int>(i), *values[i]);
    post();
  } catch (...) {
    cancel();
    throw;
  }
}

void Cursor::replaceAll(const std::function<void()>& fill) {
  checkBrowseMode();
  if (transactionDepth_ > 0) throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" は一括処理の途中です"));
  // The new contents are written into a file of their own beside the table, which then takes the
  // table's place in one rename: the records are written once, with no journal to keep, and the
  // indexes are built once over all of them. Until the rename the table is as it was.
  const std::string fresh = path_ + ".fill";
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((fresh + suffix).c_str());
  {
    // The new file takes the table's own mode (a new table's is its owner's alone).
    struct stat st {};
    const mode_t mode = ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : kPrivateFileMode;
    const std::string error = makeEmptyFile(fresh, mode);
    if (!error.empty()) {
      ::unlink(fresh.c_str());
      throw openError(fresh, error);
    }
  }
  sqlite3* newDb = openConnection(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  std::string tableSql = createSql(schema_);
  tableSql = tableSql.substr(0, tableSql.find(");\n") + 3);
  for (const char* sql : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF",
                          "PRAGMA cache_size=-65536", "PRAGMA temp_store=MEMORY"})
    execOn(newDb, sql);

  sqlite3* oldDb = db_;
  auto finalizeAll = [this] {
    for (sqlite3_stmt** st : {&selectRow_, &insertRow_, &updateRow_, &deleteRow_, &sortKey_}) {
      sqlite3_finalize(*st);
      *st = nullptr;
    }
    sortKeyFor_.clear();
  };
  finalizeAll();
  db_ = newDb;
  ++transactionDepth_;  // the rows go in without a savepoint each
  try {
    exec("BEGIN");
    exec(tableSql.c_str());
    prepareStatements();
    fill();
    for (const std::string& statement : indexStatements(schema_)) exec(statement.c_str());
    exec("COMMIT");
    exec("PRAGMA journal_mode=WAL");
    finalizeAll();
    if (sqlite3_close(newDb) != SQLITE_OK) throw openError(fresh, sqlite3_errmsg(newDb));
    newDb = nullptr;
    if (!syncPath(fresh)) throw openError(fresh, std::strerror(errno));
  } catch (...) {
    --transactionDepth_;
    finalizeAll();
    if (newDb) sqlite3_close(newDb);
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((fresh + suffix).c_str());
    db_ = oldDb;
    prepareStatements();
    throw;
  }
  --transactionDepth_;

  // The old file is closed whole (its log written back) before the new one takes its name.
  sqlite3_close(oldDb);
  db_ = nullptr;
  std::string error;
  if (::rename(fresh.c_str(), path_.c_str()) != 0) error = std::strerror(errno);
  syncPath(directoryOf(path_));
  int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc == SQLITE_OK) {
    configureConnection(db_);
    // Take the file's lock again at once, as opening does.
    rc = execOn(db_, "BEGIN EXCLUSIVE");
    if (rc == SQLITE_OK) rc = execOn(db_, "COMMIT");
  }
  if (rc != SQLITE_OK) error = db_ ? sqlite3_errmsg(db_) : "out of memory";
  if (db_) prepareStatements();
  if (!error.empty()) throw openError(path_, error);
  rebuildView(Keep::First);
  scrolled();
}

void Cursor::appendTexts(const std::string_view* values, std::size_t count) {
  cancel();
  sqlite3_reset(insertRow_);
  sqlite3_clear_bindings(insertRow_);
  for (std::size_t i = 0; i < count && i < static_cast<std::size_t>(schema_.fieldCount()); ++i)
    if (!values[i].empty())
      sqlite3_bind_blob(insertRow_, static_cast<int>(i) + 1, values[i].data(), static_cast<int>(values[i].size()),
                        SQLITE_STATIC);
  const bool outer = transactionDepth_ == 0;
  if (outer) exec("SAVEPOINT post");
  int rc = sqlite3_step(insertRow_);
  std::string error = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
  sqlite3_reset(insertRow_);
  sqlite3_clear_bindings(insertRow_);
  if (rc == SQLITE_DONE && outer && execOn(db_, "RELEASE post") != SQLITE_OK) {
    rc = SQLITE_ERROR;
    error = sqlite3_errmsg(db_);
  }
  if (rc != SQLITE_DONE) {
    if (outer) execOn(db_, "ROLLBACK");
    throw TableError(sjis::lit("テーブル ") + fileText(path_) + sjis::lit(" に書き込めません: ") + sjis::fromUtf8Lossy(error));
  }
  viewStale_ = true;
}

// ---------------------------------------------------------------------------------------------
// Filter, order, locate

void Cursor::setFilter(std::string_view text) {
  SqlCondition compiled = compileFilter(text, schema_);
  checkBrowseMode();
  filterText_ = std::string(text);
  condition_ = std::move(compiled);
  if (filtered_) {
    rebuildView(Keep::First);
    scrolled();
  }
}

void Cursor::setFiltered(bool on) {
  if (on == filtered_) return;
  checkBrowseMode();
  filtered_ = on;
  rebuildView(Keep::First);
  scrolled();
}

void Cursor::setIndex(std::string_view name) {
  const IndexDef* index = nullptr;
  if (!name.empty()) {
    index = schema_.index(name);
    if (!index)
      throw TableError(sjis::lit("インデックス '") + std::string(name) + sjis::lit("' が見つかりません"));
  }
  checkBrowseMode();
  ensureView();
  const std::vector<SortKey>& before = orderKeys();
  bool tiesBefore = orderTiesDescending();
  index_ = index;
  indexName_ = std::string(name);
  // An order that is the exact reverse of the current one (the natural order and "降順") needs
  // no new reading of the table: the view is turned round.
  const std::vector<SortKey>& after = orderKeys();
  bool reversed = tiesBefore != orderTiesDescending() && before.size() == after.size() &&
                  std::equal(before.begin(), before.end(), after.begin(), [](const SortKey& a, const SortKey& b) {
                    return a.field == b.field && a.descending != b.descending;
                  });
  if (reversed) {
    std::reverse(view_.begin(), view_.end());
    if (!view_.empty()) pos_ = view_.size() - 1 - pos_;
    loadCurrent();
  } else {
    rebuildView(Keep::Record);
  }
  scrolled();
}

bool Cursor::locate(std::string_view field, std::string_view prefix) {
  int f = fieldIndex(field);
  checkBrowseMode();
  ensureView();
  SqlCondition match = prefixCondition(f, prefix, schema_);
  std::string sql = "SELECT rowid FROM records WHERE (" + match.sql + ")";
  bool filtering = filtered_ && !condition_.sql.empty();
  if (filtering) sql += " AND (" + condition_.sql + ")";
  sql += orderSql(false) + " LIMIT 1";
  sqlite3_stmt* st = prepare(sql);
  bindAll(st, match.values, 1);
  if (filtering) bindAll(st, condition_.values, 1 + static_cast<int>(match.values.size()));
  int rc = sqlite3_step(st);
  int64_t rowid = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("locate");
  if (rc != SQLITE_ROW) return false;
  auto it = std::find(view_.begin(), view_.end(), rowid);
  if (it == view_.end()) return false;
  pos_ = static_cast<std::size_t>(it - view_.begin());
  bof_ = eof_ = false;
  loadCurrent();
  scrolled();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Columns

int Cursor::columnPosition(int field) const {
  auto it = std::find(columnOrder_.begin(), columnOrder_.end(), field);
  return it == columnOrder_.end() ? -1 : static_cast<int>(it - columnOrder_.begin());
}

void Cursor::moveColumn(int field, int pos) {
  int from = columnPosition(field);
  if (from < 0) return;
  pos = std::clamp(pos, 0, static_cast<int>(columnOrder_.size()) - 1);
  columnOrder_.erase(columnOrder_.begin() + from);
  columnOrder_.insert(columnOrder_.begin() + pos, field);
}

// ---------------------------------------------------------------------------------------------
// Transactions and the data directory

namespace {
// Bulk work keeps more of the table in memory, so that a large transaction is not written out
// page by page before its commit; the ordinary cache comes back when it ends.
constexpr const char* kBulkCache = "PRAGMA cache_size=-65536";
constexpr const char* kNormalCache = "PRAGMA cache_size=-2000";
}  // namespace

Transaction::Transaction(Cursor& cursor) : cursor_(cursor) {
  cursor_.exec("SAVEPOINT bulk");
  if (cursor_.transactionDepth_++ == 0) execOn(cursor_.db_, kBulkCache);
}

Transaction::~Transaction() {
  if (!open_) return;
  if (--cursor_.transactionDepth_ == 0) execOn(cursor_.db_, kNormalCache);
  execOn(cursor_.db_, "ROLLBACK TO bulk");
  execOn(cursor_.db_, "RELEASE bulk");
  cursor_.cancel();
  try {
    cursor_.rebuildView(Cursor::Keep::Record);
  } catch (const TableError&) {
    cursor_.viewStale_ = true;  // read again on next use
  }
}

void Transaction::commit() {
  if (!open_) return;
  cursor_.exec("RELEASE bulk");
  open_ = false;
  if (--cursor_.transactionDepth_ == 0) execOn(cursor_.db_, kNormalCache);
}

std::string cardataDirectory(const std::string& programDirectory) {
  const char* env = std::getenv("VENDARO_CARDATA");
  if (env && *env) return env;
  return joinPath(programDirectory, "CARDATA");
}

void ensureDirectory(const std::string& directory) {
  std::string partial;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = directory.find('/', pos + 1);
    partial = directory.substr(0, pos);
    if (partial.empty()) continue;
    // A directory made here holds tables of personal data: its owner's alone, whatever the umask.
    if (::mkdir(partial.c_str(), 0700) == 0) {
      ::chmod(partial.c_str(), 0700);
    } else if (errno != EEXIST) {
      throw TableError(sjis::lit("フォルダ '") + sjis::fromUtf8Lossy(partial) + sjis::lit("' を作成できません"));
    }
  }
}

}  // namespace vendaro::table

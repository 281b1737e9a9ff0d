#include "platform/table/sqlite_backend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::table {
namespace {

std::string fileText(const std::string& path) { return "'" + sjis::fromUtf8Lossy(path) + "'"; }

TableError openError(const std::string& path, std::string_view reasonUtf8) {
  return TableError(sjis::lit("テーブル ") + fileText(path) + sjis::lit(" を開けません: ") + sjis::fromUtf8Lossy(reasonUtf8));
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

void bindValue(sqlite3_stmt* st, int col, const Value& v) {
  switch (v.kind) {
    case Value::Kind::Null: sqlite3_bind_null(st, col); break;
    case Value::Kind::Int: sqlite3_bind_int64(st, col, v.integer); break;
    case Value::Kind::Text:
      sqlite3_bind_blob(st, col, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
      break;
  }
}

/// Reads a column into a value in place, so that its text storage is used again.
void readInto(sqlite3_stmt* st, int col, Value& v) {
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

/// Makes the empty table in a file beside the final name and renames it into place, so that a
/// crash never leaves a half-made table under the real name.
void createTableFile(const std::string& path, const TableSchema& schema) {
  std::string tmp = path + ".new";
  ::unlink(tmp.c_str());
  ::unlink((tmp + "-wal").c_str());
  ::unlink((tmp + "-journal").c_str());
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(tmp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::string error;
  if (rc == SQLITE_OK) rc = execOn(db, "PRAGMA journal_mode=WAL");
  if (rc == SQLITE_OK) rc = execOn(db, ("BEGIN;\n" + createSql(schema) + "COMMIT;").c_str());
  if (rc != SQLITE_OK) error = db ? sqlite3_errmsg(db) : "out of memory";
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

// Bulk work keeps more of the table in memory, so that a large transaction is not written out
// page by page before its commit; the ordinary cache comes back when it ends.
constexpr const char* kBulkCache = "PRAGMA cache_size=-65536";
constexpr const char* kNormalCache = "PRAGMA cache_size=-2000";

class SqliteBackend final : public Backend {
 public:
  SqliteBackend(sqlite3* db, std::string path, const TableSchema& schema)
      : db_(db), path_(std::move(path)), schema_(schema) {}

  ~SqliteBackend() override {
    for (sqlite3_stmt* st : {selectRow_, insertRow_, updateRow_, deleteRow_, sortKey_}) sqlite3_finalize(st);
    sqlite3_close(db_);
  }

  void prepareStatements() {
    std::string columns, marks, sets;
    for (int i = 0; i < schema_.fieldCount(); ++i) {
      columns += (i ? ", " : "") + schema_.column(i);
      marks += i ? ", ?" : "?";
      sets += (i ? ", " : "") + schema_.column(i) + " = ?";
    }
    columns_ = columns;
    selectRow_ = prepare("SELECT " + columns + " FROM records WHERE rowid = ?");
    insertRow_ = prepare("INSERT INTO records (" + columns + ") VALUES (" + marks + ")");
    updateRow_ = prepare("UPDATE records SET " + sets + " WHERE rowid = ?");
    deleteRow_ = prepare("DELETE FROM records WHERE rowid = ?");
  }

  const std::string& name() const override { return path_; }
  Dialect dialect() const override { return Dialect::Sqlite; }
  bool shared() const override { return false; }

  void finishOpen(bool keep) override {
    if (!keep) {
      execOn(db_, "ROLLBACK");
      return;
    }
    if (execOn(db_, "COMMIT") != SQLITE_OK) {
      std::string reason = sqlite3_errmsg(db_);
      execOn(db_, "ROLLBACK");
      throw openError(path_, reason);
    }
  }

  std::vector<int64_t> ids(const SqlCondition* where, const Order& order) override {
    std::string sql = "SELECT rowid FROM records" + whereSql(where) + orderSql(order);
    Statement st(*this, sql);
    if (where) bindAll(st, where->values, 1);
    std::vector<int64_t> out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) out.push_back(sqlite3_column_int64(st, 0));
    if (rc != SQLITE_DONE) fail();
    return out;
  }

  bool read(int64_t id, std::vector<Value>& into, int64_t& version) override {
    version = 0;
    into.resize(static_cast<std::size_t>(schema_.fieldCount()));
    sqlite3_reset(selectRow_);
    sqlite3_bind_int64(selectRow_, 1, id);
    int rc = sqlite3_step(selectRow_);
    if (rc == SQLITE_ROW)
      for (int i = 0; i < schema_.fieldCount(); ++i) readInto(selectRow_, i, into[static_cast<std::size_t>(i)]);
    sqlite3_reset(selectRow_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail();
    return rc == SQLITE_ROW;
  }

  void scan(const SqlCondition* where, const Order& order, int64_t offset,
            const std::function<void(const std::vector<Value>&)>& visit) override {
    std::string sql = "SELECT " + columns_ + " FROM records" + whereSql(where) + orderSql(order) +
                      " LIMIT -1 OFFSET " + std::to_string(offset);
    Statement st(*this, sql);
    if (where) bindAll(st, where->values, 1);
    std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      for (int i = 0; i < schema_.fieldCount(); ++i) readInto(st, i, row[static_cast<std::size_t>(i)]);
      visit(row);
    }
    if (rc != SQLITE_DONE) fail();
  }

  std::vector<int64_t> idsContaining(int field, std::string_view bytes) override {
    const std::string& col = schema_.column(field);
    std::string sql = schema_.field(field).type == FieldType::Integer
                          ? "SELECT rowid FROM records WHERE instr(CAST(" + col + " AS BLOB), ?) > 0"
                          : "SELECT rowid FROM records WHERE instr(" + col + ", ?) > 0";
    Statement st(*this, sql);
    sqlite3_bind_blob(st, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    std::vector<int64_t> out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) out.push_back(sqlite3_column_int64(st, 0));
    if (rc != SQLITE_DONE) fail();
    return out;
  }

  std::optional<int64_t> first(const SqlCondition& match, const SqlCondition* where, const Order& order) override {
    std::string sql = "SELECT rowid FROM records WHERE (" + match.sql + ")";
    if (where) sql += " AND (" + where->sql + ")";
    sql += orderSql(order) + " LIMIT 1";
    Statement st(*this, sql);
    bindAll(st, match.values, 1);
    if (where) bindAll(st, where->values, 1 + static_cast<int>(match.values.size()));
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail();
    if (rc != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(st, 0);
  }

  bool passes(int64_t id, const SqlCondition& where) override {
    Statement st(*this, "SELECT 1 FROM records WHERE rowid = ? AND (" + where.sql + ")");
    sqlite3_bind_int64(st, 1, id);
    bindAll(st, where.values, 2);
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail();
    return rc == SQLITE_ROW;
  }

  std::vector<Value> sortKey(int64_t id, const std::vector<SortKey>& keys) override {
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
    sqlite3_bind_int64(sortKey_, 1, id);
    std::vector<Value> key;
    if (sqlite3_step(sortKey_) == SQLITE_ROW) {
      key.resize(keys.size());
      for (std::size_t i = 0; i < keys.size(); ++i) readInto(sortKey_, static_cast<int>(i), key[i]);
    }
    sqlite3_reset(sortKey_);
    return key;
  }

  int64_t count(const SqlCondition* where) override {
    Statement st(*this, "SELECT count(*) FROM records" + whereSql(where));
    if (where) bindAll(st, where->values, 1);
    if (sqlite3_step(st) != SQLITE_ROW) fail();
    return sqlite3_column_int64(st, 0);
  }

  int64_t insert(const std::vector<Value>& values, int64_t& version) override {
    version = 0;
    writeOne(insertRow_, values, 0);
    return sqlite3_last_insert_rowid(db_);
  }

  void insertMany(const std::vector<std::vector<Value>>& rows) override {
    int level = begin();
    try {
      for (const auto& row : rows) writeOne(insertRow_, row, 0);
    } catch (...) {
      rollback(level);
      throw;
    }
    commit(level);
  }

  WriteOutcome update(int64_t id, int64_t, const std::vector<Value>& values, int64_t& version) override {
    version = 0;
    // The file is this seat's alone, so the record is as it was read.
    return writeOne(updateRow_, values, id) ? WriteOutcome::Done : WriteOutcome::Gone;
  }

  WriteOutcome remove(int64_t id, int64_t) override {
    bool changed = false;
    inSavepoint([&] {
      sqlite3_reset(deleteRow_);
      sqlite3_bind_int64(deleteRow_, 1, id);
      int rc = sqlite3_step(deleteRow_);
      sqlite3_reset(deleteRow_);
      if (rc != SQLITE_DONE) return false;
      changed = sqlite3_changes(db_) > 0;
      return true;
    });
    return changed ? WriteOutcome::Done : WriteOutcome::Gone;
  }

  int64_t removeWhere(const SqlCondition* where) override {
    int64_t n = 0;
    inSavepoint([&] {
      Statement st(*this, "DELETE FROM records" + whereSql(where));
      if (where) bindAll(st, where->values, 1);
      if (sqlite3_step(st) != SQLITE_DONE) return false;
      n = sqlite3_changes(db_);
      return true;
    });
    return n;
  }

  void replaceContents(const std::function<void()>& fill) override {
    // The new contents are written into a file of their own beside the table, which then takes
    // the table's place in one rename: the records are written once, with no journal to keep, and
    // the indexes are built once over all of them. Until the rename the table is as it was.
    const std::string fresh = path_ + ".fill";
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((fresh + suffix).c_str());
    sqlite3* newDb = openConnection(fresh, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    std::string tableSql = createSql(schema_);
    tableSql = tableSql.substr(0, tableSql.find(");\n") + 3);
    for (const char* sql : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF",
                            "PRAGMA cache_size=-65536", "PRAGMA temp_store=MEMORY"})
      execOn(newDb, sql);

    sqlite3* oldDb = db_;
    finalizeAll();
    db_ = newDb;
    ++depth_;  // the rows go in without a savepoint each
    try {
      run("BEGIN");
      run(tableSql.c_str());
      prepareStatements();
      fill();
      for (const std::string& statement : indexStatements(schema_)) run(statement.c_str());
      run("COMMIT");
      run("PRAGMA journal_mode=WAL");
      finalizeAll();
      if (sqlite3_close(newDb) != SQLITE_OK) throw openError(fresh, sqlite3_errmsg(newDb));
      newDb = nullptr;
      if (!syncPath(fresh)) throw openError(fresh, std::strerror(errno));
    } catch (...) {
      --depth_;
      finalizeAll();
      if (newDb) sqlite3_close(newDb);
      for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((fresh + suffix).c_str());
      db_ = oldDb;
      prepareStatements();
      throw;
    }
    --depth_;

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
  }

  int begin() override {
    if (execOn(db_, "SAVEPOINT bulk") != SQLITE_OK) fail();
    if (depth_++ == 0) execOn(db_, kBulkCache);
    return depth_;
  }

  void commit(int) override {
    if (execOn(db_, "RELEASE bulk") != SQLITE_OK) fail();
    if (--depth_ == 0) execOn(db_, kNormalCache);
  }

  void rollback(int) override {
    if (--depth_ == 0) execOn(db_, kNormalCache);
    execOn(db_, "ROLLBACK TO bulk");
    execOn(db_, "RELEASE bulk");
  }

 private:
  /// A statement prepared for one use, finalized when it goes out of scope.
  class Statement {
   public:
    Statement(SqliteBackend& backend, const std::string& sql) : st_(backend.prepare(sql)) {}
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    operator sqlite3_stmt*() const { return st_; }

   private:
    sqlite3_stmt* st_;
  };

  void run(const char* sql) {
    if (execOn(db_, sql) != SQLITE_OK) fail();
  }

  void finalizeAll() {
    for (sqlite3_stmt** st : {&selectRow_, &insertRow_, &updateRow_, &deleteRow_, &sortKey_}) {
      sqlite3_finalize(*st);
      *st = nullptr;
    }
    sortKeyFor_.clear();
  }

  sqlite3_stmt* prepare(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) fail();
    return st;
  }

  [[noreturn]] void fail() const {
    throw TableError(sjis::lit("テーブル ") + fileText(path_) + ": " + sjis::fromUtf8Lossy(sqlite3_errmsg(db_)));
  }

  static std::string whereSql(const SqlCondition* where) { return where ? " WHERE " + where->sql : std::string(); }

  std::string orderSql(const Order& order) const {
    std::string sql = " ORDER BY ";
    if (order.keys)
      for (const auto& k : *order.keys) sql += schema_.column(k.field) + (k.descending ? " DESC, " : ", ");
    return sql + (order.tiesDescending ? "rowid DESC" : "rowid");
  }

  /// Runs `step` in a savepoint of its own, so that outside bulk work the write is one committed
  /// transaction, and inside it a failed write leaves the rest of the bulk work standing.
  template <class Step>
  void inSavepoint(Step step) {
    bool outer = depth_ == 0;
    if (execOn(db_, "SAVEPOINT post") != SQLITE_OK) fail();
    bool ok = step();
    if (ok) ok = execOn(db_, "RELEASE post") == SQLITE_OK;
    if (!ok) {
      std::string error = sqlite3_errmsg(db_);
      execOn(db_, outer ? "ROLLBACK" : "ROLLBACK TO post");
      if (!outer) execOn(db_, "RELEASE post");
      throw writeError(path_, error);
    }
  }

  /// Binds the values (and the id of an update) and runs the statement; false when it touched no
  /// record.
  bool writeOne(sqlite3_stmt* st, const std::vector<Value>& values, int64_t id) {
    bool outer = depth_ == 0;
    // Inside bulk work one statement is already undone whole by the engine when it fails, so the
    // savepoint is needed only to make a single post its own committed transaction.
    if (outer && execOn(db_, "SAVEPOINT post") != SQLITE_OK) fail();
    sqlite3_reset(st);
    for (int i = 0; i < schema_.fieldCount(); ++i) bindValue(st, i + 1, values[static_cast<std::size_t>(i)]);
    if (id != 0) sqlite3_bind_int64(st, schema_.fieldCount() + 1, id);
    int rc = sqlite3_step(st);
    std::string error = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
    bool touched = sqlite3_changes(db_) > 0;
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc == SQLITE_DONE && outer) {
      if (execOn(db_, "RELEASE post") != SQLITE_OK) {
        error = sqlite3_errmsg(db_);
        rc = SQLITE_ERROR;
      }
    }
    if (rc != SQLITE_DONE) {
      if (outer) execOn(db_, "ROLLBACK");
      throw writeError(path_, error);
    }
    return touched;
  }

  sqlite3* db_;
  std::string path_;
  const TableSchema& schema_;
  std::string columns_;
  int depth_ = 0;
  sqlite3_stmt* selectRow_ = nullptr;
  sqlite3_stmt* insertRow_ = nullptr;
  sqlite3_stmt* updateRow_ = nullptr;
  sqlite3_stmt* deleteRow_ = nullptr;
  sqlite3_stmt* sortKey_ = nullptr;
  std::string sortKeyFor_;
};

}  // namespace

std::unique_ptr<Backend> openSqliteTableShared(const std::string& directory, const TableSchema& schema) {
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

  // Read by name, the records come out whatever the file's own order of columns.
  auto backend = std::make_unique<SqliteBackend>(db, path, schema);
  try {
    backend->prepareStatements();
  } catch (...) {
    backend->finishOpen(false);
    throw;
  }
  return backend;
}

bool sqliteTableExists(const std::string& directory, const TableSchema& schema) {
  return fileExists(joinPath(directory, schema.fileName()));
}

std::unique_ptr<Backend> openSqliteTable(const std::string& directory, const TableSchema& schema) {
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

  auto backend = std::make_unique<SqliteBackend>(db, path, schema);
  try {
    backend->prepareStatements();
  } catch (...) {
    backend->finishOpen(false);
    throw;
  }
  return backend;
}

}  // namespace vendaro::table

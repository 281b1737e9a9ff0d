#include "platform/table/pg_backend.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <endian.h>
#include <libpq-fe.h>
#include <map>
#include <set>
#include <unistd.h>
#include <utility>

#include "platform/sjis.h"

namespace vendaro::table {
namespace {

// Type numbers of the server's types that the tables use.
constexpr Oid kBytea = 17;
constexpr Oid kInt8 = 20;
constexpr Oid kInt4 = 23;

std::string quoted(const std::string& name) { return "'" + sjis::fromUtf8Lossy(name) + "'"; }

std::string serverText(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return sjis::fromUtf8Lossy(text);
}

/// A SQL identifier in double quotes (inner quotes doubled).
std::string identifier(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

/// Numbers the "?" marks of a condition as $first, $first+1, ..., outside quoted identifiers.
std::string numbered(const std::string& sql, int first) {
  std::string out;
  bool inQuotes = false;
  for (char c : sql) {
    if (c == '"') inQuotes = !inQuotes;
    if (c == '?' && !inQuotes) out += "$" + std::to_string(first++);
    else out += c;
  }
  return out;
}

/// Values bound to one statement, in the server's binary form.
class Params {
 public:
  void addNull(Oid type) { add(type, nullptr, 0); }
  void addInt8(int64_t n) {
    uint64_t be = htobe64(static_cast<uint64_t>(n));
    add(kInt8, reinterpret_cast<const char*>(&be), 8);
  }
  void addInt4(int32_t n) {
    uint32_t be = htobe32(static_cast<uint32_t>(n));
    add(kInt4, reinterpret_cast<const char*>(&be), 4);
  }
  void addBytes(std::string_view bytes) { add(kBytea, bytes.data(), bytes.size()); }
  void addSql(const std::vector<SqlValue>& values) {
    for (const auto& v : values) {
      if (const auto* n = std::get_if<int64_t>(&v)) addInt8(*n);
      else addBytes(std::get<std::string>(v));
    }
  }
  /// A field's value as its column takes it.
  void addValue(const Value& v, FieldType type) {
    Oid oid = type == FieldType::Integer ? kInt4 : kBytea;
    switch (v.kind) {
      case Value::Kind::Null: addNull(oid); break;
      case Value::Kind::Int:
        if (type == FieldType::Integer) addInt4(static_cast<int32_t>(v.integer));
        else addBytes(std::to_string(v.integer));
        break;
      case Value::Kind::Text: addBytes(v.text); break;
    }
  }
  int size() const { return static_cast<int>(types_.size()); }
  const Oid* types() const { return types_.data(); }
  const char* const* values() {
    pointers_.clear();
    for (std::size_t i = 0; i < data_.size(); ++i) pointers_.push_back(null_[i] ? nullptr : data_[i].data());
    return pointers_.data();
  }
  const int* lengths() const { return lengths_.data(); }
  const int* formats() const { return formats_.data(); }

 private:
  void add(Oid type, const char* data, std::size_t n) {
    types_.push_back(type);
    data_.emplace_back(data ? std::string(data, n) : std::string());
    null_.push_back(data == nullptr);
    lengths_.push_back(static_cast<int>(n));
    formats_.push_back(1);
  }
  std::vector<Oid> types_;
  std::vector<std::string> data_;
  std::vector<bool> null_;
  std::vector<int> lengths_;
  std::vector<int> formats_;
  std::vector<const char*> pointers_;
};

/// A result, cleared when it goes out of scope.
class Result {
 public:
  explicit Result(PGresult* r = nullptr) : r_(r) {}
  ~Result() { PQclear(r_); }
  Result(Result&& o) noexcept : r_(std::exchange(o.r_, nullptr)) {}
  Result& operator=(Result&& o) noexcept {
    std::swap(r_, o.r_);
    return *this;
  }
  PGresult* get() const { return r_; }
  int rows() const { return PQntuples(r_); }
  bool null(int row, int col) const { return PQgetisnull(r_, row, col) != 0; }
  int64_t int8(int row, int col) const {
    uint64_t be;
    std::memcpy(&be, PQgetvalue(r_, row, col), 8);
    return static_cast<int64_t>(be64toh(be));
  }
  /// A column of a field, read into a value in place.
  void readInto(int row, int col, FieldType type, Value& v) const {
    if (null(row, col)) {
      v.kind = Value::Kind::Null;
      v.integer = 0;
      v.text.clear();
    } else if (type == FieldType::Integer) {
      uint32_t be;
      std::memcpy(&be, PQgetvalue(r_, row, col), 4);
      v.kind = Value::Kind::Int;
      v.integer = static_cast<int32_t>(be32toh(be));
      v.text.clear();
    } else {
      v.kind = Value::Kind::Text;
      v.integer = 0;
      v.text.assign(PQgetvalue(r_, row, col), static_cast<std::size_t>(PQgetlength(r_, row, col)));
    }
  }

 private:
  PGresult* r_;
};

/// The refusal of a connection string that holds a password, which would then sit in the
/// program directory or the environment; libpq reads it from ~/.pgpass or the service file.
void refusePassword(const std::string& location) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(location.c_str(), &error);
  if (!options) {
    std::string reason = error ? error : "";
    PQfreemem(error);
    throw TableError(sjis::lit("データベースの接続先が正しくありません: ") + serverText(reason.c_str()));
  }
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword; ++o)
    if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val) password = true;
  PQconninfoFree(options);
  if (password)
    throw TableError(sjis::lit("データベースの接続先にパスワードを書くことはできません。"
                               "パスワードは ~/.pgpass またはサービスファイルに置いてください"));
}

/// One connection to a database, shared by every table of it that this process has open, with
/// the levels of bulk work open on it.
class Connection {
 public:
  /// The connection of this process to the database, made when there is none.
  static std::shared_ptr<Connection> to(const std::string& location, const std::string& table) {
    static std::map<std::string, std::weak_ptr<Connection>> open;
    // A forked process must not talk over its parent's socket: it makes its own connection.
    const std::string key = std::to_string(::getpid()) + " " + location;
    if (auto existing = open[key].lock()) return existing;
    refusePassword(location);
    std::shared_ptr<Connection> made(new Connection(PQconnectdb(location.c_str()), table));
    open[key] = made;
    return made;
  }

  ~Connection() { PQfinish(conn_); }

  /// Runs a statement with binary values and binary results. Throws with the server's message.
  Result run(const std::string& name, const std::string& sql, Params& params) {
    revive();
    PGresult* r = PQexecParams(conn_, sql.c_str(), params.size(), params.types(), params.values(), params.lengths(),
                               params.formats(), 1);
    return check(r, name);
  }

  /// Runs a statement prepared once per connection under a name of its own.
  Result runPrepared(const std::string& name, const std::string& key, const std::string& sql, Params& params) {
    revive();
    if (!prepared_.count(key)) {
      check(PQprepare(conn_, key.c_str(), sql.c_str(), params.size(), params.types()), name);
      prepared_.insert(key);
    }
    PGresult* r = PQexecPrepared(conn_, key.c_str(), params.size(), params.values(), params.lengths(),
                                 params.formats(), 1);
    return check(r, name);
  }

  Result run(const std::string& name, const std::string& sql) {
    Params none;
    return run(name, sql, none);
  }

  /// Runs several statements that bind nothing, such as the making of a table and its indexes.
  void script(const std::string& name, const std::string& sql) {
    revive();
    check(PQexec(conn_, sql.c_str()), name);
  }

  /// A name for a prepared statement, unique on this connection.
  std::string statementName() { return "s" + std::to_string(++statements_); }

  int begin(const std::string& name) {
    int level = static_cast<int>(levels_.size());
    run(name, level == 0 ? "BEGIN" : "SAVEPOINT l" + std::to_string(level));
    levels_.push_back(false);
    return level;
  }

  void commit(int level, const std::string& name) {
    if (level < 0 || level >= static_cast<int>(levels_.size())) return;
    levels_[static_cast<std::size_t>(level)] = true;
    // A level lands when every level opened after it has ended: the innermost committed levels
    // are released, and the outermost commits the whole.
    while (!levels_.empty() && levels_.back()) {
      int top = static_cast<int>(levels_.size()) - 1;
      levels_.pop_back();
      if (top > 0) {
        run(name, "RELEASE SAVEPOINT l" + std::to_string(top));
      } else {
        Result r = run(name, "COMMIT");
        // A transaction that failed on the way answers COMMIT with a roll-back.
        if (std::strcmp(PQcmdStatus(r.get()), "COMMIT") != 0)
          throw TableError(sjis::lit("テーブル ") + quoted(name) + sjis::lit(" に書き込めません: ") +
                           sjis::lit("途中で失敗したため、まとめて取り消しました"));
      }
    }
  }

  void rollback(int level) {
    if (level < 0 || level >= static_cast<int>(levels_.size())) return;
    levels_.resize(static_cast<std::size_t>(level));
    if (level == 0) {
      PQclear(PQexec(conn_, "ROLLBACK"));
    } else {
      const std::string savepoint = "l" + std::to_string(level);
      PQclear(PQexec(conn_, ("ROLLBACK TO SAVEPOINT " + savepoint).c_str()));
      PQclear(PQexec(conn_, ("RELEASE SAVEPOINT " + savepoint).c_str()));
    }
  }

  bool inTransaction() const { return !levels_.empty(); }

 private:
  Connection(PGconn* conn, const std::string& table) : conn_(conn) {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
      std::string reason = conn_ ? serverText(PQerrorMessage(conn_)) : std::string("out of memory");
      PQfinish(conn_);
      conn_ = nullptr;
      throw TableError(sjis::lit("テーブル ") + quoted(table) + sjis::lit(" を開けません: ") + reason);
    }
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    // Names of tables and fields travel as UTF-8; the records themselves are bytes.
    run(table, "SET client_encoding = 'UTF8'");
  }

  /// After the server went away (restarted, or the network broke), the next statement outside
  /// bulk work connects again; inside bulk work the failure stands, and the work is rolled back.
  void revive() {
    if (PQstatus(conn_) == CONNECTION_OK || !levels_.empty()) return;
    PQreset(conn_);
    prepared_.clear();
    if (PQstatus(conn_) == CONNECTION_OK) PQclear(PQexec(conn_, "SET client_encoding = 'UTF8'"));
  }

  Result check(PGresult* r, const std::string& name) {
    ExecStatusType status = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return Result(r);
    std::string reason = serverText(r ? PQresultErrorMessage(r) : PQerrorMessage(conn_));
    if (reason.empty()) reason = serverText(PQerrorMessage(conn_));
    PQclear(r);
    throw TableError(sjis::lit("テーブル ") + quoted(name) + ": " + reason);
  }

  PGconn* conn_;
  std::set<std::string> prepared_;
  std::vector<bool> levels_;  // per open level: committed, waiting for the levels inside it
  int statements_ = 0;
};

class PostgresBackend final : public Backend {
 public:
  PostgresBackend(std::shared_ptr<Connection> connection, const TableSchema& schema)
      : db_(std::move(connection)), schema_(schema), name_(schema.fileName()),
        table_(identifier(schema.fileName())) {
    for (int i = 0; i < schema_.fieldCount(); ++i) {
      columns_ += (i ? ", " : "") + schema_.column(i);
    }
    std::string marks, sets;
    for (int i = 0; i < schema_.fieldCount(); ++i) {
      marks += (i ? ", $" : "$") + std::to_string(i + 1);
      sets += (i ? ", " : "") + schema_.column(i) + " = $" + std::to_string(i + 1);
    }
    const std::string n = std::to_string(schema_.fieldCount());
    readSql_ = "SELECT ver, " + columns_ + " FROM " + table_ + " WHERE rid = $1";
    insertSql_ = "INSERT INTO " + table_ + " (" + columns_ + ") VALUES (" + marks + ") RETURNING rid, ver";
    updateSql_ = "UPDATE " + table_ + " SET " + sets + ", ver = ver + 1 WHERE rid = $" +
                 std::to_string(schema_.fieldCount() + 1) + " AND ver = $" + std::to_string(schema_.fieldCount() + 2) +
                 " RETURNING ver";
    deleteSql_ = "DELETE FROM " + table_ + " WHERE rid = $1 AND ver = $2";
    existsSql_ = "SELECT 1 FROM " + table_ + " WHERE rid = $1";
    readName_ = db_->statementName();
    insertName_ = db_->statementName();
    updateName_ = db_->statementName();
    deleteName_ = db_->statementName();
    existsName_ = db_->statementName();
  }

  /// Creates the table when it is missing, then checks that it has this schema's fields.
  void prepareTable() {
    if (!exists()) {
      // Two seats starting at once on a new book: the lock lets one of them make the table.
      int level = db_->begin(name_);
      try {
        Params p;
        p.addBytes(schema_.fileName());
        db_->run(name_, "SELECT pg_advisory_xact_lock(hashtext(convert_from($1, 'UTF8')))", p);
        if (!exists()) db_->script(name_, createSql());
        db_->commit(level, name_);
      } catch (...) {
        db_->rollback(level);
        throw;
      }
    }
    if (!matchesSchema())
      throw TableError(sjis::lit("テーブル ") + quoted(name_) + sjis::lit(" は有効なテーブルではありません"));
  }

  bool exists() {
    Params p;
    p.addBytes(schema_.fileName());
    Result r = db_->run(name_,
                        "SELECT 1 FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
                        "AND tablename = convert_from($1, 'UTF8')",
                        p);
    return r.rows() > 0;
  }

  const std::string& name() const override { return name_; }
  Dialect dialect() const override { return Dialect::Postgres; }
  bool shared() const override { return true; }
  void finishOpen(bool) override {}

  std::vector<int64_t> ids(const SqlCondition* where, const Order& order) override {
    flush();
    Params p;
    if (where) p.addSql(where->values);
    Result r = db_->run(name_, "SELECT rid FROM " + table_ + whereSql(where, 1) + orderSql(order), p);
    std::vector<int64_t> out(static_cast<std::size_t>(r.rows()));
    for (int i = 0; i < r.rows(); ++i) out[static_cast<std::size_t>(i)] = r.int8(i, 0);
    return out;
  }

  bool read(int64_t id, std::vector<Value>& into, int64_t& version) override {
    flush();
    Params p;
    p.addInt8(id);
    Result r = db_->runPrepared(name_, readName_, readSql_, p);
    into.resize(static_cast<std::size_t>(schema_.fieldCount()));
    if (r.rows() == 0) {
      version = 0;
      return false;
    }
    version = r.int8(0, 0);
    for (int i = 0; i < schema_.fieldCount(); ++i)
      r.readInto(0, i + 1, schema_.field(i).type, into[static_cast<std::size_t>(i)]);
    return true;
  }

  void scan(const SqlCondition* where, const Order& order, int64_t offset,
            const std::function<void(const std::vector<Value>&)>& visit) override {
    flush();
    // A cursor on the server hands the records over in batches, all from one snapshot, so that a
    // whole table is never held in memory at once.
    int level = db_->begin(name_);
    try {
      Params p;
      if (where) p.addSql(where->values);
      const std::string cursor = "scan" + std::to_string(level);
      db_->run(name_,
               "DECLARE " + cursor + " NO SCROLL CURSOR FOR SELECT " + columns_ + " FROM " + table_ +
                   whereSql(where, 1) + orderSql(order) + " OFFSET " + std::to_string(offset),
               p);
      std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
      for (;;) {
        Result r = db_->run(name_, "FETCH 2000 FROM " + cursor);
        for (int k = 0; k < r.rows(); ++k) {
          for (int i = 0; i < schema_.fieldCount(); ++i)
            r.readInto(k, i, schema_.field(i).type, row[static_cast<std::size_t>(i)]);
          visit(row);
        }
        if (r.rows() == 0) break;
      }
      db_->run(name_, "CLOSE " + cursor);
      db_->commit(level, name_);
    } catch (...) {
      db_->rollback(level);
      throw;
    }
  }

  std::vector<int64_t> idsContaining(int field, std::string_view bytes) override {
    flush();
    const std::string& col = schema_.column(field);
    Params p;
    p.addBytes(bytes);
    std::string sql = schema_.field(field).type == FieldType::Integer
                          ? "SELECT rid FROM " + table_ + " WHERE position($1 in convert_to(CAST(" + col +
                                " AS text), 'UTF8')) > 0"
                          : "SELECT rid FROM " + table_ + " WHERE position($1 in " + col + ") > 0";
    Result r = db_->run(name_, sql, p);
    std::vector<int64_t> out;
    for (int i = 0; i < r.rows(); ++i) out.push_back(r.int8(i, 0));
    return out;
  }

  std::optional<int64_t> first(const SqlCondition& match, const SqlCondition* where, const Order& order) override {
    flush();
    Params p;
    p.addSql(match.values);
    std::string sql = "SELECT rid FROM " + table_ + " WHERE (" + numbered(match.sql, 1) + ")";
    if (where) {
      sql += " AND (" + numbered(where->sql, 1 + static_cast<int>(match.values.size())) + ")";
      p.addSql(where->values);
    }
    Result r = db_->run(name_, sql + orderSql(order) + " LIMIT 1", p);
    if (r.rows() == 0) return std::nullopt;
    return r.int8(0, 0);
  }

  bool passes(int64_t id, const SqlCondition& where) override {
    flush();
    Params p;
    p.addInt8(id);
    p.addSql(where.values);
    Result r = db_->run(name_, "SELECT 1 FROM " + table_ + " WHERE rid = $1 AND (" + numbered(where.sql, 2) + ")", p);
    return r.rows() > 0;
  }

  std::vector<Value> sortKey(int64_t id, const std::vector<SortKey>& keys) override {
    flush();
    if (keys.empty()) return {};
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < keys.size(); ++i) sql += (i ? ", " : "") + schema_.column(keys[i].field);
    sql += " FROM " + table_ + " WHERE rid = $1";
    auto& name = sortKeyNames_[sql];
    if (name.empty()) name = db_->statementName();
    Params p;
    p.addInt8(id);
    Result r = db_->runPrepared(name_, name, sql, p);
    std::vector<Value> key;
    if (r.rows() > 0) {
      key.resize(keys.size());
      for (std::size_t i = 0; i < keys.size(); ++i)
        r.readInto(0, static_cast<int>(i), schema_.field(keys[i].field).type, key[i]);
    }
    return key;
  }

  int64_t count(const SqlCondition* where) override {
    flush();
    Params p;
    if (where) p.addSql(where->values);
    Result r = db_->run(name_, "SELECT count(*) FROM " + table_ + whereSql(where, 1), p);
    return r.int8(0, 0);
  }

  int64_t insert(const std::vector<Value>& values, int64_t& version) override {
    if (bulk_ > 0) {
      // Bulk work (a restore, an import) writes its new records many to a statement: each takes
      // its id from the table's sequence now, and the records go to the server before anything
      // else is asked of this table, and at the latest when the bulk work ends.
      if (freeIds_.empty()) takeIds();
      int64_t id = freeIds_.back();
      freeIds_.pop_back();
      pending_.emplace_back(id, values);
      version = 1;
      if (pending_.size() >= rowsPerStatement()) flush();
      return id;
    }
    Params p;
    addRecord(p, values);
    Result r = db_->runPrepared(name_, insertName_, insertSql_, p);
    version = r.int8(0, 1);
    return r.int8(0, 0);
  }

  void insertMany(const std::vector<std::vector<Value>>& rows) override {
    flush();
    int level = db_->begin(name_);
    try {
      for (std::size_t start = 0; start < rows.size(); start += rowsPerStatement()) {
        std::size_t end = std::min(rows.size(), start + rowsPerStatement());
        std::string sql = "INSERT INTO " + table_ + " (" + columns_ + ") VALUES ";
        Params p;
        int mark = 1;
        for (std::size_t k = start; k < end; ++k) {
          sql += k == start ? "(" : ", (";
          for (int i = 0; i < schema_.fieldCount(); ++i) sql += (i ? ", $" : "$") + std::to_string(mark++);
          sql += ")";
          addRecord(p, rows[k]);
        }
        db_->run(name_, sql, p);
      }
      db_->commit(level, name_);
    } catch (...) {
      db_->rollback(level);
      throw;
    }
  }

  WriteOutcome update(int64_t id, int64_t expected, const std::vector<Value>& values, int64_t& version) override {
    flush();
    Params p;
    addRecord(p, values);
    p.addInt8(id);
    p.addInt8(expected);
    Result r = db_->runPrepared(name_, updateName_, updateSql_, p);
    if (r.rows() > 0) {
      version = r.int8(0, 0);
      return WriteOutcome::Done;
    }
    return stillThere(id) ? WriteOutcome::Changed : WriteOutcome::Gone;
  }

  WriteOutcome remove(int64_t id, int64_t expected) override {
    flush();
    Params p;
    p.addInt8(id);
    p.addInt8(expected);
    Result r = db_->runPrepared(name_, deleteName_, deleteSql_, p);
    if (std::strcmp(PQcmdTuples(r.get()), "0") != 0) return WriteOutcome::Done;
    return stillThere(id) ? WriteOutcome::Changed : WriteOutcome::Gone;
  }

  int64_t removeWhere(const SqlCondition* where) override {
    flush();
    Params p;
    if (where) p.addSql(where->values);
    Result r = db_->run(name_, "DELETE FROM " + table_ + whereSql(where, 1), p);
    return std::atoll(PQcmdTuples(r.get()));
  }

  void replaceContents(const std::function<void()>& fill) override {
    // One transaction: the other seats see the old records until it commits, then the new ones.
    int level = begin();
    try {
      removeWhere(nullptr);
      fill();
      commit(level);
    } catch (...) {
      if (bulk_ > 0) rollback(level);
      throw;
    }
  }

  int begin() override {
    flush();
    int level = db_->begin(name_);
    ++bulk_;
    return level;
  }
  void commit(int level) override {
    --bulk_;
    try {
      flush();
    } catch (...) {
      pending_.clear();
      throw;
    }
    if (bulk_ == 0) freeIds_.clear();
    db_->commit(level, name_);
  }
  void rollback(int level) override {
    --bulk_;
    pending_.clear();
    if (bulk_ == 0) freeIds_.clear();
    db_->rollback(level);
  }

 private:
  static std::string whereSql(const SqlCondition* where, int first) {
    return where ? " WHERE " + numbered(where->sql, first) : std::string();
  }

  /// The order as the embedded engine has it: an empty field before every value going up, after
  /// every value going down; ties in entry order.
  std::string orderSql(const Order& order) const {
    std::string sql = " ORDER BY ";
    if (order.keys)
      for (const auto& k : *order.keys)
        sql += schema_.column(k.field) + (k.descending ? " DESC NULLS LAST, " : " ASC NULLS FIRST, ");
    return sql + (order.tiesDescending ? "rid DESC" : "rid");
  }

  void addRecord(Params& p, const std::vector<Value>& values) const {
    for (int i = 0; i < schema_.fieldCount(); ++i)
      p.addValue(values[static_cast<std::size_t>(i)], schema_.field(i).type);
  }

  /// The server takes at most 65535 bound values in one statement.
  std::size_t rowsPerStatement() const {
    return std::max<std::size_t>(1, 30000 / static_cast<std::size_t>(schema_.fieldCount() + 1));
  }

  /// Ids for the next new records of bulk work, from the table's own sequence (in the order it
  /// gives them, so that entry order holds).
  void takeIds() {
    Params p;
    p.addBytes(table_);
    Result r = db_->run(name_,
                        "SELECT nextval(pg_get_serial_sequence(convert_from($1, 'UTF8'), 'rid')) "
                        "FROM generate_series(1, " + std::to_string(rowsPerStatement()) + ")",
                        p);
    for (int i = r.rows() - 1; i >= 0; --i) freeIds_.push_back(r.int8(i, 0));
  }

  /// Sends the new records bulk work holds back.
  void flush() {
    if (pending_.empty()) return;
    std::string sql = "INSERT INTO " + table_ + " (rid, " + columns_ + ") VALUES ";
    Params p;
    int mark = 1;
    for (std::size_t k = 0; k < pending_.size(); ++k) {
      sql += k == 0 ? "(" : ", (";
      for (int i = 0; i <= schema_.fieldCount(); ++i) sql += (i ? ", $" : "$") + std::to_string(mark++);
      sql += ")";
      p.addInt8(pending_[k].first);
      addRecord(p, pending_[k].second);
    }
    pending_.clear();
    db_->run(name_, sql, p);
  }

  bool stillThere(int64_t id) {
    Params p;
    p.addInt8(id);
    return db_->runPrepared(name_, existsName_, existsSql_, p).rows() > 0;
  }

  std::string createSql() const {
    std::string sql = "CREATE TABLE " + table_ + " (rid bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                      "ver bigint NOT NULL DEFAULT 1";
    for (int i = 0; i < schema_.fieldCount(); ++i)
      sql += ", " + schema_.column(i) + (schema_.field(i).type == FieldType::Integer ? " integer" : " bytea");
    sql += ");";
    int n = 0;
    // Each index ends with the entry order of ties, so that it gives the whole order (read
    // backwards, the reverse order too).
    auto keyList = [&](const std::vector<SortKey>& keys, bool tiesDescending) {
      std::string list;
      for (const auto& k : keys)
        list += (list.empty() ? "" : ", ") + schema_.column(k.field) + (k.descending ? " DESC NULLS LAST" : " ASC NULLS FIRST");
      return list + (tiesDescending ? ", rid DESC" : ", rid");
    };
    auto index = [&](const std::string& columns) {
      return "CREATE INDEX " + identifier(schema_.fileName() + " ix" + std::to_string(n++)) + " ON " + table_ + " (" +
             columns + ");";
    };
    if (!schema_.naturalOrder().empty()) sql += index(keyList(schema_.naturalOrder(), false));
    for (const auto& ix : schema_.indexes())
      if (!ix.keys.empty()) sql += index(keyList(ix.keys, ix.tiesDescending));
    for (int f : schema_.searchFields()) sql += index(schema_.column(f));
    return sql;
  }

  bool matchesSchema() {
    Params p;
    p.addBytes(table_);
    Result r = db_->run(name_,
                        "SELECT convert_to(attname::text, 'UTF8'), convert_to(format_type(atttypid, atttypmod), 'UTF8') "
                        "FROM pg_catalog.pg_attribute WHERE attrelid = convert_from($1, 'UTF8')::regclass "
                        "AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
                        p);
    if (r.rows() != schema_.fieldCount() + 2) return false;
    auto text = [&](int row, int col) {
      return std::string(PQgetvalue(r.get(), row, col), static_cast<std::size_t>(PQgetlength(r.get(), row, col)));
    };
    if (text(0, 0) != "rid" || text(0, 1) != "bigint" || text(1, 0) != "ver" || text(1, 1) != "bigint") return false;
    for (int i = 0; i < schema_.fieldCount(); ++i) {
      if (text(i + 2, 0) != sjis::toUtf8(schema_.field(i).name)) return false;
      if (text(i + 2, 1) != (schema_.field(i).type == FieldType::Integer ? "integer" : "bytea")) return false;
    }
    return true;
  }

  std::shared_ptr<Connection> db_;
  const TableSchema& schema_;
  std::string name_;
  std::string table_;
  std::string columns_;
  std::string readSql_, insertSql_, updateSql_, deleteSql_, existsSql_;
  std::string readName_, insertName_, updateName_, deleteName_, existsName_;
  std::map<std::string, std::string> sortKeyNames_;
  int bulk_ = 0;                                                 // levels of bulk work open
  std::vector<std::pair<int64_t, std::vector<Value>>> pending_;  // new records not yet sent
  std::vector<int64_t> freeIds_;                                 // ids taken for new records
};

}  // namespace

std::unique_ptr<Backend> openPostgresTable(const std::string& location, const TableSchema& schema) {
  auto backend = std::make_unique<PostgresBackend>(Connection::to(location, schema.fileName()), schema);
  backend->prepareTable();
  return backend;
}

std::unique_ptr<Backend> openPostgresTableShared(const std::string& location, const TableSchema& schema) {
  if (!postgresTableExists(location, schema))
    throw TableError(sjis::lit("テーブル '") + schema.fileName() + sjis::lit("' が見つかりません"));
  return openPostgresTable(location, schema);
}

bool postgresTableExists(const std::string& location, const TableSchema& schema) {
  PostgresBackend backend(Connection::to(location, schema.fileName()), schema);
  return backend.exists();
}

}  // namespace vendaro::table

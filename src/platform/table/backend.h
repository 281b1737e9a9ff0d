#pragma once
// Where a table's records are kept. The cursor does every operation of the table engine once, in
// terms of this small interface; a backend only stores, finds and orders records.
//
// Two homes exist: a SQLite file in a directory (the embedded default, one seat) and a table in a
// PostgreSQL database (the shared book of several seats). Both keep text as bytes, so comparisons
// and orders are byte comparisons, integers as 32-bit numbers and the empty field as NULL.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/filter.h"
#include "platform/table/schema.h"

namespace vendaro::table {

/// One stored value: empty (NULL), an integer or a text of CP932 bytes.
struct Value {
  enum class Kind { Null, Int, Text };
  Kind kind = Kind::Null;
  int64_t integer = 0;
  std::string text;
  bool isNull() const { return kind == Kind::Null; }
};

/// An order: keys, then entry order (ascending or descending) for ties. No keys is entry order.
struct Order {
  const std::vector<SortKey>* keys = nullptr;
  bool tiesDescending = false;
};

/// A record as stored: its values and the version it had when it was read. A record's version
/// changes with every write, so a seat can tell that another seat wrote it meanwhile.
struct StoredRow {
  std::vector<Value> values;
  int64_t version = 0;
};

/// What became of a write that names the version it expects.
enum class WriteOutcome {
  Done,
  Changed,  ///< another seat wrote the record since it was read: nothing written
  Gone,     ///< another seat deleted the record: nothing written
};

class Backend {
 public:
  virtual ~Backend() = default;

  /// The table as messages name it: its file, or its name in the database.
  virtual const std::string& name() const = 0;
  /// The filter dialect this backend's SQL is written in.
  virtual Dialect dialect() const = 0;
  /// True when other seats may change the table while it is open, so that the cursor must check
  /// versions and can meet records that vanished.
  virtual bool shared() const = 0;

  /// Ends the opening: everything read since open() was read in one piece. `keep` false means the
  /// opening is refused, and the backend leaves the table as it was.
  virtual void finishOpen(bool keep) = 0;

  /// The ids of the records that pass `where` (null: all), in the order.
  virtual std::vector<int64_t> ids(const SqlCondition* where, const Order& order) = 0;
  /// Reads one record into `into` (values reused in place); false when there is no such record.
  virtual bool read(int64_t id, std::vector<Value>& into, int64_t& version) = 0;
  /// Hands every record that passes `where`, in the order, from the `offset`-th (0-based) on.
  virtual void scan(const SqlCondition* where, const Order& order, int64_t offset,
                    const std::function<void(const std::vector<Value>&)>& visit) = 0;
  /// The ids of the records whose field, read as text, contains the bytes.
  virtual std::vector<int64_t> idsContaining(int field, std::string_view bytes) = 0;
  /// The first record, in the order, that passes both conditions.
  virtual std::optional<int64_t> first(const SqlCondition& match, const SqlCondition* where, const Order& order) = 0;
  /// True when the record passes the condition.
  virtual bool passes(int64_t id, const SqlCondition& where) = 0;
  /// The values of the order's keys for one record (empty when it is gone).
  virtual std::vector<Value> sortKey(int64_t id, const std::vector<SortKey>& keys) = 0;
  /// Records that pass `where` (null: all).
  virtual int64_t count(const SqlCondition* where) = 0;

  /// Writes a new record; returns its id and sets its version.
  virtual int64_t insert(const std::vector<Value>& values, int64_t& version) = 0;
  /// Writes many new records in entry order (for copying a whole table).
  virtual void insertMany(const std::vector<std::vector<Value>>& rows) = 0;
  /// Rewrites a record if it still has the version; sets the new version.
  virtual WriteOutcome update(int64_t id, int64_t expected, const std::vector<Value>& values, int64_t& version) = 0;
  /// Deletes a record if it still has the version.
  virtual WriteOutcome remove(int64_t id, int64_t expected) = 0;
  /// Deletes every record that passes `where` (null: all); returns how many.
  virtual int64_t removeWhere(const SqlCondition* where) = 0;

  /// Replaces every record with those `fill` writes through insert, in one piece: when `fill`
  /// throws, the table is as it was. Not inside bulk work.
  virtual void replaceContents(const std::function<void()>& fill) = 0;

  /// Bulk work: writes between begin and commit land together or not at all. They nest, also
  /// across the tables of one database: begin returns the level that commit and rollback name.
  /// A commit lands when every level opened after it has ended too.
  virtual int begin() = 0;
  virtual void commit(int level) = 0;
  virtual void rollback(int level) = 0;
};

/// "テーブル '<name>' に書き込めません: <reason>".
TableError writeError(const std::string& name, std::string_view reasonUtf8);

}  // namespace vendaro::table

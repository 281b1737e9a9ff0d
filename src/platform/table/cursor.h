#pragma once
// A cursor on one table: the records visible through the current filter, in the current order,
// with one current record and a record buffer for editing.
//
// The table lives in one of two homes (backend.h): a SQLite file in the CARDATA directory, held
// with an exclusive lock while it is open, or a table of a PostgreSQL database that several seats
// share. The view is the list of record ids in the current order and filter; the current record is
// read on demand. A post is one committed transaction and returns only after the commit.
//
// On a shared table every record carries a version. A post or delete of a record that another
// seat wrote since this cursor read it is refused with RecordConflict, and the edit stays. A
// record another seat deleted is passed over when the cursor meets it (vanishedRecords counts
// them, so that a window can say so).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/backend.h"
#include "platform/table/filter.h"
#include "platform/table/schema.h"

namespace vendaro::table {

class Transaction;

class Cursor {
 public:
  enum class State { Browse, Edit, Insert };
  using Hook = std::function<void(Cursor&)>;

  /// Opens the table in `location`, the place CARDATA names: a directory, whose file of the
  /// table is created empty (fields and indexes) when it is missing, or a database connection
  /// (isDatabaseLocation), whose table is created the same way. Throws TableError naming the table
  /// when it is not a table of this schema, cannot be opened, or (a file) is in use by another
  /// process; such a table is left unchanged. The cursor stands on the first record of the natural
  /// order.
  static std::unique_ptr<Cursor> open(const std::string& location, const TableSchema& schema);
  /// Opens a table that another program owns, for reading only: a file without holding its lock,
  /// so that its owner can go on reading and writing it meanwhile, its fields found by name among
  /// the file's columns whatever their order and whatever other columns it has; or the table of
  /// that name in the database. Never creates it: a missing one throws TableError naming it, a
  /// missing field fieldNotFound. Writing through the cursor fails with TableError.
  static std::unique_ptr<Cursor> openShared(const std::string& location, const TableSchema& schema);
  ~Cursor();
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  const TableSchema& schema() const { return schema_; }
  /// The table as messages name it: its file, or its name in the database.
  const std::string& path() const { return backend_->name(); }
  /// True when other seats may change the table while this cursor has it open.
  bool shared() const { return backend_->shared(); }
  /// How many records the cursor found deleted by another seat since the last call (it passed
  /// over them to the next record); resets the count.
  int takeVanishedRecords();

  // Moving. Each move first saves a pending edit (or drops an unchanged one).
  void first();
  void last();
  void next();
  void prior();
  /// True after moving past the last record (and for an empty view).
  bool eof() const { return eof_; }
  /// True after moving before the first record (and for an empty view).
  bool bof() const { return bof_; }
  /// Records visible through the filter.
  int recordCount();
  /// 1-based number of the current record in the view; 0 when the view is empty.
  int recNo();
  /// Moves to record n of the view (held within 1..count).
  void setRecNo(int n);
  bool isEmpty() { return recordCount() == 0; }

  // Fields by exact name (CP932) or number (0-based). A name the table lacks throws fieldNotFound.
  int fieldIndex(std::string_view name) const;
  std::string text(std::string_view field) const { return text(fieldIndex(field)); }
  std::string text(int field) const;
  int32_t integer(std::string_view field) const { return integer(fieldIndex(field)); }
  int32_t integer(int field) const;
  bool isNull(std::string_view field) const { return isNull(fieldIndex(field)); }
  bool isNull(int field) const;
  /// Writes a field of the record being edited. Empty text empties the field; an integer field
  /// takes only a whole number in the signed 32-bit range (else notAnIntegerFor).
  void setText(std::string_view field, std::string_view value) { setText(fieldIndex(field), value); }
  void setText(int field, std::string_view value);
  void setInteger(std::string_view field, int32_t value) { setInteger(fieldIndex(field), value); }
  void setInteger(int field, int32_t value);
  void clear(int field);
  /// The values of the current record (or the record buffer while editing).
  const std::vector<Value>& values() const;

  // Editing.
  State state() const { return state_; }
  /// True when a field was written since edit, insert or append.
  bool modified() const { return modified_; }
  /// Starts editing the current record; on an empty view it appends a new record instead.
  void edit();
  /// Starts a new empty record at the end.
  void append();
  /// Starts a new empty record at the current position (it takes its place in the order on post).
  void insert();
  /// Runs the before-post hook, writes the record and commits, then runs the after-post hook. The
  /// cursor stands on the written record if the filter lets it through. Browse state: nothing.
  void post();
  /// Drops the record buffer. On a shared table the current record is read again, so that what
  /// another seat stored shows.
  void cancel();
  /// Deletes the current record (the one after it becomes current). In insert state: cancel.
  void remove();
  /// Deletes every record of the view (those the filter lets through, or all) in one statement;
  /// the same as deleting from the first record until none is left. Returns how many were deleted.
  int removeAll();
  /// Appends a whole record from values in field order (text; nothing leaves a field empty) and
  /// posts it.
  void appendRecord(const std::vector<std::optional<std::string>>& values);
  /// Replaces every record of the table with those that `fill` appends, in one transaction: the
  /// table is as it was when `fill` throws. A table file gets its indexes built once after
  /// `fill`. Afterwards the cursor stands on the first record.
  void replaceAll(const std::function<void()>& fill);
  /// Appends a whole record of texts in field order (`count` of them; an empty text leaves its
  /// field empty) straight to the table, for bulk work inside a Transaction on a table without
  /// hooks: no record buffer and no hooks; the view is read again when next needed.
  void appendTexts(const std::string_view* values, std::size_t count);
  /// Saves a pending edit if anything was written, else drops it.
  void checkBrowseMode();

  Hook beforePost;
  Hook afterPost;
  Hook afterScroll;

  // Filter and order.
  void setFilter(std::string_view text);
  const std::string& filter() const { return filterText_; }
  void setFiltered(bool on);
  bool filtered() const { return filtered_; }
  /// Switches to the named index, or to the natural order for the empty name. Keeps the current
  /// record. Throws TableError for an index the table does not have.
  void setIndex(std::string_view name);
  const std::string& indexName() const { return indexName_; }
  /// Moves to the first record of the view whose field starts with `prefix`; false (and no move)
  /// when there is none.
  bool locate(std::string_view field, std::string_view prefix);

  // What list views need, per field: display width in characters, visibility, and column position
  // (0-based place among the columns; every field is a column).
  int displayWidth(int field) const { return columns_.at(static_cast<std::size_t>(field)).width; }
  void setDisplayWidth(int field, int width) { columns_.at(static_cast<std::size_t>(field)).width = width; }
  bool visible(int field) const { return columns_.at(static_cast<std::size_t>(field)).visible; }
  void setVisible(int field, bool on) { columns_.at(static_cast<std::size_t>(field)).visible = on; }
  /// Field numbers in column order.
  const std::vector<int>& columnOrder() const { return columnOrder_; }
  int columnPosition(int field) const;
  /// Moves a field's column to position `pos` (held within range).
  void moveColumn(int field, int pos);
  /// The field's ordinal number (1-based, its place in the table).
  int fieldNo(std::string_view name) const { return fieldIndex(name) + 1; }

  /// The number of the first record of the view, from record `from` onwards (or backwards), whose
  /// field read as text contains `bytes` as a byte sequence; 0 when there is none. Does not move.
  int findContaining(int field, std::string_view bytes, int from, bool forward);

  /// Hands the stored values of every record of the view from record `from` to the end to `visit`,
  /// in view order, reading them with one query (for work over a whole view, such as a backup).
  /// Does not move.
  void scanView(int from, const std::function<void(const std::vector<Value>&)>& visit);

  /// The stored values of record n of the view (1-based) without moving to it; empty values for a
  /// number outside the view. For list views, which read only the rows they show.
  std::vector<Value> rowAt(int n);

  /// Reads the current record again and rebuilds the view (after bulk work, and to follow the
  /// work of other seats on a shared table).
  void refresh();

 private:
  friend class Transaction;
  struct Column {
    int width;
    bool visible;
  };
  enum class Keep { Record, Position, First };

  Cursor(std::unique_ptr<Backend> backend, const TableSchema& schema);
  static std::unique_ptr<Cursor> opened(std::unique_ptr<Backend> backend, const TableSchema& schema);

  void rebuildView(Keep keep);
  void ensureView();
  void loadCurrent();
  void scrolled();
  Order order() const;
  const SqlCondition* where() const;
  const std::vector<SortKey>& orderKeys() const;
  bool orderTiesDescending() const;
  bool sortsBefore(const std::vector<Value>& a, int64_t ra, const std::vector<Value>& b, int64_t rb) const;
  void placeInView(int64_t rowid);
  std::vector<Value>& buffer();
  void requireEditing() const;
  void writeRecord();

  std::unique_ptr<Backend> backend_;
  const TableSchema& schema_;

  std::vector<int64_t> view_;
  bool viewStale_ = true;
  std::size_t pos_ = 0;
  int64_t currentRowid_ = 0;
  int64_t currentVersion_ = 0;
  bool eof_ = true;
  bool bof_ = true;
  std::vector<Value> record_;
  int vanished_ = 0;

  State state_ = State::Browse;
  bool modified_ = false;
  std::vector<Value> buffer_;
  int64_t editRowid_ = 0;
  int64_t editVersion_ = 0;

  std::string filterText_;
  bool filtered_ = false;
  SqlCondition condition_;
  std::string indexName_;
  const IndexDef* index_ = nullptr;

  std::vector<Column> columns_;
  std::vector<int> columnOrder_;

  int transactionDepth_ = 0;
};

/// Bulk work in one transaction: commit explicitly, roll back on destruction otherwise. Posts
/// inside it are not committed one by one; after a roll-back the table is exactly as before.
class Transaction {
 public:
  explicit Transaction(Cursor& cursor);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();

 private:
  Cursor& cursor_;
  int level_ = 0;
  bool open_ = true;
};

/// The place the alias CARDATA names: $VENDARO_CARDATA when set, else the directory CARDATA in
/// the program directory. It may name a database instead of a directory (isDatabaseLocation).
std::string cardataDirectory(const std::string& programDirectory);

/// True when a CARDATA place names a PostgreSQL database rather than a directory: a connection
/// URI ("postgresql://host/dbname", "postgres://...") or a libpq connection string that starts
/// with one of its keywords ("service=dealer", "host=... dbname=...").
bool isDatabaseLocation(const std::string& location);

/// True when the table exists in the place (a file in the directory, a table in the database).
bool tableExists(const std::string& location, const TableSchema& schema);

/// Creates the directory (and its parents) when missing; throws TableError. A database place
/// needs nothing.
void ensureDirectory(const std::string& directory);

}  // namespace vendaro::table

#include "platform/table/cursor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <utility>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/table/pg_backend.h"
#include "platform/table/sqlite_backend.h"

namespace vendaro::table {
namespace {

std::string fileText(const std::string& path) { return "'" + sjis::fromUtf8Lossy(path) + "'"; }

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

TableError writeError(const std::string& name, std::string_view reasonUtf8) {
  return TableError(sjis::lit("テーブル ") + fileText(name) + sjis::lit(" に書き込めません: ") + sjis::fromUtf8Lossy(reasonUtf8));
}

// ---------------------------------------------------------------------------------------------
// Opening

std::unique_ptr<Cursor> Cursor::open(const std::string& location, const TableSchema& schema) {
  return opened(isDatabaseLocation(location) ? openPostgresTable(location, schema) : openSqliteTable(location, schema),
                schema);
}

std::unique_ptr<Cursor> Cursor::openShared(const std::string& location, const TableSchema& schema) {
  return opened(isDatabaseLocation(location) ? openPostgresTableShared(location, schema)
                                             : openSqliteTableShared(location, schema),
                schema);
}

std::unique_ptr<Cursor> Cursor::opened(std::unique_ptr<Backend> backend, const TableSchema& schema) {
  Backend& opened = *backend;
  std::unique_ptr<Cursor> cursor(new Cursor(std::move(backend), schema));
  // The view is built inside the opening transaction. A file whose records cannot be read is then
  // refused by rolling back, so that nothing the engine mends on the way (such as a wrong page
  // count in a file's header, which it rewrites when a write transaction begins) reaches it.
  try {
    cursor->rebuildView(Keep::First);
  } catch (...) {
    opened.finishOpen(false);
    throw;
  }
  opened.finishOpen(true);
  return cursor;
}

Cursor::Cursor(std::unique_ptr<Backend> backend, const TableSchema& schema)
    : backend_(std::move(backend)), schema_(schema) {
  for (const auto& f : schema_.fields()) columns_.push_back(Column{f.displayWidth, f.visible});
  for (int i = 0; i < schema_.fieldCount(); ++i) columnOrder_.push_back(i);
  record_.assign(static_cast<std::size_t>(schema_.fieldCount()), Value{});
}

Cursor::~Cursor() = default;

// ---------------------------------------------------------------------------------------------
// The view

const std::vector<SortKey>& Cursor::orderKeys() const { return index_ ? index_->keys : schema_.naturalOrder(); }
bool Cursor::orderTiesDescending() const { return index_ && index_->tiesDescending; }
Order Cursor::order() const { return Order{&orderKeys(), orderTiesDescending()}; }

const SqlCondition* Cursor::where() const {
  return filtered_ && !condition_.sql.empty() ? &condition_ : nullptr;
}

void Cursor::rebuildView(Keep keep) {
  view_ = backend_->ids(where(), order());
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

int Cursor::takeVanishedRecords() { return std::exchange(vanished_, 0); }

void Cursor::loadCurrent() {
  record_.resize(static_cast<std::size_t>(schema_.fieldCount()));
  if (viewStale_) {
    // Bulk work: the record just written is current; its id is known but not yet its place.
    if (!backend_->read(currentRowid_, record_, currentVersion_))
      for (Value& v : record_) v = Value{};
    return;
  }
  // A record another seat deleted since the view was read is passed over: the next one takes its
  // place, as if this seat had deleted it.
  while (!view_.empty()) {
    currentRowid_ = view_[pos_];
    if (backend_->read(currentRowid_, record_, currentVersion_)) return;
    ++vanished_;
    view_.erase(view_.begin() + static_cast<std::ptrdiff_t>(pos_));
    if (pos_ >= view_.size() && !view_.empty()) pos_ = view_.size() - 1;
  }
  bof_ = eof_ = true;
  pos_ = 0;
  currentRowid_ = 0;
  currentVersion_ = 0;
  for (Value& v : record_) v = Value{};
}

int Cursor::findContaining(int field, std::string_view bytes, int from, bool forward) {
  ensureView();
  const int count = static_cast<int>(view_.size());
  if (bytes.empty() || from < 1 || from > count) return 0;
  // One pass of SQL finds every record that contains the text; the view then gives the order.
  std::vector<int64_t> matches = backend_->idsContaining(field, bytes);
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
  backend_->scan(where(), order(), from - 1, visit);
}

std::vector<Value> Cursor::rowAt(int n) {
  ensureView();
  std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
  if (n < 1 || n > static_cast<int>(view_.size())) return row;
  int64_t version = 0;
  if (!backend_->read(view_[static_cast<std::size_t>(n - 1)], row, version))
    for (Value& v : row) v = Value{};
  return row;
}

void Cursor::scrolled() {
  if (afterScroll) afterScroll(*this);
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
  if (where() && !backend_->passes(rowid, *where())) {
    pos_ = view_.empty() ? 0 : std::min(oldPos, view_.size() - 1);
    bof_ = eof_ = view_.empty();
    loadCurrent();
    return;
  }
  std::vector<Value> key = backend_->sortKey(rowid, orderKeys());
  std::size_t lo = 0, hi = view_.size();
  while (lo < hi) {
    std::size_t mid = lo + (hi - lo) / 2;
    if (sortsBefore(backend_->sortKey(view_[mid], orderKeys()), view_[mid], key, rowid)) lo = mid + 1;
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
    throw TableError(sjis::lit("テーブル ") + fileText(path()) + sjis::lit(" は編集モードではありません"));
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
  editVersion_ = currentVersion_;
  state_ = State::Edit;
  modified_ = false;
}

void Cursor::append() {
  checkBrowseMode();
  buffer_.assign(static_cast<std::size_t>(schema_.fieldCount()), Value{});
  editRowid_ = 0;
  editVersion_ = 0;
  state_ = State::Insert;
  modified_ = false;
}

void Cursor::insert() { append(); }

void Cursor::cancel() {
  if (state_ == State::Browse) return;
  state_ = State::Browse;
  modified_ = false;
  buffer_.clear();
  // What another seat stored since this seat read the record shows once the edit is dropped.
  if (backend_->shared() && !viewStale_) loadCurrent();
}

void Cursor::checkBrowseMode() {
  if (state_ == State::Browse) return;
  if (modified_) post();
  else cancel();
}

void Cursor::writeRecord() {
  int64_t version = 0;
  if (state_ == State::Insert) {
    editRowid_ = backend_->insert(buffer_, version);
  } else {
    switch (backend_->update(editRowid_, editVersion_, buffer_, version)) {
      case WriteOutcome::Done: break;
      case WriteOutcome::Changed: throw RecordConflict(RecordConflict::Kind::Changed, false);
      case WriteOutcome::Gone: throw RecordConflict(RecordConflict::Kind::Deleted, false);
    }
  }
  editVersion_ = version;
}

void Cursor::post() {
  if (state_ == State::Browse) return;
  if (beforePost) beforePost(*this);
  writeRecord();
  int64_t rowid = editRowid_;
  state_ = State::Browse;
  modified_ = false;
  currentRowid_ = rowid;
  currentVersion_ = editVersion_;
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
  // The record and version the user has before them; dropping an edit reads the record again.
  const bool editing = state_ == State::Edit;
  const int64_t target = editing ? editRowid_ : currentRowid_;
  const int64_t version = editing ? editVersion_ : currentVersion_;
  cancel();
  ensureView();
  if (view_.empty()) return;
  int64_t rowid = view_[pos_];
  // Gone meanwhile (another seat deleted it, and the cursor moved on): the record now shown is
  // not the one the user meant to delete.
  if (editing && rowid != target) return;
  switch (backend_->remove(rowid, version)) {
    case WriteOutcome::Done: break;
    case WriteOutcome::Changed: throw RecordConflict(RecordConflict::Kind::Changed, true);
    case WriteOutcome::Gone: ++vanished_; break;  // another seat deleted it first: it is gone either way
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
  int64_t count = view_.empty() ? 0 : backend_->removeWhere(where());
  rebuildView(Keep::First);
  scrolled();
  return static_cast<int>(count);
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
  if (transactionDepth_ > 0)
    throw TableError(sjis::lit("テーブル ") + fileText(path()) + sjis::lit(" は一括処理の途中です"));
  ++transactionDepth_;  // the rows go in as bulk work
  try {
    backend_->replaceContents(fill);
  } catch (...) {
    --transactionDepth_;
    viewStale_ = true;  // the table is as it was: read again on next use
    throw;
  }
  --transactionDepth_;
  rebuildView(Keep::First);
  scrolled();
}

void Cursor::appendTexts(const std::string_view* values, std::size_t count) {
  cancel();
  std::vector<Value> row(static_cast<std::size_t>(schema_.fieldCount()));
  for (std::size_t i = 0; i < count && i < row.size(); ++i) {
    if (values[i].empty()) continue;
    const FieldDef& def = schema_.field(static_cast<int>(i));
    if (def.type == FieldType::Integer) {
      auto n = sjis::parseInt32(values[i]);
      if (!n) throw notAnIntegerFor(values[i], def.name);
      row[i].kind = Value::Kind::Int;
      row[i].integer = *n;
    } else {
      row[i].kind = Value::Kind::Text;
      row[i].text.assign(values[i]);
    }
  }
  int64_t version = 0;
  backend_->insert(row, version);
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
  SqlCondition match = prefixCondition(f, prefix, schema_, backend_->dialect());
  std::optional<int64_t> found = backend_->first(match, where(), order());
  if (!found) return false;
  int64_t rowid = *found;
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

Transaction::Transaction(Cursor& cursor) : cursor_(cursor) {
  level_ = cursor_.backend_->begin();
  ++cursor_.transactionDepth_;
}

Transaction::~Transaction() {
  if (!open_) return;
  --cursor_.transactionDepth_;
  cursor_.backend_->rollback(level_);
  cursor_.cancel();
  try {
    cursor_.rebuildView(Cursor::Keep::Record);
  } catch (const TableError&) {
    cursor_.viewStale_ = true;  // read again on next use
  }
}

void Transaction::commit() {
  if (!open_) return;
  cursor_.backend_->commit(level_);
  open_ = false;
  --cursor_.transactionDepth_;
}

std::string cardataDirectory(const std::string& programDirectory) {
  const char* env = std::getenv("VENDARO_CARDATA");
  if (env && *env) return env;
  return joinPath(programDirectory, "CARDATA");
}

bool isDatabaseLocation(const std::string& location) {
  for (const char* start : {"postgresql://", "postgres://", "service=", "host=", "hostaddr=", "dbname="})
    if (location.rfind(start, 0) == 0) return true;
  return false;
}

bool tableExists(const std::string& location, const TableSchema& schema) {
  return isDatabaseLocation(location) ? postgresTableExists(location, schema) : sqliteTableExists(location, schema);
}

void ensureDirectory(const std::string& directory) {
  if (isDatabaseLocation(directory)) return;
  std::string partial;
  std::size_t pos = 0;
  while (pos != std::string::npos) {
    pos = directory.find('/', pos + 1);
    partial = directory.substr(0, pos);
    if (partial.empty()) continue;
    if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
      throw TableError(sjis::lit("フォルダ '") + sjis::fromUtf8Lossy(partial) + sjis::lit("' を作成できません"));
  }
}

}  // namespace vendaro::table

#include "platform/ui/binding.h"

#include <QFocusEvent>
#include <QBoxLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::ui {

// ---------------------------------------------------------------------------------------------
// DataSource

DataSource::DataSource(table::Cursor& cursor, QObject* parent) : QObject(parent), cursor_(cursor) {
  showError = [](const QString& text) { dialogs().message(nullptr, text); };
  previousAfterScroll_ = cursor_.afterScroll;
  cursor_.afterScroll = [this](table::Cursor& c) {
    if (previousAfterScroll_) previousAfterScroll_(c);
    if (!inOperation_) emit changed();
  };
}

DataSource::~DataSource() { cursor_.afterScroll = previousAfterScroll_; }

void DataSource::attach(BoundControl* control) { controls_.push_back(control); }

void DataSource::detach(BoundControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

bool DataSource::updateRecord() {
  for (BoundControl* control : controls_)
    if (control->changed() && !control->store()) return false;
  return true;
}

bool DataSource::run(const std::function<void(table::Cursor&)>& operation) {
  if (inOperation_) {
    operation(cursor_);
    return true;
  }
  if (!updateRecord()) return false;
  bool ok = true;
  inOperation_ = true;
  try {
    operation(cursor_);
  } catch (const std::exception& e) {  // table and file errors carry CP932 messages
    ok = false;
    inOperation_ = false;
    emit changed();
    showError(toQ(e.what()));
    return false;
  }
  inOperation_ = false;
  emit changed();
  return ok;
}

bool DataSource::startEdit() {
  if (cursor_.state() != table::Cursor::State::Browse) return true;
  // No writing of pending typing here: the control that starts the edit is being typed in.
  try {
    inOperation_ = true;
    cursor_.edit();
    inOperation_ = false;
  } catch (const std::exception& e) {
    inOperation_ = false;
    showError(toQ(e.what()));
    return false;
  }
  emit changed();
  return true;
}

bool DataSource::first() { return run([](table::Cursor& c) { c.first(); }); }
bool DataSource::prior() { return run([](table::Cursor& c) { c.prior(); }); }
bool DataSource::next() { return run([](table::Cursor& c) { c.next(); }); }
bool DataSource::last() { return run([](table::Cursor& c) { c.last(); }); }
bool DataSource::post() { return run([](table::Cursor& c) { c.post(); }); }
bool DataSource::insert() { return run([](table::Cursor& c) { c.insert(); }); }
bool DataSource::remove() { return run([](table::Cursor& c) { c.remove(); }); }
bool DataSource::moveTo(int recNo) { return run([recNo](table::Cursor& c) { c.setRecNo(recNo); }); }

bool DataSource::cancel() {
  cursor_.cancel();
  for (BoundControl* control : controls_) control->load(true);
  emit changed();
  return true;
}

void DataSource::refresh() { emit changed(); }

// ---------------------------------------------------------------------------------------------
// BoundControl

BoundControl::BoundControl(DataSource* source, std::string field)
    : source_(source), field_(std::move(field)), fieldIndex_(source->cursor().fieldIndex(field_)) {
  source_->attach(this);
}

BoundControl::~BoundControl() { source_->detach(this); }

void BoundControl::load(bool force) {
  if (changed_ && !force) return;
  changed_ = false;
  setControlText(toQ(source_->cursor().text(fieldIndex_)));
}

bool BoundControl::store() {
  if (!changed_) return true;
  QString bad;
  auto bytes = fromQ(controlText(), &bad);
  if (!bytes) {
    source_->showError(notShiftJisMessage(bad));
    return false;
  }
  try {
    if (source_->cursor().state() == table::Cursor::State::Browse) source_->cursor().edit();
    source_->cursor().setText(fieldIndex_, *bytes);
  } catch (const std::exception& e) {
    source_->showError(toQ(e.what()));
    return false;
  }
  changed_ = false;
  load(true);
  return true;
}

void BoundControl::describeField() { widget()->setAccessibleDescription(toQ(field_)); }

void BoundControl::rebind(const std::string& field) {
  fieldIndex_ = source_->cursor().fieldIndex(field);
  field_ = field;
  describeField();
  changed_ = false;
  load(true);
}

void BoundControl::userChanged() {
  if (changed_) return;
  changed_ = true;
  if (!source_->startEdit()) load(true);
}

void BoundControl::left() {
  if (store()) {
    exited();
    return;
  }
  QWidget* w = widget();
  QTimer::singleShot(0, w, [w] { w->setFocus(); });
}

namespace {
/// Leaving for another window (a message box, a menu) is not leaving the control.
bool leavesControl(const QFocusEvent* event) {
  return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// DBEdit

DBEdit::DBEdit(DataSource* source, const std::string& field, QWidget* parent)
    : QLineEdit(parent), BoundControl(source, field) {
  connect(this, &QLineEdit::textEdited, this, [this] { userChanged(); });
  connect(source, &DataSource::changed, this, [this] { load(); });
  load(true);
  describeField();
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (leavesControl(event)) left();
}

void DBEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

void DBEdit::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  emit clicked();
}

// ---------------------------------------------------------------------------------------------
// DBMemo

DBMemo::DBMemo(DataSource* source, const std::string& field, QWidget* parent)
    : QPlainTextEdit(parent), BoundControl(source, field) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // The document also reports changes of its layout; only a different text is an edit.
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (!loading_ && toPlainText() != shown_) userChanged();
  });
  connect(source, &DataSource::changed, this, [this] { load(); });
  load(true);
  describeField();
}

QString DBMemo::controlText() const {
  QString t = toPlainText();
  t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return t;
}

void DBMemo::setControlText(const QString& t) {
  QString shown = t;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown_ = shown;
  if (shown == toPlainText()) return;
  loading_ = true;
  setPlainText(shown);
  loading_ = false;
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
  QPlainTextEdit::focusOutEvent(event);
  if (leavesControl(event)) left();
}

void DBMemo::mouseDoubleClickEvent(QMouseEvent* event) {
  QPlainTextEdit::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

void DBMemo::mousePressEvent(QMouseEvent* event) {
  QPlainTextEdit::mousePressEvent(event);
  emit clicked();
}

// ---------------------------------------------------------------------------------------------
// DBComboBox

DBComboBox::DBComboBox(DataSource* source, const std::string& field, QWidget* parent)
    : QComboBox(parent), BoundControl(source, field) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { userChanged(); });
  connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
    if (loading_) return;
    userChanged();
    store();
  });
  connect(source, &DataSource::changed, this, [this] { load(); });
  load(true);
  describeField();
}

void DBComboBox::setItems(const QStringList& items) {
  loading_ = true;
  QString shown = currentText();
  clear();
  addItems(items);
  setEditText(shown);
  loading_ = false;
}

void DBComboBox::setControlText(const QString& t) {
  loading_ = true;
  setEditText(t);
  loading_ = false;
}

void DBComboBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (leavesControl(event)) left();
}

// ---------------------------------------------------------------------------------------------
// DBCheckBox

DBCheckBox::DBCheckBox(DataSource* source, const std::string& field, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), BoundControl(source, field) {
  connect(this, &QCheckBox::clicked, this, [this] {
    userChanged();
    store();
  });
  connect(source, &DataSource::changed, this, [this] { load(); });
  load(true);
  describeField();
}

QString DBCheckBox::controlText() const { return isChecked() ? QStringLiteral("True") : QStringLiteral("False"); }

void DBCheckBox::setControlText(const QString& t) { setChecked(t == QStringLiteral("True")); }

// ---------------------------------------------------------------------------------------------
// CursorModel

CursorModel::CursorModel(DataSource* source, QObject* parent) : QAbstractTableModel(parent), source_(source) {}

void CursorModel::reset() {
  beginResetModel();
  cache_.clear();
  rowsRead_ = 0;
  endResetModel();
}

int CursorModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return source_->cursor().recordCount() + (insertRow() >= 0 ? 1 : 0);
}

int CursorModel::insertRow() const {
  table::Cursor& c = source_->cursor();
  return c.state() == table::Cursor::State::Insert ? c.recordCount() : -1;
}

int CursorModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : source_->cursor().schema().fieldCount();
}

const std::vector<table::Value>& CursorModel::row(int r) const {
  for (const auto& entry : cache_)
    if (entry.first == r) return entry.second;
  if (cache_.size() >= 256) cache_.erase(cache_.begin());
  ++rowsRead_;
  cache_.emplace_back(r, source_->cursor().rowAt(r + 1));
  return cache_.back().second;
}

QVariant CursorModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  table::Cursor& c = source_->cursor();
  if (index.row() == insertRow()) return toQ(c.text(index.column()));
  if (c.state() == table::Cursor::State::Edit && index.row() + 1 == c.recNo()) return toQ(c.text(index.column()));
  const table::Value& v = row(index.row()).at(static_cast<std::size_t>(index.column()));
  switch (v.kind) {
    case table::Value::Kind::Null: return QString();
    case table::Value::Kind::Int: return QString::number(v.integer);
    case table::Value::Kind::Text: return toQ(v.text);
  }
  return {};
}

QVariant CursorModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  table::Cursor& c = source_->cursor();
  if (orientation == Qt::Horizontal) return toQ(c.schema().field(section).name);
  // A record being inserted has its own row below the others until it is stored.
  if (c.state() == table::Cursor::State::Insert) return section == insertRow() ? QStringLiteral("*") : QString();
  if (section + 1 != c.recNo()) return QString();
  return c.state() == table::Cursor::State::Edit ? QStringLiteral("I") : QString::fromUtf8("▶");
}

Qt::ItemFlags CursorModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool CursorModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  // A cell closed as it was shown is not written: its bytes stay as they are, also those the
  // display can show only with a replacement mark or as another code of the same character.
  if (value.toString() == data(index, Qt::EditRole).toString()) return true;
  QString bad;
  auto bytes = fromQ(value.toString(), &bad);
  if (!bytes) {
    source_->showError(notShiftJisMessage(bad));
    return false;
  }
  table::Cursor& c = source_->cursor();
  if (index.row() == insertRow()) return source_->run([&](table::Cursor& cur) { cur.setText(index.column(), *bytes); });
  if (c.recNo() != index.row() + 1 && !source_->moveTo(index.row() + 1)) return false;
  return source_->run([&](table::Cursor& cur) {
    if (cur.state() == table::Cursor::State::Browse) cur.edit();
    cur.setText(index.column(), *bytes);
  });
}

// ---------------------------------------------------------------------------------------------
// DBGrid

DBGrid::DBGrid(DataSource* source, QWidget* parent) : QTableView(parent), source_(source) {
  model_ = new CursorModel(source, this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("MM")));
  horizontalHeader()->setSectionsMovable(true);
  connect(source, &DataSource::changed, this, [this] {
    model_->reset();
    follow();
  });
  applyDisplayWidths();
  follow();
}

void DBGrid::applyDisplayWidths() {
  const table::Cursor& c = source_->cursor();
  int unit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (int f = 0; f < c.schema().fieldCount(); ++f) setColumnWidth(f, c.displayWidth(f) * unit + 8);
}

int DBGrid::displayWidth(int field) const {
  int unit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  return std::max(1, (columnWidth(field) - 8 + unit / 2) / unit);
}

void DBGrid::setDisplayWidth(int field, int characters) {
  setColumnWidth(field, characters * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 8);
}

void DBGrid::follow() {
  int r = model_->insertRow();
  if (r < 0) r = source_->cursor().recNo() - 1;
  if (r < 0) return;
  following_ = true;
  setCurrentIndex(model_->index(r, std::max(0, currentIndex().column())));
  following_ = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (following_ || !current.isValid()) return;
  table::Cursor& c = source_->cursor();
  if (const int inserting = model_->insertRow(); inserting >= 0) {
    if (current.row() == inserting) return;
    // Leaving the new row: with something typed it is stored and stays current (storing it may
    // move it among the others, so the row clicked would no longer be the record it showed);
    // untouched, it is dropped and the row clicked becomes current.
    if (c.modified()) {
      if (!source_->post()) follow();
      return;
    }
    const int clicked = current.row();
    source_->cancel();
    if (!source_->moveTo(clicked + 1)) follow();
    return;
  }
  if (current.row() + 1 != c.recNo()) {
    if (!source_->moveTo(current.row() + 1)) follow();
  }
}

// ---------------------------------------------------------------------------------------------
// DBNavigator

DBNavigator::DBNavigator(DataSource* source, const std::vector<Button>& buttons, QWidget* parent)
    : QWidget(parent), source_(source) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  struct Look {
    const char* glyph;
    const char* hint;
  };
  static const Look looks[] = {
      {"|◀", "最初のレコード"}, {"◀", "前のレコード"},   {"▶", "次のレコード"},   {"▶|", "最後のレコード"},
      {"＋", "レコードの挿入"}, {"－", "レコードの削除"}, {"✓", "レコードの登録"}, {"✕", "編集の取り消し"},
  };
  for (Button b : buttons) {
    auto* button = new QToolButton(this);
    button->setText(u8(looks[b].glyph));
    button->setToolTip(u8(looks[b].hint));
    button->setStatusTip(u8(looks[b].hint));
    // The glyph means nothing read aloud: the button is called by its hint.
    button->setAccessibleName(u8(looks[b].hint));
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumSize(26, 25);
    layout->addWidget(button);
    buttons_.emplace_back(b, button);
    connect(button, &QToolButton::clicked, this, [this, b] {
      switch (b) {
        case First: source_->first(); break;
        case Prior: source_->prior(); break;
        case Next: source_->next(); break;
        case Last: source_->last(); break;
        case Insert: source_->insert(); break;
        case Post: source_->post(); break;
        case Cancel: source_->cancel(); break;
        case Delete:
          if (source_->cursor().isEmpty()) break;
          if (!deleteQuestion.isEmpty() && !dialogs().confirm(window(), deleteQuestion)) break;
          source_->remove();
          break;
      }
    });
  }
  connect(source, &DataSource::changed, this, [this] { updateButtons(); });
  updateButtons();
}

QToolButton* DBNavigator::button(Button b) const {
  for (const auto& [kind, button] : buttons_)
    if (kind == b) return button;
  return nullptr;
}

void DBNavigator::updateButtons() {
  table::Cursor& c = source_->cursor();
  bool editing = c.state() != table::Cursor::State::Browse;
  bool empty = c.isEmpty();
  for (const auto& [kind, button] : buttons_) {
    bool on = true;
    switch (kind) {
      case First: case Prior: on = !empty && (editing || c.recNo() > 1); break;
      case Next: case Last: on = !empty && (editing || c.recNo() < c.recordCount()); break;
      case Insert: on = true; break;
      case Delete: on = !empty; break;
      case Post: case Cancel: on = editing; break;
    }
    button->setEnabled(on);
  }
}

NavigatorBar addNavigatorBar(DataSource* source, QWidget* parent, QBoxLayout* layout) {
  auto navigator = [&](const char* name, std::vector<DBNavigator::Button> buttons) {
    auto* nav = new DBNavigator(source, buttons, parent);
    nav->setObjectName(QString::fromLatin1(name));
    layout->addWidget(nav);
    return nav;
  };
  NavigatorBar bar{};
  bar.DBNavigator1 = navigator("DBNavigator1", {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next,
                                                DBNavigator::Last, DBNavigator::Post});
  bar.DBNavigator2 = navigator("DBNavigator2", {DBNavigator::Delete});
  bar.DBNavigator2->deleteQuestion = u8("レコードを削除してもよいですか？");
  bar.DBNavigator3 = navigator("DBNavigator3", {DBNavigator::Cancel});
  bar.DBNavigator4 = navigator("DBNavigator4", {DBNavigator::Insert});
  return bar;
}

}  // namespace vendaro::ui

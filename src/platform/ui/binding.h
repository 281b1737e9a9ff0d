#pragma once
// Data-aware controls: edits, memos, combo boxes, check boxes, a grid and navigators bound by
// field name to one table cursor through a data source.
//
// A control shows the current record's value. When the user changes it, the cursor goes into
// edit state; the control writes its text into the record when it is left and before any post or
// move. A text the field cannot take (letters in an amount) is refused with the table engine's
// message, the focus stays in the control and nothing is lost. A control the user did not change
// writes nothing, so bytes it could not show exactly are never rewritten.

#include <QAbstractTableModel>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QTableView>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::ui {

class BoundControl;

/// The link between one cursor and its bound controls. Every operation that the controls and the
/// navigators offer goes through here, so pending typing is written first and errors are shown.
class DataSource : public QObject {
  Q_OBJECT
 public:
  explicit DataSource(table::Cursor& cursor, QObject* parent = nullptr);
  ~DataSource() override;

  table::Cursor& cursor() { return cursor_; }

  void attach(BoundControl* control);
  void detach(BoundControl* control);

  /// Writes every changed control into the record; false (after showing the message) when one
  /// cannot be taken.
  bool updateRecord();
  /// Starts editing the current record unless already editing (a control was changed).
  bool startEdit();

  // The navigator's operations. Each returns false after showing the message when it failed.
  bool first();
  bool prior();
  bool next();
  bool last();
  bool post();
  bool cancel();
  bool insert();
  bool remove();
  /// Moves to record n of the view (1-based).
  bool moveTo(int recNo);
  /// Runs `operation` on the cursor with pending typing written first and errors shown; tells
  /// the controls afterwards.
  bool run(const std::function<void(table::Cursor&)>& operation);

  /// Shows the current record in every control again (after the program changed the record).
  void refresh();

  /// How errors reach the person (the dialogs by default).
  std::function<void(const QString&)> showError;

 signals:
  /// The current record, its values or the view changed.
  void changed();

 private:
  table::Cursor& cursor_;
  std::vector<BoundControl*> controls_;
  table::Cursor::Hook previousAfterScroll_;
  bool inOperation_ = false;
};

/// What every bound control shares.
class BoundControl {
 public:
  BoundControl(DataSource* source, std::string field);
  virtual ~BoundControl();

  const std::string& field() const { return field_; }
  int fieldIndex() const { return fieldIndex_; }
  DataSource* source() const { return source_; }
  /// True when the user changed the text since it was shown.
  bool changed() const { return changed_; }

  /// Shows the field's value of the current record (keeps the user's changes while editing).
  void load(bool force = false);
  /// Writes the user's change into the record; false after showing the message when refused.
  bool store();
  /// Binds the control to another field of the same cursor and shows that field's value (for a
  /// control that edits one item of a numbered family at a time). An unstored change is dropped.
  void rebind(const std::string& field);

 protected:
  virtual QString controlText() const = 0;
  virtual void setControlText(const QString& text) = 0;
  virtual QWidget* widget() = 0;
  /// Gives the control its field name as accessible description, so screen readers and tests
  /// can tell the field a box edits; each control calls it once it is built.
  void describeField();
  /// The user changed the control.
  void userChanged();
  /// The control lost the focus: write, and on success tell the owner.
  void left();
  virtual void exited() {}

 private:
  DataSource* source_;
  std::string field_;
  int fieldIndex_;
  bool changed_ = false;
};

/// A one-line bound edit.
class DBEdit : public QLineEdit, public BoundControl {
  Q_OBJECT
 public:
  DBEdit(DataSource* source, const std::string& field, QWidget* parent = nullptr);

 signals:
  /// The control was left and its text (if changed) is in the record.
  void exit();
  void doubleClicked();
  void clicked();

 protected:
  QString controlText() const override { return text(); }
  void setControlText(const QString& t) override { setText(t); }
  QWidget* widget() override { return this; }
  void focusOutEvent(QFocusEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void exited() override { emit exit(); }
};

/// A bound memo (several lines; line ends are stored as CR LF).
class DBMemo : public QPlainTextEdit, public BoundControl {
  Q_OBJECT
 public:
  DBMemo(DataSource* source, const std::string& field, QWidget* parent = nullptr);

 signals:
  void exit();
  void doubleClicked();
  void clicked();

 protected:
  QString controlText() const override;
  void setControlText(const QString& t) override;
  QWidget* widget() override { return this; }
  void focusOutEvent(QFocusEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void exited() override { emit exit(); }

 private:
  bool loading_ = false;
  QString shown_;  ///< the text as last shown from the record
};

/// A bound editable combo box; picking an item writes it at once.
class DBComboBox : public QComboBox, public BoundControl {
  Q_OBJECT
 public:
  DBComboBox(DataSource* source, const std::string& field, QWidget* parent = nullptr);
  /// Replaces the item list (keeps the shown text).
  void setItems(const QStringList& items);

 signals:
  void exit();

 protected:
  QString controlText() const override { return currentText(); }
  void setControlText(const QString& t) override;
  QWidget* widget() override { return this; }
  void focusOutEvent(QFocusEvent* event) override;
  void exited() override { emit exit(); }

 private:
  bool loading_ = false;
};

/// A bound check box: "True" when checked, "False" when not.
class DBCheckBox : public QCheckBox, public BoundControl {
  Q_OBJECT
 public:
  DBCheckBox(DataSource* source, const std::string& field, const QString& caption, QWidget* parent = nullptr);

 protected:
  QString controlText() const override;
  void setControlText(const QString& t) override;
  QWidget* widget() override { return this; }

 private:
  bool loading_ = false;
};

/// The rows of the cursor's view for a grid; reads only the rows the grid asks for.
class CursorModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CursorModel(DataSource* source, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  /// Rows read since the last reset (for checking that scrolling reads only what is shown).
  int rowsRead() const { return rowsRead_; }
  void reset();
  /// The row of the record being inserted (below all the stored ones), or -1 when none is.
  int insertRow() const;

 private:
  const std::vector<table::Value>& row(int r) const;
  DataSource* source_;
  mutable std::vector<std::pair<int, std::vector<table::Value>>> cache_;
  mutable int rowsRead_ = 0;
};

/// A grid on the cursor: one column per field, the current record's row marked, editing in
/// place, resizable columns.
class DBGrid : public QTableView {
  Q_OBJECT
 public:
  explicit DBGrid(DataSource* source, QWidget* parent = nullptr);
  CursorModel* cursorModel() const { return model_; }
  /// Column widths from the fields' display widths (in characters).
  void applyDisplayWidths();
  /// Display width of a column in characters (as shown now).
  int displayWidth(int field) const;
  /// Sets a column's width to `characters` characters (the inverse of displayWidth).
  void setDisplayWidth(int field, int characters);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void follow();
  DataSource* source_;
  CursorModel* model_;
  bool following_ = false;
};

/// The record navigator: a row of buttons for the chosen operations, each with its hint.
class DBNavigator : public QWidget {
  Q_OBJECT
 public:
  enum Button { First, Prior, Next, Last, Insert, Delete, Post, Cancel };
  DBNavigator(DataSource* source, const std::vector<Button>& buttons, QWidget* parent = nullptr);
  QToolButton* button(Button b) const;
  /// The question asked before deleting; empty deletes without asking.
  QString deleteQuestion;

 private:
  void updateButtons();
  DataSource* source_;
  std::vector<std::pair<Button, QToolButton*>> buttons_;
};

/// The four navigators of a record window's tool bar, left to right: first, prior, next, last
/// and post; delete (asking "レコードを削除してもよいですか？" first); cancel; insert.
struct NavigatorBar {
  DBNavigator* DBNavigator1;
  DBNavigator* DBNavigator2;
  DBNavigator* DBNavigator3;
  DBNavigator* DBNavigator4;
};

/// Creates the four navigators in `parent` and adds them to `layout`.
NavigatorBar addNavigatorBar(DataSource* source, QWidget* parent, QBoxLayout* layout);

}  // namespace vendaro::ui

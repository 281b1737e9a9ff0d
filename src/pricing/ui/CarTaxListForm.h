#pragma once
// The two reference table windows, the automobile tax table and the compulsory insurance table:
// navigators, an editable grid of every field and an OK button that keeps the column widths.

#include <QDialog>
#include <QPushButton>
#include <memory>
#include <string>

#include "platform/table/cursor.h"
#include "platform/ui/binding.h"

namespace vendaro::pricing::ui {

/// What the two windows share; each owns its table's cursor for the whole run.
class TTableListForm : public QDialog {
  Q_OBJECT
 public:
  /// Opens the table (it stays open while the window lives) and applies the widths of the width
  /// file `widthFile` in the program directory. Throws TableError when the table cannot be opened.
  TTableListForm(std::unique_ptr<table::Cursor> cursor, const std::string& programDirectory,
                 const char* widthFile, QWidget* parent);
  ~TTableListForm() override;

  table::Cursor& cursor() { return *cursor_; }
  vendaro::ui::DataSource& dataSource() { return *source_; }
  /// The width file of this window.
  std::string widthFilePath() const;

  QWidget* TopPanel = nullptr;
  vendaro::ui::DBNavigator* DBNavigator1 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator2 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator3 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator4 = nullptr;
  vendaro::ui::DBGrid* DBGrid1 = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* OKBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  void OKBtnClick();
  void Panel1Resize();
  std::unique_ptr<table::Cursor> cursor_;
  std::unique_ptr<vendaro::ui::DataSource> source_;
  std::string programDirectory_;
  std::string widthFile_;
};

/// The automobile tax table CarTax.db, widths in "EsTaxLen.INI".
class TCTaxForm : public TTableListForm {
  Q_OBJECT
 public:
  TCTaxForm(const std::string& programDirectory, const std::string& cardataDirectory, QWidget* parent = nullptr);
};

/// The compulsory insurance table CarInSure.db, widths in "EsInsLen.INI".
class TCInsureForm : public TTableListForm {
  Q_OBJECT
 public:
  TCInsureForm(const std::string& programDirectory, const std::string& cardataDirectory, QWidget* parent = nullptr);
};

}  // namespace vendaro::pricing::ui

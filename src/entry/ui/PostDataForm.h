#pragma once
// The postal-code conversion window: a grid over PostData.db for choosing a row, an address search
// bar shown when the estimate's address finds no row, and the import of a postal-code list.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "platform/table/cursor.h"
#include "platform/ui/binding.h"

namespace vendaro::entry::ui {

class TPostForm : public QDialog {
  Q_OBJECT
 public:
  /// Opens PostData.db in the CARDATA directory, creating it empty when missing. Throws
  /// TableError when it cannot be opened.
  TPostForm(const std::string& programDirectory, const std::string& cardataDirectory, QWidget* parent = nullptr);
  ~TPostForm() override;

  table::Cursor& postData() { return *cursor_; }
  vendaro::ui::DataSource& dataSource() { return *source_; }

  /// Moves the grid to the first row whose field begins with `prefix`; to the first row when there
  /// is none. False when there was none.
  bool locateOrFirst(const std::string& field, const std::string& prefix);
  /// The chosen row's postal code and address.
  std::string chosenCode() const;
  std::string chosenAddress() const;

  /// Imports a postal-code list chosen in the file dialog, showing its progress and then the
  /// number of rows stored (or why nothing was changed). Afterwards the grid stands again where
  /// the last locateOrFirst put it, on the code or address that was typed. False when nothing was
  /// imported.
  bool ReadBtnClick();
  void SarchButtonClick();

  QWidget* TopPanel = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* AddrEdit = nullptr;
  QPushButton* SarchButton = nullptr;
  vendaro::ui::DBGrid* DBGrid1 = nullptr;
  QWidget* BtnPanel = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* ReadBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Sets the buttons' left edges to one, two and three quarters of the bar's width, less 37.
  void placeButtons();

  std::string programDirectory_;
  std::string standField_;   // what the grid was last told to stand on
  std::string standPrefix_;
  std::unique_ptr<table::Cursor> cursor_;
  std::unique_ptr<vendaro::ui::DataSource> source_;
};

}  // namespace vendaro::entry::ui

#pragma once
// The print width window "印刷桁数設定": an editable grid over the print width table EstLen.DB,
// whose current record gives the list print its column widths.

#include <QDialog>
#include <memory>
#include <string>

#include "platform/table/cursor.h"
#include "platform/ui/binding.h"

class QLabel;
class QPushButton;

namespace vendaro::listprint::ui {

class TInDTLenForm : public QDialog {
  Q_OBJECT
 public:
  /// Opens EstLen.DB (creating it with one record of default widths); it stays open while the
  /// window lives. Throws TableError when the table cannot be opened.
  explicit TInDTLenForm(const std::string& cardataDirectory, QWidget* parent = nullptr);
  ~TInDTLenForm() override;

  /// The print width table; its current record is the one the list print uses.
  table::Cursor& widths() { return *cursor_; }
  vendaro::ui::DataSource& dataSource() { return *source_; }

  /// Empties the top panel's caption, makes the grid editable and shows the window modally.
  int showWidths();

  void OKBtnClick();
  void CancelBtnClick();
  void BtnPanelResize();

  QLabel* Panel1 = nullptr;
  vendaro::ui::DBGrid* DBGrid1 = nullptr;
  QWidget* BtnPanel = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<table::Cursor> cursor_;
  std::unique_ptr<vendaro::ui::DataSource> source_;
};

}  // namespace vendaro::listprint::ui

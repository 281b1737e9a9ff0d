#pragma once
// Recall from the vehicle register: pick a customer's row of INDATA.db and copy its name,
// reading, address, telephone and car (as the trade-in) into the current estimate.

#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "platform/table/cursor.h"
#include "platform/ui/binding.h"

namespace vendaro::entry::ui {

class TCFormDlg : public QDialog {
  Q_OBJECT
 public:
  /// `estimates` is the main window's data source on the estimate cursor.
  TCFormDlg(vendaro::ui::DataSource& estimates, const std::string& programDirectory,
            const std::string& cardataDirectory, QWidget* parent = nullptr);
  ~TCFormDlg() override;

  /// Opens INDATA.db unless it is open; false after showing the table engine's message.
  bool openRegister();
  /// The register while the dialog is shown; null otherwise.
  table::Cursor* reg() { return reg_.get(); }

  /// Sets what DBLookupComboBox1 chooses: Label1's caption, the estimate field it writes and the
  /// register field it lists (CP932 names).
  void setLookup(const QString& caption, const std::string& dataField, const std::string& keyField);
  /// Opens the register, prepares the showing (filter off, Edit1 empty, the register on the row of
  /// the estimate's values), shows the dialog modally and closes the register again. Returns the
  /// dialog's result; rejected after showing the message of a register that cannot be opened.
  int showModal();

  void Edit1Change();
  void DBLookupComboBox1Exit();
  /// Choosing row n (1-based, of the listed rows) in one of the combo boxes.
  void DBLookupComboBox1Choose(int n);
  void DBLookupComboBox2Choose(int n);
  void OKBtnClick();

  QLabel* Label2 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* DBLookupComboBox1 = nullptr;
  QLabel* Label3 = nullptr;
  QComboBox* DBLookupComboBox2 = nullptr;
  QPushButton* OKBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyFilter(const QString& text);
  /// Lists the register's rows in both combo boxes and shows the estimate's values.
  void fill();
  void showEstimateValues();
  /// Writes estimate fields (starting the edit) and shows them in the main window.
  void writeEstimate(const std::vector<std::pair<std::string, std::string>>& values);

  vendaro::ui::DataSource& estimates_;
  std::string programDirectory_;
  std::string cardataDirectory_;
  std::unique_ptr<table::Cursor> reg_;
  std::string dataField_;
  std::string keyField_;
  bool filling_ = false;
};

}  // namespace vendaro::entry::ui

#pragma once
// The print-function settings dialog: three printer adjustment sets in its controls, read from
// "ToolEdit.INI" and "ToolEdit1.INI" at creation and written back by OK. The print run reads the
// controls at the moment of printing.

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <array>
#include <string>

#include "formprint/printer_settings.h"

namespace vendaro::formprint::ui {

class TToolEditForm : public QDialog {
  Q_OBJECT
 public:
  /// Fills the controls from the two files in the program directory (defaults where missing).
  explicit TToolEditForm(const std::string& programDirectory, QWidget* parent = nullptr);

  /// The printer detection of the first tick: with more than one printer installed, sets the
  /// multiple-printer flag, offers the names in the three printer boxes (each keeps its text) and
  /// shows the printer choices and sets 2 and 3; otherwise clears the flag.
  void detectPrinters(const QStringList& installedPrinters);
  bool multiplePrinters() const { return multiplePrinters_; }

  /// The sets and names as the controls hold them now. A number field whose text is not a number
  /// counts as its minimum; one out of range as the nearest bound.
  PrinterSettings settings() const;

  /// OK: rewrites both files from the controls and closes; a file error is shown and the dialog
  /// stays open.
  void OKBtnClick();

  // Set 1, 2, 3: A, B, V, H in SpinEdit1-4, 5-8, 9-12; P in SpinEdit13, 14, 15.
  std::array<QSpinBox*, 15> SpinEdit{};
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox3;
  QFrame* PanelPrint1;
  QFrame* PanelPrint2;
  QFrame* PanelPrint3;
  QFrame* Panel2;  ///< set 1's printer name
  QWidget* BtnPanel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSettings(const PrinterSettings& settings);
  std::string programDirectory_;
  bool multiplePrinters_ = false;
};

}  // namespace vendaro::formprint::ui

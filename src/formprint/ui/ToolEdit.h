#pragma once
// The print-function settings dialog: three printer adjustment sets in its controls, read from
// "ToolEdit.INI" and "ToolEdit1.INI" at creation and written back by OK. The print run reads the
// controls at the moment of printing.

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <array>
#include <memory>
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

  /// The adjustment set a run on `printer` uses: the set chosen by the printer's name, as the
  /// controls hold it when it was stored or typed, else derived from what the printer reports.
  AdjustmentSet adjustmentFor(const QPrinter& printer) const;
  /// Whether set i (0..2) is derived from its printer rather than stored or typed.
  bool derived(int i) const { return derived_[std::size_t(i)]; }

  /// OK: rewrites both files from the controls and closes; a file error is shown and the dialog
  /// stays open.
  void OKBtnClick();
  /// Prints the calibration sheet on a printer chosen in the printer setup dialog, with the set
  /// that printer's runs use (as the controls hold it now).
  void PrintSheetBtnClick();

  // Set 1, 2, 3: A, B, V, H in SpinEdit1-4, 5-8, 9-12; P in SpinEdit13, 14, 15.
  std::array<QSpinBox*, 15> SpinEdit{};
  QComboBox* ComboBox1;
  QComboBox* ComboBox2;
  QComboBox* ComboBox3;
  QFrame* PanelPrint1;
  QFrame* PanelPrint2;
  QFrame* PanelPrint3;
  QFrame* Panel2;  ///< set 1's printer name
  std::array<QLabel*, 3> DerivedLabel{};  ///< says that a set shows the values derived from its printer
  QWidget* BtnPanel;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* PrintSheetBtn;  ///< prints the calibration sheet

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSettings(const PrinterSettings& settings);
  /// Shows, for each set that was not stored, the values derived from the printer it serves.
  void showDerivedSets();
  std::string programDirectory_;
  bool multiplePrinters_ = false;
  std::array<bool, 3> derived_{};
  std::unique_ptr<QPrinter> printer_;  ///< remembers the printer setup between calibration sheets
  bool showing_ = false;  ///< the program fills the controls: not a change by the user
};

}  // namespace vendaro::formprint::ui

#pragma once
// The display pattern dialog: which fields the list page's grid shows. The choice is kept in
// "EsDsplay.INI" and takes effect at the next start, when it is applied to the grid together with
// the column layout stored in "EstimateLen.INI".

#include <QDialog>
#include <string>

class QGroupBox;
class QLabel;
class QPushButton;

namespace vendaro::ui {
class DBGrid;
}

namespace vendaro::book::ui {

class FieldListChooser;

class TDspPatDlg : public QDialog {
  Q_OBJECT
 public:
  /// `programDirectory` is where "EsDsplay.INI" and "EstimateLen.INI" are read and written.
  explicit TDspPatDlg(const std::string& programDirectory, QWidget* parent = nullptr);

  /// At start, before the main window is shown: when "EsDsplay.INI" exists, loads the lists from
  /// it, hides the grid's columns of the fields not shown, then orders and sizes the shown ones from
  /// "EstimateLen.INI". Without "EsDsplay.INI" nothing changes. Throws FileError.
  void applyTo(vendaro::ui::DBGrid& grid);
  /// "はい(&Y)": rewrites "EsDsplay.INI" from the lists and closes with OK; the grid is left as
  /// it is. When the file cannot be written the general file message is shown and the dialog
  /// closes with cancel.
  void OKBtnClick();

  QGroupBox* GroupBox1;
  FieldListChooser* Chooser;
  QLabel* Label2;
  QLabel* Label3;
  QWidget* Panel1;
  QLabel* Label4;
  QLabel* Label1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 private:
  std::string programDirectory_;
};

}  // namespace vendaro::book::ui

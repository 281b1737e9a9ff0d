#pragma once
// The copy pattern dialog "複写設定": which fields of the estimate on screen a copy carries over,
// in order. The choice is kept in "EsCopy.INI" in the program directory.

#include <QDialog>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;

namespace vendaro::book::ui {

class FieldListChooser;

class TCopyPatDlg : public QDialog {
  Q_OBJECT
 public:
  /// `programDirectory` is where "EsCopy.INI" is read and written.
  explicit TCopyPatDlg(const std::string& programDirectory, QWidget* parent = nullptr);

  /// Before each showing: the lists are read from "EsCopy.INI" when it exists; otherwise they keep
  /// what they held. Throws FileError.
  void FormShow();
  /// "はい(&Y)": rewrites "EsCopy.INI" from the lists and closes with OK. When the file cannot be
  /// written the general file message is shown and the dialog closes with cancel.
  void OKBtnClick();

  /// The fields to copy, in order (CP932).
  std::vector<std::string> copiedFields() const;
  /// The settings file's path.
  std::string patternFile() const;

  QGroupBox* GroupBox1;
  FieldListChooser* Chooser;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Panel1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 private:
  std::string programDirectory_;
};

}  // namespace vendaro::book::ui

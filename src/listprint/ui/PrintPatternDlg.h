#pragma once
// The list print settings dialog "印刷設定": which estimates, which columns in which order, page
// and rule length, print font, title and date lines, digit grouping. Its controls are the settings
// in memory; "EsPrint.INI" and "EsPrintPat.INI" are their stored form.

#include <QDialog>
#include <string>

#include "listprint/list_settings.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vendaro::book::ui {
class FieldListChooser;
}

namespace vendaro::listprint::ui {

/// Spin buttons beside a number field: up and down step the number the field holds.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);
  void step(int by);
  QToolButton* up;
  QToolButton* down;

 private:
  QLineEdit* buddy_;
  int minimum_, maximum_;
};

class TPrintPatDlg : public QDialog {
  Q_OBJECT
 public:
  /// Reads the settings files of `programDirectory`; a file that cannot be read is reported.
  explicit TPrintPatDlg(const std::string& programDirectory, QWidget* parent = nullptr);

  /// Puts the defaults and then the settings files into the controls, and sets the enabling.
  /// Throws FileError.
  void load();
  /// load(), reporting a file error; then shows the dialog modally. The dialog's result.
  int showSettings();
  /// The settings the controls hold.
  ListPrintSettings settings() const;

  void RadioGroup1Click();
  void RadioGroup2Click();
  void Button1Click();
  void OKBtnClick();

  QGroupBox* RadioGroup1;
  QRadioButton* RadioGroup1Current;  ///< "現在表示されている１件のみ"
  QRadioButton* RadioGroup1All;      ///< "全件（フィルタの状態）"
  QLabel* Label1;
  QLineEdit* Edit1;
  UpDown* UpDown1;
  QGroupBox* GroupBox1;
  book::ui::FieldListChooser* Chooser;
  QLabel* Label2;
  QLabel* Label3;
  QListWidget* ListBox1;
  QListWidget* ListBox2;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton4;
  QGroupBox* RadioGroup2;
  QRadioButton* RadioGroup2Chosen;  ///< "指定した項目のみ"
  QRadioButton* RadioGroup2All;     ///< "全項目（画面出力）"
  QLabel* Label4;
  QLineEdit* Edit2;
  UpDown* UpDown2;
  QFrame* Panel1;
  QLineEdit* HyouEdit;
  QLineEdit* HyouPEdit;
  QLineEdit* HyouSEdit;
  QLineEdit* DayPEdit;
  QLineEdit* DaySEdit;
  QCheckBox* CheckBox1;
  QPushButton* Button1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 private:
  void put(const ListPrintSettings& s);
  void setCountEnabled(bool on);
  void setChoiceEnabled(bool on);
  std::string programDirectory_;
  PrintFont font_;
};

}  // namespace vendaro::listprint::ui

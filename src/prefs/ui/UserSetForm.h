#pragma once
// The company information dialog: the dealer's seven lines, kept in "User.INI" and read by the
// print items straight from the dialog's fields.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "formprint/item_language.h"

namespace vendaro::prefs::ui {

class TUserSetForm : public QDialog, public formprint::CompanyFields {
  Q_OBJECT
 public:
  /// Fills the fields from "User.INI" in the program directory (remembered for saving).
  explicit TUserSetForm(const std::string& programDirectory, QWidget* parent = nullptr);

  /// The text of field `line` (1 to 7) as CP932; a character without a CP932 form reads as '?'.
  std::string companyLine(int line) const override;

  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QLineEdit* Edit5;
  QLineEdit* Edit6;
  QLineEdit* Edit7;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  /// OK: writes "User.INI" and closes; a file error is shown and the dialog stays open.
  void OKBtnClick();

 private:
  QLineEdit* edit(int line) const;
  std::string programDirectory_;
};

}  // namespace vendaro::prefs::ui

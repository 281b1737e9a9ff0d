#pragma once
// The password dialog: asks for the start-up password, and sets a new one from the Edit menu.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

namespace vendaro::prefs::ui {

/// What the start-up password does (it hides the book in this program) and does not do (it
/// encrypts nothing; the account's file permissions protect the files).
QString passwordHelpText();

class TPassDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPassDlg(QWidget* parent = nullptr);

  QLabel* Label1;
  /// What the password does and does not do; shown while a new password is set.
  QLabel* HelpLabel;
  /// Shows every typed character as "*"; typed without the input method.
  QLineEdit* MaskEdit1;
  /// The default button; there is no cancel button (closing the window otherwise cancels).
  QPushButton* OKBtn;

  /// Asks for the password (the field starts empty); true when what was typed, however the dialog
  /// was closed, equals `password` byte for byte.
  bool ask(const std::string& password);

  /// Sets a new password: the caption becomes "パスワードの設定" for the rest of the run, the field
  /// starts empty, and OK writes what was typed to "EsPass.INI" in the program directory (a file
  /// error or a character without a Shift-JIS form is reported and nothing is written).
  void setPassword(const std::string& programDirectory);
};

}  // namespace vendaro::prefs::ui

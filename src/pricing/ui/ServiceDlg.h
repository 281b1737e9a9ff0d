#pragma once
// The discount dialog: four choices of trailing digits to cut from the quoted amount, or the
// amount the customer is to pay typed in Edit1. It has no buttons: a click on a choice, Enter or
// closing the window ends it, and the caller reads the controls afterwards.

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>
#include <optional>

namespace vendaro::pricing::ui {

class TServDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TServDlg(QWidget* parent = nullptr);

  /// Replaces the choices; none is selected afterwards.
  void setChoices(const QStringList& choices);
  QStringList choices() const;
  /// The text of the selected choice, if one is.
  std::optional<QString> selectedChoice() const;
  /// Selects choice i (0-based) as a click does, closing the dialog.
  void clickChoice(int i);

  QGroupBox* RadioGroup1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLineEdit* Edit1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QButtonGroup* group_ = nullptr;
};

}  // namespace vendaro::pricing::ui

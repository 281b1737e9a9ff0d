#pragma once
// The consumption-tax dialog: the rate box whose value every recalculation reads, and "Zei.INI".

#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <string>

namespace vendaro::pricing::ui {

class TZeiSetForm : public QDialog {
  Q_OBJECT
 public:
  /// Reads "Zei.INI" of the program directory into the rate box (10 without the file or with a
  /// file of no bytes; a file that cannot be read is reported and leaves 10).
  explicit TZeiSetForm(const std::string& programDirectory, QWidget* parent = nullptr);

  /// The rate in effect: the box's text as a whole number, anything else 0.
  int32_t rate() const;

  QSpinBox* SpinEdit1 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 public:
  void reject() override;

 private:
  void OKBtnClick();
  void CancelBtnClick();
  std::string programDirectory_;
  int keptValue_ = 0;  ///< the rate as of the last OK (or creation)
};

}  // namespace vendaro::pricing::ui

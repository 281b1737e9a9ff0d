#pragma once
// The period dialog "期間設定": a start month and an end month chosen from the month tabs. The
// start month is never newer than the end month. The caller reads MSetLabel ("OK" when OK was
// pressed) and the two positions after the dialog closed.

#include <QDialog>
#include <string>
#include <vector>

#include "maintenance/period.h"

class QComboBox;
class QLabel;
class QPushButton;
class QFrame;

namespace vendaro::maintenance::ui {

class TMSetDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TMSetDlg(QWidget* parent = nullptr);

  /// Fills both boxes with the month captions (CP932, newest first) and proposes the oldest month
  /// as start and the newest as end. Clears MSetLabel.
  void fill(const std::vector<std::string>& captions);
  /// The chosen span as positions in the list of months (-1 when the lists are empty).
  MonthSpan span() const;
  /// True when the dialog was last closed with OK.
  bool accepted() const;

  void setVisible(bool visible) override;

  void FromComboBoxChange();
  void ToComboBoxChange();
  void OKBtnClick();

  QLabel* TitelPanel;
  QFrame* Panel2;
  QComboBox* FromComboBox;
  QFrame* Panel1;
  QComboBox* ToComboBox;
  QPushButton* OKBtn;
  QLabel* MSetLabel;
};

}  // namespace vendaro::maintenance::ui

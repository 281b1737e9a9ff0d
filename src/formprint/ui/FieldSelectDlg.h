#pragma once
// The print name dialog: picks the layout to open in the layout editor, "新規追加" for a new one.

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <string>

#include "formprint/layout_list.h"

namespace vendaro::formprint::ui {

class TSelectDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TSelectDlg(const std::string& programDirectory, QWidget* parent = nullptr);

  /// The list entry picked (1-based), or 0 when a text was typed that is no entry's name.
  int selectedEntry() const;
  /// The dialog's copy of the layout list, as read when it was last shown.
  const LayoutList& list() const { return list_; }

  QComboBox* FindComboBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 protected:
  /// Reads the layout list again: its names fill the box and the text becomes "新規追加".
  void showEvent(QShowEvent* event) override;

 private:
  std::string programDirectory_;
  LayoutList list_;
};

}  // namespace vendaro::formprint::ui

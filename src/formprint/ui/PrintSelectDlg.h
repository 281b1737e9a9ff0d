#pragma once
// The print order dialog: the layouts of the layout list in menu order, moved up and down and
// written back by OK.

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <string>
#include <vector>

#include "formprint/layout_list.h"

namespace vendaro::formprint::ui {

class TPrintSlctDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TPrintSlctDlg(const std::string& programDirectory, QWidget* parent = nullptr);

  /// The layouts in the order shown.
  const std::vector<LayoutListEntry>& entries() const { return entries_; }

  /// Moves the selected line up or down (nothing for the first line up or the last down).
  void SpeedButton3Click();
  void SpeedButton4Click();
  /// Rewrites "EsPrintName.INI" in the shown order and closes; a file error is shown.
  void OKBtnClick();

  QListWidget* ListBox1;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton4;
  QPushButton* OKBtn;

 protected:
  /// Reads the layout list again (when the file exists) and shows all but the new-layout entry.
  void showEvent(QShowEvent* event) override;

 private:
  void swap(int row, int other);
  std::string programDirectory_;
  std::vector<LayoutListEntry> entries_;
};

}  // namespace vendaro::formprint::ui

#pragma once
// The About box.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace vendaro::app::ui {

class TVersionDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TVersionDlg(QWidget* parent = nullptr);
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QPushButton* OKButton = nullptr;
};

}  // namespace vendaro::app::ui

#pragma once
// The restore pattern dialog "リストア選択": the order of the fields for a restore file without a
// header line. Its lists keep their contents between restores until the program ends; they are
// not saved.

#include <QDialog>
#include <string>
#include <vector>

class QGroupBox;
class QPushButton;

namespace vendaro::book::ui {
class FieldListChooser;
}

namespace vendaro::maintenance::ui {

class TRestorePatDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TRestorePatDlg(QWidget* parent = nullptr);

  /// The fields chosen, in order (CP932): the restore pattern.
  std::vector<std::string> pattern() const;

  QGroupBox* GroupBox1;
  book::ui::FieldListChooser* Chooser;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
};

}  // namespace vendaro::maintenance::ui

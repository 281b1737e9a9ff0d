#pragma once
// The entry aids on the main window: the postal-code panels 住所変換 and 〒, the kana reading of
// the name box, and the recall from the vehicle register by double-clicking ten boxes.

#include <QObject>
#include <string>

#include "app/ui/EstimateForm.h"

namespace vendaro::entry::ui {
class TPostForm;
class TCFormDlg;
}

namespace vendaro::app::ui {

/// The main window's handlers of the entry aids.
class EntryAids : public QObject {
  Q_OBJECT
 public:
  EntryAids(TEstimateDataForm& form, entry::ui::TPostForm& postForm, std::string cardataDirectory);

  /// Code to address: the grid on the estimate's postal code, and the chosen row's address.
  void Panel2Sub3Click();
  /// Address to code: the grid on the estimate's address (or the search bar), and the chosen code.
  void Panel2Sub4Click();
  /// The File menu's import of a postal-code list; afterwards the postal-code window stands on the
  /// code shown in the postal-code box.
  void PostData1Click();
  /// The reading of a commit in the name box, appended to ふりがな as hiragana.
  void YomiDBMemo1YomiOut(std::string& yomi);

  void DBMemo2DblClick() { recall(0); }
  void DBMemo3DblClick() { recall(1); }
  void DBMemo4DblClick() { recall(2); }
  void YomiDBMemo1DblClick() { recall(3); }
  void DBEdit40DblClick() { recall(4); }
  void DBEdit50DblClick() { recall(5); }
  void DBEdit51DblClick() { recall(6); }
  void DBEdit52DblClick() { recall(7); }
  void DBEdit53DblClick() { recall(8); }
  void DBEdit54DblClick() { recall(9); }

  /// The recall dialog once it was created by a double-click.
  entry::ui::TCFormDlg* carFormDialog() const { return carForm_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  /// Opens the recall dialog for box `i` of the ten (nothing without the register program).
  void recall(int i);

  TEstimateDataForm& form_;
  entry::ui::TPostForm& postForm_;
  std::string cardataDirectory_;
  entry::ui::TCFormDlg* carForm_ = nullptr;
  QWidget* toAddress_ = nullptr;
  QWidget* toPostal_ = nullptr;
};

/// Creates the postal-code window TPostForm and wires the entry aids into the main window.
entry::ui::TPostForm* createEntryAids(TEstimateDataForm& form, const std::string& cardataDirectory);

}  // namespace vendaro::app::ui

#pragma once
// The find dialog: the field to search and the text to find. Its last result, field and text stay
// between showings; find next and find previous use them.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <optional>
#include <string>

namespace vendaro::book::ui {

class TDateSDlg;

class TFindDlg : public QDialog {
  Q_OBJECT
 public:
  /// Loads the field list from "EsFind.INI" in the program directory (or the default list).
  /// `transmissions` gives the main window's transmission list; `dateDialog` picks dates.
  TFindDlg(const std::string& programDirectory, std::function<QStringList()> transmissions, TDateSDlg* dateDialog,
           QWidget* parent = nullptr);

  /// True when the last showing ended with OK.
  bool lastAccepted() const { return lastAccepted_; }
  /// The chosen field and the text to find, as CP932; nothing when a character has no CP932 form.
  std::optional<std::string> field() const;
  std::optional<std::string> text() const;

  void done(int result) override;

  QLabel* Label1;
  QComboBox* FindComboBox;
  QLabel* Label2;
  QComboBox* FindEdit;
  QPushButton* OKBtn;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FindComboBoxChange();
  void FindEditDblClick();
  void FindEditExit();

  std::function<QStringList()> transmissions_;
  TDateSDlg* dateDialog_;
  bool lastAccepted_ = false;
};

}  // namespace vendaro::book::ui

#pragma once
// The list editor: one pick list in a memo, one entry per line, confirmed with OK.

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

namespace vendaro::pricing::ui {

class TListEditForm : public QDialog {
  Q_OBJECT
 public:
  explicit TListEditForm(QWidget* parent = nullptr);

  /// Names the list being edited in the heading bar.
  void setHeading(const QString& heading);
  /// Fills the memo, one entry per line.
  void setEntries(const QStringList& entries);
  /// The memo's lines (a line break at the very end starts no entry).
  QStringList entries() const;

  QLabel* Panel1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QWidget* BtnPanel = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BtnPanelResize();
};

}  // namespace vendaro::pricing::ui

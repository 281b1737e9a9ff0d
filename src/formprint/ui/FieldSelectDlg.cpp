#include "formprint/ui/FieldSelectDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::formprint::ui {

using vendaro::ui::toQ;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TSelectDlg::TSelectDlg(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("SelectDlg"));
  setWindowTitle(u8("印刷名"));
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(u8("印刷名を指定して下さい。"), this);
  heading->setObjectName(QStringLiteral("Panel1"));
  heading->setFrameShape(QFrame::Panel);
  heading->setAlignment(Qt::AlignCenter);
  heading->setMinimumHeight(32);
  layout->addWidget(heading);
  FindComboBox = new QComboBox(this);
  FindComboBox->setObjectName(QStringLiteral("FindComboBox"));
  FindComboBox->setEditable(true);
  FindComboBox->setInsertPolicy(QComboBox::NoInsert);
  FindComboBox->setEditText(toQ(newLayoutName()));
  layout->addWidget(FindComboBox);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", this);
  addCentredButtons(layout, {OKBtn, CancelBtn});
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(sizeHint().expandedTo(QSize(300, 130)));
}

void TSelectDlg::showEvent(QShowEvent* event) {
  try {
    if (list_.read(programDirectory_)) {
      FindComboBox->clear();
      for (const auto& e : list_.entries()) FindComboBox->addItem(toQ(e.name));
      FindComboBox->setCurrentIndex(FindComboBox->count() - 1);
      FindComboBox->setEditText(toQ(newLayoutName()));
    }
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
  }
  QDialog::showEvent(event);
}

int TSelectDlg::selectedEntry() const {
  const int i = FindComboBox->currentIndex();
  if (i < 0 || FindComboBox->itemText(i) != FindComboBox->currentText()) return 0;
  return i + 1;
}

}  // namespace vendaro::formprint::ui

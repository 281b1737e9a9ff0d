#include "formprint/ui/PrintSelectDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::formprint::ui {

using vendaro::ui::toQ;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TPrintSlctDlg::TPrintSlctDlg(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("PrintSlctDlg"));
  setWindowTitle(u8("印刷順序変更"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(u8("出力順序"), this);
  auto* row = new QHBoxLayout(group);
  auto* arrows = new QVBoxLayout;
  SpeedButton3 = new QToolButton(group);
  SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
  SpeedButton3->setArrowType(Qt::UpArrow);
  SpeedButton4 = new QToolButton(group);
  SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
  SpeedButton4->setArrowType(Qt::DownArrow);
  arrows->addStretch(1);
  arrows->addWidget(SpeedButton3);
  arrows->addWidget(SpeedButton4);
  arrows->addStretch(1);
  row->addLayout(arrows);
  ListBox1 = new QListWidget(group);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  row->addWidget(ListBox1, 1);
  layout->addWidget(group, 1);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", this);
  layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  setFixedSize(300, 320);
}

void TPrintSlctDlg::showEvent(QShowEvent* event) {
  try {
    LayoutList list;
    if (list.read(programDirectory_)) {
      entries_ = list.layouts();
      ListBox1->clear();
      for (const auto& e : entries_) ListBox1->addItem(toQ(e.name));
    }
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
  }
  QDialog::showEvent(event);
}

void TPrintSlctDlg::swap(int row, int other) {
  std::swap(entries_[std::size_t(row)], entries_[std::size_t(other)]);
  ListBox1->item(row)->setText(toQ(entries_[std::size_t(row)].name));
  ListBox1->item(other)->setText(toQ(entries_[std::size_t(other)].name));
  ListBox1->setCurrentRow(other);  // the moved entry stays selected
}

void TPrintSlctDlg::SpeedButton3Click() {
  const int row = ListBox1->currentRow();
  if (row > 0 && ListBox1->item(row)->isSelected()) swap(row, row - 1);
}

void TPrintSlctDlg::SpeedButton4Click() {
  const int row = ListBox1->currentRow();
  if (row >= 0 && row + 1 < ListBox1->count() && ListBox1->item(row)->isSelected()) swap(row, row + 1);
}

void TPrintSlctDlg::OKBtnClick() {
  try {
    writeLayoutOrder(programDirectory_, entries_);
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    return;
  }
  accept();
}

}  // namespace vendaro::formprint::ui

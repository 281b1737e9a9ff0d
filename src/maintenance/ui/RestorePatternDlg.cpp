#include "maintenance/ui/RestorePatternDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "book/field_lists.h"
#include "book/ui/FieldListChooser.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::maintenance::ui {

using vendaro::ui::namedButton;
using vendaro::ui::u8;

TRestorePatDlg::TRestorePatDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RestorePatDlg"));
  setWindowTitle(u8("リストア選択"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  GroupBox1 = new QGroupBox(u8("リストア順序"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  Chooser = new book::ui::FieldListChooser("リストアしない項目", "リストアする項目", true, GroupBox1);
  Chooser->setLists(book::chooserFieldNames(), {});
  auto* groupLayout = new QVBoxLayout(GroupBox1);
  groupLayout->addWidget(Chooser);

  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", this);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::vector<std::string> TRestorePatDlg::pattern() const { return Chooser->chosen(); }

}  // namespace vendaro::maintenance::ui

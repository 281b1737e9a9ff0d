#include "book/ui/CopyPatternDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "book/field_lists.h"
#include "book/ui/FieldListChooser.h"
#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::book::ui {

using vendaro::ui::toQ;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TCopyPatDlg::TCopyPatDlg(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("CopyPatDlg"));
  setWindowTitle(u8("複写設定"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  GroupBox1 = new QGroupBox(u8("複写項目設定"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  Chooser = new FieldListChooser("複写しない項目", "複写する項目", true, GroupBox1);
  Chooser->setLists(chooserFieldNames(), {});
  // The captions over the two lists carry this dialog's names.
  Label2 = Chooser->Label1;
  Label2->setObjectName(QStringLiteral("Label2"));
  Label3 = Chooser->Label2;
  Label3->setObjectName(QStringLiteral("Label3"));
  auto* groupLayout = new QVBoxLayout(GroupBox1);
  groupLayout->addWidget(Chooser);

  Panel1 = new QLabel(u8("現在表示されているデータを上記の項目で複写しますか？"), this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setWordWrap(true);
  Panel1->setMinimumHeight(32);

  OKBtn = namedButton(u8("はい(&Y)"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("いいえ"), "CancelBtn", this);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addWidget(Panel1);
  addCentredButtons(layout, {OKBtn, CancelBtn});
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::string TCopyPatDlg::patternFile() const { return joinPath(programDirectory_, "EsCopy.INI"); }

void TCopyPatDlg::FormShow() { Chooser->readFile(patternFile()); }

void TCopyPatDlg::OKBtnClick() {
  try {
    Chooser->writeFile(patternFile());
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    reject();
    return;
  }
  accept();
}

std::vector<std::string> TCopyPatDlg::copiedFields() const { return Chooser->chosen(); }

}  // namespace vendaro::book::ui

#include "book/ui/DsplayPatternDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "book/display_pattern.h"
#include "book/ui/FieldListChooser.h"
#include "platform/settings_file.h"
#include "platform/ui/binding.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::book::ui {

using vendaro::ui::toQ;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TDspPatDlg::TDspPatDlg(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("DspPatDlg"));
  setWindowTitle(u8("複写設定"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  GroupBox1 = new QGroupBox(u8("一覧の表示指定"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  Chooser = new FieldListChooser("表示しない項目", "表示する項目", false, GroupBox1);
  Chooser->setLists(displayEntries(), {});
  // The captions over the two lists carry this dialog's names; Label1 is the panel's note.
  Label2 = Chooser->Label1;
  Label2->setObjectName(QStringLiteral("Label2"));
  Label3 = Chooser->Label2;
  Label3->setObjectName(QStringLiteral("Label3"));
  auto* groupLayout = new QVBoxLayout(GroupBox1);
  groupLayout->addWidget(Chooser);

  auto* panel = new QFrame(this);
  Panel1 = panel;
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Label4 = new QLabel(u8("一覧に表示する項目を指定してください。"), panel);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setAlignment(Qt::AlignCenter);
  Label1 = new QLabel(u8("注）この変更は、再起同時に行われます。"), panel);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(4, 4, 4, 4);
  panelLayout->addWidget(Label4);
  panelLayout->addWidget(Label1);

  OKBtn = namedButton(u8("はい(&Y)"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("いいえ"), "CancelBtn", this);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addWidget(panel);
  addCentredButtons(layout, {OKBtn, CancelBtn});
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TDspPatDlg::applyTo(vendaro::ui::DBGrid& grid) {
  if (!Chooser->readFile(joinPath(programDirectory_, "EsDsplay.INI"))) return;
  std::vector<bool> shown = shownFields(Chooser->chosen());
  for (int n = kLastDisplayField; n >= 1; --n) grid.setColumnHidden(n, !shown[static_cast<std::size_t>(n)]);
  auto pairs = readColumnPairs(joinPath(programDirectory_, "EstimateLen.INI"));
  if (!pairs) return;
  ColumnLayout layout = placeColumns(shown, *pairs);
  QHeaderView* header = grid.horizontalHeader();
  for (std::size_t v = 0; v < layout.order.size(); ++v)
    header->moveSection(header->visualIndex(layout.order[v]), static_cast<int>(v));
  for (const auto& [field, width] : layout.widths) grid.setDisplayWidth(field, width);
}

void TDspPatDlg::OKBtnClick() {
  try {
    Chooser->writeFile(joinPath(programDirectory_, "EsDsplay.INI"));
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    reject();
    return;
  }
  accept();
}

}  // namespace vendaro::book::ui

#include "maintenance/ui/MonthSetingDlg.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::maintenance::ui {

using vendaro::ui::toQ;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {

QFrame* monthPanel(QWidget* parent, const char* name, QComboBox*& box, const char* boxName, const char* word) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QHBoxLayout(panel);
  box = new QComboBox(panel);
  box->setObjectName(QString::fromLatin1(boxName));
  // Months are chosen from the list only, so a choice always names a month tab.
  box->setEditable(false);
  box->setMinimumWidth(170);
  layout->addWidget(box, 1);
  layout->addWidget(new QLabel(u8(word), panel));
  return panel;
}

}  // namespace

TMSetDlg::TMSetDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MSetDlg"));
  setWindowTitle(u8("期間設定"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  TitelPanel = new QLabel(u8(" 期間を指定してください"), this);
  TitelPanel->setObjectName(QStringLiteral("TitelPanel"));
  TitelPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  TitelPanel->setMinimumHeight(28);
  Panel2 = monthPanel(this, "Panel2", FromComboBox, "FromComboBox", "から");
  Panel1 = monthPanel(this, "Panel1", ToComboBox, "ToComboBox", "迄");
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  MSetLabel = new QLabel(this);
  MSetLabel->setObjectName(QStringLiteral("MSetLabel"));
  MSetLabel->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitelPanel);
  layout->addWidget(Panel2);
  layout->addWidget(Panel1);
  addCentredButtons(layout, {OKBtn});
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(FromComboBox, &QComboBox::currentIndexChanged, this, [this] { FromComboBoxChange(); });
  connect(ToComboBox, &QComboBox::currentIndexChanged, this, [this] { ToComboBoxChange(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
}

void TMSetDlg::fill(const std::vector<std::string>& captions) {
  QSignalBlocker fromBlock(FromComboBox), toBlock(ToComboBox);
  MSetLabel->clear();
  FromComboBox->clear();
  ToComboBox->clear();
  for (const auto& caption : captions) {
    FromComboBox->addItem(toQ(caption));
    ToComboBox->addItem(toQ(caption));
  }
  FromComboBox->setCurrentIndex(FromComboBox->count() - 1);
  ToComboBox->setCurrentIndex(captions.empty() ? -1 : 0);
}

MonthSpan TMSetDlg::span() const { return MonthSpan{FromComboBox->currentIndex(), ToComboBox->currentIndex()}; }

bool TMSetDlg::accepted() const { return MSetLabel->text() == QStringLiteral("OK"); }

void TMSetDlg::setVisible(bool visible) {
  if (visible) MSetLabel->clear();  // only OK sets it while the dialog is up
  QDialog::setVisible(visible);
}

void TMSetDlg::FromComboBoxChange() {
  // The start month may not be newer (a smaller position) than the end month.
  if (FromComboBox->currentIndex() < ToComboBox->currentIndex()) FromComboBox->setCurrentIndex(ToComboBox->currentIndex());
}

void TMSetDlg::ToComboBoxChange() {
  if (FromComboBox->currentIndex() < ToComboBox->currentIndex()) ToComboBox->setCurrentIndex(FromComboBox->currentIndex());
}

void TMSetDlg::OKBtnClick() {
  MSetLabel->setText(QStringLiteral("OK"));
  accept();
}

}  // namespace vendaro::maintenance::ui

#include "pricing/ui/ListEdit.h"

#include <QEvent>
#include <QVBoxLayout>

#include "platform/ui/qtext.h"
#include "pricing/pick_lists.h"
#include "platform/ui/buttons.h"

namespace vendaro::pricing::ui {

using vendaro::ui::namedButton;
using vendaro::ui::u8;

TListEditForm::TListEditForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ListEditForm"));
  setWindowTitle(u8("ﾘｽﾄ修正"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setMinimumHeight(28);
  layout->addWidget(Panel1);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);  // each visible line is one entry
  layout->addWidget(Memo1, 1);
  BtnPanel = new QWidget(this);
  BtnPanel->setObjectName(QStringLiteral("BtnPanel"));
  BtnPanel->setFixedHeight(41);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", BtnPanel);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", BtnPanel);
  for (QPushButton* b : {OKBtn, CancelBtn}) {
    b->setFixedSize(75, 25);
    b->setAutoDefault(false);
  }
  layout->addWidget(BtnPanel);
  BtnPanel->installEventFilter(this);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  resize(300, 320);
  BtnPanelResize();
}

void TListEditForm::setHeading(const QString& heading) { Panel1->setText(heading); }

void TListEditForm::setEntries(const QStringList& entries) { Memo1->setPlainText(entries.join(QLatin1Char('\n'))); }

QStringList TListEditForm::entries() const {
  QStringList out;
  std::string text = Memo1->toPlainText().toStdString();
  for (const auto& entry : entriesOfText(text)) out << QString::fromStdString(entry);
  return out;
}

bool TListEditForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == BtnPanel && event->type() == QEvent::Resize) BtnPanelResize();
  return QDialog::eventFilter(watched, event);
}

void TListEditForm::BtnPanelResize() {
  // The 75-pixel buttons centred on one third and two thirds of the bar.
  const int third = BtnPanel->width() / 3;
  const int top = (BtnPanel->height() - OKBtn->height()) / 2;
  OKBtn->move(third - 37, top);
  CancelBtn->move(third * 2 - 37, top);
}

}  // namespace vendaro::pricing::ui

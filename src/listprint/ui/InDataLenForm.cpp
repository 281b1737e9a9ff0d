#include "listprint/ui/InDataLenForm.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "listprint/print_widths.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::listprint::ui {

using vendaro::ui::namedButton;
using vendaro::ui::u8;

TInDTLenForm::TInDTLenForm(const std::string& cardataDirectory, QWidget* parent)
    : QDialog(parent), cursor_(openPrintWidthTable(cardataDirectory)) {
  setObjectName(QStringLiteral("InDTLenForm"));
  setWindowTitle(u8("印刷桁数設定"));
  setSizeGripEnabled(true);
  source_ = std::make_unique<vendaro::ui::DataSource>(*cursor_, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(25);
  Panel1->setAlignment(Qt::AlignCenter);
  layout->addWidget(Panel1);
  DBGrid1 = new vendaro::ui::DBGrid(source_.get(), this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  layout->addWidget(DBGrid1, 1);

  BtnPanel = new QWidget(this);
  BtnPanel->setObjectName(QStringLiteral("BtnPanel"));
  BtnPanel->setFixedHeight(41);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", BtnPanel);
  OKBtn->setFixedSize(75, 25);
  OKBtn->setDefault(true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", BtnPanel);
  CancelBtn->setFixedSize(75, 25);
  layout->addWidget(BtnPanel);
  BtnPanel->installEventFilter(this);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  resize(600, 200);
  BtnPanelResize();
}

TInDTLenForm::~TInDTLenForm() {
  delete DBGrid1;  // the grid goes before the data source it uses
  DBGrid1 = nullptr;
  source_.reset();
}

bool TInDTLenForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == BtnPanel && event->type() == QEvent::Resize) BtnPanelResize();
  return QDialog::eventFilter(watched, event);
}

void TInDTLenForm::BtnPanelResize() {
  const int third = BtnPanel->width() / 3;
  const int top = (BtnPanel->height() - OKBtn->height()) / 2;
  OKBtn->move(third - 37, top);
  CancelBtn->move(2 * third - 37, top);
}

int TInDTLenForm::showWidths() {
  Panel1->setText(QString());
  DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
  return vendaro::ui::dialogs().exec(*this);
}

void TInDTLenForm::OKBtnClick() {
  // Stores the current record, edited or not; a value the table refuses keeps the window open.
  const bool stored = source_->run([](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.post();
  });
  if (stored) accept();
}

void TInDTLenForm::CancelBtnClick() {
  // Cancel keeps nothing: a width typed but not yet stored is dropped.
  if (cursor_->state() != table::Cursor::State::Browse) source_->cancel();
  reject();
}

}  // namespace vendaro::listprint::ui

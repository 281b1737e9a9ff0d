#include "book/ui/FindFieldDlg.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include "book/eradate.h"
#include "book/find.h"
#include "book/ui/DateSetDlg.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::book::ui {

using vendaro::ui::toQ;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TFindDlg::TFindDlg(const std::string& programDirectory, std::function<QStringList()> transmissions,
                   TDateSDlg* dateDialog, QWidget* parent)
    : QDialog(parent), transmissions_(std::move(transmissions)), dateDialog_(dateDialog) {
  setObjectName(QStringLiteral("FindDlg"));
  setWindowTitle(u8("検索"));
  auto* grid = new QGridLayout(this);
  Label1 = new QLabel(u8("検索項目"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  FindComboBox = new QComboBox(this);
  FindComboBox->setObjectName(QStringLiteral("FindComboBox"));
  FindComboBox->setEditable(true);
  FindComboBox->setCompleter(nullptr);
  FindComboBox->setInsertPolicy(QComboBox::NoInsert);
  Label2 = new QLabel(u8("検索内容"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  FindEdit = new QComboBox(this);
  FindEdit->setObjectName(QStringLiteral("FindEdit"));
  FindEdit->setEditable(true);
  FindEdit->setCompleter(nullptr);
  FindEdit->setInsertPolicy(QComboBox::NoInsert);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(FindComboBox, 0, 1);
  grid->addWidget(Label2, 1, 0);
  grid->addWidget(FindEdit, 1, 1);
  grid->addWidget(OKBtn, 2, 1, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  setFixedSize(sizeHint().expandedTo(QSize(309, 111)));

  for (const std::string& name : loadFindFields(programDirectory)) FindComboBox->addItem(toQ(name));
  FindComboBox->setCurrentIndex(0);
  FindEdit->setEditText(QString());
  connect(FindComboBox, &QComboBox::currentTextChanged, this, [this] { FindComboBoxChange(); });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  FindEdit->lineEdit()->installEventFilter(this);
  FindComboBoxChange();
}

std::optional<std::string> TFindDlg::field() const { return vendaro::ui::fromQ(FindComboBox->currentText()); }
std::optional<std::string> TFindDlg::text() const { return vendaro::ui::fromQ(FindEdit->currentText()); }

void TFindDlg::done(int result) {
  FindEditExit();
  lastAccepted_ = result == QDialog::Accepted;
  QDialog::done(result);
}

void TFindDlg::FindComboBoxChange() {
  QString shown = FindEdit->currentText();
  FindEdit->clear();
  if (FindComboBox->currentText() == u8("ミッション") && transmissions_) FindEdit->addItems(transmissions_());
  FindEdit->setEditText(shown);
}

void TFindDlg::FindEditDblClick() {
  QString fieldName = FindComboBox->currentText();
  if (!dateDialog_ || (fieldName != u8("作成日") && fieldName != u8("見積有効期限"))) return;
  dateDialog_->setDate(era::charToDate(vendaro::ui::fromQ(FindEdit->currentText()).value_or(std::string())));
  vendaro::ui::dialogs().exec(*dateDialog_);
  std::string picked = dateDialog_->resultText();
  if (picked.empty()) return;
  era::changeChar(picked);
  FindEdit->setEditText(toQ(picked));
}

void TFindDlg::FindEditExit() {
  if (FindEdit->currentText() == QStringLiteral("$DATE")) FindEdit->setEditText(toQ(era::format(today())));
}

bool TFindDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == FindEdit->lineEdit()) {
    if (event->type() == QEvent::MouseButtonDblClick) {
      FindEditDblClick();
      return true;
    }
    if (event->type() == QEvent::FocusOut) FindEditExit();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vendaro::book::ui

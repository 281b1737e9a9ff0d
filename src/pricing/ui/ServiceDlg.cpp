#include "pricing/ui/ServiceDlg.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/ui/qtext.h"

namespace vendaro::pricing::ui {

using vendaro::ui::u8;

TServDlg::TServDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ServDlg"));
  setWindowTitle(u8("値引きの選択"));
  auto* layout = new QVBoxLayout(this);
  RadioGroup1 = new QGroupBox(u8("次の中から選んでください。"), this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  new QGridLayout(RadioGroup1);
  group_ = new QButtonGroup(this);
  layout->addWidget(RadioGroup1);
  GroupBox1 = new QGroupBox(u8("請求額の指定"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* typed = new QVBoxLayout(GroupBox1);
  Edit1 = new QLineEdit(GroupBox1);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setAttribute(Qt::WA_InputMethodEnabled, false);
  Edit1->setAlignment(Qt::AlignRight);
  typed->addWidget(Edit1);
  layout->addWidget(GroupBox1);
  Edit1->installEventFilter(this);
  setChoices({u8("1円"), u8("10円"), u8("100円"), u8("1000円")});
  connect(group_, &QButtonGroup::idClicked, this, [this](int) { accept(); });
  setFixedSize(260, 190);
}

void TServDlg::setChoices(const QStringList& choices) {
  for (QAbstractButton* b : group_->buttons()) {
    group_->removeButton(b);
    delete b;
  }
  auto* grid = static_cast<QGridLayout*>(RadioGroup1->layout());
  for (int i = 0; i < choices.size(); ++i) {
    auto* button = new QRadioButton(choices[i], RadioGroup1);
    button->setObjectName(QStringLiteral("Choice%1").arg(i + 1));
    button->installEventFilter(this);
    group_->addButton(button, i);
    grid->addWidget(button, i / 2, i % 2);
  }
}

QStringList TServDlg::choices() const {
  QStringList out;
  for (QAbstractButton* b : group_->buttons()) out << b->text();
  return out;
}

std::optional<QString> TServDlg::selectedChoice() const {
  if (QAbstractButton* b = group_->checkedButton()) return b->text();
  return std::nullopt;
}

void TServDlg::clickChoice(int i) {
  if (QAbstractButton* b = group_->button(i)) b->click();
}

void TServDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  Edit1->clear();
  Edit1->setFocus();
}

bool TServDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      accept();  // Enter anywhere ends the choice
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vendaro::pricing::ui

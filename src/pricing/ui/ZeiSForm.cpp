#include "pricing/ui/ZeiSForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <climits>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "pricing/tax_rate.h"
#include "platform/ui/buttons.h"

namespace vendaro::pricing::ui {

using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

TZeiSetForm::TZeiSetForm(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("ZeiSetForm"));
  setWindowTitle(u8("消費税"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  auto* row = new QHBoxLayout(group);
  auto* label = new QLabel(u8("消　費　税　："), group);
  label->setObjectName(QStringLiteral("Label1"));
  SpinEdit1 = new QSpinBox(group);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit1->setRange(INT_MIN, INT_MAX);  // the rate box has no bounds
  SpinEdit1->setValue(kDefaultTaxRate);
  SpinEdit1->setSingleStep(1);
  SpinEdit1->setAlignment(Qt::AlignRight);
  SpinEdit1->setMinimumWidth(80);
  SpinEdit1->setAttribute(Qt::WA_InputMethodEnabled, false);
  row->addWidget(label);
  row->addWidget(SpinEdit1);
  row->addWidget(new QLabel(QStringLiteral("%"), group));
  layout->addWidget(group);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", this);
  addCentredButtons(layout, {OKBtn, CancelBtn});
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  setFixedSize(sizeHint());

  try {
    SpinEdit1->setValue(loadTaxRate(programDirectory_));
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, vendaro::ui::toQ(e.what()));
  }
  keptValue_ = SpinEdit1->value();
}

int32_t TZeiSetForm::rate() const { return taxRateFromText(SpinEdit1->text().toStdString()); }

void TZeiSetForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  SpinEdit1->setFocus();
  SpinEdit1->selectAll();
}

void TZeiSetForm::OKBtnClick() {
  SpinEdit1->interpretText();
  try {
    saveTaxRate(programDirectory_, SpinEdit1->value());
  } catch (const FileError& e) {
    // The rate in the box stays in effect for the run.
    vendaro::ui::dialogs().message(this, vendaro::ui::toQ(e.what()));
  }
  keptValue_ = SpinEdit1->value();
  accept();
}

void TZeiSetForm::CancelBtnClick() { reject(); }

void TZeiSetForm::reject() {
  // Closing without OK keeps the rate that was in effect before.
  SpinEdit1->setValue(keptValue_);
  QDialog::reject();
}

}  // namespace vendaro::pricing::ui

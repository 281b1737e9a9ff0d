#include "prefs/ui/UserSetForm.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "prefs/company_info.h"
#include "platform/ui/buttons.h"

namespace vendaro::prefs::ui {

using vendaro::ui::namedButton;
using vendaro::ui::u8;

TUserSetForm::TUserSetForm(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("UserSetForm"));
  setWindowTitle(u8("自社情報"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  auto* groupLayout = new QVBoxLayout(group);
  auto* scroll = new QScrollArea(group);
  scroll->setObjectName(QStringLiteral("ScrollBox1"));
  scroll->setWidgetResizable(true);
  auto* inner = new QWidget;
  auto* form = new QFormLayout(inner);
  static const char* labels[] = {"自　住　所：", "自　社　名：", "自 社 名 付：", "自電話番号：",
                                 "追　加　１：", "追　加　２：", "追　加　３："};
  QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7};
  for (int i = 0; i < 7; ++i) {
    *edits[i] = new QLineEdit(inner);
    (*edits[i])->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    (*edits[i])->setMinimumWidth(320);
    form->addRow(u8(labels[i]), *edits[i]);
  }
  scroll->setWidget(inner);
  groupLayout->addWidget(scroll);
  layout->addWidget(group);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", this);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(sizeHint().expandedTo(QSize(460, 320)));

  try {
    CompanyInfo info = loadCompanyInfo(programDirectory_);
    for (int i = 0; i < CompanyInfo::kLineCount; ++i) edit(i + 1)->setText(vendaro::ui::toQ(info.lines[static_cast<std::size_t>(i)]));
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, vendaro::ui::toQ(e.what()));
  }
}

QLineEdit* TUserSetForm::edit(int line) const {
  QLineEdit* const edits[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7};
  return line >= 1 && line <= 7 ? edits[line - 1] : nullptr;
}

std::string TUserSetForm::companyLine(int line) const {
  QLineEdit* e = edit(line);
  return e ? sjis::fromUtf8Lossy(e->text().toStdString()) : std::string();
}

void TUserSetForm::OKBtnClick() {
  CompanyInfo info;
  for (int i = 0; i < CompanyInfo::kLineCount; ++i) {
    QString bad;
    auto bytes = vendaro::ui::fromQ(edit(i + 1)->text(), &bad);
    if (!bytes) {
      vendaro::ui::dialogs().message(this, vendaro::ui::notShiftJisMessage(bad));
      edit(i + 1)->setFocus();
      return;
    }
    info.lines[static_cast<std::size_t>(i)] = *bytes;
  }
  try {
    saveCompanyInfo(programDirectory_, info);
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, vendaro::ui::toQ(e.what()));
    return;
  }
  accept();
}

}  // namespace vendaro::prefs::ui

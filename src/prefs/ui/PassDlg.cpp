#include "prefs/ui/PassDlg.h"

#include <QHBoxLayout>
#include <QProxyStyle>
#include <QVBoxLayout>

#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "prefs/password.h"
#include "platform/ui/buttons.h"

namespace vendaro::prefs::ui {

using vendaro::ui::dialogs;
using vendaro::ui::addCentredButtons;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {
/// The platform's style, except that a hidden text shows "*" for each character.
class AsteriskStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};
}  // namespace

TPassDlg::TPassDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PassDlg"));
  setWindowTitle(u8("パスワード"));
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel(u8("パスワードを入力してください。"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  MaskEdit1 = new QLineEdit(this);
  MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
  MaskEdit1->setEchoMode(QLineEdit::Password);
  auto* style = new AsteriskStyle;
  style->setParent(MaskEdit1);
  MaskEdit1->setStyle(style);
  MaskEdit1->setAttribute(Qt::WA_InputMethodEnabled, false);
  // What the password does and does not do, said where it is set and in the dialog's help.
  const QString help = passwordHelpText();
  HelpLabel = new QLabel(help, this);
  HelpLabel->setObjectName(QStringLiteral("HelpLabel"));
  HelpLabel->setWordWrap(true);
  HelpLabel->hide();
  setWhatsThis(help);
  MaskEdit1->setWhatsThis(help);
  layout->addWidget(Label1);
  layout->addWidget(MaskEdit1);
  layout->addWidget(HelpLabel);
  OKBtn = namedButton(QStringLiteral("OK"), "OKBtn", this, true);
  addCentredButtons(layout, {OKBtn});
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  setFixedSize(QSize(300, sizeHint().height()));
}

QString passwordHelpText() {
  return u8("このパスワードは、起動したときにこのプログラムで見積を表示しないためのものです。"
            "見積のデータや設定ファイルは暗号化されません。"
            "ファイルを守っているのは、このユーザーアカウントのアクセス権（ファイルの許可）です。");
}

bool TPassDlg::ask(const std::string& password) {
  MaskEdit1->clear();
  dialogs().exec(*this);
  // A character without a Shift-JIS form can never equal the stored bytes.
  auto typed = vendaro::ui::fromQ(MaskEdit1->text());
  return typed && *typed == password;
}

void TPassDlg::setPassword(const std::string& programDirectory) {
  setWindowTitle(u8("パスワードの設定"));
  MaskEdit1->clear();
  if (HelpLabel->isHidden()) {
    HelpLabel->show();
    setFixedSize(QSize(300, sizeHint().height()));
  }
  if (dialogs().exec(*this) != QDialog::Accepted) return;
  QString bad;
  auto typed = vendaro::ui::fromQ(MaskEdit1->text(), &bad);
  if (!typed) {
    dialogs().message(parentWidget(), vendaro::ui::notShiftJisMessage(bad));
    return;
  }
  try {
    savePassword(programDirectory, *typed);
  } catch (const FileError& e) {
    dialogs().message(parentWidget(), vendaro::ui::toQ(e.what()));
  }
}

}  // namespace vendaro::prefs::ui

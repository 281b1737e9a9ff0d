#include "platform/ui/qtext.h"

#include "platform/sjis.h"

namespace vendaro::ui {

QString toQ(std::string_view cp932) { return QString::fromStdString(sjis::toUtf8Display(cp932)); }

std::optional<std::string> fromQ(const QString& text, QString* bad) {
  std::string badUtf8;
  auto bytes = sjis::fromUtf8(text.toStdString(), &badUtf8);
  if (!bytes && bad) *bad = QString::fromStdString(badUtf8);
  return bytes;
}

QString notShiftJisMessage(const QString& bad) {
  return u8("'%1' はシフトJISで表せない文字のため入力できません").arg(bad);
}

}  // namespace vendaro::ui

#include "entry/ui/YomiEd32.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "entry/kana.h"
#include "platform/ui/qtext.h"

namespace vendaro::entry::ui {

namespace {

bool isKana(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x3041 && u <= 0x3096) || u == 0x309B || u == 0x309C ||  // hiragana, ゛ ゜
         (u >= 0x30A1 && u <= 0x30FA) || u == 0x30FC ||                  // katakana, ー
         (u >= 0xFF66 && u <= 0xFF9F);                                    // half-width katakana
}

}  // namespace

std::optional<QString> readingOfComposition(const QString& preedit) {
  if (preedit.isEmpty()) return std::nullopt;
  QString kana = preedit;
  if (kana.endsWith(QChar(0xFF4E))) kana.replace(kana.size() - 1, 1, QChar(0x3093));  // ｎ → ん
  for (QChar c : kana)
    if (!isKana(c)) return std::nullopt;
  return kana;
}

TYomiDBMemo::TYomiDBMemo(vendaro::ui::DataSource* source, const std::string& field, QWidget* parent)
    : DBMemo(source, field, parent) {}

bool TYomiDBMemo::yomiOutUsable() const {
  return yomiOut_ && !yomiOut_->field().empty() && yomiOut_->source() && yomiOut_->isEnabled() &&
         !yomiOut_->isReadOnly();
}

void TYomiDBMemo::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) {
    QString reading = reading_;
    reading_.clear();
    if (!reading.isEmpty()) deliver(reading);
  } else if (auto reading = readingOfComposition(event->preeditString())) {
    reading_ = *reading;
  } else if (event->preeditString().isEmpty()) {
    reading_.clear();  // the composition was dropped
  }
  DBMemo::inputMethodEvent(event);
}

void TYomiDBMemo::deliver(const QString& reading) {
  // Kana that CP932 lacks are written with the katakana it has.
  QString folded = reading;
  folded.replace(QChar(0x3094), QChar(0x30F4)).replace(QChar(0x3095), QChar(0x30F5)).replace(QChar(0x3096), QChar(0x30F6));
  auto bytes = vendaro::ui::fromQ(folded);
  if (!bytes) return;
  std::string yomi = halfWidthReading(*bytes);
  if (OnYomiOut) OnYomiOut(this, yomi);
  if (yomiOutUsable() && !yomi.empty()) {
    QTextCursor end = yomiOut_->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(vendaro::ui::toQ(yomi));
  }
}

void TYomiDBMemo::focusOutEvent(QFocusEvent* event) {
  const bool modified = changed();
  DBMemo::focusOutEvent(event);
  const bool leaving = event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
  if (leaving && modified && yomiOutUsable()) yomiOut_->store();
}

void TYomiDBMemo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && yomiOutUsable()) yomiOut_->load(true);
  DBMemo::keyPressEvent(event);
}

}  // namespace vendaro::entry::ui

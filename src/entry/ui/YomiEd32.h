#pragma once
// The reading memo: a bound memo that captures the kana reading of what the input method commits
// in it and hands the reading on.
//
// What is captured: Qt's input method events carry no reading, only the composition (preedit)
// text. The last composition made only of kana before a commit is that commit's reading; a
// composition that ends in one full-width "ｎ" after kana counts with ん in its place (the input
// method converts a trailing n as ん without showing it). Compositions holding anything else (half
// typed full-width letters, the converted kanji) leave the reading as it was. The reading is
// brought to half-width katakana before it is delivered.
//
// What is not captured: a commit with no kana composition before it (text pasted or typed with the
// input method off) gives no reading; when only part of a composition is committed, or a
// prediction or a later candidate is picked, the last kana composition may differ from the reading
// of what was committed. The keyboard's kana lock does not exist on this platform, so VKkana is
// kept as a property but switches nothing.

#include <QPointer>
#include <functional>
#include <string>

#include "platform/ui/binding.h"

namespace vendaro::entry::ui {

class TYomiDBMemo : public vendaro::ui::DBMemo {
  Q_OBJECT
 public:
  /// Called with every captured reading (CP932 half-width katakana); it may change the text.
  using TYomiOutEvent = std::function<void(TYomiDBMemo* sender, std::string& yomi)>;

  TYomiDBMemo(vendaro::ui::DataSource* source, const std::string& field, QWidget* parent = nullptr);

  /// The memo that receives the readings directly; empty by default, and empty again when that
  /// memo is destroyed.
  vendaro::ui::DBMemo* YomiOut() const { return yomiOut_; }
  void setYomiOut(vendaro::ui::DBMemo* memo) { yomiOut_ = memo; }
  TYomiOutEvent OnYomiOut;
  /// Whether the keyboard's kana lock follows the focus (no effect on this platform).
  bool VKkana = true;

  /// The reading the composition has given so far (UTF-16 kana as the input method sent it).
  const QString& pendingReading() const { return reading_; }

 protected:
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  /// True when YomiOut can take readings: set, bound, enabled and not read-only.
  bool yomiOutUsable() const;
  void deliver(const QString& reading);

  QPointer<vendaro::ui::DBMemo> yomiOut_;
  QString reading_;
};

/// The kana reading a composition gives, or nothing when it is no reading (see TYomiDBMemo).
std::optional<QString> readingOfComposition(const QString& preedit);

}  // namespace vendaro::entry::ui

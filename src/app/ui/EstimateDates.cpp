// The two date fields of the estimate sheet: a double-click opens the date dialog on the field's
// date and writes the picked date back as an era date text; a date typed by hand is written in
// that form when the box is left.

#include "app/ui/EstimateForm.h"
#include "book/eradate.h"
#include "book/ui/DateSetDlg.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

using vendaro::ui::toQ;
using vendaro::ui::u8;

void TEstimateDataForm::editDate(const char* fieldUtf8) {
  if (!dateDialog_) return;
  const std::string field = sjis::lit(fieldUtf8);
  if (!source_->updateRecord()) return;
  dateDialog_->setDate(era::charToDate(cursor_->text(field)));
  vendaro::ui::dialogs().exec(*dateDialog_);
  std::string picked = dateDialog_->resultText();
  if (picked.empty()) return;
  era::changeChar(picked);
  source_->run([&](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.setText(field, picked);
  });
}

void TEstimateDataForm::dateBoxLeft(vendaro::ui::DBMemo* box) {
  if (!box->changedWhenLeft()) return;
  const std::string typed = cursor_->text(box->fieldIndex());
  if (typed.empty()) return;
  const auto date = era::readTypedDate(typed);
  if (!date) {
    // Kept as typed (a note such as 未定 has its place); the person is told it is no date.
    showHint(u8(" 「%1」は日付として読めないため、入力のとおりにしました。").arg(toQ(typed)));
    return;
  }
  const std::string text = era::format(*date);
  if (text == typed) return;
  source_->run([&](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.setText(box->fieldIndex(), text);
  });
}

}  // namespace vendaro::app::ui

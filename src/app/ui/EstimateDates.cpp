// The two date fields of the estimate sheet: a double-click opens the date dialog on the field's
// date and writes the picked date back as an era date text.

#include "app/ui/EstimateForm.h"
#include "book/eradate.h"
#include "book/ui/DateSetDlg.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

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

}  // namespace vendaro::app::ui

#include "app/ui/BookTools.h"

#include <QAbstractButton>
#include <QAction>

#include "app/ui/EstimateForm.h"
#include "book/copy_estimate.h"
#include "book/ui/CopyPatternDlg.h"
#include "book/ui/DsplayPatternDlg.h"
#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

using vendaro::ui::dialogs;
using vendaro::ui::toQ;

book::ui::TDspPatDlg* createDisplayPattern(TEstimateDataForm& form) {
  auto* dialog = new book::ui::TDspPatDlg(form.programDirectory(), &form);
  try {
    dialog->applyTo(*form.DBGrid1);
  } catch (const FileError& e) {
    dialogs().message(&form, toQ(e.what()));
  }
  QAction* item = form.menuItem(QStringLiteral("List1"));
  item->setEnabled(true);
  QObject::connect(item, &QAction::triggered, dialog, [dialog] { dialogs().exec(*dialog); });
  return dialog;
}

void copyCurrentEstimate(TEstimateDataForm& form, book::ui::TCopyPatDlg& dialog) {
  try {
    dialog.FormShow();
  } catch (const FileError& e) {
    dialogs().message(&form, toQ(e.what()));
    return;
  }
  if (dialogs().exec(dialog) != QDialog::Accepted) return;
  std::vector<std::string> names = dialog.copiedFields();
  if (names.empty()) return;
  form.dataSource().run([&](table::Cursor& c) { book::copyEstimate(c, names); });
}

book::ui::TCopyPatDlg* createCopyPattern(TEstimateDataForm& form) {
  auto* dialog = new book::ui::TCopyPatDlg(form.programDirectory(), &form);
  TEstimateDataForm* f = &form;
  auto command = [f, dialog] { copyCurrentEstimate(*f, *dialog); };
  QAction* item = form.menuItem(QStringLiteral("N3"));
  item->setEnabled(true);
  QObject::connect(item, &QAction::triggered, dialog, command);
  form.CopySpeed->setEnabled(true);
  QObject::connect(form.CopySpeed, &QAbstractButton::clicked, dialog, command);
  return dialog;
}

}  // namespace vendaro::app::ui

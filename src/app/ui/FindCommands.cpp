#include "app/ui/FindCommands.h"

#include <QAbstractButton>
#include <QAction>

#include "app/ui/EstimateForm.h"
#include "book/find.h"
#include "book/ui/FindFieldDlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {
namespace {

/// Runs a search from record `from` (a function of the cursor) and says when nothing was found.
void search(TEstimateDataForm& form, book::ui::TFindDlg& dialog, bool forward, bool fromStart) {
  auto field = dialog.field();
  auto text = dialog.text();
  if (!field || !text) {
    vendaro::ui::dialogs().message(&form, vendaro::ui::notShiftJisMessage(QString()));
    return;
  }
  if (text->empty()) return;
  bool found = true;
  bool ran = form.dataSource().run([&](table::Cursor& c) {
    c.checkBrowseMode();  // a pending edit is saved first, which shows every estimate again
    if (fromStart) c.first();
    int from = fromStart ? 1 : c.recNo() + (forward ? 1 : -1);
    found = book::findInView(c, *field, *text, from, forward);
  });
  if (ran && !found) vendaro::ui::dialogs().message(&form, vendaro::ui::toQ(book::notFoundMessage(*field, *text)));
}

}  // namespace

void findFirst(TEstimateDataForm& form, book::ui::TFindDlg& dialog) {
  if (vendaro::ui::dialogs().exec(dialog) != QDialog::Accepted) return;
  search(form, dialog, true, true);
}

void findAgain(TEstimateDataForm& form, book::ui::TFindDlg& dialog, bool forward) {
  if (!dialog.lastAccepted()) return;
  search(form, dialog, forward, false);
}

void installFind(TEstimateDataForm& form, book::ui::TFindDlg& dialog) {
  auto wire = [&](const char* item, QAbstractButton* speed, std::function<void()> command) {
    QAction* action = form.menuItem(QString::fromLatin1(item));
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, &dialog, command);
    speed->setEnabled(true);
    QObject::connect(speed, &QAbstractButton::clicked, &dialog, command);
  };
  TEstimateDataForm* f = &form;
  book::ui::TFindDlg* d = &dialog;
  wire("Find2", form.FindSpeed, [f, d] { findFirst(*f, *d); });
  wire("FindNext1", form.FindNextSpeed, [f, d] { findAgain(*f, *d, true); });
  wire("FindBack1", form.FindBackSpeed, [f, d] { findAgain(*f, *d, false); });
}

}  // namespace vendaro::app::ui

#include "app/ui/Preferences.h"

#include "platform/ui/dialogs.h"
#include "prefs/ui/ColorDlg.h"
#include "prefs/ui/PassDlg.h"
#include "prefs/ui/RestorePos.h"

namespace vendaro::app::ui {

void preparePreferences(TEstimateDataForm& form) {
  prefs::ui::TRestorePos::attach(&form, prefs::PlacedWindow::Main);
  if (!form.settings().password.empty()) form.setLocked(true);
}

prefs::ui::TColorDlg* createColorDialog(TEstimateDataForm& form) {
  auto* dialog = new prefs::ui::TColorDlg(form.programDirectory(), &form, &form);
  QAction* item = form.menuItem(QStringLiteral("T1"));
  item->setEnabled(true);
  QObject::connect(item, &QAction::triggered, dialog, [dialog] { vendaro::ui::dialogs().exec(*dialog); });
  return dialog;
}

prefs::ui::TPassDlg* createPassDialog(TEstimateDataForm& form) {
  auto* dialog = new prefs::ui::TPassDlg(&form);
  TEstimateDataForm* main = &form;
  QAction* item = form.menuItem(QStringLiteral("N18"));
  item->setEnabled(true);
  QObject::connect(item, &QAction::triggered, dialog, [main, dialog] { dialog->setPassword(main->programDirectory()); });
  // The password comes before every other first-tick step.
  form.firstTickSteps.insert(form.firstTickSteps.begin(), [main, dialog] {
    const std::string& password = main->settings().password;
    if (password.empty()) return true;
    if (!dialog->ask(password)) {
      main->close();  // the normal closing steps run and the program ends
      return false;
    }
    main->setLocked(false);
    return true;
  });
  return dialog;
}

}  // namespace vendaro::app::ui

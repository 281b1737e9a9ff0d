#include "app/ui/Preferences.h"

#include "maintenance/privacy.h"
#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
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

void warnOfReadableTables(TEstimateDataForm& form) {
  TEstimateDataForm* main = &form;
  // Right after the password: once at every start while another account can read the tables.
  form.firstTickSteps.insert(form.firstTickSteps.begin() + 1, [main] {
    const std::string cardata = main->cardataDirectory();
    if (maintenance::tablesReadableByOthers(cardata).empty()) return true;
    if (!vendaro::ui::dialogs().confirm(main, vendaro::ui::toQ(maintenance::readableTablesQuestion(cardata))))
      return true;
    try {
      const auto changes = maintenance::tightenProgramDirectory(main->programDirectory(), cardata);
      vendaro::ui::dialogs().message(
          main, vendaro::ui::u8("%1 個のファイルとフォルダを、このユーザーだけが読み書きできるようにしました。")
                    .arg(changes.size()));
    } catch (const FileError& e) {
      vendaro::ui::dialogs().message(main, vendaro::ui::toQ(e.what()));
    }
    return true;
  });
}

}  // namespace vendaro::app::ui

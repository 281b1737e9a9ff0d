#include "app/ui/Application.h"

#include "app/ui/EntryAids.h"
#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"
#include "platform/settings_file.h"
#include "platform/ui/dialogs.h"
#include "prefs/company_info.h"
#include "prefs/ui/UserSetForm.h"

namespace vendaro::app::ui {

// The windows are created once each, in this order, and live until the program ends:
// TEstimateDataForm, TVersionDlg, TUserSetForm, TDateSDlg, TPostForm, TColorDlg, TZeiSetForm,
// TListEditForm, TRestorePatDlg, TDspPatDlg, TPrintPatDlg, TInDTLenForm, TCarPrintForm,
// TToolEditForm, TSelectDlg, TPrintSlctDlg, TCopyPatDlg, TFindDlg, TServDlg, TPassDlg, TMSetDlg,
// TMCalcDlg, TCInsureForm, TCTaxForm.
// Each dialog belongs to the main window; a subsystem that brings a window also wires its menu
// items and handlers into the main window here, right after creating it.
std::unique_ptr<TEstimateDataForm> createWindows(const std::string& programDirectory,
                                                 const std::string& cardataDirectory) {
  auto form = std::make_unique<TEstimateDataForm>(programDirectory, cardataDirectory);
  auto* version = new TVersionDlg(form.get());
  form->setVersionDialog(version);
  auto* company = new prefs::ui::TUserSetForm(programDirectory, form.get());
  TEstimateDataForm* main = form.get();
  QAction* companyItem = form->menuItem(QStringLiteral("N6"));
  companyItem->setEnabled(true);
  QObject::connect(companyItem, &QAction::triggered, company, [company] { vendaro::ui::dialogs().exec(*company); });
  // On the first tick, after the password: ask for the company information while it was never saved.
  form->firstTickSteps.push_back([main, company] {
    if (!prefs::companyInfoExists(main->programDirectory())) vendaro::ui::dialogs().exec(*company);
    return true;
  });
  form->setCompanyFields(company);
  auto* date = new book::ui::TDateSDlg(form.get());
  form->setDateDialog(date);
  createEntryAids(*form, cardataDirectory);
  return form;
}

}  // namespace vendaro::app::ui

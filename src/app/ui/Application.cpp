#include "app/ui/Application.h"

#include "app/ui/PricingWiring.h"
#include "app/ui/MaintenanceMenu.h"
#include "app/ui/FormPrintWindows.h"
#include "app/ui/ListPrintWindows.h"
#include "app/ui/Preferences.h"
#include "prefs/ui/RestorePos.h"
#include "app/ui/EntryAids.h"
#include "app/ui/VersionDlg.h"
#include "app/ui/FindCommands.h"
#include "app/ui/BookTools.h"
#include "book/ui/DateSetDlg.h"
#include "book/ui/FindFieldDlg.h"
#include "platform/settings_file.h"
#include "platform/ui/accessible_names.h"
#include "platform/ui/dialogs.h"
#include "prefs/company_info.h"
#include "prefs/ui/UserSetForm.h"
#include "pricing/ui/CarTaxListForm.h"
#include "pricing/ui/ListEdit.h"
#include "pricing/ui/ServiceDlg.h"
#include "pricing/ui/ZeiSForm.h"
#include "maintenance/ui/MonthSetingDlg.h"
#include "maintenance/ui/RestorePatternDlg.h"

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
  loadPickLists(*form);
  PricingWindows priced;
  preparePreferences(*form);
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
  createColorDialog(*form);
  priced.zei = new pricing::ui::TZeiSetForm(programDirectory, form.get());
  priced.listEdit = new pricing::ui::TListEditForm(form.get());
  auto* restorePattern = new maintenance::ui::TRestorePatDlg(form.get());
  createDisplayPattern(*form);
  // TPrintPatDlg, TInDTLenForm.
  createListPrintWindows(*form, programDirectory, cardataDirectory);
  // TCarPrintForm, TToolEditForm, TSelectDlg, TPrintSlctDlg.
  createFormPrintWindows(*form, programDirectory, cardataDirectory);
  createCopyPattern(*form);
  auto* find = new book::ui::TFindDlg(
      programDirectory,
      [main] {
        QStringList items;
        auto* box = main->control<QComboBox>(QStringLiteral("DBComboBox1"));
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
      },
      date, form.get());
  installFind(*form, *find);
  priced.serv = new pricing::ui::TServDlg(form.get());
  createPassDialog(*form);
  auto* period = new maintenance::ui::TMSetDlg(form.get());
  wireMaintenance(*form, restorePattern, period);
  priced.insure = new pricing::ui::TCInsureForm(programDirectory, cardataDirectory, form.get());
  priced.tax = new pricing::ui::TCTaxForm(programDirectory, cardataDirectory, form.get());
  wirePricing(*form, priced);
  // The table windows reopen where they were last closed.
  prefs::ui::TRestorePos::attach(priced.insure, prefs::PlacedWindow::InsuranceTable);
  prefs::ui::TRestorePos::attach(priced.tax, prefs::PlacedWindow::VehicleTaxTable);
  // Every box of every window is called by the caption beside it, for screen readers and tests.
  vendaro::ui::nameControlsByCaptions(form.get());
  return form;
}

}  // namespace vendaro::app::ui

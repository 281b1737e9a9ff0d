#include "app/ui/Application.h"

#include "app/ui/MaintenanceMenu.h"
#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"
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
  auto* version = new TVersionDlg(form.get());
  form->setVersionDialog(version);
  auto* date = new book::ui::TDateSDlg(form.get());
  form->setDateDialog(date);
  auto* restorePattern = new maintenance::ui::TRestorePatDlg(form.get());
  auto* period = new maintenance::ui::TMSetDlg(form.get());
  wireMaintenance(*form, restorePattern, period);
  return form;
}

}  // namespace vendaro::app::ui

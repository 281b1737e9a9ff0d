#include "app/ui/Application.h"

#include "app/ui/PricingWiring.h"
#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"
#include "pricing/ui/CarTaxListForm.h"
#include "pricing/ui/ListEdit.h"
#include "pricing/ui/ServiceDlg.h"
#include "pricing/ui/ZeiSForm.h"

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
  auto* version = new TVersionDlg(form.get());
  form->setVersionDialog(version);
  auto* date = new book::ui::TDateSDlg(form.get());
  form->setDateDialog(date);
  priced.zei = new pricing::ui::TZeiSetForm(programDirectory, form.get());
  priced.listEdit = new pricing::ui::TListEditForm(form.get());
  priced.serv = new pricing::ui::TServDlg(form.get());
  priced.insure = new pricing::ui::TCInsureForm(programDirectory, cardataDirectory, form.get());
  priced.tax = new pricing::ui::TCTaxForm(programDirectory, cardataDirectory, form.get());
  wirePricing(*form, priced);
  return form;
}

}  // namespace vendaro::app::ui

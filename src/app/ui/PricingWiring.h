#pragma once
// Pricing on the main window: the recalculation behind the amount boxes, the discount on the
// quoted amount, the pick lists of the combo boxes and the menu items of the pricing windows.

#include <memory>

#include "app/ui/EstimateForm.h"

namespace vendaro::pricing::ui {
class TZeiSetForm;
class TListEditForm;
class TServDlg;
class TCTaxForm;
class TCInsureForm;
}  // namespace vendaro::pricing::ui

namespace vendaro::app::ui {

/// The pricing windows, created at their places in the window order.
struct PricingWindows {
  pricing::ui::TZeiSetForm* zei = nullptr;
  pricing::ui::TListEditForm* listEdit = nullptr;
  pricing::ui::TServDlg* serv = nullptr;
  pricing::ui::TCInsureForm* insure = nullptr;
  pricing::ui::TCTaxForm* tax = nullptr;
};

/// Loads each list file that exists into the combo boxes it feeds (a step of the main window's
/// creation, before it is shown). A file that cannot be read is reported and its boxes keep their
/// entries.
void loadPickLists(TEstimateDataForm& form);

/// Connects the exits of the amount boxes, the double-click on the quoted amount and the menu
/// items N7 to N15, N8, N20 and N21 to the pricing windows.
void wirePricing(TEstimateDataForm& form, const PricingWindows& windows);

}  // namespace vendaro::app::ui

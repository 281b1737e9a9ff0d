#pragma once
// The preferences on the main window: its placement memory, the title colour dialog and the
// start-up password, each wired at its place in the window creation order.

#include "app/ui/EstimateForm.h"

namespace vendaro::prefs::ui {
class TColorDlg;
class TPassDlg;
}  // namespace vendaro::prefs::ui

namespace vendaro::app::ui {

/// Right after the main window is built: it remembers its placement, and while a password is set
/// the estimate area stays hidden until the first tick has checked it.
void preparePreferences(TEstimateDataForm& form);

/// Creates the title colour dialog (it colours the title panels at once) and wires `T1`.
prefs::ui::TColorDlg* createColorDialog(TEstimateDataForm& form);

/// Creates the password dialog, wires `N18`, and puts the password check first among the
/// first-tick steps: a wrong password closes the main window and stops the later steps.
prefs::ui::TPassDlg* createPassDialog(TEstimateDataForm& form);

/// Right after the password check on the first tick: when another account can read the tables,
/// says so and offers to make the book's personal files readable by this account alone.
void warnOfReadableTables(TEstimateDataForm& form);

}  // namespace vendaro::app::ui

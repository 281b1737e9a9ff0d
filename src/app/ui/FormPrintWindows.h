#pragma once
// Creating the windows of form printing and wiring them into the main window.

#include <string>

namespace vendaro::app::ui {

class TEstimateDataForm;

/// Creates TCarPrintForm, TToolEditForm, TSelectDlg and TPrintSlctDlg, in this order, as dialogs
/// of the main window; builds the form-print menu, enables and connects Print1 to Print10, PrintS1
/// and PrintS2, and adds the printer detection to the first tick. Throws TableError when the
/// layout tables cannot be opened.
void createFormPrintWindows(TEstimateDataForm& form, const std::string& programDirectory,
                            const std::string& cardataDirectory);

}  // namespace vendaro::app::ui

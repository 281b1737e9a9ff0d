#pragma once
// Creating the windows of list printing and wiring them into the main window.

#include <string>

namespace vendaro::app::ui {

class TEstimateDataForm;

/// Creates TPrintPatDlg and TInDTLenForm, in this order, as dialogs of the main window (the width
/// window with its placement memory), and enables and connects PrintSB, S1 and PrintB. Throws
/// TableError when the print width table cannot be opened.
void createListPrintWindows(TEstimateDataForm& form, const std::string& programDirectory,
                            const std::string& cardataDirectory);

}  // namespace vendaro::app::ui

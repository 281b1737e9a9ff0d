#pragma once
// Creating the program's windows, once each and in a fixed order.

#include <memory>
#include <string>

#include "app/ui/EstimateForm.h"

namespace vendaro::app::ui {

/// Creates the main window on the tables of the CARDATA directory and then every dialog, each
/// once; the dialogs belong to the main window and live as long as it does. Throws TableError
/// when a table cannot be opened.
std::unique_ptr<TEstimateDataForm> createWindows(const std::string& programDirectory,
                                                 const std::string& cardataDirectory);

}  // namespace vendaro::app::ui

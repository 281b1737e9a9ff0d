#pragma once
// Creating the program's windows, once each and in a fixed order.

#include <memory>
#include <string>

class QTranslator;

#include "app/ui/EstimateForm.h"

namespace vendaro::app::ui {

/// Creates the main window on the tables of the CARDATA directory and then every dialog, each
/// once; the dialogs belong to the main window and live as long as it does. Throws TableError
/// when a table cannot be opened.
std::unique_ptr<TEstimateDataForm> createWindows(const std::string& programDirectory,
                                                 const std::string& cardataDirectory);

/// Loads Qt's own Japanese translation (qtbase_ja.qm from Qt's translations directory) into the
/// application, so that the standard dialogs and buttons speak Japanese: はい, いいえ, キャンセル,
/// 開く, 保存, 印刷. Returns the translator installed, or null with a warning on the diagnostic
/// output when the file is not installed (the program then runs with those texts in English).
QTranslator* installJapaneseTranslation();

}  // namespace vendaro::app::ui

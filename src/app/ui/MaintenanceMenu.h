#pragma once
// Wiring the data maintenance commands into the main window's menu.

namespace vendaro::maintenance::ui {
class TMSetDlg;
class TRestorePatDlg;
}

namespace vendaro::app::ui {

class TEstimateDataForm;

/// Enables and connects Back1 (backup), ReSt1 (restore) and N16 (data clean-up) on the dialogs
/// given, which belong to the main window.
void wireMaintenance(TEstimateDataForm& form, maintenance::ui::TRestorePatDlg* patternDialog,
                     maintenance::ui::TMSetDlg* periodDialog);

}  // namespace vendaro::app::ui

#pragma once
// Find, find next and find previous on the main window.

namespace vendaro::book::ui {
class TFindDlg;
}

namespace vendaro::app::ui {

class TEstimateDataForm;

/// Enables the find menu items and speed buttons and connects them to the dialog.
void installFind(TEstimateDataForm& form, book::ui::TFindDlg& dialog);

/// The three commands (for the menu, the speed buttons and tests).
void findFirst(TEstimateDataForm& form, book::ui::TFindDlg& dialog);
void findAgain(TEstimateDataForm& form, book::ui::TFindDlg& dialog, bool forward);

}  // namespace vendaro::app::ui

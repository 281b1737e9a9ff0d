#pragma once
// The copy pattern and display pattern dialogs on the main window: the copy command (F9, the copy
// speed button) and the display pattern menu item.

namespace vendaro::book::ui {
class TCopyPatDlg;
class TDspPatDlg;
}  // namespace vendaro::book::ui

namespace vendaro::app::ui {

class TEstimateDataForm;

/// Creates the display pattern dialog, applies the stored pattern and column layout to the list
/// page's grid, and connects the menu item "一覧".
book::ui::TDspPatDlg* createDisplayPattern(TEstimateDataForm& form);

/// Creates the copy pattern dialog and connects the copy menu item and speed button.
book::ui::TCopyPatDlg* createCopyPattern(TEstimateDataForm& form);

/// The copy command: shows the dialog, then starts a new estimate holding the chosen fields of
/// the one on screen.
void copyCurrentEstimate(TEstimateDataForm& form, book::ui::TCopyPatDlg& dialog);

}  // namespace vendaro::app::ui

#pragma once
// The list print command of the main window: the settings reloaded, the printer setup, then the
// list printed on the printer, or shown in a print preview window for the screen output.

#include <string>

class QWidget;

namespace vendaro::ui {
class DataSource;
}
namespace vendaro::table {
class Cursor;
}

namespace vendaro::listprint::ui {

class TPrintPatDlg;

/// Runs the list print over the estimates of `estimates` (the main window's data source), with
/// the settings of `settings` reloaded from their files and the widths of the current record of
/// `widths`. Errors are shown in a message box; the command then ends.
void printList(QWidget* parent, vendaro::ui::DataSource& estimates, TPrintPatDlg& settings, table::Cursor& widths);

}  // namespace vendaro::listprint::ui

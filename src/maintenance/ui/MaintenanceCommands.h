#pragma once
// The menu commands of data maintenance on the main window: backup (Back1), restore (ReSt1) and
// the data clean-up (N16). What they need of the main window is handed in by the code that
// creates the windows.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "book/month_tabs.h"

class QWidget;

namespace vendaro::ui {
class DataSource;
}

namespace vendaro::maintenance::ui {

class TMSetDlg;
class TRestorePatDlg;

/// What the commands use of the main window.
struct MaintenanceHost {
  QWidget* window = nullptr;
  vendaro::ui::DataSource* source = nullptr;  ///< on the estimate cursor
  std::function<const std::vector<book::MonthTab>&()> monthTabs;
  std::function<int()> settlementDay;
  std::function<bool()> periodLimit;
  std::string backupDirectory;  ///< "INIDIR.INI" line 1 (CP932)
  std::string backupPrefix;     ///< "VendaroSave.INI" line 1, or 見積
  std::string backupSuffix;     ///< "VendaroSave.INI" line 2
  std::function<void()> rebuildTabs;   ///< the month tabs built again, "全て" selected
  std::function<void(int)> applyTab;   ///< the filter of a tab applied
};

class MaintenanceCommands : public QObject {
  Q_OBJECT
 public:
  MaintenanceCommands(MaintenanceHost host, TMSetDlg* periodDialog, TRestorePatDlg* patternDialog,
                      QObject* parent = nullptr);

  /// Backs up the estimates (all, the chosen months, or from the current one on for a 分割 name)
  /// to a CSV file.
  void Back1Click();
  /// Replaces (or, for a 分割 name, adds to) the estimates with those of a CSV file.
  void ReSt1Click();
  /// Deletes the estimates of the chosen months after one question.
  void N16Click();

 private:
  /// Shows the period dialog on the month tabs; false when it was not closed with OK.
  bool choosePeriod();

  MaintenanceHost host_;
  TMSetDlg* periodDialog_;
  TRestorePatDlg* patternDialog_;
};

}  // namespace vendaro::maintenance::ui

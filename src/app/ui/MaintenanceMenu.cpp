#include "app/ui/MaintenanceMenu.h"

#include "app/ui/EstimateForm.h"
#include "maintenance/ui/MaintenanceCommands.h"

namespace vendaro::app::ui {

void wireMaintenance(TEstimateDataForm& form, maintenance::ui::TRestorePatDlg* patternDialog,
                     maintenance::ui::TMSetDlg* periodDialog) {
  maintenance::ui::MaintenanceHost host;
  host.window = &form;
  host.source = &form.dataSource();
  host.monthTabs = [&form]() -> const std::vector<book::MonthTab>& { return form.monthTabs(); };
  host.settlementDay = [&form] { return form.settlementDay(); };
  host.periodLimit = [&form] { return form.periodLimit(); };
  host.backupDirectory = form.settings().backupDirectory;
  host.backupPrefix = form.settings().backupPrefix;
  host.backupSuffix = form.settings().backupSuffix;
  host.rebuildTabs = [&form] { form.TabSet(); };
  host.applyTab = [&form](int index) { form.TabControl1Change(index); };
  auto* commands = new maintenance::ui::MaintenanceCommands(std::move(host), periodDialog, patternDialog, &form);
  commands->setObjectName(QStringLiteral("MaintenanceCommands"));

  auto wire = [&](const char* item, void (maintenance::ui::MaintenanceCommands::*handler)()) {
    QAction* action = form.menuItem(QString::fromLatin1(item));
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, commands, handler);
  };
  wire("Back1", &maintenance::ui::MaintenanceCommands::Back1Click);
  wire("ReSt1", &maintenance::ui::MaintenanceCommands::ReSt1Click);
  wire("N16", &maintenance::ui::MaintenanceCommands::N16Click);
}

}  // namespace vendaro::app::ui

#include "app/ui/ListPrintWindows.h"

#include <QAction>

#include "app/ui/EstimateForm.h"
#include "listprint/ui/InDataLenForm.h"
#include "listprint/ui/ListPrinting.h"
#include "listprint/ui/PrintPatternDlg.h"
#include "prefs/ui/RestorePos.h"

namespace vendaro::app::ui {

void createListPrintWindows(TEstimateDataForm& form, const std::string& programDirectory,
                            const std::string& cardataDirectory) {
  auto* settings = new listprint::ui::TPrintPatDlg(programDirectory, &form);
  auto* widths = new listprint::ui::TInDTLenForm(cardataDirectory, &form);
  prefs::ui::TRestorePos::attach(widths, prefs::PlacedWindow::PrintWidth);

  QAction* settingsItem = form.menuItem(QStringLiteral("PrintSB"));
  settingsItem->setEnabled(true);
  QObject::connect(settingsItem, &QAction::triggered, settings, [settings] { settings->showSettings(); });
  QAction* widthsItem = form.menuItem(QStringLiteral("S1"));
  widthsItem->setEnabled(true);
  QObject::connect(widthsItem, &QAction::triggered, widths, [widths] { widths->showWidths(); });
  QAction* printItem = form.menuItem(QStringLiteral("PrintB"));
  printItem->setEnabled(true);
  TEstimateDataForm* main = &form;
  QObject::connect(printItem, &QAction::triggered, settings, [main, settings, widths] {
    listprint::ui::printList(main, main->dataSource(), *settings, widths->widths());
  });
}

}  // namespace vendaro::app::ui

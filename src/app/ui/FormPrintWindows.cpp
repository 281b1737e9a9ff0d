#include "app/ui/FormPrintWindows.h"

#include <QPrinterInfo>

#include "app/ui/EstimateForm.h"
#include "formprint/ui/CarPrtForm.h"
#include "formprint/ui/FieldSelectDlg.h"
#include "formprint/ui/FormPrinting.h"
#include "formprint/ui/PrintSelectDlg.h"
#include "formprint/ui/ToolEdit.h"
#include "prefs/ui/RestorePos.h"

namespace vendaro::app::ui {

using namespace vendaro::formprint::ui;

void createFormPrintWindows(TEstimateDataForm& form, const std::string& programDirectory,
                            const std::string& cardataDirectory) {
  auto* editor = new TCarPrintForm(programDirectory, cardataDirectory, form.estimates(), form.companyFields(), &form);
  prefs::ui::TRestorePos::attach(editor, prefs::PlacedWindow::LayoutEditor);
  auto* printerSettings = new TToolEditForm(programDirectory, &form);
  editor->setPrinterSettingsDialog(printerSettings);
  auto* printName = new TSelectDlg(programDirectory, &form);
  auto* printOrder = new TPrintSlctDlg(programDirectory, &form);

  std::array<QAction*, 10> printMenu{};
  for (int k = 1; k <= 10; ++k) printMenu[std::size_t(k - 1)] = form.menuItem(QStringLiteral("Print%1").arg(k));
  auto* printing = new FormPrinting(&form, form.dataSource(), form.companyFields(), programDirectory,
                                    {editor, printerSettings, printName, printOrder}, printMenu);
  printing->setObjectName(QStringLiteral("FormPrinting"));
  printing->buildPrintMenu();
  QAction* settings = form.menuItem(QStringLiteral("PrintS1"));
  settings->setEnabled(true);
  QObject::connect(settings, &QAction::triggered, printing, [printing] { printing->PrintS1Click(); });
  QAction* order = form.menuItem(QStringLiteral("PrintS2"));
  order->setEnabled(true);
  QObject::connect(order, &QAction::triggered, printing, [printing] { printing->PrintS2Click(); });

  // On the first tick, after the steps before it: several printers offer the printer choices.
  form.firstTickSteps.push_back([printerSettings] {
    printerSettings->detectPrinters(QPrinterInfo::availablePrinterNames());
    return true;
  });
}

}  // namespace vendaro::app::ui

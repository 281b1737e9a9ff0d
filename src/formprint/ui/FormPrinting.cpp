#include "formprint/ui/FormPrinting.h"

#include "formprint/item_language.h"
#include "formprint/print_run.h"
#include "formprint/ui/CarPrtForm.h"
#include "formprint/ui/FieldSelectDlg.h"
#include "formprint/ui/PrintSelectDlg.h"
#include "formprint/ui/SheetPrinter.h"
#include "formprint/ui/ToolEdit.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/qtext.h"

namespace vendaro::formprint::ui {

using vendaro::ui::dialogs;
using vendaro::ui::toQ;
using vendaro::ui::u8;

FormPrinting::FormPrinting(QWidget* window, vendaro::ui::DataSource& estimates, const CompanyFields* company,
                           const std::string& programDirectory, Windows windows, std::array<QAction*, 10> printMenu)
    : QObject(window),
      window_(window),
      estimates_(estimates),
      company_(company),
      programDirectory_(programDirectory),
      windows_(windows),
      printMenu_(printMenu) {
  for (int k = 1; k <= 10; ++k)
    connect(printMenu_[std::size_t(k - 1)], &QAction::triggered, this, [this, k] { printCommand(k); });
}

FormPrinting::~FormPrinting() = default;

void FormPrinting::buildPrintMenu() {
  for (QAction* item : printMenu_) item->setVisible(false);
  try {
    list_.read(programDirectory_);
  } catch (const FileError& e) {
    dialogs().message(window_, toQ(e.what()));
  }
  for (int k = 1; k <= 10; ++k) {
    if (list_.count() <= k) break;
    const LayoutListEntry& entry = list_.entries()[std::size_t(k - 1)];
    if (entry.name.empty() || entry.name == newLayoutName()) continue;
    QAction* item = printMenu_[std::size_t(k - 1)];
    item->setText(toQ(entry.name) + u8("印刷"));
    item->setEnabled(true);
    item->setVisible(true);
  }
}

void FormPrinting::printCommand(int k) {
  if (k < 1 || k >= list_.count()) return;
  LayoutTables& tables = windows_.editor->tables();
  const int n = sjis::leadingInt(list_.entries()[std::size_t(k - 1)].number);
  if (n < 1 || n > tables.layoutCount()) {
    dialogs().message(window_, u8("印刷設定 %1 がありません。").arg(n));
    return;
  }
  // What is typed into the estimate is printed, and what is typed into the layout is saved.
  if (!estimates_.updateRecord()) return;
  windows_.editor->openLayout(n);
  if (tables.data().state() != table::Cursor::State::Browse) return;  // the save was refused

  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!dialogs().printerSetup(window_, *printer_)) return;
  const QString name = toQ(tables.printName());
  const std::unique_ptr<QPrinter> printer =
      runPrinter(*printer_, tables.paperWidth(), tables.paperHeight(), name.isEmpty() ? u8("見積書") : name);

  RunSettings run;
  run.set = windows_.printerSettings->adjustmentFor(*printer);
  run.programDirectory = programDirectory_;
  run.face = windows_.editor->fontFace();
  const CompanyLines none{{}};
  const ItemEvaluator evaluator(estimates_.cursor(), company_ ? *company_ : none, tables,
                                [this](const std::string& question) {
                                  return dialogs().ask(window_, toQ(question), false) ==
                                         vendaro::ui::Dialogs::Answer::Yes;
                                });
  estimates_.run([&](table::Cursor& cursor) {
    vendaro::ui::PdfOutput output(*printer);
    PrinterSheetDevice device(*printer);
    printForms(device, tables, cursor, evaluator, run);
    output.commit();
  });
}

void FormPrinting::PrintS1Click() {
  if (dialogs().exec(*windows_.printName) != QDialog::Accepted) return;
  const int picked = windows_.printName->selectedEntry();
  const LayoutList& shown = windows_.printName->list();
  std::string number;
  if (picked >= 1 && picked <= shown.count()) number = shown.entries()[std::size_t(picked - 1)].number;
  else if (list_.count() > 0) number = list_.entries().back().number;
  int n = sjis::leadingInt(number);
  // Without a layout list the new-layout choice is a layout past the last one.
  if (n < 1) n = windows_.editor->tables().layoutCount() + 1;
  windows_.editor->openLayout(n);
  dialogs().exec(*windows_.editor);
  buildPrintMenu();
}

void FormPrinting::PrintS2Click() {
  dialogs().exec(*windows_.printOrder);
  buildPrintMenu();
}

}  // namespace vendaro::formprint::ui

#include "cli/print_command.h"
#include "cli/cli_support.h"
#include "cli/estimate_choice.h"
#include "cli/print_list_command.h"

#include <QGuiApplication>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/item_language.h"
#include "formprint/layout_list.h"
#include "formprint/layout_tables.h"
#include "formprint/print_run.h"
#include "formprint/printer_settings.h"
#include "formprint/ui/SheetPrinter.h"
#include "platform/sjis.h"
#include "prefs/company_info.h"

namespace vendaro::cli {
namespace {

int positiveNumber(const std::string& option, const std::string& text) {
  auto n = sjis::parseInt32(text);
  if (!n || *n < 1) throw std::invalid_argument(option + " needs a number from 1: " + text);
  return *n;
}

/// Fonts and printing need a Qt application; without a display it draws offscreen.
std::unique_ptr<QGuiApplication> startQt() {
  if (!QGuiApplication::instance()) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vendaro-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
  }
  return nullptr;
}

}  // namespace

const char* const kPrintUsage =
    "  vendaro-cli print form --layout K [--record N | --all] --pdf OUT\n"
    "                                                     print layout entry K for estimate N (newest first)\n"
    "                                                     or every estimate into a PDF file\n";

int printCommand(const std::vector<std::string>& args) {
  if (!args.empty() && args[0] == "list") return printListCommand(args);
  if (args.empty() || args[0] != "form")
    throw std::invalid_argument("print needs: form --layout K --pdf OUT, or list (--pdf OUT | --text)");
  int entry = 0, record = 1;
  bool all = false, recordGiven = false;
  std::string pdf;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--all") {
      all = true;
    } else if (a == "--layout" || a == "--record" || a == "--pdf") {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--layout") entry = positiveNumber(a, value);
      else if (a == "--record") record = positiveNumber(a, value), recordGiven = true;
      else pdf = value;
    } else {
      throw std::invalid_argument("unknown argument to print form: " + a);
    }
  }
  if (entry == 0) throw std::invalid_argument("print form needs --layout K");
  if (pdf.empty()) throw std::invalid_argument("print form needs --pdf OUT");
  if (all && recordGiven) throw std::invalid_argument("--record and --all do not go together");

  const std::string programDirectory = cli::programDirectory();
  formprint::LayoutList list;
  list.read(programDirectory);
  const auto layouts = list.layouts();
  if (entry > static_cast<int>(layouts.size())) {
    std::fprintf(stderr, "vendaro-cli: the layout list has no entry %d (it names %d layouts)\n", entry,
                 static_cast<int>(layouts.size()));
    return 1;
  }
  const std::string cardata = table::cardataDirectory(programDirectory);
  auto tables = formprint::LayoutTables::open(cardata);
  const int n = sjis::leadingInt(layouts[static_cast<std::size_t>(entry - 1)].number);
  if (n < 1 || n > tables->layoutCount()) {
    std::fprintf(stderr, "vendaro-cli: entry %d names layout %d, which does not exist (there are %d)\n", entry, n,
                 tables->layoutCount());
    return 1;
  }
  tables->openLayout(n);

  auto estimates = book::openEstimateTable(cardata);
  estimates->setIndex(book::descendingIndexName());
  if (!all && !standOnEstimate(*estimates, record)) return 1;

  const formprint::CompanyLines company = companyLines(programDirectory);
  const formprint::ItemEvaluator evaluator(*estimates, company, *tables, [](const std::string& question) {
    std::fprintf(stderr, "%s\n", sjis::toUtf8Display(question).c_str());
    return true;
  });
  formprint::RunSettings settings;
  settings.set = formprint::loadPrinterSettings(programDirectory).sets[0];
  settings.programDirectory = programDirectory;
  settings.face = formprint::readFontFace(programDirectory);
  settings.sheets = all ? formprint::RunSettings::Sheets::All : formprint::RunSettings::Sheets::Current;

  auto app = startQt();
  QPrinter printer(QPrinter::HighResolution);
  formprint::ui::setUpPdfPrinter(printer, QString::fromLocal8Bit(pdf.c_str()), tables->paperWidth(),
                                 tables->paperHeight());
  int pages = 0;
  {
    formprint::ui::PrinterSheetDevice device(printer);
    pages = formprint::printForms(device, *tables, *estimates, evaluator, settings);
  }
  std::printf("%d\n", pages);
  return 0;
}

}  // namespace vendaro::cli

#include "cli/print_list_command.h"
#include "cli/cli_support.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <unistd.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "listprint/list_lines.h"
#include "listprint/list_settings.h"
#include "listprint/print_widths.h"
#include "listprint/ui/TextPrintStream.h"
#include "platform/clock.h"
#include "platform/sjis.h"

namespace vendaro::cli {
namespace {

/// The lines on standard output, a form feed line between two jobs.
class TerminalStream : public listprint::LineStream {
 public:
  void open(int) override {
    if (jobs_++ > 0) std::fputs("\f\n", stdout);
  }
  void setSize(int) override {}
  void line(const std::string& cp932) override { std::printf("%s\n", sjis::toUtf8Display(cp932).c_str()); }
  void close() override {}

 private:
  int jobs_ = 0;
};

}  // namespace

const char* const kPrintListUsage =
    "  vendaro-cli print list (--pdf OUT | --text)        the list print with the stored settings into a PDF\n"
    "                                                     file, or its lines on standard output\n";

int printListCommand(const std::vector<std::string>& args) {
  std::string pdf;
  bool text = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--text") {
      text = true;
    } else if (args[i] == "--pdf") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--pdf needs a value");
      pdf = args[++i];
    } else {
      throw std::invalid_argument("unknown argument to print list: " + args[i]);
    }
  }
  if (text == !pdf.empty()) throw std::invalid_argument("print list needs one of --pdf OUT and --text");

  const std::string programDirectory = cli::programDirectory();
  const listprint::ListPrintSettings settings = listprint::loadListPrintSettings(programDirectory);
  const std::string cardata = table::cardataDirectory(programDirectory);
  auto estimates = book::openEstimateTable(cardata);
  estimates->setIndex(book::descendingIndexName());
  estimates->first();
  auto widths = listprint::openPrintWidthTable(cardata);

  if (text) {
    TerminalStream out;
    listprint::runListPrint(*estimates, *widths, settings, today(), out);
    return 0;
  }

  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vendaro-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromLocal8Bit(pdf.c_str()));
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                    QPageLayout::Millimeter));
  listprint::ui::TextPrintStream out(printer, settings.font, listprint::ui::TextPrintStream::Jobs::OnePerPage);
  listprint::runListPrint(*estimates, *widths, settings, today(), out);
  out.finish();
  std::printf("%d\n", out.pages());
  return 0;
}

}  // namespace vendaro::cli

// Budget of the list print:
//   list print of 10,000 estimates to PDF                                          < 5 s
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "book/estimate_table.h"
#include "generate.h"
#include "listprint/list_lines.h"
#include "listprint/list_settings.h"
#include "listprint/print_widths.h"
#include "listprint/ui/TextPrintStream.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

void BM_ListPrintToPdf(benchmark::State& state) {
  const std::string dir = (std::filesystem::temp_directory_path() / "vendaro-list-bench").string();
  std::filesystem::remove_all(dir);
  bench::generateEstimates(dir, static_cast<int>(state.range(0)));
  auto estimates = book::openEstimateTable(dir);
  auto widths = listprint::openPrintWidthTable(dir);
  listprint::ListPrintSettings settings = listprint::defaultListPrintSettings();
  for (const char* f : {"作成日", "氏名", "電話番号", "車種", "見積金額", "販売合計"})
    settings.fields.second.push_back(sjis::lit(f));
  settings.grouping = true;
  settings.dateSize = "10";
  const std::string pdf = dir + "/list.pdf";
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                      QPageLayout::Millimeter));
    listprint::ui::TextPrintStream out(printer, settings.font, listprint::ui::TextPrintStream::Jobs::OnePerPage);
    benchmark::DoNotOptimize(listprint::runListPrint(*estimates, *widths, settings, Date{2025, 1, 9}, out));
    out.finish();
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ListPrintToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

// Budgets of the form print run:
//   evaluate and place the 240 items of a layout for one estimate (no image)        < 10 ms
//   print one sheet of a 240-item layout with a JPEG form image to PDF              < 300 ms
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPrinter>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/item_language.h"
#include "formprint/jpeg_image.h"
#include "formprint/layout_tables.h"
#include "formprint/print_run.h"
#include "formprint/ui/SheetPrinter.h"
#include "generate.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

const char* const kItems[] = {
    "氏名　様", "ふりがな", "見積金額$12", "見積金額%2$14", "郵便番号全角", "郵便番号_1",
    "#ミッション=オートマ<AT/MT", "#頭金合計=0<@なし/頭金合計", "車両価格1*108/100$10", "頭金1+頭金2+頭金3$10",
    "^住所,　,前,30", "^住所,　,後,30", "住所都道府県無", "作成日", "見積有効期限", "電話番号&1,3", "自社名",
    "自住所", "自電話番号", "@お見積金額", "販売費用1$10", "税金1+税金2+税金3$10", "車種", "型式", "排気量%1",
    "車体色", "車両合計$12", "小計$12", "諸費用合計$12", "備考",
};

/// A program directory with 200 estimates, a 240-item layout on A4 and a scanned form of A4 at
/// 200 dpi.
struct Fixture {
  std::string dir;
  std::unique_ptr<table::Cursor> estimates;
  std::unique_ptr<formprint::LayoutTables> layouts;
  formprint::CompanyLines company{{sjis::lit("東京都中央区日本橋１－１"), sjis::lit("ベンダロ自動車"),
                                   sjis::lit("株式会社ベンダロ"), "03-0000-0000", "", "", ""}};
  std::unique_ptr<formprint::ItemEvaluator> evaluator;

  Fixture() {
    dir = (std::filesystem::temp_directory_path() / "vendaro-bench-print").string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    bench::generateEstimates(dir, 200);
    formprint::writeWhiteJpeg(dir + "/form.jpg", 1654, 2339);
    estimates = book::openEstimateTable(dir);
    estimates->setIndex(book::descendingIndexName());
    estimates->first();
    layouts = formprint::LayoutTables::open(dir);
    layouts->ensureLayout(1);
    layouts->openLayout(1);
    auto& data = layouts->data();
    data.edit();
    data.setText(formprint::kFormNameField, "form");
    data.setText(formprint::kPrintFormField, "True");
    data.setInteger(formprint::kPaperWidthField, 210);
    data.setInteger(formprint::kPaperHeightField, 297);
    data.setText(formprint::kShowDateUnitsField, "False");
    constexpr std::size_t kinds = sizeof kItems / sizeof kItems[0];
    for (int k = 1; k <= formprint::kItemCount; ++k)
      data.setText(formprint::kFirstItemField + k - 1, sjis::lit(kItems[std::size_t(k - 1) % kinds]));
    data.post();
    for (auto* c : {&layouts->posX(), &layouts->posY(), &layouts->size()}) {
      c->edit();
      for (int k = 1; k <= formprint::kItemCount; ++k) {
        const int v = c == &layouts->size() ? 10 : c == &layouts->posX() ? (k % 6) * 120 : (k / 6) * 27;
        c->setInteger(k - 1, v);
      }
      c->post();
    }
    evaluator = std::make_unique<formprint::ItemEvaluator>(*estimates, company, *layouts,
                                                           [](const std::string&) { return true; });
  }
  ~Fixture() {
    evaluator.reset();
    estimates.reset();
    layouts.reset();
    std::filesystem::remove_all(dir);
  }
};

void BM_PlaceTheItemsOfASheet(benchmark::State& state) {
  Fixture f;
  std::size_t placed = 0;
  for (auto _ : state) placed += formprint::placeItems(*f.layouts, *f.evaluator, formprint::AdjustmentSet{}).size();
  benchmark::DoNotOptimize(placed);
}
BENCHMARK(BM_PlaceTheItemsOfASheet)->Unit(benchmark::kMillisecond);

void BM_PrintOneSheetWithItsFormToPdf(benchmark::State& state) {
  Fixture f;
  formprint::RunSettings run;
  run.programDirectory = f.dir;
  run.face = sjis::lit("ＪＳゴシック");
  run.sheets = formprint::RunSettings::Sheets::Current;
  const QString pdf = QString::fromUtf8((f.dir + "/sheet.pdf").c_str());
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    formprint::ui::setUpPdfPrinter(printer, pdf, 210, 297);
    formprint::ui::PrinterSheetDevice device(printer);
    benchmark::DoNotOptimize(formprint::printForms(device, *f.layouts, *f.estimates, *f.evaluator, run));
  }
}
BENCHMARK(BM_PrintOneSheetWithItsFormToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

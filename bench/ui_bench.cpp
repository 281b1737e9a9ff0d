// Budgets of the desktop program on 100,000 estimates (VENDARO_BENCH_ESTIMATES to change), with
// the windows on the offscreen platform:
//   start to the main window shown with the first estimate        < 1 s
//   changing the tab (month filter) and refreshing counter and grid < 50 ms
//   saving an edited estimate, rebuilding the month tabs included   < 50 ms
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/ui/Application.h"
#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "generate.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

int estimateCount() {
  const char* n = std::getenv("VENDARO_BENCH_ESTIMATES");
  return n ? std::atoi(n) : 100000;
}

/// A program directory with the generated table, made once per run.
const std::string& programDir() {
  static const std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() / ("vendaro-uibench-" + std::to_string(estimateCount()))).string();
    if (!std::filesystem::exists(d + "/CARDATA/Estimate.DB")) {
      std::filesystem::remove_all(d);
      std::filesystem::create_directories(d + "/CARDATA");
      bench::generateEstimates(d + "/CARDATA", estimateCount());
    }
    return d;
  }();
  return dir;
}

void BM_StartToMainWindow(benchmark::State& state) {
  const std::string& dir = programDir();
  for (auto _ : state) {
    auto form = app::ui::createWindows(dir, dir + "/CARDATA");
    form->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->estimates().text(book::kNameField));
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToMainWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ChangeMonthTab(benchmark::State& state) {
  const std::string& dir = programDir();
  auto form = app::ui::createWindows(dir, dir + "/CARDATA");
  form->show();
  QApplication::processEvents();
  int tab = 2;
  for (auto _ : state) {
    form->TabBar->setCurrentIndex(tab);
    QApplication::processEvents();  // counter and grid repaint
    tab = tab + 1 < form->TabBar->count() ? tab + 1 : 2;
  }
}
BENCHMARK(BM_ChangeMonthTab)->Unit(benchmark::kMillisecond);

void BM_SaveEditedEstimate(benchmark::State& state) {
  const std::string& dir = programDir();
  auto form = app::ui::createWindows(dir, dir + "/CARDATA");
  form->show();
  QApplication::processEvents();
  std::mt19937 random(3);
  const std::string created = sjis::lit("作成日");
  for (auto _ : state) {
    state.PauseTiming();
    form->dataSource().moveTo(1 + static_cast<int>(random() % 1000));
    form->dataSource().startEdit();
    form->estimates().setText(
        created, era::format(Date{2015 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 12), 1}));
    state.ResumeTiming();
    form->dataSource().post();  // runs the month tab rebuild
    QApplication::processEvents();
  }
}
BENCHMARK(BM_SaveEditedEstimate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

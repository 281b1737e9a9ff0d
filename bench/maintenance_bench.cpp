// Budgets of data maintenance on 100,000 estimates (VENDARO_BENCH_ESTIMATES to change):
//   backup of the whole table to a CSV file             < 1.5 s
//   restore of that file into an empty table             < 3 s
//   clean-up of one month                                < 0.5 s
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "book/eradate.h"
#include "book_cases.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/month_tabs.h"
#include "generate.h"
#include "maintenance/backup.h"
#include "maintenance/cleanup.h"
#include "maintenance/period.h"
#include "maintenance/restore.h"

namespace {

using namespace vendaro;
namespace fs = std::filesystem;

int estimateCount() {
  const char* n = std::getenv("VENDARO_BENCH_ESTIMATES");
  return n ? std::atoi(n) : 100000;
}

fs::path scratch() { return fs::temp_directory_path() / ("vendaro-bench-maintenance-" + std::to_string(estimateCount())); }

/// The generated table, made once per run.
const std::string& dataDir() {
  static const std::string dir = [] {
    std::string d = (scratch() / "source").string();
    if (!fs::exists(d + "/Estimate.DB")) {
      fs::remove_all(d);
      fs::create_directories(d);
      bench::generateEstimates(d, estimateCount());
    }
    return d;
  }();
  return dir;
}

/// The backup of the generated table, made once per run.
const std::string& backupFile() {
  static const std::string file = [] {
    auto estimates = book::openEstimateTable(dataDir());
    estimates->setIndex(book::descendingIndexName());
    return maintenance::writeBackup(*estimates, (scratch() / "all.CSV").string(), false).path;
  }();
  return file;
}

/// A fresh copy of the generated table.
std::string copyOfTable(const std::string& name) {
  fs::path d = scratch() / name;
  fs::remove_all(d);
  fs::create_directories(d);
  fs::copy_file(fs::path(dataDir()) / "Estimate.DB", d / "Estimate.DB");
  return d.string();
}

void BM_BackupWholeTable(benchmark::State& state) {
  bench::backupWholeTable(state, dataDir(), (scratch() / "bench.CSV").string());
}
BENCHMARK(BM_BackupWholeTable)->Unit(benchmark::kMillisecond);

void BM_RestoreIntoEmptyTable(benchmark::State& state) {
  const std::string& file = backupFile();
  int stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::path d = scratch() / "restore";
    fs::remove_all(d);
    fs::create_directories(d);
    auto estimates = book::openEstimateTable(d.string());
    state.ResumeTiming();
    maintenance::RestoreReport report;
    maintenance::runRestore(*estimates, file, nullptr, report);
    stored = report.stored;
    state.PauseTiming();
    estimates.reset();
    state.ResumeTiming();
  }
  state.counters["stored"] = stored;
}
BENCHMARK(BM_RestoreIntoEmptyTable)->Unit(benchmark::kMillisecond);

void BM_CleanUpOneMonth(benchmark::State& state) {
  int deleted = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto estimates = book::openEstimateTable(copyOfTable("cleanup"));
    auto tabs = book::rebuildMonthTabs(*estimates, 0);
    // A month from the middle of the span, chosen in the period dialog as start and end.
    int month = static_cast<int>(tabs.size()) / 2;
    estimates->setFilter(maintenance::periodFilter(tabs, maintenance::MonthSpan{month, month}, 0));
    state.ResumeTiming();
    deleted = maintenance::deleteFilteredEstimates(*estimates);
    book::rebuildMonthTabs(*estimates, 0);
    state.PauseTiming();
    estimates.reset();
    state.ResumeTiming();
  }
  state.counters["deleted"] = deleted;
}
BENCHMARK(BM_CleanUpOneMonth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

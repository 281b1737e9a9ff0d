// Budgets of the estimate table on 100,000 estimates (VENDARO_BENCH_ESTIMATES to change):
//   open, build the "降順" view and read the first record   < 150 ms
//   post one changed estimate and bring the view up to date  < 20 ms
//   set a month filter and count                             < 20 ms
//   memory of a process holding the table open               < 100 MB
//   find over the whole view with no match                   < 300 ms
//   copy an estimate into a new one (dialog aside)           < 20 ms
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "book/copy_estimate.h"
#include "book_cases.h"
#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/field_lists.h"
#include "book/find.h"
#include "generate.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

int estimateCount() {
  const char* n = std::getenv("VENDARO_BENCH_ESTIMATES");
  return n ? std::atoi(n) : 100000;
}

/// The generated table, made once per run in a scratch directory.
const std::string& dataDir() {
  static const std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() / ("vendaro-bench-" + std::to_string(estimateCount()))).string();
    if (!std::filesystem::exists(d + "/Estimate.DB")) {
      std::filesystem::remove_all(d);
      std::filesystem::create_directories(d);
      bench::generateEstimates(d, estimateCount());
    }
    return d;
  }();
  return dir;
}

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

void BM_OpenDescendingFirst(benchmark::State& state) { bench::openDescendingFirst(state, dataDir()); }
BENCHMARK(BM_OpenDescendingFirst)->Unit(benchmark::kMillisecond);

void BM_PostChangedEstimate(benchmark::State& state) { bench::postChangedEstimate(state, dataDir()); }
BENCHMARK(BM_PostChangedEstimate)->Unit(benchmark::kMillisecond);

void BM_MonthFilterCount(benchmark::State& state) { bench::monthFilterCount(state, dataDir()); }
BENCHMARK(BM_MonthFilterCount)->Unit(benchmark::kMillisecond);

void BM_NaturalOrderAndBack(benchmark::State& state) {
  // What rebuilding the month tabs does to the order after every save.
  auto cursor = book::openEstimateTable(dataDir());
  cursor->setIndex(book::descendingIndexName());
  for (auto _ : state) {
    cursor->setIndex("");
    cursor->first();
    cursor->last();
    cursor->setIndex(book::descendingIndexName());
    cursor->setRecNo(1);
  }
}
BENCHMARK(BM_NaturalOrderAndBack)->Unit(benchmark::kMillisecond);

void BM_FindWithoutMatch(benchmark::State& state) {
  // A find that tests every estimate of the view and finds nothing (budget 300 ms).
  auto cursor = book::openEstimateTable(dataDir());
  cursor->setIndex(book::descendingIndexName());
  const std::string field = sjis::lit("住所"), text = sjis::lit("見つからない住所");
  for (auto _ : state) benchmark::DoNotOptimize(book::findInView(*cursor, field, text, 1, true));
}
BENCHMARK(BM_FindWithoutMatch)->Unit(benchmark::kMillisecond);

void BM_CopyEstimate(benchmark::State& state) {
  // The copy command once the dialog is closed: read the chosen fields of the estimate on screen,
  // append a new estimate and write them (budget 20 ms). Argument: how many fields are copied.
  auto cursor = book::openEstimateTable(dataDir());
  cursor->setIndex(book::descendingIndexName());
  cursor->setRecNo(cursor->recordCount() / 2);
  const auto& all = book::chooserFieldNames();
  std::vector<std::string> names(all.begin(), all.begin() + state.range(0));
  for (auto _ : state) {
    book::copyEstimate(*cursor, names);
    state.PauseTiming();
    cursor->cancel();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CopyEstimate)->Arg(3)->Arg(122)->Unit(benchmark::kMillisecond);

void BM_MemoryHoldingTheTable(benchmark::State& state) {
  dataDir();
  long before = residentKilobytes();
  auto cursor = book::openEstimateTable(dataDir());
  cursor->setIndex(book::descendingIndexName());
  for (auto _ : state) {
    cursor->first();
    benchmark::DoNotOptimize(cursor->recordCount());
  }
  state.counters["rss_MB"] = static_cast<double>(residentKilobytes()) / 1024.0;
  state.counters["table_MB"] = static_cast<double>(residentKilobytes() - before) / 1024.0;
}
BENCHMARK(BM_MemoryHoldingTheTable)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

#pragma once
// What the budgets of the estimate book measure, written once for both homes of the table: the
// book's directory of table files, or its database on a server.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "maintenance/backup.h"
#include "platform/sjis.h"

namespace vendaro::bench {

/// Open the table, build the "降順" view and read the first estimate.
inline void openDescendingFirst(benchmark::State& state, const std::string& location) {
  for (auto _ : state) {
    auto cursor = book::openEstimateTable(location);
    cursor->setIndex(book::descendingIndexName());
    cursor->first();
    benchmark::DoNotOptimize(cursor->text(book::kNameField));
    state.PauseTiming();
    cursor.reset();
    state.ResumeTiming();
  }
}

/// Post one changed estimate and bring the view up to date; `readAgain` then reads the whole view
/// again, as the main window does on a shared book.
inline void postChangedEstimate(benchmark::State& state, const std::string& location, bool readAgain = false) {
  auto cursor = book::openEstimateTable(location);
  cursor->setIndex(book::descendingIndexName());
  std::mt19937 random(7);
  const int count = cursor->recordCount();
  const std::string created = sjis::lit("作成日");
  for (auto _ : state) {
    state.PauseTiming();
    cursor->setRecNo(1 + static_cast<int>(random() % static_cast<unsigned>(count)));
    state.ResumeTiming();
    cursor->edit();
    // A new creation date moves the estimate to another place in the order.
    cursor->setText(created, era::format(Date{2015 + static_cast<int>(random() % 12), 1 + static_cast<int>(random() % 12), 1}));
    cursor->post();
    if (readAgain) cursor->refresh();
    benchmark::DoNotOptimize(cursor->recNo());
  }
}

/// Set a month filter and count.
inline void monthFilterCount(benchmark::State& state, const std::string& location) {
  auto cursor = book::openEstimateTable(location);
  cursor->setIndex(book::descendingIndexName());
  cursor->setFiltered(true);
  int month = 0;
  for (auto _ : state) {
    std::string label = era::format(Date{2020 + month / 12, 1 + month % 12, 1}).substr(0, 16);
    month = (month + 1) % 60;
    cursor->setFilter(sjis::lit("(作成日 = '") + label + "*')");
    benchmark::DoNotOptimize(cursor->recordCount());
  }
}

/// Back up every estimate to a CSV file.
inline void backupWholeTable(benchmark::State& state, const std::string& location, const std::string& target) {
  auto estimates = book::openEstimateTable(location);
  estimates->setIndex(book::descendingIndexName());
  for (auto _ : state) {
    auto report = maintenance::writeBackup(*estimates, target, false);
    benchmark::DoNotOptimize(report.estimates);
  }
  state.counters["estimates"] = estimates->recordCount();
}

}  // namespace vendaro::bench

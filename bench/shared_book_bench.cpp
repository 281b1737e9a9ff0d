// Budgets of the shared book: the estimate table in a PostgreSQL database reached over the
// loopback (TCP to 127.0.0.1), on 100,000 estimates (VENDARO_BENCH_ESTIMATES to change):
//   open, build the "降順" view and read the first record   < 300 ms
//   post one changed estimate and bring the view up to date  < 20 ms
//   set a month filter and count                             < 50 ms
//   backup of every estimate to a CSV file                   < 3 s
// Also measured, with no budget of their own: a post followed by reading the whole view again (what
// the main window does after each save) and a restore of every estimate.
// The benchmark starts a server of its own (tools/pg-server.sh) with the server's ordinary
// durability settings, fills it once from generated estimates and stops it at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "book_cases.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "generate.h"
#include "maintenance/backup.h"
#include "maintenance/restore.h"
#include "platform/sjis.h"
#include "platform/table/copy_book.h"

namespace {

using namespace vendaro;
namespace fs = std::filesystem;

int estimateCount() {
  const char* n = std::getenv("VENDARO_BENCH_ESTIMATES");
  return n ? std::atoi(n) : 100000;
}

/// The server of this run, listening on the loopback, with the generated book in it.
class Server {
 public:
  static Server& instance() {
    static Server server;
    return server;
  }
  ~Server() { std::system((std::string(VENDARO_PG_SERVER) + " stop '" + dir_ + "/server'").c_str()); }
  const std::string& uri() const { return uri_; }
  const std::string& scratch() const { return dir_; }

 private:
  Server() {
    std::string pattern = (fs::temp_directory_path() / "vendaro-bench-pg-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch directory");
    ::chmod(pattern.c_str(), 0755);
    dir_ = pattern;
    // A port of its own among the unprivileged ones; another run's server may hold one.
    for (int attempt = 0; attempt < 5 && uri_.empty(); ++attempt) {
      int port = 20000 + static_cast<int>((::getpid() * 7 + attempt * 131) % 20000);
      std::string start = std::string(VENDARO_PG_SERVER) + " start '" + dir_ + "/server' " + std::to_string(port);
      if (std::system(start.c_str()) == 0)
        uri_ = "postgresql://postgres@127.0.0.1:" + std::to_string(port) + "/postgres";
    }
    if (uri_.empty()) throw std::runtime_error("the PostgreSQL server did not start");
    const std::string files = dir_ + "/files";
    fs::create_directories(files);
    bench::generateEstimates(files, estimateCount());
    table::copyBook(files, uri_, {&book::estimateSchema()});
    // The planner's figures for the new table, as the server's own maintenance would gather them.
    std::system(("psql -q '" + uri_ + "' -c 'VACUUM ANALYZE \"Estimate.DB\"' >/dev/null").c_str());
  }
  std::string dir_;
  std::string uri_;
};

const std::string& uri() { return Server::instance().uri(); }

void BM_SharedOpenDescendingFirst(benchmark::State& state) { bench::openDescendingFirst(state, uri()); }
BENCHMARK(BM_SharedOpenDescendingFirst)->Unit(benchmark::kMillisecond);

void BM_SharedPostChangedEstimate(benchmark::State& state) { bench::postChangedEstimate(state, uri()); }
BENCHMARK(BM_SharedPostChangedEstimate)->Unit(benchmark::kMillisecond);

void BM_SharedPostAndReadTheViewAgain(benchmark::State& state) { bench::postChangedEstimate(state, uri(), true); }
BENCHMARK(BM_SharedPostAndReadTheViewAgain)->Unit(benchmark::kMillisecond);

void BM_SharedMonthFilterCount(benchmark::State& state) { bench::monthFilterCount(state, uri()); }
BENCHMARK(BM_SharedMonthFilterCount)->Unit(benchmark::kMillisecond);

void BM_SharedBackupWholeTable(benchmark::State& state) {
  bench::backupWholeTable(state, uri(), Server::instance().scratch() + "/bench.CSV");
}
BENCHMARK(BM_SharedBackupWholeTable)->Unit(benchmark::kMillisecond);

void BM_SharedRestoreIntoEmptyTable(benchmark::State& state) {
  // The backup of every estimate restored into an empty table of another database on the server
  // (no budget of its own; for the README).
  const std::string file = Server::instance().scratch() + "/restore.CSV";
  {
    auto estimates = book::openEstimateTable(Server::instance().uri());
    estimates->setIndex(book::descendingIndexName());
    maintenance::writeBackup(*estimates, file, false);
  }
  const std::string& uri = Server::instance().uri();
  const std::string other = uri.substr(0, uri.rfind('/')) + "/restored";
  int stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::system(("psql -q '" + uri + "' -c 'DROP DATABASE IF EXISTS restored' -c 'CREATE DATABASE restored' >/dev/null").c_str());
    auto estimates = book::openEstimateTable(other);
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
BENCHMARK(BM_SharedRestoreIntoEmptyTable)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

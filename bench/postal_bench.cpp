// Budgets of the postal-code directory on a national-size list of 125,000 lines, made by repeating
// the real Tokyo file (VENDARO_POSTAL_SAMPLE):
//   import the list into PostData.db (one transaction)           < 1 s, and no longer than the
//                                                                  sqlite3 shell's own .import of
//                                                                  the same file (measured beside it)
//   look up an address whose city is in no line (a full scan)    < 60 ms
//   the address search of the postal-code window (locate)        < 20 ms
// Only 住所 has an index: a second one on the code made the import half as slow again.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "entry/postal.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

constexpr int kLines = 125000;

/// A program directory holding KEN_ALL.CSV of kLines lines and PostData.db filled from it.
const std::string& programDir() {
  static const std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() / "vendaro-bench-postal").string();
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    std::ifstream in(VENDARO_POSTAL_SAMPLE, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    std::ofstream out(d + "/KEN_ALL.CSV", std::ios::binary);
    for (int i = 0; i < kLines; ++i) out << lines[static_cast<std::size_t>(i) % lines.size()];
    return d;
  }();
  return dir;
}

void BM_ImportNationalList(benchmark::State& state) {
  const std::string dir = programDir();
  auto table = entry::openPostData(dir + "/CARDATA");
  for (auto _ : state) {
    int n = entry::importPostalFile(*table, dir + "/KEN_ALL.CSV", {3, 7, 8, 9});
    if (n != kLines) state.SkipWithError("wrong row count");
  }
}
BENCHMARK(BM_ImportNationalList)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

/// The same file through the sqlite3 shell's .import into a plain table of the list's 15 columns,
/// in a new database file each time: the yardstick of the import above.
void BM_Sqlite3ShellImport(benchmark::State& state) {
  const std::string dir = programDir();
  const std::string db = dir + "/shell.db", script = dir + "/import.sql";
  {
    std::ofstream out(script, std::ios::binary);
    out << "CREATE TABLE list (c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15);\n"
        << ".import --csv '" << dir << "/KEN_ALL.CSV' list\n";
  }
  const std::string command = "sqlite3 '" + db + "' < '" + script + "'";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(db);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("the sqlite3 shell failed (is it installed?)");
  }
}
BENCHMARK(BM_Sqlite3ShellImport)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_LookupUnknownCity(benchmark::State& state) {
  const std::string dir = programDir();
  const std::string address = sjis::lit("大阪府堺市堺区戎島町１丁目");
  for (auto _ : state) {
    std::string code = entry::postRead(dir, address);
    if (!code.empty()) state.SkipWithError("found a code");
    benchmark::DoNotOptimize(code);
  }
}
BENCHMARK(BM_LookupUnknownCity)->Unit(benchmark::kMillisecond);

void BM_AddressSearch(benchmark::State& state) {
  const std::string dir = programDir();
  auto table = entry::openPostData(dir + "/CARDATA");
  if (table->recordCount() != kLines) entry::importPostalFile(*table, dir + "/KEN_ALL.CSV", {3, 7, 8, 9});
  // Near the end of the file and a prefix that every row shares.
  const std::string prefixes[] = {sjis::lit("東京都小笠原村"), sjis::lit("東京都"), sjis::lit("大阪")};
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& prefix = prefixes[i++ % 3];
    if (!table->locate(entry::kPostAddressField, prefix)) table->first();
    benchmark::DoNotOptimize(table->recNo());
  }
}
BENCHMARK(BM_AddressSearch)->Unit(benchmark::kMillisecond);

/// What 住所変換 does with the typed code (no budget of its own; shown beside the search).
void BM_CodeSearch(benchmark::State& state) {
  const std::string dir = programDir();
  auto table = entry::openPostData(dir + "/CARDATA");
  if (table->recordCount() != kLines) entry::importPostalFile(*table, dir + "/KEN_ALL.CSV", {3, 7, 8, 9});
  const std::string prefixes[] = {"1002", "100", "999"};
  std::size_t i = 0;
  for (auto _ : state) {
    if (!table->locate(entry::kPostCodeField, prefixes[i++ % 3])) table->first();
    benchmark::DoNotOptimize(table->recNo());
  }
}
BENCHMARK(BM_CodeSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

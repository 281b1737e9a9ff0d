// Loads a CSV file in the backup format (a header line of field names, then one estimate per
// line, CP932, no quoting) into the estimate table of the program directory it is run in.
//   vendaro-seed FILE
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"

namespace {
std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ',') out.emplace_back();
    else out.back() += c;
  }
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vendaro-seed FILE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vendaro-seed: cannot read %s\n", argv[1]);
    return 1;
  }
  try {
    char cwd[4096];
    auto cursor = vendaro::book::openEstimateTable(vendaro::table::cardataDirectory(getcwd(cwd, sizeof cwd)));
    std::string line;
    std::vector<int> columns;
    vendaro::table::Transaction transaction(*cursor);
    int count = 0;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> values = split(line);
      if (columns.empty()) {
        for (const auto& name : values) columns.push_back(cursor->fieldIndex(name));
        continue;
      }
      cursor->append();
      for (std::size_t i = 0; i < values.size() && i < columns.size(); ++i) cursor->setText(columns[i], values[i]);
      cursor->post();
      ++count;
    }
    transaction.commit();
    std::printf("%d estimates loaded\n", count);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vendaro-seed: %s\n", vendaro::sjis::toUtf8Display(e.what()).c_str());
    return 1;
  }
  return 0;
}

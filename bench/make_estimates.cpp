// Fills a CARDATA directory with generated estimates: make_estimates DIR COUNT [SEED]
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "generate.h"
#include "platform/sjis.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_estimates CARDATA-DIR COUNT [SEED]\n");
    return 2;
  }
  try {
    vendaro::bench::generateEstimates(argv[1], std::atoi(argv[2]), argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_estimates: %s\n", vendaro::sjis::toUtf8Display(e.what()).c_str());
    return 1;
  }
  return 0;
}

// Writes the blank form "白地.jpg" into a directory, for the installation's shared files:
//   vendaro-blank-form DIR
// The program copies it into a new per-user program directory.

#include <cstdio>
#include <exception>

#include "formprint/jpeg_image.h"
#include "platform/sjis.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vendaro-blank-form DIR\n");
    return 2;
  }
  try {
    vendaro::formprint::installBlankForm(argv[1]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vendaro-blank-form: %s\n", vendaro::sjis::toUtf8Display(e.what()).c_str());
    return 1;
  }
}

#include "cli/cli_support.h"

#include <optional>

#include "app/program_directory.h"

namespace vendaro::cli {
namespace {
std::string chosenOption;
std::optional<std::string> prepared;
}  // namespace

void chooseProgramDirectory(const std::string& option) {
  chosenOption = option;
  prepared.reset();
}

const std::string& programDirectory() {
  // Decided on first use, so that commands without a book (dates, kana) create nothing.
  if (!prepared) prepared = app::prepareProgramDirectory(chosenOption);
  return *prepared;
}

}  // namespace vendaro::cli

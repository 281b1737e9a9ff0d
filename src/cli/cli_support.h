#pragma once
// What every command of vendaro-cli needs: the program directory and command-line text as CP932.

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/sjis.h"

namespace vendaro::cli {

/// Remembers --directory DIR (empty when not given) for programDirectory().
void chooseProgramDirectory(const std::string& option);

/// The program directory of this run: --directory DIR, else $VENDARO_HOME, else for an installed
/// program the per-user directory (created when missing), else the working directory. Decided on
/// first use. Throws app::ProgramDirectoryError or FileError.
const std::string& programDirectory();

/// A command-line text (UTF-8) as CP932; a character without a CP932 form is a mistake in the
/// arguments (std::invalid_argument, shown with the usage).
inline std::string cp932(const std::string& utf8) {
  std::string bad;
  auto bytes = sjis::fromUtf8(utf8, &bad);
  if (!bytes) throw std::invalid_argument("'" + bad + "' cannot be written in Shift-JIS");
  return *bytes;
}

}  // namespace vendaro::cli

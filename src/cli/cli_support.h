#pragma once
// What every command of vendaro-cli needs: the program directory and command-line text as CP932.

#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "platform/sjis.h"

namespace vendaro::cli {

/// The working directory, which is the program directory.
inline std::string currentDirectory() {
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) throw std::runtime_error("cannot read the working directory");
  return buf;
}

/// A command-line text (UTF-8) as CP932; a character without a CP932 form is a mistake in the
/// arguments (std::invalid_argument, shown with the usage).
inline std::string cp932(const std::string& utf8) {
  std::string bad;
  auto bytes = sjis::fromUtf8(utf8, &bad);
  if (!bytes) throw std::invalid_argument("'" + bad + "' cannot be written in Shift-JIS");
  return *bytes;
}

}  // namespace vendaro::cli

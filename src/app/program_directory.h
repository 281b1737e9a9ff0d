#pragma once
// Where the program keeps a dealer's book: the program directory holding the settings files,
// CARDATA/, the form images and "白地.jpg".
//
// In order of precedence:
//   1. --directory DIR on the command line,
//   2. $VENDARO_HOME,
//   3. for an installed program, the per-user directory $XDG_DATA_HOME/vendaro (by default
//      ~/.local/share/vendaro), created on first start,
//   4. otherwise (a build tree, ./run.sh) the working directory.
// A directory named by 1 or 2 must exist: a mistyped name would otherwise open an empty book.
//
// A program counts as installed when its executable lies in a directory "bin" whose sibling
// "share/vendaro" holds the installed manual "Vendaro.html"; a build tree has no such sibling.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendaro::app {

/// What decides the program directory, read from the command line and the environment.
struct DirectorySources {
  std::string option;            ///< --directory DIR, empty when not given
  std::string home;              ///< $VENDARO_HOME, empty when unset
  bool installed = false;        ///< the executable is part of an installation
  std::string xdgDataHome;       ///< $XDG_DATA_HOME, empty when unset
  std::string userHome;          ///< the user's home directory
  std::string workingDirectory;  ///< the current working directory
};

/// The directory chosen and whether it is the per-user one (which is created when missing).
struct ProgramDirectory {
  std::string path;
  bool perUser = false;
};

/// A program directory that cannot be used. what() is CP932 text naming the directory.
class ProgramDirectoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Chooses the program directory by the rules above, without touching the disk. A relative
/// directory is taken from the working directory; a relative $XDG_DATA_HOME is ignored, as the
/// XDG base directory rules say.
ProgramDirectory chooseProgramDirectory(const DirectorySources& sources);

/// The shared files of an installation for an executable at `executablePath`
/// (<prefix>/bin/NAME gives <prefix>/share/vendaro), or empty when it is not installed.
std::string installedDataDirectory(const std::string& executablePath);

/// Reads the environment and the running executable's place, chooses the program directory and
/// makes it ready: a named directory must exist; the per-user one is created (mode 0700) and
/// given the installation's blank form when it has none. Throws ProgramDirectoryError, or
/// FileError when the per-user directory cannot be created or filled.
std::string prepareProgramDirectory(const std::string& option);

/// The start-up options that both programs take, taken out of `args`: --directory DIR (or
/// --directory=DIR) and --version. Other arguments stay in `args`, in order.
struct StartOptions {
  std::string directory;
  bool version = false;
};

/// Throws std::invalid_argument when --directory has no value.
StartOptions takeStartOptions(std::vector<std::string>& args);

/// The desktop program's own options, read before anything else so that asking for the version
/// needs neither a display nor the single-instance lock. Sets `directory` from --directory DIR;
/// returns the exit code when the program should end at once (--version, --help, a missing DIR).
std::optional<int> readDesktopOptions(int argc, char** argv, std::string& directory);

/// The version both programs report, "1.20".
const char* versionText();

}  // namespace vendaro::app

#include "app/program_directory.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formprint/jpeg_image.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "vendaro_version.h"

namespace vendaro::app {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool isAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string absoluteFrom(const std::string& base, const std::string& path) {
  return isAbsolute(path) ? path : joinPath(base, path);
}

std::string parentOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string lastName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string userHome() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  // Started without HOME (some schedulers do): the account's own home.
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "";
}

std::string workingDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) throw ProgramDirectoryError("cannot read the working directory");
  return buf;
}

std::string runningExecutable() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, std::size_t(n)) : std::string();
}

/// Creates `path` and any missing parent, each private to the user.
void createDirectories(const std::string& path) {
  if (path.empty() || isDirectory(path)) return;
  createDirectories(parentOf(path));
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) throw FileError(path, errno);
}

/// Copies the installation's blank form into a program directory that has none, through a
/// temporary file so that an interrupted copy leaves no half image behind.
void copyBlankForm(const std::string& dataDirectory, const std::string& programDirectory) {
  const std::string from = joinPath(dataDirectory, formprint::blankFormFileName());
  const std::string to = joinPath(programDirectory, formprint::blankFormFileName());
  if (fileExists(to) || !fileExists(from)) return;
  const std::string temporary = to + ".tmp";
  std::error_code ec;
  std::filesystem::copy_file(from, temporary, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    throw FileError(to, EIO);
  }
  if (std::rename(temporary.c_str(), to.c_str()) != 0) {
    int error = errno;
    std::filesystem::remove(temporary, ec);
    throw FileError(to, error);
  }
}

}  // namespace

ProgramDirectory chooseProgramDirectory(const DirectorySources& sources) {
  if (!sources.option.empty()) return {absoluteFrom(sources.workingDirectory, sources.option), false};
  if (!sources.home.empty()) return {absoluteFrom(sources.workingDirectory, sources.home), false};
  if (!sources.installed) return {sources.workingDirectory, false};
  const std::string dataHome = isAbsolute(sources.xdgDataHome)
                                   ? sources.xdgDataHome
                                   : joinPath(sources.userHome, ".local/share");
  return {joinPath(dataHome, "vendaro"), true};
}

std::string installedDataDirectory(const std::string& executablePath) {
  const std::string bin = parentOf(executablePath);
  if (lastName(bin) != "bin") return "";
  const std::string data = joinPath(parentOf(bin), "share/vendaro");
  return fileExists(joinPath(data, "Vendaro.html")) ? data : "";
}

std::string prepareProgramDirectory(const std::string& option) {
  const std::string dataDirectory = installedDataDirectory(runningExecutable());
  DirectorySources sources;
  sources.option = option;
  sources.home = environment("VENDARO_HOME");
  sources.installed = !dataDirectory.empty();
  sources.xdgDataHome = environment("XDG_DATA_HOME");
  sources.workingDirectory = workingDirectory();
  if (sources.option.empty() && sources.home.empty() && sources.installed) {
    sources.userHome = userHome();
    if (!isAbsolute(sources.userHome) && !isAbsolute(sources.xdgDataHome))
      throw ProgramDirectoryError("no home directory: set HOME, XDG_DATA_HOME or VENDARO_HOME");
  }
  ProgramDirectory chosen = chooseProgramDirectory(sources);
  if (chosen.perUser) {
    createDirectories(chosen.path);
    copyBlankForm(dataDirectory, chosen.path);
  } else if (!isDirectory(chosen.path)) {
    throw ProgramDirectoryError(sjis::lit("プログラムフォルダがありません: ") + sjis::fromUtf8Lossy(chosen.path));
  }
  return chosen.path;
}

StartOptions takeStartOptions(std::vector<std::string>& args) {
  StartOptions options;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--version") {
      options.version = true;
    } else if (arg == "--directory") {
      if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument("--directory needs a DIR");
      options.directory = args[++i];
    } else if (arg.rfind("--directory=", 0) == 0) {
      options.directory = arg.substr(12);
      if (options.directory.empty()) throw std::invalid_argument("--directory needs a DIR");
    } else {
      rest.push_back(arg);
    }
  }
  args = std::move(rest);
  return options;
}

std::optional<int> readDesktopOptions(int argc, char** argv, std::string& directory) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    StartOptions options = takeStartOptions(args);
    directory = options.directory;
    if (options.version) {
      std::printf("vendaro %s\n", versionText());
      return 0;
    }
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "vendaro: %s\n", e.what());
    return 2;
  }
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::printf("usage: vendaro [--directory DIR] [--version]\n"
                  "  --directory DIR  the program directory of the book (else $VENDARO_HOME; installed: the\n"
                  "                   per-user directory $XDG_DATA_HOME/vendaro; else the working directory)\n");
      return 0;
    }
  }
  return std::nullopt;
}

const char* versionText() { return VENDARO_VERSION; }

}  // namespace vendaro::app

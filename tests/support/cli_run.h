#pragma once
// Running vendaro-cli as a user would, in a program directory, for tests of the command line.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace vendaro::test {

/// What a run printed and its exit status (-1 when it did not exit normally).
struct CliRun {
  int status;
  std::string out;
};

/// Runs a shell command line and collects what it printed on standard output.
inline CliRun runShell(const std::string& command) {
  FILE* p = popen(command.c_str(), "r");
  CliRun run{-1, {}};
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) run.out.append(buf.data(), n);
  int status = pclose(p);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

/// Runs vendaro-cli in `programDir` with the shell-quoted `args`, today fixed at 2026-12-10 and
/// the tables in CARDATA there. `env` adds (or overrides) variables; `redirect` chooses what is
/// read: by default standard output and standard error together.
inline CliRun runCli(const std::string& programDir, const std::string& args, const std::string& env = "",
                     const std::string& redirect = " 2>&1") {
  return runShell("cd '" + programDir + "' && VENDARO_CARDATA='" + programDir + "/CARDATA' VENDARO_TODAY=2026-12-10 " +
                  env + " " VENDARO_CLI_PATH " " + args + redirect);
}

}  // namespace vendaro::test

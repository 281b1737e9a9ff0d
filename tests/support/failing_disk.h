#pragma once
// Making writes fail the way a dealer's machine makes them fail: a disk that is full, a directory
// that is read-only. The work runs in a child process, so the limits it runs under never reach
// the test itself.

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vendaro::test {

/// What the child runs under.
enum class Disk {
  Full,        ///< no file can grow: a write that would extend a file fails (EFBIG), as on a full disk
  Unprivileged ///< as an account without the administrator's rights, so that read-only means read-only
};

/// The account the unprivileged child runs as when the test runs as the administrator.
constexpr uid_t kNobody = 65534;

/// Gives the files under `dir` to the account the unprivileged child runs as (only the
/// administrator can, and only the administrator needs to).
inline void handOver(const std::string& dir) {
  if (::geteuid() != 0) return;
  if (::chown(dir.c_str(), kNobody, kNobody) != 0) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0) return;
}

/// Runs `work` in a child process under `disk` and returns the text it returned, "exit N" when it
/// ended otherwise, or "signal N" when it was killed. `work` may throw: "threw: what()".
inline std::string inChild(Disk disk, const std::function<std::string()>& work) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child < 0) return "no fork";
  if (child == 0) {
    ::close(fds[0]);
    if (disk == Disk::Full) {
      // Ignored, the signal of a too-large file turns into the write's own error.
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{0, 0};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(90);
    } else if (::geteuid() == 0) {
      if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(91);
    }
    std::string result;
    try {
      result = work();
    } catch (const std::exception& e) {
      result = std::string("threw: ") + e.what();
    }
    std::size_t at = 0;
    while (at < result.size()) {
      const ssize_t n = ::write(fds[1], result.data() + at, result.size() - at);
      if (n <= 0) ::_exit(92);
      at += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  if (WEXITSTATUS(status) != 0) return "exit " + std::to_string(WEXITSTATUS(status));
  return out;
}

/// While it lives, no file of this process can grow, as on a full disk: a write that would extend
/// a file fails. Only the soft limit is lowered, so that it can be put back.
class FullDiskScope {
 public:
  FullDiskScope() {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = 0;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FullDiskScope() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FullDiskScope(const FullDiskScope&) = delete;
  FullDiskScope& operator=(const FullDiskScope&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_DFL;
};

/// The names in a directory, for checking that no temporary file is left behind.
inline std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vendaro::test

#pragma once
// Keeps a second copy of the program from running: an exclusive lock on a file named after the
// program in the user's runtime directory. The lock goes with the process, however it ends.

#include <string>

namespace vendaro {

class SingleInstance {
 public:
  /// Tries to take the lock named `name` (for the desktop program: "EX_Vendaro").
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  /// True when this process holds the lock.
  bool acquired() const { return fd_ >= 0; }
  /// True when the lock file could not be made or opened at all (a runtime directory that does
  /// not exist, say): then nobody holds the lock and the program cannot tell whether it runs twice.
  /// False when the lock is held, by this process or by another.
  bool failed() const { return !error_.empty(); }
  /// Why the lock file could not be made (the system's reason); empty unless failed().
  const std::string& error() const { return error_; }
  /// The lock file's path.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string error_;
  int fd_ = -1;
};

/// The directory for the lock: $XDG_RUNTIME_DIR when set, else /tmp/vendaro-<uid>.
std::string runtimeDirectory();

}  // namespace vendaro

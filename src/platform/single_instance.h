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

  /// True when this process holds the lock; false when another process does.
  bool acquired() const { return fd_ >= 0; }
  /// The lock file's path.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

/// The directory for the lock: $XDG_RUNTIME_DIR when set, else /tmp/vendaro-<uid>.
std::string runtimeDirectory();

}  // namespace vendaro

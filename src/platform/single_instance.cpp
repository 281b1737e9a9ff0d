#include "platform/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/settings_file.h"

namespace vendaro {

std::string runtimeDirectory() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg) return xdg;
  std::string dir = "/tmp/vendaro-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

SingleInstance::SingleInstance(const std::string& name) : path_(joinPath(runtimeDirectory(), name)) {
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error_ = std::strerror(errno);
    return;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // Only a lock held by another process is the silent case; anything else is a failure.
    if (errno != EWOULDBLOCK) error_ = std::strerror(errno);
    ::close(fd);
    return;
  }
  fd_ = fd;
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace vendaro

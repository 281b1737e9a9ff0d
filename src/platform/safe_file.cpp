#include "platform/safe_file.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/settings_file.h"

namespace vendaro {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

struct PathParts {
  std::string directory;  // "." for a bare name
  std::string name;
};

PathParts partsOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

/// Removes the temporary files of this target whose writers are gone: a living writer holds a
/// lock on its file, so a file that can be locked was left by a writer that was killed.
void removeAbandoned(const PathParts& parts) {
  DIR* dir = ::opendir(parts.directory.c_str());
  if (!dir) return;
  const std::string prefix = parts.name + std::string(SafeFile::kTemporaryMark);
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = joinPath(parts.directory, name);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

/// Makes a rename in the directory durable. Some file systems cannot sync a directory; the
/// rename itself has then happened all the same, so nothing is reported.
void syncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

SafeFile::SafeFile(std::string target, unsigned mode, ExistingMode existing) : target_(std::move(target)) {
  const PathParts parts = partsOf(target_);
  removeAbandoned(parts);
  struct stat st {};
  if (existing == ExistingMode::Keep && ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    mode = st.st_mode & 07777;

  temporary_ = target_ + std::string(kTemporaryMark) + "XXXXXX";
  fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    temporary_.clear();
    throw FileError(target_, err);
  }
  // Held until the file is renamed or removed: it tells a later writer that this one lives.
  ::flock(fd_, LOCK_EX);
  if (::fchmod(fd_, mode) != 0) fail(errno);
  buffer_.reserve(kBufferSize);
}

SafeFile::~SafeFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void SafeFile::fail(int errorNumber) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  buffer_.clear();
  throw FileError(target_, errorNumber);
}

void SafeFile::flushBuffer() {
  if (fd_ < 0) throw FileError(target_, EBADF);
  const char* p = buffer_.data();
  std::size_t left = buffer_.size();
  while (left > 0) {
    const ssize_t w = ::write(fd_, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    if (w == 0) fail(ENOSPC);
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  buffer_.clear();
}

void SafeFile::write(std::string_view bytes) {
  if (fd_ < 0) throw FileError(target_, EBADF);
  if (buffer_.size() + bytes.size() > kBufferSize) {
    flushBuffer();
    if (bytes.size() > kBufferSize) {
      buffer_.assign(bytes);
      flushBuffer();
      return;
    }
  }
  buffer_.append(bytes);
}

void SafeFile::commit() {
  flushBuffer();
  if (::fsync(fd_) != 0) fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail(errno);
  committed_ = true;
  syncDirectory(partsOf(target_).directory);
}

void writeFileWhole(const std::string& path, std::string_view content, unsigned mode, ExistingMode existing) {
  SafeFile file(path, mode, existing);
  file.write(content);
  file.commit();
}

}  // namespace vendaro

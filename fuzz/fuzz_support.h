#pragma once
// Helpers shared by the fuzz targets.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace vendaro::fuzz {

/// Stops the run with a message: libFuzzer saves the input that led here as a finding.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

/// A scratch directory for the whole run (in memory when /dev/shm is there), removed at exit.
inline const std::string& scratchDirectory() {
  static const std::string dir = [] {
    std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/vendaro-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) fail("cannot make a scratch directory");
    static std::string removeAtExit;
    removeAtExit = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(removeAtExit, ec);
    });
    return pattern;
  }();
  return dir;
}

/// Takes the input apart: a few leading bytes as small numbers, the rest as text.
class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : data_(reinterpret_cast<const char*>(data), size) {}
  /// The next byte (0 when the input is used up).
  uint8_t byte() {
    if (data_.empty()) return 0;
    uint8_t b = static_cast<uint8_t>(data_[0]);
    data_.remove_prefix(1);
    return b;
  }
  std::string_view rest() const { return data_; }

 private:
  std::string_view data_;
};

}  // namespace vendaro::fuzz

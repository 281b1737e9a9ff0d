#pragma once
// Settings files: CP932 text, one value per line, each line ended by CR LF, always rewritten whole.
// Every file is optional; a missing file or a missing line leaves the caller's default.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/safe_file.h"

namespace vendaro {

/// A file that could not be created, opened, read or written. what() is the application's general
/// message for a file input/output error, in CP932, naming the file.
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& path, int errorNumber);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// Joins the program directory and a file name.
std::string joinPath(const std::string& dir, const std::string& name);

/// True when a file (or directory) of that name exists.
bool fileExists(const std::string& path);

/// The lines of a settings file as read from disk.
class SettingsLines {
 public:
  /// Reads the file; a missing file gives an empty set with exists() false. Lines end at CR LF,
  /// and a lone LF or CR is taken as a line end too. Throws FileError when the file exists but
  /// cannot be read.
  static SettingsLines load(const std::string& path);

  bool exists() const { return exists_; }
  std::size_t size() const { return lines_.size(); }
  const std::vector<std::string>& lines() const { return lines_; }

  /// Line i (0-based) when the file has it.
  std::optional<std::string> get(std::size_t i) const;
  /// Line i, or the empty text when the file is shorter.
  std::string text(std::size_t i) const { return get(i).value_or(std::string()); }
  /// Line i by the leading-integer reading, or `fallback` when the line is missing.
  int integer(std::size_t i, int fallback) const;
  /// Line i as a yes/no value (only "True" is yes), or `fallback` when the line is missing.
  bool boolean(std::size_t i, bool fallback) const;

 private:
  bool exists_ = false;
  std::vector<std::string> lines_;
};

/// Writes the lines, each followed by CR LF, replacing the file whole through a SafeFile: a crash or
/// a failure leaves the old file as it was. `mode` is the permission of a new file; a file that
/// exists keeps its own unless `existing` says otherwise. Throws FileError.
void writeSettingsLines(const std::string& path, const std::vector<std::string>& lines, unsigned mode = kPrivateFileMode,
                        ExistingMode existing = ExistingMode::Keep);

/// "True" or "False".
inline std::string boolText(bool value) { return value ? "True" : "False"; }

}  // namespace vendaro

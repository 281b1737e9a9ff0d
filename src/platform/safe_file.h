#pragma once
// Files written whole (backups, settings files, PDF output, images) go through one class, so that
// no writer can leave a half-written file in place of a good one.

#include <string>
#include <string_view>

namespace vendaro {

/// What becomes of the mode of a target that exists.
enum class ExistingMode {
  Keep,    ///< the new file has the old one's mode
  Replace  ///< the new file has the mode asked for (a file that must never be readable by others)
};

/// The mode of a file the program creates: readable and writable by its owner alone, since nearly
/// every file it writes holds customers' personal data or what leads to it.
constexpr unsigned kPrivateFileMode = 0600;

/// A file written whole. Its bytes go to a temporary file beside the target; commit() flushes
/// them to the disk and renames the temporary file over the target, so the target is always the
/// old file or the new one, never a part of either. Without a successful commit() (a failure, an
/// exception, the object simply going) the temporary file is removed and the target is left as
/// it was. A new target gets `mode` whatever the process's umask; a target that exists keeps its own mode unless `existing`
/// says otherwise.
///
/// A writer that is killed leaves its temporary file behind; the next writer of the same target
/// removes it (a temporary file is locked while its writer lives, so only abandoned ones go).
class SafeFile {
 public:
  /// Creates the temporary file. Throws FileError naming the target.
  explicit SafeFile(std::string target, unsigned mode = kPrivateFileMode, ExistingMode existing = ExistingMode::Keep);
  ~SafeFile();
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;

  const std::string& target() const { return target_; }
  /// Where the bytes go until commit(): for writers that open the file by its name themselves.
  const std::string& temporaryPath() const { return temporary_; }

  /// Adds bytes to the file (buffered). Throws FileError.
  void write(std::string_view bytes);
  /// Flushes, syncs and renames over the target. Throws FileError; the target is then unchanged.
  void commit();

  /// The part of a temporary file's name after the target's name, up to its six random letters.
  static constexpr std::string_view kTemporaryMark = ".tmp-";

 private:
  void flushBuffer();
  void fail(int errorNumber);

  std::string target_;
  std::string temporary_;
  std::string buffer_;
  int fd_ = -1;
  bool committed_ = false;
};

/// Writes `content` as the whole of the file at `path` through a SafeFile. Throws FileError.
void writeFileWhole(const std::string& path, std::string_view content, unsigned mode = kPrivateFileMode,
                    ExistingMode existing = ExistingMode::Keep);

}  // namespace vendaro

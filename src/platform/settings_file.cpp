#include "platform/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/safe_file.h"
#include "platform/sjis.h"

namespace vendaro {
namespace {
std::string fileErrorMessage(const std::string& path, int errorNumber) {
  // The path is a file-system name (UTF-8 here); the message is CP932 like every other text.
  return sjis::lit("ファイルの入出力エラーです: ") + sjis::fromUtf8Lossy(path) + " (" +
         sjis::fromUtf8Lossy(std::strerror(errorNumber)) + ")";
}
}  // namespace

FileError::FileError(const std::string& path, int errorNumber)
    : std::runtime_error(fileErrorMessage(path, errorNumber)), path_(path) {}

std::string joinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

SettingsLines SettingsLines::load(const std::string& path) {
  SettingsLines result;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno == ENOENT || errno == ENOTDIR) return result;
    throw FileError(path, errno);
  }
  std::string content;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  bool failed = std::ferror(f);
  int err = errno;
  std::fclose(f);
  if (failed) throw FileError(path, err);

  result.exists_ = true;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      result.lines_.push_back(content.substr(start));
      break;
    }
    result.lines_.push_back(content.substr(start, end - start));
    start = end + 1;
    if (content[end] == '\r' && start < content.size() && content[start] == '\n') ++start;
  }
  return result;
}

std::optional<std::string> SettingsLines::get(std::size_t i) const {
  if (i >= lines_.size()) return std::nullopt;
  return lines_[i];
}

int SettingsLines::integer(std::size_t i, int fallback) const {
  auto line = get(i);
  return line ? sjis::leadingInt(*line) : fallback;
}

bool SettingsLines::boolean(std::size_t i, bool fallback) const {
  auto line = get(i);
  return line ? *line == "True" : fallback;
}

void writeSettingsLines(const std::string& path, const std::vector<std::string>& lines, unsigned mode,
                        ExistingMode existing) {
  std::string content;
  for (const auto& line : lines) content += line + "\r\n";
  writeFileWhole(path, content, mode, existing);
}

}  // namespace vendaro

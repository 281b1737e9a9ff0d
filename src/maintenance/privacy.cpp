#include "maintenance/privacy.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

#include "book/field_lists.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::maintenance {
namespace {

std::string lowerExtension(const std::string& name) {
  const auto dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

/// The names of the regular files directly in a directory; none when it cannot be read.
std::vector<std::string> filesIn(const std::string& directory) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    struct stat st {};
    if (::lstat(joinPath(directory, name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

/// True when the file begins with the backup's header line.
bool isBackup(const std::string& path) {
  static const std::string header = [] {
    std::string h;
    for (const auto& name : book::chooserFieldNames()) h += (h.empty() ? "" : ",") + name;
    return h;
  }();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::string start(header.size(), '\0');
  const std::size_t n = std::fread(start.data(), 1, start.size(), f);
  std::fclose(f);
  return n == header.size() && start == header;
}

/// Takes group and other permissions off the file or directory, noting the change.
void narrow(const std::string& path, std::vector<ModeChange>& changes) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return;
  const unsigned before = st.st_mode & 07777;
  const unsigned after = before & ~077u;
  if (after == before) return;
  if (::chmod(path.c_str(), after) != 0) throw FileError(path, errno);
  changes.push_back({path, before, after});
}

/// The settings files, backups and PDF files directly in a directory.
void narrowPersonalFiles(const std::string& directory, std::vector<ModeChange>& changes) {
  for (const std::string& name : filesIn(directory)) {
    const std::string ext = lowerExtension(name);
    const std::string path = joinPath(directory, name);
    if (ext == "ini" || ext == "pdf" || (ext == "csv" && isBackup(path))) narrow(path, changes);
  }
}

/// The backup directory named by INIDIR.INI, when it names one that exists.
std::string backupDirectory(const std::string& programDirectory) {
  const SettingsLines lines = SettingsLines::load(joinPath(programDirectory, "INIDIR.INI"));
  std::string dir = sjis::toUtf8(lines.text(0));
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  struct stat st {};
  if (dir.empty() || ::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return dir;
}

/// The vehicle register's table (and its journals) belongs to the register program beside
/// this one, which may need it as it is: this program only reads it and leaves its mode alone.
bool isRegisterFile(const std::string& name) { return name.rfind("INDATA.db", 0) == 0; }

}  // namespace

std::vector<ModeChange> tightenProgramDirectory(const std::string& programDirectory,
                                                const std::string& cardataDirectory) {
  std::vector<ModeChange> changes;
  narrow(cardataDirectory, changes);
  for (const std::string& name : filesIn(cardataDirectory))
    if (!isRegisterFile(name)) narrow(joinPath(cardataDirectory, name), changes);
  narrowPersonalFiles(programDirectory, changes);
  const std::string backups = backupDirectory(programDirectory);
  if (!backups.empty()) {
    struct stat a {}, b {};
    const bool same = ::stat(backups.c_str(), &a) == 0 && ::stat(programDirectory.c_str(), &b) == 0 &&
                      a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    if (!same) narrowPersonalFiles(backups, changes);
  }
  return changes;
}

std::vector<std::string> tablesReadableByOthers(const std::string& cardataDirectory) {
  std::vector<std::string> readable;
  struct stat dir {};
  if (::stat(cardataDirectory.c_str(), &dir) != 0) return readable;
  // Whoever may pass through the directory may read a file that lets them. The directory's list
  // of names tells nothing: the table names are the same in every book.
  const unsigned in = dir.st_mode & 011;
  for (const std::string& name : filesIn(cardataDirectory)) {
    if (isRegisterFile(name)) continue;
    const std::string path = joinPath(cardataDirectory, name);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & (in << 2))) readable.push_back(path);
  }
  return readable;
}

std::string readableTablesQuestion(const std::string& cardataDirectory) {
  return sjis::lit("見積のデータ（") + sjis::fromUtf8Lossy(cardataDirectory) +
         sjis::lit("）は、このコンピュータの他のユーザーからも読める状態です。\r"
                   "お客様の個人情報を守るため、このユーザーだけが読み書きできるように直しますか？");
}

}  // namespace vendaro::maintenance

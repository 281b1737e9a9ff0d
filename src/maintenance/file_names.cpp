#include "maintenance/file_names.h"

#include <dirent.h>
#include <strings.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro::maintenance {

PathParts splitPath(const std::string& path) {
  PathParts parts;
  std::size_t slash = path.rfind('/');
  std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  parts.directory = path.substr(0, start);
  std::string file = path.substr(start);
  std::size_t dot = file.rfind('.');
  if (dot == std::string::npos) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.extension = file.substr(dot);
  }
  return parts;
}

std::string csvPath(const std::string& path) {
  PathParts parts = splitPath(path);
  std::string file = parts.name + ".CSV";
  std::string exact = parts.directory + file;
  if (fileExists(exact)) return exact;
  DIR* dir = ::opendir(parts.directory.empty() ? "." : parts.directory.c_str());
  if (!dir) return exact;
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, file.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found.empty() ? exact : parts.directory + found;
}

bool containsText(std::string_view text, std::string_view needle) {
  if (needle.empty()) return true;
  for (std::size_t i = 0; i + needle.size() <= text.size();) {
    if (text.compare(i, needle.size(), needle) == 0) return true;
    i += sjis::isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return false;
}

bool nameHolds(const std::string& path, std::string_view wordUtf8) {
  return containsText(sjis::fromUtf8Lossy(splitPath(path).name), sjis::lit(wordUtf8));
}

}  // namespace vendaro::maintenance

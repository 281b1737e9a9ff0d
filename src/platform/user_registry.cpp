#include "platform/user_registry.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"

namespace vendaro {
namespace {

/// Creates the directory and its parents; throws FileError.
void makeDirectories(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    std::string part = dir.substr(0, slash);
    if (!part.empty()) {
      if (::mkdir(part.c_str(), 0700) == 0) ::chmod(part.c_str(), 0700);  // whatever the umask
      else if (errno != EEXIST) throw FileError(part, errno);
    }
    if (slash == std::string::npos) break;
  }
}

}  // namespace

std::string userRegistryRoot() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.config";
}

std::string userRegistryFile(const std::string& keyPath) {
  std::string relative;
  for (char c : keyPath) {
    if (c == '\\' || c == '/') {
      if (!relative.empty() && relative.back() != '/') relative += '/';
    } else {
      relative += c;
    }
  }
  if (!relative.empty() && relative.back() == '/') relative.pop_back();
  // A key name never climbs out of the registry's directory.
  std::string safe;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    std::string part = relative.substr(start, end - start);
    if (part == "." || part == "..") part = "_";
    if (!safe.empty()) safe += '/';
    safe += part;
    start = end + 1;
  }
  return userRegistryRoot() + "/" + safe + ".ini";
}

std::optional<UserRegistryKey> UserRegistryKey::open(const std::string& keyPath) {
  SettingsLines file = SettingsLines::load(userRegistryFile(keyPath));
  if (!file.exists()) return std::nullopt;
  UserRegistryKey key(keyPath);
  for (const std::string& line : file.lines()) {
    if (line.empty() || line[0] == '[' || line[0] == ';') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    key.values_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return key;
}

UserRegistryKey UserRegistryKey::openOrCreate(const std::string& keyPath) {
  if (auto key = open(keyPath)) return std::move(*key);
  return UserRegistryKey(keyPath);
}

std::optional<int32_t> UserRegistryKey::readInteger(const std::string& name) const {
  for (const auto& [n, v] : values_)
    if (n == name) return sjis::parseInt32(v);
  return std::nullopt;
}

void UserRegistryKey::writeInteger(const std::string& name, int32_t value) {
  for (auto& [n, v] : values_) {
    if (n == name) {
      v = std::to_string(value);
      return;
    }
  }
  values_.emplace_back(name, std::to_string(value));
}

void UserRegistryKey::save() const {
  std::string path = userRegistryFile(keyPath_);
  makeDirectories(path.substr(0, path.rfind('/')));
  std::vector<std::string> lines{"[" + keyPath_ + "]"};
  for (const auto& [n, v] : values_) lines.push_back(n + "=" + v);
  writeSettingsLines(path, lines);
}

}  // namespace vendaro

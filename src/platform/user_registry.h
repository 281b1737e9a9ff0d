#pragma once
// The per-user registry: integer values under a key path such as "\Software\Vendaro". Each key is
// one INI file under the user's configuration directory ($XDG_CONFIG_HOME, else ~/.config), at the
// key path with its backslashes as directory separators: "\Software\Vendaro" is
// "<config>/Software/Vendaro.ini", one "name=value" line per value below a "[key path]" line.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vendaro {

/// The directory that holds the registry's key files.
std::string userRegistryRoot();

/// The file of a key path ("\Software\Vendaro").
std::string userRegistryFile(const std::string& keyPath);

/// One key with its values, read whole when opened and written whole by save().
class UserRegistryKey {
 public:
  /// Opens an existing key; nothing when it does not exist. Throws FileError when its file exists
  /// but cannot be read.
  static std::optional<UserRegistryKey> open(const std::string& keyPath);
  /// Opens a key, starting an empty one when it does not exist (it is created by save()).
  static UserRegistryKey openOrCreate(const std::string& keyPath);

  /// The value as a 32-bit integer; nothing when it is missing or not an integer.
  std::optional<int32_t> readInteger(const std::string& name) const;
  /// Sets the value (kept in memory until save()).
  void writeInteger(const std::string& name, int32_t value);
  /// Writes the key's file whole, creating its directories. Throws FileError.
  void save() const;

 private:
  explicit UserRegistryKey(std::string keyPath) : keyPath_(std::move(keyPath)) {}
  std::string keyPath_;
  std::vector<std::pair<std::string, std::string>> values_;
};

}  // namespace vendaro

#pragma once
// The start-up password: the text as typed, kept as the only line of "EsPass.INI" in the program
// directory. An empty password means no lock.

#include <string>

namespace vendaro::prefs {

/// The settings file's name.
inline const char* passwordFileName() { return "EsPass.INI"; }

/// Rewrites "EsPass.INI" with the password as its only line, readable and writable by its owner
/// only. Throws FileError.
void savePassword(const std::string& programDirectory, const std::string& password);

}  // namespace vendaro::prefs

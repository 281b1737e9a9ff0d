#pragma once
// The dealer's own particulars: seven text lines kept in "User.INI" in the program directory and
// printed on forms through the company items of the print item language.

#include <array>
#include <string>

namespace vendaro::prefs {

/// The seven lines, in file order: own address, company name, company name (second form), own
/// telephone number and three additional lines. CP932 text, any may be empty.
struct CompanyInfo {
  static constexpr int kLineCount = 7;
  std::array<std::string, kLineCount> lines;
};

/// The settings file's name.
inline const char* companyInfoFileName() { return "User.INI"; }

/// True when "User.INI" exists in the program directory (the start-up prompt asks while it does not).
bool companyInfoExists(const std::string& programDirectory);

/// Reads "User.INI": a missing file leaves every line empty, a short file leaves the missing lines
/// empty, lines after the seventh are ignored. Throws FileError when the file cannot be read.
CompanyInfo loadCompanyInfo(const std::string& programDirectory);

/// Rewrites "User.INI" whole with the seven lines, each followed by CR LF. Throws FileError.
void saveCompanyInfo(const std::string& programDirectory, const CompanyInfo& info);

}  // namespace vendaro::prefs

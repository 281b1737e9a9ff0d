#pragma once
// The consumption-tax rate: one whole number of percent, kept in "Zei.INI" in the program
// directory (one line of decimal digits).

#include <cstdint>
#include <string>
#include <string_view>

namespace vendaro::pricing {

/// The rate a new installation starts with: the consumption tax in Japan since 2019-10-01.
constexpr int32_t kDefaultTaxRate = 10;

/// The rate in "Zei.INI": its first line by the leading-integer reading (an empty first line gives
/// 0), or `fallback` when the file does not exist or holds no bytes at all. Throws FileError when
/// it cannot be read.
int32_t loadTaxRate(const std::string& programDirectory, int32_t fallback = kDefaultTaxRate);

/// Writes "Zei.INI" anew with the one line. Throws FileError.
void saveTaxRate(const std::string& programDirectory, int32_t rate);

/// The rate a text of the rate box stands for: a whole number, anything else 0.
int32_t taxRateFromText(std::string_view text);

}  // namespace vendaro::pricing

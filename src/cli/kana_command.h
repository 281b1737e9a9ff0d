#pragma once
// vendaro-cli kana: a half-width katakana reading as the name box stores it, in hiragana.

#include <string>
#include <vector>

namespace vendaro::cli {

extern const char* const kKanaUsage;

/// Runs `kana TEXT` (UTF-8): prints the text converted from half-width katakana to hiragana.
int kanaCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

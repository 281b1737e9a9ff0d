#pragma once
// vendaro-cli postal: the postal-code directory without windows.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage lines of the command.
extern const char* const kPostalUsage;

/// Runs `postal import FILE | address CODE | code ADDRESS | lookup ADDRESS` (the arguments after
/// "postal", UTF-8) in the program directory: the import prints the number of rows stored, the
/// others the text found or an empty line. Throws std::invalid_argument for a mistake in the
/// arguments and the system's errors (CP932 messages) as they are.
int postalCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

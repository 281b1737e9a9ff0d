#pragma once
// vendaro-cli eval: evaluates one print item expression against an estimate, the company
// information and a layout's date settings.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage line of the command.
extern const char* const kEvalUsage;

/// Runs `eval [--record N] [--layout N] [--mode print|screen] EXPRESSION` (the arguments after
/// "eval", UTF-8). Prints the text on the first line and the number (shift count in print mode,
/// date flag in screen mode) on the second; a "!" question goes to standard error and is answered
/// yes. Returns the exit status; throws std::invalid_argument for a mistake in the arguments and
/// the system's errors (CP932 messages) as they are.
int evalCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

#pragma once
// vendaro-cli print list: the list print with the stored settings, into a PDF file or as text.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage line of the command.
extern const char* const kPrintListUsage;

/// Runs `list (--pdf OUT | --text)` (the arguments after "print"): the list print with the settings
/// files of the working directory and the current record of EstLen.DB, the current estimate being
/// the first of the "降順" order. --pdf writes every print job into one PDF, each job from a new
/// page, and prints the number of pages; --text prints the lines in UTF-8, one per line, with a
/// line holding only a form feed between two jobs. Throws std::invalid_argument for a mistake in
/// the arguments and the system's errors (CP932 messages) as they are.
int printListCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

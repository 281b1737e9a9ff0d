#pragma once
// vendaro-cli print form: prints estimates on a layout into a PDF file, through the same print run
// as the desktop program's form-print commands.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage line of the command.
extern const char* const kPrintUsage;

/// Runs `print form --layout K [--record N | --all] --pdf OUT` (the arguments after "print"):
/// layout entry K of the layout list, estimate N of the "降順" order (default 1) or every
/// estimate, at 360 dpi with adjustment set 1 of "ToolEdit.INI"; a "!" question goes to standard
/// error and is answered yes. Prints the number of pages. Throws std::invalid_argument for a
/// mistake in the arguments and the system's errors (CP932 messages) as they are.
int printCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

#include "cli/postal_command.h"
#include "cli/cli_support.h"

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

#include "entry/postal.h"
#include "platform/sjis.h"

namespace vendaro::cli {

const char* const kPostalUsage =
    "  vendaro-cli postal import FILE                     fill PostData.db from a postal-code list (columns of PostData.INI)\n"
    "  vendaro-cli postal address CODE                    address of the first row whose code begins with CODE\n"
    "  vendaro-cli postal code ADDRESS                    code of the first row whose address begins with ADDRESS\n"
    "  vendaro-cli postal lookup ADDRESS                  code of a full address in KEN_ALL.CSV\n";

namespace {

void printLine(const std::string& text) { std::printf("%s\n", sjis::toUtf8Display(text).c_str()); }

/// The field `wanted` of the first row (in the grid's order) whose `field` begins with `prefix`.
std::string firstRow(const std::string& dir, const std::string& field, const std::string& prefix,
                     const std::string& wanted) {
  auto table = entry::openPostData(table::cardataDirectory(dir));
  return table->locate(field, prefix) ? table->text(wanted) : std::string();
}

}  // namespace

int postalCommand(const std::vector<std::string>& args) {
  if (args.size() != 2) throw std::invalid_argument("postal needs: import FILE | address CODE | code ADDRESS | lookup ADDRESS");
  const std::string dir = programDirectory();
  const std::string& what = args[0];
  if (what == "import") {
    auto table = entry::openPostData(table::cardataDirectory(dir));
    std::printf("%d\n", entry::importPostalList(dir, *table, args[1]));
  } else if (what == "address") {
    printLine(firstRow(dir, entry::kPostCodeField, cp932(args[1]), entry::kPostAddressField));
  } else if (what == "code") {
    printLine(firstRow(dir, entry::kPostAddressField, cp932(args[1]), entry::kPostCodeField));
  } else if (what == "lookup") {
    printLine(entry::postRead(dir, cp932(args[1])));
  } else {
    throw std::invalid_argument("postal needs: import FILE | address CODE | code ADDRESS | lookup ADDRESS");
  }
  return 0;
}

}  // namespace vendaro::cli

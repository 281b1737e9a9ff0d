// vendaro-cli: the estimate book without windows. Runs in the program directory like the desktop
// program; speaks UTF-8 on the terminal and CP932 everywhere else.

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/program_directory.h"
#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "cli/cli_support.h"
#include "cli/eval_command.h"
#include "cli/maintenance_commands.h"
#include "cli/migrate_command.h"
#ifdef VENDARO_CLI_PRINT
#include "cli/print_command.h"
#include "cli/print_list_command.h"
#endif
#include "cli/kana_command.h"
#include "cli/postal_command.h"
#include "platform/clock.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"

namespace {

using namespace vendaro;
using Args = std::vector<std::string>;

/// A mistake in how the command was called: the usage is printed after the message.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// An error whose message is CP932 text from the system.
struct SystemError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

const char* kUsage =
    "usage: vendaro-cli [--directory DIR] [--today YYYY-MM-DD] COMMAND ...\n"
    "  --directory DIR   the program directory of the book (else $VENDARO_HOME; installed: the\n"
    "                    per-user directory; else the working directory)\n"
    "  vendaro-cli --version                              print the version\n"
    "  vendaro-cli date parse TEXT [--today YYYY-MM-DD]   era date text to Y M D\n"
    "  vendaro-cli date format YYYY-MM-DD                 date to era date text\n"
    "  vendaro-cli add FIELD=VALUE...                     append one estimate, print its item number\n"
    "  vendaro-cli dump                                   every estimate, newest first, as CSV (UTF-8;\n"
    "                                                     a byte that is not Shift-JIS as U+F700 + byte)\n";

std::string usage() {
  std::string text = std::string(kUsage) + cli::kEvalUsage + cli::kMaintenanceUsage + cli::kPostalUsage + cli::kKanaUsage +
                     cli::kMigrateUsage;
#ifdef VENDARO_CLI_PRINT
  text += cli::kPrintUsage;
  text += cli::kPrintListUsage;
#endif
  return text;
}

void printLine(const std::string& cp932) { std::printf("%s\n", sjis::toUtf8Display(cp932).c_str()); }

std::string toCp932(const std::string& utf8) {
  std::string bad;
  auto bytes = sjis::fromUtf8(utf8, &bad);
  if (!bytes) throw UsageError("'" + bad + "' cannot be written in Shift-JIS");
  return *bytes;
}

std::unique_ptr<table::Cursor> openEstimates() {
  return book::openEstimateTable(table::cardataDirectory(cli::programDirectory()));
}

int dateCommand(const Args& args) {
  if (args.size() == 2 && args[0] == "parse") {
    Date d = era::charToDate(toCp932(args[1]));
    std::printf("%d %d %d\n", d.year, d.month, d.day);
    return 0;
  }
  if (args.size() == 2 && args[0] == "format") {
    auto d = parseIsoDate(args[1].c_str());
    if (!d) throw UsageError("not a date: " + args[1] + " (YYYY-MM-DD)");
    printLine(era::format(*d));
    return 0;
  }
  throw UsageError("date needs: parse TEXT | format YYYY-MM-DD");
}

int addCommand(const Args& args) {
  if (args.empty()) throw UsageError("add needs at least one FIELD=VALUE");
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& a : args) {
    auto eq = a.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("not FIELD=VALUE: " + a);
    pairs.emplace_back(toCp932(a.substr(0, eq)), toCp932(a.substr(eq + 1)));
  }
  auto cursor = openEstimates();
  cursor->append();
  for (const auto& [field, value] : pairs) cursor->setText(field, value);
  cursor->post();
  std::printf("%d\n", cursor->integer(book::kItemNumberField));
  return 0;
}

/// A field of the dump, losing nothing: the text in the lossless UTF-8 form (a byte that is not
/// CP932 becomes its escape code point, U+F700 + byte), quoted when it holds a comma, a quote or a
/// line end, with inner quotes doubled.
std::string csvField(const std::string& cp932) {
  const std::string utf8 = sjis::toUtf8(cp932);
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

int dumpCommand(const Args& args) {
  if (!args.empty()) throw UsageError("dump takes no arguments");
  auto cursor = openEstimates();
  cursor->setIndex(book::descendingIndexName());
  const int n = cursor->schema().fieldCount();
  auto writeLine = [](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  };
  std::string header;
  for (int i = 0; i < n; ++i) header += (i ? "," : "") + csvField(cursor->schema().field(i).name);
  writeLine(header);
  for (cursor->first(); !cursor->eof(); cursor->next()) {
    std::string line;
    for (int i = 0; i < n; ++i) line += (i ? "," : "") + csvField(cursor->text(i));
    writeLine(line);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--today") == 0 && i + 1 < argc) {
      auto d = parseIsoDate(argv[++i]);
      if (!d) {
        std::fprintf(stderr, "vendaro-cli: not a date: %s (YYYY-MM-DD)\n", argv[i]);
        return 2;
      }
      setToday(*d);
      continue;
    }
    args.emplace_back(argv[i]);
  }
  std::map<std::string, std::function<int(const Args&)>> commands = {
      {"date", dateCommand},         {"add", addCommand},
      {"dump", dumpCommand},         {"eval", cli::evalCommand},
      {"backup", cli::backupCommand}, {"restore", cli::restoreCommand},
      {"postal", cli::postalCommand}, {"kana", cli::kanaCommand},
      {"migrate", cli::migrateCommand}};
#ifdef VENDARO_CLI_PRINT
  commands.emplace("print", cli::printCommand);
#endif
  try {
    const app::StartOptions start = app::takeStartOptions(args);
    if (start.version) {
      std::printf("vendaro-cli %s\n", app::versionText());
      return 0;
    }
    cli::chooseProgramDirectory(start.directory);
    if (args.empty() || args[0] == "--help" || args[0] == "help") {
      std::fputs(usage().c_str(), args.empty() ? stderr : stdout);
      return args.empty() ? 2 : 0;
    }
    auto it = commands.find(args[0]);
    if (it == commands.end()) throw UsageError("unknown command: " + args[0]);
    return it->second(Args(args.begin() + 1, args.end()));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "vendaro-cli: %s\n%s", e.what(), usage().c_str());
    return 2;
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "vendaro-cli: %s\n%s", e.what(), usage().c_str());
    return 2;
  } catch (const std::exception& e) {
    // Errors of the system carry CP932 text.
    std::fprintf(stderr, "vendaro-cli: %s\n", sjis::toUtf8Display(e.what()).c_str());
    return 1;
  }
}

#include "cli/maintenance_commands.h"
#include "cli/cli_support.h"

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

#include "app/main_settings.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/month_tabs.h"
#include "maintenance/backup.h"
#include "maintenance/file_names.h"
#include "maintenance/period.h"
#include "maintenance/restore.h"
#include "platform/sjis.h"

namespace vendaro::cli {
namespace {

void printNotice(const std::string& cp932Text) {
  if (!cp932Text.empty()) {
    std::string text = sjis::toUtf8Display(cp932Text);
    for (char& c : text)
      if (c == '\r') c = '\n';
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

/// Splits FIELD,FIELD,... into CP932 field names.
std::vector<std::string> fieldList(const std::string& utf8) {
  std::vector<std::string> out;
  std::string name;
  for (char c : utf8 + ",") {
    if (c != ',') {
      name += c;
      continue;
    }
    if (!name.empty()) out.push_back(cp932(name));
    name.clear();
  }
  if (out.empty()) throw std::invalid_argument("--pattern needs at least one field name");
  return out;
}

}  // namespace

const char* const kMaintenanceUsage =
    "  vendaro-cli backup FILE [--from MONTH --to MONTH]  back up the estimates (of the months, e.g. 令和０８年０１月)\n"
    "  vendaro-cli restore FILE [--pattern FIELD,...]     restore estimates from a backup (or a file mapped by FIELD,...)\n";

int backupCommand(const std::vector<std::string>& args) {
  std::string file, from, to;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--from" || args[i] == "--to") && i + 1 < args.size()) {
      (args[i] == "--from" ? from : to) = args[i + 1];
      ++i;
    } else if (file.empty() && args[i].rfind("--", 0) != 0) {
      file = args[i];
    } else {
      throw std::invalid_argument("backup: unexpected argument: " + args[i]);
    }
  }
  if (file.empty()) throw std::invalid_argument("backup needs a FILE");
  if (from.empty() != to.empty()) throw std::invalid_argument("backup needs both --from and --to, or neither");

  const std::string dir = programDirectory();
  app::MainSettings settings = app::loadMainSettings(dir);
  auto estimates = book::openEstimateTable(table::cardataDirectory(dir));
  std::vector<book::MonthTab> tabs = book::rebuildMonthTabs(*estimates, settings.settlementDay);
  bool period = !from.empty();
  if (period) {
    maintenance::MonthSpan span{maintenance::monthTabIndex(tabs, cp932(from)),
                                maintenance::monthTabIndex(tabs, cp932(to))};
    if (span.from < 0) throw std::invalid_argument("no estimates are filed under the month " + from);
    if (span.to < 0) throw std::invalid_argument("no estimates are filed under the month " + to);
    if (span.from < span.to) throw std::invalid_argument("--from " + from + " lies after --to " + to);
    estimates->setFilter(maintenance::periodFilter(tabs, span, settings.settlementDay));
    estimates->setFiltered(true);
  }
  maintenance::BackupReport report = maintenance::writeBackup(*estimates, file, period);
  std::printf("%d estimates written to %s\n", report.estimates, report.path.c_str());
  printNotice(maintenance::unreadableNotice(report));
  return 0;
}

int restoreCommand(const std::vector<std::string>& args) {
  std::string file;
  std::optional<std::vector<std::string>> pattern;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--pattern" && i + 1 < args.size()) {
      pattern = fieldList(args[++i]);
    } else if (file.empty() && args[i].rfind("--", 0) != 0) {
      file = args[i];
    } else {
      throw std::invalid_argument("restore: unexpected argument: " + args[i]);
    }
  }
  if (file.empty()) throw std::invalid_argument("restore needs a FILE");

  const std::string dir = programDirectory();
  auto estimates = book::openEstimateTable(table::cardataDirectory(dir));
  maintenance::RestoreReport report;
  auto outcome = maintenance::runRestore(*estimates, file, [&] { return pattern; }, report);
  switch (outcome) {
    case maintenance::RestoreOutcome::Done: break;
    case maintenance::RestoreOutcome::AddressBook:
      throw std::runtime_error(sjis::lit("住所録はリストアできません！"));
    case maintenance::RestoreOutcome::Missing:
      throw std::runtime_error(sjis::lit("ファイルがありません: ") + sjis::fromUtf8Lossy(maintenance::csvPath(file)));
    case maintenance::RestoreOutcome::NoLine:
      throw std::runtime_error(sjis::lit("ファイルに行末がありません。リストアする見積はありません"));
    case maintenance::RestoreOutcome::NoPattern:
      throw std::invalid_argument("the file has no header line: give the columns with --pattern FIELD,FIELD,...");
  }
  std::printf("%d estimates restored, %d deleted before\n", report.stored, report.deleted);
  printNotice(maintenance::droppedNotice(report));
  return 0;
}

}  // namespace vendaro::cli

#include "maintenance/ui/MaintenanceCommands.h"

#include <QFile>

#include "maintenance/backup.h"
#include "maintenance/cleanup.h"
#include "maintenance/period.h"
#include "maintenance/restore.h"
#include "maintenance/ui/MonthSetingDlg.h"
#include "maintenance/ui/RestorePatternDlg.h"
#include "platform/clock.h"
#include "platform/ui/binding.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::maintenance::ui {

using vendaro::ui::dialogs;
using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

/// A path from a file dialog as the file system names it.
std::string fileSystemPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

MaintenanceCommands::MaintenanceCommands(MaintenanceHost host, TMSetDlg* periodDialog, TRestorePatDlg* patternDialog,
                                         QObject* parent)
    : QObject(parent), host_(std::move(host)), periodDialog_(periodDialog), patternDialog_(patternDialog) {}

bool MaintenanceCommands::choosePeriod() {
  std::vector<std::string> captions;
  for (const auto& tab : host_.monthTabs()) captions.push_back(tab.caption);
  periodDialog_->fill(captions);
  dialogs().exec(*periodDialog_);
  return periodDialog_->accepted();
}

void MaintenanceCommands::Back1Click() {
  auto& source = *host_.source;
  // An estimate being typed is saved first, as any move would.
  if (!source.run([](table::Cursor& c) { c.checkBrowseMode(); })) return;
  table::Cursor& estimates = source.cursor();
  const int remembered = estimates.recNo();
  BackupReport report;
  bool written = false;
  {
    FilterKeeper keep(estimates);
    const bool limit = host_.periodLimit();
    std::string namePart;
    if (limit) {
      if (!choosePeriod()) return;
      const auto& tabs = host_.monthTabs();
      MonthSpan span = periodDialog_->span();
      namePart = periodText(tabs, span);
      std::string filter = periodFilter(tabs, span, host_.settlementDay());
      if (!source.run([&](table::Cursor& c) {
            c.setFilter(filter);
            c.setFiltered(true);
          }))
        return;
    } else {
      namePart = todayNamePart(today());
    }
    QString proposed = toQ(proposedBackupName(host_.backupDirectory, host_.backupPrefix, namePart, host_.backupSuffix));
    QString chosen = dialogs().saveFile(host_.window, u8("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定"), u8("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ(*.CSV);;全て(*.*)"),
                                        QString(), proposed);
    if (chosen.isEmpty()) return;
    written = source.run([&](table::Cursor& c) { report = writeBackup(c, fileSystemPath(chosen), limit); });
  }
  source.run([remembered](table::Cursor& c) {
    if (remembered > 0) c.setRecNo(remembered);
  });
  if (written && !report.unreadable.empty()) dialogs().message(host_.window, toQ(unreadableNotice(report)));
}

void MaintenanceCommands::ReSt1Click() {
  auto& source = *host_.source;
  if (!source.run([](table::Cursor& c) { c.checkBrowseMode(); })) return;
  QString chosen = dialogs().openFile(host_.window, u8("ﾘｽﾄｱﾌｧｲﾙの指定"), u8("ｲﾝﾎﾟｰﾄﾌｧｲﾙ(*.CSV *.TXT);;全て(*.*)"),
                                      toQ(host_.backupDirectory));
  if (chosen.isEmpty()) return;
  auto choosePattern = [this]() -> std::optional<std::vector<std::string>> {
    if (dialogs().exec(*patternDialog_) != QDialog::Accepted) return std::nullopt;
    return patternDialog_->pattern();
  };
  RestoreReport report;
  RestoreOutcome outcome = RestoreOutcome::Missing;
  bool ok = source.run([&](table::Cursor& c) { outcome = runRestore(c, fileSystemPath(chosen), choosePattern, report); });
  if (!ok) return;  // the message is shown and the table is as it was
  switch (outcome) {
    case RestoreOutcome::AddressBook:
      dialogs().message(host_.window, u8("住所録はリストアできません！"));
      return;
    case RestoreOutcome::NoLine:
      dialogs().message(host_.window, u8("ファイルに行末がありません。リストアする見積はありません。"));
      return;
    case RestoreOutcome::Missing:
    case RestoreOutcome::NoPattern:
      return;
    case RestoreOutcome::Done:
      break;
  }
  // The month tabs are built once for the whole file, then the newest estimate is shown.
  host_.rebuildTabs();
  source.first();
  std::string dropped = droppedNotice(report);
  if (!dropped.empty()) dialogs().message(host_.window, toQ(dropped));
}

void MaintenanceCommands::N16Click() {
  auto& source = *host_.source;
  if (!source.run([](table::Cursor& c) { c.checkBrowseMode(); })) return;
  if (!choosePeriod()) return;
  const auto& tabs = host_.monthTabs();
  MonthSpan span = periodDialog_->span();
  std::string filter = periodFilter(tabs, span, host_.settlementDay());
  if (!source.run([&](table::Cursor& c) {
        c.setFilter(filter);
        c.setFiltered(true);
      }))
    return;
  QString question = toQ(periodText(tabs, span)) + u8("以前のデータが削除されます！\r削除してよろしいですか？");
  if (dialogs().ask(host_.window, question, false) != vendaro::ui::Dialogs::Answer::Yes) return;
  source.run([](table::Cursor& c) { deleteFilteredEstimates(c); });
  host_.rebuildTabs();
  host_.applyTab(0);
}

}  // namespace vendaro::maintenance::ui

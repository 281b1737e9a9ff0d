// Every writer under the failures of a dealer's machine: a disk that fills, a directory that is
// read-only, a directory that does not exist. Each must report the failure and leave what was
// there before exactly as it was, with no temporary file left behind.
#include <fstream>
#include <functional>
#include <map>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "entry/postal.h"
#include "formprint/jpeg_image.h"
#include "listprint/print_widths.h"
#include "maintenance/cleanup.h"
#include "platform/safe_file.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/cli_run.h"
#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

using test::Disk;

std::string cp(const char* utf8) { return sjis::lit(utf8); }

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

const std::string kFileError = "ファイルの入出力エラーです";

/// How the write is made to fail.
enum class Failure { FullDisk, ReadOnlyDirectory, MissingDirectory };

const char* nameOf(Failure f) {
  switch (f) {
    case Failure::FullDisk: return "a full disk";
    case Failure::ReadOnlyDirectory: return "a read-only directory";
    case Failure::MissingDirectory: return "a missing directory";
  }
  return "";
}

/// A program directory with two estimates, and a directory `out/` holding what earlier writes left
/// there: a backup, a settings file, a PDF and a blank form.
class FailingWrites : public ::testing::Test {
 protected:
  void SetUp() override {
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    for (const char* name : {"ALPHA", "BRAVO"}) {
      estimates->append();
      estimates->setText(book::kCreatedField, cp("令和０８年１２月０１日"));
      estimates->setText(book::kNameField, name);
      estimates->post();
    }
    estimates.reset();
    ASSERT_EQ(::mkdir(out().c_str(), 0755), 0);
    put(out("old.CSV"), "the previous backup\r\n");
    put(out("Zei.INI"), "8\r\n");
    put(out("list.pdf"), "the previous list\n");
    put(out(formprint::blankFormFileName()), "the previous form\n");
  }

  std::string out(const std::string& name = "") const { return dir.file("out") + (name.empty() ? "" : "/" + name); }

  /// Runs `write` (which returns the message it reported, empty when it reported nothing) under
  /// the failure, and checks the message and that `out/` is as it was.
  void expectReportedAndNothingChanged(Failure failure, const std::function<std::string()>& write,
                                       const std::string& expectedMessage = kFileError) {
    SCOPED_TRACE(nameOf(failure));
    std::map<std::string, std::string> before;
    for (const auto& name : test::namesIn(out())) before[name] = contentOf(out(name));
    std::string reported;
    switch (failure) {
      case Failure::FullDisk:
        reported = test::inChild(Disk::Full, write);
        break;
      case Failure::ReadOnlyDirectory:
        ASSERT_EQ(::chmod(out().c_str(), 0555), 0);
        test::handOver(dir.path());
        reported = test::inChild(Disk::Unprivileged, write);
        ::chmod(out().c_str(), 0755);
        break;
      case Failure::MissingDirectory:
        reported = write();
        break;
    }
    EXPECT_NE(reported.find(expectedMessage), std::string::npos) << "reported: " << reported;
    std::map<std::string, std::string> after;
    for (const auto& name : test::namesIn(out())) after[name] = contentOf(out(name));
    EXPECT_EQ(after, before);
  }

  /// The target inside `out/`, or inside a directory that does not exist.
  std::string target(Failure failure, const std::string& name) const {
    return failure == Failure::MissingDirectory ? dir.file("gone/" + name) : out(name);
  }

  /// vendaro-cli in the program directory: what it said on failure (UTF-8), empty on success.
  std::string cli(const std::string& args) const {
    const test::CliRun run = test::runCli(dir.path(), args);
    return run.status == 0 ? std::string() : run.out;
  }

  /// The estimates' names, in the table order.
  std::string estimateNames() {
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    std::string names;
    for (estimates->first(); !estimates->eof(); estimates->next()) names += estimates->text(book::kNameField) + ";";
    return names;
  }

  test::TempDir dir;
};

constexpr Failure kFailures[] = {Failure::FullDisk, Failure::ReadOnlyDirectory, Failure::MissingDirectory};

TEST_F(FailingWrites, ABackupThatCannotBeWrittenLeavesThePreviousOneWhole) {
  for (Failure failure : kFailures) {
    expectReportedAndNothingChanged(failure, [&] { return cli("backup '" + target(failure, "old.CSV") + "'"); });
  }
  // And when the disk has room, the backup replaces the previous one.
  ASSERT_EQ(cli("backup '" + out("old.CSV") + "'"), "");
  EXPECT_EQ(contentOf(out("old.CSV")).substr(0, book::estimateFieldName(book::kCreatedField).size()),
            book::estimateFieldName(book::kCreatedField));
}

TEST_F(FailingWrites, ASettingsFileThatCannotBeWrittenKeepsItsValues) {
  for (Failure failure : kFailures) {
    expectReportedAndNothingChanged(failure, [&]() -> std::string {
      try {
        writeSettingsLines(target(failure, "Zei.INI"), {"10"});
      } catch (const FileError& e) {
        return sjis::toUtf8Display(e.what());
      }
      return {};
    });
  }
}

TEST_F(FailingWrites, ABlankFormThatCannotBeWrittenLeavesNoPartOfItself) {
  ::unlink(out(formprint::blankFormFileName()).c_str());
  for (Failure failure : kFailures) {
    expectReportedAndNothingChanged(failure, [&]() -> std::string {
      try {
        formprint::installBlankForm(failure == Failure::MissingDirectory ? dir.file("gone") : out());
      } catch (const FileError& e) {
        return sjis::toUtf8Display(e.what());
      }
      return {};
    });
  }
}

#ifdef VENDARO_CLI_PRINTS
TEST_F(FailingWrites, APdfThatCannotBeWrittenLeavesThePreviousOneWhole) {
  listprint::openPrintWidthTable(dir.file("CARDATA"));  // made at the program's first start
  for (Failure failure : kFailures) {
    expectReportedAndNothingChanged(failure,
                                    [&] { return cli("print list --pdf '" + target(failure, "list.pdf") + "'"); });
  }
  ASSERT_EQ(cli("print list --pdf '" + out("list.pdf") + "'"), "");
  EXPECT_EQ(contentOf(out("list.pdf")).substr(0, 5), "%PDF-");
  EXPECT_EQ(test::namesIn(out()), (std::vector<std::string>{"Zei.INI", "list.pdf", "old.CSV", formprint::blankFormFileName()}));
}
#endif

/// The tables under a full disk and in a read-only directory: a post, a restore, a clean-up and a
/// postal import each report their failure, and the table holds what it held before.
TEST_F(FailingWrites, TableWritersThatCannotWriteLeaveTheTablesAsTheyWere) {
  put(dir.file("restore.CSV"), cp("作成日,氏名\r\n令和０８年１１月０１日,CHARLIE\r\n"));
  put(dir.file("KEN.CSV"), cp("13101,\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"\",\"\",\"東京都\",\"千代田区\",\"千代田\",0,0,0,0,0,0\r\n"));
  entry::openPostData(dir.file("CARDATA"));  // made at the program's first start
  const std::string names = estimateNames();
  ASSERT_EQ(names, "ALPHA;BRAVO;");
  struct Writer {
    const char* name;
    std::function<std::string()> write;
  } writers[] = {
      {"a post", [&] { return cli(std::string("add ") + "'氏名=DELTA'"); }},
      {"a restore", [&] { return cli("restore restore.CSV"); }},
      {"a postal import", [&] { return cli("postal import KEN.CSV"); }},
      {"a clean-up", [&]() -> std::string {
         try {
           auto estimates = book::openEstimateTable(dir.file("CARDATA"));
           estimates->setFilter(cp("(氏名 = 'ALPHA')"));
           maintenance::deleteFilteredEstimates(*estimates);
         } catch (const std::exception& e) {
           return sjis::toUtf8Display(e.what());
         }
         return {};
       }},
  };
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    for (Failure failure : {Failure::FullDisk, Failure::ReadOnlyDirectory}) {
      SCOPED_TRACE(nameOf(failure));
      std::string reported;
      if (failure == Failure::FullDisk) {
        reported = test::inChild(Disk::Full, w.write);
      } else {
        ASSERT_EQ(::chmod(dir.file("CARDATA").c_str(), 0555), 0);
        test::handOver(dir.path());
        reported = test::inChild(Disk::Unprivileged, w.write);
        ::chmod(dir.file("CARDATA").c_str(), 0755);
      }
      EXPECT_FALSE(reported.empty()) << "the failure was not reported";
      EXPECT_EQ(reported.find("threw"), std::string::npos) << reported;
      EXPECT_EQ(estimateNames(), names);
    }
  }
  // The postal directory was never filled.
  auto postal = entry::openPostData(dir.file("CARDATA"));
  EXPECT_EQ(postal->recordCount(), 0);
}

/// A post that fails keeps the estimate being edited as it was typed, so that nothing is lost and
/// the post can be tried again once there is room.
TEST_F(FailingWrites, AFailedPostKeepsTheEstimateInEditWithEverythingTyped) {
  const std::string outcome = test::inChild(Disk::Full, [&] {
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    estimates->first();
    estimates->edit();
    estimates->setText(book::kNameField, cp("山田　太郎"));
    estimates->setText(cp("見積金額"), "1500000");
    try {
      estimates->post();
      return std::string("stored");
    } catch (const table::TableError& e) {
      const bool editing = estimates->state() == table::Cursor::State::Edit;
      return std::string(editing ? "editing " : "browsing ") + estimates->text(book::kNameField) + " " +
             estimates->text(cp("見積金額"));
    }
  });
  EXPECT_EQ(outcome, "editing " + cp("山田　太郎") + " 1500000");
  EXPECT_EQ(estimateNames(), "ALPHA;BRAVO;");
}

}  // namespace
}  // namespace vendaro

// Customers' personal data stays with the account that owns the book: whatever the umask, what
// the program writes is its owner's alone, another account cannot open the tables, and an old
// book can be narrowed after the fact.
#include "maintenance/privacy.h"

#include <dirent.h>
#include <fstream>
#include <set>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/field_lists.h"
#include "formprint/jpeg_image.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "prefs/password.h"
#include "pricing/tax_rate.h"
#include "support/cli_run.h"
#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro::maintenance {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

unsigned modeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 07777;
}

void put(const std::string& path, const std::string& content, unsigned mode) {
  std::ofstream(path, std::ios::binary) << content;
  ::chmod(path.c_str(), mode);
}

std::string backupHeader() {
  std::string header;
  for (const auto& name : book::chooserFieldNames()) header += (header.empty() ? "" : ",") + name;
  return header + "\r\n";
}

/// Sets the process's umask for as long as it lives.
class Umask {
 public:
  explicit Umask(mode_t mask) : saved_(::umask(mask)) {}
  ~Umask() { ::umask(saved_); }

 private:
  mode_t saved_;
};

class PrivateByDefault : public ::testing::TestWithParam<mode_t> {};

TEST_P(PrivateByDefault, EveryFileTheProgramWritesIsItsOwnersAlone) {
  test::TempDir dir;
  std::ofstream(dir.file("KEN.CSV"), std::ios::binary)
      << cp("13101,\"100  \",\"1000001\",\"ﾄｳｷｮｳﾄ\",\"\",\"\",\"東京都\",\"千代田区\",\"千代田\",0,0,0,0,0,0\r\n");
  ::chmod(dir.file("KEN.CSV").c_str(), 0644);
  std::set<std::string> inputs = {"KEN.CSV"};
  {
    Umask mask(GetParam());
    // A day with the book: estimates added, backed up and restored, the postal list imported, the
    // list printed, settings written.
    for (const char* args : {"add '氏名=山田'", "add '氏名=佐藤'", "backup '見積.CSV'", "restore '見積.CSV'",
                             "postal import KEN.CSV"}) {
      const test::CliRun run = test::runCli(dir.path(), args);
      ASSERT_EQ(run.status, 0) << args << ": " << run.out;
    }
#ifdef VENDARO_CLI_PRINTS
    const test::CliRun printed = test::runCli(dir.path(), "print list --pdf list.pdf");
    ASSERT_EQ(printed.status, 0) << printed.out;
#endif
    pricing::saveTaxRate(dir.path(), 10);
    prefs::savePassword(dir.path(), "secret");
    formprint::installBlankForm(dir.path());
  }
  EXPECT_EQ(modeOf(dir.file("CARDATA")), 0700u);
  // The tables, and the journal beside a table while it is open.
  std::set<std::string> tables;
  {
    Umask mask(GetParam());
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    estimates->first();
    estimates->edit();
    estimates->setText(book::kNameField, cp("鈴木"));
    estimates->post();
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("CARDATA"))) {
      SCOPED_TRACE(entry.path().string());
      EXPECT_EQ(modeOf(entry.path().string()), 0600u);
      tables.insert(entry.path().filename().string());
    }
  }
  for (const char* name : {"Estimate.DB", "Estimate.DB-wal", "PostData.db"}) EXPECT_EQ(tables.count(name), 1u) << name;
  for (const std::string& name : test::namesIn(dir.path())) {
    SCOPED_TRACE(name);
    if (name == "CARDATA" || inputs.count(name)) continue;
    if (name == formprint::blankFormFileName()) {
      EXPECT_EQ(modeOf(dir.file(name)) & 022u, 0u);  // nothing personal: others may read it, not write it
      continue;
    }
    EXPECT_EQ(modeOf(dir.file(name)), 0600u);
  }
  EXPECT_TRUE(tablesReadableByOthers(dir.file("CARDATA")).empty());
}

INSTANTIATE_TEST_SUITE_P(Umasks, PrivateByDefault, ::testing::Values(mode_t{022}, mode_t{002}),
                         [](const auto& info) { return std::string(info.param == 022 ? "umask022" : "umask002"); });

TEST(Privacy, AnotherAccountCannotOpenTheTables) {
  if (::geteuid() != 0) GTEST_SKIP() << "a second account is tried only where the test can become one";
  test::TempDir dir;
  {
    Umask mask(022);
    auto estimates = book::openEstimateTable(dir.file("CARDATA"));
    estimates->append();
    estimates->setText(book::kNameField, cp("山田"));
    estimates->post();
  }
  // The scratch directory itself must let the other account in, as a home directory would.
  ::chmod(dir.path().c_str(), 0755);
  const std::string table = dir.file("CARDATA/" + book::estimateSchema().fileName());
  const std::string outcome = test::inChild(test::Disk::Unprivileged, [&] {
    std::string result;
    result += std::fopen(table.c_str(), "rb") ? "opened the table; " : "";
    result += ::opendir(dir.file("CARDATA").c_str()) ? "listed the tables; " : "";
    return result.empty() ? std::string("refused") : result;
  });
  EXPECT_EQ(outcome, "refused");
}

TEST(Privacy, TheProtectCommandNarrowsAnOldBookAndReportsEachFile) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  {
    Umask mask(022);
    book::openEstimateTable(cardata);
  }
  // A book made before: everything readable by everyone.
  ::chmod(cardata.c_str(), 0755);
  const std::string table = cardata + "/" + book::estimateSchema().fileName();
  ::chmod(table.c_str(), 0644);
  ASSERT_EQ(::mkdir(dir.file("backups").c_str(), 0755), 0);
  put(dir.file("INIDIR.INI"), dir.file("backups/") + "\r\n", 0644);
  put(dir.file("Zei.INI"), "10\r\n", 0664);
  put(dir.file("見積平成14年12月05日.CSV"), backupHeader(), 0644);
  put(dir.file("list.pdf"), "%PDF-1.4\n", 0644);
  put(dir.file("backups/見積分割.CSV"), backupHeader(), 0640);
  // Nothing personal: left as it is.
  put(dir.file("KEN_ALL.CSV"), "13101,\"100  \"\r\n", 0644);
  put(dir.file("backups/other.CSV"), cp("氏名,住所\r\n"), 0644);
  put(dir.file("白地.jpg"), "jpeg", 0644);
  put(dir.file("car.jpg"), "jpeg", 0644);
  // The vehicle register's table belongs to the register program beside this one.
  put(cardata + "/INDATA.db", "register", 0644);

  EXPECT_EQ(tablesReadableByOthers(cardata), std::vector<std::string>{table});
  const test::CliRun run = test::runCli(dir.path(), "protect");
  ASSERT_EQ(run.status, 0) << run.out;
  struct Expected {
    std::string path;
    const char* line;  // what the command reports for it
  } expected[] = {
      {cardata, "0755 -> 0700"},
      {table, "0644 -> 0600"},
      {dir.file("INIDIR.INI"), "0644 -> 0600"},
      {dir.file("Zei.INI"), "0664 -> 0600"},
      {dir.file("見積平成14年12月05日.CSV"), "0644 -> 0600"},
      {dir.file("list.pdf"), "0644 -> 0600"},
      {dir.file("backups/見積分割.CSV"), "0640 -> 0600"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.path);
    EXPECT_NE(run.out.find(std::string(e.line) + "  " + e.path + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(modeOf(e.path), e.path == cardata ? 0700u : 0600u);
  }
  EXPECT_NE(run.out.find(std::to_string(std::size(expected)) + " changed\n"), std::string::npos) << run.out;
  for (const char* name : {"KEN_ALL.CSV", "backups/other.CSV", "白地.jpg", "car.jpg", "CARDATA/INDATA.db"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(modeOf(dir.file(name)), 0644u);
    EXPECT_EQ(run.out.find(dir.file(name)), std::string::npos);
  }
  EXPECT_TRUE(tablesReadableByOthers(cardata).empty());
  // A second run has nothing left to do.
  EXPECT_EQ(test::runCli(dir.path(), "protect").out, "0 changed\n");
}

TEST(Privacy, TablesAreReadableByOthersOnlyWhereTheDirectoryLetsThemIn) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  book::openEstimateTable(cardata);
  const std::string table = cardata + "/" + book::estimateSchema().fileName();
  struct Case {
    unsigned directory, file;
    bool readable;
  } cases[] = {
      {0700, 0644, false},  // nobody else gets in
      {0711, 0644, true},   // others pass through and may read the file
      {0701, 0640, false},  // others pass through, but only the group may read the file, and it cannot pass
      {0750, 0640, true},   // the group
      {0755, 0600, false},  // the names of the tables are no secret; their contents are closed
      {0700, 0600, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.directory) + " " + std::to_string(c.file));
    ::chmod(cardata.c_str(), c.directory);
    ::chmod(table.c_str(), c.file);
    EXPECT_EQ(!tablesReadableByOthers(cardata).empty(), c.readable);
  }
}

}  // namespace
}  // namespace vendaro::maintenance

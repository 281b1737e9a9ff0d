// Where the book lives: the choice of the program directory, the recognition of an installation,
// the start-up options, and both programs run as installed and from the build tree.

#include "app/program_directory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "formprint/jpeg_image.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vendaro::app {
namespace {

namespace fs = std::filesystem;

TEST(ProgramDirectory, PrecedenceOfTheSources) {
  struct Case {
    const char* name;
    DirectorySources sources;
    ProgramDirectory expected;
  };
  const Case cases[] = {
      {"build tree: the working directory", {"", "", false, "/x", "/home/u", "/work"}, {"/work", false}},
      {"installed: the per-user directory", {"", "", true, "", "/home/u", "/work"},
       {"/home/u/.local/share/vendaro", true}},
      {"installed with XDG_DATA_HOME", {"", "", true, "/data", "/home/u", "/work"}, {"/data/vendaro", true}},
      {"a relative XDG_DATA_HOME is ignored", {"", "", true, "data", "/home/u", "/work"},
       {"/home/u/.local/share/vendaro", true}},
      {"VENDARO_HOME beats the per-user directory", {"", "/books/a", true, "/data", "/home/u", "/work"},
       {"/books/a", false}},
      {"VENDARO_HOME in a build tree", {"", "/books/a", false, "", "/home/u", "/work"}, {"/books/a", false}},
      {"--directory beats VENDARO_HOME", {"/books/b", "/books/a", true, "", "/home/u", "/work"},
       {"/books/b", false}},
      {"a relative --directory is taken from the working directory", {"seat2", "", true, "", "/home/u", "/work"},
       {"/work/seat2", false}},
      {"a relative VENDARO_HOME likewise", {"", "seat3", false, "", "/home/u", "/work"}, {"/work/seat3", false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ProgramDirectory got = chooseProgramDirectory(c.sources);
    EXPECT_EQ(got.path, c.expected.path);
    EXPECT_EQ(got.perUser, c.expected.perUser);
  }
}

void touch(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "x";
}

TEST(ProgramDirectory, AnInstallationIsKnownByItsManualBesideBin) {
  test::TempDir dir;
  touch(dir.file("usr/share/vendaro/Vendaro.html"));
  touch(dir.file("opt/share/vendaro/README"));    // shared files without the manual
  touch(dir.file("build/share/vendaro/Vendaro.html"));  // beside a directory that is not bin
  EXPECT_EQ(installedDataDirectory(dir.file("usr/bin/vendaro")), dir.file("usr/share/vendaro"));
  EXPECT_EQ(installedDataDirectory(dir.file("opt/bin/vendaro")), "");
  EXPECT_EQ(installedDataDirectory(dir.file("build/src/vendaro")), "");
  EXPECT_EQ(installedDataDirectory(dir.file("elsewhere/bin/vendaro")), "");
  EXPECT_EQ(installedDataDirectory(""), "");
}

TEST(ProgramDirectory, StartOptionsAreTakenOutOfTheArguments) {
  std::vector<std::string> args = {"--directory", "/books/a", "backup", "x.csv", "--version"};
  StartOptions options = takeStartOptions(args);
  EXPECT_EQ(options.directory, "/books/a");
  EXPECT_TRUE(options.version);
  EXPECT_EQ(args, (std::vector<std::string>{"backup", "x.csv"}));

  args = {"dump", "--directory=/books/b"};
  options = takeStartOptions(args);
  EXPECT_EQ(options.directory, "/books/b");
  EXPECT_FALSE(options.version);
  EXPECT_EQ(args, std::vector<std::string>{"dump"});

  for (std::vector<std::string> bad : {std::vector<std::string>{"dump", "--directory"},
                                       std::vector<std::string>{"--directory", ""},
                                       std::vector<std::string>{"--directory="}}) {
    SCOPED_TRACE(bad.back());
    EXPECT_THROW(takeStartOptions(bad), std::invalid_argument);
  }
}

using Outcome = test::CliRun;

/// Runs a shell command line with a clean environment (`env` adds variables), output and errors
/// together.
Outcome run(const std::string& env, const std::string& command) {
  return test::runShell("env -i PATH=/usr/bin:/bin " + env + " " + command + " 2>&1");
}

/// A copy of the built vendaro-cli laid out as an installation: <prefix>/bin/vendaro-cli beside
/// <prefix>/share/vendaro with the manual and the blank form.
class InstalledCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix() + "/bin");
    fs::copy_file(VENDARO_CLI_PATH, cli());
    touch(prefix() + "/share/vendaro/Vendaro.html");
    formprint::installBlankForm(prefix() + "/share/vendaro");
    fs::create_directories(root.file("home/dealer"));
    fs::create_directories(root.file("work"));
  }
  std::string prefix() const { return root.file("usr"); }
  std::string cli() const { return prefix() + "/bin/vendaro-cli"; }
  std::string home() const { return root.file("home/dealer"); }
  /// vendaro-cli run as installed, in the directory "work" with HOME set, plus `env`.
  Outcome installed(const std::string& args, const std::string& env = "") const {
    return run("HOME='" + home() + "' " + env, "sh -c \"cd '" + root.file("work") + "' && '" + cli() + "' " + args + "\"");
  }
  test::TempDir root;
};

TEST_F(InstalledCli, ABookInThePerUserDirectoryIsCreatedOnFirstUse) {
  const std::string perUser = home() + "/.local/share/vendaro";
  Outcome date = installed("date format 2026-12-10");
  ASSERT_EQ(date.status, 0) << date.out;
  EXPECT_FALSE(fs::exists(perUser)) << "a command without a book created one";

  Outcome add = installed("add 作成日=令和０８年１２月１０日");
  ASSERT_EQ(add.status, 0) << add.out;
  EXPECT_TRUE(fs::exists(perUser + "/CARDATA/Estimate.DB"));
  EXPECT_FALSE(fs::exists(root.file("work/CARDATA"))) << "the installed program used the working directory";
  // The blank form comes from the installation, byte for byte.
  EXPECT_EQ(fs::file_size(perUser + "/" + formprint::blankFormFileName()),
            fs::file_size(prefix() + "/share/vendaro/" + formprint::blankFormFileName()));
  struct stat st {};
  ASSERT_EQ(::stat(perUser.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u) << "the dealer's customers are readable by others";

  Outcome dump = installed("dump");
  ASSERT_EQ(dump.status, 0) << dump.out;
  EXPECT_NE(dump.out.find("令和０８年１２月１０日"), std::string::npos) << dump.out;
}

TEST_F(InstalledCli, XdgDataHomeAndANamedBookAreHonoured) {
  fs::create_directories(root.file("data"));
  Outcome add = installed("add 氏名=山田", "XDG_DATA_HOME='" + root.file("data") + "'");
  ASSERT_EQ(add.status, 0) << add.out;
  EXPECT_TRUE(fs::exists(root.file("data/vendaro/CARDATA/Estimate.DB")));
  EXPECT_FALSE(fs::exists(home() + "/.local/share/vendaro"));

  fs::create_directories(root.file("seat2"));
  add = installed("--directory ../seat2 add 氏名=佐藤", "VENDARO_HOME='" + root.file("data/vendaro") + "'");
  ASSERT_EQ(add.status, 0) << add.out;
  EXPECT_TRUE(fs::exists(root.file("seat2/CARDATA/Estimate.DB")));

  Outcome dump = installed("dump", "VENDARO_HOME='" + root.file("seat2") + "'");
  ASSERT_EQ(dump.status, 0) << dump.out;
  EXPECT_NE(dump.out.find("佐藤"), std::string::npos) << dump.out;
  EXPECT_EQ(dump.out.find("山田"), std::string::npos) << dump.out;
}

TEST_F(InstalledCli, AMissingNamedBookIsAnErrorAndNothingIsCreated) {
  struct Case {
    const char* how;
    std::string args;
    std::string env;
  };
  const Case cases[] = {
      {"--directory", "--directory '" + root.file("typo") + "' backup x.csv", ""},
      {"VENDARO_HOME", "backup x.csv", "VENDARO_HOME='" + root.file("typo") + "'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    Outcome backup = installed(c.args, c.env);
    EXPECT_EQ(backup.status, 1) << backup.out;
    EXPECT_NE(backup.out.find(root.file("typo")), std::string::npos) << backup.out;
    EXPECT_FALSE(fs::exists(root.file("typo")));
    EXPECT_FALSE(fs::exists(root.file("work/x.CSV")));
    EXPECT_FALSE(fs::exists(home() + "/.local/share/vendaro"));
  }
}

TEST(BuildTreeCli, KeepsTheWorkingDirectoryAndReportsItsVersion) {
  test::TempDir dir;
  Outcome add = run("HOME='" + dir.path() + "'", "sh -c \"cd '" + dir.path() + "' && " VENDARO_CLI_PATH " add 氏名=山田\"");
  ASSERT_EQ(add.status, 0) << add.out;
  EXPECT_TRUE(fs::exists(dir.file("CARDATA/Estimate.DB")));
  EXPECT_FALSE(fs::exists(dir.file(".local")));

  Outcome version = run("", VENDARO_CLI_PATH " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "vendaro-cli " VENDARO_VERSION_EXPECTED "\n");
  Outcome missing = run("", VENDARO_CLI_PATH " dump --directory");
  EXPECT_EQ(missing.status, 2) << missing.out;
}

}  // namespace
}  // namespace vendaro::app

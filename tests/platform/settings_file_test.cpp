#include "platform/settings_file.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(SettingsFile, MissingFileLeavesEveryDefault) {
  test::TempDir dir;
  auto lines = SettingsLines::load(dir.file("Estimate.INI"));
  EXPECT_FALSE(lines.exists());
  EXPECT_EQ(lines.integer(0, 15), 15);
  EXPECT_TRUE(lines.boolean(1, true));
  EXPECT_EQ(lines.text(2), "");
}

TEST(SettingsFile, ReadsLinesAndLeavesDefaultsForMissingOnes) {
  test::TempDir dir;
  spit(dir.file("a.INI"), "10\r\nTrue\r\ntrue\r\n\r\n");
  auto lines = SettingsLines::load(dir.file("a.INI"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines.integer(0, 0), 10);
  EXPECT_TRUE(lines.boolean(1, false));
  EXPECT_FALSE(lines.boolean(2, true));  // only the exact text True is yes
  EXPECT_EQ(lines.get(3), std::string());
  EXPECT_FALSE(lines.get(4).has_value());
  EXPECT_EQ(lines.integer(4, 7), 7);
}

TEST(SettingsFile, AcceptsBareLineEndsAndALastLineWithoutOne) {
  test::TempDir dir;
  spit(dir.file("a.INI"), "one\ntwo\rthree");
  auto lines = SettingsLines::load(dir.file("a.INI"));
  EXPECT_EQ(lines.lines(), (std::vector<std::string>{"one", "two", "three"}));
}

TEST(SettingsFile, WritesEveryLineWithCrLfAndReplacesTheFileWhole) {
  test::TempDir dir;
  spit(dir.file("a.INI"), "old old old old\r\n1\r\n2\r\n3\r\n");
  writeSettingsLines(dir.file("a.INI"), {"5", "", "\x95\xbd\x90\xac"});
  EXPECT_EQ(slurp(dir.file("a.INI")), "5\r\n\r\n\x95\xbd\x90\xac\r\n");
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"a.INI"});  // nothing left beside it
}

TEST(SettingsFile, ModeOfANewFileIsKept) {
  test::TempDir dir;
  writeSettingsLines(dir.file("secret.INI"), {"x"}, 0600);
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("secret.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SettingsFile, FailuresAreFileErrorsNamingTheFile) {
  test::TempDir dir;
  std::string path = dir.file("no-such-dir/a.INI");
  try {
    writeSettingsLines(path, {"1"});
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.path(), path);
    EXPECT_NE(std::string(e.what()).find("a.INI"), std::string::npos);
  }
  ::mkdir(dir.file("dir.INI").c_str(), 0755);  // a directory cannot be read as a file
  EXPECT_THROW(SettingsLines::load(dir.file("dir.INI")), FileError);
}

}  // namespace
}  // namespace vendaro

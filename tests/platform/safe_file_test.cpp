#include "platform/safe_file.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/settings_file.h"
#include "support/failing_disk.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

unsigned modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(SafeFile, TheTargetIsTheOldFileUntilCommitAndTheNewOneAfter) {
  test::TempDir dir;
  const std::string target = dir.file("Zei.INI");
  std::ofstream(target, std::ios::binary) << "8\r\n";
  {
    SafeFile file(target);
    file.write("10");
    file.write(std::string(3 << 20, 'x'));  // more than the buffer holds
    EXPECT_EQ(contentOf(target), "8\r\n");
    EXPECT_NE(file.temporaryPath(), target);
    file.commit();
  }
  EXPECT_EQ(contentOf(target), "10" + std::string(3 << 20, 'x'));
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"Zei.INI"});
}

TEST(SafeFile, WithoutCommitTheTargetStaysAndTheTemporaryFileGoes) {
  test::TempDir dir;
  const std::string target = dir.file("old.CSV");
  std::ofstream(target, std::ios::binary) << "previous";
  try {
    SafeFile file(target);
    file.write("half of a new");
    throw std::runtime_error("the writer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(contentOf(target), "previous");
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"old.CSV"});

  // A target never written stays absent.
  { SafeFile file(dir.file("new.CSV")); }
  EXPECT_FALSE(fileExists(dir.file("new.CSV")));
  EXPECT_EQ(test::namesIn(dir.path()), std::vector<std::string>{"old.CSV"});
}

TEST(SafeFile, ANewFileGetsTheModeAskedAndAnOldOneKeepsItsOwn) {
  test::TempDir dir;
  const mode_t saved = ::umask(0);
  writeFileWhole(dir.file("new"), "x", 0600);
  writeFileWhole(dir.file("form"), "x", 0644);
  std::ofstream(dir.file("old")) << "x";
  ::chmod(dir.file("old").c_str(), 0640);
  writeFileWhole(dir.file("old"), "y", 0600);
  ::umask(saved);
  EXPECT_EQ(modeOf(dir.file("new")), 0600u);
  EXPECT_EQ(modeOf(dir.file("form")), 0644u);
  EXPECT_EQ(modeOf(dir.file("old")), 0640u);
  EXPECT_EQ(contentOf(dir.file("old")), "y");
}

TEST(SafeFile, TheNextWriterRemovesWhatAKilledWriterLeftButNotALivingWritersFile) {
  test::TempDir dir;
  const std::string target = dir.file("old.CSV");
  // Left by a writer that was killed: nobody holds it.
  const std::string abandoned = target + std::string(SafeFile::kTemporaryMark) + "a1B2c3";
  std::ofstream(abandoned) << "half";
  // Files of other names are not touched, even when they look alike.
  std::ofstream(dir.file("other.CSV.tmp-a1B2c3")) << "x";
  std::ofstream(target + ".tmp-toolong") << "x";

  SafeFile living(target);
  living.write("being written");
  writeFileWhole(target, "done");
  EXPECT_FALSE(fileExists(abandoned));
  EXPECT_TRUE(fileExists(living.temporaryPath())) << "a living writer's file was taken away";
  EXPECT_TRUE(fileExists(dir.file("other.CSV.tmp-a1B2c3")));
  EXPECT_TRUE(fileExists(target + ".tmp-toolong"));
  EXPECT_EQ(contentOf(target), "done");
  living.commit();
  EXPECT_EQ(contentOf(target), "being written");
}

}  // namespace
}  // namespace vendaro

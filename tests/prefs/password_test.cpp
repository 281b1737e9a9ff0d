#include "prefs/password.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::prefs {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

unsigned mode(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(Password, WrittenAsTypedReadableByItsOwnerOnly) {
  test::TempDir dir;
  const std::string file = dir.file("EsPass.INI");
  // An older file that others could read is replaced by one they cannot.
  std::ofstream(file, std::ios::binary) << "old\r\n";
  ::chmod(file.c_str(), 0644);
  struct Case {
    const char* typed;
    const char* content;
  } cases[] = {{"Secret1", "Secret1\r\n"}, {"", "\r\n"}, {"ﾊﾟｽ word", "ﾊﾟｽ word\r\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    savePassword(dir.path(), sjis::lit(c.typed));
    EXPECT_EQ(slurp(file), sjis::lit(c.content));
    EXPECT_EQ(mode(file), 0600u);
  }
}

}  // namespace
}  // namespace vendaro::prefs

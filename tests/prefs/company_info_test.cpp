#include "prefs/company_info.h"

#include <fstream>
#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::prefs {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

TEST(CompanyInfo, MissingFileGivesEmptyLinesUntilSaved) {
  test::TempDir dir;
  EXPECT_FALSE(companyInfoExists(dir.path()));
  const CompanyInfo info = loadCompanyInfo(dir.path());
  for (const auto& line : info.lines) EXPECT_EQ(line, "");
  // OK with every field empty: seven CR LF pairs, and the file now exists.
  saveCompanyInfo(dir.path(), info);
  EXPECT_EQ(slurp(dir.file("User.INI")), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_TRUE(companyInfoExists(dir.path()));
}

TEST(CompanyInfo, ShortFileFillsTheFirstLinesAndSavingWritesSeven) {
  test::TempDir dir;
  const std::string address = sjis::lit("東京都千代田区１－１");
  const std::string name = sjis::lit("ベンダロ自動車");
  spit(dir.file("User.INI"), address + "\r\n" + name + "\r\n" + sjis::lit("株式会社") + "\r\n");
  CompanyInfo info = loadCompanyInfo(dir.path());
  EXPECT_EQ(info.lines[0], address);
  EXPECT_EQ(info.lines[1], name);
  EXPECT_EQ(info.lines[2], sjis::lit("株式会社"));
  for (int i = 3; i < CompanyInfo::kLineCount; ++i) EXPECT_EQ(info.lines[static_cast<std::size_t>(i)], "");
  info.lines[3] = "03-1234-5678";
  saveCompanyInfo(dir.path(), info);
  EXPECT_EQ(slurp(dir.file("User.INI")),
            address + "\r\n" + name + "\r\n" + sjis::lit("株式会社") + "\r\n03-1234-5678\r\n\r\n\r\n\r\n");
}

TEST(CompanyInfo, LinesAfterTheSeventhAreIgnored) {
  test::TempDir dir;
  spit(dir.file("User.INI"), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
  const CompanyInfo info = loadCompanyInfo(dir.path());
  EXPECT_EQ(info.lines[6], "7");
  saveCompanyInfo(dir.path(), info);
  EXPECT_EQ(slurp(dir.file("User.INI")), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
}

}  // namespace
}  // namespace vendaro::prefs

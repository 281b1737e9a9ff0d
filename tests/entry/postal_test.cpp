#include "entry/postal.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::entry {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

/// The real postal-code file of Tokyo, in the national list's format.
const std::string kTokyo = VENDARO_POSTAL_SAMPLE;

struct Town {
  const char* code;
  const char* prefecture;
  const char* city;
  const char* town;
};

/// Lines in the national list's layout (15 columns, CR LF).
std::string nationalList(std::initializer_list<Town> towns) {
  std::string out;
  for (const auto& t : towns)
    out += cp((std::string("13101,\"100  \",\"") + t.code + "\",\"ﾄｳｷｮｳﾄ\",\"ｼ\",\"ﾁｮｳ\",\"" + t.prefecture + "\",\"" +
               t.city + "\",\"" + t.town + "\",0,0,0,0,0,0\r\n")
                  .c_str());
  return out;
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ImportFields, CleansEveryFieldButTheLast) {
  struct Case {
    const char* line;
    std::vector<const char*> fields;
  };
  const Case cases[] = {
      {R"(13101,"1000000","東京都","千代田区","以下に掲載がない場合",0)", {"13101", "1000000", "東京都", "千代田区", "", "0"}},
      {R"("1000301","利島村一円",利島村一円)", {"1000301", "", "利島村一円"}},       // the last is kept as it is
      {R"("1000004","大手町（次のビルを除く）","x")", {"1000004", "大手町（次のビルを除く）", "\"x\""}},
      {R"(以下に掲載がない場合,"以下に掲載がない場合 ",a)", {"以下に掲載がない場合", "以下に掲載がない場合 ", "a"}},
      {R"("",",)", {"", "", ""}},
      {"a", {"a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<std::string> expected;
    for (const char* f : c.fields) expected.push_back(cp(f));
    EXPECT_EQ(importFields(cp(c.line)), expected);
  }
}

/// A program directory with PostData.db in its CARDATA directory.
class PostDataImport : public ::testing::Test {
 protected:
  void SetUp() override { table = openPostData(dir.file("CARDATA")); }
  void columns(const std::vector<std::string>& lines) { writeSettingsLines(dir.file("PostData.INI"), lines); }
  std::string addressOf(const char* code) {
    if (!table->locate(kPostCodeField, code)) return "<none>";
    return sjis::toUtf8(table->text(kPostAddressField));
  }
  std::vector<std::string> rows() {
    std::vector<std::string> out;
    for (table->first(); !table->eof(); table->next())
      out.push_back(sjis::toUtf8(table->text(kPostCodeField) + "|" + table->text(kPostAddressField)));
    return out;
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> table;
};

TEST_F(PostDataImport, TheRealTokyoListGivesOneRowPerLine) {
  columns({"3", "7", "8", " 9"});
  EXPECT_EQ(readPostColumns(dir.path()), (PostColumns{3, 7, 8, 9}));
  EXPECT_EQ(importPostalFile(*table, kTokyo, readPostColumns(dir.path())), 4087);
  EXPECT_EQ(table->recordCount(), 4087);
  const std::pair<const char*, const char*> cases[] = {
      {"1000000", "東京都千代田区"},                          // 以下に掲載がない場合
      {"1000301", "東京都利島村"},                            // 利島村一円
      {"1000004", "東京都千代田区大手町（次のビルを除く）"},  // a parenthesis is kept
      {"1050014", "東京都港区芝（１～３丁目）"},
      {"1020072", "東京都千代田区飯田橋"},
  };
  for (const auto& [code, address] : cases) {
    SCOPED_TRACE(code);
    EXPECT_EQ(addressOf(code), address);
  }
  table->first();
  EXPECT_EQ(sjis::toUtf8(table->text(kPostCodeField)), "1000000");  // the file's first line comes first
}

TEST_F(PostDataImport, ColumnsComeFromTheSettingsFile) {
  writeFile(dir.file("list.csv"), nationalList({{"1500001", "東京都", "渋谷区", "神宮前"}}));
  struct Case {
    std::vector<std::string> ini;
    const char* row;
  };
  const Case cases[] = {
      {{"3", "7", "8", "9"}, "1500001|東京都渋谷区神宮前"},
      {{"9", "8", "7", "3"}, "神宮前|渋谷区東京都1500001"},
      {{"3", "9"}, "1500001|神宮前"},  // a missing line names no column
      {{"3", "7", "8", "51"}, "1500001|東京都渋谷区"},  // beyond the line's fields: empty
      {{"15", "0", "-1", "abc"}, "0|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    columns(c.ini);
    importPostalFile(*table, dir.file("list.csv"), readPostColumns(dir.path()));
    EXPECT_EQ(rows(), std::vector<std::string>{c.row});
  }
  std::filesystem::remove(dir.file("PostData.INI"));
  EXPECT_EQ(readPostColumns(dir.path()), (PostColumns{0, 0, 0, 0}));
}

TEST_F(PostDataImport, ReplacesTheContentsAndKeepsThemWhenTheFileCannotBeRead) {
  columns({"3", "7", "8", "9"});
  writeFile(dir.file("a.csv"), nationalList({{"1000001", "東京都", "千代田区", "千代田"}, {"1000002", "東京都", "千代田区", "皇居外苑"}}));
  writeFile(dir.file("b.csv"), nationalList({{"1500001", "東京都", "渋谷区", "神宮前"}}) + "\r\n");
  EXPECT_EQ(importPostalFile(*table, dir.file("a.csv"), readPostColumns(dir.path())), 2);
  EXPECT_EQ(importPostalFile(*table, dir.file("b.csv"), readPostColumns(dir.path())), 1);
  const std::vector<std::string> afterB = {"1500001|東京都渋谷区神宮前"};
  EXPECT_EQ(rows(), afterB);

  std::filesystem::create_directory(dir.file("folder.csv"));  // opens, but cannot be read
  for (const std::string& bad : {dir.file("missing.csv"), dir.file("folder.csv")}) {
    SCOPED_TRACE(bad);
    try {
      importPostalFile(*table, bad, readPostColumns(dir.path()));
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_EQ(e.path(), bad);
    }
    EXPECT_EQ(rows(), afterB);
  }
  // The table is still whole when opened again.
  table.reset();
  table = openPostData(dir.file("CARDATA"));
  EXPECT_EQ(rows(), afterB);
}

/// postRead against a KEN_ALL.CSV in a program directory.
class PostRead : public ::testing::Test {
 protected:
  void list(const std::string& bytes) { writeFile(dir.file("KEN_ALL.CSV"), bytes); }
  std::string lookup(const char* address) { return postRead(dir.path(), cp(address)); }
  test::TempDir dir;
};

TEST_F(PostRead, FindsRealTokyoAddresses) {
  std::filesystem::copy_file(kTokyo, dir.file("KEN_ALL.CSV"));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都港区芝２丁目３－４", "1050014"},            // 芝（１～３丁目）
      {"東京都港区芝５丁目１", "1080014"},                // 芝（４、５丁目）
      {"東京都港区芝浦３丁目１", "1080023"},              // 芝浦（２～４丁目): 芝 itself has no number here
      {"東京都港区芝公園１丁目", "1050011"},              // a plain town
      {"東京都港区芝大門２－１", "1050012"},
      {"東京都港区存在町１丁目", "1050000"},              // only 以下に掲載がない場合: the city's code
      {"東京都千代田区大手町１－１", "1000000"},          // 大手町（次のビルを除く） is no piece of it
      {"東京都新宿区戸山３丁目１８番", "1690052"},        // 戸山（３丁目１８・２１番）
      {"東京都新宿区戸山３丁目２１番", "1620052"},        // the second piece reads as 戸山２１番: only その他
      {"東京都新宿区戸山１丁目", "1620052"},              // 戸山（その他）
      {"東京都新宿区西早稲田２丁目２番", "1620051"},      // the second piece of the list
      {"東京都新宿区西早稲田１丁目", "1690051"},
      {"東京都江戸川区江戸川２丁目", "1320013"},
      {"東京都利島村１２", "1000301"},                    // 利島村一円
      {"港区芝２丁目", "1050014"},                        // without the prefecture
      {"大阪府大阪市北区梅田１丁目", "1140000"},          // Tokyo's 北区 occurs in it: the first block whose city occurs
      {"大阪府堺市堺区戎島町１丁目", ""},                 // no city of the list
      {"", ""},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, RangesPiecesAndTheLongestMatch) {
  list(nationalList({
      {"0600042", "北海道", "札幌市中央区", "大通西（１～１９丁目）"},
      {"0600099", "北海道", "札幌市中央区", "大通西５"},    // as long as 大通西 and １: the earlier wins
      {"0600100", "北海道", "札幌市中央区", "本町（１～３丁目）"},
      {"0600101", "北海道", "札幌市中央区", "本町（その他）"},
      {"0600200", "北海道", "札幌市中央区", "南一条（１・３番地、５～７丁目）"},
      {"0600300", "北海道", "札幌市中央区", "北（１０～１２）"},
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"北海道札幌市中央区大通西５丁目", "0600042"},
      {"北海道札幌市中央区大通西２０丁目", ""},         // outside the range
      {"北海道札幌市中央区本町２丁目", "0600100"},
      {"北海道札幌市中央区本町５丁目", "0600101"},
      {"北海道札幌市中央区南一条１", "0600200"},        // the list is cut at 番地
      {"北海道札幌市中央区南一条３", "0600200"},
      {"北海道札幌市中央区南一条５丁目", ""},           // after 番地 nothing of the list is read
      {"北海道札幌市中央区北１１", "0600300"},
      {"北海道札幌市中央区北９", ""},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, MatchLengthOfARangeIsThePrefixAndItsFirstPiece) {
  // 大通西 and １ are 8 bytes, as long as the plain town 大通西５; one byte-pair longer wins.
  for (const auto& [plain, expected] : {std::pair{"大通西５", "1"}, std::pair{"大通西５丁", "2"}}) {
    SCOPED_TRACE(plain);
    list(nationalList({{"1", "北海道", "札幌市中央区", "大通西（１～１９丁目）"}, {"2", "北海道", "札幌市中央区", plain}}));
    EXPECT_EQ(lookup("北海道札幌市中央区大通西５丁目"), expected);
  }
}

TEST_F(PostRead, ReadsTheFirstCityBlockOnly) {
  list(nationalList({
      {"1", "東京都", "府中市", "以下に掲載がない場合"},
      {"2", "東京都", "府中市", "宮町"},
      {"3", "東京都", "調布市", "宮町"},
      {"4", "東京都", "府中市", "本町"},  // the same city again, after the block ended
      {"5", "広島県", "府中市", "本町"},
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都府中市宮町１", "2"},
      {"東京都府中市本町１", "1"},  // 4 and 5 lie after the end of the block
      {"広島県府中市本町１", "1"},  // a shared city: the first block in the file, whatever the prefecture
      {"東京都調布市宮町", "3"},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, TheNextLineClosesAnOpenParenthesis) {
  list(nationalList({
      {"1", "東京都", "港区", "海岸（１丁目、２丁目１番、"},
      {"2", "東京都", "港区", "２丁目３番、５丁目）"},  // the rest of 海岸's list
      {"3", "東京都", "港区", "海岸（その他）"},
      {"4", "東京都", "港区", "５丁目"},  // a plain town again once the parenthesis is closed
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都港区海岸１丁目", "1"},
      {"東京都港区海岸５丁目", "2"},
      {"東京都港区海岸４丁目", "3"},
      {"東京都港区５丁目", "4"},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, NoListNoCode) {
  EXPECT_EQ(lookup("東京都港区芝２丁目"), "");
  std::filesystem::create_directory(dir.file("KEN_ALL.CSV"));
  EXPECT_THROW(lookup("東京都港区芝２丁目"), FileError);
}

TEST_F(PostRead, MatchesWholeCharactersOnly) {
  // 院 is 0x89 0x40, so "院院" holds the bytes 0x40 0x89 ("@" and half a character) across its two
  // characters: a town of those bytes does not occur in it.
  list(nationalList({{"1", "東京都", "港区", "以下に掲載がない場合"}}) +
       cp("13101,\"100  \",\"2\",\"ﾄｳｷｮｳﾄ\",\"ﾐﾅﾄｸ\",\"ﾁｮｳ\",\"東京都\",\"港区\",\"@") + "\x89" +
       "\",0,0,0,0,0,0\r\n");
  EXPECT_EQ(lookup("東京都港区院院"), "1");
  EXPECT_EQ(lookup("東京都港区@院"), "2");
}

}  // namespace
}  // namespace vendaro::entry

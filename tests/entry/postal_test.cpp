#include "entry/postal.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

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
  EXPECT_EQ(readPostColumns(dir.path()), (PostColumns{3, 7, 8, 9}));  // without the file: the national list's
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

TEST_F(PostDataImport, AFirstImportUsesTheNationalColumnsAndWritesThemDown) {
  ASSERT_FALSE(std::filesystem::exists(dir.file("PostData.INI")));
  EXPECT_EQ(importPostalList(dir.path(), *table, kTokyo), 4087);
  EXPECT_EQ(addressOf("1050014"), "東京都港区芝（１～３丁目）");
  std::ifstream ini(dir.file("PostData.INI"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ini), {}), "3\r\n7\r\n8\r\n9\r\n");

  // Columns the dealer wrote are used as they are and the file is left alone.
  columns({"3", "9", "0", "0"});
  writeFile(dir.file("list.csv"), nationalList({{"1500001", "東京都", "渋谷区", "神宮前"}}));
  EXPECT_EQ(importPostalList(dir.path(), *table, dir.file("list.csv")), 1);
  EXPECT_EQ(rows(), std::vector<std::string>{"1500001|神宮前"});
  EXPECT_EQ(SettingsLines::load(dir.file("PostData.INI")).lines(), (std::vector<std::string>{"3", "9", "0", "0"}));
}

TEST_F(PostDataImport, AnImportThatGivesNoCodeIsRefusedAndChangesNothing) {
  writeFile(dir.file("good.csv"), nationalList({{"1500001", "東京都", "渋谷区", "神宮前"}}));
  ASSERT_EQ(importPostalList(dir.path(), *table, dir.file("good.csv")), 1);
  const std::vector<std::string> before = rows();
  writeFile(dir.file("empty.csv"), "");
  writeFile(dir.file("notes.txt"), cp("郵便番号の一覧\r\n\r\n"));
  struct Case {
    const char* why;
    std::vector<std::string> ini;
    std::string file;
  };
  const Case cases[] = {
      {"columns that name no code", {"0", "7", "8", "9"}, dir.file("good.csv")},
      {"a code column beyond every line", {"20", "7", "8", "9"}, dir.file("good.csv")},
      {"an empty file", {"3", "7", "8", "9"}, dir.file("empty.csv")},
      {"a file of another kind", {"3", "7", "8", "9"}, dir.file("notes.txt")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    columns(c.ini);
    try {
      importPostalList(dir.path(), *table, c.file);
      ADD_FAILURE() << "not refused";
    } catch (const PostalImportRefused& e) {
      EXPECT_NE(sjis::toUtf8(e.what()).find("郵便番号"), std::string::npos);
    }
    EXPECT_EQ(rows(), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("CARDATA/PostData.db.fill")));
  }
  // The table takes the next import as before, and holds it when opened again.
  columns({"3", "7", "8", "9"});
  EXPECT_EQ(importPostalList(dir.path(), *table, kTokyo), 4087);
  table.reset();
  table = openPostData(dir.file("CARDATA"));
  EXPECT_EQ(table->recordCount(), 4087);
  EXPECT_EQ(addressOf("1000004"), "東京都千代田区大手町（次のビルを除く）");
}

TEST_F(PostDataImport, ReadsAUtf8ListAsWellAndStoresCp932) {
  // utf_ken_all.csv: the same columns in UTF-8, with or without a byte-order mark.
  const std::string utf8 = sjis::toUtf8(nationalList({{"1000004", "東京都", "千代田区", "大手町（次のビルを除く）"},
                                                      {"1008110", "東京都", "千代田区", "以下に掲載がない場合"}}));
  for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
    writeFile(dir.file("utf_ken_all.csv"), bytes);
    EXPECT_EQ(importPostalFile(*table, dir.file("utf_ken_all.csv"), kNationalColumns), 2);
    EXPECT_EQ(rows(), (std::vector<std::string>{"1000004|東京都千代田区大手町（次のビルを除く）", "1008110|東京都千代田区"}));
  }
  // Text that is not UTF-8 is kept byte for byte as CP932, half-width kana included.
  EXPECT_EQ(postalListText(cp("ﾄｳｷｮｳﾄ,東京都")), cp("ﾄｳｷｮｳﾄ,東京都"));
  EXPECT_EQ(postalListText("13101,\"1000000\""), "13101,\"1000000\"");
  EXPECT_EQ(postalListText("\xE6\x9D\xB1\xE4\xBA"), "\xE6\x9D\xB1\xE4\xBA");  // UTF-8 cut short: not UTF-8
}

TEST_F(PostDataImport, ReportsItsProgressToTheEnd) {
  std::vector<double> shares;
  importPostalFile(*table, kTokyo, kNationalColumns, [&](double share) { shares.push_back(share); });
  ASSERT_GT(shares.size(), 10u);
  EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
  EXPECT_GE(shares.front(), 0.0);
  EXPECT_EQ(shares.back(), 1.0);
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
      {"東京都千代田区大手町１－１", "1000004"},          // 大手町（次のビルを除く）: the district itself
      {"東京都千代田区大手町1-1", "1000004"},
      {"東京都新宿区戸山３丁目１８番", "1690052"},        // 戸山（３丁目１８・２１番）
      {"東京都新宿区戸山３丁目２１番", "1690052"},        // the second piece is 21番 of 3丁目 too
      {"東京都新宿区戸山3-21-4", "1690052"},
      {"東京都新宿区戸山３丁目２０番", "1620052"},
      {"東京都新宿区戸山１丁目", "1620052"},              // 戸山（その他）
      {"東京都新宿区西早稲田２丁目２番", "1620051"},      // the second piece of the list
      {"東京都新宿区西早稲田１丁目", "1690051"},
      {"東京都江戸川区江戸川２丁目", "1320013"},
      {"東京都江戸川区江戸川４丁目１４番", "1320013"},  // 4丁目1～14番
      {"東京都江戸川区江戸川５丁目", "1340013"},        // 5 is a 丁目, not one of the 番 1 to 14
      {"東京都港区芝3丁目5-1", "1050014"},              // half-width digits
      {"東京都港区芝4-1-1", "1080014"},
      {"東京都千代田区一ツ橋2丁目", "1010003"},         // a piece that is one 丁目
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
      {"北海道札幌市中央区南一条５丁目", "0600200"},    // the list goes on after 番地
      {"北海道札幌市中央区南一条２", ""},
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
      {"5", "東京都", "港区", "浜（１丁目、"},
      {"6", "東京都", "港区", "２丁目、"},             // a list over three lines
      {"7", "東京都", "港区", "３丁目）"},
      {"3", "東京都", "港区", "海岸（その他）"},
      {"4", "東京都", "港区", "５丁目"},  // a plain town again once the parenthesis is closed
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都港区海岸１丁目", "1"},
      {"東京都港区海岸５丁目", "2"},
      {"東京都港区海岸４丁目", "3"},
      {"東京都港区５丁目", "4"},
      {"東京都港区浜３丁目", "7"},
      {"東京都港区浜２丁目", "6"},
      {"東京都港区３丁目", ""},  // the list's last line is no town of its own
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


TEST_F(PostRead, LinesWithoutACityOrTownMatchNothing) {
  const std::string line = cp("13101,\"100  \",\"9999999\",\"ﾄｳｷｮｳﾄ\",\"ｼ\",\"ﾁｮｳ\",\"東京都\",\"\",\"\",0,0,0,0,0,0\r\n");
  const std::string town = cp("13101,\"100  \",\"8888888\",\"ﾄｳｷｮｳﾄ\",\"ｼ\",\"ﾁｮｳ\",\"東京都\",\"港区\",\"\",0,0,0,0,0,0\r\n");
  const std::string minato = nationalList({{"1050000", "東京都", "港区", "以下に掲載がない場合"},
                                         {"1050014", "東京都", "港区", "芝（１～３丁目）"}});
  const std::pair<const char*, std::string> cases[] = {
      {"a blank first line", "\r\n" + minato},
      {"a line of bare commas", ",,,,,,,,,,,,,,\r\n" + minato},
      {"a line without city and town", line + minato},
      {"a line of the city without a town", town + minato},
  };
  for (const auto& [why, text] : cases) {
    SCOPED_TRACE(why);
    list(text);
    EXPECT_EQ(lookup("東京都港区芝２丁目"), "1050014");
    EXPECT_EQ(lookup("東京都港区海岸１丁目"), "1050000");
    EXPECT_EQ(lookup("大阪府大阪市北区梅田"), "");
  }
}

TEST_F(PostRead, ABuildingMatchesOnlyAnAddressNamingIt) {
  list(nationalList({
      {"1000000", "東京都", "千代田区", "以下に掲載がない場合"},
      {"1000004", "東京都", "千代田区", "大手町（次のビルを除く）"},
      {"1006890", "東京都", "千代田区", "大手町ＪＡビル（地階・階層不明）"},
      {"1006801", "東京都", "千代田区", "大手町ＪＡビル（１階）"},
      {"1006810", "東京都", "千代田区", "大手町ＪＡビル（１０階）"},
      {"1000005", "東京都", "千代田区", "丸の内（次のビルを除く）"},
      {"1006390", "東京都", "千代田区", "丸の内丸の内ビル（地階・階層不明）"},
      {"1006310", "東京都", "千代田区", "丸の内丸の内ビル（１０階）"},
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都千代田区大手町１－３－１", "1000004"},           // in the district, no building
      {"東京都千代田区大手町1-3-1", "1000004"},
      {"東京都千代田区大手町１丁目１０階", "1000004"},         // a floor, but no building named
      {"東京都千代田区大手町ＪＡビル１０階", "1006810"},       // as the list writes it
      {"東京都千代田区大手町１－３－１　ＪＡビル１０階", "1006810"},
      {"東京都千代田区大手町1-3-1 JAビル10F", "1006810"},
      {"東京都千代田区大手町１－３－１ＪＡビル１階", "1006801"},
      {"東京都千代田区大手町１－３－１ＪＡビル", "1006890"},   // no floor
      {"東京都千代田区大手町１－３－１ＪＡビル地下２階", "1006890"},
      {"東京都千代田区大手町１－３－１ＪＡビル５階", "1000004"},  // a floor the list does not have
      {"東京都千代田区ＪＡビル１０階", "1000000"},             // the building without its district
      {"東京都千代田区丸の内２－４－１丸の内ビル１０階", "1006310"},
      {"東京都千代田区丸の内２－４－１丸の内ビル", "1006390"},
      {"東京都千代田区丸の内２－４－１", "1000005"},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, DigitsAndHyphensReadAlikeInEitherWidth) {
  list(nationalList({
      {"1", "北海道", "札幌市中央区", "大通西（１～１９丁目）"},
      {"2", "北海道", "札幌市中央区", "南（1、2丁目）"},  // a list written half-width
      {"3", "北海道", "札幌市中央区", "北（３丁目１～２番）"},
      {"4", "北海道", "札幌市中央区", "北（その他）"},
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"北海道札幌市中央区大通西５丁目", "1"}, {"北海道札幌市中央区大通西5丁目", "1"},
      {"北海道札幌市中央区大通西１９－３", "1"}, {"北海道札幌市中央区大通西19-3", "1"},
      {"北海道札幌市中央区南２丁目", "2"},     {"北海道札幌市中央区南2-1", "2"},
      {"北海道札幌市中央区北３丁目２番", "3"}, {"北海道札幌市中央区北3ー2ー5", "3"},
      {"北海道札幌市中央区北３－３", "4"},     {"北海道札幌市中央区北２丁目２番", "4"},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, ATownFoundWhereTheTownBeginsRanksFirst) {
  list(nationalList({
      {"1910051", "東京都", "日野市", "豊田（大字）"},
      {"1910053", "東京都", "日野市", "豊田（丁目）"},
      {"1910052", "東京都", "日野市", "東豊田"},
  }));
  const std::pair<const char*, const char*> cases[] = {
      {"東京都日野市東豊田１－２－３", "1910052"},  // 豊田 occurs in it, but 東豊田 is the town
      {"東京都日野市豊田２丁目３－４", "1910053"},
      {"東京都日野市豊田1234", "1910051"},
      {"東京都日野市大字豊田１２３４", "1910051"},
  };
  for (const auto& [address, code] : cases) {
    SCOPED_TRACE(address);
    EXPECT_EQ(lookup(address), code);
  }
}

TEST_F(PostRead, ReadsAUtf8List) {
  list("\xEF\xBB\xBF" + sjis::toUtf8(nationalList({{"1050014", "東京都", "港区", "芝（１～３丁目）"}})));
  EXPECT_EQ(lookup("東京都港区芝３丁目"), "1050014");
}

// ---------------------------------------------------------------------------------------------
// The right-code rate on the addresses a dealer types, built from the real Tokyo list

/// One line of the Tokyo list as the address builder reads it: UTF-8, quotes removed.
struct ListLine {
  std::string code, prefecture, city, town;
};

std::vector<ListLine> tokyoLines() {
  std::ifstream in(kTokyo, std::ios::binary);
  std::vector<ListLine> out;
  for (std::string raw; std::getline(in, raw);) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::vector<std::string> f;
    std::stringstream fields(sjis::toUtf8(raw));
    for (std::string field; std::getline(fields, field, ',');)
      f.push_back(field.size() >= 2 && field.front() == '"' ? field.substr(1, field.size() - 2) : field);
    out.push_back({f.at(2), f.at(6), f.at(7), f.at(8)});
  }
  return out;
}

/// Full-width digits, Latin letters and "－" of a UTF-8 text as ASCII: what a dealer typing
/// half-width gets.
std::string halfWidth(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xEF && i + 2 < utf8.size()) {
      const unsigned code = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                            (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
      if ((code >= 0xFF10 && code <= 0xFF19) || (code >= 0xFF21 && code <= 0xFF3A) ||
          (code >= 0xFF41 && code <= 0xFF5A) || code == 0xFF0D) {
        out += static_cast<char>(code - 0xFF00 + 0x20);
        i += 3;
        continue;
      }
    }
    out += utf8[i++];
  }
  return out;
}

/// ASCII digits as full-width ones (UTF-8).
std::string fullWidth(long n) {
  std::string out;
  for (char d : std::to_string(n)) out += "\xEF\xBC" + std::string(1, static_cast<char>(0x90 + (d - '0')));
  return out;
}

/// An address a dealer would type and the code Japan Post gives it.
struct Typed {
  std::string kind;  ///< plain, district, building, chome
  bool half;         ///< typed with half-width digits
  std::string address;
  std::string code;
};

/// The addresses of every town of the list, built from its lines: a plain town with a house
/// number; a business district ("大手町（次のビルを除く）") with one; a building of a district on a
/// floor, or without one for "地階・階層不明"; each 丁目 of a town whose list is 丁目 numbers. Each is
/// typed with full-width digits and again with half-width ones. The towns whose lists name 番 or
/// 号 are written out by hand below.
std::vector<Typed> dealerAddresses(const std::vector<ListLine>& lines) {
  std::map<std::pair<std::string, std::string>, std::set<std::string>> codesOfTown;
  for (const auto& l : lines) codesOfTown[{l.city, l.town}].insert(l.code);
  std::vector<Typed> out;
  auto both = [&](const char* kind, const std::string& full, const std::string& code) {
    out.push_back({kind, false, full, code});
    out.push_back({kind, true, halfWidth(full), code});
  };
  const std::regex chomeItem("^([0-9]+)(?:～([0-9]+))?(丁目)?$");
  std::string district;  // the business district the building lines after it belong to
  for (const auto& l : lines) {
    const std::string place = l.prefecture + l.city;
    if (l.town == "以下に掲載がない場合" || l.town.find("一円") != std::string::npos) continue;
    const std::size_t paren = l.town.find("（");
    if (paren == std::string::npos) {
      // House numbers both as 丁目 and 番地 and as a plain number.
      if (codesOfTown[{l.city, l.town}].size() == 1)
        both("plain", place + l.town + (out.size() % 4 ? "２丁目３－４" : "１２３４－５"), l.code);
      continue;
    }
    const std::string prefix = l.town.substr(0, paren);
    const std::string list = l.town.substr(paren + std::string("（").size(), l.town.size() - paren - 6);
    if (list == "次のビルを除く") {
      district = prefix;
      both("district", place + prefix + "１－１－１", l.code);
    } else if (!district.empty() && prefix.rfind(district, 0) == 0 && list.find("階") != std::string::npos) {
      const std::string building = prefix.substr(district.size());
      const std::string floor = list == "地階・階層不明" ? "" : list;
      // With the district's house number, or as the list writes it.
      both("building", place + district + (out.size() % 4 ? "１－１－１" : "") + building + floor, l.code);
    } else {
      // A list of 丁目 numbers: "１～３丁目", "４、５丁目", "１丁目".
      std::vector<long> chome;
      bool numbers = list.size() > 6 && list.compare(list.size() - 6, 6, "丁目") == 0;
      std::string rest = halfWidth(list);
      while (numbers && !rest.empty()) {
        const std::size_t cut = rest.find("、");
        const std::string item = rest.substr(0, cut);
        rest = cut == std::string::npos ? "" : rest.substr(cut + std::string("、").size());
        std::smatch m;
        numbers = std::regex_match(item, m, chomeItem);
        if (numbers)
          for (long n = std::stol(m[1]), hi = m[2].matched ? std::stol(m[2]) : n; n <= hi; ++n) chome.push_back(n);
      }
      if (!numbers) continue;
      for (long n : chome) {
        out.push_back({"chome", false, place + prefix + fullWidth(n) + "丁目１－２", l.code});
        out.push_back({"chome", true, place + halfWidth(prefix) + std::to_string(n) + "丁目1-2", l.code});
        out.push_back({"chome", true, place + halfWidth(prefix) + std::to_string(n) + "-1-2", l.code});
      }
    }
  }
  // The towns whose lists go down to 番 and 号, their その他 lines, and 大字 beside 丁目.
  const Typed byHand[] = {
      {"chome", false, "東京都新宿区戸山３丁目１８番１号", "1690052"},
      {"chome", true, "東京都新宿区戸山3-21-1", "1690052"},
      {"chome", false, "東京都新宿区戸山３丁目１番", "1620052"},
      {"chome", true, "東京都新宿区戸山1-1-1", "1620052"},
      {"chome", false, "東京都新宿区西早稲田２丁目１番５号", "1620051"},
      {"chome", true, "東京都新宿区西早稲田2-2-3", "1620051"},
      {"chome", true, "東京都新宿区西早稲田2-1-30", "1690051"},
      {"chome", false, "東京都新宿区西早稲田２丁目３番", "1690051"},
      {"chome", false, "東京都新宿区西早稲田１丁目１－１", "1690051"},
      {"chome", false, "東京都江戸川区江戸川４丁目１０番", "1320013"},
      {"chome", true, "東京都江戸川区江戸川4-15-1", "1340013"},
      {"chome", false, "東京都江戸川区江戸川５丁目２－３", "1340013"},
      {"chome", true, "東京都江戸川区江戸川6-1-1", "1340013"},
      {"chome", false, "東京都江戸川区西瑞江３丁目１－１", "1320015"},
      {"chome", true, "東京都江戸川区西瑞江4-5-1", "1320015"},
      {"chome", false, "東京都江戸川区西瑞江４丁目１番", "1340015"},
      {"chome", true, "東京都江戸川区西瑞江4-20-1", "1340015"},
      {"chome", false, "東京都江戸川区西瑞江５丁目６－７", "1340015"},
      {"chome", false, "東京都日野市豊田２丁目３－４", "1910053"},
      {"chome", true, "東京都日野市豊田2-3-4", "1910053"},
      {"plain", false, "東京都日野市豊田１２３４", "1910051"},
      {"plain", true, "東京都日野市大字豊田1234", "1910051"},
      {"plain", false, "東京都武蔵村山市三ツ木１２３４", "2080033"},
      {"chome", true, "東京都武蔵村山市三ツ木3-1-2", "2080032"},
  };
  out.insert(out.end(), std::begin(byHand), std::end(byHand));
  return out;
}

TEST(PostReadRate, RightCodesForWhatDealersTypeInTokyo) {
  std::ifstream in(kTokyo, std::ios::binary);
  const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<Typed> typed = dealerAddresses(tokyoLines());
  struct Count {
    int right = 0, all = 0;
    double rate() const { return all ? 100.0 * right / all : 0; }
  };
  std::map<std::string, Count> byKind;
  Count overall;
  std::vector<std::string> misses;
  for (const auto& t : typed) {
    const std::string got = sjis::toUtf8(lookupPostalCode(list, cp(t.address.c_str())));
    const bool right = got == t.code;
    for (Count* c : {&byKind[t.kind], &byKind[t.kind + (t.half ? " half-width" : " full-width")], &overall}) {
      c->all++;
      c->right += right;
    }
    if (!right) misses.push_back(t.address + " -> " + got + " (Japan Post: " + t.code + ")");
  }
  std::cout << "Right codes on " << overall.all << " addresses typed by a dealer:\n";
  for (const auto& [kind, c] : byKind) {
    std::cout << "  " << kind << ": " << c.right << " of " << c.all << " (" << c.rate() << " %)\n";
    ::testing::Test::RecordProperty(kind, std::to_string(c.rate()));
  }
  std::cout << "  overall: " << overall.rate() << " %\n";
  for (std::size_t i = 0; i < misses.size() && i < 40; ++i) std::cout << "  missed: " << misses[i] << "\n";
  for (const char* kind : {"plain", "district", "building", "chome"}) {
    SCOPED_TRACE(kind);
    EXPECT_GT(byKind[kind].all, 0);
    EXPECT_GE(byKind[kind].rate(), 98.0);
  }
  EXPECT_GE(overall.rate(), 99.5);
}

}  // namespace
}  // namespace vendaro::entry

#include "book/field_lists.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

ChooserList listOf(const std::string& entries, const std::string& selected) {
  // One letter per entry; the second text marks the selected ones with 'x'.
  ChooserList list;
  for (char c : entries) list.entries.emplace_back(1, c);
  for (std::size_t i = 0; i < entries.size(); ++i) list.selected.push_back(i < selected.size() && selected[i] == 'x');
  return list;
}

std::string entriesOf(const ChooserList& list) {
  std::string out;
  for (const auto& e : list.entries) out += e;
  return out;
}

std::string selectionOf(const ChooserList& list) {
  std::string out;
  for (bool s : list.selected) out += s ? 'x' : '.';
  return out;
}

TEST(FieldListChooser, TransferMovesTheWholeBlockFromFirstToLastSelected) {
  struct Case {
    const char* name;
    const char* from;
    const char* selected;
    const char* to;
    bool moved;
    const char* fromAfter;
    const char* toAfter;
  } cases[] = {
      {"first and fourth selected move four", "abcdef", "x..x", "yz", true, "ef", "yzabcd"},
      {"one entry at the end", "abc", "..x", "", true, "ab", "c"},
      {"nothing selected", "abc", "...", "z", false, "abc", "z"},
      {"whole list", "abc", "x.x", "", true, "", "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChooserList from = listOf(c.from, c.selected), to = listOf(c.to, "");
    EXPECT_EQ(transferBlock(from, to), c.moved);
    EXPECT_EQ(entriesOf(from), c.fromAfter);
    EXPECT_EQ(entriesOf(to), c.toAfter);
    EXPECT_EQ(from.selected.size(), from.entries.size());
    EXPECT_EQ(to.selected.size(), to.entries.size());
  }
}

TEST(FieldListChooser, UpAndDownMoveTheBlockAndLeaveOneEntrySelected) {
  struct Case {
    const char* name;
    bool up;
    const char* selected;
    bool moved;
    const char* after;
    const char* selectedAfter;
  } cases[] = {
      {"block of two up", true, "..xx.", true, "acdbe", ".x..."},
      {"gap inside the block moves too", true, ".x.x.", true, "bcdae", "x...."},
      {"block at the top stays", true, "xx...", false, "abcde", "xx..."},
      {"nothing selected up", true, ".....", false, "abcde", "....."},
      {"block of two down", false, ".xx..", true, "adbce", "...x."},
      {"block at the bottom stays", false, "...xx", false, "abcde", "...xx"},
      {"nothing selected down", false, ".....", false, "abcde", "....."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChooserList list = listOf("abcde", c.selected);
    EXPECT_EQ(c.up ? moveBlockUp(list) : moveBlockDown(list), c.moved);
    EXPECT_EQ(entriesOf(list), c.after);
    EXPECT_EQ(selectionOf(list), c.selectedAfter);
  }
}

TEST(FieldListChooser, TwoListFileReadsUpToEmptyLinesAndWritesBothLists) {
  test::TempDir dir;
  const std::string path = dir.file("EsCopy.INI");
  struct Case {
    const char* name;
    const char* content;
    std::vector<std::string> first, second;
  } cases[] = {
      {"both lists", "a\r\nb\r\n\r\nc\r\n\r\n", {"a", "b"}, {"c"}},
      {"first list to the end without an empty line", "a\r\nb\r\n", {"a", "b"}, {}},
      {"second list without its empty line", "a\r\n\r\nc\r\nd", {"a"}, {"c", "d"}},
      {"lines after the second empty line are not read", "\r\nc\r\n\r\nz\r\n", {}, {"c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(path, std::ios::binary) << c.content;
    auto lists = readTwoListFile(path);
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->first, c.first);
    EXPECT_EQ(lists->second, c.second);
  }
  EXPECT_FALSE(readTwoListFile(dir.file("missing.INI")));

  TwoLists written;
  for (int i = 0; i < 120; ++i) written.first.push_back(chooserFieldNames()[static_cast<std::size_t>(i)]);
  written.second = {chooserFieldNames()[120], chooserFieldNames()[121]};
  writeTwoListFile(path, written);
  std::ifstream in(path, std::ios::binary);
  std::string content(std::istreambuf_iterator<char>(in), {});
  std::string expected;
  for (const auto& e : written.first) expected += e + "\r\n";
  expected += "\r\n" + written.second[0] + "\r\n" + written.second[1] + "\r\n\r\n";
  EXPECT_EQ(content, expected);
  auto back = readTwoListFile(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->first, written.first);
  EXPECT_EQ(back->second, written.second);
}

TEST(FieldListChooser, OffersTheFieldsFromCreationDateToRemarks) {
  const auto& names = chooserFieldNames();
  ASSERT_EQ(names.size(), 122u);
  EXPECT_EQ(names.front(), sjis::lit("作成日"));
  EXPECT_EQ(names[3], sjis::lit("氏名"));
  EXPECT_EQ(names.back(), sjis::lit("備考"));
  EXPECT_EQ(std::find(names.begin(), names.end(), sjis::lit("項番")), names.end());
}

}  // namespace
}  // namespace vendaro::book

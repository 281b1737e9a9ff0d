#include "book/display_pattern.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

using sjis::lit;

TEST(DisplayPattern, EntriesAreTheNumberInThreeCharactersACommaAndTheName) {
  const auto& entries = displayEntries();
  ASSERT_EQ(entries.size(), 122u);
  EXPECT_EQ(entries[0], lit("  1,作成日"));
  EXPECT_EQ(entries[9], lit(" 10,型式"));
  EXPECT_EQ(entries[121], lit("122,備考"));
}

TEST(DisplayPattern, ShownFlagsComeFromTheLeadingNumbersInRange) {
  std::vector<bool> shown =
      shownFields({lit("  4,氏名"), lit("  7,住所"), lit("999,ほげ"), lit("  0,項番"), lit(" -3,x"), lit("abc"), lit("123,x")});
  ASSERT_EQ(shown.size(), 123u);
  for (std::size_t n = 0; n < shown.size(); ++n) EXPECT_EQ(shown[n], n == 4 || n == 7) << n;
}

TEST(DisplayPattern, ColumnsArePlacedFromThePairsInFileOrder) {
  std::vector<bool> shown(123, false);
  shown[4] = shown[7] = shown[9] = true;  // 氏名, 住所, 排気量
  struct Case {
    const char* name;
    std::vector<ColumnPair> pairs;
    std::vector<int> leading;  // the first columns after placing
    std::vector<std::pair<int, int>> widths;
  } cases[] = {
      {"two pairs", {{8, 30}, {5, 12}}, {0, 7, 4}, {{7, 30}, {4, 12}}},
      {"a pair of a hidden field is skipped", {{3, 20}, {8, 30}, {10, 8}, {5, 12}}, {0, 7, 9, 4}, {{7, 30}, {9, 8}, {4, 12}}},
      {"a repeated pair is ignored", {{8, 30}, {8, 40}, {5, 12}, {8, 5}}, {0, 7, 4}, {{7, 30}, {4, 12}}},
      {"out-of-range places are ignored",
       {{0, 5}, {1, 5}, {-7, 5}, {124, 5}, {242, 5}, {99999, 5}, {INT_MIN, 5}, {INT_MAX, 5}, {8, 30}, {5, 12}}, {0, 7, 4}, {{7, 30}, {4, 12}}},
      {"unusable widths keep the column's own", {{8, 0}, {5, -3}, {10, 100000}}, {0, 7, 4, 9}, {}},
      {"a place without its width", {{5, 12}, {8, std::nullopt}}, {0, 4, 7}, {{4, 12}}},
      {"no pairs", {}, {0, 1, 2, 3}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ColumnLayout layout = placeColumns(shown, c.pairs);
    std::vector<int> sorted = layout.order;
    std::sort(sorted.begin(), sorted.end());
    for (int f = 0; f < 123; ++f) ASSERT_EQ(sorted[static_cast<std::size_t>(f)], f);  // every column once
    EXPECT_EQ(std::vector<int>(layout.order.begin(), layout.order.begin() + static_cast<std::ptrdiff_t>(c.leading.size())),
              c.leading);
    EXPECT_EQ(layout.widths, c.widths);
  }
}

TEST(DisplayPattern, EveryShownFieldCanBePlacedUpToTheLastColumn) {
  std::vector<bool> shown(123, true);
  shown[0] = false;
  std::vector<ColumnPair> pairs;
  for (int place = 123; place >= 2; --place) pairs.push_back({place, 5});
  pairs.push_back({50, 9});  // after the last position: nothing more happens
  ColumnLayout layout = placeColumns(shown, pairs);
  ASSERT_EQ(layout.order.size(), 123u);
  EXPECT_EQ(layout.order[0], 0);
  for (int p = 1; p <= 122; ++p) EXPECT_EQ(layout.order[static_cast<std::size_t>(p)], 123 - p);
  EXPECT_EQ(layout.widths.size(), 122u);
}

TEST(DisplayPattern, ColumnPairsAreReadTwoLinesAtATime) {
  test::TempDir dir;
  EXPECT_FALSE(readColumnPairs(dir.file("EstimateLen.INI")).has_value());
  std::ofstream(dir.file("EstimateLen.INI"), std::ios::binary) << "8\r\n30\r\n 5\r\n12x\r\n9\r\n";
  auto pairs = readColumnPairs(dir.file("EstimateLen.INI"));
  ASSERT_TRUE(pairs.has_value());
  ASSERT_EQ(pairs->size(), 3u);
  EXPECT_EQ((*pairs)[0].place, 8);
  EXPECT_EQ((*pairs)[0].width, 30);
  EXPECT_EQ((*pairs)[1].place, 5);
  EXPECT_EQ((*pairs)[1].width, 12);
  EXPECT_EQ((*pairs)[2].place, 9);
  EXPECT_FALSE((*pairs)[2].width.has_value());
}

}  // namespace
}  // namespace vendaro::book

#include "prefs/title_colors.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::prefs {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TitleColors, NamesAreLookedUpExactlyBlanksIncluded) {
  struct Case {
    const char* name;
    std::optional<TitleColor> color;
  } cases[] = {
      {"　空　色", TitleColor{false, 0, 0x00FFFF}},
      {"　黒　色", TitleColor{false, 0, 0x000000}},
      {"　灰色（暗）", TitleColor{false, 0, 0x808080}},
      {"　赤　色", TitleColor{false, 0, 0xFF0000}},
      {"　暗青緑色", TitleColor{false, 0, 0x008080}},
      {"　黄　色", TitleColor{false, 0, 0xFFFF00}},
      {"　Windows デスクトップの背景色", TitleColor{true, 1, 0}},
      {"アクティブでないウィンドウのタイトルバーの色", TitleColor{true, 3, 0}},
      {"アクティブウィンドウのタイトルバーの文字の色", TitleColor{true, 9, 0}},
      {"アクティブでないウィンドウのタイトルバーの文字の色", TitleColor{true, 19, 0}},
      {"　3次元表示要素の明るい色（明るい面の縁用）", TitleColor{true, 22, 0}},
      {"　ツールチップコントロールの背景色", TitleColor{true, 24, 0}},
      // Any other spelling is no colour: missing, extra or half-width blanks, no blank inside.
      {"赤色", std::nullopt},
      {"　赤色", std::nullopt},
      {"赤　色", std::nullopt},
      {"　　赤　色", std::nullopt},
      {" 赤 色", std::nullopt},
      {"　アクティブでないウィンドウのタイトルバーの色", std::nullopt},
      {"　赤　色 ", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(lookupTitleColor(sjis::lit(c.name)), c.color);
  }
}

TEST(TitleColors, TheListHas42NamesInOrderEachWithItsOwnEntry) {
  const auto& names = titleColorNames();
  ASSERT_EQ(names.size(), 42u);
  EXPECT_EQ(names.front(), sjis::lit("　空　色"));
  EXPECT_EQ(names[20], defaultTitleColorName());
  EXPECT_EQ(names.back(), sjis::lit("　ツールチップコントロールの背景色"));
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  // Names 19 to 42 are the 24 system colours in their order.
  for (int i = 18; i < 42; ++i) {
    SCOPED_TRACE(i + 1);
    auto color = lookupTitleColor(names[static_cast<std::size_t>(i)]);
    ASSERT_TRUE(color);
    EXPECT_TRUE(color->system);
    EXPECT_EQ(color->systemIndex, i - 17);
  }
}

TEST(TitleColors, FileHoldsTheNameAsWrittenAndIsOptional) {
  test::TempDir dir;
  EXPECT_EQ(loadTitleColorName(dir.path()), defaultTitleColorName());
  saveTitleColorName(dir.path(), sjis::lit("　赤　色"));
  EXPECT_EQ(slurp(dir.file("EsTitleColor.INI")), sjis::lit("　赤　色") + "\r\n");
  EXPECT_EQ(loadTitleColorName(dir.path()), sjis::lit("　赤　色"));
  std::ofstream(dir.file("EsTitleColor.INI"), std::ios::binary) << "";
  EXPECT_EQ(loadTitleColorName(dir.path()), "");  // an empty file is no colour, not the default
}

TEST(TitleColors, SeventyThreePanelsThirtyOfThemCaptions) {
  const auto& names = titlePanelNames();
  ASSERT_EQ(names.size(), 73u);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 73u);
  struct Case {
    const char* name;
    bool listed;
    bool stripCharacter;
  } cases[] = {
      {"Panel1Title1", true, false},   {"Panel1Title2", true, false},   {"Panel1Title3", false, false},
      {"Panel4Title1", true, false},   {"Panel7Title5", true, false},   {"Panel8Title1", true, false},
      {"Panel8Title2", true, true},    {"Panel8Title5", true, true},    {"Panel8Title6", false, false},
      {"Panel9Title3", true, true},    {"Panel14Title10", true, true},  {"Panel15Title9", true, true},
      {"Panel16Title1", true, false},  {"Panel16Title8", true, true},   {"Panel16Title9", false, false},
      {"Panel17Title1", false, false}, {"Panel14Title1", true, false},  {"Panel8Title2x", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(std::find(names.begin(), names.end(), c.name) != names.end(), c.listed);
    EXPECT_EQ(isStripCharacterPanel(c.name), c.stripCharacter);
  }
  int cells = 0;
  for (const auto& n : names) cells += isStripCharacterPanel(n);
  EXPECT_EQ(cells, 43);
}

}  // namespace
}  // namespace vendaro::prefs

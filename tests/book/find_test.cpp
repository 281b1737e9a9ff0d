#include "book/find.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    estimates = openEstimateTable(dir.path());
    const std::pair<const char*, const char*> rows[] = {
        {"平成１５年０３月２０日", "山田太郎"}, {"平成１５年０３月０５日", "佐藤"},
        {"平成１５年０２月１０日", "小山"},     {"平成１５年０１月１０日", "鈴木"},
    };
    for (const auto& [date, name] : rows) {
      estimates->append();
      estimates->setText(cp("作成日"), cp(date));
      estimates->setText(cp("氏名"), cp(name));
      estimates->post();
    }
    estimates->setIndex(descendingIndexName());
    estimates->first();
  }
  std::string name() { return sjis::toUtf8(estimates->text(kNameField)); }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> estimates;
};

TEST_F(FindTest, FindsContainedBytesForwardUntilTheEndOfTheView) {
  const std::string field = cp("氏名"), text = cp("山");
  ASSERT_TRUE(findInView(*estimates, field, text, 1, true));
  EXPECT_EQ(name(), "山田太郎");
  ASSERT_TRUE(findInView(*estimates, field, text, estimates->recNo() + 1, true));
  EXPECT_EQ(name(), "小山");
  EXPECT_FALSE(findInView(*estimates, field, text, estimates->recNo() + 1, true));
  EXPECT_EQ(estimates->recNo(), 4);  // the last estimate of the view stays current
  EXPECT_EQ(sjis::toUtf8(notFoundMessage(field, text)), "氏名 の 山は、見つかりませんでした。");
}

TEST_F(FindTest, FindPreviousAtTheFirstEstimateFindsNothing) {
  EXPECT_FALSE(findInView(*estimates, cp("氏名"), cp("山"), 0, false));
  EXPECT_EQ(estimates->recNo(), 1);
  estimates->setRecNo(4);
  ASSERT_TRUE(findInView(*estimates, cp("氏名"), cp("山"), 3, false));
  EXPECT_EQ(name(), "小山");
}

TEST_F(FindTest, AMonthLabelFindsTheMonthAndOnlyTheViewIsSearched) {
  ASSERT_TRUE(findInView(*estimates, cp("作成日"), cp("平成１５年０２月"), 1, true));
  EXPECT_EQ(name(), "小山");
  estimates->setFilter(cp("(作成日 = '平成１５年０３月*')"));
  estimates->setFiltered(true);
  EXPECT_FALSE(findInView(*estimates, cp("氏名"), cp("鈴木"), 1, true));
  EXPECT_TRUE(findInView(*estimates, cp("項番"), "0305", 1, true));  // integer fields read as text
  EXPECT_EQ(name(), "佐藤");
}

TEST_F(FindTest, MatchesOnlyWholeCharacters) {
  // 山 is 0x8E 0x52 and ０ is 0x82 0x4F: their second bytes are 'R' and 'O'.
  for (const char* name : {"中山", "山R商会"}) {
    estimates->append();
    estimates->setText(cp("作成日"), cp("平成１５年０４月０１日"));
    estimates->setText(cp("氏名"), cp(name));
    estimates->post();
  }
  estimates->setIndex(descendingIndexName());
  struct Case {
    const char* field;
    const char* text;
    std::vector<std::string> found;  // names, in view order
  } cases[] = {
      {"氏名", "R", {"山R商会"}},
      {"氏名", "山", {"中山", "山R商会", "山田太郎", "小山"}},
      {"作成日", "O", {}},
      {"作成日", "０４", {"中山", "山R商会"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> found;
    for (int from = 1; findInView(*estimates, cp(c.field), cp(c.text), from, true); from = estimates->recNo() + 1)
      found.push_back(name());
    std::sort(found.begin(), found.end());
    auto expected = c.found;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
  }
}

TEST_F(FindTest, AFieldTheTableLacksGivesTheEngineMessage) {
  try {
    findInView(*estimates, cp("住所録"), cp("x"), 1, true);
    FAIL();
  } catch (const table::TableError& e) {
    EXPECT_EQ(sjis::toUtf8(e.what()), "項目 '住所録' が見つかりません");
  }
}

TEST(FindFields, EsFindIniReplacesTheDefaultListUnlessItIsEmpty) {
  test::TempDir dir;
  EXPECT_EQ(loadFindFields(dir.path()), defaultFindFields());
  EXPECT_EQ(defaultFindFields().size(), 17u);
  { std::ofstream(dir.file("EsFind.INI"), std::ios::binary) << ""; }
  EXPECT_EQ(loadFindFields(dir.path()), defaultFindFields());
  { std::ofstream(dir.file("EsFind.INI"), std::ios::binary) << cp("氏名\r\n備考\r\n"); }
  EXPECT_EQ(loadFindFields(dir.path()), (std::vector<std::string>{cp("氏名"), cp("備考")}));
}

}  // namespace
}  // namespace vendaro::book

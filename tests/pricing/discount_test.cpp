#include "pricing/discount.h"

#include <climits>
#include <gtest/gtest.h>

#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::pricing {
namespace {

std::string f(const char* utf8) { return sjis::lit(utf8); }

TEST(DiscountChoices, AreTheLastOneToFourCharactersOfTheQuotedAmount) {
  struct Case {
    const char* quoted;
    std::vector<const char*> choices;
  } cases[] = {
      {"1234567", {"7円", "67円", "567円", "4567円"}},
      {"50", {"0円", "50円", "50円", "50円"}},
      {"-1234", {"4円", "34円", "234円", "1234円"}},
      {"-12", {"2円", "12円", "-12円", "-12円"}},
      {"", {"円", "円", "円", "円"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quoted);
    std::vector<std::string> expected;
    for (const char* choice : c.choices) expected.push_back(f(choice));
    EXPECT_EQ(discountChoices(c.quoted), expected);
  }
}

TEST(DiscountReduction, ATypedAmountTakesPrecedenceOverAChoice) {
  struct Case {
    const char* typed;
    std::optional<const char*> choice;
    int64_t reduction;
  } cases[] = {
      {"1200000", "567円", 34567},     {" 1200000円", std::nullopt, 34567}, {"", "567円", 567},
      {"0", "4567円", 4567},           {"abc", "67円", 67},                 {"", std::nullopt, 0},
      {"0", std::nullopt, 0},          {"1300000", std::nullopt, -65433},  {"", "円", 0},
      {"-2147483648", std::nullopt, 1234567LL + 2147483648LL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::optional<std::string> choice;
    if (c.choice) choice = f(*c.choice);
    EXPECT_EQ(discountReduction(c.typed, choice, 1234567), c.reduction);
  }
}

/// An estimate whose quoted amount is made of a vehicle body price and costs, recalculated.
class DiscountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor = book::openEstimateTable(dir.path());
    cursor->append();
    cursor->post();
  }
  void quote(int32_t body, int32_t costs, const char* caption = "") {
    cursor->edit();
    cursor->setInteger(f("車両価格1"), body);
    cursor->setInteger(f("車両価格2"), 0);
    cursor->setInteger(f("諸費用合計"), costs);
    cursor->setText(f("車両項目2"), f(caption));
    AmountSheet sheet(*cursor);
    vehicleBody(sheet, 5);
    sheet.commit(*cursor);
    cursor->post();
  }
  int32_t at(const char* field) const { return cursor->integer(f(field)); }
  std::vector<std::string> snapshot() const {
    std::vector<std::string> out;
    for (int i = 0; i < cursor->schema().fieldCount(); ++i) out.push_back(cursor->text(i));
    return out;
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> cursor;
};

TEST_F(DiscountTest, TheWorkedExamplesAtFivePercent) {
  struct Case {
    const char* name;
    int32_t body, costs, quoted;
    int64_t reduction;
    int32_t firstFall;  // D × 100 ÷ 105
    int32_t adjustment, quotedAfter;
  } cases[] = {
      {"choice 567円", 1000000, 184567, 1234567, 567, 540, -540, 1234000},
      {"choice 568円, one yen more", 1000001, 184567, 1234568, 568, 540, -541, 1234000},
      {"typed 1200000", 1000000, 184567, 1234567, 34567, 32920, -32921, 1199999},
      {"typed above the quote, one yen back", 100000, 0, 105000, -5000, -4761, 4762, 110000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quote(c.body, c.costs);
    ASSERT_EQ(at("見積金額"), c.quoted);
    applyDiscount(*cursor, c.reduction, 5);
    EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
    EXPECT_EQ(c.reduction * 100 / 105, c.firstFall);
    EXPECT_EQ(at("車両価格2"), c.adjustment);
    EXPECT_EQ(at("車両価格3"), c.body + c.adjustment);
    EXPECT_EQ(at("車両消費税3"), (c.body + c.adjustment) * 5 / 100);
    EXPECT_EQ(at("見積金額"), c.quotedAfter);
    EXPECT_EQ(cursor->text(f("車両項目2")), f("値引き"));
    cursor->post();
  }
}

TEST_F(DiscountTest, AnExistingCaptionIsKept) {
  quote(1000000, 184567, "特別値引");
  applyDiscount(*cursor, 567, 5);
  EXPECT_EQ(cursor->text(f("車両項目2")), f("特別値引"));
}

TEST_F(DiscountTest, NoReductionChangesNothing) {
  quote(1000000, 184567);
  const auto before = snapshot();
  applyDiscount(*cursor, 0, 5);
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(DiscountTest, ReductionsThatCannotBeComputedChangeNothing) {
  struct Case {
    const char* name;
    int32_t body;
    int64_t reduction;
    int32_t rate;
    bool refused;  // a message; else a figure too large
  } cases[] = {
      {"D × 100 above the range", 1000000, 21474837, 5, true},
      {"D × 100 below the range", 1000000, -21474837, 5, true},
      {"rate of minus 100", 1000000, 567, -100, true},
      {"adjustment line leaves the range", 1000000, -21474836, 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quote(c.body, 0);
    cursor->edit();
    cursor->setInteger(f("車両価格2"), c.refused ? 0 : INT32_MAX - 5);
    cursor->post();
    const auto before = snapshot();
    if (c.refused)
      EXPECT_THROW(applyDiscount(*cursor, c.reduction, c.rate), DiscountRefused);
    else
      EXPECT_THROW(applyDiscount(*cursor, c.reduction, c.rate), AmountTooLarge);
    EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
    EXPECT_EQ(snapshot(), before);
  }
  // The largest product that fits is taken.
  quote(1000000, 0);
  EXPECT_NO_THROW(applyDiscount(*cursor, 21474836, 5));
  EXPECT_NEAR(at("車両価格2"), -(2147483600 / 105), 1);  // within the one-yen correction
}

}  // namespace
}  // namespace vendaro::pricing

#include "pricing/discount.h"

#include <climits>
#include <random>
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

TEST(DiscountTarget, ATypedAmountTakesPrecedenceOverAChoice) {
  struct Case {
    const char* typed;
    std::optional<const char*> choice;
    std::optional<int64_t> target;  // nothing: no change asked for
  } cases[] = {
      {"1200000", "567円", 1200000},       {" 1200000円", std::nullopt, 1200000}, {"1,200,000", std::nullopt, 1200000},
      {"１２０００００", std::nullopt, 1200000}, {"￥1,200,000", "67円", 1200000},  {"", "567円", 1234000},
      {"  ", "567円", 1234000},            {"0", "4567円", 1230000},              {"", std::nullopt, std::nullopt},
      {"0", std::nullopt, std::nullopt},   {"1300000", std::nullopt, 1300000},    {"", "円", std::nullopt},
      {"-5", std::nullopt, -5},  // refused when applied
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::optional<std::string> choice;
    if (c.choice) choice = f(*c.choice);
    EXPECT_EQ(discountTarget(f(c.typed), choice, 1234567, f("請求額の指定")), c.target);
  }
  // Text that is no amount is not taken as nothing typed: the choice is not made behind its back.
  for (const char* typed : {"abc", "1,20,000", "12x"}) {
    SCOPED_TRACE(typed);
    try {
      discountTarget(typed, f("67円"), 1234567, f("請求額の指定"));
      ADD_FAILURE() << "taken";
    } catch (const DiscountRefused& e) {
      EXPECT_EQ(e.what(), "'" + std::string(typed) + f("' は「請求額の指定」に指定できる金額ではありません"));
    }
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
  void quote(int32_t body, int32_t costs, const char* caption = "", int32_t rate = 5) {
    cursor->edit();
    cursor->setInteger(f("車両価格1"), body);
    cursor->setInteger(f("車両価格2"), 0);
    cursor->setInteger(f("諸費用合計"), costs);
    cursor->setText(f("車両項目2"), f(caption));
    AmountSheet sheet(*cursor);
    vehicleBody(sheet, rate);
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

TEST_F(DiscountTest, TheWorkedExamples) {
  struct Case {
    const char* name;
    int32_t rate, body, costs, quoted;
    int64_t target;
    int32_t adjustment, quotedAfter;
  } cases[] = {
      {"choice 567円", 5, 1000000, 184567, 1234567, 1234000, -540, 1234000},
      {"choice 568円, one yen more", 5, 1000001, 184567, 1234568, 1234000, -541, 1234000},
      // 1,200,001 is reached exactly; a correction by the last digit alone would end on 1,199,999.
      {"typed 1200001", 5, 1000000, 184567, 1234567, 1200001, -32920, 1200001},
      // The body share is 1,015,433: 967,079 gives 1,015,432 with its tax and 967,080 gives
      // 1,015,434, so no whole yen gives 1,200,000 and the nearest quote below it is taken.
      {"typed 1200000, not reachable", 5, 1000000, 184567, 1234567, 1200000, -32921, 1199999},
      {"typed above the quote", 5, 100000, 0, 105000, 110000, 4762, 110000},
      // At 8 % cutting 2120円 by the reduction less its tax and a one-yen step ends on 1,780,002.
      {"choice 2120円 at 8 %", 8, 1650112, 0, 1782120, 1780000, -1963, 1780000},
      {"rate 0", 0, 100000, 5, 100005, 90000, -10005, 90000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quote(c.body, c.costs, "", c.rate);
    ASSERT_EQ(at("見積金額"), c.quoted);
    const DiscountOutcome outcome = applyDiscount(*cursor, c.target, c.rate);
    EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
    EXPECT_EQ(at("車両価格2"), c.adjustment);
    EXPECT_EQ(at("車両価格3"), c.body + c.adjustment);
    EXPECT_EQ(at("車両消費税3"), static_cast<int64_t>(c.body + c.adjustment) * c.rate / 100);
    EXPECT_EQ(at("見積金額"), c.quotedAfter);
    EXPECT_EQ(outcome.reached, c.quotedAfter);
    EXPECT_EQ(outcome.exact(), c.quotedAfter == c.target);
    EXPECT_EQ(cursor->text(f("車両項目2")), f("値引き"));
    cursor->post();
  }
  EXPECT_EQ(sjis::toUtf8(inexactDiscountHint({1200000, 1199999})),
            " 消費税の端数のため、ちょうど 1200000 円にはできません。1199999 円にしました。");
}

/// Many random estimates, rates and quotes asked for: the adjustment ends on the quote asked for
/// whenever a whole-yen 車両価格2 gives it, else on the nearest quote below it, with every figure
/// of the estimate as a recalculation at the rate gives it.
TEST_F(DiscountTest, EndsOnTheQuoteAskedForWheneverAWholeYenGivesIt) {
  std::mt19937 random(20261211);
  auto between = [&random](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };
  const int32_t rates[] = {0, 3, 5, 8, 10, 13, 25};
  cursor->edit();
  int exact = 0, inexact = 0;
  for (int round = 0; round < 3000; ++round) {
    const int32_t rate = rates[between(0, 6)];
    const std::pair<const char*, int32_t> figures[] = {
        {"車両価格1", between(300000, 9000000)}, {"車両価格2", between(-200000, 0)},
        {"車両価格4", between(0, 400000)},       {"車両価格5", between(0, 200000)},
        {"車両価格6", between(-50000, 50000)},   {"販売費用1", between(0, 60000)},
        {"販売費用4", between(0, 30000)},        {"販売費用9", between(0, 20000)},
        {"税金1", between(0, 50000)},            {"保険1", between(0, 30000)},
        {"頭金1", between(0, 300000)},
    };
    for (const auto& [field, value] : figures) cursor->setInteger(f(field), value);
    AmountSheet start(*cursor);
    costs(start, rate);
    downPayment(start, rate);
    vehicleBody(start, rate);
    start.commit(*cursor);
    const int32_t quoted = at("見積金額");
    // Half the quotes asked for come from the choices of trailing digits, half are typed.
    int64_t target;
    if (round % 2 == 0) {
      const auto choices = discountChoices(std::to_string(quoted));
      target = quoted - sjis::leadingInt(choices[static_cast<std::size_t>(between(0, 3))]);
    } else {
      target = between(quoted / 2, quoted + 100000);
    }
    if (target <= 0 || target == quoted) continue;
    SCOPED_TRACE(testing::Message() << "round " << round << ", rate " << rate << ", quote " << quoted << ", target "
                                    << target);

    const DiscountOutcome outcome = applyDiscount(*cursor, target, rate);
    ASSERT_EQ(outcome.reached, at("見積金額"));
    ASSERT_LE(outcome.reached, target);
    // Every figure is what a recalculation at the rate gives.
    AmountSheet again(*cursor);
    vehicleBody(again, rate);
    for (const char* field : {"車両価格3", "車両消費税3", "車両消費税4", "車両消費税5", "車両消費税6", "車両合計",
                              "車両消費税", "小計消費税", "諸費用消費税", "販売合計", "見積金額"})
      ASSERT_EQ(again.get(f(field)), at(field)) << field;
    // One yen more on the adjustment line already passes the target, so no whole yen gives a
    // quote between the one reached and the one asked for.
    AmountSheet oneMore(*cursor);
    oneMore.set(f("車両価格2"), at("車両価格2") + 1);
    vehicleBody(oneMore, rate);
    ASSERT_GT(oneMore.get(f("見積金額")), target);
    ++(outcome.exact() ? exact : inexact);
  }
  // The truncated tax skips about rate ÷ (100 + rate) of the yen, so most quotes are reached.
  EXPECT_GT(exact, 10 * inexact);
  EXPECT_GT(inexact, 0);
}

TEST_F(DiscountTest, AnExistingCaptionIsKept) {
  quote(1000000, 184567, "特別値引");
  applyDiscount(*cursor, 1234000, 5);
  EXPECT_EQ(cursor->text(f("車両項目2")), f("特別値引"));
}

TEST_F(DiscountTest, AskingForTheQuoteItHasChangesNothing) {
  quote(1000000, 184567);
  const auto before = snapshot();
  EXPECT_TRUE(applyDiscount(*cursor, 1234567, 5).exact());
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(DiscountTest, DiscountsThatCannotBeMadeChangeNothing) {
  struct Case {
    const char* name;
    int32_t body;
    int64_t target;
    int32_t rate;
    bool refused;  // a message; else a figure too large
  } cases[] = {
      {"a quote of 0", 1000000, 0, 5, true},
      {"a quote below 0", 1000000, -1234, 5, true},
      {"rate of minus 100", 1000000, 1000000, -100, true},
      {"rate below minus 100", 1000000, 1000000, -250, true},
      {"adjustment line leaves the range", -1000000000, 2000000000, 5, false},
      {"quote beyond reach", 1000000, 3000000000LL, 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quote(c.body, 0);
    const auto before = snapshot();
    if (c.refused)
      EXPECT_THROW(applyDiscount(*cursor, c.target, c.rate), DiscountRefused);
    else
      EXPECT_THROW(applyDiscount(*cursor, c.target, c.rate), AmountTooLarge);
    EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
    EXPECT_EQ(snapshot(), before);
  }
  // A large reduction is computed in full as long as the figures fit.
  quote(30000000, 0);
  EXPECT_TRUE(applyDiscount(*cursor, 5000000, 10).exact());
  EXPECT_EQ(at("車両価格2"), 4545455 - 30000000);
}

}  // namespace
}  // namespace vendaro::pricing

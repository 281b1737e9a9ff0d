#include "pricing/amounts.h"

#include <climits>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::pricing {
namespace {

std::string f(const char* utf8) { return sjis::lit(utf8); }

/// One stored estimate and the recalculations on it at a rate the test can change.
class AmountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor = book::openEstimateTable(dir.path());
    cursor->append();
    cursor->setText(f("作成日"), f("平成１５年０３月２０日"));
    cursor->post();
  }

  /// Stores figures in the record as the bound boxes would and saves them.
  void store(std::initializer_list<std::pair<const char*, int32_t>> figures) {
    cursor->edit();
    for (const auto& [field, value] : figures) cursor->setInteger(f(field), value);
    cursor->post();
  }
  int32_t at(const char* field) const { return cursor->integer(f(field)); }
  /// Every field of the record as text, to check that nothing was written.
  std::vector<std::string> snapshot() const {
    std::vector<std::string> out;
    for (int i = 0; i < cursor->schema().fieldCount(); ++i) out.push_back(cursor->text(i));
    return out;
  }
  Amounts amounts() {
    return Amounts(*cursor, [this] { return rate; });
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> cursor;
  int32_t rate = 5;
};

TEST_F(AmountsTest, VehicleBodyWithAnAdjustmentLineFeedsEveryTotal) {
  store({{"車両価格1", 1000000}, {"車両価格2", -50000}, {"車両価格4", 100000}, {"車両消費税4", 5000},
         {"小計", 20000}, {"諸費用合計", 80000}, {"諸費用消費税", 1000}, {"頭金合計", 300000}});
  amounts().DBEdit1Exit();
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(at("車両価格3"), 950000);
  EXPECT_EQ(at("車両消費税3"), 47500);
  EXPECT_EQ(at("車両合計"), 950000 + 100000);
  EXPECT_EQ(at("車両消費税"), 47500 + 5000);
  EXPECT_EQ(at("販売合計"), 1050000 + 52500 + 80000 + 1000);
  EXPECT_EQ(at("見積金額"), 1183500 - 300000);
}

TEST_F(AmountsTest, EachVehicleLineTaxIsTruncatedTowardZero) {
  struct Case {
    int32_t amount;
    int32_t rate;
    int32_t tax;
  } cases[] = {{-1999, 5, -99}, {1999, 5, 99}, {19, 5, 0}, {-19, 5, 0}, {1999, 8, 159}, {-1999, 8, -159},
               {2000000000, 5, 100000000}, {-2000000000, 5, -100000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.amount << " at " << c.rate);
    store({{"車両価格6", c.amount}, {"車両価格3", 0}, {"車両価格4", 0}, {"車両価格5", 0}});
    rate = c.rate;
    amounts().DBEdit9Exit();
    EXPECT_EQ(at("車両消費税6"), c.tax);
    EXPECT_EQ(at("車両合計"), c.amount);
    cursor->cancel();
  }
}

TEST_F(AmountsTest, VehicleTaxIsTheSumOfFourTruncatedLineTaxes) {
  store({{"車両価格3", 19}, {"車両価格4", 19}, {"車両価格5", 19}, {"車両価格6", 19},
         {"車両消費税3", 0}, {"車両消費税4", 0}, {"車両消費税5", 0}});
  auto a = amounts();
  for (int line = 3; line <= 6; ++line) a.CarCalc(line);
  EXPECT_EQ(at("車両合計"), 76);
  EXPECT_EQ(at("車両消費税"), 0);  // not 76 × 5 % = 3
}

TEST_F(AmountsTest, CostsAreTaxedOnceOnTheSubTotal) {
  store({{"販売費用1", 10010}, {"販売費用2", 10010}, {"車両価格3", 1000000}});
  amounts().DBEdit17Exit();
  EXPECT_EQ(at("小計"), 20020);
  EXPECT_EQ(at("小計消費税"), 1001);  // not 500 + 500
  EXPECT_EQ(at("諸費用消費税"), 1001);
  EXPECT_EQ(at("諸費用合計"), 20020);
  EXPECT_EQ(at("販売合計"), 1050000 + 20020 + 1001);
  EXPECT_EQ(at("見積金額"), 1071021);
}

TEST_F(AmountsTest, FeesTaxesAndInsuranceAreNeverTaxed) {
  store({{"販売費用1", 10010}, {"販売費用2", 10010}});
  amounts().DBEdit17Exit();
  cursor->post();
  const int32_t before = at("諸費用合計");
  const int32_t taxBefore = at("小計消費税");
  struct Case {
    const char* field;
    int32_t amount;
  } cases[] = {{"販売費用9", 30000}, {"販売費用13", 1}, {"税金1", 39500}, {"税金5", 7}, {"保険1", 22470}, {"保険3", 3}};
  int64_t added = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    store({{c.field, c.amount}});
    added += c.amount;
    amounts().DBEdit17Exit();
    EXPECT_EQ(at("諸費用合計"), before + added);
    EXPECT_EQ(at("小計消費税"), taxBefore);
    EXPECT_EQ(at("諸費用消費税"), taxBefore);
    cursor->post();
  }
}

TEST_F(AmountsTest, LeavingAnOptionBoxReplacesAHandTypedLineFourByTheOptionTotal) {
  store({{"車両価格4", 123456}, {"オプション金額1", 50000}, {"オプション金額6", 30001}});
  amounts().DBEdit56Exit();
  EXPECT_EQ(at("オプション合計"), 80001);
  EXPECT_EQ(at("車両価格4"), 80001);
  EXPECT_EQ(at("車両消費税4"), 4000);
  EXPECT_EQ(at("車両合計"), 80001);
}

TEST_F(AmountsTest, LeavingAnAccessoryBoxSumsAllTenLines) {
  store({{"車両価格5", 9}, {"付属品金額1", 1000}, {"付属品金額7", 200}, {"付属品金額8", 30}, {"付属品金額10", 4}});
  amounts().DBEdit63Exit();
  EXPECT_EQ(at("付属品合計"), 1234);
  EXPECT_EQ(at("車両価格5"), 1234);
  EXPECT_EQ(at("車両消費税5"), 61);
}

TEST_F(AmountsTest, AHandTypedDownPaymentTotalIsUsedUntilADownPaymentBoxIsLeft) {
  store({{"車両価格3", 800000}, {"頭金合計", 120000}, {"頭金1", 50000}, {"頭金2", 20000}});
  amounts().DBEdit17Exit();  // a cost box: the typed total is taken as it stands
  EXPECT_EQ(at("販売合計"), 840000);
  EXPECT_EQ(at("見積金額"), 720000);
  EXPECT_EQ(at("頭金合計"), 120000);
  amounts().DBEdit13Exit();
  EXPECT_EQ(at("頭金合計"), 70000);
  EXPECT_EQ(at("見積金額"), 770000);
}

TEST_F(AmountsTest, EveryRecalculationTakesEveryTaxToTheRateInEffect) {
  // An estimate quoted at 5 %, then the rate goes to 8 %: whichever box is left next, no tax of
  // the estimate stays at 5 %, and the sums of lines that box does not feed are kept.
  for (const auto& [box, handler] : Amounts::exitHandlers()) {
    SCOPED_TRACE(box);
    store({{"車両価格1", 1000000}, {"車両価格4", 100000}, {"車両価格5", 20000}, {"車両価格6", -5000},
           {"販売費用1", 30000}, {"販売費用9", 10000}, {"頭金1", 50000}, {"オプション金額1", 100000},
           {"付属品金額1", 20000}});
    rate = 5;
    auto a = amounts();
    a.DBEdit1Exit();
    a.DBEdit17Exit();
    a.DBEdit13Exit();
    cursor->post();
    ASSERT_EQ(at("車両消費税4"), 5000);
    ASSERT_EQ(at("小計消費税"), 1500);
    rate = 8;
    (a.*handler)();
    EXPECT_EQ(at("車両消費税3"), 80000);
    EXPECT_EQ(at("車両消費税4"), 8000);
    EXPECT_EQ(at("車両消費税5"), 1600);
    EXPECT_EQ(at("車両消費税6"), -400);
    EXPECT_EQ(at("車両消費税"), 89200);
    EXPECT_EQ(at("小計消費税"), 2400);
    EXPECT_EQ(at("諸費用消費税"), 2400);
    EXPECT_EQ(at("車両合計"), 1115000);
    EXPECT_EQ(at("諸費用合計"), 40000);
    EXPECT_EQ(at("販売合計"), 1115000 + 89200 + 40000 + 2400);
    EXPECT_EQ(at("見積金額"), at("販売合計") - 50000);
    cursor->cancel();
  }
  // An estimate nobody touches keeps its figures.
  rate = 5;
  store({{"車両価格3", 1000000}});
  amounts().DBEdit3Exit();
  cursor->post();
  rate = 10;
  cursor->first();
  EXPECT_EQ(at("車両消費税3"), 50000);
}

TEST_F(AmountsTest, LeavingABoxWithoutAChangeStillPutsTheRecordIntoEditState) {
  ASSERT_EQ(cursor->state(), table::Cursor::State::Browse);
  amounts().DBEdit13Exit();
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(at("見積金額"), 0);
}

TEST_F(AmountsTest, AFigureLeavingTheThirtyTwoBitRangeIsNeverWritten) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, int32_t>> figures;
    Amounts::Handler handler;
    const char* tooLarge;
  } cases[] = {
      {"vehicle body sum", {{"車両価格1", INT32_MAX}, {"車両価格2", 1}}, &Amounts::DBEdit1Exit, "車両価格3"},
      {"negative body sum", {{"車両価格1", INT32_MIN}, {"車両価格2", -1}}, &Amounts::DBEdit1Exit, "車両価格3"},
      {"vehicle total", {{"車両価格3", INT32_MAX}, {"車両価格6", 1}}, &Amounts::DBEdit9Exit, "車両合計"},
      {"grand total", {{"車両価格3", 2000000000}, {"諸費用合計", 200000000}}, &Amounts::DBEdit3Exit, "販売合計"},
      {"quoted amount", {{"車両価格3", -2000000000}, {"頭金1", 100000000}}, &Amounts::DBEdit13Exit, "見積金額"},
      {"option total", {{"オプション金額1", INT32_MAX}, {"オプション金額2", INT32_MAX}}, &Amounts::DBEdit56Exit,
       "オプション合計"},
      {"cost sub-total", {{"販売費用1", INT32_MAX}, {"販売費用8", 1}}, &Amounts::DBEdit17Exit, "小計"},
      {"costs total", {{"販売費用1", 2000000000}, {"保険3", 200000000}}, &Amounts::DBEdit17Exit, "諸費用合計"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cursor->edit();
    for (int i = 0; i < cursor->schema().fieldCount(); ++i)
      if (cursor->schema().field(i).type == table::FieldType::Integer && i != book::kItemNumberField) cursor->clear(i);
    for (const auto& [field, value] : c.figures) cursor->setInteger(f(field), value);
    cursor->post();
    const auto before = snapshot();
    auto a = amounts();
    try {
      (a.*c.handler)();
      ADD_FAILURE() << "no overflow reported";
    } catch (const AmountTooLarge& e) {
      EXPECT_EQ(e.field(), f(c.tooLarge));
      EXPECT_NE(std::string(e.what()).find(f(c.tooLarge)), std::string::npos);
    }
    EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(AmountsTest, AHugeRateIsRefusedInsteadOfWrappingTheTax) {
  store({{"車両価格6", 100000000}});
  rate = 10000;
  const auto before = snapshot();
  auto a = amounts();
  EXPECT_THROW(a.DBEdit9Exit(), AmountTooLarge);
  EXPECT_EQ(snapshot(), before);
}

TEST_F(AmountsTest, AFailedRecalculationLeavesTheTotalsStaleUntilOneSucceeds) {
  store({{"販売費用1", INT32_MAX}, {"販売費用2", 1}, {"頭金1", 7}});
  auto a = amounts();
  EXPECT_FALSE(a.stale());
  EXPECT_THROW(a.DBEdit17Exit(), AmountTooLarge);
  EXPECT_TRUE(a.stale());
  // Another box left meanwhile: the costs are tried again first, so nothing is written.
  const auto before = snapshot();
  EXPECT_THROW(a.DBEdit13Exit(), AmountTooLarge);
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(a.stale());
  // Once the figure is put right, whichever box is left next makes the totals whole again.
  cursor->edit();
  cursor->setInteger(f("販売費用1"), 1000);
  a.DBEdit1Exit();
  EXPECT_FALSE(a.stale());
  EXPECT_EQ(at("小計"), 1001);
  EXPECT_EQ(at("諸費用合計"), 1001);
  EXPECT_EQ(at("小計消費税"), 50);
  EXPECT_EQ(at("頭金合計"), 7);  // the down payment box left meanwhile has its turn too
  EXPECT_EQ(at("見積金額"), 1051 - 7);
  // A failure forgotten (its record cancelled) leaves nothing to run again.
  cursor->setInteger(f("オプション金額1"), INT32_MAX);
  cursor->setInteger(f("オプション金額2"), 1);
  EXPECT_THROW(a.DBEdit56Exit(), AmountTooLarge);
  a.forgetStale();
  EXPECT_FALSE(a.stale());
  EXPECT_NO_THROW(a.DBEdit13Exit());
}

TEST(AmountText, IsReadAsPeopleTypeIt) {
  struct Case {
    const char* typed;
    std::optional<int32_t> amount;
  } cases[] = {
      {"1200000", 1200000},      {"1,200,000", 1200000},     {"１２０００００", 1200000}, {"￥1,200,000", 1200000},
      {"\\1,200,000", 1200000},  {"１，２００，０００円", 1200000}, {" 1,200,000円 ", 1200000}, {"-1,999", -1999},
      {"－１９９９", -1999},       {"￥-500", -500},           {"-￥500", -500},             {"+12", 12},
      {"　３００", 300},          {"0", 0},                   {"999", 999},                {"2,147,483,647", INT32_MAX},
      {"-2147483648", INT32_MIN}, {"", std::nullopt},          {" ", std::nullopt},         {"abc", std::nullopt},
      {"1,20,000", std::nullopt}, {"1200,000", std::nullopt}, {"1,200,00", std::nullopt},  {",200", std::nullopt},
      {"1,200,", std::nullopt},   {"1.200.000", std::nullopt}, {"12 000", std::nullopt},   {"円", std::nullopt},
      {"--5", std::nullopt},      {"5円円", std::nullopt},       {"2147483648", std::nullopt}, {"1e6", std::nullopt},
      {"百", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(readAmount(f(c.typed)), c.amount);
    EXPECT_EQ(amountToStore(f(c.typed)), c.amount ? std::to_string(*c.amount) : f(c.typed));
  }
  EXPECT_EQ(readAmount(std::string("12\x82", 3)), std::nullopt);  // a cut two-byte character
}

TEST(AmountExits, EveryTypedAmountBoxOfTheSheetRecalculates) {
  std::vector<std::string> boxes;
  for (const auto& [box, handler] : Amounts::exitHandlers()) boxes.push_back(box);
  for (const auto& field : book::estimateFields()) {
    if (field.kind != book::FieldKind::Yen) continue;
    SCOPED_TRACE(field.nameUtf8);
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), field.control), boxes.end());
  }
  for (const char* derivedButLeft : {"DBEdit3", "DBEdit5", "DBEdit7"})
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), derivedButLeft), boxes.end());
  for (const char* quiet : {"DBEdit16", "DBEdit75", "DBEdit43", "DBEdit62", "DBEdit70"})
    EXPECT_EQ(std::find(boxes.begin(), boxes.end(), quiet), boxes.end()) << quiet;
}

}  // namespace
}  // namespace vendaro::pricing

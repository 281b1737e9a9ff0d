#include "formprint/item_language.h"

#include <gtest/gtest.h>
#include <random>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string cp(const std::string& utf8) { return sjis::lit(utf8); }
std::string utf8(const std::string& cp932) { return sjis::toUtf8(cp932); }

using Fields = std::vector<std::pair<const char*, const char*>>;

/// One evaluation: the expression, the expected text and number (shift count in print mode, date
/// flag in screen mode), and fields of the estimate changed for that evaluation only.
struct Case {
  const char* expression;
  const char* text;
  int number;
  EvalMode mode = EvalMode::Print;
  Fields changed = {};
};

/// One estimate, the company lines and the layout's date settings, with every question recorded.
class ItemLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    estimate_ = book::openEstimateTable(dir_.path());
    estimate_->append();
    set({{"作成日", "平成１８年０５月１０日"},
         {"氏名", "山田太郎"},
         {"見積金額", "1234567"},
         {"ミッション", "オートマ"},
         {"郵便番号", "123-4567"},
         {"頭金合計", "0"},
         {"住所", "東京都千代田区千代田１－１－１　ベンダロマンション１０１号室"},
         {"電話番号", "03-1234-5678"},
         {"車両価格1", "1500000"},
         {"頭金1", "100000"},
         {"頭金2", "50000"},
         {"排気量", "2"},
         {"車種", "ソアラ"}});
    estimate_->post();
  }

  void set(const Fields& fields) {
    for (const auto& [field, value] : fields) estimate_->setText(cp(field), cp(value));
  }

  /// Evaluates with some fields of the estimate changed for this call only.
  ItemValue eval(const std::string& expression, EvalMode mode = EvalMode::Print, const Fields& changed = {}) {
    if (!changed.empty()) {
      estimate_->edit();
      set(changed);
    }
    ItemValue v = evaluator().menuTextCheck(cp(expression), mode);
    estimate_->cancel();
    return v;
  }

  test::TempDir dir_;
  std::unique_ptr<table::Cursor> estimate_;
  CompanyLines company_{{cp("東京都中央区日本橋１－１"), cp("ベンダロ自動車"), cp("株式会社ベンダロ"), "03-0000-0000",
                         cp("営業時間９時から"), "", cp("担当")}};
  FixedDateSettings layout_{true, 0};
  std::vector<std::string> questions_;
  bool answer_ = true;

  void expectAll(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      std::string trace = std::string(c.expression) + (c.mode == EvalMode::Print ? " (print)" : " (screen)");
      for (const auto& [f, v] : c.changed) trace += std::string(" with ") + f + "=" + v;
      SCOPED_TRACE(trace);
      ItemValue v = eval(c.expression, c.mode, c.changed);
      EXPECT_EQ(utf8(v.text), c.text);
      EXPECT_EQ(v.number, c.number);
    }
  }

  ItemEvaluator evaluator() {
    return ItemEvaluator(*estimate_, company_, layout_, [this](const std::string& q) {
      questions_.push_back(utf8(q));
      return answer_;
    });
  }
};


constexpr EvalMode kScreen = EvalMode::Screen;
constexpr EvalMode kPrint = EvalMode::Print;

TEST_F(ItemLanguage, WorkedExamples) {
  expectAll({
      {"氏名　様", "山田太郎　様", 0},
      {"見積金額$10", "1,234,567", 1},
      {"見積金額$10", " 1,234,567", 0, kScreen},
      {"見積金額%2$12", "1,234,567.00", 0},
      {"見積金額$12%2", "1,234,567", 3},
      {"郵便番号_1", "1 2 3 - 4 5 6 7 ", 0},
      {"郵便番号全角", "１２３-４５６７", 0},
      {"#ミッション=オートマ<AT/MT", "AT", 0},
      {"#ミッション=オートマ<AT/MT", "MT", 0, kPrint, {{"ミッション", "マニュアル"}}},
      {"#ミッション\\オートマ<MT/AT", "AT", 0},
      {"#ミッション\\オートマ<MT/AT", "MT", 0, kPrint, {{"ミッション", "マニュアル"}}},
      {"#頭金合計=0<@なし/頭金合計", "なし", 0},
      {"#頭金合計=0<@なし/頭金合計", "250000", 0, kPrint, {{"頭金合計", "250000"}}},
      {"車両価格1*108/100", "1620000", 0},
      {"車両価格1*108/100", "1333332", 0, kPrint, {{"車両価格1", "1234567"}}},
      {"頭金1+頭金2", "150000", 0},
      {"^住所,　,前,30", "東京都千代田区千代田１－１－１", 0},
      {"^住所,　,後,30", "ベンダロマンション１０１号室", 0},
      {"^住所,　,前,30", "東京都港区芝公園４　１階", 0, kPrint, {{"住所", "東京都港区芝公園４　１階"}}},
      {"^住所,　,後,30", "", 0, kPrint, {{"住所", "東京都港区芝公園４　１階"}}},
      {"!氏名", "山田太郎", 0},
      {"@お見積金額", "お見積金額", 0},
      {"お見積金額", "お見積金額", 0},
      {"@頭金1+頭金2", "頭金1+頭金2", 0},
      {"電話番号&1,3", "03-", 0},
  });
  EXPECT_EQ(questions_, std::vector<std::string>{"項目名：氏名の山田太郎は印刷しますか？"});
}

TEST_F(ItemLanguage, ConfirmationIsAskedInPrintModeOnly) {
  answer_ = false;
  expectAll({
      {"!氏名", "", 0},
      {"!氏名", "山田太郎", 0, kScreen},
      {"!氏名$10", "", 2},  // the shift is counted before the question
  });
  answer_ = true;
  expectAll({
      {"!頭金1+頭金2", "150000", 0},           // the question names the last operand
      {"!氏名&1,4", "山田", 0},                   // and shows the text as cut
      {"#ミッション=オートマ<!氏名/@x", "山田太郎", 0},  // a chosen text may ask
  });
  EXPECT_EQ(questions_, (std::vector<std::string>{"項目名：氏名の山田太郎は印刷しますか？", "項目名：氏名の山田太郎は印刷しますか？",
                                                  "項目名：頭金2の150000は印刷しますか？", "項目名：氏名の山田は印刷しますか？",
                                                  "項目名：氏名の山田太郎は印刷しますか？"}));
}

TEST_F(ItemLanguage, SuffixesAndHonorifics) {
  expectAll({
      {"", "", 0},
      {"　様", "　様", 0},
      {"氏名　様", "　様", 0, kPrint, {{"氏名", ""}}},
      {"氏名様", "山田太郎様", 0},
      {"氏名　殿", "山田太郎　殿", 0},
      {"見積金額%2", "", 0, kPrint, {{"見積金額", "0"}}},
      {"見積金額$10", "", 10, kPrint, {{"見積金額", "0"}}},
      {"排気量%1", "2.0", 0},
      {"排気量%1", "1.5", 0, kPrint, {{"排気量", "1.5"}}},
      {"排気量%1", "1.55", 0, kPrint, {{"排気量", "1.55"}}},
      {"排気量%-1", "2  ", 0},
      {"排気量%3", "1.500", 0, kPrint, {{"排気量", "1.5"}}},
      {"見積金額$5", "1,234,567", -4},
      {"見積金額$5", "1,234,567", 0, kScreen},
      {"見積金額$5", "1234,567,890", -7, kPrint, {{"見積金額", "1234567890"}}},
      {"見積金額$10", "-1,234,567", 0, kPrint, {{"見積金額", "-1234567"}}},
      {"見積金額$8", "999", 5, kPrint, {{"見積金額", "999"}}},
      {"見積金額$60", std::string(40, ' ').append("1,234,567").c_str(), 0, kScreen},
      {"見積金額%2$12_1&1,20", "1 , 2 3 4 , 5 6 7 . 0 0 ", 0},
      {"見積金額&1,20_1", "1234567", 0},  // "_" to the right of "&" is cut away unread
      {"電話番号&4,100", "1234-5678", 0},
      {"電話番号&0,3", "03-1234-5678", 0},
      {"電話番号&20,3", "", 0},
      {"電話番号&5", "電話番号&5", 0},    // "&" without "," is text
      {"氏名_2", "山  田  太  郎  ", 0},
  });
  // A byte cut may keep half a double-byte character.
  EXPECT_EQ(eval("氏名&3,3").text, cp("田") + "\x91");
}

TEST_F(ItemLanguage, ConversionTests) {
  expectAll({
      // Zero test: what stands between "=0" and "<" is ignored.
      {"#郵便番号=012<A/B", "B", 0},
      {"#郵便番号=012<A/B", "A", 0, kPrint, {{"郵便番号", "000-0000"}}},
      {"#頭金合計\\0<あり/なし", "なし", 0},
      {"#頭金合計\\0<あり/なし", "あり", 0, kPrint, {{"頭金合計", "1"}}},
      {"#頭金合計=0<なし", "なし", 0},
      {"#頭金1=0<なし", "", 0},                  // no "/": the negative text is empty
      {"#頭金1-100000=0<ちょうど/ちがう", "ちょうど", 0},  // the item is arithmetic
      // Text test: the check is itself a value.
      {"#ミッション=<空/有", "有", 0},
      {"#ミッション=<空/有", "空", 0, kPrint, {{"ミッション", ""}}},
      {"#ミッション=ート<含む/含まない", "含む", 0},
      {"#ミッション=ミッション<同じ/違う", "同じ", 0},
      {"#車種=ソアラ<A/B", "A", 0},                // the 0x5C inside ソ is no "\\"
      {"#車種\\ソ<A/B", "B", 0},
      // The chosen text is evaluated like any expression.
      {"#ミッション=オートマ<氏名　様/@なし", "山田太郎　様", 0},
      {"#ミッション=オートマ<^住所,　,後/x", "ベンダロマンション１０１号室", 0},
      {"#ミッション=オートマ</x", "", 0},
      {"#ミッション=オートマ<　様/x", "　様", 0},
      // Malformed: evaluated unchanged, "#" included.
      {"#ミッション=オートマ", "#ミッション=オートマ", 0},
      {"#X=Y<A\\B", "#X=Y<A\\B", 0},
      {"#ミッション", "#ミッション", 0},
  });
}

TEST_F(ItemLanguage, Split) {
  expectAll({
      {"^住所,　,後", "ベンダロマンション１０１号室", 0},  // two commas: the threshold is 0
      {"^住所,　,前,30　様", "東京都千代田区千代田１－１－１", 0},  // the before side drops the honorific
      {"^氏名,田,後,0　様", "太郎　様", 0},
      {"^氏名,田,後,8　様", "", 0},                                // not longer than 8 bytes: nothing after
      {"^氏名,田,前,8　様", "山田太郎　様", 0},
      {"^氏名,田,うしろ,0", "山", 0},                             // any side but 後 is the before side
      {"^氏名,X,前,0", "山田太郎", 0},                            // no split text in the value
      {"^氏名,,後,0", "", 0},                                     // an empty split text never splits
      {"^住所,　", "東京都千代田区千代田１－１－１　ベンダロマンション１０１号室", 0},  // one comma: no split
      {"^氏名", "山田太郎", 0},
  });
}

TEST_F(ItemLanguage, Arithmetic) {
  expectAll({
      {"10-3*2", "4", 0},
      {"2*3+4*5-6/4", "25", 0},
      {"100/7/2", "7", 0},
      {"頭金1/3", "-33333", 0, kPrint, {{"頭金1", "-100000"}}},  // truncated toward zero
      {"頭金1/2", "-3", 0, kPrint, {{"頭金1", "-7"}}},
      {"頭金1-頭金2-頭金2", "0", 0},
      {"氏名+1", "1", 0},  // text reads as 0
      {"123-4567", "-4444", 0},
      {"-5+3", "-5+3", 0},  // an empty operand: the whole text as it is
      {"5+", "5+", 0},
      {"5*/2", "5*/2", 0},
      {"頭金1+", "頭金1+", 0},
      // No figure rather than a wrong one.
      {"見積金額/頭金合計", "", 0},
      {"1/0", "", 0},
      {"#X=Y<A\\B/C", "", 0},  // malformed, so arithmetic, dividing by 0
      {"見積金額*見積金額", "", 0},
      {"2147483647+1", "", 0},
      {"0-2147483647-2", "", 0},
      {"0-2147483647-1", "-2147483648", 0},
      {"2147483647*1", "2147483647", 0},
      {"99999999999-1", "", 0},  // an operand beyond the range
      {"頭金1/頭金2", "", 0, kPrint, {{"頭金1", "-2147483648"}, {"頭金2", "-1"}}},
      {"1/0$10", "", 10},
      {"1/0%2", "", 0},
  });
}

TEST_F(ItemLanguage, ItemValues) {
  expectAll({
      {"自住所", "東京都中央区日本橋１－１", 0},
      {"自社名", "ベンダロ自動車", 0},
      {"自社名付", "株式会社ベンダロ", 0},
      {"自電話番号", "03-0000-0000", 0},
      {"自社情報追加１", "営業時間９時から", 0},
      {"自社情報追加２", "", 0},
      {"自社情報追加３", "担当", 0},
      {"自社名　様", "ベンダロ自動車　様", 0},
      {"住所都道府県無", "千代田区千代田１－１－１　ベンダロマンション１０１号室", 0},
      {"住所都道府県無", "横浜市中区", 0, kPrint, {{"住所", "神奈川県横浜市中区"}}},
      {"住所都道府県無", "札幌市", 0, kPrint, {{"住所", "北海道札幌市"}}},
      {"住所都道府県無", "大阪市北区", 0, kPrint, {{"住所", "大阪府大阪市北区"}}},
      {"住所都道府県無", "京都市", 0, kPrint, {{"住所", "京都府京都市"}}},
      {"住所都道府県無", "横浜市", 0, kPrint, {{"住所", "横浜市"}}},
      {"郵便番号全角", "", 0, kPrint, {{"郵便番号", ""}}},
      {"項番", "20060510", 0},
      {"頭金3", "", 0},  // an empty amount prints nothing
      {"@", "", 0},
      {"@ダイハツ", "ダイハツ", 0},  // ダ ends in the byte of "_"
      {"見積有効期限", "", 0},
  });
}

TEST_F(ItemLanguage, DateBlankingWhenDatesAreNotShown) {
  layout_.show = false;
  expectAll({
      {"作成日", "　　18   5  10  ", 1, kScreen},
      {"作成日", "　　18   5  10  ", 0},
      {"作成日", "　　 1   5   1  ", 1, kScreen, {{"作成日", "令和０１年０５月０１日"}}},
      {"作成日", "　　63  12  31  ", 1, kScreen, {{"作成日", "昭和６３年１２月３１日"}}},
      {"作成日", "明治45   7  30  ", 1, kScreen, {{"作成日", "明治４５年０７月３０日"}}},
      {"住所", "東京都中央区  本橋1－2－3", 1, kScreen, {{"住所", "東京都中央区日本橋１－２－３"}}},
      {"車体色", "日本の色", 0, kScreen, {{"車体色", "日本の色"}}},  // no digits: not a date
      {"税金月数", "3    ", 1, kScreen, {{"税金月数", "３ヶ月"}}},
      {"自住所", "東京都中央区  本橋1－1", 1, kScreen},
      {"@令和２年", "　　2  ", 1, kScreen},
      {"作成日&5,2", "18", 0},
      {"日本", "日本", 0, kScreen},  // literal text is not blanked
      {"見積金額$10", "1,234,567", 1},
  });
  layout_.spacing = 3;
  expectAll({{"作成日", "　　18      5     10     ", 1, kScreen}});
  layout_.spacing = -1;
  expectAll({{"作成日", "　　18  5 10 ", 1, kScreen}});
  layout_.spacing = -5;
  expectAll({{"作成日", "　　180510", 1, kScreen}});
  layout_.spacing = 1000000;
  EXPECT_EQ(eval("作成日", kScreen).text.size(), 4 + 2 + 47 + 2 + 47 + 2 + 47u);
}

TEST_F(ItemLanguage, DatesPrintAsStoredWhenShown) {
  expectAll({{"作成日", "平成１８年０５月１０日", 0, kScreen}, {"作成日", "平成１８年０５月１０日", 0}});
}

TEST_F(ItemLanguage, ItemChangeAndChangeItemGiveTheDateFlag) {
  layout_.show = false;
  struct Call {
    const char* text;
    const char* changeItem;
    const char* itemChange;
    int flag;
  } const calls[] = {
      {"作成日", "　　18   5  10  ", "　　18   5  10  ", 1},
      {"頭金1+頭金2", "頭金1+頭金2", "150000", 0},
      {"頭金1+作成日", "頭金1+作成日", "100000", 1},  // the flag of the last operand
      {"@x-1", "x-1", "x-1", 0},
  };
  ItemEvaluator e = evaluator();
  for (const auto& c : calls) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(utf8(e.changeItem(cp(c.text)).text), c.changeItem);
    ItemValue v = e.itemChange(cp(c.text));
    EXPECT_EQ(utf8(v.text), c.itemChange);
    EXPECT_EQ(v.number, c.flag);
  }
}

TEST_F(ItemLanguage, AnyExpressionEvaluatesWithoutFailing) {
  // Pieces of the language thrown together at random: whatever a user types, the evaluator gives
  // a text and never stops the program.
  const std::vector<std::string> pieces = {
      "&", ",", "_", "$", "%", "#", "=", "\\", "<", "/", "!", "^", "+", "-", "*", "0", "1", "30", "-1", "99999999999",
      "2147483647", "@", cp("様"), cp("　"), cp("氏名"), cp("見積金額"), cp("作成日"), cp("住所"), cp("ソ"), cp("日"),
      cp("年"), cp("後"), "\x82", "\xFF"};
  layout_.show = false;
  std::mt19937 random(5);
  ItemEvaluator e = evaluator();
  for (int i = 0; i < 3000; ++i) {
    std::string expression;
    for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n) expression += pieces[random() % pieces.size()];
    SCOPED_TRACE(utf8(expression));
    EXPECT_NO_THROW({
      e.menuTextCheck(expression, kPrint);
      e.menuTextCheck(expression, kScreen);
    });
  }
}

TEST(ItemMenu, CompanyItemsFieldsAndTemplates) {
  const auto& entries = itemMenuEntries();
  ASSERT_EQ(entries.size(), 7u + 122u + 2u + 9u);
  EXPECT_EQ(utf8(entries[0]), "自住所");
  EXPECT_EQ(utf8(entries[6]), "自社情報追加３");
  EXPECT_EQ(utf8(entries[7]), "作成日");
  auto at = [&](const char* name) {
    return std::find(entries.begin(), entries.end(), cp(name)) - entries.begin();
  };
  EXPECT_EQ(at("郵便番号全角"), at("郵便番号") + 1);
  EXPECT_EQ(at("住所都道府県無"), at("住所") + 1);
  EXPECT_EQ(at("備考"), 7 + 122 + 2 - 1);
  EXPECT_EQ(utf8(entries[131]), "!    （確認モード）");
  EXPECT_EQ(utf8(entries.back()), "^項目,分割文字,前または後,判定長（分割モード）");
}

}  // namespace
}  // namespace vendaro::formprint

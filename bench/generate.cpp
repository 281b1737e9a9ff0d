#include "generate.h"

#include <random>
#include <vector>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/clock.h"
#include "platform/sjis.h"

namespace vendaro::bench {
namespace {

template <std::size_t N>
const std::string& pick(std::mt19937& random, const std::string (&items)[N]) {
  return items[random() % N];
}

std::vector<std::string> convert(std::initializer_list<const char*> texts) {
  std::vector<std::string> out;
  for (const char* t : texts) out.push_back(sjis::lit(t));
  return out;
}

}  // namespace

void generateEstimates(const std::string& cardataDirectory, int count, unsigned seed) {
  static const auto surnames = convert({"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤"});
  static const auto surnameKana = convert({"さとう", "すずき", "たかはし", "たなか", "いとう", "わたなべ", "やまもと", "なかむら", "こばやし", "かとう"});
  static const auto given = convert({"一郎", "花子", "健太", "美咲", "大輔", "陽子", "翔", "結衣"});
  static const auto givenKana = convert({"いちろう", "はなこ", "けんた", "みさき", "だいすけ", "ようこ", "しょう", "ゆい"});
  static const auto towns = convert({"東京都千代田区千代田１－１", "東京都新宿区西新宿２－８－１", "東京都世田谷区太子堂４－１－１", "東京都八王子市元本郷町３－２４－１", "東京都町田市森野２－２－２２"});
  static const auto cars = convert({"カローラ", "プリウス", "フィット", "ノート", "セレナ", "アクア", "ヴォクシー", "ハスラー"});
  static const auto colours = convert({"ホワイトパール", "シルバー", "ブラック", "レッド", "ブルー"});
  static const auto missions = convert({"オートマ", "マニュアル"});
  static const auto options = convert({"ナビゲーション", "ＥＴＣ", "フロアマット", "ドライブレコーダー", "サンルーフ"});

  std::mt19937 random(seed);
  auto cursor = book::openEstimateTable(cardataDirectory);
  auto set = [&](const char* field, const std::string& value) { cursor->setText(sjis::lit(field), value); };
  auto setYen = [&](const char* field, int32_t value) { cursor->setInteger(sjis::lit(field), value); };

  table::Transaction transaction(*cursor);
  for (int i = 0; i < count; ++i) {
    int year = 2015 + static_cast<int>(random() % 12);
    int month = 1 + static_cast<int>(random() % 12);
    int day = 1 + static_cast<int>(random() % static_cast<unsigned>(daysInMonth(year, month)));
    std::size_t s = random() % surnames.size(), g = random() % given.size();
    cursor->append();
    set("作成日", era::format(Date{year, month, day}));
    set("見積有効期限", era::format(Date{year, month, std::min(day + 14, daysInMonth(year, month))}));
    set("氏名", surnames[s] + given[g]);
    set("ふりがな", surnameKana[s] + givenKana[g]);
    set("電話番号", "03-" + std::to_string(1000 + random() % 9000) + "-" + std::to_string(1000 + random() % 9000));
    set("郵便番号", std::to_string(100 + random() % 100) + "-" + std::to_string(1000 + random() % 9000));
    set("住所", towns[random() % towns.size()]);
    set("車種", cars[random() % cars.size()]);
    set("排気量", std::to_string(660 + 100 * (random() % 20)));
    set("ミッション", missions[random() % 2]);
    set("車体色", colours[random() % colours.size()]);
    int32_t price = 1000000 + static_cast<int32_t>(random() % 3000) * 1000;
    int32_t option = 0;
    for (int k = 1; k <= 3; ++k) {
      int32_t amount = static_cast<int32_t>(random() % 200) * 1000;
      set(("オプション項目" + std::to_string(k)).c_str(), options[random() % options.size()]);
      setYen(("オプション金額" + std::to_string(k)).c_str(), amount);
      option += amount;
    }
    int32_t tax = (price + option) / 10;
    setYen("車両価格1", price);
    setYen("車両価格3", price);
    setYen("車両消費税3", price / 10);
    setYen("車両価格4", option);
    setYen("オプション合計", option);
    setYen("車両合計", price + option);
    setYen("車両消費税", tax);
    setYen("販売費用1", 30000);
    setYen("販売費用4", 15000);
    setYen("税金1", 30500);
    set("税金月数", std::to_string(1 + random() % 12));
    setYen("保険1", 27180);
    set("保険月数", std::to_string(12 + 12 * (random() % 3)));
    setYen("販売合計", price + option + tax + 30000 + 15000 + 30500 + 27180);
    setYen("見積金額", price + option + tax + 30000 + 15000 + 30500 + 27180);
    set("プラン1回数", "36");
    set("備考", sjis::lit("ご来店ありがとうございました"));
    cursor->post();
  }
  transaction.commit();
}

}  // namespace vendaro::bench

// Budget of the print item language:
//   evaluate all 240 items of a layout for one estimate (print mode, dates blanked)   < 2 ms
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/item_language.h"
#include "formprint/layout_tables.h"
#include "generate.h"
#include "platform/sjis.h"

namespace {

using namespace vendaro;

/// Item expressions of a busy estimate form, repeated to fill the 240 items.
const char* const kItems[] = {
    "氏名　様",
    "ふりがな",
    "見積金額$12",
    "見積金額%2$14",
    "郵便番号全角",
    "郵便番号_1",
    "#ミッション=オートマ<AT/MT",
    "#頭金合計=0<@なし/頭金合計",
    "車両価格1*108/100$10",
    "頭金1+頭金2+頭金3$10",
    "^住所,　,前,30",
    "^住所,　,後,30",
    "住所都道府県無",
    "作成日",
    "見積有効期限",
    "電話番号&1,3",
    "自社名",
    "自住所",
    "自電話番号",
    "@お見積金額",
    "販売費用1$10",
    "税金1+税金2+税金3$10",
    "車種",
    "型式",
    "排気量%1",
    "車体色",
    "車両合計$12",
    "小計$12",
    "諸費用合計$12",
    "!備考",
};

void BM_EvaluateAllItemsOfALayout(benchmark::State& state) {
  const std::string dir = (std::filesystem::temp_directory_path() / "vendaro-bench-formprint").string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  bench::generateEstimates(dir, 200);
  auto estimates = book::openEstimateTable(dir);
  estimates->setIndex(book::descendingIndexName());
  estimates->first();

  auto layouts = formprint::LayoutTables::open(dir);
  layouts->ensureLayout(1);
  layouts->openLayout(1);
  layouts->data().edit();
  layouts->data().setText(formprint::kShowDateUnitsField, "False");  // every value goes through the date blanking
  layouts->data().setInteger(formprint::kDateSpacingField, 1);
  constexpr std::size_t kinds = sizeof kItems / sizeof kItems[0];
  for (int k = 1; k <= formprint::kItemCount; ++k)
    layouts->data().setText(formprint::kFirstItemField + k - 1, sjis::lit(kItems[static_cast<std::size_t>(k - 1) % kinds]));
  layouts->data().post();

  const formprint::CompanyLines company({sjis::lit("東京都中央区日本橋１－１"), sjis::lit("ベンダロ自動車"),
                                         sjis::lit("株式会社ベンダロ"), "03-0000-0000", "", "", ""});
  const formprint::ItemEvaluator evaluator(*estimates, company, *layouts, [](const std::string&) { return true; });

  std::size_t bytes = 0;
  for (auto _ : state) {
    for (int k = 1; k <= formprint::kItemCount; ++k) {
      const std::string item = layouts->item(k);
      if (item.empty()) continue;
      const formprint::ItemValue value = evaluator.menuTextCheck(item, formprint::EvalMode::Print);
      bytes += value.text.size();
      benchmark::DoNotOptimize(value.number);
    }
  }
  benchmark::DoNotOptimize(bytes);
  estimates.reset();
  layouts.reset();
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EvaluateAllItemsOfALayout)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

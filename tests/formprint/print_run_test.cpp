#include "formprint/print_run.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/jpeg_image.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string cp(const std::string& utf8) { return sjis::lit(utf8); }

TEST(DevicePosition, LayoutUnitsBecomeDeviceUnitsByTheAdjustmentSet) {
  struct Case {
    int x, y, shift, points;
    AdjustmentSet set;
    DevicePoint expected;
  };
  const AdjustmentSet d;
  const Case cases[] = {
      {379, 0, 0, 10, d, {1430, 0}},               // 100 mm: 1419, plus 1 mm across: 3 units, 11 dots
      {0, 379, 0, 10, d, {11, 1419}},
      {379, 0, 1, 10, d, {1449, 0}},               // one cell of 10 points at P 50: 5 units
      {379, 0, -4, 10, d, {1359, 0}},              // (-2000 + 50) div 100 = -19 units: 360 × 1000 div 267 + 11
      {100, 100, 0, 10, AdjustmentSet{1000, 267, -3, -2, 50}, {374 - 26, 374 - 41}},
      {100, 100, 2, 12, AdjustmentSet{1, 1, 0, 0, 0}, {100, 100}},  // P 0: no shift
      {2000000000, 2000000000, 0, 10, AdjustmentSet{1000, 1, 0, 0, 50}, {2147483647, 2147483647}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " shift " << c.shift);
    const DevicePoint p = devicePosition(c.x, c.y, c.shift, c.points, c.set);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
  }
  EXPECT_EQ(formExtent(210, 297, d), (DevicePoint{795 * 1000 / 267, 1125 * 1000 / 267}));
}

/// What a device was asked to do, as one line per call.
class RecordingDevice : public SheetDevice {
 public:
  std::vector<std::string> calls;
  void loadForm(const std::string& path) override { calls.push_back("load " + path); }
  void beginSheet() override { calls.push_back("begin"); }
  void drawForm(const DevicePoint& e) override {
    calls.push_back("form " + std::to_string(e.x) + "x" + std::to_string(e.y));
  }
  void drawText(const PlacedText& t, const std::string& face) override {
    calls.push_back(sjis::toUtf8(t.text) + " " + std::to_string(t.points) + "pt " + sjis::toUtf8(face) + " @" +
                    std::to_string(t.at.x) + "," + std::to_string(t.at.y));
  }
  void endSheet() override { calls.push_back("end"); }
  void finish() override { calls.push_back("finish"); }
};

/// A layout on estimates named as given, with every question recorded and answered yes.
class PrintRun : public ::testing::Test {
 protected:
  void SetUp() override {
    estimates = book::openEstimateTable(dir.path());
    estimates->setIndex(book::descendingIndexName());
    layout = LayoutTables::open(dir.path());
    layout->ensureLayout(1);
    layout->openLayout(1);
  }
  void addEstimates(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      estimates->append();
      estimates->setText(cp("氏名"), cp(name));
      estimates->setText(cp("見積金額"), "1234567");
      estimates->post();
    }
  }
  void setLayout(std::initializer_list<std::pair<const char*, const char*>> fields) {
    layout->data().edit();
    for (const auto& [f, v] : fields) layout->data().setText(cp(f), cp(v));
    layout->data().post();
  }
  void setItem(int k, const char* expression, int x, int y, int size) {
    layout->data().edit();
    layout->data().setText(kFirstItemField + k - 1, cp(expression));
    layout->data().post();
    for (auto [cursor, v] : {std::pair{&layout->posX(), x}, {&layout->posY(), y}, {&layout->size(), size}}) {
      cursor->edit();
      cursor->setInteger(k - 1, v);
      cursor->post();
    }
  }
  std::vector<std::string> run() {
    RecordingDevice device;
    const ItemEvaluator evaluator(*estimates, company, *layout, [this](const std::string& q) {
      questions.push_back(sjis::toUtf8(q));
      return true;
    });
    printForms(device, *layout, *estimates, evaluator, RunSettings{AdjustmentSet{}, dir.path(), cp("明朝")});
    return device.calls;
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> estimates;
  std::unique_ptr<LayoutTables> layout;
  CompanyLines company{{cp("東京都"), cp("ベンダロ自動車")}};
  std::vector<std::string> questions;
};

TEST_F(PrintRun, OneSheetPlacesEveryItemWithTextAndLeavesTheEstimateWhereItWas) {
  addEstimates({"佐藤", "鈴木"});
  setLayout({{"日付の表示", "True"}});
  setItem(1, "氏名　様", 379, 0, 10);
  setItem(2, "見積金額$10", 379, 100, 10);  // 9 bytes in 10 cells: shift 1
  setItem(3, "", 50, 50, 10);                // empty: never drawn
  setItem(5, "自社名", 0, 0, 12);
  setItem(240, "@end", 10, 20, 8);
  estimates->setRecNo(2);
  const std::string name = sjis::toUtf8(estimates->text(cp("氏名")));
  EXPECT_EQ(run(), (std::vector<std::string>{"begin", name + "　様 10pt 明朝 @1430,0", "1,234,567 10pt 明朝 @1449,374",
                                             "ベンダロ自動車 12pt 明朝 @11,0", "end 8pt 明朝 @48,74", "end", "finish"}));
  EXPECT_EQ(estimates->recNo(), 2);
}

TEST_F(PrintRun, AContinuousLayoutPrintsEveryEstimateInViewAndAsksEachTime) {
  addEstimates({"一", "二", "三"});
  setLayout({{"連続印刷", "True"}, {"日付の表示", "True"}});
  setItem(1, "!氏名", 0, 0, 10);
  estimates->setRecNo(2);
  const auto calls = run();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "begin"), 3);
  EXPECT_EQ(questions.size(), 3u);
  EXPECT_EQ(calls.back(), "finish");
  EXPECT_EQ(estimates->recNo(), 3);  // left on the last
}

TEST_F(PrintRun, AContinuousLayoutOverAnEmptyViewStillPrintsOneSheet) {
  setLayout({{"連続印刷", "True"}});
  setItem(1, "@見積書", 0, 0, 10);
  setItem(2, "氏名", 0, 40, 10);
  EXPECT_EQ(run(), (std::vector<std::string>{"begin", "見積書 10pt 明朝 @11,0", "end", "finish"}));
}

TEST_F(PrintRun, TheFormImageIsReadFirstAndDrawnOnlyWhenAskedForAndFound) {
  addEstimates({"佐藤"});
  writeWhiteJpeg(dir.file("注文書.bmp"), 8, 8);  // only the .bmp exists
  struct Case {
    const char* printForm;
    const char* form;
    std::vector<std::string> calls;
  };
  const std::string bmp = dir.file("注文書.bmp");
  const Case cases[] = {
      {"True", "注文書", {"load " + bmp, "begin", "form 2977x4213", "end", "finish"}},
      {"False", "注文書", {"begin", "end", "finish"}},
      {"True", "ない", {"begin", "end", "finish"}},
      {"True", "", {"begin", "end", "finish"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.printForm) + " " + c.form);
    setLayout({{"印刷フォームの印刷", c.printForm}, {"印刷フォーム", c.form}, {"印刷サイズＸ", "210"}, {"印刷サイズＹ", "297"}});
    EXPECT_EQ(run(), c.calls);
  }
  writeWhiteJpeg(dir.file("注文書.jpg"), 8, 8);  // the JPEG is looked for first
  EXPECT_EQ(findFormImage(dir.path(), cp("注文書")), dir.file("注文書.jpg"));
}

}  // namespace
}  // namespace vendaro::formprint

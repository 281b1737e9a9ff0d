#include "book/copy_estimate.h"

#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

using sjis::lit;

class CopyEstimateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor = openEstimateTable(dir.file("CARDATA"));
    cursor->append();
    cursor->setText(lit("作成日"), lit("平成１５年０３月２０日"));
    cursor->setText(lit("氏名"), lit("山田"));
    cursor->setText(lit("住所"), lit("東京都千代田区"));
    cursor->setText(lit("電話番号"), lit("03-1234-5678"));
    cursor->setText(lit("型式"), lit("E-AB12"));
    cursor->setText(lit("見積金額"), "1234567");
    cursor->post();
  }

  /// Every field of the current record as text.
  std::vector<std::string> record() const {
    std::vector<std::string> out;
    for (int f = 0; f < static_cast<int>(estimateFields().size()); ++f) out.push_back(cursor->text(f));
    return out;
  }

  test::TempDir dir;
  std::unique_ptr<table::Cursor> cursor;
};

TEST_F(CopyEstimateTest, TheNewEstimateHoldsExactlyTheCopiedFields) {
  std::vector<std::string> all;
  for (int f = 0; f < static_cast<int>(estimateFields().size()); ++f) all.push_back(estimateFieldName(f));
  std::vector<std::string> twiceOver = all;  // every field twice and more: more names than fields
  twiceOver.insert(twiceOver.end(), all.rbegin(), all.rend());
  twiceOver.push_back(lit("氏名"));
  struct Case {
    const char* name;
    std::vector<std::string> names;
    std::vector<const char*> copied;  // fields expected to hold the original's value; all others empty
    std::size_t buffered;
  } cases[] = {
      {"three fields", {lit("氏名"), lit("住所"), lit("電話番号")}, {"氏名", "住所", "電話番号"}, 3},
      {"a field named again is copied once",
       {lit("氏名"), lit("氏名"), lit("見積金額"), lit("氏名")}, {"氏名", "見積金額"}, 2},
      {"more names than the table has fields", twiceOver,
       {"項番", "作成日", "氏名", "住所", "電話番号", "型式", "見積金額"}, estimateFields().size()},
  };
  const std::vector<std::string> original = record();
  const int count = cursor->recordCount();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CopyBuffer buffer = fillCopyBuffer(*cursor, c.names);
    EXPECT_EQ(buffer.values.size(), c.buffered);
    pasteCopyBuffer(*cursor, buffer);
    EXPECT_EQ(cursor->state(), table::Cursor::State::Insert);
    std::vector<std::string> copy = record();
    for (int f = 0; f < static_cast<int>(copy.size()); ++f) {
      bool listed = false;
      for (const char* name : c.copied) listed = listed || estimateFieldName(f) == lit(name);
      EXPECT_EQ(copy[static_cast<std::size_t>(f)], listed ? original[static_cast<std::size_t>(f)] : std::string())
          << "field " << f;
    }
    cursor->cancel();
    EXPECT_EQ(cursor->recordCount(), count);
    EXPECT_EQ(record(), original);
  }
}

TEST_F(CopyEstimateTest, AnUnknownNameStopsTheCopyBeforeAnythingIsAdded) {
  cursor->edit();
  cursor->setText(lit("氏名"), lit("山田太郎"));  // a pending edit stays pending
  try {
    copyEstimate(*cursor, {lit("氏名"), lit("ほげ"), lit("住所")});
    FAIL() << "no error";
  } catch (const table::TableError& e) {
    EXPECT_EQ(std::string(e.what()), lit("項目 'ほげ' が見つかりません"));
  }
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(cursor->text(lit("氏名")), lit("山田太郎"));
  cursor->cancel();
  EXPECT_EQ(cursor->recordCount(), 1);
}

TEST_F(CopyEstimateTest, APendingEditIsSavedBeforeTheCopyStarts) {
  cursor->edit();
  cursor->setText(lit("氏名"), lit("山田太郎"));
  copyEstimate(*cursor, {lit("氏名")});
  EXPECT_EQ(cursor->text(lit("氏名")), lit("山田太郎"));
  cursor->cancel();
  EXPECT_EQ(cursor->recordCount(), 1);
  cursor->first();
  EXPECT_EQ(cursor->text(lit("氏名")), lit("山田太郎"));
}

}  // namespace
}  // namespace vendaro::book

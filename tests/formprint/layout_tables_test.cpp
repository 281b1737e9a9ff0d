#include "formprint/layout_tables.h"

#include <gtest/gtest.h>

#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

TEST(LayoutTables, ANewInstallationGetsFourEmptyTables) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  auto tables = LayoutTables::open(cardata);
  for (const char* file : {"EsPrtData.DB", "EsPrtPosX.DB", "EsPrtPosY.db", "EsPrtSize.DB"}) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(fileExists(joinPath(cardata, file)));
  }
  EXPECT_EQ(tables->layoutCount(), 0);
  EXPECT_EQ(tables->current(), 0);
  EXPECT_EQ(tables->item(1), "");
  EXPECT_EQ(tables->itemX(1), 0);

  const auto& data = layoutDataSchema();
  ASSERT_EQ(data.fieldCount(), 8 + kItemCount);
  EXPECT_EQ(data.field(kDateSpacingField).name, cp("日付の幅"));
  EXPECT_EQ(data.find(cp("項目1")), kFirstItemField);
  EXPECT_EQ(data.find(cp("項目240")), kFirstItemField + 239);
  EXPECT_EQ(data.find(cp("項目241")), -1);
  struct Attr {
    const table::TableSchema& schema;
    const char* last;
  } const attrs[] = {{layoutPosXSchema(), "Ｘ座標240"}, {layoutPosYSchema(), "Ｙ座標240"}, {layoutSizeSchema(), "サイズ240"}};
  for (const auto& a : attrs) {
    SCOPED_TRACE(a.schema.fileName());
    ASSERT_EQ(a.schema.fieldCount(), kItemCount);
    EXPECT_EQ(a.schema.find(cp(a.last)), kItemCount - 1);
    for (const auto& f : a.schema.fields()) ASSERT_EQ(f.type, table::FieldType::Integer);
  }
}

TEST(LayoutTables, MakingALayoutExistFillsEveryTableAndANewLayoutIsBlank) {
  test::TempDir dir;
  auto tables = LayoutTables::open(dir.path());
  // The editor's navigator can add a layout record alone, without its attribute records.
  tables->data().append();
  tables->data().setText(kPrintNameField, cp("注文書"));
  tables->data().post();
  EXPECT_EQ(tables->posX().recordCount(), 0);

  tables->ensureLayout(3);
  EXPECT_EQ(tables->layoutCount(), 3);
  for (table::Cursor* c : {&tables->posX(), &tables->posY(), &tables->size()}) EXPECT_EQ(c->recordCount(), 3);

  tables->openLayout(1);
  EXPECT_EQ(tables->printName(), cp("注文書"));  // an existing layout is left alone
  tables->openLayout(3);
  EXPECT_EQ(tables->current(), 3);
  EXPECT_EQ(tables->printName(), "");
  EXPECT_EQ(tables->formName(), "");
  EXPECT_EQ(tables->paperWidth(), 10);
  EXPECT_EQ(tables->paperHeight(), 10);
  EXPECT_FALSE(tables->printForm());
  EXPECT_FALSE(tables->continuous());
  EXPECT_FALSE(tables->showDateUnits());
  EXPECT_EQ(tables->dateSpacing(), 0);
  EXPECT_EQ(tables->item(kItemCount), "");
  EXPECT_EQ(tables->itemSize(kItemCount), 0);

  tables->ensureLayout(2);  // already there: nothing is added
  EXPECT_EQ(tables->layoutCount(), 3);
}

TEST(LayoutTables, MakingALayoutExistIsAllOrNothing) {
  test::TempDir dir;
  auto tables = LayoutTables::open(dir.path());
  tables->ensureLayout(1);
  int posted = 0;
  tables->size().beforePost = [&posted](table::Cursor&) {
    if (++posted == 2) throw table::TableError("disk full");
  };
  EXPECT_THROW(tables->ensureLayout(4), table::TableError);
  EXPECT_EQ(tables->layoutCount(), 1);
  for (table::Cursor* c : {&tables->posX(), &tables->posY(), &tables->size()}) EXPECT_EQ(c->recordCount(), 1);
}

TEST(LayoutTables, AttributeTablesFollowTheLayoutTable) {
  test::TempDir dir;
  {
    auto tables = LayoutTables::open(dir.path());
    tables->ensureLayout(3);
    for (int n = 1; n <= 3; ++n) {
      tables->openLayout(n);
      tables->data().edit();
      tables->data().setText(kFirstItemField + 9, cp("氏名") + std::to_string(n));
      tables->data().setText(kShowDateUnitsField, "True");
      tables->data().post();
      for (auto* c : {&tables->posX(), &tables->posY(), &tables->size()}) {
        c->edit();
        c->setInteger(9, n * (c == &tables->size() ? 1 : 100));
        c->post();
      }
    }
  }
  auto tables = LayoutTables::open(dir.path());  // read back from the files
  struct Step {
    const char* name;
    std::function<void(LayoutTables&)> move;
    int layout;
  } const steps[] = {
      {"open 2", [](LayoutTables& t) { t.openLayout(2); }, 2},
      {"next", [](LayoutTables& t) { t.data().next(); }, 3},
      {"first", [](LayoutTables& t) { t.data().first(); }, 1},
      {"last", [](LayoutTables& t) { t.data().last(); }, 3},
      {"prior", [](LayoutTables& t) { t.data().prior(); }, 2},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    s.move(*tables);
    EXPECT_EQ(tables->current(), s.layout);
    EXPECT_EQ(tables->item(10), cp("氏名") + std::to_string(s.layout));
    EXPECT_TRUE(tables->showDateUnits());
    EXPECT_EQ(tables->itemX(10), s.layout * 100);
    EXPECT_EQ(tables->itemY(10), s.layout * 100);
    EXPECT_EQ(tables->itemSize(10), s.layout);
    EXPECT_EQ(tables->itemX(9), 0);
  }
  // A layout record without attribute records reads no other layout's positions.
  tables->data().append();
  tables->data().post();
  EXPECT_EQ(tables->current(), 4);
  EXPECT_EQ(tables->itemX(10), 0);
  EXPECT_EQ(tables->itemSize(10), 0);
}

TEST(LayoutTables, MillimetresAndLayoutUnits) {
  struct Case {
    int mm, units, back;
  } const cases[] = {{210, 795, 209}, {100, 379, 100}, {297, 1125, 296}, {0, 0, 0}, {10, 37, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mm);
    EXPECT_EQ(mmToLayoutUnits(c.mm), c.units);
    EXPECT_EQ(layoutUnitsToMm(c.units), c.back);
  }
}

TEST(LayoutTables, OnlyLayoutsNothingWasStoredIntoAreRemovedAndOnlyFromTheEnd) {
  test::TempDir dir;
  auto tables = LayoutTables::open(dir.path());
  tables->ensureLayout(1);
  tables->openLayout(1);
  tables->data().edit();
  tables->data().setText(kPrintNameField, cp("見積書"));
  tables->data().post();
  // Layout 2 gets a position, layout 4 a paper width; 3, 5 and 6 stay as they were made.
  tables->ensureLayout(6);
  tables->openLayout(2);
  tables->posX().edit();
  tables->posX().setInteger(0, 0);
  tables->posX().post();
  tables->openLayout(4);
  tables->data().edit();
  tables->data().setInteger(kPaperWidthField, 210);
  tables->data().post();

  struct Step {
    int first;
    int removed;
    int left;
  };
  // From 6 back: 6 and 5 go, 4 stops; 3 is blank but removing it would renumber 4.
  for (const Step& s : {Step{2, 2, 4}, Step{5, 0, 4}, Step{1, 0, 4}}) {
    SCOPED_TRACE(s.first);
    EXPECT_EQ(tables->removeUntouchedLayouts(s.first), s.removed);
    EXPECT_EQ(tables->layoutCount(), s.left);
    for (table::Cursor* c : {&tables->posX(), &tables->posY(), &tables->size()}) EXPECT_EQ(c->recordCount(), s.left);
  }
  tables->openLayout(1);
  EXPECT_EQ(tables->printName(), cp("見積書"));
  tables->openLayout(4);
  EXPECT_EQ(tables->paperWidth(), 210);

  // A layout record made alone by the navigator, without its attribute records, can go too.
  tables->data().append();
  tables->data().setText(kPaperWidthField, "10");
  tables->data().setText(kPaperHeightField, "10");
  tables->data().setText(kPrintFormField, "False");
  tables->data().post();
  EXPECT_EQ(tables->removeUntouchedLayouts(5), 1);
  EXPECT_EQ(tables->layoutCount(), 4);
}

}  // namespace
}  // namespace vendaro::formprint

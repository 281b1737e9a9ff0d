// The list page's grid as a round trip: estimates with every field filled are shown in the grid,
// every cell is opened and closed again as a person leaving it unchanged would, and the table
// must hold the same bytes afterwards; a cell a person does change changes that field alone.

#include <QAbstractItemDelegate>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "platform/ui/binding.h"
#include "platform/ui/qtext.h"
#include "support/estimate_samples.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::ui {
namespace {

std::vector<std::vector<std::string>> readAll(table::Cursor& c) {
  std::vector<std::vector<std::string>> rows;
  for (c.first(); !c.eof(); c.next()) {
    std::vector<std::string> row;
    for (int f = 0; f < c.schema().fieldCount(); ++f) row.push_back(c.text(f));
    rows.push_back(std::move(row));
  }
  return rows;
}

/// Names every cell whose bytes differ.
void expectSameCells(const std::vector<std::vector<std::string>>& actual,
                     const std::vector<std::vector<std::string>>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t r = 0; r < actual.size(); ++r)
    for (std::size_t f = 0; f < actual[r].size(); ++f)
      EXPECT_EQ(actual[r][f], expected[r][f]) << "row " << r << ", field " << sjis::toUtf8(book::estimateFieldName(static_cast<int>(f)));
}

class GridRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    estimates = book::openEstimateTable(dir.path());
    test::appendHardEstimates(*estimates, 9);
    before = readAll(*estimates);
    estimates->first();
    source = std::make_unique<DataSource>(*estimates);
    grid = std::make_unique<DBGrid>(source.get());
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<table::Cursor> estimates;
  std::unique_ptr<DataSource> source;
  std::unique_ptr<DBGrid> grid;
  std::vector<std::vector<std::string>> before;
};

TEST_F(GridRoundTrip, CellsLeftUnchangedKeepTheirBytes) {
  CursorModel* model = grid->cursorModel();
  ASSERT_EQ(model->rowCount(), static_cast<int>(before.size()));
  for (int r = 0; r < model->rowCount(); ++r) {
    for (int f = 0; f < model->columnCount(); ++f) {
      const QModelIndex cell = model->index(r, f);
      // What the cell shows is the field's text, with a replacement mark for bytes that are not
      // Shift-JIS.
      EXPECT_EQ(model->data(cell, Qt::DisplayRole).toString(), toQ(before[static_cast<std::size_t>(r)][static_cast<std::size_t>(f)]));
      // The grid's own editor opened on the cell and closed without typing.
      QStyleOptionViewItem option;
      std::unique_ptr<QWidget> editor(grid->itemDelegate()->createEditor(grid->viewport(), option, cell));
      ASSERT_NE(editor, nullptr);
      grid->itemDelegate()->setEditorData(editor.get(), cell);
      grid->itemDelegate()->setModelData(editor.get(), model, cell);
    }
  }
  ASSERT_TRUE(source->post());
  EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(u8(" | ")).toStdString();
  expectSameCells(readAll(*estimates), before);
}

TEST_F(GridRoundTrip, AChangedCellChangesThatFieldAlone) {
  CursorModel* model = grid->cursorModel();
  const int field = estimates->fieldIndex(sjis::lit("住所"));
  for (int r : {0, 4, 8}) {
    SCOPED_TRACE(r);
    ASSERT_TRUE(model->setData(model->index(r, field), u8("大阪府大阪市"), Qt::EditRole));
    ASSERT_TRUE(source->post());
    before[static_cast<std::size_t>(r)][static_cast<std::size_t>(field)] = sjis::lit("大阪府大阪市");
  }
  expectSameCells(readAll(*estimates), before);
}

}  // namespace
}  // namespace vendaro::ui

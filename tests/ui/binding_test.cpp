#include "platform/ui/binding.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::ui {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

const table::TableSchema& schema() {
  static const table::TableSchema s("Bind.DB",
                                    {{cp("番号"), table::FieldType::Integer, 8, true},
                                     {cp("名前"), table::FieldType::Text, 20, true},
                                     {cp("金額"), table::FieldType::Integer, 10, true}},
                                    {{0, false}});
  return s;
}

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cursor = table::Cursor::open(dir.path(), schema());
    for (int i = 1; i <= 3; ++i) cursor->appendRecord({std::to_string(i), "n" + std::to_string(i), std::string("100")});
    cursor->first();
    source = std::make_unique<DataSource>(*cursor);
  }

  /// Types into a line edit as a person would: the text arrives as an input method commit.
  static void type(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(&edit, &commit);
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<table::Cursor> cursor;
  std::unique_ptr<DataSource> source;
};

TEST_F(BindingTest, TypingStartsAnEditAndLeavingWritesTheRecord) {
  DBEdit name(source.get(), cp("名前"));
  EXPECT_EQ(name.text(), QStringLiteral("n1"));
  type(name, u8("佐藤"));
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(cursor->text(1), "n1");  // not yet written
  EXPECT_TRUE(source->next());       // moving writes and saves
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
  EXPECT_EQ(name.text(), QStringLiteral("n2"));
  source->first();
  EXPECT_EQ(name.text(), u8("佐藤"));
  EXPECT_EQ(cursor->text(1), cp("佐藤"));
}

TEST_F(BindingTest, LettersInAnAmountAreRefusedAndNothingIsLost) {
  DBEdit name(source.get(), cp("名前"));
  DBEdit amount(source.get(), cp("金額"));
  type(name, QStringLiteral("kept"));
  type(amount, QStringLiteral("12a"));
  EXPECT_FALSE(source->post());
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_EQ(dialogs.shown[0], u8("'12a' は項目 '金額' に適した整数値ではありません"));
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(amount.text(), QStringLiteral("12a"));
  EXPECT_EQ(name.text(), QStringLiteral("kept"));
  EXPECT_FALSE(source->next());  // nor can it be left by moving
  EXPECT_EQ(cursor->recNo(), 1);
  type(amount, QStringLiteral("1200"));
  EXPECT_TRUE(source->post());
  EXPECT_EQ(cursor->integer(2), 1200);
  EXPECT_EQ(cursor->text(1), "kept");
}

TEST_F(BindingTest, CancelDropsTypingAndAnUnchangedControlWritesNothing) {
  // A stored text with a byte that is not Shift-JIS: shown with a mark, never rewritten unless
  // the person changes it.
  cursor->edit();
  cursor->setText(1, std::string("A\x82", 2));
  cursor->post();
  DBEdit name(source.get(), cp("名前"));
  DBEdit amount(source.get(), cp("金額"));
  EXPECT_EQ(name.text(), QString::fromUtf8("A\xEF\xBF\xBD"));
  type(amount, QStringLiteral("5"));
  EXPECT_TRUE(source->post());
  EXPECT_EQ(cursor->text(1), std::string("A\x82", 2));
  type(amount, QStringLiteral("6"));
  source->cancel();
  EXPECT_EQ(amount.text(), QStringLiteral("5"));
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
}

TEST_F(BindingTest, CharactersWithoutAShiftJisFormAreRefused) {
  DBEdit name(source.get(), cp("名前"));
  type(name, QString::fromUtf8("車🚗"));
  EXPECT_FALSE(source->post());
  ASSERT_FALSE(dialogs.shown.isEmpty());
  EXPECT_TRUE(dialogs.shown.back().contains(QString::fromUtf8("🚗")));
}

TEST_F(BindingTest, MemoStoresLineEndsAsCrLfAndComboPicksWriteAtOnce) {
  DBMemo memo(source.get(), cp("名前"));
  memo.selectAll();
  memo.insertPlainText(QStringLiteral("a\nb"));  // a person's edit
  EXPECT_TRUE(source->post());
  EXPECT_EQ(cursor->text(1), "a\r\nb");
  DBComboBox combo(source.get(), cp("名前"));
  combo.setItems({QStringLiteral("x"), QStringLiteral("y")});
  EXPECT_EQ(combo.currentText(), QStringLiteral("a\r\nb"));
  combo.setCurrentIndex(1);
  emit combo.activated(1);
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_EQ(cursor->text(1), "y");
}

TEST_F(BindingTest, NavigatorAsksBeforeDeletingAndFollowsTheCursor) {
  DBNavigator nav(source.get(), {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                 DBNavigator::Post, DBNavigator::Delete, DBNavigator::Cancel, DBNavigator::Insert});
  nav.deleteQuestion = u8("レコードを削除してもよいですか？");
  EXPECT_FALSE(nav.button(DBNavigator::Prior)->isEnabled());
  EXPECT_TRUE(nav.button(DBNavigator::Next)->isEnabled());
  EXPECT_FALSE(nav.button(DBNavigator::Post)->isEnabled());
  EXPECT_EQ(nav.button(DBNavigator::Delete)->toolTip(), u8("レコードの削除"));

  dialogs.confirms = {false, true};
  nav.button(DBNavigator::Delete)->click();
  EXPECT_EQ(cursor->recordCount(), 3);
  nav.button(DBNavigator::Delete)->click();
  EXPECT_EQ(cursor->recordCount(), 2);
  EXPECT_EQ(dialogs.shown, QStringList({nav.deleteQuestion, nav.deleteQuestion}));

  nav.button(DBNavigator::Last)->click();
  EXPECT_FALSE(nav.button(DBNavigator::Next)->isEnabled());
  nav.button(DBNavigator::Insert)->click();
  EXPECT_EQ(cursor->state(), table::Cursor::State::Insert);
  EXPECT_TRUE(nav.button(DBNavigator::Post)->isEnabled());
  nav.button(DBNavigator::Cancel)->click();
  EXPECT_EQ(cursor->recordCount(), 2);
}

TEST_F(BindingTest, GridFollowsTheCursorAndReadsOnlyTheRowsItShows) {
  for (int i = 4; i <= 2000; ++i) cursor->appendRecord({std::to_string(i), std::string("x"), std::nullopt});
  source->refresh();
  DBGrid grid(source.get());
  grid.resize(400, 300);
  grid.show();
  QApplication::processEvents();
  EXPECT_EQ(grid.cursorModel()->rowCount(), 2000);
  EXPECT_LT(grid.cursorModel()->rowsRead(), 40);
  grid.verticalScrollBar()->setValue(1500);
  QApplication::processEvents();
  EXPECT_LT(grid.cursorModel()->rowsRead(), 80);

  source->moveTo(1000);
  EXPECT_EQ(grid.currentIndex().row(), 999);
  grid.setCurrentIndex(grid.cursorModel()->index(9, 1));
  EXPECT_EQ(cursor->recNo(), 10);
  EXPECT_TRUE(grid.cursorModel()->setData(grid.cursorModel()->index(4, 2), QStringLiteral("77"), Qt::EditRole));
  EXPECT_EQ(cursor->recNo(), 5);
  EXPECT_EQ(cursor->state(), table::Cursor::State::Edit);
  EXPECT_FALSE(grid.cursorModel()->setData(grid.cursorModel()->index(4, 2), QStringLiteral("x"), Qt::EditRole));
  EXPECT_TRUE(source->post());
  EXPECT_EQ(cursor->integer(2), 77);
}

TEST_F(BindingTest, AnInsertedRecordHasItsOwnRowInTheGridUntilItIsStored) {
  DBGrid grid(source.get());
  DBNavigator nav(source.get(), {DBNavigator::Post, DBNavigator::Cancel, DBNavigator::Insert});
  CursorModel* model = grid.cursorModel();
  auto header = [&](int row) { return model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(); };

  // Insert: a fourth row, marked and current, that takes typing.
  nav.button(DBNavigator::Insert)->click();
  ASSERT_EQ(model->rowCount(), 4);
  EXPECT_EQ(header(3), QStringLiteral("*"));
  EXPECT_EQ(header(0), QString());
  EXPECT_EQ(grid.currentIndex().row(), 3);
  EXPECT_TRUE(model->setData(model->index(3, 0), QStringLiteral("9"), Qt::EditRole));
  EXPECT_TRUE(model->setData(model->index(3, 1), u8("新規"), Qt::EditRole));
  EXPECT_EQ(model->data(model->index(3, 1), Qt::DisplayRole).toString(), u8("新規"));
  EXPECT_EQ(cursor->recordCount(), 3);  // not stored yet

  // Clicking another row stores it; it stays current where its order puts it.
  grid.setCurrentIndex(model->index(0, 1));
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
  ASSERT_EQ(cursor->recordCount(), 4);
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(cursor->text(1), cp("新規"));
  EXPECT_EQ(grid.currentIndex().row(), cursor->recNo() - 1);

  // An insert left untouched is dropped, and the row clicked becomes current.
  nav.button(DBNavigator::Insert)->click();
  ASSERT_EQ(model->rowCount(), 5);
  grid.setCurrentIndex(model->index(1, 1));
  EXPECT_EQ(cursor->state(), table::Cursor::State::Browse);
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(cursor->recNo(), 2);
  EXPECT_EQ(grid.currentIndex().row(), 1);

  // Cancel drops the typed row as well.
  nav.button(DBNavigator::Insert)->click();
  EXPECT_TRUE(model->setData(model->index(4, 1), QStringLiteral("x"), Qt::EditRole));
  nav.button(DBNavigator::Cancel)->click();
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(cursor->recordCount(), 4);
}

}  // namespace
}  // namespace vendaro::ui

// Two main windows, two seats, one book in a database on a real server: what each seat sees of the
// other's work, and a save over the other's change.
#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "app/ui/EstimateForm.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/pg_server.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using vendaro::ui::DBNavigator;
using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

class SharedBookWindows : public ::testing::Test {
 protected:
  void SetUp() override { setToday(Date{2003, 7, 4}); }
  void TearDown() override {
    a.reset();
    b.reset();
    setToday(std::nullopt);
  }

  void seed(std::initializer_list<std::pair<const char*, const char*>> estimates) {
    auto c = book::openEstimateTable(db.uri());
    for (const auto& [date, name] : estimates) {
      c->append();
      c->setText(cp("作成日"), cp(date));
      c->setText(cp("氏名"), cp(name));
      c->post();
    }
  }

  /// A seat: its own program directory and connection to the book.
  std::unique_ptr<TEstimateDataForm> seat(const test::TempDir& dir, const char* name) {
    auto form = createWindows(dir.path(), db.uri() + "&application_name=" + name);
    form->Timer1->stop();
    form->show();
    QApplication::processEvents();
    return form;
  }

  static QStringList tabs(TEstimateDataForm& form) {
    QStringList out;
    for (int i = 0; i < form.TabBar->count(); ++i) out << form.TabBar->tabText(i);
    return out;
  }

  static void type(TEstimateDataForm& form, const char* control, const QString& text) {
    auto* memo = form.control<QPlainTextEdit>(QString::fromLatin1(control));
    memo->setFocus();
    memo->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(memo, &commit);
  }

  static QString shownName(TEstimateDataForm& form) {
    return form.control<QPlainTextEdit>(QStringLiteral("YomiDBMemo1"))->toPlainText();
  }

  test::PgDatabase db;
  test::TempDir dirA, dirB;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> a, b;
};

TEST_F(SharedBookWindows, EachSeatSeesTheOthersNewEstimateAfterATabChangeOrARefresh) {
  seed({{"平成１５年０６月１０日", "既存"}});
  a = seat(dirA, "a");
  b = seat(dirB, "b");
  b->DBNavigator4->button(DBNavigator::Insert)->click();
  type(*b, "Memo1", u8("平成１５年０７月０１日"));
  type(*b, "YomiDBMemo1", u8("二番席の客"));
  b->DBNavigator1->button(DBNavigator::Post)->click();
  EXPECT_EQ(b->TotalPanel->text(), QStringLiteral("2"));
  EXPECT_EQ(a->TotalPanel->text(), QStringLiteral("1"));  // not yet read

  // A tab change reads the book again: the new month tab and the estimate show.
  a->TabBar->setCurrentIndex(2);
  a->TabBar->setCurrentIndex(0);
  EXPECT_EQ(a->TotalPanel->text(), QStringLiteral("2"));
  EXPECT_EQ(shownName(*a), u8("二番席の客"));  // the newest first
  EXPECT_EQ(tabs(*a), QStringList({u8("全て"), u8("個人"), u8("平成１５年０７月"), u8("平成１５年０６月")}));

  // The other way round, by the refresh command.
  a->DBNavigator4->button(DBNavigator::Insert)->click();
  type(*a, "Memo1", u8("平成１５年０８月０１日"));
  type(*a, "YomiDBMemo1", u8("一番席の客"));
  a->DBNavigator1->button(DBNavigator::Post)->click();
  EXPECT_EQ(b->TotalPanel->text(), QStringLiteral("2"));
  QAction* refresh = b->menuItem(QStringLiteral("Refresh1"));
  ASSERT_TRUE(refresh);
  EXPECT_TRUE(refresh->isEnabled());
  EXPECT_EQ(refresh->shortcut(), QKeySequence(Qt::Key_F5));
  refresh->trigger();
  EXPECT_EQ(b->TotalPanel->text(), QStringLiteral("3"));
  EXPECT_EQ(shownName(*b), u8("二番席の客"));  // the estimate on the sheet stays, now second
  EXPECT_EQ(b->estimates().recNo(), 2);
  b->DBNavigator1->button(DBNavigator::First)->click();
  EXPECT_EQ(shownName(*b), u8("一番席の客"));
  EXPECT_EQ(tabs(*b).size(), 5);
}

TEST_F(SharedBookWindows, ASaveOverTheOtherSeatsChangeIsRefusedAndTheEditStays) {
  seed({{"平成１５年０６月１０日", "元の名前"}});
  a = seat(dirA, "a");
  b = seat(dirB, "b");
  type(*b, "YomiDBMemo1", u8("二番席の直し"));
  b->DBNavigator1->button(DBNavigator::Post)->click();

  type(*a, "YomiDBMemo1", u8("一番席の直し"));
  a->DBNavigator1->button(DBNavigator::Post)->click();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(u8("他の席で変更されたため保存できません"))) << dialogs.shown[0].toStdString();
  EXPECT_EQ(a->estimates().state(), table::Cursor::State::Edit);
  EXPECT_EQ(shownName(*a), u8("一番席の直し"));

  // Cancelling shows what the book holds; typed again, the save goes through.
  a->DBNavigator3->button(DBNavigator::Cancel)->click();
  EXPECT_EQ(shownName(*a), u8("二番席の直し"));
  type(*a, "YomiDBMemo1", u8("一番席の直し"));
  a->DBNavigator1->button(DBNavigator::Post)->click();
  EXPECT_EQ(dialogs.shown.size(), 1);
  b->menuItem(QStringLiteral("Refresh1"))->trigger();
  EXPECT_EQ(shownName(*b), u8("一番席の直し"));
}

TEST_F(SharedBookWindows, AnEstimateTheOtherSeatDeletedIsLeftForTheNextWithAHint) {
  seed({{"平成１５年０６月１０日", "古い"}, {"平成１５年０６月２０日", "新しい"}});
  a = seat(dirA, "a");
  b = seat(dirB, "b");
  EXPECT_EQ(shownName(*a), u8("新しい"));
  dialogs.confirms = {true};  // the delete question
  b->DBNavigator2->button(DBNavigator::Delete)->click();
  EXPECT_EQ(shownName(*b), u8("古い"));

  a->DBNavigator1->button(DBNavigator::Next)->click();
  a->DBNavigator1->button(DBNavigator::Prior)->click();  // back to where the deleted one was
  EXPECT_EQ(shownName(*a), u8("古い"));
  EXPECT_TRUE(a->statusBar()->currentMessage().contains(u8("他の席で削除された"))) << a->statusBar()->currentMessage().toStdString();
  EXPECT_EQ(a->TotalPanel->text(), QStringLiteral("1"));
}

}  // namespace
}  // namespace vendaro::app::ui

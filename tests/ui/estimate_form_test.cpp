#include "app/ui/EstimateForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QStatusBar>
#include <fstream>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/ui/DateSetDlg.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/failing_disk.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// A program directory with estimates created on the given dates (UTF-8 era date texts).
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { setToday(Date{2003, 7, 4}); }
  void TearDown() override {
    form.reset();
    setToday(std::nullopt);
  }

  void seed(std::initializer_list<std::pair<const char*, const char*>> estimates) {
    auto c = book::openEstimateTable(cardata());
    for (const auto& [date, name] : estimates) {
      c->append();
      c->setText(cp("作成日"), cp(date));
      c->setText(cp("氏名"), cp(name));
      c->post();
    }
  }

  std::string cardata() const { return dir.file("CARDATA"); }
  void open() {
    form = createWindows(dir.path(), cardata());
    form->Timer1->stop();  // the first-tick prompts have tests of their own
    form->show();
    QApplication::processEvents();
  }
  QStringList tabs() const {
    QStringList out;
    for (int i = 0; i < form->TabBar->count(); ++i) out << form->TabBar->tabText(i);
    return out;
  }
  QString current(const char* field) { return vendaro::ui::toQ(form->estimates().text(cp(field))); }
  /// Types into a bound control as a person would: the text arrives as an input method commit.
  static void type(QWidget* control, const QString& text) {
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) memo->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(control, &commit);
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> form;
};

TEST_F(MainWindowTest, StartsOnTheNewestEstimateWithMonthTabsNewestFirst) {
  seed({{"平成１５年０２月２８日", "b"}, {"平成１４年１１月０５日", "a"}, {"平成１５年０１月１０日", "c"}});
  open();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Vendaro For Win32"));
  EXPECT_EQ(current("作成日"), u8("平成１５年０２月２８日"));
  EXPECT_EQ(form->estimates().indexName(), cp("降順"));
  EXPECT_EQ(tabs(), QStringList({u8("全て"), u8("個人"), u8("平成１５年０２月"), u8("平成１５年０１月"),
                                 u8("平成１４年１２月"), u8("平成１４年１１月")}));
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("3"));
  EXPECT_EQ(form->Commant2Panel->text(), u8("件"));
  EXPECT_TRUE(form->DBGrid1->isColumnHidden(0));
}

TEST_F(MainWindowTest, SettlementDayTwentyShiftsTheMonths) {
  seed({{"平成１５年０２月２８日", "b"}, {"平成１４年１１月０５日", "a"}});
  { std::ofstream(dir.file("Estimate.INI"), std::ios::binary) << "20\r\nFalse\r\n"; }
  open();
  EXPECT_TRUE(form->menuItem(QStringLiteral("settle5"))->isChecked());
  EXPECT_FALSE(form->menuItem(QStringLiteral("settle1"))->isChecked());
  ASSERT_EQ(tabs().size(), 2 + 5);
  EXPECT_EQ(tabs()[2], u8("平成１５年０３月"));
  EXPECT_EQ(tabs().back(), u8("平成１４年１１月"));
  const auto& march = form->monthTabs()[0];
  EXPECT_EQ(vendaro::ui::toQ(march.periodStart), u8("平成１５年０２月２１日"));
  EXPECT_EQ(vendaro::ui::toQ(march.periodEnd), u8("平成１５年０３月２０日"));
  form->TabBar->setCurrentIndex(2);  // the estimate of 28 February belongs to March
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("1"));
  EXPECT_EQ(current("作成日"), u8("平成１５年０２月２８日"));
  form->TabBar->setCurrentIndex(3);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("0"));

  form->menuItem(QStringLiteral("settle1"))->trigger();  // month end: rebuilt at once, "全て" chosen
  EXPECT_EQ(tabs()[2], u8("平成１５年０２月"));
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_TRUE(form->menuItem(QStringLiteral("settle1"))->isChecked());
  EXPECT_EQ(slurp(dir.file("Estimate.INI")), "20\r\nFalse\r\n");  // written only at close
}

TEST_F(MainWindowTest, SettingsFilesAreReadLeniently) {
  struct Case {
    const char* content;
    int day;
    const char* checked;  // the 決済日 item with the check mark, or "" for none
    bool limit;
  } cases[] = {
      {"15\r\nTrue\r\n", 15, "settle4", true},
      {"7\r\n", 7, "", false},
      {"abc\r\ntrue\r\n", 0, "settle1", false},
      {"", 0, "settle1", false},
  };
  seed({{"平成１５年０２月２８日", "b"}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content);
    { std::ofstream(dir.file("Estimate.INI"), std::ios::binary) << c.content; }
    open();
    EXPECT_EQ(form->settlementDay(), c.day);
    for (int i = 1; i <= 6; ++i) {
      QString name = QStringLiteral("settle%1").arg(i);
      EXPECT_EQ(form->menuItem(name)->isChecked(), name == QString::fromLatin1(c.checked)) << name.toStdString();
    }
    EXPECT_EQ(form->menuItem(QStringLiteral("Limit1"))->isChecked(), c.limit);
    form.reset();
  }
}

TEST_F(MainWindowTest, PersonTabFiltersOnTheExactName) {
  seed({{"平成１５年０１月１０日", "O'Brien"}, {"平成１５年０２月１０日", "O'Brien"}, {"平成１５年０３月１０日", "O"}});
  open();
  form->dataSource().moveTo(2);
  ASSERT_EQ(current("氏名"), QStringLiteral("O'Brien"));
  form->TabBar->setCurrentIndex(1);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("2"));
  form->TabBar->setCurrentIndex(0);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("3"));
}

TEST_F(MainWindowTest, SavingInAMonthTabReturnsToAllAndDerivesTheItemNumber) {
  seed({{"平成１５年０２月２８日", "b"}, {"平成１４年１１月０５日", "a"}});
  open();
  form->TabBar->setCurrentIndex(5);  // 平成１４年１１月
  ASSERT_EQ(form->TotalPanel->text(), QStringLiteral("1"));
  auto* memo = form->control<vendaro::ui::DBMemo>(QStringLiteral("Memo1"));
  type(memo, u8("平成１５年０３月０１日"));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  EXPECT_TRUE(form->dataSource().post());
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_FALSE(form->estimates().filtered());
  EXPECT_EQ(form->estimates().integer(cp("項番")), 20030301);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("2"));
  EXPECT_EQ(tabs()[2], u8("平成１５年０３月"));
}

TEST_F(MainWindowTest, TheEstimateJustSavedStaysCurrentAndPersonListsItsCustomer) {
  // In "全て" (newest first) record 1 is the estimate of c; the tab 平成１５年０１月 holds only a's.
  seed({{"平成１４年１２月１０日", "a"}, {"平成１５年０１月１０日", "a"}, {"平成１５年０３月１０日", "c"}});
  open();
  auto* comment = form->control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo8"));
  const int january = static_cast<int>(tabs().indexOf(u8("平成１５年０１月")));

  // Saved with the navigator in a month tab: "全て" again, on the estimate just saved.
  form->TabBar->setCurrentIndex(january);
  ASSERT_EQ(current("氏名"), QStringLiteral("a"));
  type(comment, u8("保存"));
  ASSERT_TRUE(form->dataSource().post());
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_FALSE(form->estimates().filtered());
  EXPECT_EQ(current("作成日"), u8("平成１５年０１月１０日"));
  EXPECT_EQ(current("コメント"), u8("保存"));
  EXPECT_EQ(comment->toPlainText(), u8("保存"));

  // "個人" chosen with an edit pending: saved first, then every estimate of that customer.
  form->TabBar->setCurrentIndex(january);
  type(comment, u8("個人へ"));
  form->TabBar->setCurrentIndex(1);
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  EXPECT_EQ(form->TabBar->currentIndex(), 1);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("2"));
  EXPECT_EQ(current("氏名"), QStringLiteral("a"));

  // A new estimate saved while "個人" is open is the current one afterwards as well.
  form->DBNavigator4->button(vendaro::ui::DBNavigator::Insert)->click();
  type(form->control<vendaro::ui::DBMemo>(QStringLiteral("YomiDBMemo1")), QStringLiteral("new"));
  ASSERT_TRUE(form->dataSource().post());
  EXPECT_EQ(current("氏名"), QStringLiteral("new"));
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("4"));
}

TEST_F(MainWindowTest, ARefusedSaveLeavesTabSettlementDayAndFilterAsTheyWere) {
  seed({{"平成１５年０１月１０日", "x"}, {"平成１５年０２月１０日", "y"}, {"平成１５年０２月２０日", "z"}});
  open();
  const int february = static_cast<int>(tabs().indexOf(u8("平成１５年０２月")));
  form->TabBar->setCurrentIndex(february);
  ASSERT_EQ(form->TotalPanel->text(), QStringLiteral("2"));
  auto* amount = form->control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit1"));
  type(amount, QStringLiteral("abc"));
  const QStringList before = tabs();
  auto unchanged = [&](const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(form->TabBar->currentIndex(), february);
    EXPECT_TRUE(form->estimates().filtered());
    EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("2"));
    EXPECT_EQ(form->settlementDay(), 0);
    EXPECT_TRUE(form->menuItem(QStringLiteral("settle1"))->isChecked());
    EXPECT_FALSE(form->menuItem(QStringLiteral("settle5"))->isChecked());
    EXPECT_EQ(tabs(), before);
    EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
    EXPECT_EQ(amount->text(), QStringLiteral("abc"));  // the typing is kept for mending
  };

  const size_t shown = dialogs.shown.size();
  form->TabBar->setCurrentIndex(0);
  EXPECT_EQ(dialogs.shown.size(), shown + 1);  // the engine's message about the amount
  unchanged("tab 全て chosen");
  form->TabBar->setCurrentIndex(1);
  unchanged("tab 個人 chosen");
  form->menuItem(QStringLiteral("settle5"))->trigger();
  unchanged("settlement day 20 chosen");

  // Mended, the same choice takes full effect.
  type(amount, QStringLiteral("1000"));
  form->menuItem(QStringLiteral("settle5"))->trigger();
  EXPECT_EQ(form->settlementDay(), 20);
  EXPECT_TRUE(form->menuItem(QStringLiteral("settle5"))->isChecked());
  EXPECT_FALSE(form->menuItem(QStringLiteral("settle1"))->isChecked());
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_EQ(form->estimates().integer(cp("車両価格1")), 1000);
  EXPECT_EQ(current("氏名"), QStringLiteral("z"));  // the estimate that was saved
  form->TabBar->setCurrentIndex(static_cast<int>(tabs().indexOf(u8("平成１５年０２月"))));
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("2"));  // 21 January to 20 February: y and z
}

TEST_F(MainWindowTest, LettersInAnAmountBoxAreRefusedAndNothingIsLost) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  auto* amount = form->control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit1"));
  auto* comment = form->control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo8"));
  EXPECT_FALSE(amount->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_TRUE(comment->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_TRUE(form->control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit75"))->isReadOnly());
  type(comment, u8("ご検討ください"));
  type(amount, QStringLiteral("abc"));
  EXPECT_FALSE(form->dataSource().post());
  EXPECT_EQ(dialogs.shown.back(), u8("車両本体価格：'abc' は項目 '車両価格1' に適した整数値ではありません"));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  EXPECT_EQ(comment->toPlainText(), u8("ご検討ください"));
  type(amount, QStringLiteral("1500000"));
  EXPECT_TRUE(form->dataSource().post());
  EXPECT_EQ(form->estimates().integer(cp("車両価格1")), 1500000);
  EXPECT_EQ(current("コメント"), u8("ご検討ください"));
}

TEST_F(MainWindowTest, APostOnAFullDiskIsReportedAndKeepsEverythingTyped) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  auto* name = form->control<vendaro::ui::DBMemo>(QStringLiteral("YomiDBMemo1"));
  auto* amount = form->control<vendaro::ui::DBEdit>(QStringLiteral("DBEdit1"));
  type(name, u8("山田　太郎"));
  type(amount, QStringLiteral("1500000"));
  dialogs.shown.clear();
  {
    test::FullDiskScope full;
    form->DBNavigator1->button(vendaro::ui::DBNavigator::Post)->click();
  }
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(u8("Estimate.DB"))) << dialogs.shown[0].toStdString();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  EXPECT_EQ(name->toPlainText(), u8("山田　太郎"));
  EXPECT_EQ(amount->text(), QStringLiteral("1500000"));
  // With room again, the same post stores what was typed.
  form->DBNavigator1->button(vendaro::ui::DBNavigator::Post)->click();
  EXPECT_EQ(dialogs.shown.size(), 1);
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  form.reset();
  auto stored = book::openEstimateTable(cardata());
  stored->first();
  EXPECT_EQ(stored->text(cp("氏名")), cp("山田　太郎"));
  EXPECT_EQ(stored->integer(cp("車両価格1")), 1500000);
}

TEST_F(MainWindowTest, DatesTypedByHandBecomeEraDateTextsOnLeavingTheBox) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  struct Case {
    const char* box;
    const char* typed;
    const char* stored;
    bool hint;  // told it is no date
  } cases[] = {
      {"Memo1", "2026/12/20", "令和０８年１２月２０日", false},
      {"Memo1", "2026-12-20", "令和０８年１２月２０日", false},
      {"Memo1", "20261220", "令和０８年１２月２０日", false},
      {"Memo1", "R8.12.20", "令和０８年１２月２０日", false},
      {"Memo1", "令和8年12月20日", "令和０８年１２月２０日", false},
      {"DBMemo31", "H31.4.30", "平成３１年０４月３０日", false},
      {"DBMemo31", "未定", "未定", true},
      {"DBMemo31", "2026/2/30", "2026/2/30", true},
  };
  auto* comment = form->control<QWidget>(QStringLiteral("DBMemo8"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    form->statusBar()->clearMessage();
    auto* box = form->control<vendaro::ui::DBMemo>(QString::fromLatin1(c.box));
    type(box, u8(c.typed));
    comment->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(current(std::string(c.box) == "Memo1" ? "作成日" : "見積有効期限"), u8(c.stored));
    EXPECT_EQ(box->toPlainText(), u8(c.stored));
    EXPECT_EQ(form->statusBar()->currentMessage().contains(u8(c.typed)), c.hint) << form->statusBar()->currentMessage().toStdString();
  }
  // Filed under the month of the day typed.
  ASSERT_TRUE(form->dataSource().post());
  EXPECT_EQ(form->estimates().integer(cp("項番")), 20261220);
  EXPECT_TRUE(tabs().contains(u8("令和０８年１２月")));
  // Leaving a date box without typing leaves even a text that is no date alone, and says nothing.
  form->statusBar()->clearMessage();
  form->control<QWidget>(QStringLiteral("DBMemo31"))->setFocus();
  QApplication::processEvents();
  comment->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
}

TEST_F(MainWindowTest, EveryEnterMovesTheFocusAndInsertsNoLineBreak) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  form->activateWindow();
  struct Case {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  } cases[] = {
      {"main Enter", Qt::Key_Return, Qt::NoModifier},
      {"number pad Enter", Qt::Key_Enter, Qt::KeypadModifier},
      {"Shift+Enter", Qt::Key_Return, Qt::ShiftModifier},
      {"Shift with the number pad's Enter", Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier},
  };
  for (const char* name : {"DBMemo8", "DBEdit1", "DBComboBox1"}) {
    QWidget* control = form->control(QString::fromLatin1(name));
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(name) + ": " + c.what);
      control->setFocus();
      QApplication::processEvents();
      ASSERT_EQ(QApplication::focusWidget(), control->focusProxy() ? control->focusProxy() : control);
      QKeyEvent enter(QEvent::KeyPress, c.key, c.modifiers, QStringLiteral("\r"));
      QApplication::sendEvent(QApplication::focusWidget(), &enter);
      EXPECT_TRUE(enter.isAccepted());
      EXPECT_FALSE(control->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == control);
    }
  }
  EXPECT_EQ(form->control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo8"))->toPlainText(), QString());
  EXPECT_EQ(current("コメント"), QString());
}

TEST_F(MainWindowTest, TheWheelChangesOnlyTheBoxWithTheFocusAndElseScrollsTheSheet) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  form->resize(1000, 600);  // the sheet is longer than its box
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* scroll = form->control<QScrollArea>(QStringLiteral("ScrollBox1"));
  QScrollBar* bar = scroll->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  auto wheel = [](QWidget* over) {
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent down(at, over->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &down);
  };
  form->control(QStringLiteral("DBMemo8"))->setFocus();
  for (const char* name : {"DBComboBox10", "DBComboBox12", "DBComboBox2"}) {
    SCOPED_TRACE(name);
    auto* box = form->control<QComboBox>(QString::fromLatin1(name));
    const QString text = box->currentText();
    const int top = bar->value();
    wheel(box);
    EXPECT_EQ(box->currentText(), text);
    EXPECT_GT(bar->value(), top);
    EXPECT_FALSE(box->hasFocus());
    EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
    bar->setValue(0);
  }
  // Chosen with a click or a key, the box takes the wheel.
  auto* months = form->control<QComboBox>(QStringLiteral("DBComboBox10"));
  months->setFocus();
  wheel(months);
  const QString turned = months->currentText();
  EXPECT_NE(turned, QString());
  EXPECT_EQ(current("税金月数"), turned);
}

TEST_F(MainWindowTest, ClosingWithAPendingEstimateAsksAndKeepsTheSettings) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  const QString question = u8("登録していません！\r登録してよろしいですか？");
  auto change = [&](const char* date) {
    type(form->control<vendaro::ui::DBMemo>(QStringLiteral("Memo1")), u8(date));
  };

  change("平成１５年０３月０１日");
  dialogs.answers = {vendaro::ui::Dialogs::Answer::Cancel};
  EXPECT_FALSE(form->close());
  EXPECT_EQ(dialogs.shown.back(), question);
  EXPECT_EQ(slurp(dir.file("Estimate.INI")), "0\r\nFalse\r\n");  // written even when cancelled
  EXPECT_EQ(slurp(dir.file("EsWidth.INI")), "370\r\n");
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);

  dialogs.answers = {vendaro::ui::Dialogs::Answer::No};
  EXPECT_TRUE(form->close());
  form.reset();
  open();
  EXPECT_EQ(current("作成日"), u8("平成１５年０２月２８日"));

  change("平成１５年０３月０１日");
  form->setLeftColumnWidth(420);
  form->menuItem(QStringLiteral("Limit1"))->trigger();
  dialogs.answers = {vendaro::ui::Dialogs::Answer::Yes};
  EXPECT_TRUE(form->close());
  EXPECT_EQ(slurp(dir.file("Estimate.INI")), "0\r\nTrue\r\n");
  EXPECT_EQ(slurp(dir.file("EsWidth.INI")), "420\r\n");
  form.reset();
  open();
  EXPECT_EQ(current("作成日"), u8("平成１５年０３月０１日"));
  EXPECT_EQ(form->estimates().integer(cp("項番")), 20030301);
  EXPECT_EQ(form->leftColumnWidth(), 420);
  EXPECT_EQ(form->Panel4->width(), 420);
  EXPECT_TRUE(form->menuItem(QStringLiteral("Limit1"))->isChecked());
}

TEST_F(MainWindowTest, AnEmptyTableShowsOnlyTheFixedTabsAndCountsZero) {
  open();
  EXPECT_EQ(tabs(), QStringList({u8("全て"), u8("個人")}));
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("0"));
  form->DBNavigator4->button(vendaro::ui::DBNavigator::Insert)->click();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Insert);
  type(form->control<vendaro::ui::DBMemo>(QStringLiteral("YomiDBMemo1")), u8("新規"));
  form->DBNavigator1->button(vendaro::ui::DBNavigator::Post)->click();
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("1"));
  EXPECT_EQ(form->estimates().integer(cp("項番")), 20030704);  // no creation date: today
  EXPECT_EQ(tabs(), QStringList({u8("全て"), u8("個人"), u8("平成１５年０７月")}));
}

/// Answers the date dialog by clicking a day (15 to 21, shown once on any page), as a person would.
int clickDay(QDialog& dialog, int day) {
  auto& dlg = static_cast<book::ui::TDateSDlg&>(dialog);
  dlg.show();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
  auto* days = qobject_cast<QAbstractItemView*>(dlg.Calendar1->focusProxy());
  QAbstractItemModel* model = days->model();
  for (int r = 0; r < model->rowCount(); ++r)
    for (int c = 0; c < model->columnCount(); ++c)
      if (model->index(r, c).data().toString() == QString::number(day))
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(model->index(r, c)).center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.isVisible(); }, 2000));
  return dlg.result();
}

TEST_F(MainWindowTest, DoubleClickOnADateFieldPicksOnTheCalendar) {
  seed({{"平成１５年０２月２８日", "b"}});
  open();
  auto* created = form->control<vendaro::ui::DBMemo>(QStringLiteral("Memo1"));
  // Closed without a pick: nothing changes.
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(static_cast<book::ui::TDateSDlg&>(d).calendarDate(), (Date{2003, 2, 28}));
    return int(QDialog::Rejected);
  });
  emit created->doubleClicked();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  EXPECT_EQ(current("作成日"), u8("平成１５年０２月２８日"));

  // A new estimate stays in insert state and takes the picked date.
  form->DBNavigator4->button(vendaro::ui::DBNavigator::Insert)->click();
  dialogs.modals.push_back([](QDialog& d) { return clickDay(d, 20); });
  emit form->control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo31"))->doubleClicked();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Insert);
  EXPECT_EQ(current("見積有効期限"), u8("平成１５年０７月２０日"));  // an empty field opens on today
  EXPECT_EQ(form->control<vendaro::ui::DBMemo>(QStringLiteral("DBMemo31"))->toPlainText(), u8("平成１５年０７月２０日"));
}

TEST_F(MainWindowTest, MenuHasItsItemsCaptionsAndShortcuts) {
  open();
  struct Case {
    const char* name;
    const char* caption;
    const char* shortcut;
  } cases[] = {
      {"Back1", "ﾊﾞｯｸｱｯﾌﾟ(&B)", "Ctrl+B"}, {"ReSt1", "ﾘｽﾄｱ(&R)", "Ctrl+R"},  {"PrintB", "一覧印刷(&P)", "Ctrl+P"},
      {"Exit1", "終了(&X)", ""},            {"N3", "現在のデータを複写", "F9"}, {"settle2", "　５日", ""},
      {"Limit1", "期間限定", ""},           {"Find2", "検索(&F)", "Ctrl+F"},     {"FindNext1", "次を検索(&S)", "F3"},
      {"FindBack1", "前を検索(&B)", "Shift+F3"}, {"Var1", "ﾊﾞｰｼﾞｮﾝ情報（&A)", ""}, {"N22", "クレジット", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QAction* a = form->menuItem(QString::fromLatin1(c.name));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), u8(c.caption));
    EXPECT_EQ(a->shortcut().toString(), QString::fromLatin1(c.shortcut));
  }
  EXPECT_FALSE(form->menuItem(QStringLiteral("N22"))->isEnabled());  // it has no action at all
  EXPECT_TRUE(form->menuItem(QStringLiteral("Exit1"))->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), u8("ﾊﾞｰｼﾞｮﾝ情報"));
    return int(QDialog::Accepted);
  });
  form->menuItem(QStringLiteral("Var1"))->trigger();
  EXPECT_TRUE(dialogs.modals.empty());
}

}  // namespace
}  // namespace vendaro::app::ui

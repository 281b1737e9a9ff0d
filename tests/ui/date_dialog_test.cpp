#include "book/ui/DateSetDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "book/eradate.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"

namespace vendaro::book::ui {
namespace {

using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

std::string show(const Date& d) {
  return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

class DateDialogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (dlg.isVisible()) dlg.reject();
  }

  /// Shows the dialog on `date` as a caller does and waits until it has the focus.
  void open(const Date& date) {
    dlg.setDate(date);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
  }

  QAbstractItemView* days() { return qobject_cast<QAbstractItemView*>(dlg.Calendar1->focusProxy()); }

  /// Where the day `day` (15 to 21, which the calendar's page shows only once) is drawn.
  QPoint cellOf(int day) {
    QAbstractItemModel* model = days()->model();
    for (int r = 0; r < model->rowCount(); ++r)
      for (int c = 0; c < model->columnCount(); ++c) {
        QModelIndex index = model->index(r, c);
        if (index.data(Qt::DisplayRole).toString() == QString::number(day)) return days()->visualRect(index).center();
      }
    ADD_FAILURE() << "day " << day << " not on the calendar";
    return {};
  }

  void clickDay(int day) { QTest::mouseClick(days()->viewport(), Qt::LeftButton, {}, cellOf(day)); }

  bool closes() {
    return QTest::qWaitFor([&] { return !dlg.isVisible(); }, 2000);
  }

  /// The era and year boxes show the calendar's year.
  void expectBoxesAgree() {
    int base = 0;
    for (int i = 0; i < era::kEraCount; ++i)
      if (dlg.YearLabel->text() == vendaro::ui::toQ(era::eraName(i))) base = era::eras()[i].base;
    ASSERT_NE(base, 0) << dlg.YearLabel->text().toStdString();
    EXPECT_EQ(base + dlg.YearEdit->value(), dlg.calendarDate().year);
  }

  TDateSDlg dlg;
};

TEST_F(DateDialogTest, ControlsCarryTheirNames) {
  EXPECT_EQ(dlg.windowTitle(), u8("日付設定"));
  EXPECT_EQ(dlg.YearLabel->text(), u8("平成"));
  for (const char* name : {"Panel2", "YearLabel", "YearEdit", "Edit1", "MonthEdit", "Calendar1", "DateEdit"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(dlg.findChild<QWidget*>(QString::fromLatin1(name)), nullptr);
  }
  for (const char* name : {"Timer1", "Timer2", "Timer3"}) {
    SCOPED_TRACE(name);
    auto* timer = dlg.findChild<QTimer*>(QString::fromLatin1(name));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 10);
    EXPECT_FALSE(timer->isActive());
  }
  EXPECT_EQ(dlg.YearEdit->maximum(), 100000);
  EXPECT_EQ(dlg.Calendar1->firstDayOfWeek(), Qt::Sunday);
  for (QWidget* w : {static_cast<QWidget*>(dlg.YearEdit), static_cast<QWidget*>(dlg.MonthEdit),
                     static_cast<QWidget*>(dlg.Edit1)})
    EXPECT_FALSE(w->testAttribute(Qt::WA_InputMethodEnabled)) << w->objectName().toStdString();
  EXPECT_EQ(dlg.calendarDate(), today());
}

TEST_F(DateDialogTest, ShowingPutsTheCalendarYearInItsEra) {
  struct Case {
    Date date;
    const char* era;
    int year;
  };
  const Case cases[] = {
      {{1867, 5, 1}, "明治", 0},  {{1900, 1, 1}, "明治", 33},  {{1911, 12, 31}, "明治", 44},
      {{1912, 1, 1}, "大正", 1},  {{1925, 6, 1}, "大正", 14},  {{1926, 6, 1}, "昭和", 1},
      {{1988, 2, 29}, "昭和", 63}, {{1989, 1, 1}, "平成", 1},  {{2018, 12, 31}, "平成", 30},
      {{2019, 1, 1}, "令和", 1},  {{2024, 7, 15}, "令和", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.date));
    open(c.date);
    EXPECT_EQ(dlg.YearLabel->text(), u8(c.era));
    EXPECT_EQ(dlg.YearEdit->value(), c.year);
    EXPECT_EQ(dlg.MonthEdit->value(), c.date.month);
    EXPECT_EQ(dlg.calendarDate(), c.date);
    dlg.reject();
  }
}

TEST_F(DateDialogTest, TheYearBoxCrossesEraEnds) {
  struct Case {
    Date start;
    int value;  // put into the year box
    const char* era;
    int year;
    int calendarYear;
  };
  const Case cases[] = {
      {{1988, 6, 1}, 64, "平成", 1, 1989},      {{1900, 6, 1}, 100, "昭和", 42, 1967},
      {{1900, 6, 1}, 45, "大正", 1, 1912},      {{1915, 6, 1}, 0, "明治", 44, 1911},
      {{1915, 6, 1}, 15, "昭和", 1, 1926},      {{1930, 6, 1}, 0, "大正", 14, 1925},
      {{2000, 6, 1}, 0, "昭和", 63, 1988},      {{2000, 6, 1}, 31, "令和", 1, 2019},
      {{2000, 6, 1}, 36, "令和", 6, 2024},      {{2020, 6, 1}, 0, "平成", 30, 2018},
      {{1900, 6, 1}, 0, "明治", 0, 1867},       {{2000, 6, 1}, 30, "平成", 30, 2018},
      {{1900, 6, 1}, 100000, "令和", 7981, 9999},  // beyond the calendar: its last year
      {{2020, 6, 1}, 8000, "令和", 7981, 9999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.start) + " <- " + std::to_string(c.value));
    open(c.start);
    dlg.YearEdit->setValue(c.value);
    EXPECT_EQ(dlg.YearLabel->text(), u8(c.era));
    EXPECT_EQ(dlg.YearEdit->value(), c.year);
    EXPECT_EQ(dlg.calendarDate(), (Date{c.calendarYear, 6, 1}));
    EXPECT_TRUE(dlg.isVisible());  // moving the calendar is not a pick
    dlg.reject();
    EXPECT_EQ(dlg.resultText(), "");
  }
}

TEST_F(DateDialogTest, TypingIntoTheYearBox) {
  open({1988, 6, 1});
  ASSERT_EQ(dlg.YearEdit->value(), 63);
  dlg.YearEdit->setFocus();
  dlg.YearEdit->selectAll();
  QTest::keyClicks(dlg.YearEdit, QStringLiteral("64"));
  EXPECT_EQ(dlg.YearLabel->text(), u8("平成"));
  EXPECT_EQ(dlg.YearEdit->value(), 1);
  EXPECT_EQ(dlg.calendarDate(), (Date{1989, 6, 1}));
}

TEST_F(DateDialogTest, TheDayFollowsShorterMonthsAndYears) {
  struct Case {
    Date start;
    int yearValue;  // value to put into the year box, -1 to leave it
    int month;      // month to put into the month box, 0 to leave it
    Date expected;
  };
  const Case cases[] = {
      {{2020, 2, 29}, 3, 0, {2021, 2, 28}},  // 29 February of a common year never arises
      {{2020, 2, 29}, 6, 0, {2024, 2, 29}},   {{1904, 2, 29}, 38, 0, {1905, 2, 28}},
      {{1988, 2, 29}, 64, 0, {1989, 2, 28}},  // across an era: 昭和 64 is 平成 1
      {{2021, 1, 31}, -1, 2, {2021, 2, 28}},  {{2024, 1, 31}, -1, 2, {2024, 2, 29}},
      {{2021, 3, 31}, -1, 4, {2021, 4, 30}},  {{2021, 5, 31}, -1, 6, {2021, 6, 30}},
      {{2021, 8, 31}, -1, 9, {2021, 9, 30}},  {{2021, 12, 31}, -1, 11, {2021, 11, 30}},
      {{2021, 4, 30}, -1, 5, {2021, 5, 30}},  {{2021, 1, 15}, -1, 2, {2021, 2, 15}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.start) + " -> " + show(c.expected));
    open(c.start);
    if (c.yearValue >= 0) dlg.YearEdit->setValue(c.yearValue);
    if (c.month) dlg.MonthEdit->setValue(c.month);
    EXPECT_EQ(dlg.calendarDate(), c.expected);
    EXPECT_EQ(dlg.Calendar1->yearShown(), c.expected.year);
    EXPECT_EQ(dlg.Calendar1->monthShown(), c.expected.month);
    dlg.reject();
  }
}

TEST_F(DateDialogTest, ACallersImpossibleDateIsBroughtIntoTheCalendar) {
  struct Case {
    Date given;
    Date expected;
  };
  const Case cases[] = {
      {{2021, 2, 31}, {2021, 2, 28}},    {{2020, 2, 30}, {2020, 2, 29}}, {{2021, 4, 31}, {2021, 4, 30}},
      {{2021, 13, 5}, {2021, 12, 5}},    {{2021, 0, 0}, {2021, 1, 1}},   {{12345, 6, 7}, {9999, 6, 7}},
      {{1800, 6, 7}, {1867, 6, 7}},      {{0, 2, 29}, {1867, 2, 28}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.given));
    dlg.setDate(c.given);
    EXPECT_EQ(dlg.calendarDate(), c.expected);
  }
}

TEST_F(DateDialogTest, NoValueOfTheBoxesLeavesAnImpossibleDate) {
  // Every era, many year values and every month: the calendar always holds a real date, and the
  // era and year boxes always name the calendar's year.
  const Date starts[] = {{1900, 1, 31}, {1915, 3, 31}, {1960, 2, 29}, {2000, 2, 29}, {2020, 12, 31}};
  const int values[] = {0, 1, 14, 15, 30, 31, 44, 45, 63, 64, 99, 100, 1000, 7981, 7982, 99999, 100000};
  dlg.show();
  for (const Date& start : starts) {
    for (int value : values) {
      for (int month = 1; month <= 12; ++month) {
        SCOPED_TRACE(show(start) + " year " + std::to_string(value) + " month " + std::to_string(month));
        dlg.setDate(start);
        dlg.YearEdit->setValue(value);
        dlg.MonthEdit->setValue(month);
        Date d = dlg.calendarDate();
        EXPECT_TRUE(QDate(d.year, d.month, d.day).isValid());
        EXPECT_LE(d.year, TDateSDlg::kMaxYear);
        EXPECT_EQ(d.month, month);
        int day = std::min(start.day, daysInMonth(d.year, start.month));
        EXPECT_EQ(d.day, std::min(day, daysInMonth(d.year, month)));
        expectBoxesAgree();
      }
    }
  }
}

TEST_F(DateDialogTest, OneClickOnADayPicksItAndCloses) {
  struct Case {
    Date shown;
    int day;
    const char* text;
  };
  const Case cases[] = {
      {{2003, 3, 1}, 20, "平成15年03月20日"},
      {{1989, 1, 1}, 20, "平成01年01月20日"},
      {{2019, 5, 1}, 20, "令和01年05月20日"},
      // The box says 令和 1 for all of 2019; the text follows the real first day of the era.
      {{2019, 3, 1}, 20, "平成31年03月20日"},
      {{1988, 2, 1}, 16, "昭和63年02月16日"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    open(c.shown);
    clickDay(c.day);
    EXPECT_TRUE(closes());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.calendarDate(), (Date{c.shown.year, c.shown.month, c.day}));
    EXPECT_EQ(dlg.resultText(), cp(c.text));
    EXPECT_EQ(dlg.DateEdit->text(), u8(c.text));
  }
}

TEST_F(DateDialogTest, AClickFromTheBoxesPicksTheClickedDay) {
  // Whether the boxes disarmed the calendar or were only visited, the click that brings the focus
  // back to the calendar picks the day clicked, not the one selected before the click.
  for (bool changeBoxes : {true, false}) {
    SCOPED_TRACE(changeBoxes ? "boxes changed" : "boxes visited");
    open({2004, 1, 10});
    // The first click into a box passes the focus through Edit1 and back: wait until it is back.
    bool relayed = false;
    auto relay = QObject::connect(qApp, &QApplication::focusChanged, &dlg,
                                  [&](QWidget*, QWidget* now) { relayed = relayed || now == dlg.Edit1; });
    QTest::mouseClick(dlg.MonthEdit, Qt::LeftButton);
    if (changeBoxes) dlg.MonthEdit->setValue(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return relayed && dlg.focusWidget() == dlg.MonthEdit; }, 5000));
    QObject::disconnect(relay);
    ASSERT_NE(dlg.focusWidget(), dlg.Calendar1->focusProxy());
    // A person holds the button for a while: the calendar selects the day only on release.
    QTest::mousePress(days()->viewport(), Qt::LeftButton, {}, cellOf(18));
    QTest::qWait(50);
    EXPECT_TRUE(dlg.isVisible());
    QTest::mouseRelease(days()->viewport(), Qt::LeftButton, {}, cellOf(18));
    EXPECT_TRUE(closes());
    EXPECT_EQ(dlg.resultText(), cp(changeBoxes ? "平成16年03月18日" : "平成16年01月18日"));
  }
}

TEST_F(DateDialogTest, TheKeyboardPicksTheDayItMovesTo) {
  open({2003, 3, 20});
  QTest::keyClick(days(), Qt::Key_Right);
  EXPECT_TRUE(closes());
  EXPECT_EQ(dlg.resultText(), cp("平成15年03月21日"));
}

TEST_F(DateDialogTest, AMoveAfterTheBoxesChangedOnlyArms) {
  open({2003, 3, 20});
  dlg.MonthEdit->setValue(4);  // the calendar keeps the focus but is disarmed
  QTest::keyClick(days(), Qt::Key_Right);
  QTest::qWait(50);
  EXPECT_TRUE(dlg.isVisible());
  QTest::keyClick(days(), Qt::Key_Right);
  EXPECT_TRUE(closes());
  EXPECT_EQ(dlg.resultText(), cp("平成15年04月22日"));
}

TEST_F(DateDialogTest, ClosingWithoutAPickLeavesDateEditEmpty) {
  open({2003, 3, 20});
  clickDay(18);
  ASSERT_TRUE(closes());
  ASSERT_FALSE(dlg.resultText().empty());
  // The next showing starts empty; closing it with the close box keeps it so.
  open({2003, 3, 20});
  EXPECT_TRUE(dlg.DateEdit->text().isEmpty());
  QTest::qWait(50);
  EXPECT_TRUE(dlg.isVisible());  // showing again is no pick, though the calendar is armed
  dlg.close();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(dlg.resultText(), "");
  EXPECT_EQ(dlg.calendarDate(), (Date{2003, 3, 20}));
}

TEST_F(DateDialogTest, MovesByTheProgramAreNoPicks) {
  open({2003, 3, 20});
  dlg.setDate({2004, 5, 6});
  dlg.setDate({2004, 5, 7});
  QTest::qWait(50);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.YearEdit->value(), 16);
  EXPECT_EQ(dlg.MonthEdit->value(), 5);
}

TEST_F(DateDialogTest, APickEndsAModalShowing) {
  dlg.setDate({2003, 3, 1});
  QTimer::singleShot(50, &dlg, [this] { clickDay(20); });
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  EXPECT_EQ(dlg.resultText(), cp("平成15年03月20日"));
}

TEST_F(DateDialogTest, TheFocusPassesThroughEdit1BetweenTheBoxes) {
  open({2003, 3, 20});
  QList<QWidget*> entered;
  QObject::connect(qApp, &QApplication::focusChanged, &dlg, [&](QWidget*, QWidget* now) { entered << now; });
  auto settlesOn = [&](QWidget* w) { return QTest::qWaitFor([&] { return dlg.focusWidget() == w; }, 1000); };

  // The first click into the year box goes on to Edit1 and comes back.
  QTest::mouseClick(dlg.YearEdit, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return entered.size() >= 3; }, 5000));
  EXPECT_EQ(entered, (QList<QWidget*>{dlg.YearEdit, dlg.Edit1, dlg.YearEdit}));
  EXPECT_EQ(dlg.focusWidget(), dlg.YearEdit);

  // Tab from the year box reaches the month box through Edit1, and back-tab returns.
  entered.clear();
  QTest::keyClick(dlg.YearEdit, Qt::Key_Tab);
  EXPECT_TRUE(settlesOn(dlg.MonthEdit));
  EXPECT_EQ(entered, (QList<QWidget*>{dlg.Edit1, dlg.MonthEdit}));
  entered.clear();
  QTest::keyClick(dlg.MonthEdit, Qt::Key_Backtab);
  EXPECT_TRUE(settlesOn(dlg.YearEdit));
  EXPECT_EQ(entered, (QList<QWidget*>{dlg.Edit1, dlg.YearEdit}));
  QObject::disconnect(qApp, &QApplication::focusChanged, &dlg, nullptr);
}

TEST_F(DateDialogTest, TheFirstClickIntoTheMonthBoxGoesBackAndForth) {
  open({2003, 3, 20});
  QList<QWidget*> entered;
  QObject::connect(qApp, &QApplication::focusChanged, &dlg, [&](QWidget*, QWidget* now) { entered << now; });
  QTest::mouseClick(dlg.MonthEdit, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return entered.size() >= 3; }, 1000));
  QTest::qWait(30);
  EXPECT_EQ(entered, (QList<QWidget*>{dlg.MonthEdit, dlg.Edit1, dlg.MonthEdit}));
  // Only the first click of a showing does so.
  entered.clear();
  QTest::mouseClick(dlg.YearEdit, Qt::LeftButton);
  QTest::qWait(30);
  EXPECT_EQ(entered, (QList<QWidget*>{dlg.YearEdit}));
  QObject::disconnect(qApp, &QApplication::focusChanged, &dlg, nullptr);
}

}  // namespace
}  // namespace vendaro::book::ui

#include "book/ui/DateSetDlg.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDate>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "book/eradate.h"
#include "platform/ui/qtext.h"

namespace vendaro::book::ui {

using vendaro::ui::fromQ;
using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

constexpr int kTimerMs = 10;

/// Window activation and popups hand the focus back without the user moving between controls.
bool isActivation(Qt::FocusReason reason) {
  return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
         reason == Qt::MenuBarFocusReason;
}

QTimer* makeTimer(QObject* parent, const char* name) {
  auto* timer = new QTimer(parent);
  timer->setObjectName(QString::fromLatin1(name));
  timer->setInterval(kTimerMs);
  timer->setSingleShot(true);
  return timer;
}

}  // namespace

TDateSDlg::TDateSDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(u8("日付設定"));

  Panel2 = new QFrame(this);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameShape(QFrame::Panel);
  Panel2->setFrameShadow(QFrame::Raised);

  YearLabel = new QLabel(toQ(era::eraName(3)), Panel2);
  YearLabel->setObjectName(QStringLiteral("YearLabel"));

  YearEdit = new QSpinBox(Panel2);
  YearEdit->setObjectName(QStringLiteral("YearEdit"));
  YearEdit->setRange(0, 100000);
  YearEdit->setValue(1);
  YearEdit->setAttribute(Qt::WA_InputMethodEnabled, false);

  // Edit1 lies under the month box: it is never seen, only passed through by the focus.
  auto* monthSlot = new QWidget(Panel2);
  auto* stack = new QStackedLayout(monthSlot);
  stack->setStackingMode(QStackedLayout::StackAll);
  stack->setContentsMargins(0, 0, 0, 0);
  Edit1 = new QLineEdit(monthSlot);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setAttribute(Qt::WA_InputMethodEnabled, false);
  MonthEdit = new QSpinBox(monthSlot);
  MonthEdit->setObjectName(QStringLiteral("MonthEdit"));
  MonthEdit->setRange(1, 12);
  MonthEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
  stack->addWidget(Edit1);
  stack->addWidget(MonthEdit);
  stack->setCurrentWidget(MonthEdit);

  auto* strip = new QHBoxLayout(Panel2);
  strip->setContentsMargins(4, 1, 4, 1);
  strip->setSpacing(3);
  strip->addWidget(YearLabel);
  strip->addWidget(YearEdit, 3);
  strip->addWidget(new QLabel(u8("年"), Panel2));
  strip->addWidget(monthSlot, 2);
  strip->addWidget(new QLabel(u8("月"), Panel2));

  Calendar1 = new QCalendarWidget(this);
  Calendar1->setObjectName(QStringLiteral("Calendar1"));
  Calendar1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
  Calendar1->setFirstDayOfWeek(Qt::Sunday);
  Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  // The era, year and month boxes are the way to another month; the calendar's own Western
  // year and month bar would let its page drift away from them.
  Calendar1->setNavigationBarVisible(false);
  Calendar1->setDateRange(QDate(kMinYear, 1, 1), QDate(kMaxYear, 12, 31));

  DateEdit = new QLineEdit(this);
  DateEdit->setObjectName(QStringLiteral("DateEdit"));
  DateEdit->hide();

  Timer1 = makeTimer(this, "Timer1");
  Timer2 = makeTimer(this, "Timer2");
  Timer3 = makeTimer(this, "Timer3");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel2);
  layout->addWidget(Calendar1, 1);

  setTabOrder(Calendar1, YearEdit);
  setTabOrder(YearEdit, Edit1);
  setTabOrder(Edit1, MonthEdit);
  // The designed size, or larger where the font needs it so that every day stays visible.
  setFixedSize(sizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));

  QWidget* days = Calendar1->focusProxy();
  days->installEventFilter(this);
  if (auto* view = qobject_cast<QAbstractItemView*>(days)) view->viewport()->installEventFilter(this);
  YearEdit->installEventFilter(this);
  MonthEdit->installEventFilter(this);
  Edit1->installEventFilter(this);

  connect(YearEdit, qOverload<int>(&QSpinBox::valueChanged), this, &TDateSDlg::YearEditChange);
  connect(MonthEdit, qOverload<int>(&QSpinBox::valueChanged), this, &TDateSDlg::MonthEditChange);
  connect(Calendar1, &QCalendarWidget::selectionChanged, this, [this] {
    // A mouse click reports itself through clicked(); this is a keyboard move.
    if (!moving_ && !mouseOnCalendar_) Calendar1Click();
  });
  connect(Calendar1, &QCalendarWidget::clicked, this, [this] {
    mouseOnCalendar_ = false;
    if (!moving_) Calendar1Click();
  });
  connect(Timer1, &QTimer::timeout, this, &TDateSDlg::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &TDateSDlg::Timer2Timer);
  connect(Timer3, &QTimer::timeout, this, &TDateSDlg::Timer3Timer);

  setDate(today());
}

void TDateSDlg::setDate(const Date& date) {
  int year = std::clamp(date.year, kMinYear, kMaxYear);
  int month = std::clamp(date.month, 1, 12);
  moveCalendar(year, month, date.day);
  if (isVisible()) {
    showYear(year);
    QSignalBlocker block(MonthEdit);
    MonthEdit->setValue(month);
  }
}

Date TDateSDlg::calendarDate() const {
  QDate date = Calendar1->selectedDate();
  return Date{date.year(), date.month(), date.day()};
}

std::string TDateSDlg::resultText() const { return fromQ(DateEdit->text()).value_or(std::string()); }

void TDateSDlg::setVisible(bool visible) {
  if (!visible || isVisible()) {
    QDialog::setVisible(visible);
    return;
  }
  FormShow();
  showing_ = true;
  QDialog::setVisible(true);
  showing_ = false;
}

void TDateSDlg::done(int result) {
  Timer1->stop();
  Timer2->stop();
  Timer3->stop();
  if (picked_) DateEdit->setText(toQ(era::formatPlain(calendarDate())));
  QDialog::done(result);
}

void TDateSDlg::FormShow() {
  firstClick_ = true;
  Timer1->stop();
  QDate date = Calendar1->selectedDate();
  showYear(date.year());
  {
    QSignalBlocker block(MonthEdit);
    MonthEdit->setValue(date.month());
  }
  DateEdit->clear();
  picked_ = false;
  // The calendar, first in the tab order, takes the focus; that entry arms it, so that one click
  // on a day picks the day.
  Calendar1->setFocus(Qt::OtherFocusReason);
  armed_ = true;
  focusLeft_ = nullptr;
}

void TDateSDlg::showYear(int year) {
  // A year belongs to the last era whose base lies before it, so an era's base year shows as the
  // previous era's last year (1988 is 昭和 63); years up to 明治's base count as 明治.
  const era::Era* eras = era::eras();
  int index = 0;
  for (int i = 1; i < era::kEraCount; ++i)
    if (eras[i].base < year) index = i;
  era_ = index;
  YearLabel->setText(toQ(era::eraName(index)));
  QSignalBlocker block(YearEdit);
  YearEdit->setValue(year - eras[index].base);
}

void TDateSDlg::moveCalendar(int year, int month, int day) {
  day = std::clamp(day, 1, daysInMonth(year, month));
  moving_ = true;
  Calendar1->setSelectedDate(QDate(year, month, day));
  moving_ = false;
}

void TDateSDlg::YearEditChange(int value) {
  // Crossing an era's end in the year box moves to the neighbouring era (明治 45 is 大正 1,
  // 平成 0 is 昭和 63, 明治 100 is 昭和 42), so the box always shows the era of its year.
  int year = std::clamp(era::eras()[era_].base + value, kMinYear, kMaxYear);
  showYear(year);
  QDate date = Calendar1->selectedDate();
  moveCalendar(year, date.month(), date.day());
  armed_ = false;
}

void TDateSDlg::MonthEditChange(int value) {
  QDate date = Calendar1->selectedDate();
  moveCalendar(date.year(), value, date.day());
  armed_ = false;
}

void TDateSDlg::Calendar1Click() {
  if (armed_) {
    Timer1->start();
    picked_ = true;
  } else {
    armed_ = true;
  }
}

void TDateSDlg::Calendar1Enter(bool byMouse) {
  // A mouse click gives the calendar the focus before it selects the day (on release), so the
  // focus only arms the calendar and the click itself picks; picking on the focus would close
  // the dialog on the day shown before the click.
  if (byMouse)
    armed_ = true;
  else
    Calendar1Click();
}

void TDateSDlg::Timer1Timer() {
  Timer1->stop();
  if (picked_) accept();
}

void TDateSDlg::Timer2Timer() {
  Timer2->stop();
  if (focusWidget() == Edit1) MonthEdit->setFocus(Qt::TabFocusReason);
}

void TDateSDlg::Timer3Timer() {
  Timer3->stop();
  if (focusWidget() == Edit1) YearEdit->setFocus(Qt::BacktabFocusReason);
}

void TDateSDlg::YearEditEnter(QWidget* from) {
  if (!from || !firstClick_) return;
  // The first entry into a spin box passes through Edit1, whose closed input method then stays
  // closed in the box.
  firstClick_ = false;
  Timer3->start();
  QTimer::singleShot(0, this, [this] {
    if (focusWidget() == YearEdit) Edit1->setFocus(Qt::TabFocusReason);
  });
}

void TDateSDlg::MonthEditEnter(QWidget* from) {
  if (!from || !firstClick_) return;
  firstClick_ = false;
  Timer2->start();
  QTimer::singleShot(0, this, [this] {
    if (focusWidget() == MonthEdit) Edit1->setFocus(Qt::BacktabFocusReason);
  });
}

void TDateSDlg::Edit1Enter(QWidget* from) {
  if (Timer2->isActive() || Timer3->isActive()) return;  // passing through on a first entry
  if (from == YearEdit)
    Timer2->start();
  else if (from == MonthEdit)
    Timer3->start();
}

QWidget* TDateSDlg::controlOf(QObject* object) const {
  for (QObject* o = object; o && o != this; o = o->parent()) {
    if (o == Calendar1 || o == YearEdit || o == MonthEdit || o == Edit1) return static_cast<QWidget*>(o);
  }
  return nullptr;
}

bool TDateSDlg::eventFilter(QObject* watched, QEvent* event) {
  QWidget* control = controlOf(watched);
  switch (event->type()) {
    case QEvent::FocusOut: {
      auto reason = static_cast<QFocusEvent*>(event)->reason();
      focusLeft_ = isActivation(reason) ? nullptr : control;
      break;
    }
    case QEvent::FocusIn: {
      auto reason = static_cast<QFocusEvent*>(event)->reason();
      // Only a move from another control of this dialog is an entry; the focus given back on
      // showing or on window activation is not.
      QWidget* from = (showing_ || isActivation(reason) || focusLeft_ == control) ? nullptr : focusLeft_;
      focusLeft_ = nullptr;
      if (control == Calendar1) {
        if (from) Calendar1Enter(reason == Qt::MouseFocusReason);
      } else if (control == YearEdit) {
        YearEditEnter(from);
      } else if (control == MonthEdit) {
        MonthEditEnter(from);
      } else if (control == Edit1) {
        Edit1Enter(from);
      }
      break;
    }
    case QEvent::MouseButtonPress:
      if (control == Calendar1) mouseOnCalendar_ = true;
      break;
    case QEvent::KeyPress:
      if (control == Calendar1) mouseOnCalendar_ = false;
      break;
    case QEvent::Wheel:
      // The wheel would turn the calendar's page away from the year and month boxes.
      if (control == Calendar1) return true;
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vendaro::book::ui

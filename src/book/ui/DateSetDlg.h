#pragma once
// The date dialog: a month calendar with the era, the year within the era and the month as boxes
// above it. The caller prepares the calendar's date, shows the dialog and reads back the picked
// date as text.

#include <QDialog>
#include <string>

#include "platform/clock.h"

class QCalendarWidget;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;
class QWidget;

namespace vendaro::book::ui {

/// The date dialog "日付設定". One click on a day picks it and closes the dialog; the era, year and
/// month boxes move the calendar without picking. Closing without a pick leaves DateEdit empty.
class TDateSDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TDateSDlg(QWidget* parent = nullptr);

  /// Puts the calendar on `date`, as a caller does before showing. A date the calendar cannot
  /// show is brought into its range first: the year into kMinYear..kMaxYear, the month into 1..12
  /// and the day into the month.
  void setDate(const vendaro::Date& date);
  /// The calendar's date.
  vendaro::Date calendarDate() const;
  /// The text of DateEdit after the dialog closed: empty when nothing was picked, else the picked
  /// date as "<era><yy>年<mm>月<dd>日" with ordinary digits, in CP932 (callers apply
  /// era::changeChar).
  std::string resultText() const;

  void setVisible(bool visible) override;
  void done(int result) override;

  /// The calendar's range. The first year is 明治 0, the least the year box can reach; the last is
  /// the last year the calendar can show.
  static constexpr int kMinYear = 1867;
  static constexpr int kMaxYear = 9999;
  /// The fixed size of the dialog's client area.
  static constexpr int kClientWidth = 185;
  static constexpr int kClientHeight = 165;

  QFrame* Panel2;
  QLabel* YearLabel;
  QSpinBox* YearEdit;
  QLineEdit* Edit1;
  QSpinBox* MonthEdit;
  QCalendarWidget* Calendar1;
  QLineEdit* DateEdit;
  QTimer* Timer1;
  QTimer* Timer2;
  QTimer* Timer3;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void YearEditChange(int value);
  void MonthEditChange(int value);
  void Calendar1Click();
  void Calendar1Enter(bool byMouse);
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void YearEditEnter(QWidget* from);
  void MonthEditEnter(QWidget* from);
  void Edit1Enter(QWidget* from);

  /// Shows `year` in the era and year boxes, in the era it belongs to.
  void showYear(int year);
  /// Moves the calendar to a year and month, keeping the day unless the month is shorter.
  void moveCalendar(int year, int month, int day);
  /// The control of this dialog that `object` is or belongs to, or null.
  QWidget* controlOf(QObject* object) const;

  int era_ = 0;           ///< index into era::eras() of the era in YearLabel
  bool armed_ = false;    ///< the next click on the calendar picks
  bool picked_ = false;   ///< a day was picked in this showing
  bool firstClick_ = false;
  bool showing_ = false;  ///< inside setVisible(true): focus arriving now is not a user's move
  bool moving_ = false;   ///< the program is moving the calendar: not a click
  bool mouseOnCalendar_ = false;  ///< a mouse button went down on the calendar's days
  QWidget* focusLeft_ = nullptr;  ///< the control the focus last left inside this dialog
};

}  // namespace vendaro::book::ui

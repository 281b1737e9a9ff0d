#pragma once
// The main window: tool bar with navigators and record counter, month tabs, the estimate sheet
// and the list page, status bar and main menu. It owns the estimate cursor for the whole run.

#include <QAction>
#include <QDialog>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_settings.h"
#include "book/month_tabs.h"
#include "platform/table/cursor.h"
#include "platform/ui/binding.h"

namespace vendaro::book::ui {
class TDateSDlg;
}
namespace vendaro::formprint {
class CompanyFields;
}

namespace vendaro::app::ui {

class TEstimateDataForm : public QMainWindow {
  Q_OBJECT
 public:
  /// Creates the main window on the estimate table in the CARDATA directory, reading its
  /// settings from the program directory. Throws TableError when the table cannot be opened.
  TEstimateDataForm(const std::string& programDirectory, const std::string& cardataDirectory,
                    QWidget* parent = nullptr);
  ~TEstimateDataForm() override;

  table::Cursor& estimates() { return *cursor_; }
  vendaro::ui::DataSource& dataSource() { return *source_; }
  const std::string& programDirectory() const { return programDirectory_; }

  /// A control of the estimate sheet (or any child) by its name.
  template <class T = QWidget>
  T* control(const QString& name) const {
    return findChild<T*>(name);
  }
  /// A menu item by its name (Back1, Exit1, settle1, ...).
  QAction* menuItem(const QString& name) const { return menu_.value(name); }

  // State held for the whole run.
  int settlementDay() const { return settlementDay_; }
  bool periodLimit() const;
  const MainSettings& settings() const { return settings_; }
  const std::vector<book::MonthTab>& monthTabs() const { return monthTabs_; }
  bool postalCodeEdited() const { return postalCodeEdited_; }

  /// Rebuilds the month tabs and resets the view to "全て" (after every post, a settlement-day
  /// change and the clean-up).
  void TabSet();
  /// Applies the filter of tab `index` and refreshes the record counter. On a shared book the
  /// view is read again, so that it shows what other seats stored.
  void TabControl1Change(int index);
  /// The refresh command (F5): saves a pending estimate as a tab change does, then reads the view
  /// and the month tabs again, with what other seats stored since.
  void refreshView();
  /// Sets the settlement day as its menu item does.
  void chooseSettlementDay(int day);
  /// The record counter's text.
  QString recordCounterText() const;

  /// The width of the estimate sheet's left column.
  int leftColumnWidth() const;
  void setLeftColumnWidth(int width);

  /// The company information as the print items read it (the company dialog's fields).
  void setCompanyFields(const formprint::CompanyFields* fields) { companyFields_ = fields; }
  const formprint::CompanyFields* companyFields() const { return companyFields_; }
  /// The About box (set when the dialogs are created).
  void setVersionDialog(QDialog* dialog) { versionDialog_ = dialog; }
  /// The date dialog used by the two date fields (set when the dialogs are created).
  void setDateDialog(book::ui::TDateSDlg* dialog) { dateDialog_ = dialog; }
  /// Opens the date dialog for a date field and writes the picked date into it.
  void editDate(const char* fieldUtf8);

  /// The first tick after start: the steps registered by the subsystems, in order.
  std::vector<std::function<bool()>> firstTickSteps;
  QTimer* Timer1 = nullptr;
  /// The timer handler: stops the timer and runs the steps; a step returning false stops the rest.
  void Timer1Timer();

  /// Shows a text in the status bar's hint panel.
  void showHint(const QString& text);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void buildToolBar();
  void buildMenu();
  void buildSheet(QWidget* page);
  void buildList(QWidget* page);
  QWidget* makeControl(const QString& name, QWidget* parent);
  void refreshCounter();
  /// Makes the month tabs again from the estimates (on a shared book, after reading the view
  /// again), keeping the tab bar as it is when the months are the same.
  void updateMonthTabs();
  /// Says in the status bar when the estimate shown was deleted by another seat meanwhile.
  void hintVanished();
  void writeSettings();
  void writeColumnWidths();
  /// Asks about a pending estimate; false when the window must stay open.
  bool FormCloseQuery();

  std::string programDirectory_;
  MainSettings settings_;
  std::unique_ptr<table::Cursor> cursor_;
  std::unique_ptr<vendaro::ui::DataSource> source_;
  QHash<QString, QAction*> menu_;
  std::vector<book::MonthTab> monthTabs_;
  int settlementDay_ = 0;
  bool postalCodeEdited_ = false;
  bool rebuildingTabs_ = false;
  bool shownOnce_ = false;
  book::ui::TDateSDlg* dateDialog_ = nullptr;
  QDialog* versionDialog_ = nullptr;
  const formprint::CompanyFields* companyFields_ = nullptr;

 public:
  // Controls named as the program knows them.
  QWidget* SpeedPanel1 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator1 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator2 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator3 = nullptr;
  vendaro::ui::DBNavigator* DBNavigator4 = nullptr;
  QAbstractButton* CopySpeed = nullptr;
  QAbstractButton* FindSpeed = nullptr;
  QAbstractButton* FindNextSpeed = nullptr;
  QAbstractButton* FindBackSpeed = nullptr;
  QLabel* TotalPanel = nullptr;
  QLabel* Commant2Panel = nullptr;
  QWidget* TabControl1 = nullptr;
  QTabBar* TabBar = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* EstimateTab = nullptr;
  QWidget* ListTab = nullptr;
  vendaro::ui::DBGrid* DBGrid1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QWidget* Panel4 = nullptr;
  QWidget* Panel5 = nullptr;
  QWidget* Panel12 = nullptr;
  QWidget* Panel22 = nullptr;
  QLabel* PathLabel = nullptr;
};

}  // namespace vendaro::app::ui

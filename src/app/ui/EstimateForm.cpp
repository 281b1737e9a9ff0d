#include "app/ui/EstimateForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

using vendaro::ui::DBNavigator;
using vendaro::ui::dialogs;
using vendaro::ui::toQ;
using vendaro::ui::u8;

TEstimateDataForm::TEstimateDataForm(const std::string& programDirectory, const std::string& cardataDirectory,
                                     QWidget* parent)
    : QMainWindow(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("EstimateDataForm"));
  setWindowTitle(QStringLiteral("Vendaro For Win32"));

  cursor_ = book::openEstimateTable(cardataDirectory);
  cursor_->afterPost = [this](table::Cursor&) { TabSet(); };
  source_ = std::make_unique<vendaro::ui::DataSource>(*cursor_, this);

  buildToolBar();
  buildMenu();

  TabControl1 = new QWidget(this);
  TabControl1->setObjectName(QStringLiteral("TabControl1"));
  auto* tabLayout = new QVBoxLayout(TabControl1);
  tabLayout->setContentsMargins(2, 2, 2, 0);
  tabLayout->setSpacing(0);
  PageControl1 = new QTabWidget(TabControl1);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  EstimateTab = new QWidget;
  EstimateTab->setObjectName(QStringLiteral("EstimateTab"));
  ListTab = new QWidget;
  ListTab->setObjectName(QStringLiteral("ListTab"));
  PageControl1->addTab(EstimateTab, u8("明細書"));
  PageControl1->addTab(ListTab, u8("一覧"));
  TabBar = new QTabBar(TabControl1);
  TabBar->setObjectName(QStringLiteral("TabBar"));
  TabBar->setShape(QTabBar::RoundedSouth);
  TabBar->setUsesScrollButtons(true);
  TabBar->setExpanding(false);
  TabBar->setDrawBase(false);
  tabLayout->addWidget(PageControl1, 1);
  tabLayout->addWidget(TabBar);
  setCentralWidget(TabControl1);

  buildSheet(EstimateTab);
  buildList(ListTab);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  setStatusBar(status);

  // 1. The program directory, held by a hidden label.
  PathLabel = new QLabel(toQ(programDirectory_), this);
  PathLabel->setObjectName(QStringLiteral("PathLabel"));
  PathLabel->hide();
  // 3.-9. The settings read at creation.
  settings_ = loadMainSettings(programDirectory_);
  if (settings_.leftWidth) setLeftColumnWidth(*settings_.leftWidth);
  settlementDay_ = settings_.settlementDay;
  for (int i = 0; i < 6; ++i)
    menu_.value(QStringLiteral("settle%1").arg(i + 1))->setChecked(book::kSettlementDays[i] == settlementDay_);
  menu_.value(QStringLiteral("Limit1"))->setChecked(settings_.periodLimit);

  // 11.-12. The fixed tabs and the month tabs; "全て" selected, newest estimate first.
  connect(TabBar, &QTabBar::currentChanged, this, [this](int index) {
    if (!rebuildingTabs_) TabControl1Change(index);
  });
  TabSet();

  connect(source_.get(), &vendaro::ui::DataSource::changed, this, [this] {
    refreshCounter();
    hintVanished();
  });
  refreshCounter();

  qApp->installEventFilter(this);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
  resize(1000, 760);
}

TEstimateDataForm::~TEstimateDataForm() {
  qApp->removeEventFilter(this);
  source_.reset();
}

bool TEstimateDataForm::periodLimit() const { return menu_.value(QStringLiteral("Limit1"))->isChecked(); }

void TEstimateDataForm::buildToolBar() {
  SpeedPanel1 = new QWidget(this);
  SpeedPanel1->setObjectName(QStringLiteral("SpeedPanel1"));
  SpeedPanel1->setFixedHeight(35);
  auto* layout = new QHBoxLayout(SpeedPanel1);
  layout->setContentsMargins(4, 3, 4, 3);
  layout->setSpacing(6);
  auto bar = vendaro::ui::addNavigatorBar(source_.get(), SpeedPanel1, layout);
  DBNavigator1 = bar.DBNavigator1;
  DBNavigator2 = bar.DBNavigator2;
  DBNavigator3 = bar.DBNavigator3;
  DBNavigator4 = bar.DBNavigator4;
  auto speed = [&](const char* name, const char* glyph, const char* hint) {
    auto* b = new QToolButton(SpeedPanel1);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(u8(glyph));
    b->setToolTip(u8(hint));
    b->setStatusTip(u8(hint));
    b->setMinimumSize(28, 25);
    b->setFocusPolicy(Qt::NoFocus);
    b->setEnabled(false);  // copy and find arrive with their dialogs
    layout->addWidget(b);
    return b;
  };
  CopySpeed = speed("CopySpeed", "複写", "現在のデータを複写");
  FindSpeed = speed("FindSpeed", "検索", "検索");
  FindNextSpeed = speed("FindNextSpeed", "次", "次を検索");
  FindBackSpeed = speed("FindBackSpeed", "前", "前を検索");
  layout->addStretch(1);
  TotalPanel = new QLabel(QStringLiteral("1000"), SpeedPanel1);
  TotalPanel->setObjectName(QStringLiteral("TotalPanel"));
  TotalPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  TotalPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  TotalPanel->setMinimumWidth(70);
  TotalPanel->setAccessibleDescription(u8("件数"));
  Commant2Panel = new QLabel(u8("件"), SpeedPanel1);
  Commant2Panel->setObjectName(QStringLiteral("Commant2Panel"));
  layout->addWidget(TotalPanel);
  layout->addWidget(Commant2Panel);
  setMenuWidget(nullptr);
  addToolBar(Qt::TopToolBarArea, [&] {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->addWidget(SpeedPanel1);
    return bar;
  }());
}

void TEstimateDataForm::buildList(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  DBGrid1 = new vendaro::ui::DBGrid(source_.get(), page);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  layout->addWidget(DBGrid1);
}

void TEstimateDataForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shownOnce_) {
    shownOnce_ = true;
    DBGrid1->setColumnHidden(book::kItemNumberField, true);
  }
}

// ---------------------------------------------------------------------------------------------
// Month tabs

void TEstimateDataForm::TabSet() {
  refreshCounter();
  rebuildingTabs_ = true;
  updateMonthTabs();
  TabBar->setCurrentIndex(0);
  rebuildingTabs_ = false;
  source_->refresh();
}

void TEstimateDataForm::updateMonthTabs() {
  // On a shared book the tabs and the view take in what other seats stored.
  if (cursor_->shared()) source_->run([](table::Cursor& c) { c.refresh(); });
  monthTabs_ = book::rebuildMonthTabs(*cursor_, settlementDay_);
  QStringList captions{toQ(book::allTabCaption()), toQ(book::personTabCaption())};
  for (const auto& tab : monthTabs_) captions << toQ(tab.caption);
  // Most saves leave the span of months as it was: the tabs are then kept, not laid out again.
  bool same = TabBar->count() == captions.size();
  for (int i = 0; same && i < captions.size(); ++i) same = TabBar->tabText(i) == captions[i];
  if (!same) {
    while (TabBar->count() > 0) TabBar->removeTab(TabBar->count() - 1);
    for (const QString& caption : captions) TabBar->addTab(caption);
  }
}

void TEstimateDataForm::TabControl1Change(int index) {
  if (index < 0) return;
  QString caption = TabBar->tabText(index);
  if (cursor_->state() != table::Cursor::State::Browse) {
    // Saving first rebuilds the tabs; the chosen tab is then found again by its caption.
    if (!source_->run([](table::Cursor& c) { c.checkBrowseMode(); })) {
      rebuildingTabs_ = true;
      TabBar->setCurrentIndex(0);
      rebuildingTabs_ = false;
      return;
    }
    index = -1;
    for (int i = 0; i < TabBar->count(); ++i)
      if (TabBar->tabText(i) == caption) index = i;
    if (index < 0) index = 0;
    rebuildingTabs_ = true;
    TabBar->setCurrentIndex(index);
    rebuildingTabs_ = false;
  }
  if (cursor_->shared()) {
    // Other seats may have filed estimates in new months: the tabs are made again, and the
    // chosen one found again by its caption.
    rebuildingTabs_ = true;
    updateMonthTabs();
    index = 0;
    for (int i = 0; i < TabBar->count(); ++i)
      if (TabBar->tabText(i) == caption) index = i;
    TabBar->setCurrentIndex(index);
    rebuildingTabs_ = false;
  }
  source_->run([&](table::Cursor& c) {
    if (index >= 2 && static_cast<std::size_t>(index - 2) < monthTabs_.size()) {
      c.setFilter(book::monthFilter(monthTabs_[static_cast<std::size_t>(index - 2)], settlementDay_));
      c.setFiltered(true);
    } else if (index == 1) {
      c.setFilter(book::personFilter(c.text(book::kNameField)));
      c.setFiltered(true);
    } else {
      const bool wasFiltered = c.filtered();
      c.setFiltered(false);
      // Back on the whole book, the view of a shared book is read again all the same.
      if (!wasFiltered && c.shared()) c.refresh();
    }
  });
  refreshCounter();
  hintVanished();
}

void TEstimateDataForm::refreshView() {
  if (cursor_->state() != table::Cursor::State::Browse && !source_->run([](table::Cursor& c) { c.checkBrowseMode(); }))
    return;  // the pending estimate was not saved: it stays on the sheet, with the message shown
  TabSet();
  refreshCounter();
  hintVanished();
}

void TEstimateDataForm::hintVanished() {
  if (cursor_->takeVanishedRecords() > 0)
    showHint(u8("表示していた見積は他の席で削除されたため、次の見積を表示しています"));
}

void TEstimateDataForm::chooseSettlementDay(int day) {
  for (int i = 0; i < 6; ++i)
    menu_.value(QStringLiteral("settle%1").arg(i + 1))->setChecked(book::kSettlementDays[i] == day);
  settlementDay_ = day;
  if (cursor_->state() != table::Cursor::State::Browse && !source_->run([](table::Cursor& c) { c.checkBrowseMode(); }))
    return;
  TabSet();
}

QString TEstimateDataForm::recordCounterText() const { return QString::number(cursor_->recordCount()); }

void TEstimateDataForm::refreshCounter() { TotalPanel->setText(recordCounterText()); }

// ---------------------------------------------------------------------------------------------
// First tick, keys, hints

void TEstimateDataForm::Timer1Timer() {
  Timer1->stop();
  for (auto& step : firstTickSteps)
    if (!step()) break;
}

void TEstimateDataForm::showHint(const QString& text) { statusBar()->showMessage(text); }

bool TEstimateDataForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && widget && widget->window() == this && key->modifiers() == Qt::NoModifier) {
      // Enter moves on like Tab and never reaches the control.
      focusNextChild();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Close

bool TEstimateDataForm::FormCloseQuery() {
  bool close = true;
  if (cursor_->state() != table::Cursor::State::Browse) {
    switch (dialogs().ask(this, u8("登録していません！\r登録してよろしいですか？"), true)) {
      case vendaro::ui::Dialogs::Answer::Yes:
        close = source_->next();  // saving runs both hooks; a refused value keeps the window open
        break;
      case vendaro::ui::Dialogs::Answer::No:
        source_->cancel();
        break;
      case vendaro::ui::Dialogs::Answer::Cancel:
        close = false;
        break;
    }
  }
  writeSettings();
  return close;
}

void TEstimateDataForm::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) event->accept();
  else event->ignore();
}

void TEstimateDataForm::writeSettings() {
  try {
    saveMainSettings(programDirectory_, settlementDay_, periodLimit(), leftColumnWidth());
    if (settings_.displayPattern && fileExists(joinPath(programDirectory_, "EsDsplay.INI"))) writeColumnWidths();
  } catch (const FileError& e) {
    dialogs().message(this, toQ(e.what()));
  }
}

void TEstimateDataForm::writeColumnWidths() {
  std::vector<std::string> lines;
  QHeaderView* header = DBGrid1->horizontalHeader();
  for (int visual = 0; visual < header->count(); ++visual) {
    int field = header->logicalIndex(visual);
    if (header->isSectionHidden(field)) continue;
    lines.push_back(std::to_string(field + 1));
    lines.push_back(std::to_string(DBGrid1->displayWidth(field)));
  }
  writeSettingsLines(joinPath(programDirectory_, "EstimateLen.INI"), lines);
}

// ---------------------------------------------------------------------------------------------
// Splitter

int TEstimateDataForm::leftColumnWidth() const { return Panel5->property("columnWidth").toInt(); }

void TEstimateDataForm::setLeftColumnWidth(int width) {
  width = std::max(width, 0);
  Panel5->setProperty("columnWidth", width);
  Splitter1->setSizes({width, std::max(Splitter1->width() - width, 400)});
  Panel4->setFixedWidth(width);
  Panel22->setFixedWidth(width);
}

}  // namespace vendaro::app::ui

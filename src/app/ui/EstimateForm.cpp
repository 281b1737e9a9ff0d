#include "app/ui/EstimateForm.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdlib>

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

namespace {
/// A box whose value the mouse wheel turns.
bool turnsWithTheWheel(const QObject* object) {
  return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object);
}
}  // namespace

TEstimateDataForm::TEstimateDataForm(const std::string& programDirectory, const std::string& cardataDirectory,
                                     QWidget* parent)
    : QMainWindow(parent), programDirectory_(programDirectory), cardataDirectory_(cardataDirectory) {
  setObjectName(QStringLiteral("EstimateDataForm"));
  setWindowTitle(QStringLiteral("Vendaro For Win32"));

  cursor_ = book::openEstimateTable(cardataDirectory);
  // After every save the tabs are rebuilt; the estimate just saved stays the current one, also
  // when the filter of the open tab would no longer have shown it.
  cursor_->afterPost = [this](table::Cursor& c) { rebuildTabs(c.postedBookmark()); };
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
  markSettlementDay(settlementDay_);
  menu_.value(QStringLiteral("Limit1"))->setChecked(settings_.periodLimit);

  // 11.-12. The fixed tabs and the month tabs; "全て" selected, newest estimate first.
  connect(TabBar, &QTabBar::currentChanged, this, [this](int index) {
    if (!rebuildingTabs_) TabControl1Change(index);
  });
  TabSet();
  cursor_->first();  // at start the newest estimate is the current one

  connect(source_.get(), &vendaro::ui::DataSource::changed, this, [this] { refreshCounter(); });
  refreshCounter();

  qApp->installEventFilter(this);
  // Boxes polished before the filter was in place get the focus policy of the later ones here.
  for (QWidget* box : findChildren<QWidget*>())
    if (turnsWithTheWheel(box) && box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  // End-to-end tests of the start-up hold the first tick back for as long as they look at the
  // window before it.
  if (const char* delay = std::getenv("VENDARO_FIRST_TICK_MS")) Timer1->setInterval(std::max(0, std::atoi(delay)));
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
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName(QStringLiteral("ToolBar"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->addWidget(SpeedPanel1);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void TEstimateDataForm::setLocked(bool locked) {
  locked_ = locked;
  TabControl1->setVisible(!locked);
  TabControl1->setEnabled(!locked);
  // A disabled menu bar also takes the shortcut keys of its items out of use.
  menuBar()->setEnabled(!locked);
  toolBar_->setEnabled(!locked);
}

void TEstimateDataForm::buildList(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  DBGrid1 = new vendaro::ui::DBGrid(source_.get(), page);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  // The money figures are changed on the sheet, where leaving a box recalculates the totals; a
  // figure typed into the grid would be saved with totals that no longer match it.
  DBGrid1->cursorModel()->readOnlyField = [](int field) {
    const book::FieldKind kind = book::estimateFields().at(static_cast<std::size_t>(field)).kind;
    return kind == book::FieldKind::Yen || kind == book::FieldKind::DerivedYen;
  };
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

void TEstimateDataForm::TabSet() { rebuildTabs(0); }

void TEstimateDataForm::rebuildTabs(int64_t keep) {
  refreshCounter();
  rebuildingTabs_ = true;
  monthTabs_ = book::rebuildMonthTabs(*cursor_, settlementDay_);
  if (keep != 0) cursor_->gotoBookmark(keep);
  QStringList captions{toQ(book::allTabCaption()), toQ(book::personTabCaption())};
  for (const auto& tab : monthTabs_) captions << toQ(tab.caption);
  // Most saves leave the span of months as it was: the tabs are then kept, not laid out again.
  bool same = TabBar->count() == captions.size();
  for (int i = 0; same && i < captions.size(); ++i) same = TabBar->tabText(i) == captions[i];
  if (!same) {
    while (TabBar->count() > 0) TabBar->removeTab(TabBar->count() - 1);
    for (const QString& caption : captions) TabBar->addTab(caption);
  }
  TabBar->setCurrentIndex(0);
  openTab_ = 0;
  rebuildingTabs_ = false;
  source_->refresh();
}

void TEstimateDataForm::selectTabQuietly(int index) {
  rebuildingTabs_ = true;
  TabBar->setCurrentIndex(index);
  rebuildingTabs_ = false;
}

void TEstimateDataForm::TabControl1Change(int index) {
  if (index < 0) return;
  QString caption = TabBar->tabText(index);
  if (cursor_->state() != table::Cursor::State::Browse) {
    // Saving first rebuilds the tabs; the chosen tab is then found again by its caption. A save
    // that is refused leaves the open tab and its filter as they were.
    if (!source_->run([](table::Cursor& c) { c.checkBrowseMode(); })) {
      selectTabQuietly(openTab_);
      return;
    }
    index = -1;
    for (int i = 0; i < TabBar->count(); ++i)
      if (TabBar->tabText(i) == caption) index = i;
    if (index < 0) index = 0;
    selectTabQuietly(index);
  }
  bool filtered = source_->run([&](table::Cursor& c) {
    if (index >= 2 && static_cast<std::size_t>(index - 2) < monthTabs_.size()) {
      c.setFilter(book::monthFilter(monthTabs_[static_cast<std::size_t>(index - 2)], settlementDay_));
      c.setFiltered(true);
    } else if (index == 1) {
      c.setFilter(book::personFilter(c.text(book::kNameField)));
      c.setFiltered(true);
    } else {
      c.setFiltered(false);
    }
  });
  if (filtered) openTab_ = index;
  else selectTabQuietly(openTab_);  // the filter in force is still the old tab's
  refreshCounter();
}

void TEstimateDataForm::markSettlementDay(int day) {
  for (int i = 0; i < 6; ++i)
    menu_.value(QStringLiteral("settle%1").arg(i + 1))->setChecked(book::kSettlementDays[i] == day);
}

void TEstimateDataForm::chooseSettlementDay(int day) {
  // A pending estimate is saved first; when it is refused, the day, its check mark and the tabs
  // stay as they were.
  if (cursor_->state() != table::Cursor::State::Browse && !source_->run([](table::Cursor& c) { c.checkBrowseMode(); })) {
    markSettlementDay(settlementDay_);
    return;
  }
  markSettlementDay(day);
  settlementDay_ = day;
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
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      auto* widget = qobject_cast<QWidget*>(watched);
      // Every Enter, the main one and the number pad's (which X marks with the keypad modifier),
      // with Shift or without, moves on like Tab and never reaches the control, so no memo takes
      // a line break from it.
      bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
      if (enter && widget && widget->window() == this) {
        focusNextChild();
        return true;
      }
      break;
    }
    case QEvent::Polish:
      // The wheel does not give these boxes the focus: a box nobody chose is never changed by
      // scrolling over it.
      if (turnsWithTheWheel(watched)) {
        auto* box = static_cast<QWidget*>(watched);
        if (box->focusPolicy() == Qt::WheelFocus) box->setFocusPolicy(Qt::StrongFocus);
      }
      break;
    case QEvent::Wheel:
      if (turnsWithTheWheel(watched) && !static_cast<QWidget*>(watched)->hasFocus()) {
        // Without the focus the wheel scrolls whatever holds the box (the estimate sheet).
        auto* box = static_cast<QWidget*>(watched);
        for (QWidget* up = box->parentWidget(); up; up = up->parentWidget()) {
          if (auto* area = qobject_cast<QAbstractScrollArea*>(up)) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const QPointF at = area->viewport()->mapFromGlobal(wheel->globalPosition());
            QWheelEvent scroll(at, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                               wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                               wheel->source());
            QApplication::sendEvent(area->viewport(), &scroll);
            break;
          }
          if (up->isWindow()) break;
        }
        return true;
      }
      break;
    default:
      break;
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

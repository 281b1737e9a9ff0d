#include "formprint/ui/CarPrtForm.h"

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

#include "formprint/jpeg_image.h"
#include "formprint/print_run.h"
#include "formprint/ui/ItemFont.h"
#include "formprint/ui/SheetPrinter.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"
#include "platform/ui/buttons.h"

namespace vendaro::formprint::ui {

using vendaro::ui::DataSource;
using vendaro::ui::DBCheckBox;
using vendaro::ui::DBComboBox;
using vendaro::ui::DBEdit;
using vendaro::ui::DBNavigator;
using vendaro::ui::toQ;
using vendaro::ui::namedButton;
using vendaro::ui::u8;

namespace {

QLabel* caption(const char* utf8, const char* name, QWidget* parent) {
  auto* label = new QLabel(u8(utf8), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

/// A caption panel: a sunken box with centred text.
QLabel* panel(const char* utf8, const char* name, QWidget* parent) {
  QLabel* label = caption(utf8, name, parent);
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Raised);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QStringList numbers(std::initializer_list<int> values) {
  QStringList out;
  for (int v : values) out << QString::number(v);
  return out;
}

void message(QWidget* parent, const std::exception& e) { vendaro::ui::dialogs().message(parent, toQ(e.what())); }

}  // namespace

TCarPrintForm::TCarPrintForm(const std::string& programDirectory, const std::string& cardataDirectory,
                             const table::Cursor& estimates, const CompanyFields* company, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("CarPrintForm"));
  setWindowTitle(u8("印刷設定"));
  tables_ = LayoutTables::open(cardataDirectory);
  evaluator_ = std::make_unique<ItemEvaluator>(estimates, company ? *company : noCompany_, *tables_,
                                               [](const std::string&) { return false; });
  dataSource_ = std::make_unique<DataSource>(tables_->data());
  xSource_ = std::make_unique<DataSource>(tables_->posX());
  ySource_ = std::make_unique<DataSource>(tables_->posY());
  sizeSource_ = std::make_unique<DataSource>(tables_->size());
  // Keep the editor's copy of the layout list current after every save of a layout record.
  auto previousAfterPost = tables_->data().afterPost;
  tables_->data().afterPost = [this, previousAfterPost](table::Cursor& c) {
    if (previousAfterPost) previousAfterPost(c);
    list_.recordSaved(c.recNo(), c.text(kPrintNameField));
  };

  try {
    installBlankForm(programDirectory_);
    list_.read(programDirectory_);
  } catch (const FileError& e) {
    message(parent, e);
  }
  face_ = readFontFace(programDirectory_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildTop(this);
  layout->addWidget(TopPanel);
  auto* middle = new QHBoxLayout;
  middle->setSpacing(0);
  buildPointPanel(this);
  middle->addWidget(PointPanel);
  auto* right = new QWidget(this);
  buildPreview(right);
  middle->addWidget(right, 1);
  layout->addLayout(middle, 1);
  buildButtons(this);
  layout->addWidget(BtnPanel);

  Edit1->setText(toQ(face_));
  showStandInFace();
  // The design size; the window can grow, and the preview with it, to show more of the form.
  resize(620, 400);

  // Enter moves to the next field as Tab does.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

TCarPrintForm::~TCarPrintForm() {
  // The bound controls go with the widgets; their data sources must outlive them.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
  tables_->data().afterPost = nullptr;
}

void TCarPrintForm::buildTop(QWidget* parent) {
  TopPanel = new QWidget(parent);
  TopPanel->setObjectName(QStringLiteral("TopPanel"));
  auto* grid = new QGridLayout(TopPanel);
  grid->setContentsMargins(4, 4, 4, 2);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  grid->addWidget(caption("印刷タイプ：", "TypeLabel", TopPanel), 0, 0);
  DBNavigator1 = new DBNavigator(dataSource_.get(),
                                 {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                  DBNavigator::Insert},
                                 TopPanel);
  DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
  grid->addWidget(DBNavigator1, 0, 1, 1, 2);
  grid->addWidget(caption("印刷名：", "NameLabel", TopPanel), 0, 3);
  DBEdit1 = new DBEdit(dataSource_.get(), sjis::lit("印刷名"), TopPanel);
  DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
  grid->addWidget(DBEdit1, 0, 4, 1, 3);
  grid->addWidget(caption("尺度：", "Label5", TopPanel), 0, 7);
  grid->addWidget(caption("1/", "Label6", TopPanel), 0, 8);
  ScaleComboBox = new QComboBox(TopPanel);
  ScaleComboBox->setObjectName(QStringLiteral("ScaleComboBox"));
  ScaleComboBox->setEditable(true);
  ScaleComboBox->setInsertPolicy(QComboBox::NoInsert);
  ScaleComboBox->addItems(numbers({1, 2, 3, 4, 5}));
  ScaleComboBox->setCurrentIndex(1);
  ScaleComboBox->setMaximumWidth(48);
  ScaleComboBox->setAccessibleDescription(u8("尺度"));
  grid->addWidget(ScaleComboBox, 0, 9);

  grid->addWidget(caption("印刷フォーム：", "FormLabel", TopPanel), 1, 0);
  DBEdit2 = new DBEdit(dataSource_.get(), sjis::lit("印刷フォーム"), TopPanel);
  DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
  grid->addWidget(DBEdit2, 1, 1);
  ReadButton = namedButton(u8("参照"), "ReadButton", TopPanel);
  ReadButton->setMaximumWidth(44);
  grid->addWidget(ReadButton, 1, 2);
  grid->addWidget(caption("印刷横サイズ：", "HLabel", TopPanel), 1, 3);
  DBEdit3 = new DBEdit(dataSource_.get(), sjis::lit("印刷サイズＸ"), TopPanel);
  DBEdit3->setObjectName(QStringLiteral("DBEdit3"));
  DBEdit3->setMaximumWidth(44);
  grid->addWidget(DBEdit3, 1, 4);
  grid->addWidget(caption("mm", "Label1", TopPanel), 1, 5);
  grid->addWidget(caption("印刷縦サイズ：", "VLabel", TopPanel), 1, 6);
  DBEdit4 = new DBEdit(dataSource_.get(), sjis::lit("印刷サイズＹ"), TopPanel);
  DBEdit4->setObjectName(QStringLiteral("DBEdit4"));
  DBEdit4->setMaximumWidth(44);
  grid->addWidget(DBEdit4, 1, 7, 1, 2);
  grid->addWidget(caption("mm", "Label2", TopPanel), 1, 9);

  // A navigator click first saves what was typed into the layout it was typed for (the attribute
  // tables would otherwise take it along to the next layout), then moves and redraws.
  for (auto b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last}) {
    QToolButton* button = DBNavigator1->button(b);
    disconnect(button, &QToolButton::clicked, nullptr, nullptr);
    connect(button, &QToolButton::clicked, this, [this, b] {
      if (!saveAll()) return;
      switch (b) {
        case DBNavigator::First: dataSource_->first(); break;
        case DBNavigator::Prior: dataSource_->prior(); break;
        case DBNavigator::Next: dataSource_->next(); break;
        default: dataSource_->last(); break;
      }
      redraw();
    });
  }
  // A new layout is made with its three attribute records, so none exists without them.
  QToolButton* insert = DBNavigator1->button(DBNavigator::Insert);
  disconnect(insert, &QToolButton::clicked, nullptr, nullptr);
  connect(insert, &QToolButton::clicked, this, [this] { openLayout(tables_->layoutCount() + 1); });
  connect(ScaleComboBox, &QComboBox::currentTextChanged, this, [this] { redraw(); });
  connect(ReadButton, &QPushButton::clicked, this, [this] { ReadButtonClick(); });
  connect(DBEdit2, &QLineEdit::textChanged, this, [this] { loadFormImage(); });
  // A paper size takes effect when its box is left (Enter leaves it too), never halfway through
  // typing it.
  for (DBEdit* paper : {DBEdit3, DBEdit4}) {
    connect(paper, &DBEdit::exit, this, [this] {
      if (paperW_ != tables_->paperWidth() || paperH_ != tables_->paperHeight()) {
        dataSource_->post();
        redraw();
      }
    });
  }
}

void TCarPrintForm::buildPointPanel(QWidget* parent) {
  PointPanel = new QWidget(parent);
  PointPanel->setObjectName(QStringLiteral("PointPanel"));
  PointPanel->setFixedWidth(214);
  auto* column = new QVBoxLayout(PointPanel);
  column->setContentsMargins(4, 2, 2, 2);
  column->setSpacing(2);

  auto* noSet = new QWidget(PointPanel);
  noSet->setObjectName(QStringLiteral("NoSetPanel"));
  auto* noRow = new QHBoxLayout(noSet);
  noRow->setContentsMargins(0, 0, 0, 0);
  QLabel* nPanel = panel("NO.", "NPanel", noSet);
  nPanel->setFixedWidth(34);
  noRow->addWidget(nPanel);
  NoPanel = panel("1", "NoPanel", noSet);
  NoPanel->setFixedWidth(34);
  noRow->addWidget(NoPanel);
  NoScrollBar = new QScrollBar(Qt::Horizontal, noSet);
  NoScrollBar->setObjectName(QStringLiteral("NoScrollBar"));
  NoScrollBar->setRange(1, kItemCount);
  NoScrollBar->setPageStep(5);
  // The number and its bar are read out by the caption beside them.
  NoPanel->setAccessibleDescription(u8("NO."));
  NoScrollBar->setAccessibleName(u8("NO."));
  noRow->addWidget(NoScrollBar, 1);
  column->addWidget(noSet);

  PosSetPanel = new QWidget(PointPanel);
  PosSetPanel->setObjectName(QStringLiteral("PosSetPanel"));
  auto* grid = new QGridLayout(PosSetPanel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(2);
  grid->addWidget(panel("項目名", "KPanel", PosSetPanel), 0, 0);
  MenuDBComboBox = new DBComboBox(dataSource_.get(), fieldName("項目", 1), PosSetPanel);
  MenuDBComboBox->setObjectName(QStringLiteral("MenuDBComboBox"));
  QStringList entries;
  for (const std::string& e : itemMenuEntries()) entries << toQ(e);
  MenuDBComboBox->setItems(entries);
  MenuDBComboBox->setMaxVisibleItems(20);
  grid->addWidget(MenuDBComboBox, 0, 1, 1, 3);

  DateSPPanel = panel("日付の幅", "DateSPPanel", PosSetPanel);
  grid->addWidget(DateSPPanel, 1, 0);
  LenDBComboBox = new DBComboBox(dataSource_.get(), sjis::lit("日付の幅"), PosSetPanel);
  LenDBComboBox->setObjectName(QStringLiteral("LenDBComboBox"));
  LenDBComboBox->setItems(numbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  grid->addWidget(LenDBComboBox, 1, 1);

  grid->addWidget(panel("Ｙ座標", "YPanel", PosSetPanel), 2, 0);
  YPosDBEdit = new DBEdit(ySource_.get(), fieldName("Ｙ座標", 1), PosSetPanel);
  YPosDBEdit->setObjectName(QStringLiteral("YPosDBEdit"));
  grid->addWidget(YPosDBEdit, 2, 1);
  YPosPanel = panel("0", "YPosPanel", PosSetPanel);
  YPosPanel->setAccessibleDescription(u8("Ｙ座標（mm）"));
  grid->addWidget(YPosPanel, 2, 2);
  grid->addWidget(caption("mm", "Label3", PosSetPanel), 2, 3);

  grid->addWidget(panel("文字サイズ", "FPPanel", PosSetPanel), 3, 0);
  FSizDBComboBox = new DBComboBox(sizeSource_.get(), fieldName("サイズ", 1), PosSetPanel);
  FSizDBComboBox->setObjectName(QStringLiteral("FSizDBComboBox"));
  FSizDBComboBox->setItems(numbers({8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}));
  grid->addWidget(FSizDBComboBox, 3, 1, 1, 3);

  grid->addWidget(panel("文字フォント", "Panel7", PosSetPanel), 4, 0);
  Edit1 = new QLineEdit(PosSetPanel);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setReadOnly(true);
  grid->addWidget(Edit1, 4, 1, 1, 3);

  grid->addWidget(panel("Ｘ座標", "XPanel", PosSetPanel), 5, 0);
  XPosDBEdit = new DBEdit(xSource_.get(), fieldName("Ｘ座標", 1), PosSetPanel);
  XPosDBEdit->setObjectName(QStringLiteral("XPosDBEdit"));
  grid->addWidget(XPosDBEdit, 5, 1);
  XPosPanel = panel("0", "XPosPanel", PosSetPanel);
  XPosPanel->setAccessibleDescription(u8("Ｘ座標（mm）"));
  grid->addWidget(XPosPanel, 5, 2);
  grid->addWidget(caption("mm", "Label4", PosSetPanel), 5, 3);
  XScrollBar = new QScrollBar(Qt::Horizontal, PosSetPanel);
  XScrollBar->setObjectName(QStringLiteral("XScrollBar"));
  XScrollBar->setPageStep(10);
  XScrollBar->setAccessibleName(u8("Ｘ座標"));
  grid->addWidget(XScrollBar, 6, 0, 1, 4);
  YScrollBar = new QScrollBar(Qt::Vertical, PosSetPanel);
  YScrollBar->setObjectName(QStringLiteral("YScrollBar"));
  YScrollBar->setPageStep(10);
  YScrollBar->setAccessibleName(u8("Ｙ座標"));
  grid->addWidget(YScrollBar, 0, 4, 7, 1);
  grid->setColumnStretch(1, 1);
  column->addWidget(PosSetPanel);
  PosSetPanel->hide();
  column->addStretch(1);

  auto* strip = new QWidget(PointPanel);
  auto* stripRow = new QVBoxLayout(strip);
  stripRow->setContentsMargins(0, 0, 0, 0);
  CheckBox2 = new QCheckBox(u8("修正モード"), strip);
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  CalDBCheckBox = new DBCheckBox(dataSource_.get(), sjis::lit("日付の表示"), u8("日付の年月日の表示"), strip);
  CalDBCheckBox->setObjectName(QStringLiteral("CalDBCheckBox"));
  stripRow->addWidget(CheckBox2);
  stripRow->addWidget(CalDBCheckBox);
  FaceNoteLabel = new QLabel(strip);
  FaceNoteLabel->setObjectName(QStringLiteral("FaceNoteLabel"));
  FaceNoteLabel->setWordWrap(true);
  stripRow->addWidget(FaceNoteLabel);
  column->addWidget(strip);

  connect(NoScrollBar, &QScrollBar::valueChanged, this, [this](int k) { selectItem(k); });
  connect(MenuDBComboBox, &QComboBox::currentTextChanged, this, [this] { refreshCurrentItem(); });
  connect(MenuDBComboBox, &QComboBox::editTextChanged, this, [this] { refreshCurrentItem(); });
  connect(LenDBComboBox, QOverload<int>::of(&QComboBox::activated), this, [this] {
    if (tables_->data().state() != table::Cursor::State::Browse) dataSource_->post();
    refreshCurrentItem();
  });
  connect(LenDBComboBox, &DBComboBox::exit, this, [this] {
    if (tables_->data().state() != table::Cursor::State::Browse) dataSource_->post();
    refreshCurrentItem();
  });
  connect(XScrollBar, &QScrollBar::valueChanged, this, [this](int v) { scrollBarMoved(Axis::X, v); });
  connect(YScrollBar, &QScrollBar::valueChanged, this, [this](int v) { scrollBarMoved(Axis::Y, v); });
  connect(XPosDBEdit, &QLineEdit::textEdited, this, [this] { typedPosition(Axis::X); });
  connect(YPosDBEdit, &QLineEdit::textEdited, this, [this] { typedPosition(Axis::Y); });
  connect(XPosDBEdit, &DBEdit::exit, this, [this] { positionChanged(Axis::X, true); });
  connect(YPosDBEdit, &DBEdit::exit, this, [this] { positionChanged(Axis::Y, true); });
  connect(FSizDBComboBox, &QComboBox::currentTextChanged, this, [this] { sizeChanged(); });
  connect(FSizDBComboBox, &QComboBox::editTextChanged, this, [this] { sizeChanged(); });
  connect(CheckBox2, &QCheckBox::toggled, PosSetPanel, &QWidget::setVisible);
  connect(CalDBCheckBox, &QCheckBox::clicked, this, [this] { redraw(); });
}

void TCarPrintForm::buildPreview(QWidget* parent) {
  auto* column = new QVBoxLayout(parent);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  ScrollBox1 = new QScrollArea(parent);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setBackgroundRole(QPalette::Dark);
  ScrollBox1->setAccessibleName(u8("プレビュー"));
  auto* sheet = new QWidget;
  sheet->setObjectName(QStringLiteral("PreviewSheet"));
  sheet->setAccessibleName(u8("用紙"));
  // Clicking an item gives the preview the focus, so the arrow keys move that item.
  sheet->setFocusPolicy(Qt::ClickFocus);
  Image1 = new QLabel(sheet);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setScaledContents(true);
  Image1->move(0, 0);
  for (int k = 1; k <= kItemCount; ++k) {
    auto* label = new QLabel(sheet);
    label->setObjectName(QStringLiteral("PrintLabel%1").arg(k));
    QPalette white = label->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(white);
    label->setBackgroundRole(QPalette::Window);  // not the preview's dark surround
    label->setForegroundRole(QPalette::WindowText);
    label->setAutoFillBackground(true);
    label->hide();
    PrintLabel[std::size_t(k - 1)] = label;
  }
  ScrollBox1->setWidget(sheet);
  column->addWidget(ScrollBox1, 1);
  auto* switches = new QHBoxLayout;
  switches->setContentsMargins(4, 2, 4, 2);
  CheckBox1 = new DBCheckBox(dataSource_.get(), sjis::lit("印刷フォームの印刷"), u8("印刷フォームの印刷"), parent);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  DBCheckBox1 = new DBCheckBox(dataSource_.get(), sjis::lit("連続印刷"), u8("連続印刷"), parent);
  DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
  switches->addWidget(CheckBox1);
  switches->addWidget(DBCheckBox1);
  switches->addStretch(1);
  column->addLayout(switches);
}

void TCarPrintForm::buildButtons(QWidget* parent) {
  BtnPanel = new QWidget(parent);
  BtnPanel->setObjectName(QStringLiteral("BtnPanel"));
  BtnPanel->setFixedHeight(36);
  OKBtn = namedButton(u8("OK(&Y)"), "OKBtn", BtnPanel);
  OKBtn->setAutoDefault(false);
  CancelBtn = namedButton(u8("ｷｬﾝｾﾙ"), "CancelBtn", BtnPanel);
  CancelBtn->setAutoDefault(false);
  // Clicking Cancel does not take the focus, so a box being typed in is not left (and its value
  // stored) on the way out.
  CancelBtn->setFocusPolicy(Qt::TabFocus);
  SpeedButton1 = new QToolButton(BtnPanel);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(u8("印刷機能修正"));
  SpeedButton1->setToolTip(u8("印刷機能修正"));
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(SpeedButton1, &QToolButton::clicked, this, [this] {
    if (printerSettings_) vendaro::ui::dialogs().exec(*printerSettings_);
  });
}

std::string TCarPrintForm::fieldName(const char* prefixUtf8, int k) const {
  return sjis::lit(prefixUtf8) + std::to_string(k);
}

int TCarPrintForm::scale() const {
  const int s = sjis::leadingInt(sjis::fromUtf8Lossy(ScaleComboBox->currentText().toStdString()));
  return s >= 1 && s <= 5 ? s : 2;
}

void TCarPrintForm::openLayout(int n) {
  if (!saveAll()) return;
  // The first layout this showing makes: on Cancel, new layouts nothing was stored into go again.
  if (n > tables_->layoutCount() && createdFrom_ == 0) createdFrom_ = tables_->layoutCount() + 1;
  dataSource_->run([this, n](table::Cursor&) {
    tables_->ensureLayout(n);
    tables_->openLayout(n);
  });
  xSource_->refresh();
  ySource_->refresh();
  sizeSource_->refresh();
  if (isVisible()) redraw();
}

bool TCarPrintForm::saveAll() {
  for (DataSource* s : {dataSource_.get(), xSource_.get(), ySource_.get(), sizeSource_.get()})
    if (!s->updateRecord() || (s->cursor().state() != table::Cursor::State::Browse && !s->post())) return false;
  return true;
}

QFont TCarPrintForm::labelFont(int points) const {
  QFont font = itemFont(face_);
  // The size the item prints at, in points at 96 dots per inch, reduced by the scale, whatever
  // the screen's own resolution.
  const double pixels = printedPoints(points) * 96.0 / 72.0 / scale();
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  return font;
}

void TCarPrintForm::markOutsidePaper(int k) {
  QLabel* label = PrintLabel[std::size_t(k - 1)];
  const int x = tables_->itemX(k), y = tables_->itemY(k);
  const bool outside = x < 0 || y < 0 || x > mmToLayoutUnits(paperW_) || y > mmToLayoutUnits(paperH_);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, outside ? Qt::red : Qt::black);
  label->setPalette(palette);
  label->setFrameShape(outside ? QFrame::Box : QFrame::NoFrame);
  const QString note = outside ? u8("用紙の外（この位置に印刷されます）") : QString();
  label->setToolTip(note);
  label->setAccessibleDescription(note);
}

void TCarPrintForm::showLabel(int k, const ItemValue& value) {
  QLabel* label = PrintLabel[std::size_t(k - 1)];
  label->setText(toQ(value.text));
  label->adjustSize();
  label->setVisible(!value.text.empty());
}

void TCarPrintForm::redraw() {
  const int s = scale();
  paperW_ = tables_->paperWidth();
  paperH_ = tables_->paperHeight();
  const int w = mmToLayoutUnits(paperW_), h = mmToLayoutUnits(paperH_);
  settingBars_ = true;
  XScrollBar->setRange(0, std::max(0, w));
  YScrollBar->setRange(0, std::max(0, h));
  settingBars_ = false;
  Image1->resize(std::max(0, w / s), std::max(0, h / s));
  QWidget* sheet = ScrollBox1->widget();
  int right = Image1->width(), bottom = Image1->height();
  for (int k = 1; k <= kItemCount; ++k) {
    QLabel* label = PrintLabel[std::size_t(k - 1)];
    label->setFont(labelFont(tables_->itemSize(k)));
    label->move(tables_->itemX(k) / s, tables_->itemY(k) / s);
    markOutsidePaper(k);
    const std::string expression = tables_->item(k);
    showLabel(k, expression.empty() ? ItemValue{} : evaluator_->menuTextCheck(expression, EvalMode::Screen));
    if (label->isVisibleTo(sheet)) {
      right = std::max(right, label->x() + label->width());
      bottom = std::max(bottom, label->y() + label->height());
    }
  }
  sheet->resize(right, bottom);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  ScrollBox1->verticalScrollBar()->setValue(0);
  selectItem(1);
}

void TCarPrintForm::selectItem(int k) {
  if (k < 1 || k > kItemCount) return;
  saveAll();
  current_ = k;
  NoPanel->setText(QString::number(k));
  if (NoScrollBar->value() != k) {
    const bool was = NoScrollBar->blockSignals(true);
    NoScrollBar->setValue(k);
    NoScrollBar->blockSignals(was);
  }
  MenuDBComboBox->rebind(fieldName("項目", k));
  YPosDBEdit->rebind(fieldName("Ｙ座標", k));
  XPosDBEdit->rebind(fieldName("Ｘ座標", k));
  FSizDBComboBox->rebind(fieldName("サイズ", k));
  positionChanged(Axis::Y, false);
  positionChanged(Axis::X, false);
  refreshCurrentItem();
}

void TCarPrintForm::refreshCurrentItem() {
  if (!evaluator_) return;
  const std::string expression = sjis::fromUtf8Lossy(MenuDBComboBox->currentText().toStdString());
  const ItemValue value = expression.empty() ? ItemValue{} : evaluator_->menuTextCheck(expression, EvalMode::Screen);
  const bool date = value.number != 0;
  DateSPPanel->setVisible(date);
  LenDBComboBox->setVisible(date);
  showLabel(current_, value);
}

void TCarPrintForm::positionChanged(Axis axis, bool placedByUser) {
  DataSource& src = source(axis);
  table::Cursor& cursor = src.cursor();
  if (cursor.isEmpty()) return;
  if (cursor.state() != table::Cursor::State::Browse && !src.post()) return;
  const int field = current_ - 1;
  const int limit = mmToLayoutUnits(axis == Axis::X ? tables_->paperWidth() : tables_->paperHeight());
  int v = cursor.integer(field);
  // A position the user places beyond the paper is cut back to its edge; one that is stored
  // beyond it (a paper made smaller since) is shown and printed where it is.
  if (placedByUser && v > limit) {
    v = limit;
    src.run([field, v](table::Cursor& c) {
      c.edit();
      c.setInteger(field, v);
      c.post();
    });
  }
  showPosition(axis, v);
  markOutsidePaper(current_);
}

void TCarPrintForm::showPosition(Axis axis, int v) {
  settingBars_ = true;
  (axis == Axis::X ? XScrollBar : YScrollBar)->setValue(v);
  settingBars_ = false;
  QLabel* label = PrintLabel[std::size_t(current_ - 1)];
  const int s = scale();
  if (axis == Axis::X) {
    label->move(v / s, label->y());
    XPosPanel->setText(QString::number(layoutUnitsToMm(v)));
  } else {
    label->move(label->x(), v / s);
    YPosPanel->setText(QString::number(layoutUnitsToMm(v)));
  }
}

void TCarPrintForm::placeItem(int x, int y, bool store) {
  // Placed by hand on the preview: held on the paper, as the scroll bars hold it.
  const int w = mmToLayoutUnits(tables_->paperWidth()), h = mmToLayoutUnits(tables_->paperHeight());
  x = std::clamp(x, 0, std::max(0, w));
  y = std::clamp(y, 0, std::max(0, h));
  const int field = current_ - 1;
  for (auto [axis, v] : {std::pair{Axis::X, x}, std::pair{Axis::Y, y}}) {
    DataSource& src = source(axis);
    if (src.cursor().isEmpty()) return;
    const int value = v;
    if (!src.run([field, value](table::Cursor& c) {
          if (c.state() == table::Cursor::State::Browse) c.edit();
          c.setInteger(field, value);
        }))
      return;
    if (store) {
      positionChanged(axis, true);
      continue;
    }
    // While dragging, nothing is written to the disk yet: the label, the bar and the panel follow.
    showPosition(axis, value);
  }
}

void TCarPrintForm::scrollBarMoved(Axis axis, int value) {
  if (settingBars_) return;
  const int field = current_ - 1;
  if (!source(axis).run([field, value](table::Cursor& c) {
        if (c.state() == table::Cursor::State::Browse) c.edit();
        c.setInteger(field, value);
      }))
    return;
  positionChanged(axis, true);
}

void TCarPrintForm::typedPosition(Axis axis) {
  DBEdit* edit = axis == Axis::X ? XPosDBEdit : YPosDBEdit;
  // Each keystroke that leaves a whole number is stored at once; anything else waits for the
  // field to be left, where the binding refuses it with the table engine's message.
  if (!sjis::parseInt32(sjis::fromUtf8Lossy(edit->text().toStdString()))) return;
  if (edit->store()) positionChanged(axis, true);
}

void TCarPrintForm::sizeChanged() {
  const int points = sjis::leadingInt(sjis::fromUtf8Lossy(FSizDBComboBox->currentText().toStdString()));
  PrintLabel[std::size_t(current_ - 1)]->setFont(labelFont(points));
  PrintLabel[std::size_t(current_ - 1)]->adjustSize();
}

void TCarPrintForm::chooseFont() {
  QFont initial(toQ(face_));
  initial.setPointSize(printedPoints(tables_->itemSize(current_)));
  const std::optional<QFont> picked = vendaro::ui::dialogs().selectFont(this, initial);
  if (!picked) return;  // cancelled: the face, the size and the font file stay as they are
  const QFont& chosen = *picked;
  face_ = sjis::fromUtf8Lossy(chosen.family().toStdString());
  Edit1->setText(chosen.family());
  const int field = current_ - 1;
  const int points = chosen.pointSize() > 0 ? chosen.pointSize() : printedPoints(tables_->itemSize(current_));
  sizeSource_->run([field, points](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.setInteger(field, points);
  });
  for (int k = 1; k <= kItemCount; ++k) {
    PrintLabel[std::size_t(k - 1)]->setFont(labelFont(tables_->itemSize(k)));
    PrintLabel[std::size_t(k - 1)]->adjustSize();
  }
  showStandInFace();
  try {
    writeFontFace(programDirectory_, face_);
  } catch (const FileError& e) {
    message(this, e);
  }
}

void TCarPrintForm::showStandInFace() {
  const bool standsIn = faceStandsIn(face_);
  const QString family = standInFamily(face_);
  FaceNoteLabel->setText(u8("%1 はないため %2 で表示・印刷します").arg(toQ(face_), family));
  FaceNoteLabel->setVisible(standsIn && !family.isEmpty());
  Edit1->setToolTip(standsIn ? FaceNoteLabel->text() : QString());
}

void TCarPrintForm::ReadButtonClick() {
  const QString file = vendaro::ui::dialogs().openFile(this, QString(), u8("ｲﾒｰｼﾞﾌｧｲﾙ (*.jpg *.bmp)"),
                                                       QString::fromUtf8(programDirectory_.c_str()));
  if (file.isEmpty()) return;
  // The name only: the image is looked for in the program directory.
  const std::string name = sjis::fromUtf8Lossy(QFileInfo(file).completeBaseName().toStdString());
  dataSource_->run([&name](table::Cursor& c) {
    if (c.state() == table::Cursor::State::Browse) c.edit();
    c.setText(kFormNameField, name);
  });
}

void TCarPrintForm::loadFormImage() {
  const auto form = sjis::fromUtf8Lossy(DBEdit2->text().toStdString());
  std::string path = findFormImage(programDirectory_, form);
  if (path.empty()) path = joinPath(programDirectory_, blankFormFileName());
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(path, ec);
  const std::string key = path + "|" + std::to_string(ec ? 0 : stamp.time_since_epoch().count());
  if (key == formImageKey_) return;
  formImageKey_ = key;
  try {
    formImage_ = ui::loadFormImage(path);
    failedImage_.clear();
  } catch (const std::exception& e) {
    formImage_ = QImage();
    if (failedImage_ != key) {
      failedImage_ = key;
      message(this, e);
    }
  }
  Image1->setPixmap(QPixmap::fromImage(formImage_));
}

void TCarPrintForm::showEvent(QShowEvent* event) {
  try {
    list_.read(programDirectory_);  // an order saved meanwhile by the print order dialog is kept
  } catch (const FileError& e) {
    message(this, e);
  }
  loadFormImage();
  redraw();
  QDialog::showEvent(event);
}

void TCarPrintForm::done(int result) {
  if (result == QDialog::Accepted) {
    if (!saveAll()) return;
  } else {
    for (DataSource* s : {dataSource_.get(), xSource_.get(), ySource_.get(), sizeSource_.get()}) s->cancel();
    if (createdFrom_ > 0) {
      dataSource_->run([this](table::Cursor&) { tables_->removeUntouchedLayouts(createdFrom_); });
      for (DataSource* s : {xSource_.get(), ySource_.get(), sizeSource_.get()}) s->refresh();
    }
  }
  createdFrom_ = 0;
  try {
    std::vector<std::string> names;
    table::Cursor& data = tables_->data();
    for (int n = 1, count = data.recordCount(); n <= count; ++n)
      names.push_back(data.rowAt(n)[std::size_t(kPrintNameField)].text);
    list_.writeByEditor(programDirectory_, names);
  } catch (const std::exception& e) {
    message(this, e);
  }
  QDialog::done(result);
}

bool TCarPrintForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* keyEvent = static_cast<QKeyEvent*>(event);
      const int key = keyEvent->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        return true;
      }
      if (watched == ScrollBox1->widget() && CheckBox2->isChecked()) {
        // The arrow keys move the selected item by one layout unit, with Shift by ten.
        const int step = keyEvent->modifiers() & Qt::ShiftModifier ? 10 : 1;
        const int dx = key == Qt::Key_Left ? -step : key == Qt::Key_Right ? step : 0;
        const int dy = key == Qt::Key_Up ? -step : key == Qt::Key_Down ? step : 0;
        if (dx != 0 || dy != 0) {
          placeItem(tables_->itemX(current_) + dx, tables_->itemY(current_) + dy, true);
          return true;
        }
      }
      break;
    }
    case QEvent::MouseButtonPress:
      if (watched == Edit1) {
        chooseFont();
        return true;
      }
      for (int k = 1; k <= kItemCount; ++k)
        if (watched == PrintLabel[std::size_t(k - 1)]) {
          NoScrollBar->setValue(k);
          ScrollBox1->widget()->setFocus(Qt::MouseFocusReason);
          const auto* mouse = static_cast<QMouseEvent*>(event);
          if (mouse->button() == Qt::LeftButton && CheckBox2->isChecked() && current_ == k) {
            drag_ = {true, false, mouse->globalPosition().toPoint(), QPoint(tables_->itemX(k), tables_->itemY(k))};
          }
          return true;
        }
      break;
    case QEvent::MouseMove:
      if (drag_.active && watched == PrintLabel[std::size_t(current_ - 1)]) {
        // The label follows the mouse; the boxes show where it is, in layout units.
        const QPoint moved = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - drag_.start;
        const int s = scale();
        placeItem(drag_.origin.x() + moved.x() * s, drag_.origin.y() + moved.y() * s, false);
        drag_.moved = true;
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (drag_.active && watched == PrintLabel[std::size_t(current_ - 1)]) {
        drag_.active = false;
        // Stored once, where the item was let go.
        if (drag_.moved) placeItem(tables_->itemX(current_), tables_->itemY(current_), true);
        return true;
      }
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == FSizDBComboBox || watched == FSizDBComboBox->lineEdit()) {
        chooseFont();
        return true;
      }
      break;
    case QEvent::Resize:
      if (watched == BtnPanel) {
        const int w = BtnPanel->width();
        OKBtn->move(w / 3 - 37, 5);
        CancelBtn->move(w * 2 / 3 - 37, 5);
        SpeedButton1->move(w - SpeedButton1->sizeHint().width() - 6, 5);
      }
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vendaro::formprint::ui

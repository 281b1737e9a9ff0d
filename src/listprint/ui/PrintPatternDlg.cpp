#include "listprint/ui/PrintPatternDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "book/ui/FieldListChooser.h"
#include "listprint/ui/TextPrintStream.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/qtext.h"

namespace vendaro::listprint::ui {

using vendaro::ui::toQ;
using vendaro::ui::u8;

namespace {

/// A field's text in CP932; a character without a CP932 form becomes '?'.
std::string bytes(const QString& text) {
  return vendaro::ui::fromQ(text).value_or(sjis::fromUtf8Lossy(text.toStdString()));
}

template <typename W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLineEdit* numberEdit(QWidget* parent, const char* name, int width) {
  auto* edit = named(new QLineEdit(parent), name);
  edit->setFixedWidth(width);
  return edit;
}

}  // namespace

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up = new QToolButton(this);
  up->setArrowType(Qt::UpArrow);
  down = new QToolButton(this);
  down->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up, down}) {
    b->setFixedSize(16, 11);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    layout->addWidget(b);
  }
  connect(up, &QToolButton::clicked, this, [this] { step(1); });
  connect(down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::step(int by) {
  const int value = std::clamp(sjis::leadingInt(bytes(buddy_->text())), minimum_, maximum_);
  buddy_->setText(QString::number(std::clamp(value + by, minimum_, maximum_)));
}

TPrintPatDlg::TPrintPatDlg(const std::string& programDirectory, QWidget* parent)
    : QDialog(parent), programDirectory_(programDirectory) {
  setObjectName(QStringLiteral("PrintPatDlg"));
  setWindowTitle(u8("印刷設定"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  RadioGroup1 = named(new QGroupBox(u8("出力件数"), this), "RadioGroup1");
  RadioGroup1Current = new QRadioButton(u8("現在表示されている１件のみ"), RadioGroup1);
  RadioGroup1All = new QRadioButton(u8("全件（フィルタの状態）"), RadioGroup1);
  auto* group1 = new QButtonGroup(RadioGroup1);
  group1->addButton(RadioGroup1Current, 0);
  group1->addButton(RadioGroup1All, 1);
  auto* g1 = new QVBoxLayout(RadioGroup1);
  g1->addWidget(RadioGroup1Current);
  g1->addWidget(RadioGroup1All);
  connect(group1, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });

  Label1 = named(new QLabel(u8("１頁に印刷する件数"), this), "Label1");
  Edit1 = numberEdit(this, "Edit1", 50);
  UpDown1 = named(new UpDown(Edit1, 0, 9999, this), "UpDown1");

  GroupBox1 = named(new QGroupBox(u8("出力順序"), this), "GroupBox1");
  Chooser = new book::ui::FieldListChooser("出力しない項目", "出力する項目", true, GroupBox1);
  Label2 = Chooser->Label1;
  Label3 = Chooser->Label2;
  Label2->setObjectName(QStringLiteral("Label2"));
  Label3->setObjectName(QStringLiteral("Label3"));
  ListBox1 = Chooser->ListBox1;
  ListBox2 = Chooser->ListBox2;
  SpeedButton1 = Chooser->SpeedButton1;
  SpeedButton2 = Chooser->SpeedButton2;
  SpeedButton3 = Chooser->SpeedButton3;
  SpeedButton4 = Chooser->SpeedButton4;

  RadioGroup2 = named(new QGroupBox(u8("出力方法"), GroupBox1), "RadioGroup2");
  RadioGroup2Chosen = new QRadioButton(u8("指定した項目のみ"), RadioGroup2);
  RadioGroup2All = new QRadioButton(u8("全項目（画面出力）"), RadioGroup2);
  auto* group2 = new QButtonGroup(RadioGroup2);
  group2->addButton(RadioGroup2Chosen, 0);
  group2->addButton(RadioGroup2All, 1);
  auto* g2 = new QVBoxLayout(RadioGroup2);
  g2->addWidget(RadioGroup2Chosen);
  g2->addWidget(RadioGroup2All);
  connect(group2, &QButtonGroup::idClicked, this, [this] { RadioGroup2Click(); });

  Label4 = named(new QLabel(u8("境界線の長さ"), GroupBox1), "Label4");
  Edit2 = numberEdit(GroupBox1, "Edit2", 50);
  UpDown2 = named(new UpDown(Edit2, 0, 9999, GroupBox1), "UpDown2");

  Panel1 = named(new QFrame(GroupBox1), "Panel1");
  Panel1->setFrameShape(QFrame::StyledPanel);
  HyouEdit = named(new QLineEdit(Panel1), "HyouEdit");
  HyouEdit->setMinimumWidth(200);
  HyouPEdit = numberEdit(Panel1, "HyouPEdit", 40);
  HyouSEdit = numberEdit(Panel1, "HyouSEdit", 40);
  DayPEdit = numberEdit(Panel1, "DayPEdit", 40);
  DaySEdit = numberEdit(Panel1, "DaySEdit", 40);
  auto* panel = new QGridLayout(Panel1);
  const char* captions[] = {"表　題　名　称", "位置", "サイズ", "日付位置", "サイズ"};
  QLineEdit* edits[] = {HyouEdit, HyouPEdit, HyouSEdit, DayPEdit, DaySEdit};
  for (int i = 0; i < 5; ++i) {
    panel->addWidget(new QLabel(u8(captions[i]), Panel1), 0, i);
    panel->addWidget(edits[i], 1, i);
  }
  CheckBox1 = named(new QCheckBox(u8("位取り点の付加"), GroupBox1), "CheckBox1");
  Button1 = named(new QPushButton(u8("印刷文字サイズ変更"), GroupBox1), "Button1");
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

  auto* groupLayout = new QGridLayout(GroupBox1);
  groupLayout->addWidget(Chooser, 0, 0, 1, 2);
  auto* options = new QVBoxLayout;
  options->addWidget(RadioGroup2);
  auto* rule = new QHBoxLayout;
  rule->addWidget(Label4);
  rule->addWidget(Edit2);
  rule->addWidget(UpDown2);
  rule->addStretch(1);
  options->addLayout(rule);
  options->addWidget(Button1);
  options->addStretch(1);
  groupLayout->addLayout(options, 0, 2);
  groupLayout->addWidget(Panel1, 1, 0, 1, 2);
  groupLayout->addWidget(CheckBox1, 1, 2);

  OKBtn = named(new QPushButton(u8("OK(&Y)"), this), "OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = named(new QPushButton(u8("ｷｬﾝｾﾙ"), this), "CancelBtn");
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(RadioGroup1);
  auto* perPage = new QHBoxLayout;
  perPage->addWidget(Label1);
  perPage->addWidget(Edit1);
  perPage->addWidget(UpDown1);
  top->addLayout(perPage);
  top->addStretch(1);
  layout->addLayout(top);
  layout->addWidget(GroupBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  put(defaultListPrintSettings());
  try {
    load();
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, toQ(e.what()));
  }
}

void TPrintPatDlg::put(const ListPrintSettings& s) {
  font_ = s.font;
  (s.count == OutputCount::All ? RadioGroup1All : RadioGroup1Current)->setChecked(true);
  (s.method == OutputMethod::ChosenFields ? RadioGroup2Chosen : RadioGroup2All)->setChecked(true);
  Edit1->setText(toQ(s.perPage));
  Edit2->setText(toQ(s.ruleLength));
  Chooser->setLists(s.fields);
  HyouEdit->setText(toQ(s.title));
  HyouPEdit->setText(toQ(s.titlePosition));
  HyouSEdit->setText(toQ(s.titleSize));
  DayPEdit->setText(toQ(s.datePosition));
  DaySEdit->setText(toQ(s.dateSize));
  CheckBox1->setChecked(s.grouping);
  const bool chosen = s.method == OutputMethod::ChosenFields;
  setChoiceEnabled(chosen);
  setCountEnabled(chosen && s.count == OutputCount::All);
}

void TPrintPatDlg::load() {
  // The controls are the settings: what the files lack comes from what the controls held.
  ListPrintSettings s = settings();
  loadListPrintSettings(programDirectory_, s);
  put(s);
}

int TPrintPatDlg::showSettings() {
  try {
    load();
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parentWidget(), toQ(e.what()));
    return QDialog::Rejected;
  }
  return vendaro::ui::dialogs().exec(*this);
}

ListPrintSettings TPrintPatDlg::settings() const {
  ListPrintSettings s;
  s.font = font_;
  s.count = RadioGroup1Current->isChecked() ? OutputCount::CurrentOnly : OutputCount::All;
  s.method = RadioGroup2All->isChecked() ? OutputMethod::AllFieldsOnScreen : OutputMethod::ChosenFields;
  s.perPage = bytes(Edit1->text());
  s.ruleLength = bytes(Edit2->text());
  s.fields = Chooser->lists();
  s.title = bytes(HyouEdit->text());
  s.titlePosition = bytes(HyouPEdit->text());
  s.titleSize = bytes(HyouSEdit->text());
  s.datePosition = bytes(DayPEdit->text());
  s.dateSize = bytes(DaySEdit->text());
  s.grouping = CheckBox1->isChecked();
  return s;
}

void TPrintPatDlg::setCountEnabled(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(UpDown1)})
    w->setEnabled(on);
}

void TPrintPatDlg::setChoiceEnabled(bool on) {
  for (QWidget* w : std::initializer_list<QWidget*>{Label2, Label3, ListBox1, ListBox2, SpeedButton1, SpeedButton2,
                                                    SpeedButton3, SpeedButton4, Label4, Edit2, UpDown2, Button1,
                                                    Panel1})
    w->setEnabled(on);
}

void TPrintPatDlg::RadioGroup1Click() { setCountEnabled(RadioGroup1All->isChecked() && RadioGroup2Chosen->isChecked()); }

void TPrintPatDlg::RadioGroup2Click() {
  const bool chosen = RadioGroup2Chosen->isChecked();
  setChoiceEnabled(chosen);
  setCountEnabled(chosen && RadioGroup1All->isChecked());
}

void TPrintPatDlg::Button1Click() {
  const QFont initial = printFont(font_);
  const QFont chosen = vendaro::ui::dialogs().chooseFont(this, initial);
  if (chosen == initial) return;
  font_.name = bytes(chosen.family());
  if (chosen.pointSize() > 0) {
    font_.size = chosen.pointSize();
    font_.height = -static_cast<int>(std::lround(font_.size * 96.0 / 72.0));
  }
}

void TPrintPatDlg::OKBtnClick() {
  try {
    saveListPrintSettings(programDirectory_, settings());
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(this, toQ(e.what()));
    return;
  }
  accept();
}

}  // namespace vendaro::listprint::ui

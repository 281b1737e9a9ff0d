// What a screen reader (and the end-to-end roads) hears for each box: the caption beside it as
// its name, its field as its description.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "app/ui/EstimateForm.h"
#include "platform/ui/accessible_names.h"
#include "platform/ui/binding.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::ui {
namespace {

TEST(AccessibleNames, EveryBoundBoxOfEveryWindowIsNamedAndDescribedByItsField) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  int boxes = 0;
  for (QWidget* w : form->findChildren<QWidget*>()) {
    auto* bound = dynamic_cast<BoundControl*>(w);
    if (!bound) continue;
    ++boxes;
    SCOPED_TRACE(w->objectName().toStdString());
    EXPECT_EQ(w->accessibleDescription(), toQ(bound->field()));
    // A check box is read by its own caption.
    if (!qobject_cast<QCheckBox*>(w)) {
      EXPECT_FALSE(w->accessibleName().isEmpty());
    }
  }
  EXPECT_GT(boxes, 120);  // the estimate sheet alone binds more than 120 fields
}

TEST(AccessibleNames, TheSheetsBoxesAreCalledByTheCaptionsBesideThem) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  const std::pair<const char*, const char*> cases[] = {
      {"DBEdit1", "車両本体価格"},
      {"DBMemo1", "郵便番号"},
      {"YomiDBMemo1", "氏名"},
      {"DBMemo4", "ふりがな"},
      {"DBEdit38", "任意保険"},
      {"DBEdit4", "車両本体課税対象額（消費税）"},
      {"DBComboBox10", "自動車税（ヶ月）"},
      {"DBEdit75", "お見積金額"},
      {"DBEdit74", "備考"},
      {"DBMemo16", "メーカーオプション内容"},
      {"DBEdit56", "メーカーオプション金額"},
  };
  for (const auto& [control, name] : cases) {
    SCOPED_TRACE(control);
    EXPECT_EQ(form->control(QString::fromLatin1(control))->accessibleName(), u8(name));
  }
  // A line whose caption the dealer types is called by what it holds.
  auto* caption = form->control<QComboBox>(QStringLiteral("DBComboBox2"));
  caption->setEditText(u8("値引き"));
  EXPECT_EQ(form->control(QStringLiteral("DBEdit2"))->accessibleName(), u8("値引き"));
  auto* option = form->control<QPlainTextEdit>(QStringLiteral("DBMemo16"));
  option->setPlainText(u8("ナビ"));
  EXPECT_EQ(form->control(QStringLiteral("DBEdit56"))->accessibleName(), u8("ナビ"));
  // The record navigator's buttons are called by their hints, not their glyphs.
  bool navigator = false;
  for (QWidget* w : form->findChildren<QWidget*>())
    if (w->accessibleName() == u8("レコードの挿入")) navigator = true;
  EXPECT_TRUE(navigator);
}

TEST(AccessibleNames, CaptionsAreFoundBesideTheBoxInEachKindOfLayout) {
  QWidget window;
  auto* grid = new QGridLayout(&window);
  auto* left = new QLineEdit;
  grid->addWidget(new QLabel(u8("検索項目")), 0, 0);
  grid->addWidget(left, 0, 1);
  // A label over a list, with the buttons' column between it and the caption on its left.
  auto* list = new QListWidget;
  grid->addWidget(new QLabel(u8("複写しない項目")), 1, 0);
  grid->addWidget(new QLabel(u8("複写する項目")), 1, 2);
  auto* buttons = new QVBoxLayout;
  grid->addLayout(buttons, 2, 1);
  grid->addWidget(list, 2, 2);
  // A row of widgets with a caption before the combo box.
  auto* row = new QHBoxLayout;
  auto* combo = new QComboBox;
  combo->addItem(QStringLiteral("A4"));
  row->addWidget(new QLabel(u8("用紙：")));
  row->addSpacing(8);
  row->addWidget(combo);
  grid->addLayout(row, 3, 0, 1, 3);
  // A form row, and a box with a name of its own that is kept.
  auto* form = new QFormLayout;
  auto* formEdit = new QLineEdit;
  auto* named = new QLineEdit;
  named->setAccessibleName(u8("自分の名前"));
  form->addRow(u8("自　社　名："), formEdit);
  form->addRow(u8("電話"), named);
  grid->addLayout(form, 4, 0, 1, 3);
  // A box with nothing beside it.
  auto* alone = new QLineEdit;
  grid->addWidget(alone, 5, 1);

  nameControlsByCaptions(&window);
  EXPECT_EQ(left->accessibleName(), u8("検索項目"));
  EXPECT_EQ(list->accessibleName(), u8("複写する項目"));
  EXPECT_EQ(combo->accessibleName(), u8("用紙"));
  EXPECT_EQ(combo->accessibleDescription(), u8("用紙"));
  EXPECT_EQ(formEdit->accessibleName(), u8("自社名"));
  EXPECT_EQ(named->accessibleName(), u8("自分の名前"));
  EXPECT_TRUE(alone->accessibleName().isEmpty());
  // The edit inside a combo box is part of it, not a box of its own.
  QComboBox editable;
  editable.setEditable(true);
  grid->addWidget(&editable, 6, 1);
  nameControlsByCaptions(&window);
  EXPECT_TRUE(editable.lineEdit()->accessibleName().isEmpty());
}

}  // namespace
}  // namespace vendaro::ui

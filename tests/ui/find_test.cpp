#include "book/ui/FindFieldDlg.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "app/ui/FindCommands.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using vendaro::ui::u8;

class FindCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setToday(Date{2003, 3, 20});
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    for (const char* name : {"山田", "佐藤", "小山"}) {
      c->append();
      c->setText(sjis::lit("作成日"), sjis::lit("平成１５年０３月２０日"));
      c->setText(sjis::lit("氏名"), sjis::lit(name));
      c->post();
    }
    c.reset();
    form = createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    dlg = form->findChild<book::ui::TFindDlg*>();
  }
  void TearDown() override {
    form.reset();
    setToday(std::nullopt);
  }
  QString name() { return vendaro::ui::toQ(form->estimates().text(sjis::lit("氏名"))); }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> form;
  book::ui::TFindDlg* dlg = nullptr;
};

TEST_F(FindCommandTest, FindThenNextThenTheNotFoundMessage) {
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(form->menuItem(QStringLiteral("Find2"))->isEnabled());
  form->FindNextSpeed->click();  // before any find: nothing happens (a message would fail the test)
  dialogs.modals.push_back([](QDialog& d) {
    auto& find = static_cast<book::ui::TFindDlg&>(d);
    find.FindComboBox->setEditText(u8("氏名"));
    find.FindEdit->setEditText(u8("山"));
    find.accept();
    return int(QDialog::Accepted);
  });
  form->menuItem(QStringLiteral("Find2"))->trigger();
  EXPECT_EQ(name(), u8("小山"));  // newest first: the last one entered comes first
  form->menuItem(QStringLiteral("FindNext1"))->trigger();
  EXPECT_EQ(name(), u8("山田"));
  form->FindNextSpeed->click();
  EXPECT_EQ(dialogs.shown.back(), u8("氏名 の 山は、見つかりませんでした。"));
  EXPECT_EQ(form->estimates().recNo(), 3);
  form->FindBackSpeed->click();
  EXPECT_EQ(name(), u8("小山"));
}

TEST_F(FindCommandTest, DollarDateBecomesTodayAndTransmissionsAreOffered) {
  dlg->FindEdit->setEditText(QStringLiteral("$DATE"));
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(dlg->FindEdit->lineEdit(), &out);
  EXPECT_EQ(dlg->FindEdit->currentText(), u8("平成１５年０３月２０日"));
  dlg->FindComboBox->setEditText(u8("ミッション"));
  EXPECT_EQ(dlg->FindEdit->count(), 2);
  EXPECT_EQ(dlg->FindEdit->itemText(0), u8("オートマ"));
  dlg->FindComboBox->setEditText(u8("氏名"));
  EXPECT_EQ(dlg->FindEdit->count(), 0);
}

TEST_F(FindCommandTest, ClosingTheDialogWithoutOkStopsFindNext) {
  dialogs.modals.push_back([](QDialog& d) {
    static_cast<book::ui::TFindDlg&>(d).FindEdit->setEditText(u8("山"));
    d.reject();
    return int(QDialog::Rejected);
  });
  form->FindSpeed->click();
  EXPECT_FALSE(dlg->lastAccepted());
  int before = form->estimates().recNo();
  form->menuItem(QStringLiteral("FindNext1"))->trigger();
  EXPECT_EQ(form->estimates().recNo(), before);
}

}  // namespace
}  // namespace vendaro::app::ui

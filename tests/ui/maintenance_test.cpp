// The field list chooser, the period dialog, and backup, restore and clean-up from the main
// window's menu.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <fstream>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/ui/FieldListChooser.h"
#include "maintenance/ui/MonthSetingDlg.h"
#include "maintenance/ui/RestorePatternDlg.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

using vendaro::ui::toQ;
using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

QStringList texts(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

void select(QListWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int r : rows) list->item(r)->setSelected(true);
}

TEST(FieldListChooserWidget, ButtonsMoveBlocksAndTheListsKeepTheirBytes) {
  book::ui::FieldListChooser chooser("a", "b");
  // A byte that is no Shift-JIS character travels with its entry untouched.
  const std::string odd = cp("車") + "\x81";
  chooser.setLists({cp("作成日"), cp("氏名"), cp("住所"), odd, cp("備考")}, {});
  select(chooser.ListBox1, {0, 3});
  chooser.SpeedButton1->click();
  EXPECT_EQ(texts(chooser.ListBox1), QStringList({u8("備考")}));
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{cp("作成日"), cp("氏名"), cp("住所"), odd}));

  select(chooser.ListBox2, {2, 3});
  chooser.SpeedButton3->click();
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{cp("作成日"), cp("住所"), odd, cp("氏名")}));
  ASSERT_EQ(chooser.ListBox2->selectedItems().size(), 1);
  EXPECT_EQ(chooser.ListBox2->selectedItems()[0]->text(), u8("住所"));

  chooser.SpeedButton4->click();
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{cp("作成日"), odd, cp("住所"), cp("氏名")}));
  ASSERT_EQ(chooser.ListBox2->selectedItems().size(), 1);
  EXPECT_EQ(chooser.ListBox2->selectedItems()[0]->text(), u8("住所"));

  select(chooser.ListBox2, {0});
  chooser.SpeedButton2->click();  // back to the end of the first list, not to its old place
  EXPECT_EQ(chooser.notChosen(), (std::vector<std::string>{cp("備考"), cp("作成日")}));

  test::TempDir dir;
  chooser.writeFile(dir.file("EsCopy.INI"));
  EXPECT_EQ(slurp(dir.file("EsCopy.INI")),
            cp("備考") + "\r\n" + cp("作成日") + "\r\n\r\n" + odd + "\r\n" + cp("住所") + "\r\n" + cp("氏名") + "\r\n\r\n");
  book::ui::FieldListChooser other("a", "b", false);
  EXPECT_EQ(other.SpeedButton3, nullptr);
  ASSERT_TRUE(other.readFile(dir.file("EsCopy.INI")));
  EXPECT_EQ(other.lists().second, chooser.chosen());
}

TEST(PeriodDialog, TheStartMonthIsNeverNewerThanTheEndMonth) {
  maintenance::ui::TMSetDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), u8("期間設定"));
  dialog.fill({cp("平成１５年０２月"), cp("平成１５年０１月"), cp("平成１４年１２月"), cp("平成１４年１１月")});
  EXPECT_EQ(dialog.FromComboBox->currentIndex(), 3);
  EXPECT_EQ(dialog.ToComboBox->currentIndex(), 0);
  dialog.ToComboBox->setCurrentIndex(2);
  dialog.FromComboBox->setCurrentIndex(1);  // newer than the end: takes the end's month
  EXPECT_EQ(dialog.FromComboBox->currentIndex(), 2);
  dialog.ToComboBox->setCurrentIndex(3);  // older than the start: takes the start's month
  EXPECT_EQ(dialog.ToComboBox->currentIndex(), 2);

  dialog.show();
  EXPECT_FALSE(dialog.accepted());
  dialog.OKBtn->click();
  EXPECT_TRUE(dialog.accepted());
  EXPECT_EQ(dialog.MSetLabel->text(), QStringLiteral("OK"));
  dialog.show();  // showing again empties it; closing another way leaves it empty
  dialog.reject();
  EXPECT_FALSE(dialog.accepted());
}

/// A program directory with estimates and the main window on it.
class MaintenanceMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { setToday(Date{2002, 12, 5}); }
  void TearDown() override {
    form.reset();
    setToday(std::nullopt);
  }
  void seed(std::initializer_list<std::pair<const char*, const char*>> estimates) {
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    for (const auto& [date, name] : estimates) {
      c->append();
      c->setText(cp("作成日"), cp(date));
      c->setText(cp("氏名"), cp(name));
      c->post();
    }
  }
  void open() {
    form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();  // the first-tick prompts have tests of their own
    form->show();
    QApplication::processEvents();
  }
  QStringList tabs() const {
    QStringList out;
    for (int i = 0; i < form->TabBar->count(); ++i) out << form->TabBar->tabText(i);
    return out;
  }
  QString current(const char* field) { return toQ(form->estimates().text(cp(field))); }
  /// Chooses the months at positions from and to in the period dialog and presses OK.
  void choosePeriod(int from, int to) {
    dialogs.modals.push_back([from, to](QDialog& d) {
      auto& period = dynamic_cast<maintenance::ui::TMSetDlg&>(d);
      period.ToComboBox->setCurrentIndex(to);
      period.FromComboBox->setCurrentIndex(from);
      period.OKBtn->click();
      return int(QDialog::Accepted);
    });
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<app::ui::TEstimateDataForm> form;
};

TEST_F(MaintenanceMenuTest, BackupOfAPeriodProposesItsNameAndPutsTheFilterBack) {
  seed({{"平成１４年１１月０５日", "a"}, {"平成１４年１２月０１日", "b"}, {"平成１４年１２月０３日", "c"}, {"平成１５年０１月１０日", "d"}});
  form.reset();
  open();
  form->menuItem(QStringLiteral("Limit1"))->trigger();
  form->TabBar->setCurrentIndex(2);  // 平成１５年０１月
  const std::string filterBefore = form->estimates().filter();

  choosePeriod(2, 1);  // 平成１４年１１月 to 平成１４年１２月
  dialogs.files.push_back(QString::fromStdString(dir.file("x.txt")));
  form->menuItem(QStringLiteral("Back1"))->trigger();
  ASSERT_TRUE(dialogs.modals.empty());
  EXPECT_TRUE(dialogs.shown.contains(u8("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定")));
  std::string content = slurp(dir.file("x.CSV"));
  EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 4);  // header and three estimates
  EXPECT_EQ(content.find(",d,"), std::string::npos);
  EXPECT_EQ(form->estimates().filter(), filterBefore);
  EXPECT_TRUE(form->estimates().filtered());
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("1"));
}

TEST_F(MaintenanceMenuTest, BackupWithAValueThatWillNotReadBackSaysSo) {
  seed({{"平成１４年１１月０５日", "山田,一郎"}});
  open();
  dialogs.files.push_back(QString::fromStdString(dir.file("b.CSV")));
  form->menuItem(QStringLiteral("Back1"))->trigger();
  ASSERT_EQ(dialogs.shown.size(), 2);
  EXPECT_TRUE(dialogs.shown[1].contains(u8("山田,一郎")));
  EXPECT_TRUE(dialogs.shown[1].contains(u8("このファイルはリストアできません")));

  // Cancelling the file dialog writes nothing and says nothing.
  dialogs.shown.clear();
  form->menuItem(QStringLiteral("Back1"))->trigger();
  EXPECT_EQ(dialogs.shown, QStringList({u8("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙの指定")}));
}

TEST_F(MaintenanceMenuTest, RestoreRebuildsTheTabsOnceAndShowsTheNewestEstimate) {
  seed({{"平成１０年０１月０１日", "old"}});
  open();
  int rebuildsOnSave = 0;
  auto tabSet = form->estimates().afterPost;
  form->estimates().afterPost = [&, tabSet](table::Cursor& c) {
    ++rebuildsOnSave;
    tabSet(c);
  };
  std::string file = cp("作成日,氏名\r\n平成１４年１１月０５日,a\r\n平成１５年０１月１０日,b\r\n平成１４年１２月０３日,c\r\n");
  std::ofstream(dir.file("data.CSV"), std::ios::binary) << file;
  form->TabBar->setCurrentIndex(2);
  dialogs.files.push_back(QString::fromStdString(dir.file("data.TXT")));
  form->menuItem(QStringLiteral("ReSt1"))->trigger();
  EXPECT_EQ(rebuildsOnSave, 0);
  EXPECT_EQ(tabs(), QStringList({u8("全て"), u8("個人"), u8("平成１５年０１月"), u8("平成１４年１２月"), u8("平成１４年１１月")}));
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_FALSE(form->estimates().filtered());
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("3"));
  EXPECT_EQ(current("氏名"), u8("b"));
  EXPECT_EQ(current("作成日"), u8("平成１５年０１月１０日"));
}

TEST_F(MaintenanceMenuTest, RestoreRefusalsAndAStoppedRestore) {
  seed({{"平成１０年０１月０１日", "old"}});
  open();
  std::ofstream(dir.file(sjis::toUtf8(cp("顧客住所録.CSV"))), std::ios::binary) << cp("作成日\r\n");
  dialogs.files.push_back(QString::fromStdString(dir.file(sjis::toUtf8(cp("顧客住所録.CSV")))));
  form->menuItem(QStringLiteral("ReSt1"))->trigger();
  EXPECT_EQ(dialogs.shown.last(), u8("住所録はリストアできません！"));

  std::ofstream(dir.file("bad.CSV"), std::ios::binary) << cp("氏名,見積金額\r\na,1\r\nb,x\r\n");
  dialogs.files.push_back(QString::fromStdString(dir.file("bad.CSV")));
  form->menuItem(QStringLiteral("ReSt1"))->trigger();
  EXPECT_TRUE(dialogs.shown.last().contains(u8("'x' は項目 '見積金額' に適した整数値ではありません")));
  EXPECT_TRUE(dialogs.shown.last().contains(u8("3 行目")));
  EXPECT_EQ(form->estimates().recordCount(), 1);
  EXPECT_EQ(current("氏名"), u8("old"));

  // Without a header the pattern dialog is asked; cancelling it changes nothing.
  std::ofstream(dir.file("plain.CSV"), std::ios::binary) << cp("a,b\r\n");
  dialogs.files.push_back(QString::fromStdString(dir.file("plain.CSV")));
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), u8("リストア選択"));
    return int(QDialog::Rejected);
  });
  form->menuItem(QStringLiteral("ReSt1"))->trigger();
  EXPECT_TRUE(dialogs.modals.empty());
  EXPECT_EQ(form->estimates().recordCount(), 1);

  // With fields chosen the file is read by them.
  dialogs.files.push_back(QString::fromStdString(dir.file("plain.CSV")));
  dialogs.modals.push_back([](QDialog& d) {
    auto& pattern = dynamic_cast<maintenance::ui::TRestorePatDlg&>(d);
    auto* first = pattern.Chooser->ListBox1;
    select(first, {3});  // 氏名
    pattern.Chooser->SpeedButton1->click();
    select(first, {5});  // 住所 (two places up after 氏名 left)
    pattern.Chooser->SpeedButton1->click();
    EXPECT_EQ(pattern.pattern(), (std::vector<std::string>{cp("氏名"), cp("住所")}));
    return int(QDialog::Accepted);
  });
  form->menuItem(QStringLiteral("ReSt1"))->trigger();
  EXPECT_EQ(form->estimates().recordCount(), 1);
  EXPECT_EQ(current("氏名"), u8("a"));
  EXPECT_EQ(current("住所"), u8("b"));
}

TEST_F(MaintenanceMenuTest, CleanUpAsksOnceAndDeletesTheMonths) {
  seed({{"平成１２年０１月０５日", "a"}, {"平成１２年０１月３１日", "b"}, {"平成１２年０２月０１日", "c"}});
  open();
  ASSERT_EQ(tabs().size(), 4);

  choosePeriod(1, 1);  // 平成１２年０１月 alone
  dialogs.answers.push_back(vendaro::ui::Dialogs::Answer::No);
  form->menuItem(QStringLiteral("N16"))->trigger();
  EXPECT_EQ(dialogs.shown.last(), u8("平成１２年０１月～平成１２年０１月以前のデータが削除されます！\r削除してよろしいですか？"));
  EXPECT_EQ(form->estimates().recordCount(), 2);  // the view stays on the period
  form->TabBar->setCurrentIndex(1);
  form->TabBar->setCurrentIndex(0);
  EXPECT_EQ(form->estimates().recordCount(), 3);

  choosePeriod(1, 1);
  dialogs.answers.push_back(vendaro::ui::Dialogs::Answer::Yes);
  form->menuItem(QStringLiteral("N16"))->trigger();
  EXPECT_EQ(tabs(), QStringList({u8("全て"), u8("個人"), u8("平成１２年０２月")}));
  EXPECT_EQ(form->TabBar->currentIndex(), 0);
  EXPECT_EQ(form->TotalPanel->text(), QStringLiteral("1"));
  EXPECT_EQ(current("氏名"), u8("c"));

  // Closing the period dialog without OK changes nothing.
  dialogs.modals.push_back([](QDialog&) { return int(QDialog::Rejected); });
  form->menuItem(QStringLiteral("N16"))->trigger();
  EXPECT_EQ(form->estimates().recordCount(), 1);
}

}  // namespace
}  // namespace vendaro

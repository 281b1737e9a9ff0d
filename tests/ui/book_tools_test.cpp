#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/ui/Application.h"
#include "app/ui/EstimateForm.h"
#include "book/display_pattern.h"
#include "book/estimate_fields.h"
#include "book/field_lists.h"
#include "book/estimate_table.h"
#include "book/ui/CopyPatternDlg.h"
#include "book/ui/DsplayPatternDlg.h"
#include "book/ui/FieldListChooser.h"
#include "platform/clock.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using sjis::lit;
using vendaro::ui::u8;

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary);
  for (const auto& line : lines) out << line << "\r\n";
}

/// Selects the entries of a list whose texts are given (UTF-8).
void select(QListWidget* list, std::initializer_list<const char*> texts) {
  list->clearSelection();
  for (const char* text : texts) {
    auto found = list->findItems(u8(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    found.front()->setSelected(true);
  }
}

QStringList entries(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

class BookToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setToday(Date{2003, 3, 20});
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    c->append();
    c->setText(lit("作成日"), lit("平成１５年０３月２０日"));
    c->setText(lit("氏名"), lit("山田"));
    c->setText(lit("住所"), lit("東京都千代田区"));
    c->setText(lit("電話番号"), lit("03-1234-5678"));
    c->setText(lit("郵便番号"), "100-0001");
    c->setText(lit("型式"), lit("E-AB12"));
    c->post();
  }
  void start() {
    form = createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    copy = form->findChild<book::ui::TCopyPatDlg*>();
    display = form->findChild<book::ui::TDspPatDlg*>();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(display, nullptr);
  }
  void TearDown() override {
    form.reset();
    setToday(std::nullopt);
  }
  /// The fields of the grid's visible columns from left to right.
  std::vector<int> visibleColumns() const {
    std::vector<int> out;
    QHeaderView* header = form->DBGrid1->horizontalHeader();
    for (int v = 0; v < header->count(); ++v)
      if (!header->isSectionHidden(header->logicalIndex(v))) out.push_back(header->logicalIndex(v));
    return out;
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> form;
  book::ui::TCopyPatDlg* copy = nullptr;
  book::ui::TDspPatDlg* display = nullptr;
};

TEST_F(BookToolsTest, CopyingThreeFieldsStartsANewEstimateAndStoresThePattern) {
  start();
  ASSERT_TRUE(form->CopySpeed->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = static_cast<book::ui::TCopyPatDlg&>(d);
    // 氏名 and 郵便番号 selected with 電話番号 between them: the whole block moves.
    select(dlg.Chooser->ListBox1, {"氏名", "郵便番号"});
    dlg.Chooser->SpeedButton1->click();
    EXPECT_EQ(entries(dlg.Chooser->ListBox2), (QStringList{u8("氏名"), u8("電話番号"), u8("郵便番号")}));
    dlg.OKBtn->click();
    return dlg.result();
  });
  form->menuItem(QStringLiteral("N3"))->trigger();
  table::Cursor& c = form->estimates();
  EXPECT_EQ(c.state(), table::Cursor::State::Insert);
  for (int f = 0; f < static_cast<int>(book::estimateFields().size()); ++f) {
    const std::string& name = book::estimateFieldName(f);
    std::string expected = name == lit("氏名") ? lit("山田")
                           : name == lit("郵便番号") ? std::string("100-0001")
                           : name == lit("電話番号") ? std::string("03-1234-5678")
                                                    : std::string();
    EXPECT_EQ(c.text(f), expected) << f;
  }
  // The file holds the 119 fields not copied, an empty line, the three copied and an empty line.
  std::string expected;
  for (const auto& name : book::chooserFieldNames())
    if (name != lit("氏名") && name != lit("郵便番号") && name != lit("電話番号")) expected += name + "\r\n";
  expected += "\r\n" + lit("氏名") + "\r\n" + lit("電話番号") + "\r\n" + lit("郵便番号") + "\r\n\r\n";
  EXPECT_EQ(readBytes(dir.file("EsCopy.INI")), expected);
  // Cancelling the new estimate discards it.
  form->DBNavigator3->button(vendaro::ui::DBNavigator::Cancel)->click();
  EXPECT_EQ(c.state(), table::Cursor::State::Browse);
  EXPECT_EQ(c.recordCount(), 1);
  EXPECT_EQ(c.text(lit("氏名")), lit("山田"));
}

TEST_F(BookToolsTest, NoCopiesNothingAndTheFileReplacesEarlierMoves) {
  start();
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = static_cast<book::ui::TCopyPatDlg&>(d);
    select(dlg.Chooser->ListBox1, {"氏名"});
    dlg.Chooser->SpeedButton1->click();
    dlg.CancelBtn->click();
    return dlg.result();
  });
  form->CopySpeed->click();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  EXPECT_FALSE(fileExists(dir.file("EsCopy.INI")));
  // Without the file the earlier move is still there at the next showing.
  QStringList seen;
  dialogs.modals.push_back([&seen](QDialog& d) {
    seen = entries(static_cast<book::ui::TCopyPatDlg&>(d).Chooser->ListBox2);
    return int(QDialog::Rejected);
  });
  form->CopySpeed->click();
  EXPECT_EQ(seen, QStringList{u8("氏名")});
  // With the file its lists replace them.
  writeLines(dir.file("EsCopy.INI"), {lit("作成日"), "", lit("型式"), ""});
  dialogs.modals.push_back([&seen](QDialog& d) {
    auto& dlg = static_cast<book::ui::TCopyPatDlg&>(d);
    seen = entries(dlg.Chooser->ListBox2);
    EXPECT_EQ(entries(dlg.Chooser->ListBox1), QStringList{u8("作成日")});
    return int(QDialog::Rejected);
  });
  form->CopySpeed->click();
  EXPECT_EQ(seen, QStringList{u8("型式")});
  EXPECT_EQ(form->estimates().recordCount(), 1);
  EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(BookToolsTest, AnEditedPatternFileCopiesEachRealFieldOnceOrStopsOnAnUnknownName) {
  struct Case {
    const char* name;
    std::vector<std::string> copied;
    bool added;
    QString message;
  } cases[] = {
      {"every field three times over", {}, true, QString()},
      {"an unknown name", {lit("氏名"), lit("ほげ")}, false, u8("項目 'ほげ' が見つかりません")},
  };
  for (const auto& name : book::chooserFieldNames())
    for (int i = 0; i < 3; ++i) cases[0].copied.push_back(name);  // 366 names: more than the buffer ever held
  start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines{""};
    lines.insert(lines.end(), c.copied.begin(), c.copied.end());
    lines.emplace_back();
    writeLines(dir.file("EsCopy.INI"), lines);
    dialogs.shown.clear();
    dialogs.modals.push_back([](QDialog& d) {
      auto& dlg = static_cast<book::ui::TCopyPatDlg&>(d);
      dlg.OKBtn->click();
      return dlg.result();
    });
    form->CopySpeed->click();
    table::Cursor& cursor = form->estimates();
    if (c.added) {
      ASSERT_EQ(cursor.state(), table::Cursor::State::Insert);
      EXPECT_EQ(cursor.text(lit("氏名")), lit("山田"));
      EXPECT_EQ(cursor.text(lit("型式")), lit("E-AB12"));
      EXPECT_EQ(cursor.text(lit("作成日")), lit("平成１５年０３月２０日"));
      form->dataSource().cancel();
      EXPECT_TRUE(dialogs.shown.isEmpty());
    } else {
      EXPECT_EQ(cursor.state(), table::Cursor::State::Browse);
      EXPECT_EQ(dialogs.shown, QStringList{c.message});
    }
    EXPECT_EQ(cursor.recordCount(), 1);
  }
}

/// "EsDsplay.INI" showing the given entries and hiding every other field.
void writeDisplayPattern(const std::string& path, const std::vector<std::string>& shown) {
  std::vector<std::string> lines;
  for (const auto& entry : book::displayEntries())
    if (std::find(shown.begin(), shown.end(), entry) == shown.end()) lines.push_back(entry);
  lines.emplace_back();
  lines.insert(lines.end(), shown.begin(), shown.end());
  lines.emplace_back();
  writeLines(path, lines);
}

TEST_F(BookToolsTest, TheDisplayPatternHidesOrdersAndSizesTheColumns) {
  struct Case {
    const char* name;
    std::vector<std::string> shown;
    std::vector<std::string> pairs;
  } cases[] = {
      {"the pairs 8,30 and 5,12", {lit("  4,氏名"), lit("  7,住所")}, {"8", "30", "5", "12"}},
      {"skipped, out-of-range and repeated pairs",
       {lit("  4,氏名"), lit("999,ほげ"), lit("  7,住所")},
       {"3", "20", "0", "5", "500", "7", "8", "30", "8", "44", "5", "12", "-1", "3", "5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeDisplayPattern(dir.file("EsDsplay.INI"), c.shown);
    writeLines(dir.file("EstimateLen.INI"), c.pairs);
    start();
    form->show();
    // 住所 first at 30 characters, 氏名 second at 12.
    EXPECT_EQ(visibleColumns(), (std::vector<int>{7, 4}));
    EXPECT_EQ(form->DBGrid1->displayWidth(7), 30);
    EXPECT_EQ(form->DBGrid1->displayWidth(4), 12);
    EXPECT_EQ(entries(display->Chooser->ListBox2).size(), static_cast<qsizetype>(c.shown.size()));
    // Closing stores the layout as it is on screen.
    EXPECT_TRUE(form->close());
    EXPECT_EQ(readBytes(dir.file("EstimateLen.INI")), "8\r\n30\r\n5\r\n12\r\n");
    form.reset();
  }
}

TEST_F(BookToolsTest, WithoutAPatternEveryFieldIsShownAndNoLayoutIsReadOrWritten) {
  writeLines(dir.file("EstimateLen.INI"), {"8", "30", "5", "12"});
  start();
  form->show();
  std::vector<int> all;
  for (int f = 1; f <= 122; ++f) all.push_back(f);
  EXPECT_EQ(visibleColumns(), all);
  form->DBGrid1->horizontalHeader()->moveSection(7, 1);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(readBytes(dir.file("EstimateLen.INI")), "8\r\n30\r\n5\r\n12\r\n");
}

TEST_F(BookToolsTest, TheDisplayPatternDialogStoresTheChoiceForTheNextStart) {
  writeDisplayPattern(dir.file("EsDsplay.INI"), {lit("  4,氏名"), lit("  7,住所")});
  start();
  ASSERT_TRUE(form->menuItem(QStringLiteral("List1"))->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = static_cast<book::ui::TDspPatDlg&>(d);
    select(dlg.Chooser->ListBox1, {"  9,排気量"});
    dlg.Chooser->SpeedButton1->click();
    dlg.OKBtn->click();
    return dlg.result();
  });
  form->menuItem(QStringLiteral("List1"))->trigger();
  EXPECT_TRUE(form->DBGrid1->isColumnHidden(9));  // nothing changes on screen
  auto stored = book::readTwoListFile(dir.file("EsDsplay.INI"));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->second, (std::vector<std::string>{lit("  4,氏名"), lit("  7,住所"), lit("  9,排気量")}));
  EXPECT_EQ(stored->first.size(), 119u);
  form.reset();
  start();
  form->show();
  EXPECT_EQ(visibleColumns(), (std::vector<int>{4, 7, 9}));
}

}  // namespace
}  // namespace vendaro::app::ui

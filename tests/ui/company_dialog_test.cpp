#include "prefs/ui/UserSetForm.h"

#include <QApplication>
#include <fstream>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::prefs::ui {
namespace {

using vendaro::ui::u8;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CompanyDialog, ReadsAShortFileAndRewritesAllSevenLines) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::ofstream(dir.file("User.INI"), std::ios::binary) << sjis::lit("東京都港区１－１\r\n港自動車\r\n株式会社\r\n");
  TUserSetForm form(dir.path());
  EXPECT_EQ(form.windowTitle(), u8("自社情報"));
  EXPECT_EQ(form.Edit2->text(), u8("港自動車"));
  EXPECT_EQ(form.Edit4->text(), QString());
  EXPECT_EQ(form.companyLine(1), sjis::lit("東京都港区１－１"));
  form.OKBtn->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(slurp(dir.file("User.INI")), sjis::lit("東京都港区１－１\r\n港自動車\r\n株式会社\r\n\r\n\r\n\r\n\r\n"));
}

TEST(CompanyDialog, CancelKeepsTheFileButTheTypedTextStaysInEffect) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  TUserSetForm form(dir.path());
  form.Edit2->setText(u8("新会社"));
  form.CancelBtn->click();
  EXPECT_FALSE(std::ifstream(dir.file("User.INI")).good());
  EXPECT_EQ(form.companyLine(2), sjis::lit("新会社"));
  form.Edit2->clear();
  form.OKBtn->click();
  EXPECT_EQ(slurp(dir.file("User.INI")), std::string("\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));  // 14 bytes
}

TEST(CompanyDialog, AFileThatCannotBeWrittenIsReportedAndTheDialogStays) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  TUserSetForm form(dir.file("missing-directory"));
  form.show();
  form.OKBtn->click();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(QStringLiteral("User.INI")));
  EXPECT_TRUE(form.isVisible());
}

TEST(CompanyDialog, AsksOnTheFirstTickOnlyWhileUserIniIsMissing) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();  // the tick is run by hand below
  EXPECT_TRUE(form->menuItem(QStringLiteral("N6"))->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(d.objectName(), QStringLiteral("UserSetForm"));
    return int(QDialog::Rejected);
  });
  form->Timer1Timer();
  EXPECT_TRUE(dialogs.modals.empty());
  EXPECT_FALSE(form->Timer1->isActive());
  form.reset();

  std::ofstream(dir.file("User.INI"), std::ios::binary) << "\r\n";
  form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  form->Timer1Timer();  // no dialog: a question here would fail the test
}

}  // namespace
}  // namespace vendaro::prefs::ui

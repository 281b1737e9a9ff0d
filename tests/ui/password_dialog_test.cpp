#include "prefs/ui/PassDlg.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/ui/Application.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "prefs/ui/UserSetForm.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::prefs::ui {
namespace {

using vendaro::ui::u8;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PasswordTest : public ::testing::Test {
 protected:
  void SetUp() override { spit("User.INI", "\r\n"); }  // the company prompt stays quiet
  void spit(const char* name, const std::string& content) {
    std::ofstream(dir.file(name), std::ios::binary) << content;
  }
  /// Starts the program up to its first tick.
  void open() {
    form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    form->show();
    QApplication::processEvents();
  }
  bool locked() const { return !form->TabControl1->isVisibleTo(form.get()); }
  /// The password dialog answered with a typed text and a result; checks it started empty.
  void answer(const char* typed, int result = QDialog::Accepted) {
    dialogs.modals.push_back([typed, result](QDialog& d) {
      auto& pass = dynamic_cast<TPassDlg&>(d);
      EXPECT_EQ(pass.MaskEdit1->text(), QString());
      pass.MaskEdit1->setText(u8(typed));
      return result;
    });
  }
  TPassDlg* dialog() const { return form->findChild<TPassDlg*>(); }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<app::ui::TEstimateDataForm> form;
};

TEST_F(PasswordTest, NoPasswordMeansNoLockAndNoQuestion) {
  struct Case {
    const char* what;
    const char* file;  // null: no EsPass.INI
  } cases[] = {{"no file", nullptr}, {"empty first line", "\r\nignored\r\n"}, {"empty file", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(dir.file("EsPass.INI").c_str());
    if (c.file) spit("EsPass.INI", c.file);
    open();
    EXPECT_FALSE(locked());
    form->Timer1Timer();  // a dialog here would fail the test
    EXPECT_TRUE(form->isVisible());
    form.reset();
  }
}

TEST_F(PasswordTest, TheRightPasswordUnlocksAndTheCompanyPromptFollows) {
  spit("EsPass.INI", "Kuruma7\r\nsecond line is not read\r\n");
  std::remove(dir.file("User.INI").c_str());
  open();
  EXPECT_TRUE(locked());
  answer("Kuruma7");
  dialogs.modals.push_back([this](QDialog& d) {
    EXPECT_EQ(d.objectName(), QStringLiteral("UserSetForm"));
    EXPECT_FALSE(locked());  // the estimates show before the company prompt
    return int(QDialog::Rejected);
  });
  form->Timer1Timer();
  EXPECT_TRUE(dialogs.modals.empty());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(dialog()->windowTitle(), u8("パスワード"));
}

TEST_F(PasswordTest, AnyOtherAnswerEndsTheProgramThroughTheNormalClose) {
  struct Case {
    const char* what;
    const char* typed;
    int result;
  } cases[] = {{"other letter case", "kuruma7", QDialog::Accepted},
               {"closed without typing", "", QDialog::Rejected},
               {"closed after typing it", "Kuruma7x", QDialog::Rejected},
               {"a trailing blank", "Kuruma7 ", QDialog::Accepted}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    spit("EsPass.INI", "Kuruma7\r\n");
    std::remove(dir.file("User.INI").c_str());  // its prompt must not come
    std::remove(dir.file("Estimate.INI").c_str());
    open();
    answer(c.typed, c.result);
    form->Timer1Timer();
    EXPECT_TRUE(dialogs.modals.empty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(locked());
    EXPECT_EQ(slurp(dir.file("Estimate.INI")), "0\r\nFalse\r\n");  // the closing steps ran
    form.reset();
  }
}

TEST_F(PasswordTest, UntilThePasswordIsGivenNoCommandWorks) {
  spit("EsPass.INI", "Kuruma7\r\n");
  open();
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  auto* next = form->DBNavigator1->button(vendaro::ui::DBNavigator::Next);
  auto* insert = form->DBNavigator4->button(vendaro::ui::DBNavigator::Insert);
  const QList<QKeySequence> shortcuts = {QKeySequence(QStringLiteral("Ctrl+P")), QKeySequence(QStringLiteral("Ctrl+B")),
                                         QKeySequence(QStringLiteral("Ctrl+R")), QKeySequence(QStringLiteral("Ctrl+F")),
                                         QKeySequence(QStringLiteral("F9")),     QKeySequence(QStringLiteral("F3")),
                                         QKeySequence(QStringLiteral("Alt+F")),  QKeySequence(QStringLiteral("Alt+E"))};
  // Locked: every key a command has goes nowhere (an opened dialog or message would fail here),
  // and neither the menus nor the navigators can be used.
  EXPECT_TRUE(locked());
  EXPECT_FALSE(form->menuBar()->isEnabled());
  EXPECT_FALSE(next->isEnabled());
  EXPECT_FALSE(insert->isEnabled());
  QTest::mouseClick(insert, Qt::LeftButton);
  for (const QKeySequence& keys : shortcuts) QTest::keySequence(form.get(), keys);
  QApplication::processEvents();
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  EXPECT_TRUE(dialogs.shown.isEmpty());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  // The right password opens the book: the menus, their keys and the navigators work again.
  answer("Kuruma7");
  form->Timer1Timer();
  EXPECT_FALSE(locked());
  EXPECT_TRUE(form->menuBar()->isEnabled());
  EXPECT_TRUE(insert->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(d.objectName(), QStringLiteral("FindDlg"));
    return int(QDialog::Rejected);
  });
  QTest::keySequence(form.get(), QKeySequence(QStringLiteral("Ctrl+F")));
  EXPECT_TRUE(dialogs.modals.empty());
}

TEST_F(PasswordTest, ThePasswordClosedWithoutOkStillCounts) {
  spit("EsPass.INI", "abc\r\n");
  open();
  answer("abc", QDialog::Rejected);
  form->Timer1Timer();
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(locked());
}

TEST_F(PasswordTest, SettingAPasswordTakesEffectAtTheNextStart) {
  open();
  QAction* item = form->menuItem(QStringLiteral("N18"));
  EXPECT_TRUE(item->isEnabled());
  EXPECT_EQ(item->text(), u8("パスワード設定"));
  // Cancelled: nothing is written.
  dialogs.modals.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), u8("パスワードの設定"));
    dynamic_cast<TPassDlg&>(d).MaskEdit1->setText(QStringLiteral("zzz"));
    return int(QDialog::Rejected);
  });
  item->trigger();
  EXPECT_FALSE(std::ifstream(dir.file("EsPass.INI")).good());
  // OK: the field starts empty again and what was typed is stored for its owner only.
  answer("Neu Pass");
  item->trigger();
  EXPECT_EQ(slurp(dir.file("EsPass.INI")), "Neu Pass\r\n");
  struct stat st {};
  ::stat(dir.file("EsPass.INI").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_FALSE(locked());
  EXPECT_EQ(form->settings().password, "");  // this run stays unlocked
  form.reset();

  open();
  EXPECT_TRUE(locked());
  EXPECT_EQ(dialog()->windowTitle(), u8("パスワード"));
  answer("Neu Pass");
  form->Timer1Timer();
  EXPECT_FALSE(locked());
  // An empty password: one empty line, and no lock from the next start.
  answer("");
  form->menuItem(QStringLiteral("N18"))->trigger();
  EXPECT_EQ(slurp(dir.file("EsPass.INI")), "\r\n");
  form.reset();
  open();
  EXPECT_FALSE(locked());
}

TEST_F(PasswordTest, ATextWithoutAShiftJisFormIsRefusedAndNothingWritten) {
  open();
  answer("pass\u00e9\u0101");
  form->menuItem(QStringLiteral("N18"))->trigger();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_FALSE(std::ifstream(dir.file("EsPass.INI")).good());
}

TEST_F(PasswordTest, TheFieldShowsStarsAndTypesWithoutTheInputMethod) {
  TPassDlg pass;
  EXPECT_EQ(pass.MaskEdit1->echoMode(), QLineEdit::Password);
  EXPECT_EQ(pass.MaskEdit1->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, pass.MaskEdit1), '*');
  EXPECT_FALSE(pass.MaskEdit1->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_TRUE(pass.OKBtn->isDefault());
  EXPECT_EQ(pass.Label1->text(), u8("パスワードを入力してください。"));
}

TEST_F(PasswordTest, TheDialogSaysWhatThePasswordDoesAndDoesNot) {
  spit("EsPass.INI", "Kuruma7\r\n");
  open();
  // At start-up the dialog asks for the password and nothing else; its help says it all.
  dialogs.modals.push_back([](QDialog& d) {
    auto& pass = dynamic_cast<TPassDlg&>(d);
    EXPECT_TRUE(pass.HelpLabel->isHidden());
    EXPECT_TRUE(pass.whatsThis().contains(u8("暗号化されません")));
    pass.MaskEdit1->setText(QStringLiteral("Kuruma7"));
    return int(QDialog::Accepted);
  });
  form->Timer1Timer();
  // Where a password is set, the dialog says plainly what it does and does not do.
  dialogs.modals.push_back([](QDialog& d) {
    auto& pass = dynamic_cast<TPassDlg&>(d);
    EXPECT_FALSE(pass.HelpLabel->isHidden());
    for (const char* said : {"見積を表示しない", "暗号化されません", "アクセス権"})
      EXPECT_TRUE(pass.HelpLabel->text().contains(u8(said))) << said;
    return int(QDialog::Rejected);
  });
  form->menuItem(QStringLiteral("N18"))->trigger();
  EXPECT_TRUE(dialogs.modals.empty());
}

TEST_F(PasswordTest, TablesOthersCanReadAreReportedAtStartAndNarrowedWhenAsked) {
  open();
  const std::string cardata = dir.file("CARDATA");
  const std::string table = cardata + "/Estimate.DB";
  auto mode = [](const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
  };
  // A book made before: open to everyone on the machine.
  auto openUp = [&] {
    ::chmod(cardata.c_str(), 0755);
    ::chmod(table.c_str(), 0644);
  };
  openUp();
  dialogs.confirms.push_back(false);
  form->Timer1Timer();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(u8("他のユーザーからも読める"))) << dialogs.shown[0].toStdString();
  EXPECT_EQ(mode(table), 0644u);  // "no" changes nothing

  form.reset();
  dialogs.shown.clear();
  open();
  dialogs.confirms.push_back(true);
  form->Timer1Timer();
  ASSERT_EQ(dialogs.shown.size(), 2);
  EXPECT_TRUE(dialogs.shown[1].contains(u8("このユーザーだけが読み書きできるようにしました")));
  EXPECT_EQ(mode(cardata), 0700u);
  EXPECT_EQ(mode(table), 0600u);

  // Once narrowed, the next start says nothing (a question here would fail the test).
  form.reset();
  dialogs.shown.clear();
  open();
  form->Timer1Timer();
  EXPECT_TRUE(dialogs.shown.isEmpty());
}

}  // namespace
}  // namespace vendaro::prefs::ui

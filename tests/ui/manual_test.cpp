// The bundled manual against what the program does: the button names it quotes are those the
// standard dialogs show, and what it says of an estimate saved without a date is what happens.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTranslator>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "app/ui/HelpWindow.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

/// The manual is a resource of the program's library.
static void loadManualResource() { Q_INIT_RESOURCE(help); }

namespace vendaro::app::ui {
namespace {

using vendaro::ui::u8;

/// The manual as a person reads it in the help window.
QString manualText() {
  loadManualResource();
  THelpWindow help;
  help.showContents();
  QString text = help.document()->toPlainText();
  help.close();
  return text;
}

/// A button's caption without its keyboard mnemonic: "はい(&Y)" reads "はい".
QString caption(const QAbstractButton* button) {
  QString text = button->text();
  text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  text.remove(QLatin1Char('&'));
  return text.trimmed();
}

TEST(Manual, TheStandardButtonsSpeakJapaneseAndTheManualCallsThemSo) {
  QTranslator* japanese = installJapaneseTranslation();
  ASSERT_NE(japanese, nullptr) << "qtbase_ja.qm must be installed (tools/install-deps.sh)";
  QMessageBox question(QMessageBox::Question, QString(), QString(),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  QDialogButtonBox files(QDialogButtonBox::Open | QDialogButtonBox::Save);
  struct Case {
    QAbstractButton* button;
    const char* expected;
    bool inManual;  // the manual names it where it tells of closing with a pending estimate
  } cases[] = {
      {question.button(QMessageBox::Yes), "はい", true},
      {question.button(QMessageBox::No), "いいえ", true},
      {question.button(QMessageBox::Cancel), "キャンセル", true},
      {files.button(QDialogButtonBox::Open), "開く", false},
      {files.button(QDialogButtonBox::Save), "保存", false},
  };
  const QString manual = manualText();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    ASSERT_NE(c.button, nullptr);
    EXPECT_EQ(caption(c.button), u8(c.expected));
    if (c.inManual) {
      EXPECT_TRUE(manual.contains(u8("「") + caption(c.button) + u8("」")));
    }
  }
  QCoreApplication::removeTranslator(japanese);
  delete japanese;
}

TEST(Manual, AnEstimateSavedWithoutADateIsDescribedAsItIsStored) {
  setToday(Date{2003, 7, 4});
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto form = createWindows(dir.path(), dir.file("CARDATA"));
  form->Timer1->stop();
  ASSERT_TRUE(form->dataSource().insert());
  ASSERT_TRUE(form->dataSource().run([](table::Cursor& c) { c.setText(c.fieldIndex(sjis::lit("氏名")), "a"); }));
  ASSERT_TRUE(form->dataSource().post());
  // The creation date stays empty, the item number is the day it was saved.
  EXPECT_EQ(form->estimates().text(sjis::lit("作成日")), "");
  EXPECT_EQ(form->estimates().integer(sjis::lit("項番")), 20030704);
  form.reset();
  setToday(std::nullopt);

  const QString manual = manualText();
  EXPECT_FALSE(manual.contains(u8("今日の日付になります")));
  EXPECT_TRUE(manual.contains(u8("作成日は空のまま")));
  EXPECT_TRUE(manual.contains(u8("項番には登録した日の日付")));
}

}  // namespace
}  // namespace vendaro::app::ui

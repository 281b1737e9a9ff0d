// The entry aids on the main window: the kana reading of the name box, the postal-code panels and
// window, and the recall from the vehicle register.
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "app/ui/Application.h"
#include "entry/postal.h"
#include "entry/register.h"
#include "entry/ui/CarFormDlg.h"
#include "entry/ui/PostDataForm.h"
#include "entry/ui/YomiEd32.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using entry::ui::TCFormDlg;
using entry::ui::TPostForm;
using entry::ui::TYomiDBMemo;
using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::lit(utf8); }

/// One input method event: a composition, or a commit (with an empty composition).
struct Ime {
  const char* preedit;
  const char* commit;
};
Ime pre(const char* text) { return {text, ""}; }
Ime commit(const char* text) { return {"", text}; }

void send(QWidget* w, const std::vector<Ime>& events) {
  for (const auto& e : events) {
    QInputMethodEvent event(u8(e.preedit), {});
    event.setCommitString(u8(e.commit));
    QApplication::sendEvent(w, &event);
  }
}

class EntryAidsTest : public ::testing::Test {
 protected:
  void open() {
    form = createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    form->show();
    form->activateWindow();
    QApplication::processEvents();
    postForm = form->findChild<TPostForm*>();
    ASSERT_NE(postForm, nullptr);
  }
  void TearDown() override { form.reset(); }
  QString field(const char* name) { return vendaro::ui::toQ(form->estimates().text(cp(name))); }
  void setField(const char* name, const char* value) {
    form->dataSource().run([&](table::Cursor& c) {
      c.edit();
      c.setText(cp(name), cp(value));
    });
  }
  void importTokyo() {
    auto table = entry::openPostData(dir.file("CARDATA"));
    entry::importPostalFile(*table, VENDARO_POSTAL_SAMPLE, {3, 7, 8, 9});
  }
  template <class T = QWidget>
  T* control(const char* name) {
    return form->control<T>(QString::fromLatin1(name));
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> form;
  TPostForm* postForm = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Kana reading

TEST_F(EntryAidsTest, EachCommitInTheNameBoxAppendsItsReading) {
  struct Case {
    const char* name;
    std::vector<Ime> events;
    const char* reading;  // ふりがな afterwards
    const char* shown;    // the name box afterwards
  };
  const Case cases[] = {
      // What fcitx5 with Mozc sends for "yamada", space, Return, then "tarou", space, Return.
      {"yamada tarou",
       {pre("ｙ"), pre("や"), pre("やｍ"), pre("やま"), pre("やまｄ"), pre("やまだ"), pre("山田"), commit("山田"), pre(""),
        pre("ｔ"), pre("た"), pre("たｒ"), pre("たろ"), pre("たろう"), pre("太郎"), commit("太郎"), pre("")},
       "やまだたろう", "山田太郎"},
      {"a trailing n is ん", {pre("ｋ"), pre("け"), pre("けｎ"), pre("県"), commit("県")}, "けん", "県"},
      {"katakana and half-width katakana", {pre("ヤマダ"), commit("ヤマダ"), pre("ﾗｰﾒﾝ"), commit("ﾗｰﾒﾝ")}, "やまだらあめん", "ヤマダﾗｰﾒﾝ"},
      {"the next word commits the previous", {pre("やまだ"), pre("山田"), commit("山田"), pre("ｔ"), pre("た"), commit("田")}, "やまだた", "山田田"},
      {"no composition, no reading", {commit("Smith")}, "", "Smith"},
      {"a dropped composition leaves no reading", {pre("やまだ"), pre(""), commit("X")}, "", "X"},
      {"ゔ has no Shift-JIS form: read as ヴ", {pre("ゔぁ"), commit("ヴァ")}, "う゛ぁ", "ヴァ"},
  };
  open();
  auto* name = control<TYomiDBMemo>("YomiDBMemo1");
  ASSERT_NE(name, nullptr);
  EXPECT_FALSE(name->VKkana);
  EXPECT_EQ(name->YomiOut(), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form->dataSource().insert();
    name->setFocus();
    send(name, c.events);
    EXPECT_EQ(control<QPlainTextEdit>("DBMemo4")->toPlainText(), u8(c.reading));
    EXPECT_EQ(field("ふりがな"), u8(c.reading));
    control<QWidget>("DBMemo2")->setFocus();  // leaving writes the name
    EXPECT_EQ(field("氏名"), u8(c.shown));
    form->dataSource().cancel();
  }
}

TEST_F(EntryAidsTest, RetypingAppendsAfterWhatIsThere) {
  open();
  auto* name = control<TYomiDBMemo>("YomiDBMemo1");
  form->dataSource().insert();
  setField("ふりがな", "すずき");
  name->setFocus();
  send(name, {pre("やまだ"), commit("山田")});
  name->selectAll();
  send(name, {pre("やまだ"), commit("山田")});
  EXPECT_EQ(field("ふりがな"), u8("すずきやまだやまだ"));
  // An empty reading (the handler is called only with one) still starts the edit.
  form->dataSource().post();
  std::string empty;
  ASSERT_TRUE(name->OnYomiOut);
  name->OnYomiOut(name, empty);
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  EXPECT_EQ(field("ふりがな"), u8("すずきやまだやまだ"));
}

TEST(YomiOutTest, ReadingsGoToTheYomiOutMemoUntilEscape) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  auto estimates = entry::openPostData(dir.path());  // any table with two text fields
  vendaro::ui::DataSource source(*estimates);
  QWidget window;
  auto* name = new TYomiDBMemo(&source, entry::kPostCodeField, &window);
  auto* reading = new vendaro::ui::DBMemo(&source, entry::kPostAddressField, &window);
  auto* other = new QLineEdit(&window);
  EXPECT_TRUE(name->VKkana);
  std::vector<std::string> delivered;
  name->OnYomiOut = [&](TYomiDBMemo* sender, std::string& yomi) {
    EXPECT_EQ(sender, name);
    delivered.push_back(yomi);
    yomi += "!";  // what the handler leaves is what goes on
  };
  name->setYomiOut(reading);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  name->setFocus();
  send(name, {pre("やまだ"), commit("山田")});
  EXPECT_EQ(delivered, std::vector<std::string>{cp("ﾔﾏﾀﾞ")});
  EXPECT_EQ(reading->toPlainText(), u8("ﾔﾏﾀﾞ!"));
  other->setFocus();  // leaving stores both
  EXPECT_EQ(estimates->text(entry::kPostAddressField), cp("ﾔﾏﾀﾞ!"));
  EXPECT_EQ(estimates->text(entry::kPostCodeField), cp("山田"));

  name->setFocus();
  send(name, {pre("たろう"), commit("太郎")});
  EXPECT_EQ(reading->toPlainText(), u8("ﾔﾏﾀﾞ!ﾀﾛｳ!"));
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(name, &escape);
  EXPECT_EQ(reading->toPlainText(), u8("ﾔﾏﾀﾞ!"));

  reading->setReadOnly(true);  // not usable: nothing is appended
  send(name, {pre("たろう"), commit("太郎")});
  EXPECT_EQ(reading->toPlainText(), u8("ﾔﾏﾀﾞ!"));
  delete reading;
  EXPECT_EQ(name->YomiOut(), nullptr);
  send(name, {pre("たろう"), commit("太郎")});  // no crash, the handler still hears it
  EXPECT_EQ(delivered.size(), 4u);
}

// ---------------------------------------------------------------------------------------------
// Postal-code panels and window

TEST_F(EntryAidsTest, CodeToAddressUsesWhatIsBeingTyped) {
  importTokyo();
  open();
  auto* postal = control<vendaro::ui::DBMemo>("DBMemo1");
  QWidget* panel = control("Panel2Sub3");
  EXPECT_TRUE(panel->isEnabled());
  EXPECT_EQ(panel->focusPolicy(), Qt::NoFocus);
  form->dataSource().insert();
  postal->setFocus();
  postal->setPlainText(QStringLiteral("105"));
  EXPECT_TRUE(form->postalCodeEdited());
  QString codeShown;
  dialogs.modals.push_back([&](QDialog& d) {
    EXPECT_EQ(&d, postForm);
    codeShown = vendaro::ui::toQ(postForm->chosenCode());
    return int(QDialog::Accepted);
  });
  QTest::mouseClick(panel, Qt::LeftButton);
  EXPECT_EQ(codeShown, QStringLiteral("1050000"));  // the first code beginning with 105
  EXPECT_EQ(field("郵便番号"), QStringLiteral("105"));
  EXPECT_EQ(field("住所"), u8("東京都港区"));
  EXPECT_FALSE(postal->hasFocus());
  EXPECT_FALSE(form->postalCodeEdited());

  // A code that finds nothing shows the first row; cancel changes nothing.
  setField("郵便番号", "999");
  dialogs.modals.push_back([&](QDialog&) {
    codeShown = vendaro::ui::toQ(postForm->chosenCode());
    return int(QDialog::Rejected);
  });
  QTest::mouseClick(panel, Qt::LeftButton);
  EXPECT_EQ(codeShown, QStringLiteral("1000000"));
  EXPECT_EQ(field("住所"), u8("東京都港区"));
}

TEST_F(EntryAidsTest, AddressToCodeOffersTheSearchBarWhenNothingBeginsWithTheAddress) {
  importTokyo();
  open();
  QWidget* panel = control("Panel2Sub4");
  form->dataSource().insert();
  setField("住所", "東京都港区芝公園");
  dialogs.modals.push_back([&](QDialog&) {
    EXPECT_FALSE(postForm->TopPanel->isVisibleTo(postForm));
    return int(QDialog::Accepted);
  });
  QTest::mouseClick(panel, Qt::LeftButton);
  EXPECT_EQ(field("郵便番号"), QStringLiteral("1050011"));

  setField("住所", "東京都港区芝大門２－１");
  dialogs.modals.push_back([&](QDialog&) {
    EXPECT_TRUE(postForm->TopPanel->isVisibleTo(postForm));
    EXPECT_EQ(postForm->AddrEdit->text(), u8("東京都港区芝大門２－１"));
    EXPECT_EQ(postForm->chosenCode(), "1000000");  // the first row
    postForm->AddrEdit->setText(u8("東京都港区芝大"));
    QTest::mouseClick(postForm->SarchButton, Qt::LeftButton);
    EXPECT_EQ(postForm->chosenCode(), "1050012");
    postForm->AddrEdit->setText(u8("大阪"));
    QTest::mouseClick(postForm->SarchButton, Qt::LeftButton);
    EXPECT_EQ(postForm->chosenCode(), "1000000");
    postForm->AddrEdit->setText(u8("東京都港区芝大"));
    QTest::mouseClick(postForm->SarchButton, Qt::LeftButton);
    return int(QDialog::Accepted);
  });
  QTest::mouseClick(panel, Qt::LeftButton);
  EXPECT_EQ(field("郵便番号"), QStringLiteral("1050012"));
  EXPECT_FALSE(postForm->TopPanel->isVisibleTo(postForm));
}

TEST_F(EntryAidsTest, ReadButtonReplacesTheTableOrKeepsItOnFailure) {
  importTokyo();
  writeSettingsLines(dir.file("PostData.INI"), {"3", "7", "8", "9"});
  { std::ofstream(dir.file("small.csv"), std::ios::binary) << cp("1,2,\"1500001\",4,5,6,\"東京都\",\"渋谷区\",\"神宮前\",0\r\n"); }
  std::filesystem::create_directory(dir.file("folder.csv"));
  open();
  EXPECT_EQ(postForm->windowTitle(), u8("郵便番号変換"));
  EXPECT_EQ(postForm->ReadBtn->toolTip(), u8("運輸省のデータ読込"));
  auto rows = [&] { return postForm->postData().recordCount(); };
  EXPECT_EQ(rows(), 4087);

  dialogs.files.push_back(QString());  // cancelled
  QTest::mouseClick(postForm->ReadBtn, Qt::LeftButton);
  EXPECT_EQ(dialogs.shown, QStringList{u8("ＣＳＶファイル")});
  EXPECT_EQ(rows(), 4087);

  dialogs.files.push_back(QString::fromStdString(dir.file("folder.csv")));
  QTest::mouseClick(postForm->ReadBtn, Qt::LeftButton);
  ASSERT_EQ(dialogs.shown.size(), 3);
  EXPECT_EQ(dialogs.shown[2], vendaro::ui::toQ(FileError(dir.file("folder.csv"), EISDIR).what()));
  EXPECT_EQ(rows(), 4087);

  dialogs.files.push_back(QString::fromStdString(dir.file("small.csv")));
  QTest::mouseClick(postForm->ReadBtn, Qt::LeftButton);
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(postForm->DBGrid1->model()->rowCount(), 1);
  EXPECT_EQ(sjis::toUtf8(postForm->chosenAddress()), "東京都渋谷区神宮前");
}

TEST_F(EntryAidsTest, TheMenuImportsIntoANewProgramDirectoryAndStandsOnTheTypedCode) {
  open();
  QAction* item = form->menuItem(QStringLiteral("PostData1"));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  form->dataSource().insert();
  auto* postal = control<vendaro::ui::DBMemo>("DBMemo1");
  postal->setFocus();
  postal->setPlainText(QStringLiteral("1050014"));  // still being typed

  dialogs.files.push_back(QString::fromStdString(VENDARO_POSTAL_SAMPLE));
  item->trigger();
  EXPECT_EQ(dialogs.shown, QStringList({u8("ＣＳＶファイル"), u8("郵便番号データを4087件読み込みました。")}));
  EXPECT_EQ(postForm->postData().recordCount(), 4087);
  EXPECT_EQ(postForm->chosenCode(), "1050014");
  EXPECT_EQ(SettingsLines::load(dir.file("PostData.INI")).lines(), (std::vector<std::string>{"3", "7", "8", "9"}));

  // Columns that name no code: refused with a message, the rows as they were.
  writeSettingsLines(dir.file("PostData.INI"), {"1", "7", "8", "9"});
  { std::ofstream(dir.file("codes.csv"), std::ios::binary) << cp(",\"1500001\",\"東京都\",\"渋谷区\"\r\n"); }
  dialogs.shown.clear();
  dialogs.files.push_back(QString::fromStdString(dir.file("codes.csv")));
  item->trigger();
  ASSERT_EQ(dialogs.shown.size(), 2);
  EXPECT_TRUE(dialogs.shown[1].contains(u8("PostData.INI"))) << dialogs.shown[1].toStdString();
  EXPECT_EQ(postForm->postData().recordCount(), 4087);
}

TEST_F(EntryAidsTest, ButtonsSitAtQuartersOfTheBar) {
  open();
  for (int width : {400, 643}) {
    SCOPED_TRACE(width);
    postForm->resize(width, 300);
    postForm->show();
    QApplication::processEvents();
    const int quarter = postForm->BtnPanel->width() / 4;
    EXPECT_EQ(postForm->OKBtn->x(), quarter - 37);
    EXPECT_EQ(postForm->CancelBtn->x(), quarter * 2 - 37);
    EXPECT_EQ(postForm->ReadBtn->x(), quarter * 3 - 37);
  }
  postForm->hide();
}

// ---------------------------------------------------------------------------------------------
// Recall from the vehicle register

class RecallTest : public EntryAidsTest {
 protected:
  void SetUp() override {
    std::ofstream(dir.file("Tesmora.exe")) << "";
    table::ensureDirectory(dir.file("CARDATA"));
    std::filesystem::copy_file(VENDARO_POSTAL_SAMPLE, dir.file("KEN_ALL.CSV"));
    auto reg = table::Cursor::open(dir.file("CARDATA"), entry::registerSchema());
    auto add = [&](std::vector<const char*> values) {
      std::vector<std::optional<std::string>> row;
      for (const char* v : values) row.push_back(cp(v));
      reg->appendRecord(row);
    };
    add({"03-1111-1111", "東京都港区芝２丁目３－４", "さとう", "佐藤一郎", "カローラ", "品川500あ1111", "AE100-1", "E-AE100",
         "平成１０年４月", "令和０８年０４月０１日", "令和０８年０５月０１日"});
    add({"03-2222-2222", "東京都新宿区戸山１丁目", "やまだ", "山田花子", "マーチ", "練馬500い2222", "K12-2", "DBA-K12",
         "平成１７年６月", "令和０７年１２月０１日", "令和０８年０１月０１日"});
    add({"03-3333-3333", "大阪府堺市堺区", "やまもと", "山本次郎", "フィット", "なにわ300う3333", "GE6-3", "DBA-GE6",
         "平成２０年１月", "令和０９年０２月０１日", "令和０９年０３月０１日"});
  }
  void doubleClick(const char* name) {
    QWidget* box = control(name);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box)) box = memo->viewport();
    QTest::mouseDClick(box, Qt::LeftButton);
  }
};

TEST_F(RecallTest, ChoosingANameAndOkFillTheElevenFields) {
  open();
  form->dataSource().insert();
  setField("郵便番号", "999-9999");
  QStringList listed;
  dialogs.modals.push_back([&](QDialog& d) {
    auto& dlg = static_cast<TCFormDlg&>(d);
    EXPECT_EQ(dlg.windowTitle(), u8("車検管理表からの呼び出し"));
    EXPECT_EQ(dlg.Label1->text(), u8("氏名"));
    EXPECT_EQ(dlg.reg()->recNo(), 1);  // empty 氏名 and 下取車2: the first row
    dlg.Edit1->setText(u8("山"));
    for (int i = 0; i < dlg.DBLookupComboBox1->count(); ++i) listed << dlg.DBLookupComboBox1->itemText(i);
    dlg.DBLookupComboBox1Choose(2);  // 山本次郎
    EXPECT_EQ(field("氏名"), u8("山本次郎"));
    EXPECT_EQ(field("下取車2"), u8("なにわ300う3333"));
    dlg.DBLookupComboBox2Choose(1);  // 練馬500い2222 is 山田花子's
    EXPECT_EQ(field("氏名"), u8("山田花子"));
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    return dlg.result();
  });
  doubleClick("YomiDBMemo1");
  EXPECT_EQ(listed, QStringList({u8("山田花子"), u8("山本次郎")}));
  const std::pair<const char*, const char*> expected[] = {
      {"電話番号", "03-2222-2222"}, {"住所", "東京都新宿区戸山１丁目"}, {"郵便番号", "1620052"},
      {"ふりがな", "やまだ"},       {"氏名", "山田花子"},               {"下取車1", "マーチ"},
      {"下取車2", "練馬500い2222"}, {"下取車3", "K12-2"},                {"下取車4", "DBA-K12"},
      {"下取車5", "平成１７年６月"}, {"下取車6", "令和０７年１２月０１日"},
  };
  for (const auto& [name, value] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(field(name), u8(value));
  }
  EXPECT_EQ(control<QPlainTextEdit>("DBMemo4")->toPlainText(), u8("やまだ"));
}

TEST_F(RecallTest, EachBoxChoosesItsOwnFieldAndClosingKeepsOnlyTheChoice) {
  open();
  form->dataSource().insert();
  setField("住所", "東京都港区");
  setField("下取車2", "品川");
  struct Case {
    const char* box;
    const char* caption;
    int chosenRow;       // where the register stands on showing
    const char* field;   // the estimate field the choice writes
    const char* value;
  };
  const Case cases[] = {
      {"DBMemo3", "住所", 1, "住所", "大阪府堺市堺区"},
      {"DBEdit54", "車検満期", 1, "下取車6", "令和０９年０３月０１日"},  // lists the 車検 expiry date
      {"DBEdit40", "車種", 1, "下取車1", "フィット"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    int shownOn = 0;
    dialogs.modals.push_back([&](QDialog& d) {
      auto& dlg = static_cast<TCFormDlg&>(d);
      EXPECT_EQ(dlg.Label1->text(), u8(c.caption));
      EXPECT_TRUE(dlg.Edit1->text().isEmpty());
      shownOn = dlg.reg()->recNo();
      dlg.DBLookupComboBox1Choose(3);
      return int(QDialog::Rejected);  // the close box
    });
    doubleClick(c.box);
    EXPECT_EQ(shownOn, c.chosenRow);
    EXPECT_EQ(field(c.field), u8(c.value));
    EXPECT_EQ(field("下取車2"), u8("なにわ300う3333"));
    EXPECT_EQ(field("電話番号"), QString());  // nothing else was copied
    setField("住所", "東京都港区");
    setField("下取車2", "品川");
  }
  // A click shows the hint.
  form->statusBar()->clearMessage();
  QTest::mouseClick(control("DBEdit51"), Qt::LeftButton);
  EXPECT_EQ(form->statusBar()->currentMessage(), u8(" ダブルクリックで車検管理表から呼び出せます。"));
}

TEST_F(RecallTest, AnAddressWithoutCodeEmptiesThePostalCode) {
  open();
  form->dataSource().insert();
  setField("郵便番号", "105-0014");
  dialogs.modals.push_back([&](QDialog& d) {
    auto& dlg = static_cast<TCFormDlg&>(d);
    dlg.reg()->setRecNo(3);
    dlg.OKBtnClick();
    return dlg.result();
  });
  doubleClick("DBMemo2");
  EXPECT_EQ(field("住所"), u8("大阪府堺市堺区"));
  EXPECT_EQ(field("郵便番号"), QString());
}

TEST_F(RecallTest, TheRegisterIsSharedWithItsOwnProgramAndHeldOnlyWhileTheDialogIsOpen) {
  // The register program's own layout: its key, an extra column, the fields in its own order.
  const std::string path = dir.file("CARDATA/INDATA.db");
  std::filesystem::remove(path);
  sqlite3* owner = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &owner), SQLITE_OK);
  sqlite3_busy_timeout(owner, 2000);
  auto sql = [&](const std::string& text) {
    char* error = nullptr;
    int rc = sqlite3_exec(owner, text.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    return rc == SQLITE_OK ? std::string() : message;
  };
  ASSERT_EQ(sql("CREATE TABLE records (番号 INTEGER PRIMARY KEY, 備考 TEXT, 使用者 TEXT, 使用者ふりがな TEXT, 使用者住所 TEXT, "
                "電話番号 TEXT, 車名 TEXT, 自動車登録番号 TEXT, 車台番号 TEXT, 型式 TEXT, 初度登録年月 TEXT, 自賠責期間至 TEXT, "
                "有効期間の満了する日 TEXT)"),
            "");
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(owner, "INSERT INTO records (備考, 使用者, 使用者住所, 自動車登録番号) VALUES (?, ?, ?, ?)", -1, &st,
                               nullptr),
            SQLITE_OK);
  const char* values[] = {"常連", "佐藤一郎", "東京都港区芝３丁目", "品川500あ1111"};
  for (int i = 0; i < 4; ++i) {
    const std::string bytes = cp(values[i]);
    sqlite3_bind_blob(st, i + 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
  sqlite3_finalize(st);

  open();
  form->dataSource().insert();
  std::string ownerWrote = "not run";
  dialogs.modals.push_back([&](QDialog& d) {
    auto& dlg = static_cast<TCFormDlg&>(d);
    EXPECT_EQ(dlg.DBLookupComboBox1->itemText(0), u8("佐藤一郎"));
    // Its owner goes on writing while the dialog is open.
    ownerWrote = sql("INSERT INTO records (使用者) VALUES ('x')");
    QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
    return dlg.result();
  });
  doubleClick("YomiDBMemo1");
  EXPECT_EQ(ownerWrote, "");
  EXPECT_EQ(field("氏名"), u8("佐藤一郎"));
  EXPECT_EQ(field("住所"), u8("東京都港区芝３丁目"));
  EXPECT_EQ(field("郵便番号"), QStringLiteral("1050014"));
  EXPECT_EQ(field("下取車2"), u8("品川500あ1111"));
  // Closed, the register is not held at all: its owner can lock it whole.
  EXPECT_EQ(form->findChild<TCFormDlg*>()->reg(), nullptr);
  EXPECT_EQ(sql("BEGIN EXCLUSIVE; COMMIT"), "");
  sqlite3_close(owner);
}

TEST_F(RecallTest, NothingWithoutTheRegisterProgramAndAMessageWithoutItsTable) {
  std::filesystem::remove(dir.file("Tesmora.exe"));
  open();
  QTest::mouseClick(control("DBEdit51"), Qt::LeftButton);
  EXPECT_EQ(form->statusBar()->currentMessage(), u8(" ダブルクリックで車検管理表から呼び出せます。"));
  doubleClick("YomiDBMemo1");  // an unexpected dialog would fail the test
  EXPECT_TRUE(dialogs.shown.isEmpty());
  form.reset();

  std::ofstream(dir.file("Tesmora.exe")) << "";
  std::filesystem::remove(dir.file("CARDATA/INDATA.db"));
  open();
  doubleClick("YomiDBMemo1");
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].contains(QStringLiteral("INDATA.db")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("CARDATA/INDATA.db")));  // never created here
}

}  // namespace
}  // namespace vendaro::app::ui

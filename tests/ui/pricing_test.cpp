// The pricing windows on the main window: recalculation on leaving amount boxes, the rate dialog,
// the discount, the pick lists and their editor, the tax and insurance table windows.
#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/ui/Application.h"
#include "book/estimate_table.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "pricing/reference_tables.h"
#include "pricing/ui/CarTaxListForm.h"
#include "pricing/ui/ListEdit.h"
#include "pricing/ui/ServiceDlg.h"
#include "pricing/ui/ZeiSForm.h"
#include "support/failing_disk.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::app::ui {
namespace {

using pricing::ui::TCInsureForm;
using pricing::ui::TCTaxForm;
using pricing::ui::TListEditForm;
using pricing::ui::TServDlg;
using pricing::ui::TZeiSetForm;
using vendaro::ui::DBComboBox;
using vendaro::ui::DBEdit;
using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::lit(utf8); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void put(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

QStringList latin(std::initializer_list<const char*> texts) {
  QStringList out;
  for (const char* t : texts) out << QString::fromLatin1(t);
  return out;
}

QStringList items(QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}

class PricingTest : public ::testing::Test {
 protected:
  void TearDown() override { form.reset(); }

  /// One estimate with the given figures, stored before the window opens.
  void seed(std::initializer_list<std::pair<const char*, int32_t>> figures, const char* caption = "") {
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    c->append();
    c->setText(cp("作成日"), cp("平成１５年０３月２０日"));
    c->setText(cp("車両項目2"), cp(caption));
    for (const auto& [field, value] : figures) c->setInteger(cp(field), value);
    c->post();
  }
  /// Opens the window; the figures of these tests are quoted at 5 % unless a test writes its own
  /// "Zei.INI" (or asks for a new installation's rate).
  void open(bool fivePercent = true) {
    if (fivePercent && !fileExists(dir.file("Zei.INI"))) put(dir.file("Zei.INI"), "5\r\n");
    form = createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();  // the first-tick prompts have tests of their own
    form->show();
    form->activateWindow();
    QApplication::processEvents();
  }
  template <class T>
  T* window() {
    return form->findChild<T*>();
  }
  int32_t at(const char* field) { return form->estimates().integer(cp(field)); }
  DBEdit* edit(const char* name) { return form->control<DBEdit>(QString::fromLatin1(name)); }
  DBComboBox* combo(const char* name) { return form->control<DBComboBox>(QString::fromLatin1(name)); }
  /// Types into a box as a person would and leaves it for `next`.
  void typeAndLeave(const char* box, const QString& text, const char* next) {
    QWidget* control = form->control<QWidget>(QString::fromLatin1(box));
    control->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(control)) line->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(control, &commit);
    leave(box, next);
  }
  void leave(const char* box, const char* next) {
    form->control<QWidget>(QString::fromLatin1(box))->setFocus();
    QApplication::processEvents();
    form->control<QWidget>(QString::fromLatin1(next))->setFocus();
    QApplication::processEvents();
  }
  QString hint() { return form->statusBar()->currentMessage(); }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<TEstimateDataForm> form;
};

TEST_F(PricingTest, LeavingTheAdjustmentLineRecomputesTheVehicleBody) {
  seed({{"小計", 20000}, {"諸費用合計", 80000}, {"諸費用消費税", 1000}, {"頭金合計", 300000}});
  open();
  typeAndLeave("DBEdit1", QStringLiteral("1000000"), "DBEdit2");
  typeAndLeave("DBEdit2", QStringLiteral("-50000"), "DBEdit5");
  EXPECT_EQ(at("車両価格3"), 950000);
  EXPECT_EQ(at("車両消費税3"), 47500);
  EXPECT_EQ(at("車両合計"), 950000);
  EXPECT_EQ(at("車両消費税"), 47500);
  EXPECT_EQ(at("販売合計"), 950000 + 47500 + 81000);
  EXPECT_EQ(at("見積金額"), 1078500 - 300000);
  EXPECT_EQ(edit("DBEdit75")->text(), QStringLiteral("778500"));
  EXPECT_EQ(edit("DBEdit4")->text(), QStringLiteral("47500"));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
}

TEST_F(PricingTest, EachBoxRunsItsOwnRecalculationAndNoMore) {
  struct Case {
    const char* box;
    const char* typed;
    std::vector<std::pair<const char*, int32_t>> expected;
    std::vector<const char*> untouched;
  } cases[] = {
      // Every tax of the estimate follows the rate, also 車両消費税4 of the line not left.
      {"DBEdit9", "-1999", {{"車両消費税6", -99}, {"車両消費税4", 27}, {"車両合計", 555 - 1999}}, {"小計", "頭金合計"}},
      {"DBEdit18", "10010", {{"小計", 20020}, {"小計消費税", 1001}, {"諸費用消費税", 1001}}, {"車両合計", "頭金合計"}},
      {"DBEdit27", "30000", {{"諸費用合計", 20020 + 30000}, {"小計消費税", 1001}}, {"車両合計"}},
      {"DBEdit32", "39500", {{"諸費用合計", 20020 + 69500}}, {"車両合計"}},
      {"DBEdit57", "7000", {{"オプション合計", 7000}, {"車両価格4", 7000}, {"車両消費税4", 350}}, {"小計"}},
      {"DBEdit73", "20", {{"付属品合計", 20}, {"車両価格5", 20}, {"車両消費税5", 1}}, {"小計"}},
      {"DBEdit14", "100000", {{"頭金合計", 100000}}, {"小計", "車両合計"}},
  };
  seed({{"販売費用1", 10010}, {"車両価格4", 555}, {"車両消費税3", 12345}, {"頭金合計", 3}});
  open();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    std::vector<std::pair<const char*, int32_t>> before;
    for (const char* field : c.untouched) before.emplace_back(field, at(field));
    typeAndLeave(c.box, QString::fromLatin1(c.typed), "DBMemo8");
    for (const auto& [field, value] : c.expected) EXPECT_EQ(at(field), value) << field;
    for (const auto& [field, value] : before) EXPECT_EQ(at(field), value) << field;
    EXPECT_EQ(at("見積金額"), at("販売合計") - at("頭金合計"));
  }
}

TEST_F(PricingTest, BoxesWithoutARecalculationChangeNothingElse) {
  seed({{"販売合計", 500000}, {"見積金額", 500000}});
  open();
  typeAndLeave("DBEdit16", QStringLiteral("100000"), "DBEdit43");  // a hand-typed down payment total
  typeAndLeave("DBEdit43", QStringLiteral("30000"), "DBMemo8");     // plan: first payment
  EXPECT_EQ(at("頭金合計"), 100000);
  EXPECT_EQ(at("見積金額"), 500000);
  typeAndLeave("DBEdit9", QStringLiteral("0"), "DBMemo8");  // the next recalculation takes it
  EXPECT_EQ(at("見積金額"), at("販売合計") - 100000);
}

TEST_F(PricingTest, LettersInAnAmountBoxAreRefusedAndNothingIsRecomputed) {
  seed({{"車両価格1", 1000}, {"車両価格3", 1000}});
  open();
  typeAndLeave("DBEdit2", QStringLiteral("abc"), "DBEdit5");
  QApplication::processEvents();
  ASSERT_FALSE(dialogs.shown.isEmpty());
  // The free line's caption box is empty, so the box is named by its group.
  EXPECT_EQ(dialogs.shown.back(), u8("車両価格金額：'abc' は項目 '車両価格2' に適した整数値ではありません"));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  EXPECT_EQ(at("車両価格3"), 1000);
  EXPECT_TRUE(form->estimates().isNull(cp("車両消費税3")));
}

TEST_F(PricingTest, AFigureTooLargeIsNamedInTheStatusBarAndNothingIsWritten) {
  seed({{"車両価格1", 2147483000}, {"車両価格3", 7}});
  open();
  typeAndLeave("DBEdit2", QStringLiteral("1000"), "DBEdit5");
  EXPECT_EQ(hint(), u8("「車両価格3」の金額が大きすぎるため計算できません"));
  EXPECT_EQ(at("車両価格2"), 1000);  // what was typed is kept
  EXPECT_EQ(at("車両価格3"), 7);
  EXPECT_TRUE(form->estimates().isNull(cp("見積金額")));
}

TEST_F(PricingTest, AnEstimateWhoseTotalsDoNotFitIsNotSavedUntilTheyDo) {
  seed({{"保険1", 1}, {"販売費用1", 1000}, {"車両価格3", 100000}});
  open();
  typeAndLeave("DBEdit38", QStringLiteral("2,147,483,647"), "DBMemo8");
  ASSERT_FALSE(dialogs.shown.isEmpty());
  EXPECT_EQ(dialogs.shown.back(), u8("「任意保険」の金額で、「諸費用合計」の金額が大きすぎるため計算できません。"));
  EXPECT_EQ(hint(), u8("「諸費用合計」の金額が大きすぎるため計算できません"));
  EXPECT_EQ(at("保険2"), INT32_MAX);
  EXPECT_TRUE(form->estimates().isNull(cp("諸費用合計")));
  // Neither the post button nor moving on saves it, and other boxes left keep it stale.
  const int shown = static_cast<int>(dialogs.shown.size());
  EXPECT_FALSE(form->dataSource().post());
  EXPECT_GT(static_cast<int>(dialogs.shown.size()), shown);
  EXPECT_TRUE(dialogs.shown.back().startsWith(u8("合計が計算できていないため")));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Edit);
  typeAndLeave("DBEdit13", QStringLiteral("5000"), "DBMemo8");
  EXPECT_TRUE(form->estimates().isNull(cp("頭金合計")));
  EXPECT_FALSE(hint().isEmpty());
  // Put right, the figures fit again: the hint goes and the estimate is saved whole.
  typeAndLeave("DBEdit38", QStringLiteral("30,000"), "DBMemo8");
  EXPECT_TRUE(hint().isEmpty());
  EXPECT_EQ(at("諸費用合計"), 31001);
  EXPECT_EQ(at("頭金合計"), 5000);
  EXPECT_EQ(at("見積金額"), 100000 + 5000 + 31001 + 50 - 5000);
  EXPECT_TRUE(form->dataSource().post());

  // Cancelling a stale estimate forgets it.
  typeAndLeave("DBEdit38", QStringLiteral("2147483647"), "DBMemo8");
  EXPECT_FALSE(hint().isEmpty());
  form->dataSource().cancel();
  EXPECT_TRUE(hint().isEmpty());
  typeAndLeave("DBEdit37", QStringLiteral("2"), "DBMemo8");
  EXPECT_TRUE(form->dataSource().post());
  EXPECT_EQ(at("諸費用合計"), 31002);
}

TEST_F(PricingTest, AmountsAreReadAsPeopleTypeThemAndRefusalsNameTheBox) {
  seed({});
  open();
  ASSERT_TRUE(form->dataSource().run([](table::Cursor& c) {
    c.edit();
    c.setText(cp("保険項目3"), cp("ロードサービス"));
    c.setText(cp("オプション項目1"), cp("フロアマット"));
    c.post();
  }));
  for (const char* typed : {"1,200,000", "１２０００００", "￥1,200,000", " 1,200,000円"}) {
    SCOPED_TRACE(typed);
    typeAndLeave("DBEdit38", u8(typed), "DBMemo8");
    EXPECT_EQ(at("保険2"), 1200000);
    EXPECT_EQ(edit("DBEdit38")->text(), QStringLiteral("1200000"));
    EXPECT_EQ(at("諸費用合計"), 1200000);
  }
  struct Case {
    const char* box;
    const char* typed;
    const char* message;
  } cases[] = {
      {"DBEdit38", "1,20,000", "任意保険：'1,20,000' は項目 '保険2' に適した整数値ではありません"},
      {"DBEdit1", "百万", "車両本体価格：'百万' は項目 '車両価格1' に適した整数値ではありません"},
      {"DBEdit39", "x", "ロードサービス：'x' は項目 '保険3' に適した整数値ではありません"},
      {"DBEdit56", "y", "フロアマット：'y' は項目 'オプション金額1' に適した整数値ではありません"},
  };
  ASSERT_TRUE(form->dataSource().post());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    typeAndLeave(c.box, u8(c.typed), "DBMemo8");
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.back(), u8(c.message));
    form->dataSource().cancel();
  }
  EXPECT_EQ(at("保険2"), 1200000);
}

TEST_F(PricingTest, AmountsAreNotEditedInTheListGrid) {
  seed({{"車両価格1", 1000}, {"見積金額", 1050}});
  open();
  auto* model = form->DBGrid1->cursorModel();
  auto column = [this](const char* field) { return form->estimates().fieldIndex(cp(field)); };
  for (const char* amount : {"車両価格1", "見積金額", "保険2", "頭金合計", "オプション金額1"}) {
    SCOPED_TRACE(amount);
    const QModelIndex cell = model->index(0, column(amount));
    EXPECT_FALSE(model->flags(cell) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(cell, QStringLiteral("5"), Qt::EditRole));
  }
  EXPECT_EQ(at("車両価格1"), 1000);
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
  for (const char* other : {"氏名", "プラン1月々", "税金月数"}) {
    SCOPED_TRACE(other);
    EXPECT_TRUE(model->flags(model->index(0, column(other))) & Qt::ItemIsEditable);
  }
}

TEST_F(PricingTest, ANewInstallationQuotesAtTenPercent) {
  for (const char* zei : {static_cast<const char*>(nullptr), ""}) {
    SCOPED_TRACE(zei ? "empty Zei.INI" : "no Zei.INI");
    seed({});
    if (zei) put(dir.file("Zei.INI"), zei);
    open(false);
    EXPECT_EQ(window<TZeiSetForm>()->rate(), 10);
    typeAndLeave("DBEdit1", QStringLiteral("1000000"), "DBEdit2");
    EXPECT_EQ(at("車両消費税3"), 100000);
    form.reset();
  }
}

TEST_F(PricingTest, TheRateDialogWritesZeiIniOnOkAlone) {
  seed({{"車両価格6", 1000}});
  put(dir.file("Zei.INI"), "8%\r\n");
  open();
  auto* zei = window<TZeiSetForm>();
  ASSERT_NE(zei, nullptr);
  EXPECT_EQ(zei->windowTitle(), u8("消費税"));
  EXPECT_EQ(zei->rate(), 8);
  ASSERT_TRUE(form->menuItem(QStringLiteral("N8"))->isEnabled());

  dialogs.modals.push_back([](QDialog& d) {
    auto& z = static_cast<TZeiSetForm&>(d);
    z.SpinEdit1->setValue(10);
    z.CancelBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N8"))->trigger();
  EXPECT_EQ(zei->rate(), 8);
  EXPECT_EQ(slurp(dir.file("Zei.INI")), "8%\r\n");

  dialogs.modals.push_back([](QDialog& d) {
    auto& z = static_cast<TZeiSetForm&>(d);
    z.SpinEdit1->setValue(10);
    z.OKBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N8"))->trigger();
  EXPECT_EQ(zei->rate(), 10);
  EXPECT_EQ(slurp(dir.file("Zei.INI")), "10\r\n");
  EXPECT_TRUE(form->estimates().isNull(cp("車両消費税6")));  // nothing recomputed by the dialog
  leave("DBEdit9", "DBMemo8");
  EXPECT_EQ(at("車両消費税6"), 100);
}

TEST_F(PricingTest, TheDiscountDialogOffersTheTrailingDigitsAndTakesAChoice) {
  seed({{"車両価格1", 1000000}, {"車両価格3", 1000000}, {"車両消費税3", 50000}, {"車両合計", 1000000},
        {"車両消費税", 50000}, {"諸費用合計", 184567}, {"販売合計", 1234567}, {"見積金額", 1234567}});
  open();
  QStringList offered;
  dialogs.modals.push_back([&](QDialog& d) {
    auto& serv = static_cast<TServDlg&>(d);
    offered = serv.choices();
    EXPECT_FALSE(serv.selectedChoice().has_value());
    serv.clickChoice(2);
    EXPECT_FALSE(serv.isVisible());
    return d.result();
  });
  emit edit("DBEdit75")->doubleClicked();
  EXPECT_EQ(offered, QStringList({u8("7円"), u8("67円"), u8("567円"), u8("4567円")}));
  EXPECT_EQ(at("車両価格2"), -540);
  EXPECT_EQ(at("見積金額"), 1234000);
  EXPECT_EQ(form->estimates().text(cp("車両項目2")), cp("値引き"));
  EXPECT_EQ(combo("DBComboBox2")->currentText(), u8("値引き"));
  EXPECT_EQ(edit("DBEdit75")->text(), QStringLiteral("1234000"));

  // A typed amount wins over a clicked choice, typed as people type it.
  ASSERT_TRUE(form->dataSource().post());
  dialogs.modals.push_back([](QDialog& d) {
    auto& serv = static_cast<TServDlg&>(d);
    serv.Edit1->setText(QStringLiteral("1,200,001"));
    serv.clickChoice(3);
    return d.result();
  });
  emit edit("DBEdit75")->doubleClicked();
  EXPECT_EQ(at("見積金額"), 1200001);
  EXPECT_EQ(at("車両価格2"), -32920);
  EXPECT_TRUE(hint().isEmpty());

  // No whole yen gives 1,200,000 here (the tax of 967,079 and of 967,080 differ by one): the
  // nearest quote below is taken, and the status bar says so.
  ASSERT_TRUE(form->dataSource().post());
  dialogs.modals.push_back([](QDialog& d) {
    static_cast<TServDlg&>(d).Edit1->setText(u8("１，２００，０００"));
    d.accept();
    return d.result();
  });
  emit edit("DBEdit75")->doubleClicked();
  EXPECT_EQ(at("見積金額"), 1199999);
  EXPECT_EQ(at("車両価格2"), 967079 - 1000000);
  EXPECT_EQ(hint(), u8(" 消費税の端数のため、ちょうど 1200000 円にはできません。1199999 円にしました。"));
}

TEST_F(PricingTest, ClosingTheDiscountDialogWithoutAFigureChangesNothing) {
  seed({{"見積金額", 1234567}});
  open();
  for (const char* typed : {"", "0", "abc"}) {
    SCOPED_TRACE(typed);
    dialogs.modals.push_back([typed](QDialog& d) {
      static_cast<TServDlg&>(d).Edit1->setText(QString::fromLatin1(typed));
      d.reject();
      return d.result();
    });
    emit edit("DBEdit75")->doubleClicked();
    EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
    EXPECT_TRUE(form->estimates().isNull(cp("車両価格2")));
  }
}

TEST_F(PricingTest, TheDiscountDialogRefusesAFigureItCannotQuote) {
  seed({{"見積金額", 2000000000}});
  open();
  struct Case {
    const char* typed;
    const char* message;
  } cases[] = {
      {"-2000000000", "請求額には 1 円以上の金額を指定してください"},
      {"-5", "請求額には 1 円以上の金額を指定してください"},
      {"abc", "'abc' は「請求額の指定」に指定できる金額ではありません"},
      {"1,20,000", "'1,20,000' は「請求額の指定」に指定できる金額ではありません"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    dialogs.modals.push_back([&c](QDialog& d) {
      auto& serv = static_cast<TServDlg&>(d);
      serv.Edit1->setText(QString::fromLatin1(c.typed));
      serv.clickChoice(0);  // not taken behind the refusal's back
      return d.result();
    });
    emit edit("DBEdit75")->doubleClicked();
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.shown.back(), u8(c.message));
    EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);
    EXPECT_TRUE(form->estimates().isNull(cp("車両価格2")));
  }
}

TEST_F(PricingTest, EnterInTheDiscountDialogClosesIt) {
  seed({});
  open();
  auto* serv = window<TServDlg>();
  serv->show();
  serv->activateWindow();
  QApplication::processEvents();
  serv->Edit1->setFocus();
  QTest::keyClick(serv->Edit1, Qt::Key_Return);
  EXPECT_FALSE(serv->isVisible());
}

TEST_F(PricingTest, WithoutListFilesTheBoxesHaveTheirDesignEntries) {
  seed({});
  open();
  EXPECT_EQ(items(combo("DBComboBox1")), QStringList({u8("オートマ"), u8("マニュアル")}));
  EXPECT_EQ(items(combo("DBComboBox12")), latin({"2", "6", "12", "24", "36"}));
  EXPECT_EQ(items(combo("DBComboBox13")), latin({"1", "2"}));
  for (const char* caption : {"DBComboBox2", "DBComboBox3", "DBComboBox4", "DBComboBox5", "DBComboBox6",
                              "DBComboBox7", "DBComboBox8", "DBComboBox9"})
    EXPECT_EQ(combo(caption)->count(), 0) << caption;
}

TEST_F(PricingTest, ListFilesReplaceTheEntriesOfEveryBoxTheyFeed) {
  seed({});
  put(dir.file("CarPlan.INI"), "3\r\n10\r\n");
  put(dir.file("Mission.INI"), "");
  put(dir.file("Expense1.INI"), cp("納車準備費") + "\r\n");
  open();
  EXPECT_EQ(items(combo("DBComboBox12")), latin({"3", "10"}));
  EXPECT_EQ(items(combo("DBComboBox13")), latin({"3", "10"}));
  EXPECT_EQ(items(combo("DBComboBox14")), latin({"2", "6", "12", "24", "36"}));
  EXPECT_EQ(items(combo("DBComboBox15")), latin({"1", "2"}));
  EXPECT_EQ(combo("DBComboBox1")->count(), 0);
  EXPECT_EQ(items(combo("DBComboBox5")), QStringList({u8("納車準備費")}));
  EXPECT_EQ(items(combo("DBComboBox6")), QStringList({u8("納車準備費")}));
}

TEST_F(PricingTest, TheListEditorChangesTheBoxesAndTheFileOnOkOnly) {
  seed({}, "旧キャプション");
  open();
  for (const char* item : {"N7", "N9", "N10", "N11", "N14", "N12", "N13", "N15"})
    EXPECT_TRUE(form->menuItem(QString::fromLatin1(item))->isEnabled()) << item;

  QString heading;
  dialogs.modals.push_back([&](QDialog& d) {
    auto& editor = static_cast<TListEditForm&>(d);
    heading = editor.Panel1->text();
    editor.Memo1->setPlainText(u8("値引き\n下取り\n"));
    editor.CancelBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N9"))->trigger();
  EXPECT_EQ(heading, u8("”車両価格”の修正"));
  EXPECT_EQ(combo("DBComboBox2")->count(), 0);
  EXPECT_FALSE(fileExists(dir.file("CarPrice.INI")));

  dialogs.modals.push_back([](QDialog& d) {
    auto& editor = static_cast<TListEditForm&>(d);
    editor.Memo1->setPlainText(u8("値引き\n下取り\n"));
    editor.OKBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N9"))->trigger();
  EXPECT_EQ(items(combo("DBComboBox2")), QStringList({u8("値引き"), u8("下取り")}));
  EXPECT_EQ(items(combo("DBComboBox3")), QStringList({u8("値引き"), u8("下取り")}));
  EXPECT_EQ(slurp(dir.file("CarPrice.INI")), cp("値引き") + "\r\n" + cp("下取り") + "\r\n");
  EXPECT_EQ(combo("DBComboBox2")->currentText(), u8("旧キャプション"));  // the estimate keeps its caption
  EXPECT_EQ(form->estimates().text(cp("車両項目2")), cp("旧キャプション"));
  EXPECT_EQ(form->estimates().state(), table::Cursor::State::Browse);

  // The editor starts from the entries of the list's first box.
  QString memo;
  dialogs.modals.push_back([&](QDialog& d) {
    auto& editor = static_cast<TListEditForm&>(d);
    memo = editor.Memo1->toPlainText();
    editor.Memo1->clear();
    editor.OKBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N9"))->trigger();
  EXPECT_EQ(memo, u8("値引き\n下取り"));
  EXPECT_EQ(combo("DBComboBox3")->count(), 0);
  EXPECT_EQ(slurp(dir.file("CarPrice.INI")), "");
}

TEST_F(PricingTest, APlanListThatCannotBeWrittenStillFeedsTheBoxesForTheRun) {
  seed({});
  open();
  put(dir.file("CarPlan.INI"), "2\r\n");
  dialogs.modals.push_back([](QDialog& d) {
    auto& editor = static_cast<TListEditForm&>(d);
    editor.Memo1->setPlainText(QStringLiteral("3\n60"));
    editor.OKBtn->click();
    return d.result();
  });
  {
    test::FullDiskScope full;  // the file cannot be replaced
    form->menuItem(QStringLiteral("N15"))->trigger();
  }
  ASSERT_FALSE(dialogs.shown.isEmpty());
  EXPECT_TRUE(dialogs.shown.back().startsWith(u8("ファイルの入出力エラーです")));
  EXPECT_EQ(items(combo("DBComboBox12")), latin({"3", "60"}));
  EXPECT_EQ(items(combo("DBComboBox13")), latin({"3", "60"}));
  EXPECT_EQ(items(combo("DBComboBox14")), latin({"2", "6", "12", "24", "36"}));
  EXPECT_EQ(slurp(dir.file("CarPlan.INI")), "2\r\n");
}

TEST_F(PricingTest, ButtonsSitAtTheirThirdsAndHalves) {
  seed({});
  open();
  auto* editor = window<TListEditForm>();
  for (int width : {300, 451, 800}) {
    SCOPED_TRACE(width);
    editor->resize(width, 300);
    editor->show();
    QApplication::processEvents();
    const int bar = editor->BtnPanel->width();
    EXPECT_EQ(editor->OKBtn->x(), bar / 3 - 37);
    EXPECT_EQ(editor->CancelBtn->x(), bar / 3 * 2 - 37);
    editor->hide();
  }
  auto* tax = window<TCTaxForm>();
  for (int width : {400, 733}) {
    SCOPED_TRACE(width);
    tax->resize(width, 300);
    tax->show();
    QApplication::processEvents();
    EXPECT_EQ(tax->OKBtn->x(), tax->Panel1->width() / 2 - 37);
    tax->hide();
  }
}

TEST_F(PricingTest, TheTaxTableKeepsItsRowsAndColumnWidths) {
  seed({});
  put(dir.file("EsTaxLen.INI"), "1\r\n30\r\n0\r\n5\r\n9\r\n5\r\n");
  open();
  auto* tax = window<TCTaxForm>();
  auto* insure = window<TCInsureForm>();
  ASSERT_NE(tax, nullptr);
  ASSERT_NE(insure, nullptr);
  EXPECT_EQ(tax->windowTitle(), u8("作業リストの修正"));
  EXPECT_EQ(tax->DBGrid1->displayWidth(0), 30);
  EXPECT_EQ(tax->DBGrid1->model()->columnCount(), pricing::carTaxSchema().fieldCount());
  EXPECT_EQ(insure->DBGrid1->model()->columnCount(), pricing::carInsureSchema().fieldCount());

  dialogs.modals.push_back([](QDialog& d) {
    auto& t = static_cast<TCTaxForm&>(d);
    t.DBNavigator4->button(vendaro::ui::DBNavigator::Insert)->click();
    EXPECT_TRUE(t.dataSource().run([](table::Cursor& c) { c.setText(cp("車種"), cp("軽自動車")); }));
    t.DBNavigator1->button(vendaro::ui::DBNavigator::Post)->click();
    // A figure typed in the grid and not yet posted is stored when the window closes.
    auto* model = t.DBGrid1->model();
    EXPECT_TRUE(model->setData(model->index(0, 2), QStringLiteral("10800"), Qt::EditRole));
    EXPECT_EQ(t.cursor().state(), table::Cursor::State::Edit);
    t.DBGrid1->setColumnWidth(1, t.DBGrid1->columnWidth(1) * 2);
    t.OKBtn->click();
    return d.result();
  });
  form->menuItem(QStringLiteral("N20"))->trigger();
  EXPECT_EQ(tax->cursor().state(), table::Cursor::State::Browse);
  EXPECT_EQ(tax->cursor().recordCount(), 1);
  EXPECT_EQ(tax->cursor().text(cp("車種")), cp("軽自動車"));
  EXPECT_EQ(tax->cursor().integer(cp("年税額")), 10800);
  auto widths = pricing::loadColumnWidths(dir.file("EsTaxLen.INI"));
  ASSERT_EQ(static_cast<int>(widths.size()), pricing::carTaxSchema().fieldCount());
  for (int i = 0; i < static_cast<int>(widths.size()); ++i) EXPECT_EQ(widths[i].first, i + 1);
  EXPECT_EQ(widths[0].second, 30);
  const int widened = widths[1].second;
  EXPECT_FALSE(fileExists(dir.file("EsInsLen.INI")));

  // Closed by the title bar: the width file is left alone.
  dialogs.modals.push_back([](QDialog& d) {
    static_cast<TCTaxForm&>(d).DBGrid1->setColumnWidth(1, 20);
    d.reject();
    return d.result();
  });
  form->menuItem(QStringLiteral("N20"))->trigger();
  EXPECT_EQ(pricing::loadColumnWidths(dir.file("EsTaxLen.INI"))[1].second, widened);

  form.reset();
  open();
  EXPECT_EQ(window<TCTaxForm>()->DBGrid1->displayWidth(1), widened);
  EXPECT_EQ(window<TCTaxForm>()->cursor().recordCount(), 1);
}

TEST_F(PricingTest, MonthCountsChangeNoFigure) {
  seed({{"税金1", 39500}, {"保険1", 22470}, {"諸費用合計", 1}, {"見積金額", 2}});
  open();
  typeAndLeave("DBComboBox10", QStringLiteral("7"), "DBComboBox11");
  typeAndLeave("DBComboBox11", QStringLiteral("25"), "DBMemo8");
  EXPECT_EQ(form->estimates().text(cp("税金月数")), "7");
  EXPECT_EQ(at("税金1"), 39500);
  EXPECT_EQ(at("諸費用合計"), 1);
  EXPECT_EQ(at("見積金額"), 2);
}

}  // namespace
}  // namespace vendaro::app::ui

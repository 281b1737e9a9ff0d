// The form print commands, the layout editor and the printer settings, driven through the main
// window; printed sheets are read back from PDF.

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

#include "app/ui/Application.h"
#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "formprint/jpeg_image.h"
#include "formprint/layout_tables.h"
#include "formprint/ui/CarPrtForm.h"
#include "formprint/ui/FormPrinting.h"
#include "formprint/ui/PrintSelectDlg.h"
#include "formprint/ui/ToolEdit.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/pdf_text.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro::formprint::ui {
namespace {

using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::lit(utf8); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// Types into a control as a person would: the text arrives as an input method commit.
void type(QWidget* control, const QString& text) {
  control->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(control, &commit);
}

/// NFKC: some CJK fonts give Kangxi radicals in the PDF's text layer.
QString normalized(const std::string& utf8) {
  return QString::fromUtf8(utf8.c_str()).normalized(QString::NormalizationForm_KC);
}

struct Item {
  const char* expression;
  int x, y, size;
};

/// A program directory with estimates and layouts, and the main window on it.
class FormPrintTest : public ::testing::Test {
 protected:
  void TearDown() override { form.reset(); }

  void addEstimates(std::initializer_list<const char*> names) {
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    for (const char* name : names) {
      c->append();
      c->setText(cp("氏名"), cp(name));
      c->setText(cp("見積金額"), "1234567");
      c->setText(cp("作成日"), cp("平成１８年０５月１０日"));
      c->post();
    }
  }
  /// Layout n with the given switches (UTF-8 field = value) and items.
  void addLayout(int n, std::initializer_list<std::pair<const char*, const char*>> fields,
                 std::initializer_list<Item> items) {
    auto t = LayoutTables::open(dir.file("CARDATA"));
    t->ensureLayout(n);
    t->openLayout(n);
    t->data().edit();
    t->data().setText(kPaperWidthField, "210");
    t->data().setText(kPaperHeightField, "297");
    for (const auto& [f, v] : fields) t->data().setText(cp(f), cp(v));
    int k = 1;
    for (const Item& item : items) {
      t->data().setText(kFirstItemField + k - 1, cp(item.expression));
      for (auto [c, v] : {std::pair{&t->posX(), item.x}, {&t->posY(), item.y}, {&t->size(), item.size}}) {
        c->edit();
        c->setInteger(k - 1, v);
        c->post();
      }
      ++k;
    }
    t->data().post();
  }
  void writeList(std::vector<std::string> utf8Lines) {
    for (auto& l : utf8Lines) l = cp(l.c_str());
    writeSettingsLines(dir.file("EsPrintName.INI"), utf8Lines);
  }
  void open() {
    form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    form->show();
    QApplication::processEvents();
  }
  /// The next printer setup writes a PDF file.
  void printToPdf(const std::string& file) {
    dialogs.printerSetups.push_back([file](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromUtf8(file.c_str()));
      return true;
    });
  }
  const test::PdfWord* word(const test::PdfText& text, const char* utf8, int page = 1) {
    for (const auto& w : text.words)
      if (w.page == page && normalized(w.text) == u8(utf8)) return &w;
    return nullptr;
  }
  TCarPrintForm* editor() { return form->findChild<TCarPrintForm*>(); }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<app::ui::TEstimateDataForm> form;
};

TEST_F(FormPrintTest, APrintCommandPutsEachItemWhereTheFormulaPlacesIt) {
  addEstimates({"山田太郎"});
  addLayout(1, {{"印刷名", "見積書"}, {"日付の表示", "True"}},
            {{"氏名", 379, 0, 10}, {"見積金額$10", 0, 379, 12}, {"", 100, 100, 10}, {"@ABC", 600, 758, 20}});
  writeList({"見積書", "1", "新規追加", "2"});
  writeSettingsLines(dir.file("ToolEdit.INI"), {"1000", "267", "0", "1"});  // the set as it was stored
  open();
  QAction* print1 = form->menuItem(QStringLiteral("Print1"));
  EXPECT_TRUE(print1->isVisible());
  EXPECT_EQ(print1->text(), u8("見積書印刷"));
  EXPECT_FALSE(form->menuItem(QStringLiteral("Print2"))->isVisible());

  const std::string pdf = dir.file("out.pdf");
  printToPdf(pdf);
  print1->trigger();
  const test::PdfText text = test::readPdfText(pdf);
  EXPECT_EQ(text.pages, 1);
  // Device dots at 360 dpi are 0.2 points. The texts' tops may sit a little below the corner of
  // their box by the font's own leading.
  struct Expect {
    const char* text;
    int dotsX, dotsY;
  };
  const Expect expected[] = {
      {"山田太郎", 1430, 0},         // 100 mm and the 1 mm offset of the default set
      {"1,234,567", 33, 1419},       // one cell right: (50 × 12 + 50) div 100 = 6 units
      {"ABC", 2258, 2838},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.text);
    const test::PdfWord* w = word(text, e.text);
    ASSERT_NE(w, nullptr);
    EXPECT_NEAR(w->xMin, e.dotsX * 0.2, 1.0);
    EXPECT_NEAR(w->yMin, e.dotsY * 0.2, 3.0);
  }
  EXPECT_EQ(text.words.size(), 3u);
}

TEST_F(FormPrintTest, WithoutAStoredSetItemsLandAtTheirPlaceOnThePaper) {
  addEstimates({"山田太郎"});
  addLayout(1, {{"印刷名", "見積書"}}, {{"@LEFT", 0, 0, 10}, {"@MID", 379, 758, 10}});
  writeList({"見積書", "1", "新規追加", "2"});
  open();
  // The settings dialog shows the set derived for PDF output, the only printer there is here.
  auto* tool = form->findChild<TToolEditForm*>();
  EXPECT_TRUE(tool->derived(0));
  EXPECT_EQ(tool->settings().sets[0], (AdjustmentSet{15, 4, 0, 0, 50}));
  const std::string pdf = dir.file("out.pdf");
  printToPdf(pdf);
  form->menuItem(QStringLiteral("Print1"))->trigger();
  const test::PdfText text = test::readPdfText(pdf);
  // A layout unit is 1/96 inch, 0.75 points, from the paper's edge.
  for (auto [w, x, y] : {std::tuple{"LEFT", 0, 0}, {"MID", 379, 758}}) {
    SCOPED_TRACE(w);
    const test::PdfWord* found = word(text, w);
    ASSERT_NE(found, nullptr);
    EXPECT_NEAR(found->xMin, x * 0.75, 0.5 / 25.4 * 72);
    EXPECT_NEAR(found->yMin, y * 0.75, 3.0);
  }
}

TEST_F(FormPrintTest, AContinuousLayoutPrintsOnePagePerEstimateInView) {
  addEstimates({"一郎", "二郎", "三郎"});
  addLayout(1, {{"印刷名", "連続"}, {"連続印刷", "True"}, {"日付の表示", "True"}}, {{"!氏名", 100, 100, 10}});
  writeList({"連続", "1", "新規追加", "2"});
  open();
  form->estimates().setRecNo(2);
  const std::string pdf = dir.file("all.pdf");
  printToPdf(pdf);
  dialogs.answers = {vendaro::ui::Dialogs::Answer::Yes, vendaro::ui::Dialogs::Answer::No,
                     vendaro::ui::Dialogs::Answer::Yes};
  form->menuItem(QStringLiteral("Print1"))->trigger();
  const test::PdfText text = test::readPdfText(pdf);
  EXPECT_EQ(text.pages, 3);
  EXPECT_EQ(text.words.size(), 2u);  // the second question was answered no
  EXPECT_EQ(dialogs.answers.size(), 0u);
  EXPECT_EQ(form->estimates().recNo(), 3);
}

TEST_F(FormPrintTest, ARunThatCannotStartPrintsNothingAndSaysWhy) {
  addEstimates({"一郎", "二郎"});
  addLayout(1, {{"印刷名", "注文書"}, {"連続印刷", "True"}, {"印刷フォームの印刷", "True"}, {"印刷フォーム", "broken"}},
            {{"氏名", 100, 100, 10}});
  writeList({"注文書", "1", "番号違い", "7", "新規追加", "2"});
  { std::ofstream(dir.file("broken.jpg"), std::ios::binary) << "\xff\xd8\xff\xe0 not really"; }
  open();
  form->estimates().setRecNo(2);
  const std::string pdf = dir.file("out.pdf");

  // The printer setup cancelled: nothing, the estimate stays.
  dialogs.printerSetups.push_back([](QPrinter&) { return false; });
  form->menuItem(QStringLiteral("Print1"))->trigger();
  EXPECT_TRUE(dialogs.shown.filter(QStringLiteral("broken")).isEmpty());
  EXPECT_EQ(form->estimates().recNo(), 2);

  // A corrupt form image: a message naming it, and no sheet at all.
  printToPdf(pdf);
  form->menuItem(QStringLiteral("Print1"))->trigger();
  EXPECT_EQ(dialogs.shown.filter(QStringLiteral("broken.jpg")).size(), 1);
  EXPECT_FALSE(QFile::exists(QString::fromUtf8(pdf.c_str())));
  EXPECT_EQ(form->estimates().recNo(), 2);

  // An entry naming a layout that is not in the tables.
  form->menuItem(QStringLiteral("Print2"))->trigger();
  EXPECT_TRUE(dialogs.shown.last().contains(QStringLiteral("7"))) << dialogs.shown.last().toStdString();
  EXPECT_TRUE(dialogs.printerSetups.empty());
}

TEST_F(FormPrintTest, ThePrintOrderDialogRewritesTheListAndTheMenuFollows) {
  addLayout(3, {}, {});
  writeList({"Ａ", "1", "Ｂ", "2", "Ｃ", "3", "新規追加", "4"});
  open();
  dialogs.modals.push_back([](QDialog& d) {
    auto& order = dynamic_cast<TPrintSlctDlg&>(d);
    d.show();  // reads the list
    EXPECT_EQ(order.ListBox1->count(), 3);
    order.ListBox1->setCurrentRow(0);
    order.SpeedButton3Click();  // the first line cannot go up
    order.SpeedButton4Click();  // Ａ below Ｂ
    order.ListBox1->setCurrentRow(2);
    order.SpeedButton4Click();  // the last line cannot go down
    order.OKBtnClick();
    return d.result();
  });
  form->menuItem(QStringLiteral("PrintS2"))->trigger();
  EXPECT_EQ(slurp(dir.file("EsPrintName.INI")),
            cp("Ｂ\r\n2\r\nＡ\r\n1\r\nＣ\r\n3\r\n新規追加\r\n4\r\n"));
  EXPECT_EQ(form->menuItem(QStringLiteral("Print1"))->text(), u8("Ｂ印刷"));
  EXPECT_EQ(form->menuItem(QStringLiteral("Print2"))->text(), u8("Ａ印刷"));
}

TEST_F(FormPrintTest, TheNewLayoutEntryOpensTheEditorOnANewLayoutWithItsAttributeRecords) {
  addLayout(1, {{"印刷名", "見積書"}}, {});
  writeList({"見積書", "1", "新規追加", "2"});
  open();
  dialogs.modals.push_back([](QDialog& d) { d.show(); return int(QDialog::Accepted); });  // 新規追加 as shown
  dialogs.modals.push_back([this](QDialog& d) {
    EXPECT_EQ(&d, editor());
    EXPECT_EQ(editor()->tables().current(), 2);
    type(editor()->DBEdit1, u8("納品書"));
    d.accept();
    return int(QDialog::Accepted);
  });
  form->menuItem(QStringLiteral("PrintS1"))->trigger();
  LayoutTables& t = editor()->tables();
  EXPECT_EQ(t.layoutCount(), 2);
  for (table::Cursor* c : {&t.posX(), &t.posY(), &t.size()}) EXPECT_EQ(c->recordCount(), 2);
  EXPECT_EQ(slurp(dir.file("EsPrintName.INI")), cp("見積書\r\n1\r\n納品書\r\n2\r\n新規追加\r\n3\r\n"));
  EXPECT_EQ(form->menuItem(QStringLiteral("Print2"))->text(), u8("納品書印刷"));

  // The navigator's insert makes the three attribute records too.
  editor()->DBNavigator1->button(vendaro::ui::DBNavigator::Insert)->click();
  EXPECT_EQ(t.layoutCount(), 3);
  EXPECT_EQ(t.current(), 3);
  for (table::Cursor* c : {&t.posX(), &t.posY(), &t.size()}) EXPECT_EQ(c->recordCount(), 3);
}

/// The editor on layout 1 (paper 210 × 297 mm), shown without waiting.
class LayoutEditorTest : public FormPrintTest {
 protected:
  void showEditor(std::initializer_list<Item> items, std::initializer_list<std::pair<const char*, const char*>> fields = {}) {
    addEstimates({"山田太郎"});
    addLayout(1, fields, items);
    open();
    e = editor();
    e->openLayout(1);
    e->show();
    QApplication::processEvents();
  }
  TCarPrintForm* e = nullptr;
};

TEST_F(LayoutEditorTest, TheScaleSizesTheFormAndPlacesTheLabels) {
  showEditor({{"氏名", 200, 100, 20}, {"", 50, 50, 10}, {"@X", 0, 0, 10}});
  EXPECT_TRUE(QFile::exists(QString::fromUtf8(dir.file("白地.jpg").c_str())));
  EXPECT_FALSE(e->formImage().isNull());
  struct Case {
    const char* text;
    int scale;
  };
  const Case cases[] = {{"2", 2}, {"1", 1}, {"5", 5}, {"0", 2}, {"-3", 2}, {"6", 2}, {"abc", 2}, {"", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    e->ScaleComboBox->setEditText(QString::fromUtf8(c.text));
    EXPECT_EQ(e->scale(), c.scale);
    EXPECT_EQ(e->XScrollBar->maximum(), 795);
    EXPECT_EQ(e->YScrollBar->maximum(), 1125);
    EXPECT_EQ(e->Image1->width(), 795 / c.scale);
    EXPECT_EQ(e->PrintLabel[0]->pos(), QPoint(200 / c.scale, 100 / c.scale));
    EXPECT_EQ(e->PrintLabel[0]->text(), u8("山田太郎"));
    EXPECT_TRUE(e->PrintLabel[0]->isVisibleTo(e));
    EXPECT_FALSE(e->PrintLabel[1]->isVisibleTo(e));  // empty: no label
  }
  // Clicking a label selects its item.
  QTest::mouseClick(e->PrintLabel[2], Qt::LeftButton);
  EXPECT_EQ(e->currentItem(), 3);
  EXPECT_EQ(e->NoPanel->text(), QStringLiteral("3"));
  EXPECT_EQ(e->MenuDBComboBox->currentText(), QStringLiteral("@X"));
}

TEST_F(LayoutEditorTest, PositionsAreStoredAtOnceAndCutBackToThePaper) {
  showEditor({{"氏名", 10, 20, 10}});
  e->CheckBox2->setChecked(true);
  EXPECT_TRUE(e->PosSetPanel->isVisibleTo(e));
  LayoutTables& t = e->tables();
  e->XPosDBEdit->setFocus();
  e->XPosDBEdit->selectAll();
  QTest::keyClicks(e->XPosDBEdit, QStringLiteral("1000"));
  EXPECT_EQ(t.posX().state(), table::Cursor::State::Browse);
  EXPECT_EQ(t.itemX(1), 795);
  EXPECT_EQ(e->XPosDBEdit->text(), QStringLiteral("795"));
  EXPECT_EQ(e->XPosPanel->text(), QStringLiteral("209"));
  EXPECT_EQ(e->XScrollBar->value(), 795);
  EXPECT_EQ(e->PrintLabel[0]->x(), 795 / 2);

  e->YScrollBar->setValue(379);
  EXPECT_EQ(t.itemY(1), 379);
  EXPECT_EQ(e->YPosDBEdit->text(), QStringLiteral("379"));
  EXPECT_EQ(e->YPosPanel->text(), QStringLiteral("100"));
  EXPECT_EQ(e->PrintLabel[0]->y(), 379 / 2);

  // A negative typed position is stored; the bar shows 0.
  e->YPosDBEdit->setFocus();
  e->YPosDBEdit->selectAll();
  QTest::keyClicks(e->YPosDBEdit, QStringLiteral("-5"));
  EXPECT_EQ(t.itemY(1), -5);
  EXPECT_EQ(e->YScrollBar->value(), 0);

  // Cancel drops the pending name but keeps the moves, and the layout list is written.
  type(e->DBEdit1, u8("未保存"));
  e->CancelBtn->click();
  EXPECT_EQ(t.printName(), std::string());
  EXPECT_EQ(t.itemX(1), 795);
  EXPECT_EQ(t.itemY(1), -5);
  EXPECT_EQ(slurp(dir.file("EsPrintName.INI")), "\r\n1\r\n" + cp("新規追加") + "\r\n2\r\n");
}

TEST_F(LayoutEditorTest, TheDateSpacingIsOfferedForDatesWhenDateUnitsAreHidden) {
  showEditor({{"作成日", 0, 0, 10}, {"氏名", 0, 40, 10}}, {{"日付の表示", "False"}});
  e->CheckBox2->setChecked(true);
  EXPECT_TRUE(e->LenDBComboBox->isVisibleTo(e));
  EXPECT_EQ(e->PrintLabel[0]->text(), u8("　　18   5  10  "));
  e->NoScrollBar->setValue(2);
  EXPECT_FALSE(e->LenDBComboBox->isVisibleTo(e));
  // Showing the date units: every label is drawn again, item 1 selected.
  e->CalDBCheckBox->click();
  EXPECT_EQ(e->currentItem(), 1);
  EXPECT_EQ(e->PrintLabel[0]->text(), u8("平成１８年０５月１０日"));
  EXPECT_FALSE(e->LenDBComboBox->isVisibleTo(e));
}

TEST_F(LayoutEditorTest, TheFontDialogSetsTheFaceOfAllItemsAndTheSizeOfOne) {
  showEditor({{"氏名", 0, 0, 10}, {"@B", 0, 40, 12}});
  e->CheckBox2->setChecked(true);
  EXPECT_EQ(e->Edit1->text(), u8("ＪＳゴシック"));
  dialogs.fonts.push_back([](const QFont& initial) {
    EXPECT_EQ(initial.pointSize(), 10);
    QFont chosen(QStringLiteral("Noto Serif CJK JP"));
    chosen.setPointSize(14);
    return chosen;
  });
  QTest::mouseClick(e->Edit1, Qt::LeftButton);
  EXPECT_EQ(e->Edit1->text(), QStringLiteral("Noto Serif CJK JP"));
  EXPECT_EQ(slurp(dir.file("EsCarFont.INI")), "Noto Serif CJK JP\r\n");
  EXPECT_EQ(e->tables().itemSize(1), 14);
  EXPECT_EQ(e->tables().itemSize(2), 12);
  EXPECT_EQ(e->PrintLabel[1]->font().family(), QStringLiteral("Noto Serif CJK JP"));
}

TEST_F(LayoutEditorTest, TheFormImageIsChosenByNameAndFallsBackToTheBlankForm) {
  showEditor({});
  writeWhiteJpeg(dir.file("estimate.jpg"), 20, 10);
  dialogs.files.push_back(QStringLiteral("/somewhere/else/estimate.jpg"));
  e->ReadButtonClick();
  EXPECT_EQ(e->DBEdit2->text(), QStringLiteral("estimate"));
  EXPECT_EQ(e->tables().formName(), "estimate");
  EXPECT_EQ(e->formImage().size(), QSize(20, 10));
  e->DBEdit2->setText(QStringLiteral("missing"));
  EXPECT_EQ(e->formImage().size(), QSize(794, 1123));
}

TEST_F(LayoutEditorTest, ItemsAreDraggedAndNudgedOnThePreviewOfAWindowThatGrows) {
  showEditor({{"@A", 100, 100, 10}, {"@B", 0, 0, 10}});
  // The window grows past its design size and the preview with it, at the same scale.
  const QSize preview = e->ScrollBox1->size();
  e->resize(1000, 760);
  QApplication::processEvents();
  EXPECT_EQ(e->size(), QSize(1000, 760));
  EXPECT_GT(e->ScrollBox1->width(), preview.width() + 300);
  EXPECT_GT(e->ScrollBox1->height(), preview.height() + 300);
  EXPECT_EQ(e->Image1->width(), 795 / 2);

  LayoutTables& t = e->tables();
  QLabel* a = e->PrintLabel[0];
  // Without 修正モード a drag only selects.
  QTest::mousePress(a, Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseMove(a, QPoint(22, 12));
  QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(22, 12));
  EXPECT_EQ(t.itemX(1), 100);

  e->CheckBox2->setChecked(true);
  QTest::mousePress(a, Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseMove(a, QPoint(22, 12));  // 20 and 10 dots at 1/2: 40 and 20 layout units
  EXPECT_EQ(e->XPosDBEdit->text(), QStringLiteral("140"));
  EXPECT_EQ(e->YPosDBEdit->text(), QStringLiteral("120"));
  EXPECT_EQ(a->pos(), QPoint(70, 60));
  QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(22, 12));
  EXPECT_EQ(t.posX().state(), table::Cursor::State::Browse);
  EXPECT_EQ(t.posX().rowAt(1)[0].integer, 140);
  EXPECT_EQ(t.posY().rowAt(1)[0].integer, 120);

  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int x, y;
  };
  QWidget* sheet = e->ScrollBox1->widget();
  for (const Key& k : {Key{Qt::Key_Right, {}, 141, 120}, Key{Qt::Key_Down, Qt::ShiftModifier, 141, 130},
                       Key{Qt::Key_Left, Qt::ShiftModifier, 131, 130}, Key{Qt::Key_Up, {}, 131, 129}}) {
    QTest::keyClick(sheet, k.key, k.modifiers);
    EXPECT_EQ(t.posX().rowAt(1)[0].integer, k.x);
    EXPECT_EQ(t.posY().rowAt(1)[0].integer, k.y);
    EXPECT_EQ(e->XPosDBEdit->text(), QString::number(k.x));
  }
  // Dragged past the paper's corner, an item stops at its edge.
  QTest::mousePress(a, Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseMove(a, QPoint(-200, 900));
  QTest::mouseRelease(a, Qt::LeftButton, {}, QPoint(-200, 900));
  EXPECT_EQ(t.itemX(1), 0);
  EXPECT_EQ(t.itemY(1), 1125);
  EXPECT_EQ(t.itemX(2), 0);  // the other item stays
}

TEST_F(LayoutEditorTest, APaperSizeTakesEffectWhenItsBoxIsLeftAndNoRedrawMovesAnItem) {
  showEditor({{"氏名", 300, 1000, 10}, {"@B", 700, 20, 10}});
  e->activateWindow();
  QApplication::setActiveWindow(e);
  e->CheckBox2->setChecked(true);
  LayoutTables& t = e->tables();
  auto storedPaper = [&t](int field) { return t.data().rowAt(t.current())[std::size_t(field)].integer; };

  // Typing "297" over "210" passes through 2 and 29 mm: none of them takes effect yet.
  e->DBEdit3->setFocus();
  e->DBEdit3->selectAll();
  QTest::keyClicks(e->DBEdit3, QStringLiteral("297"));
  EXPECT_EQ(storedPaper(kPaperWidthField), 210);
  EXPECT_EQ(e->XScrollBar->maximum(), 795);
  EXPECT_EQ(t.itemX(1), 300);
  // Enter confirms it: stored, drawn, and item 1 is where it was.
  QTest::keyClick(e->DBEdit3, Qt::Key_Return);
  EXPECT_EQ(storedPaper(kPaperWidthField), 297);
  EXPECT_EQ(e->XScrollBar->maximum(), 1125);
  EXPECT_EQ(t.itemX(1), 300);
  EXPECT_EQ(e->XPosDBEdit->text(), QStringLiteral("300"));

  // A paper smaller than the items: they stay where they are stored, drawn beyond the paper and
  // marked; selecting one does not cut it back either.
  e->DBEdit3->setFocus();
  e->DBEdit3->selectAll();
  QTest::keyClicks(e->DBEdit3, QStringLiteral("50"));
  QTest::keyClick(e->DBEdit3, Qt::Key_Return);
  EXPECT_EQ(storedPaper(kPaperWidthField), 50);
  e->NoScrollBar->setValue(2);
  e->NoScrollBar->setValue(1);
  EXPECT_EQ(t.itemX(1), 300);
  EXPECT_EQ(t.itemY(1), 1000);
  EXPECT_EQ(t.itemX(2), 700);
  EXPECT_EQ(e->PrintLabel[0]->x(), 150);
  EXPECT_GT(e->PrintLabel[0]->x(), e->Image1->width());
  EXPECT_TRUE(e->PrintLabel[0]->toolTip().contains(u8("用紙の外"))) << e->PrintLabel[0]->toolTip().toStdString();
  EXPECT_TRUE(e->PrintLabel[1]->toolTip().contains(u8("用紙の外")));

  // A height typed and then cancelled was never stored.
  e->DBEdit4->setFocus();
  e->DBEdit4->selectAll();
  QTest::keyClicks(e->DBEdit4, QStringLiteral("3"));
  EXPECT_EQ(t.itemY(1), 1000);
  e->CancelBtn->click();
  EXPECT_EQ(storedPaper(kPaperHeightField), 297);
  EXPECT_EQ(t.itemX(1), 300);
  EXPECT_EQ(t.itemY(1), 1000);
}

TEST_F(LayoutEditorTest, CancellingTheFontDialogChangesNothing) {
  showEditor({{"氏名", 0, 0, 0}, {"@B", 0, 40, 12}});
  e->CheckBox2->setChecked(true);
  const std::string fontFile = dir.file("EsCarFont.INI");
  for (int k : {1, 2}) {
    SCOPED_TRACE(k);
    e->NoScrollBar->setValue(k);
    const int before = e->tables().itemSize(k);
    dialogs.fonts.push_back([](const QFont&) { return std::optional<QFont>(); });  // Cancel
    QTest::mouseClick(e->Edit1, Qt::LeftButton);
    EXPECT_EQ(e->tables().itemSize(k), before);
    EXPECT_EQ(e->tables().size().state(), table::Cursor::State::Browse);
    EXPECT_EQ(e->Edit1->text(), u8("ＪＳゴシック"));
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(fontFile.c_str())));
  }
  // The dialog starts at the size the item prints at: 10 points for an item with no size.
  e->NoScrollBar->setValue(1);
  dialogs.fonts.push_back([](const QFont& initial) {
    EXPECT_EQ(initial.pointSize(), 10);
    return std::optional<QFont>();
  });
  QTest::mouseClick(e->Edit1, Qt::LeftButton);
  EXPECT_EQ(e->tables().itemSize(1), 0);
}

TEST_F(LayoutEditorTest, ThePreviewDrawsEveryItemAtTheSizeItPrints) {
  // Item 1 has no size and prints at 10 points, like item 2.
  showEditor({{"@ABC", 0, 0, 0}, {"@ABC", 0, 100, 10}, {"@ABC", 0, 200, 9}});
  struct Case {
    const char* scale;
    int pixels10, pixels9;  // 10 and 9 points at 96 dots per inch, reduced by the scale
  };
  for (const Case& c : {Case{"1", 13, 12}, Case{"2", 7, 6}, Case{"3", 4, 4}}) {
    SCOPED_TRACE(c.scale);
    e->ScaleComboBox->setEditText(QString::fromUtf8(c.scale));
    EXPECT_EQ(e->PrintLabel[0]->font().pixelSize(), c.pixels10);
    EXPECT_EQ(e->PrintLabel[0]->height(), e->PrintLabel[1]->height());
    EXPECT_EQ(e->PrintLabel[1]->font().pixelSize(), c.pixels10);
    EXPECT_EQ(e->PrintLabel[2]->font().pixelSize(), c.pixels9);
  }
  EXPECT_GT(e->PrintLabel[0]->height(), 1);
}

TEST_F(LayoutEditorTest, ASizeTypedForOneLayoutStaysWithIt) {
  addLayout(2, {}, {{"@B", 0, 0, 10}});
  showEditor({{"@A", 0, 0, 10}});
  e->CheckBox2->setChecked(true);
  LayoutTables& t = e->tables();
  e->FSizDBComboBox->setFocus();
  e->FSizDBComboBox->lineEdit()->selectAll();
  QTest::keyClicks(e->FSizDBComboBox->lineEdit(), QStringLiteral("14"));
  e->DBNavigator1->button(vendaro::ui::DBNavigator::Next)->click();
  EXPECT_EQ(t.current(), 2);
  EXPECT_EQ(t.itemSize(1), 10);
  EXPECT_EQ(e->FSizDBComboBox->currentText(), QStringLiteral("10"));
  e->DBNavigator1->button(vendaro::ui::DBNavigator::First)->click();
  EXPECT_EQ(t.current(), 1);
  EXPECT_EQ(t.itemSize(1), 14);
}

TEST_F(FormPrintTest, ANewLayoutCancelledBeforeAnythingWasStoredLeavesNoTrace) {
  addLayout(1, {{"印刷名", "見積書"}}, {});
  writeList({"見積書", "1", "新規追加", "2"});
  open();
  const std::string listBefore = slurp(dir.file("EsPrintName.INI"));
  LayoutTables& t = editor()->tables();
  auto openNewAndCancel = [&](const std::function<void()>& whileOpen) {
    dialogs.modals.push_back([](QDialog& d) { d.show(); return int(QDialog::Accepted); });  // 新規追加
    dialogs.modals.push_back([&](QDialog& d) {
      EXPECT_EQ(t.current(), 2);
      d.show();
      QApplication::processEvents();
      whileOpen();
      editor()->CancelBtn->click();
      return int(QDialog::Rejected);
    });
    form->menuItem(QStringLiteral("PrintS1"))->trigger();
  };
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    // A name typed but never stored is no reason to keep the layout.
    openNewAndCancel([&] { type(editor()->DBEdit1, u8("未保存")); });
    EXPECT_EQ(t.layoutCount(), 1);
    for (table::Cursor* c : {&t.posX(), &t.posY(), &t.size()}) EXPECT_EQ(c->recordCount(), 1);
    EXPECT_EQ(slurp(dir.file("EsPrintName.INI")), listBefore);
  }
  // A position is stored the moment it is typed: that layout stays after Cancel.
  openNewAndCancel([&] {
    editor()->CheckBox2->setChecked(true);
    editor()->XPosDBEdit->setFocus();
    editor()->XPosDBEdit->selectAll();
    QTest::keyClicks(editor()->XPosDBEdit, QStringLiteral("20"));
  });
  EXPECT_EQ(t.layoutCount(), 2);
  EXPECT_EQ(slurp(dir.file("EsPrintName.INI")), cp("見積書\r\n1\r\n\r\n2\r\n新規追加\r\n3\r\n"));
}

/// The font names a PDF file embeds, as poppler's pdffonts lists them.
std::vector<std::string> pdfFonts(const std::string& path) {
  std::vector<std::string> fonts;
  FILE* p = popen(("pdffonts '" + path + "' 2>/dev/null").c_str(), "r");
  if (!p) return fonts;
  char line[512];
  int row = 0;
  while (fgets(line, sizeof line, p))
    if (++row > 2) fonts.push_back(std::string(line).substr(0, std::string(line).find(' ')));
  pclose(p);
  return fonts;
}

TEST_F(FormPrintTest, AFaceThatIsNotInstalledIsDrawnByAJapaneseFaceOfItsKind) {
  addEstimates({"山田太郎"});
  addLayout(1, {{"印刷名", "見積書"}, {"日付の表示", "True"}}, {{"氏名", 0, 0, 12}, {"見積金額", 0, 100, 12}, {"@ｶﾅかなABC", 0, 200, 12}});
  writeList({"見積書", "1", "新規追加", "2"});
  struct Case {
    const char* face;
    const char* family;
    const char* embedded;  // how the PDF names that face
  };
  for (const Case& c : {Case{"ＭＳ 明朝", "Noto Serif CJK JP", "NotoSerifCJK"},
                        Case{"ＪＳゴシック", "Noto Sans CJK JP", "NotoSansCJK"}}) {
    SCOPED_TRACE(c.face);
    writeSettingsLines(dir.file("EsCarFont.INI"), {cp(c.face)});
    open();
    TCarPrintForm* e = editor();
    e->openLayout(1);
    e->show();
    QApplication::processEvents();
    EXPECT_TRUE(e->FaceNoteLabel->isVisibleTo(e));
    EXPECT_TRUE(e->FaceNoteLabel->text().contains(QString::fromUtf8(c.family))) << e->FaceNoteLabel->text().toStdString();
    EXPECT_EQ(e->PrintLabel[0]->font().family(), QString::fromUtf8(c.family));
    e->hide();

    const std::string pdf = dir.file("font.pdf");
    printToPdf(pdf);
    form->menuItem(QStringLiteral("Print1"))->trigger();
    // Kanji, kana, half-width kana, digits and Latin letters: every glyph from the one face.
    const std::vector<std::string> fonts = pdfFonts(pdf);
    ASSERT_FALSE(fonts.empty());
    for (const std::string& f : fonts) EXPECT_NE(f.find(c.embedded), std::string::npos) << f;
    form.reset();
  }
}

TEST(ToolEdit, TheCalibrationSheetShowsTheSetAndMillimetresFromThePapersEdges) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  writeSettingsLines(dir.file("ToolEdit.INI"), {"15", "4", "-2", "3"});
  TToolEditForm tool(dir.path());
  const std::string pdf = dir.file("sheet.pdf");
  dialogs.printerSetups.push_back([&pdf](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromUtf8(pdf.c_str()));
    return true;
  });
  tool.PrintSheetBtnClick();
  const test::PdfText text = test::readPdfText(pdf);
  ASSERT_EQ(text.pages, 1);
  QString all;
  for (const auto& w : text.words) all += normalized(w.text) + QLatin1Char(' ');
  all.replace(QChar(0x2215), QLatin1Char('/'));  // the face gives the full-width slash as a division slash
  for (const char* shown : {"15/4", "縦:-2mm", "横:3mm", "360 dpi"})
    EXPECT_TRUE(all.contains(QString::fromUtf8(shown))) << shown << " in " << all.toStdString();
  // The top ruler's numbers stand half a millimetre right of their ticks, moved by the offset
  // (3 mm is 11 layout units, 41 dots at 360 dpi).
  for (int mm : {10, 100, 200}) {
    SCOPED_TRACE(mm);
    const test::PdfWord* top = nullptr;
    for (const auto& w : text.words)
      if (w.text == std::to_string(mm) && (!top || w.yMin < top->yMin)) top = &w;
    ASSERT_NE(top, nullptr);
    EXPECT_NEAR(top->xMin, (mm + 0.5) / 25.4 * 72 + 41 / 360.0 * 72, 0.3);
  }
}

TEST(ToolEdit, FilesFillTheControlsAndOnlyOkWritesThem) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  writeSettingsLines(dir.file("ToolEdit.INI"), {"2000", "267", "-15", "1", "P1"});
  TToolEditForm tool(dir.path());
  EXPECT_EQ(tool.SpinEdit[0]->value(), 1000);
  EXPECT_EQ(tool.SpinEdit[2]->value(), -10);
  EXPECT_EQ(tool.ComboBox1->currentText(), QStringLiteral("P1"));
  const std::string before = slurp(dir.file("ToolEdit.INI"));

  tool.SpinEdit[0]->setValue(900);
  tool.CancelBtn->click();
  EXPECT_EQ(tool.settings().sets[0].numerator, 900);  // in effect for printing
  EXPECT_EQ(slurp(dir.file("ToolEdit.INI")), before);
  EXPECT_FALSE(QFile::exists(QString::fromUtf8(dir.file("ToolEdit1.INI").c_str())));

  // A text that is no number counts as the minimum; typing beyond the range is cut to the bound.
  tool.SpinEdit[12]->findChild<QLineEdit*>()->setText(QString());
  EXPECT_EQ(tool.settings().sets[0].pitch, 0);
  tool.OKBtn->click();
  // Sets 2 and 3 were not stored: they show, and OK stores, the values derived for PDF output.
  EXPECT_EQ(slurp(dir.file("ToolEdit.INI")),
            "900\r\n267\r\n-10\r\n1\r\nP1\r\n15\r\n4\r\n0\r\n0\r\n\r\n15\r\n4\r\n0\r\n0\r\n\r\n");
  EXPECT_FALSE(tool.derived(1));
}

TEST(ToolEdit, SeveralPrintersOfferTheirNamesAndTheOtherSets) {
  test::TempDir dir;
  TToolEditForm tool(dir.path());
  tool.show();
  tool.detectPrinters({QStringLiteral("Only")});
  EXPECT_FALSE(tool.multiplePrinters());
  EXPECT_FALSE(tool.Panel2->isVisibleTo(&tool));
  EXPECT_FALSE(tool.PanelPrint2->isVisibleTo(&tool));
  tool.ComboBox2->setEditText(QStringLiteral("B"));
  tool.detectPrinters({QStringLiteral("A"), QStringLiteral("B")});
  EXPECT_TRUE(tool.multiplePrinters());
  EXPECT_TRUE(tool.Panel2->isVisibleTo(&tool));
  EXPECT_TRUE(tool.PanelPrint2->isVisibleTo(&tool));
  EXPECT_TRUE(tool.PanelPrint3->isVisibleTo(&tool));
  EXPECT_EQ(tool.ComboBox1->count(), 2);
  EXPECT_EQ(tool.ComboBox2->currentText(), QStringLiteral("B"));
  EXPECT_EQ(tool.ComboBox1->currentText(), QString());
}

}  // namespace
}  // namespace vendaro::formprint::ui

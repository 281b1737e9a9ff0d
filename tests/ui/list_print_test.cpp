// The list print settings, the print width window and the list print from the main window's menu.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/ui/Application.h"
#include "app/ui/EstimateForm.h"
#include "book/estimate_table.h"
#include "listprint/list_lines.h"
#include "listprint/print_widths.h"
#include "listprint/ui/InDataLenForm.h"
#include "listprint/ui/PrintPatternDlg.h"
#include "listprint/ui/TextPrintStream.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"
#include "support/pdf_text.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

using listprint::ui::TInDTLenForm;
using listprint::ui::TPrintPatDlg;
using vendaro::ui::u8;

std::string cp(const char* utf8) { return sjis::lit(utf8); }

/// The words of a text, blanks of either width as separators, NFKC-normalized.
std::vector<QString> words(const QString& text) {
  QString n = text.normalized(QString::NormalizationForm_KC);
  std::vector<QString> out;
  for (const QString& w : n.split(QLatin1Char(' '), Qt::SkipEmptyParts)) out.push_back(w);
  return out;
}

class ListPrintTest : public ::testing::Test {
 protected:
  void SetUp() override { setToday(Date{2002, 12, 5}); }
  void TearDown() override {
    form.reset();
    setToday(std::nullopt);
  }
  void addEstimates(int count) {
    auto c = book::openEstimateTable(dir.file("CARDATA"));
    for (int i = 1; i <= count; ++i) {
      c->append();
      c->setText(cp("作成日"), cp("平成１４年１２月０１日"));
      c->setText(cp("氏名"), cp("山田太郎") + std::to_string(i));
      c->setText(cp("見積金額"), std::to_string(1500000 + i));
      c->post();
    }
  }
  void open() {
    form = app::ui::createWindows(dir.path(), dir.file("CARDATA"));
    form->Timer1->stop();
    form->show();
    QApplication::processEvents();
  }
  TPrintPatDlg* settings() { return form->findChild<TPrintPatDlg*>(); }
  TInDTLenForm* widths() { return form->findChild<TInDTLenForm*>(); }
  void printToPdf(const std::string& file) {
    dialogs.printerSetups.push_back([file](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromUtf8(file.c_str()));
      return true;
    });
  }

  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<app::ui::TEstimateDataForm> form;
};

TEST_F(ListPrintTest, TheSettingsDialogShowsTheDefaultsAndOkWritesBothFiles) {
  open();
  QAction* item = form->menuItem(QStringLiteral("PrintSB"));
  ASSERT_TRUE(item->isEnabled());
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = dynamic_cast<TPrintPatDlg&>(d);
    EXPECT_EQ(dlg.windowTitle(), u8("印刷設定"));
    EXPECT_TRUE(dlg.RadioGroup1All->isChecked());
    EXPECT_TRUE(dlg.RadioGroup2Chosen->isChecked());
    EXPECT_EQ(dlg.Edit1->text(), QStringLiteral("5"));
    EXPECT_EQ(dlg.Edit2->text(), QStringLiteral("40"));
    EXPECT_EQ(dlg.ListBox1->count(), 122);
    EXPECT_EQ(dlg.ListBox2->count(), 0);
    EXPECT_TRUE(dlg.Edit1->isEnabled());
    // Two fields chosen, the title and grouping set; OK.
    dlg.ListBox1->item(3)->setSelected(true);   // 氏名
    dlg.SpeedButton1->click();
    dlg.ListBox1->findItems(u8("見積金額"), Qt::MatchExactly).at(0)->setSelected(true);
    dlg.SpeedButton1->click();
    dlg.HyouEdit->setText(u8("見積一覧"));
    dlg.HyouSEdit->setText(QStringLiteral("12"));
    dlg.CheckBox1->setChecked(true);
    dlg.UpDown1->up->click();
    dlg.OKBtn->click();
    return dlg.result();
  });
  item->trigger();
  EXPECT_EQ(SettingsLines::load(dir.file("EsPrint.INI")).text(8), "6");
  const SettingsLines pattern = SettingsLines::load(dir.file("EsPrintPat.INI"));
  EXPECT_EQ(pattern.text(0), cp("見積一覧"));
  EXPECT_EQ(pattern.text(5), "True");

  // A restart reads them back.
  form.reset();
  open();
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = dynamic_cast<TPrintPatDlg&>(d);
    EXPECT_EQ(dlg.ListBox2->count(), 2);
    EXPECT_EQ(dlg.ListBox2->item(0)->text(), u8("氏名"));
    EXPECT_EQ(dlg.ListBox2->item(1)->text(), u8("見積金額"));
    EXPECT_EQ(dlg.Edit1->text(), QStringLiteral("6"));
    EXPECT_EQ(dlg.HyouEdit->text(), u8("見積一覧"));
    EXPECT_TRUE(dlg.CheckBox1->isChecked());
    return int(QDialog::Rejected);
  });
  form->menuItem(QStringLiteral("PrintSB"))->trigger();
}

TEST_F(ListPrintTest, TheChoicesEnableTheirControlsAndCancelIsForgottenAtTheNextShowing) {
  open();
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = dynamic_cast<TPrintPatDlg&>(d);
    dlg.RadioGroup2All->click();
    for (QWidget* w : std::initializer_list<QWidget*>{dlg.ListBox1, dlg.ListBox2, dlg.SpeedButton1, dlg.Edit2,
                                                      dlg.Button1, dlg.Panel1, dlg.Edit1}) {
      SCOPED_TRACE(w->objectName().toStdString());
      EXPECT_FALSE(w->isEnabled());
    }
    dlg.RadioGroup2Chosen->click();
    EXPECT_TRUE(dlg.Panel1->isEnabled());
    EXPECT_TRUE(dlg.Edit1->isEnabled());
    dlg.RadioGroup1Current->click();
    EXPECT_FALSE(dlg.Edit1->isEnabled());
    EXPECT_FALSE(dlg.Label1->isEnabled());
    EXPECT_TRUE(dlg.ListBox1->isEnabled());
    dlg.RadioGroup2All->click();
    dlg.CancelBtn->click();
    return dlg.result();
  });
  form->menuItem(QStringLiteral("PrintSB"))->trigger();
  EXPECT_FALSE(fileExists(dir.file("EsPrint.INI")));
  // With no file to reload, the controls keep what they held; with files, the files win.
  TPrintPatDlg* dlg = settings();
  listprint::ListPrintSettings stored = listprint::defaultListPrintSettings();
  listprint::saveListPrintSettings(dir.path(), stored);
  dialogs.modals.push_back([](QDialog& d) {
    auto& dlg = dynamic_cast<TPrintPatDlg&>(d);
    EXPECT_TRUE(dlg.RadioGroup2Chosen->isChecked());
    EXPECT_TRUE(dlg.Panel1->isEnabled());
    EXPECT_TRUE(dlg.RadioGroup1All->isChecked());
    return int(QDialog::Rejected);
  });
  dlg->showSettings();
}

TEST_F(ListPrintTest, TheFontButtonTakesTheChosenFontOnlyWhenConfirmed) {
  open();
  TPrintPatDlg* dlg = settings();
  dialogs.fonts.push_back([](const QFont& initial) { return initial; });
  dlg->Button1->click();
  EXPECT_EQ(dlg->settings().font.size, 9);
  dialogs.fonts.push_back([](const QFont&) {
    QFont f(QStringLiteral("Noto Serif CJK JP"));
    f.setPointSize(12);
    return f;
  });
  dlg->Button1->click();
  EXPECT_EQ(dlg->settings().font.name, "Noto Serif CJK JP");
  EXPECT_EQ(dlg->settings().font.size, 12);
  EXPECT_EQ(dlg->settings().font.height, -16);
}

TEST_F(ListPrintTest, TheWidthWindowStoresOnOkDropsOnCancelAndPlacesItsButtons) {
  open();
  TInDTLenForm* w = widths();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), u8("印刷桁数設定"));
  EXPECT_EQ(w->widths().recordCount(), 1);
  auto* model = w->DBGrid1->model();
  const int nameColumn = w->widths().schema().find(cp("氏名"));
  dialogs.modals.push_back([&](QDialog&) {
    EXPECT_TRUE(model->setData(model->index(0, nameColumn), QStringLiteral("33")));
    w->OKBtn->click();
    return w->result();
  });
  form->menuItem(QStringLiteral("S1"))->trigger();
  EXPECT_EQ(w->widths().state(), table::Cursor::State::Browse);
  EXPECT_EQ(w->widths().integer(cp("氏名")), 33);

  dialogs.modals.push_back([&](QDialog&) {
    EXPECT_TRUE(model->setData(model->index(0, nameColumn), QStringLiteral("44")));
    w->CancelBtn->click();
    return w->result();
  });
  form->menuItem(QStringLiteral("S1"))->trigger();
  EXPECT_EQ(w->widths().state(), table::Cursor::State::Browse);
  EXPECT_EQ(w->widths().integer(cp("氏名")), 33);
  EXPECT_EQ(w->widths().integer(cp("氏名")), 33);

  w->resize(700, 300);
  w->show();
  QApplication::processEvents();
  const int third = w->BtnPanel->width() / 3;
  EXPECT_EQ(w->OKBtn->x(), third - 37);
  EXPECT_EQ(w->CancelBtn->x(), 2 * third - 37);
  w->hide();
}

TEST_F(ListPrintTest, TheListPrintToPdfReadsAsItsLinesWithAPagePerJob) {
  addEstimates(7);
  listprint::ListPrintSettings s = listprint::defaultListPrintSettings();
  s.fields.second = {cp("氏名"), cp("見積金額")};
  s.grouping = true;
  s.perPage = "5";
  s.ruleLength = "10";
  s.dateSize = "9";
  s.title = cp("見積一覧");
  s.titleSize = "9";
  listprint::saveListPrintSettings(dir.path(), s);
  open();
  const std::string pdf = dir.file("list.pdf");
  printToPdf(pdf);
  form->menuItem(QStringLiteral("PrintB"))->trigger();
  EXPECT_TRUE(form->estimates().eof());

  // The same lines made without a printer, job by job.
  struct Lines : listprint::LineStream {
    std::vector<std::vector<std::string>> jobs;
    void open(int) override { jobs.emplace_back(); }
    void setSize(int) override {}
    void line(const std::string& t) override { jobs.back().push_back(t); }
    void close() override {}
  } expected;
  listprint::runListPrint(form->estimates(), widths()->widths(), s, Date{2002, 12, 5}, expected);
  ASSERT_EQ(expected.jobs.size(), 2u);

  test::PdfText text = test::readPdfText(pdf);
  ASSERT_EQ(text.pages, 2);
  // Top to bottom, then left to right, as the lines were printed.
  std::stable_sort(text.words.begin(), text.words.end(), [](const test::PdfWord& a, const test::PdfWord& b) {
    if (a.page != b.page) return a.page < b.page;
    if (std::abs(a.yMin - b.yMin) > 2) return a.yMin < b.yMin;
    return a.xMin < b.xMin;
  });
  for (int page = 1; page <= 2; ++page) {
    SCOPED_TRACE(page);
    std::vector<QString> printed, built;
    for (const auto& word : text.words)
      if (word.page == page) {
        auto ws = words(QString::fromUtf8(word.text.c_str()));
        printed.insert(printed.end(), ws.begin(), ws.end());
      }
    for (const std::string& line : expected.jobs[static_cast<std::size_t>(page - 1)]) {
      auto ws = words(vendaro::ui::toQ(line));
      built.insert(built.end(), ws.begin(), ws.end());
    }
    // pdftotext may join the dashes of a rule into the words beside them or split them; compare
    // without them.
    auto dropRules = [](std::vector<QString>& v) {
      for (QString& s : v) s.remove(QChar(u'-')).remove(QChar(0xFF0D)).remove(QChar(0x2212));
      v.erase(std::remove_if(v.begin(), v.end(), [](const QString& s) { return s.isEmpty(); }), v.end());
    };
    dropRules(printed);
    dropRules(built);
    EXPECT_EQ(printed, built);
  }
  EXPECT_EQ(words(vendaro::ui::toQ(expected.jobs[0][0]))[0], QStringLiteral("平成14年12月05日"));
}

TEST(TextPrintStream, ALineWiderThanThePageWrapsAndAFullPageStartsANewOne) {
  test::TempDir dir;
  const std::string pdf = dir.file("wrap.pdf");
  std::string digits;  // 120 digits in one line, no blank to break at
  for (int i = 0; i < 120; ++i) digits += static_cast<char>('0' + i % 10);
  {
    // A narrow, short page: A6 upright.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageSize(QPageSize(QPageSize::A6));
    listprint::PrintFont font;
    font.size = 10;
    listprint::ui::TextPrintStream stream(printer, font, listprint::ui::TextPrintStream::Jobs::Separate);
    stream.open(10);
    stream.line(digits);
    for (int i = 1; i <= 40; ++i) stream.line("L" + std::to_string(i));
    stream.close();
  }
  const test::PdfText text = test::readPdfText(pdf);
  ASSERT_GE(text.words.size(), 3u);
  // The long line comes out as several lines on the first page, each within the page, and
  // together they hold every digit in order.
  std::string joined;
  double top = -1;
  int pieces = 0;
  const double pageWidth = 105.0 / 25.4 * 72;  // A6 width in points
  std::size_t w = 0;
  for (; w < text.words.size() && text.words[w].text[0] != 'L'; ++w) {
    joined += text.words[w].text;
    EXPECT_LE(text.words[w].xMax, pageWidth + 0.5);
    if (text.words[w].yMin > top + 1) ++pieces, top = text.words[w].yMin;
  }
  EXPECT_EQ(joined, digits);
  EXPECT_GE(pieces, 2);
  // The short lines follow in order, going on to a new page when the first is full.
  int next = 1;
  for (; w < text.words.size(); ++w, ++next) EXPECT_EQ(text.words[w].text, "L" + std::to_string(next));
  EXPECT_EQ(next, 41);
  EXPECT_GE(text.pages, 2);
  EXPECT_EQ(text.words.back().page, text.pages);
}

TEST_F(ListPrintTest, TheScreenOutputShowsAPreviewAndCancelledSetupPrintsNothing) {
  addEstimates(2);
  listprint::ListPrintSettings s = listprint::defaultListPrintSettings();
  s.method = listprint::OutputMethod::AllFieldsOnScreen;
  listprint::saveListPrintSettings(dir.path(), s);
  open();
  dialogs.printerSetups.push_back([](QPrinter&) { return false; });
  form->menuItem(QStringLiteral("PrintB"))->trigger();
  EXPECT_TRUE(dialogs.modals.empty());

  dialogs.printerSetups.push_back([](QPrinter&) { return true; });
  bool previewed = false;
  dialogs.modals.push_back([&](QDialog& d) {
    previewed = dynamic_cast<QPrintPreviewDialog*>(&d) != nullptr;
    return int(QDialog::Rejected);
  });
  form->menuItem(QStringLiteral("PrintB"))->trigger();
  EXPECT_TRUE(previewed);
}

TEST_F(ListPrintTest, AnUnknownChosenFieldIsReportedAndNothingPrinted) {
  addEstimates(1);
  listprint::ListPrintSettings s = listprint::defaultListPrintSettings();
  s.fields.second = {cp("氏名"), cp("存在しない")};
  listprint::saveListPrintSettings(dir.path(), s);
  open();
  const std::string pdf = dir.file("none.pdf");
  printToPdf(pdf);
  form->menuItem(QStringLiteral("PrintB"))->trigger();
  EXPECT_TRUE(dialogs.shown.contains(u8("項目 '存在しない' が見つかりません")));
  EXPECT_FALSE(fileExists(pdf));
}

}  // namespace
}  // namespace vendaro

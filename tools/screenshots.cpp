// Renders the program's windows to PNG files, as a person would see them, on the estimates of
// the program directory it is run in:  vendaro-screenshots OUTDIR
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QFontDatabase>
#include <QPixmap>
#include <QTimer>
#include <unistd.h>

#include "app/ui/Application.h"
#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"
#include "maintenance/ui/MonthSetingDlg.h"
#include "maintenance/ui/RestorePatternDlg.h"
#include "formprint/ui/CarPrtForm.h"
#include "formprint/ui/ToolEdit.h"
#include "listprint/ui/InDataLenForm.h"
#include "listprint/ui/PrintPatternDlg.h"
#include "platform/table/cursor.h"
#include "platform/ui/qtext.h"
#include "pricing/ui/CarTaxListForm.h"
#include "pricing/ui/ListEdit.h"
#include "pricing/ui/ServiceDlg.h"
#include "pricing/ui/ZeiSForm.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "prefs/ui/ColorDlg.h"
#include "prefs/ui/PassDlg.h"

namespace {
void settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    usleep(20000);
  }
}

/// Lets events run until `done` holds, for at most five seconds (a window manager at work).
template <class F>
void waitFor(F done) {
  for (int i = 0; i < 250 && !done(); ++i) {
    QApplication::processEvents();
    usleep(20000);
  }
}

void save(QWidget* w, const QString& dir, const char* name) {
  settle();
  w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name));
}
/// A small order-form layout, so that the layout editor has something to show.
void addSampleLayout(vendaro::formprint::LayoutTables& layout) {
  using namespace vendaro;
  auto cp = [](const char* utf8) { return sjis::lit(utf8); };
  layout.ensureLayout(1);
  layout.openLayout(1);
  auto& data = layout.data();
  data.edit();
  data.setText(formprint::kPrintNameField, cp("注文書"));
  data.setText(formprint::kPaperWidthField, "210");
  data.setText(formprint::kPaperHeightField, "297");
  const struct {
    const char* expression;
    int x, y, size;
  } items[] = {
      {"@御見積書", 300, 40, 16},  {"作成日", 560, 90, 10},     {"氏名　様", 60, 130, 12},
      {"住所", 60, 160, 10},       {"車種", 60, 220, 10},       {"型式", 360, 220, 10},
      {"見積金額$12", 480, 300, 12}, {"自社名", 480, 420, 10},
  };
  int k = 1;
  for (const auto& item : items) data.setText(formprint::kFirstItemField + k++ - 1, cp(item.expression));
  data.post();
  k = 0;
  for (const auto& item : items) {
    for (auto [cursor, v] : {std::pair{&layout.posX(), item.x}, {&layout.posY(), item.y}, {&layout.size(), item.size}}) {
      cursor->edit();
      cursor->setInteger(k, v);
      cursor->post();
    }
    ++k;
  }
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  QApplication::setApplicationDisplayName(QStringLiteral("Vendaro For Win32"));
  vendaro::app::ui::installJapaneseTranslation();
  QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  Q_INIT_RESOURCE(help);
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP"))) {
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPointSize(9);
    QApplication::setFont(font);
  }
  char cwd[4096];
  std::string dir = getcwd(cwd, sizeof cwd);
  auto form = vendaro::app::ui::createWindows(dir, vendaro::table::cardataDirectory(dir));
  form->Timer1->stop();  // the first-tick prompts are modal and would wait for a person
  form->resize(1100, 820);
  form->show();
  save(form.get(), out, "estimate-sheet.png");
  form->PageControl1->setCurrentIndex(1);
  save(form.get(), out, "list-page.png");
  form->PageControl1->setCurrentIndex(0);
  if (form->TabBar->count() > 3) {
    form->TabBar->setCurrentIndex(3);
    save(form.get(), out, "month-tab.png");
    form->TabBar->setCurrentIndex(0);
  }
  auto* editor = form->findChild<vendaro::formprint::ui::TCarPrintForm*>();
  if (editor && editor->tables().layoutCount() == 0) addSampleLayout(editor->tables());
  if (editor && editor->tables().layoutCount() > 0) {
    editor->openLayout(1);
    editor->CheckBox2->setChecked(true);
    editor->show();
    save(editor, out, "layout-editor.png");
    editor->hide();
  }
  if (auto* tool = form->findChild<vendaro::formprint::ui::TToolEditForm*>()) {
    tool->show();
    save(tool, out, "printer-settings.png");
    tool->hide();
  }
  auto* date = form->findChild<vendaro::book::ui::TDateSDlg*>();
  if (date) {
    date->setDate(vendaro::Date{2026, 12, 10});
    date->show();
    save(date, out, "date-dialog.png");
    date->hide();
  }
  if (auto* period = form->findChild<vendaro::maintenance::ui::TMSetDlg*>()) {
    std::vector<std::string> captions;
    for (const auto& tab : form->monthTabs()) captions.push_back(tab.caption);
    period->fill(captions);
    period->show();
    save(period, out, "period-dialog.png");
    period->hide();
  }
  if (auto* pattern = form->findChild<vendaro::maintenance::ui::TRestorePatDlg*>()) {
    pattern->show();
    save(pattern, out, "restore-pattern.png");
    pattern->hide();
  }
  auto* about = form->findChild<vendaro::app::ui::TVersionDlg*>();
  if (about) {
    about->show();
    save(about, out, "about.png");
    about->hide();
  }
  if (auto* zei = form->findChild<vendaro::pricing::ui::TZeiSetForm*>()) {
    zei->show();
    save(zei, out, "consumption-tax.png");
    zei->hide();
  }
  if (auto* serv = form->findChild<vendaro::pricing::ui::TServDlg*>()) {
    serv->setChoices({QStringLiteral("7").append(vendaro::ui::u8("円")), QStringLiteral("67").append(vendaro::ui::u8("円")),
                      QStringLiteral("567").append(vendaro::ui::u8("円")), QStringLiteral("4567").append(vendaro::ui::u8("円"))});
    serv->show();
    save(serv, out, "discount.png");
    serv->hide();
  }
  if (auto* lists = form->findChild<vendaro::pricing::ui::TListEditForm*>()) {
    lists->setHeading(vendaro::ui::u8("”車両価格”の修正"));
    lists->setEntries({vendaro::ui::u8("値引き"), vendaro::ui::u8("下取車値引き"), vendaro::ui::u8("特別仕様車")});
    lists->show();
    save(lists, out, "list-editor.png");
    lists->hide();
  }
  if (auto* tax = form->findChild<vendaro::pricing::ui::TCTaxForm*>()) {
    tax->show();
    save(tax, out, "car-tax-table.png");
    tax->hide();
  }
  if (auto* listSettings = form->findChild<vendaro::listprint::ui::TPrintPatDlg*>()) {
    listSettings->load();
    listSettings->show();
    save(listSettings, out, "list-print-settings.png");
    listSettings->hide();
  }
  if (auto* printWidths = form->findChild<vendaro::listprint::ui::TInDTLenForm*>()) {
    printWidths->show();
    save(printWidths, out, "print-widths.png");
    printWidths->hide();
  }
  auto* colours = form->findChild<vendaro::prefs::ui::TColorDlg*>();
  if (colours) {
    colours->show();
    save(colours, out, "title-colour-dialog.png");
    colours->hide();
    // The sheet in another title colour, without storing the choice.
    const QColor before = vendaro::prefs::ui::titlePanelColor(form->control(QStringLiteral("Panel1Title1")));
    auto red = vendaro::prefs::lookupTitleColor(vendaro::sjis::lit("　赤　色"));
    vendaro::prefs::ui::setTitlePanelColor(form.get(), vendaro::prefs::ui::toQColor(*red));
    save(form.get(), out, "title-colours-red.png");
    vendaro::prefs::ui::setTitlePanelColor(form.get(), before);
  }
  auto* pass = form->findChild<vendaro::prefs::ui::TPassDlg*>();
  if (pass) {
    pass->MaskEdit1->setText(QStringLiteral("secret"));
    pass->show();
    save(pass, out, "password-dialog.png");
    pass->hide();
    pass->MaskEdit1->clear();
  }
  // Standard dialogs speak Japanese: the question asked when closing with an estimate pending,
  // and the file dialog of the restore.
  {
    QMessageBox question(QMessageBox::Question, QApplication::applicationDisplayName(),
                         vendaro::ui::u8("登録していません！\r登録してよろしいですか？"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, form.get());
    question.setDefaultButton(QMessageBox::Yes);
    question.show();
    save(&question, out, "question-japanese.png");
  }
  {
    QFileDialog files(form.get(), vendaro::ui::u8("リストア"), QString::fromStdString(dir),
                      vendaro::ui::u8("CSVファイル (*.csv)"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptOpen);
    files.show();
    save(&files, out, "file-dialog-japanese.png");
  }
  // The main window closed maximized opens maximized at the next start.
  form->showMaximized();
  waitFor([&] { return form->isMaximized(); });
  form.reset();
  form = vendaro::app::ui::createWindows(dir, vendaro::table::cardataDirectory(dir));
  form->Timer1->stop();
  form->show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  waitFor([&] { return form->isMaximized() && form->frameGeometry().width() >= screen.width(); });
  save(form.get(), out, "main-maximized-after-restart.png");
  return 0;
}

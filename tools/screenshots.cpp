// Renders the program's windows to PNG files, as a person would see them, on the estimates of
// the program directory it is run in:  vendaro-screenshots OUTDIR
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPixmap>
#include <QTimer>
#include <unistd.h>

#include "app/ui/Application.h"
#include "app/ui/VersionDlg.h"
#include "book/ui/DateSetDlg.h"
#include "formprint/ui/CarPrtForm.h"
#include "formprint/ui/ToolEdit.h"
#include "platform/table/cursor.h"

namespace {
void settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    usleep(20000);
  }
}

void save(QWidget* w, const QString& dir, const char* name) {
  settle();
  w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name));
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
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
  if (auto* editor = form->findChild<vendaro::formprint::ui::TCarPrintForm*>();
      editor && editor->tables().layoutCount() > 0) {
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
  auto* about = form->findChild<vendaro::app::ui::TVersionDlg*>();
  if (about) {
    about->show();
    save(about, out, "about.png");
    about->hide();
  }
  return 0;
}

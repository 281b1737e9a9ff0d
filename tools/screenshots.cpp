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
  form->Timer1->stop();  // the first-tick prompts would wait for a person
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
  return 0;
}

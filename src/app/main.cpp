// The desktop program: refuses to run twice, creates its windows and runs until the main window
// closes. The working directory is the program directory.

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <cstdio>
#include <unistd.h>

#include "app/ui/Application.h"
#include "platform/single_instance.h"
#include "platform/table/cursor.h"
#include "platform/ui/qtext.h"

int main(int argc, char** argv) {
  // A second copy ends at once, silently.
  vendaro::SingleInstance instance("EX_Vendaro");
  if (!instance.acquired() && !instance.failed()) return 0;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vendaro"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vendaro For Win32"));
  vendaro::app::ui::installJapaneseTranslation();
  Q_INIT_RESOURCE(help);
  for (const char* family : {"Noto Sans CJK JP", "IPAGothic", "VL Gothic"}) {
    if (QFontDatabase::families().contains(QString::fromLatin1(family))) {
      QFont font(QString::fromLatin1(family));
      font.setPointSize(9);
      QApplication::setFont(font);
      break;
    }
  }

  if (instance.failed()) {
    // Without its lock file the program cannot keep a second copy away from the same tables:
    // it says so and stops.
    const QString text = QString::fromUtf8("二重起動を防ぐロックファイルを作成できません。\n%1\n(%2)\nプログラムを終了します。")
                             .arg(QString::fromLocal8Bit(instance.path().c_str()),
                                  QString::fromLocal8Bit(instance.error().c_str()));
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), text);
    return 1;
  }

  char cwd[4096];
  std::string programDirectory = ::getcwd(cwd, sizeof cwd) ? cwd : ".";
  try {
    auto form = vendaro::app::ui::createWindows(programDirectory, vendaro::table::cardataDirectory(programDirectory));
    form->show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    // A table that cannot be opened: say which and stop without touching it.
    QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), vendaro::ui::toQ(e.what()));
    return 1;
  }
}

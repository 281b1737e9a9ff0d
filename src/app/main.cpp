// The desktop program: refuses to run twice, creates its windows and runs until the main window
// closes. The program directory is chosen at start (see app/program_directory.h) and becomes the
// working directory.

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <cerrno>
#include <unistd.h>

#include "app/program_directory.h"
#include "app/ui/Application.h"
#include "platform/settings_file.h"
#include "platform/single_instance.h"
#include "platform/table/cursor.h"
#include "platform/ui/qtext.h"

int main(int argc, char** argv) {
  std::string directoryOption;
  if (auto exitCode = vendaro::app::readDesktopOptions(argc, argv, directoryOption)) return *exitCode;

  // A second copy ends at once, silently.
  vendaro::SingleInstance instance("EX_Vendaro");
  if (!instance.acquired()) return 0;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vendaro"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vendaro For Win32"));
  Q_INIT_RESOURCE(help);
  for (const char* family : {"Noto Sans CJK JP", "IPAGothic", "VL Gothic"}) {
    if (QFontDatabase::families().contains(QString::fromLatin1(family))) {
      QFont font(QString::fromLatin1(family));
      font.setPointSize(9);
      QApplication::setFont(font);
      break;
    }
  }

  try {
    const std::string programDirectory = vendaro::app::prepareProgramDirectory(directoryOption);
    // Dialogs that look in the working directory find the same files.
    if (::chdir(programDirectory.c_str()) != 0) throw vendaro::FileError(programDirectory, errno);
    auto form = vendaro::app::ui::createWindows(programDirectory, vendaro::table::cardataDirectory(programDirectory));
    form->show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    // A program directory or a table that cannot be opened: say which and stop without touching it.
    QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), vendaro::ui::toQ(e.what()));
    return 1;
  }
}

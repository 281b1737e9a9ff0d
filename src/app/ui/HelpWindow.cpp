#include "app/ui/HelpWindow.h"

#include "platform/ui/qtext.h"

namespace vendaro::app::ui {

THelpWindow::THelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowFlag(Qt::Window);
  setWindowTitle(vendaro::ui::u8("Vendaro ヘルプ"));
  setOpenLinks(true);
  resize(640, 600);
}

void THelpWindow::showContents() {
  setSource(QUrl(QStringLiteral("qrc:/help/Vendaro.html")));
  show();
  raise();
  activateWindow();
}

}  // namespace vendaro::app::ui

#pragma once
// The help viewer: the manual that ships inside the program.

#include <QTextBrowser>

namespace vendaro::app::ui {

class THelpWindow : public QTextBrowser {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  /// Shows the manual at its contents.
  void showContents();
};

}  // namespace vendaro::app::ui

// The main of the widget tests: an offscreen QApplication unless a display is asked for.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Windows store their placement in the user's configuration directory: the tests use a scratch one.
  QTemporaryDir config;
  if (config.isValid()) setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
  // No printer of the machine's own: the print tests write PDF files, and a printer another test
  // installed would change what the printer settings derive.
  setenv("CUPS_SERVER", "/nonexistent/vendaro-no-printers.sock", 1);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

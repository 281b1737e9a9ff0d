#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QMessageBox>

namespace vendaro::ui {
namespace {
Dialogs* current = nullptr;
QString title() { return QApplication::applicationDisplayName(); }
}  // namespace

void QtDialogs::message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, title(), text, QMessageBox::Ok);
}

bool QtDialogs::confirm(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, title(), text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
         QMessageBox::Ok;
}

Dialogs::Answer QtDialogs::ask(QWidget* parent, const QString& text, bool withCancel) {
  auto buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  switch (QMessageBox::question(parent, title(), text, buttons, QMessageBox::Yes)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

QString QtDialogs::openFile(QWidget* parent, const QString& caption, const QString& filter, const QString& directory) {
  return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& caption, const QString& filter, const QString& directory,
                            const QString& name) {
  QString start = directory.isEmpty() ? name : directory + QLatin1Char('/') + name;
  return QFileDialog::getSaveFileName(parent, caption, start, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

int QtDialogs::exec(QDialog& dialog) { return dialog.exec(); }

bool QtDialogs::printerSetup(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> QtDialogs::selectFont(QWidget* parent, const QFont& initial) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent, QString(), QFontDialog::ScalableFonts);
  if (!ok) return std::nullopt;
  return chosen;
}

Dialogs& dialogs() {
  static QtDialogs people;
  return current ? *current : people;
}

void setDialogs(Dialogs* dialogs) { current = dialogs; }

}  // namespace vendaro::ui

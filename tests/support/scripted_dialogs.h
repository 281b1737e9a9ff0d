#pragma once
// Dialogs answered from a script, for widget tests: every question and message is recorded, and
// the answers are taken in order. A question without a scripted answer fails the test.

#include <QDialog>
#include <QFont>
#include <QPrinter>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

#include "platform/ui/dialogs.h"

namespace vendaro::test {

class ScriptedDialogs : public ui::Dialogs {
 public:
  ScriptedDialogs() { ui::setDialogs(this); }
  ~ScriptedDialogs() override { ui::setDialogs(nullptr); }

  /// Everything shown, in order (messages and questions alike).
  QStringList shown;
  std::deque<bool> confirms;
  std::deque<Answer> answers;
  std::deque<QString> files;
  /// What happens when one of the program's dialogs is shown: it may change the dialog's controls
  /// and returns the result.
  std::deque<std::function<int(QDialog&)>> modals;
  /// The printer setup dialog: sets the printer up and returns whether it was confirmed.
  std::deque<std::function<bool(QPrinter&)>> printerSetups;
  /// The font dialog: the font it gives for the one it started with, or nothing for Cancel.
  std::deque<std::function<std::optional<QFont>(const QFont&)>> fonts;

  void message(QWidget*, const QString& text) override { shown << text; }
  bool confirm(QWidget*, const QString& text) override {
    shown << text;
    if (confirms.empty()) {
      ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
      return false;
    }
    bool answer = confirms.front();
    confirms.pop_front();
    return answer;
  }
  Answer ask(QWidget*, const QString& text, bool) override {
    shown << text;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text.toStdString();
      return Answer::Cancel;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString openFile(QWidget*, const QString& title, const QString&, const QString&) override { return nextFile(title); }
  QString saveFile(QWidget*, const QString& title, const QString&, const QString&, const QString&) override {
    return nextFile(title);
  }
  int exec(QDialog& dialog) override {
    if (modals.empty()) {
      ADD_FAILURE() << "unexpected dialog: " << dialog.objectName().toStdString();
      return QDialog::Rejected;
    }
    auto handler = std::move(modals.front());
    modals.pop_front();
    return handler(dialog);
  }
  bool printerSetup(QWidget*, QPrinter& printer) override {
    shown << QStringLiteral("printer setup");
    if (printerSetups.empty()) {
      ADD_FAILURE() << "unexpected printer setup";
      return false;
    }
    auto handler = std::move(printerSetups.front());
    printerSetups.pop_front();
    return handler(printer);
  }
  std::optional<QFont> selectFont(QWidget*, const QFont& initial) override {
    shown << QStringLiteral("font");
    if (fonts.empty()) {
      ADD_FAILURE() << "unexpected font dialog";
      return std::nullopt;
    }
    auto handler = std::move(fonts.front());
    fonts.pop_front();
    return handler(initial);
  }

 private:
  QString nextFile(const QString& title) {
    shown << title;
    if (files.empty()) return QString();
    QString f = files.front();
    files.pop_front();
    return f;
  }
};

}  // namespace vendaro::test

/// Readable QStrings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (const auto& s : list) *os << '"' << s.toStdString() << "\" ";
  *os << '}';
}

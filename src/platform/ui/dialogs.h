#pragma once
// Every modal interaction of the program goes through this interface: message and confirmation
// boxes, file dialogs and the program's own modal dialogs. Tests put an implementation in place
// that answers from a script, so nothing ever waits for a person.

#include <QFont>
#include <QString>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace vendaro::ui {

class Dialogs {
 public:
  enum class Answer { Yes, No, Cancel };

  virtual ~Dialogs() = default;
  /// A notice with an OK button.
  virtual void message(QWidget* parent, const QString& text) = 0;
  /// A question with OK and cancel; true for OK.
  virtual bool confirm(QWidget* parent, const QString& text) = 0;
  /// A question with yes and no, and cancel when `withCancel`.
  virtual Answer ask(QWidget* parent, const QString& text, bool withCancel) = 0;
  /// The open-file dialog; the empty text when cancelled.
  virtual QString openFile(QWidget* parent, const QString& title, const QString& filter, const QString& directory) = 0;
  /// The save-file dialog with a proposed name; the empty text when cancelled. Choosing a file that
  /// exists asks nothing: the command that saves decides (a backup overwrites without asking).
  virtual QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& directory,
                           const QString& name) = 0;
  /// Shows one of the program's dialogs modally and returns its result (QDialog::Accepted or
  /// Rejected).
  virtual int exec(QDialog& dialog) = 0;
  /// The printer setup dialog on `printer`: true when confirmed, and the choice is then the
  /// printer's (which printer, paper, output file).
  virtual bool printerSetup(QWidget* parent, QPrinter& printer) = 0;
  /// The font dialog (scalable fonts only) starting with `initial`: the font chosen, or nothing
  /// when it was cancelled.
  virtual std::optional<QFont> selectFont(QWidget* parent, const QFont& initial) = 0;
  /// The font dialog for a caller that treats Cancel as keeping `initial`.
  QFont chooseFont(QWidget* parent, const QFont& initial) { return selectFont(parent, initial).value_or(initial); }
};

/// The dialogs a person answers.
class QtDialogs : public Dialogs {
 public:
  void message(QWidget* parent, const QString& text) override;
  bool confirm(QWidget* parent, const QString& text) override;
  Answer ask(QWidget* parent, const QString& text, bool withCancel) override;
  QString openFile(QWidget* parent, const QString& title, const QString& filter, const QString& directory) override;
  QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& directory,
                   const QString& name) override;
  int exec(QDialog& dialog) override;
  bool printerSetup(QWidget* parent, QPrinter& printer) override;
  std::optional<QFont> selectFont(QWidget* parent, const QFont& initial) override;
};

/// The program's dialogs: the person-facing ones unless a test has put others in place.
Dialogs& dialogs();
/// Puts an implementation in place (null restores the person-facing one).
void setDialogs(Dialogs* dialogs);

}  // namespace vendaro::ui

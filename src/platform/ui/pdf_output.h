#pragma once
// A PDF file chosen as a printer's output, written through the safe path of files written whole.

#include <QString>
#include <memory>

#include "platform/safe_file.h"

class QPrinter;

namespace vendaro::ui {

/// While it lives, a printer that writes a PDF file writes it into a temporary file beside the
/// chosen one; commit() puts the document in place once it is whole. Without commit() (a failure
/// while printing) the chosen file is left as it was. A printer that prints to a printer is left
/// alone. The printer's output file name is put back when this goes.
class PdfOutput {
 public:
  /// Throws FileError when the temporary file cannot be made (a missing or read-only directory).
  explicit PdfOutput(QPrinter& printer);
  ~PdfOutput();
  PdfOutput(const PdfOutput&) = delete;
  PdfOutput& operator=(const PdfOutput&) = delete;

  /// After the painter has ended: checks that the document was written to its end (a full disk
  /// cuts it short without the printer saying so) and renames it over the chosen file. Throws
  /// FileError naming the chosen file.
  void commit();

 private:
  QPrinter& printer_;
  QString chosen_;
  std::unique_ptr<SafeFile> file_;
};

}  // namespace vendaro::ui

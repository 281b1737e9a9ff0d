#include "platform/ui/pdf_output.h"

#include <QFile>
#include <QPrinter>
#include <cerrno>
#include <fstream>

#include "platform/settings_file.h"

namespace vendaro::ui {
namespace {

/// True when the file ends with the end-of-file mark of a PDF document (and a line end or two).
bool endsAsPdf(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  const std::streamoff tail = std::min<std::streamoff>(size, 32);
  std::string end(static_cast<std::size_t>(tail), '\0');
  in.seekg(size - tail);
  if (!in.read(end.data(), tail)) return false;
  while (!end.empty() && (end.back() == '\n' || end.back() == '\r')) end.pop_back();
  return end.size() >= 5 && end.compare(end.size() - 5, 5, "%%EOF") == 0;
}

}  // namespace

PdfOutput::PdfOutput(QPrinter& printer) : printer_(printer) {
  if (printer_.outputFormat() != QPrinter::PdfFormat || printer_.outputFileName().isEmpty()) return;
  chosen_ = printer_.outputFileName();
  file_ = std::make_unique<SafeFile>(QFile::encodeName(chosen_).toStdString());
  printer_.setOutputFileName(QFile::decodeName(file_->temporaryPath().c_str()));
}

PdfOutput::~PdfOutput() {
  if (!chosen_.isEmpty()) printer_.setOutputFileName(chosen_);
}

void PdfOutput::commit() {
  if (!file_) return;
  // The printer's own writes are not checked by it; a document cut short lacks its last line.
  if (!endsAsPdf(file_->temporaryPath())) {
    const std::string target = file_->target();
    file_.reset();
    throw FileError(target, EIO);
  }
  file_->commit();
}

}  // namespace vendaro::ui

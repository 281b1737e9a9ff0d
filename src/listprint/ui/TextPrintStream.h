#pragma once
// The text print stream on a Qt printer: whole lines printed top to bottom at the left margin in
// the print font, a line wider than the page continuing on the next line, a new page when a line
// does not fit under the previous ones. Each job of the list print is a print job of its own on a
// printer, or starts a new page of one document (a PDF file, the print preview).

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

#include "listprint/list_lines.h"

class QPagedPaintDevice;
class QPrinter;

namespace vendaro::listprint::ui {

/// The Qt font of the list print's font setting; the face falls back to a fixed-pitch Japanese
/// face where it is not installed, so that columns counted in bytes line up.
QFont printFont(const PrintFont& font);
/// The colour of the font setting: a system colour (negative code) prints as black.
QColor printColor(const PrintFont& font);

class TextPrintStream : public LineStream {
 public:
  enum class Jobs {
    Separate,  ///< every job is a print job of its own (a printer)
    OnePerPage ///< the jobs go into one document, each starting a new page
  };
  /// `device` must outlive the stream. Printing errors throw formprint::ui::PrintError.
  TextPrintStream(QPagedPaintDevice& device, const PrintFont& font, Jobs jobs);
  ~TextPrintStream() override;

  void open(int points) override;
  void setSize(int points) override;
  void line(const std::string& cp932) override;
  void close() override;
  /// Ends the document of OnePerPage jobs (after the last close). Throws PrintError.
  void finish();

  /// The pages printed so far, over all jobs.
  int pages() const { return pages_; }

 private:
  void newPage();
  QPagedPaintDevice& device_;
  QPainter painter_;
  QFont base_;
  QColor color_;
  Jobs jobs_;
  int y_ = 0;
  int pages_ = 0;
  bool started_ = false;  ///< the document is begun (OnePerPage: across jobs)
  bool pageHasLines_ = false;
};

}  // namespace vendaro::listprint::ui

#include "listprint/ui/ListPrinting.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <variant>
#include <vector>

#include "listprint/list_lines.h"
#include "listprint/ui/PrintPatternDlg.h"
#include "listprint/ui/TextPrintStream.h"
#include "platform/clock.h"
#include "platform/settings_file.h"
#include "platform/ui/binding.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/qtext.h"

namespace vendaro::listprint::ui {

namespace {

/// The lines of a list print kept for the preview, which paints them again whenever it is asked.
class RecordedLines : public LineStream {
 public:
  void open(int points) override { ops_.push_back({Op::Open, points, {}}); }
  void setSize(int points) override { ops_.push_back({Op::Size, points, {}}); }
  void line(const std::string& cp932) override { ops_.push_back({Op::Line, 0, cp932}); }
  void close() override { ops_.push_back({Op::Close, 0, {}}); }
  void replay(LineStream& out) const {
    for (const auto& op : ops_) {
      switch (op.kind) {
        case Op::Open: out.open(op.points); break;
        case Op::Size: out.setSize(op.points); break;
        case Op::Line: out.line(op.text); break;
        case Op::Close: out.close(); break;
      }
    }
  }

 private:
  struct Op {
    enum Kind { Open, Size, Line, Close } kind;
    int points;
    std::string text;
  };
  std::vector<Op> ops_;
};

}  // namespace

void printList(QWidget* parent, vendaro::ui::DataSource& estimates, TPrintPatDlg& settingsDialog,
               table::Cursor& widths) {
  try {
    settingsDialog.load();
  } catch (const FileError& e) {
    vendaro::ui::dialogs().message(parent, vendaro::ui::toQ(e.what()));
    return;
  }
  const ListPrintSettings settings = settingsDialog.settings();
  QPrinter printer(QPrinter::HighResolution);
  if (!vendaro::ui::dialogs().printerSetup(parent, printer)) return;

  if (settings.method == OutputMethod::AllFieldsOnScreen) {
    // Every field of the estimates, on screen: the lines are made once, then painted as often as
    // the preview asks.
    RecordedLines lines;
    if (!estimates.run([&](table::Cursor& c) { runListPrint(c, widths, settings, today(), lines); })) return;
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("ListPreview"));
    preview.setWindowTitle(vendaro::ui::u8("一覧印刷"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
      try {
        TextPrintStream out(*target, settings.font, TextPrintStream::Jobs::OnePerPage);
        lines.replay(out);
        out.finish();
      } catch (const std::exception& e) {
        vendaro::ui::dialogs().message(&preview, vendaro::ui::toQ(e.what()));
      }
    });
    vendaro::ui::dialogs().exec(preview);
    return;
  }
  // Each job (a page length of estimates) goes to the printer as a print job of its own; a PDF
  // file chosen in the setup takes them all, each from a new page.
  const auto jobs = printer.outputFormat() == QPrinter::PdfFormat ? TextPrintStream::Jobs::OnePerPage
                                                                   : TextPrintStream::Jobs::Separate;
  estimates.run([&](table::Cursor& c) {
    vendaro::ui::PdfOutput output(printer);
    TextPrintStream out(printer, settings.font, jobs);
    runListPrint(c, widths, settings, today(), out);
    out.finish();
    output.commit();
  });
}

}  // namespace vendaro::listprint::ui

#pragma once
// The form print run's device on a Qt printer (a CUPS printer or a PDF file): one document per
// run, one page per sheet, texts placed by their top-left corner in device units.

#include <QImage>
#include <QPainter>
#include <QString>
#include <memory>
#include <stdexcept>
#include <string>

#include "formprint/print_run.h"

class QPrinter;

namespace vendaro::formprint::ui {

/// The printer could not start the document. what() is a CP932 message.
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Reads a form image: JPEG through libjpeg, anything else (BMP) through Qt. Throws ImageError.
QImage loadFormImage(const std::string& path);

/// Points a printer at a PDF file: 360 dots per inch, so that device units are those of the
/// default adjustment set, no margins (device (0, 0) is the page's top-left corner), and a page of
/// the layout's paper size (A4 when the layout gives none).
void setUpPdfPrinter(QPrinter& printer, const QString& file, int paperWidthMm, int paperHeightMm);

/// The printer one run prints on, set up afresh from what the printer setup dialog chose: a PDF
/// file as setUpPdfPrinter makes it, or the chosen printer at its own resolution and printable
/// area with the chosen paper, orientation and copies. Nothing a previous run set carries over.
std::unique_ptr<QPrinter> runPrinter(const QPrinter& chosen, int paperWidthMm, int paperHeightMm,
                                     const QString& documentName);

/// What a printer reports: its resolution and where its printable area (device (0, 0)) lies on
/// the paper.
PrinterGeometry printerGeometry(const QPrinter& printer);

/// The geometry of the installed printer of that name at its own resolution; an empty or unknown
/// name means the default printer, and without any printer, PDF output as setUpPdfPrinter makes it.
PrinterGeometry installedPrinterGeometry(const QString& name);

/// Prints the calibration sheet on the printer, on the paper it is set up for, placed with the
/// set. Throws PrintError when the printer cannot start or end the document.
void printCalibrationSheet(QPrinter& printer, const AdjustmentSet& set);

/// A print run's device on a printer.
class PrinterSheetDevice : public SheetDevice {
 public:
  explicit PrinterSheetDevice(QPrinter& printer);
  ~PrinterSheetDevice() override;
  void loadForm(const std::string& path) override;
  void beginSheet() override;
  void drawForm(const DevicePoint& extent) override;
  void drawText(const PlacedText& item, const std::string& face) override;
  void endSheet() override {}
  void finish() override;

 private:
  QPrinter& printer_;
  QPainter painter_;
  QImage form_;
  int sheets_ = 0;
};

}  // namespace vendaro::formprint::ui

#include "formprint/ui/SheetPrinter.h"

#include <cctype>

#include <QFont>
#include <QFontMetrics>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "formprint/calibration.h"
#include "formprint/jpeg_image.h"
#include "formprint/ui/ItemFont.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"

namespace vendaro::formprint::ui {

using vendaro::ui::toQ;

namespace {
bool isJpeg(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == "jpg" || ext == "jpeg";
}

}  // namespace

QImage loadFormImage(const std::string& path) {
  if (isJpeg(path)) {
    RgbImage rgb = decodeJpegFile(path);
    QImage image(rgb.pixels.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888);
    return image.copy();  // the pixels go with the RgbImage
  }
  QImageReader reader(QString::fromUtf8(path.c_str()));
  QImage image = reader.read();
  if (image.isNull())
    throw ImageError(sjis::lit("画像ファイルを読み込めません: ") + sjis::fromUtf8Lossy(path) + " (" +
                     sjis::fromUtf8Lossy(reader.errorString().toStdString()) + ")");
  return image;
}

namespace {
/// The face of the calibration sheet's words: the items' default face.
const std::string& readableFace() {
  static const std::string face = sjis::lit("ＪＳゴシック");
  return face;
}
}  // namespace

void setUpPdfPrinter(QPrinter& printer, const QString& file, int paperWidthMm, int paperHeightMm) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setResolution(360);
  printer.setFullPage(true);
  const QPageSize page = paperWidthMm > 0 && paperHeightMm > 0
                             ? QPageSize(QSizeF(paperWidthMm, paperHeightMm), QPageSize::Millimeter)
                             : QPageSize(QPageSize::A4);
  printer.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

std::unique_ptr<QPrinter> runPrinter(const QPrinter& chosen, int paperWidthMm, int paperHeightMm,
                                     const QString& documentName) {
  std::unique_ptr<QPrinter> printer;
  if (chosen.outputFormat() == QPrinter::PdfFormat) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    setUpPdfPrinter(*printer, chosen.outputFileName(), paperWidthMm, paperHeightMm);
  } else {
    printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(chosen.printerName()), QPrinter::HighResolution);
    printer->setPageSize(chosen.pageLayout().pageSize());
    printer->setPageOrientation(chosen.pageLayout().orientation());
    printer->setCopyCount(chosen.copyCount());
    printer->setDuplex(chosen.duplex());
  }
  printer->setDocName(documentName);
  return printer;
}

PrinterGeometry printerGeometry(const QPrinter& printer) {
  PrinterGeometry g;
  g.dotsPerInch = printer.resolution();
  if (!printer.fullPage()) {
    const QRectF page = printer.pageRect(QPrinter::Millimeter);
    const QRectF paper = printer.paperRect(QPrinter::Millimeter);
    g.leftMarginMm = page.left() - paper.left();
    g.topMarginMm = page.top() - paper.top();
  }
  return g;
}

PrinterGeometry installedPrinterGeometry(const QString& name) {
  QPrinterInfo info = name.isEmpty() ? QPrinterInfo() : QPrinterInfo::printerInfo(name);
  if (info.isNull()) info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    QPrinter pdf(QPrinter::HighResolution);
    setUpPdfPrinter(pdf, QString(), 0, 0);
    return printerGeometry(pdf);
  }
  const QPrinter printer(info, QPrinter::HighResolution);
  return printerGeometry(printer);
}

void printCalibrationSheet(QPrinter& printer, const AdjustmentSet& set) {
  const QRectF paper = printer.paperRect(QPrinter::Millimeter);
  const QString name = printer.outputFormat() == QPrinter::PdfFormat ? QString() : printer.printerName();
  const CalibrationSheet sheet = calibrationSheet(paper.width(), paper.height(), set,
                                                  sjis::fromUtf8Lossy(name.toStdString()), printer.resolution());
  QPainter painter;
  if (!painter.begin(&printer))
    throw PrintError(sjis::lit("印刷を開始できません: ") + sjis::fromUtf8Lossy(printer.printerName().toStdString()));
  // Lines a fifth of a millimetre wide.
  painter.setPen(QPen(Qt::black, printer.resolution() * 0.2 / 25.4));
  for (const SheetLine& l : sheet.lines) painter.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
  for (const SheetText& t : sheet.texts) {
    QFont font = itemFont(readableFace());
    font.setPointSize(t.points);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    painter.drawText(QPointF(t.x, t.y + metrics.ascent()), toQ(t.text));
  }
  if (!painter.end()) throw PrintError(sjis::lit("印刷できません: 文書を終えられません"));
}

PrinterSheetDevice::PrinterSheetDevice(QPrinter& printer) : printer_(printer) {}

PrinterSheetDevice::~PrinterSheetDevice() {
  if (painter_.isActive()) painter_.end();
}

void PrinterSheetDevice::loadForm(const std::string& path) { form_ = loadFormImage(path); }

void PrinterSheetDevice::beginSheet() {
  if (sheets_++ > 0) {
    if (!printer_.newPage()) throw PrintError(sjis::lit("印刷できません: 次のページを始められません"));
    return;
  }
  if (!painter_.begin(&printer_)) {
    const QString where = printer_.outputFileName().isEmpty() ? printer_.printerName() : printer_.outputFileName();
    throw PrintError(sjis::lit("印刷を開始できません: ") + sjis::fromUtf8Lossy(where.toStdString()));
  }
  painter_.setPen(Qt::black);
}

void PrinterSheetDevice::drawForm(const DevicePoint& extent) {
  if (!form_.isNull()) painter_.drawImage(QRect(0, 0, extent.x, extent.y), form_);
}

void PrinterSheetDevice::drawText(const PlacedText& item, const std::string& face) {
  QFont font = itemFont(face);
  font.setPointSize(printedPoints(item.points));
  painter_.setFont(font);
  // The position is the text's top-left corner; Qt draws from the baseline.
  const QFontMetrics metrics(font, painter_.device());
  painter_.drawText(QPoint(item.at.x, item.at.y + metrics.ascent()), toQ(item.text));
}

void PrinterSheetDevice::finish() {
  if (painter_.isActive() && !painter_.end()) throw PrintError(sjis::lit("印刷できません: 文書を終えられません"));
}

}  // namespace vendaro::formprint::ui

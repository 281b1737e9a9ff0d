#include "formprint/ui/SheetPrinter.h"

#include <cctype>

#include <QFont>
#include <QFontMetrics>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "formprint/jpeg_image.h"
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

/// An item size of 0 or less (an item whose size was never set) prints at this size.
constexpr int kFallbackPoints = 10;
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
  QFont font(toQ(face));
  font.setPointSize(item.points > 0 ? item.points : kFallbackPoints);
  painter_.setFont(font);
  // The position is the text's top-left corner; Qt draws from the baseline.
  const QFontMetrics metrics(font, painter_.device());
  painter_.drawText(QPoint(item.at.x, item.at.y + metrics.ascent()), toQ(item.text));
}

void PrinterSheetDevice::finish() {
  if (painter_.isActive() && !painter_.end()) throw PrintError(sjis::lit("印刷できません: 文書を終えられません"));
}

}  // namespace vendaro::formprint::ui

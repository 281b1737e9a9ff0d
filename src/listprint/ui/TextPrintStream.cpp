#include "listprint/ui/TextPrintStream.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPrinter>

#include "formprint/ui/SheetPrinter.h"
#include "platform/sjis.h"
#include "platform/ui/qtext.h"

namespace vendaro::listprint::ui {

using formprint::ui::PrintError;

QFont printFont(const PrintFont& font) {
  QFont f;
  f.setFamilies({vendaro::ui::toQ(font.name), QStringLiteral("Noto Sans Mono CJK JP")});
  f.setStyleHint(QFont::TypeWriter);
  f.setPointSize(font.size > 0 ? font.size : 9);
  return f;
}

QColor printColor(const PrintFont& font) {
  if (font.color < 0) return Qt::black;
  // The platform code keeps red in the low byte.
  return QColor(font.color & 0xFF, (font.color >> 8) & 0xFF, (font.color >> 16) & 0xFF);
}

TextPrintStream::TextPrintStream(QPagedPaintDevice& device, const PrintFont& font, Jobs jobs)
    : device_(device), base_(printFont(font)), color_(printColor(font)), jobs_(jobs) {}

TextPrintStream::~TextPrintStream() {
  if (painter_.isActive()) painter_.end();
}

void TextPrintStream::open(int points) {
  if (!started_) {
    if (!painter_.begin(&device_)) {
      auto* printer = dynamic_cast<QPrinter*>(&device_);
      const QString where = !printer ? QString() : printer->outputFileName().isEmpty() ? printer->printerName()
                                                                                       : printer->outputFileName();
      throw PrintError(sjis::lit("印刷を開始できません: ") + sjis::fromUtf8Lossy(where.toStdString()));
    }
    started_ = true;
    ++pages_;
  } else {
    newPage();
  }
  painter_.setPen(color_);
  y_ = 0;
  pageHasLines_ = false;
  setSize(points);
}

void TextPrintStream::setSize(int points) {
  QFont f = base_;
  // A size of 0 or less (or beyond what a page can hold) prints at the print font's own size.
  if (points > 0 && points <= 1000) f.setPointSize(points);
  painter_.setFont(f);
}

void TextPrintStream::newPage() {
  if (!device_.newPage()) throw PrintError(sjis::lit("印刷できません: 次のページを始められません"));
  ++pages_;
  y_ = 0;
  pageHasLines_ = false;
}

void TextPrintStream::line(const std::string& cp932) {
  const QFontMetrics metrics(painter_.font(), &device_);
  const int pageWidth = painter_.viewport().width();
  const int pageHeight = painter_.viewport().height();
  const int height = metrics.lineSpacing();
  QString rest = vendaro::ui::toQ(cp932);
  // An empty line still takes its height.
  do {
    QString piece = rest;
    if (metrics.horizontalAdvance(rest) > pageWidth) {
      // The longest start of the line that fits, at least one character.
      int fit = 1;
      int lo = 1, hi = static_cast<int>(rest.size());
      while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (metrics.horizontalAdvance(rest.left(mid)) <= pageWidth) fit = mid, lo = mid + 1;
        else hi = mid - 1;
      }
      if (fit < rest.size() && rest.at(fit).isLowSurrogate()) --fit;
      piece = rest.left(std::max(fit, 1));
    }
    rest.remove(0, piece.size());
    if (pageHasLines_ && y_ + height > pageHeight) newPage();
    painter_.drawText(QPoint(0, y_ + metrics.ascent()), piece);
    y_ += height;
    pageHasLines_ = true;
  } while (!rest.isEmpty());
}

void TextPrintStream::close() {
  if (jobs_ == Jobs::Separate && painter_.isActive()) {
    if (!painter_.end()) throw PrintError(sjis::lit("印刷できません: 文書を終えられません"));
    started_ = false;
  }
}

}  // namespace vendaro::listprint::ui

namespace vendaro::listprint::ui {

void TextPrintStream::finish() {
  if (painter_.isActive() && !painter_.end()) throw PrintError(sjis::lit("印刷できません: 文書を終えられません"));
  started_ = false;
}

}  // namespace vendaro::listprint::ui

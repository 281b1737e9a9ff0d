// Renders the icon's SVG to PNG files of the sizes the desktop menus use:
//   vendaro-render-icon ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/vendaro.png
// Also used by the screenshot set for the picture of the menu entry.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: vendaro-render-icon ICON.svg OUTDIR SIZE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "vendaro-render-icon: not a readable SVG: %s\n", argv[1]);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLatin1(argv[i]).toInt();
    if (size <= 0) {
      std::fprintf(stderr, "vendaro-render-icon: not a size: %s\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    const QString dir = QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/vendaro.png"))) {
      std::fprintf(stderr, "vendaro-render-icon: cannot write %s\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}

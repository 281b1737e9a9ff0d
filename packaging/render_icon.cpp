// Renders the icon's SVG to PNG files of the sizes the desktop menus use:
//   vendaro-render-icon ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/vendaro.png
// and, for the screenshot set, the menu entry as a desktop menu shows it:
//   vendaro-render-icon --entry ICON.svg DESKTOP-FILE OUT.png

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

/// The value of `key` in the desktop entry's main group, empty when it has none.
QString entryValue(const QString& desktopFile, const QString& key) {
  QFile file(desktopFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString prefix = key + QLatin1Char('=');
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
    if (line.startsWith(prefix)) return line.mid(prefix.size()).trimmed();
  return {};
}

/// The entry as one row of the Office menu: its icon at 48 pixels, the Japanese name, the
/// English name and the comment.
int renderEntry(QSvgRenderer& svg, const QString& desktopFile, const QString& out) {
  const QString name = entryValue(desktopFile, QStringLiteral("Name[ja]"));
  if (name.isEmpty()) {
    std::fprintf(stderr, "vendaro-render-icon: no Name[ja] in %s\n", qPrintable(desktopFile));
    return 1;
  }
  QImage image(520, 120, QImage::Format_RGB32);
  image.fill(QColor(0xf4, 0xf5, 0xf7));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font(QStringLiteral("Noto Sans CJK JP"));
  font.setPixelSize(13);
  painter.setFont(font);
  painter.setPen(QColor(0x55, 0x5f, 0x6a));
  painter.drawText(QRect(12, 6, 496, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   entryValue(desktopFile, QStringLiteral("Categories")).section(QLatin1Char(';'), 0, 0));
  painter.fillRect(QRect(8, 30, 504, 80), QColor(0xdc, 0xe8, 0xf7));
  svg.render(&painter, QRectF(20, 46, 48, 48));
  font.setPixelSize(18);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(84, 38, 420, 28), Qt::AlignLeft | Qt::AlignVCenter, name);
  font.setPixelSize(12);
  font.setBold(false);
  painter.setFont(font);
  painter.setPen(QColor(0x33, 0x3d, 0x48));
  painter.drawText(QRect(84, 66, 420, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   entryValue(desktopFile, QStringLiteral("Name")));
  painter.drawText(QRect(84, 84, 420, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   entryValue(desktopFile, QStringLiteral("Comment[ja]")));
  painter.end();
  if (!image.save(out)) {
    std::fprintf(stderr, "vendaro-render-icon: cannot write %s\n", qPrintable(out));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool entry = argc == 5 && QByteArray(argv[1]) == "--entry";
  if (!entry && argc < 4) {
    std::fprintf(stderr, "usage: vendaro-render-icon ICON.svg OUTDIR SIZE...\n"
                         "       vendaro-render-icon --entry ICON.svg DESKTOP-FILE OUT.png\n");
    return 2;
  }
  const char* icon = entry ? argv[2] : argv[1];
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(icon));
  if (!svg.isValid()) {
    std::fprintf(stderr, "vendaro-render-icon: not a readable SVG: %s\n", icon);
    return 1;
  }
  if (entry) return renderEntry(svg, QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
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

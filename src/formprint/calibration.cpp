#include "formprint/calibration.h"

#include "platform/sjis.h"

namespace vendaro::formprint {
namespace {

double scale(const AdjustmentSet& set) {
  return static_cast<double>(set.numerator) / (set.denominator == 0 ? 1 : set.denominator);
}

/// The offset of the set in device dots, with the print run's integer steps.
int offsetDots(int mm, const AdjustmentSet& set) {
  const int b = set.denominator == 0 ? 1 : set.denominator;
  return static_cast<int>(static_cast<long long>(mm) * 379 / 100 * set.numerator / b);
}

constexpr double kUnitsPerMm = 96.0 / 25.4;

}  // namespace

double calibrationDeviceX(double mm, const AdjustmentSet& set) {
  return mm * kUnitsPerMm * scale(set) + offsetDots(set.horizontal, set);
}

double calibrationDeviceY(double mm, const AdjustmentSet& set) {
  return mm * kUnitsPerMm * scale(set) + offsetDots(set.vertical, set);
}

CalibrationSheet calibrationSheet(double paperWidthMm, double paperHeightMm, const AdjustmentSet& set,
                                  const std::string& printerName, int dotsPerInch) {
  CalibrationSheet sheet;
  auto x = [&set](double mm) { return calibrationDeviceX(mm, set); };
  auto y = [&set](double mm) { return calibrationDeviceY(mm, set); };
  // The paper's edges.
  sheet.lines.push_back({x(0), y(0), x(paperWidthMm), y(0)});
  sheet.lines.push_back({x(paperWidthMm), y(0), x(paperWidthMm), y(paperHeightMm)});
  sheet.lines.push_back({x(paperWidthMm), y(paperHeightMm), x(0), y(paperHeightMm)});
  sheet.lines.push_back({x(0), y(paperHeightMm), x(0), y(0)});
  // The rulers along the top and the left edge.
  auto tick = [](int mm) { return mm % 10 == 0 ? 8.0 : mm % 5 == 0 ? 5.0 : 3.0; };
  for (int mm = 1; mm < paperWidthMm; ++mm) {
    sheet.lines.push_back({x(mm), y(0), x(mm), y(tick(mm))});
    if (mm % 10 == 0) sheet.texts.push_back({std::to_string(mm), x(mm + 0.5), y(5.5), 7});
  }
  for (int mm = 1; mm < paperHeightMm; ++mm) {
    sheet.lines.push_back({x(0), y(mm), x(tick(mm)), y(mm)});
    if (mm % 10 == 0 && mm > 10) sheet.texts.push_back({std::to_string(mm), x(5.5), y(mm + 0.5), 7});
  }
  // The set in words, and how to read the sheet.
  const std::string name = printerName.empty() ? sjis::lit("（PDF 出力）") : printerName;
  const std::string lines[] = {
      sjis::lit("印刷位置の調整用紙"),
      sjis::lit("プリンタ名：") + name,
      sjis::lit("解像度：") + std::to_string(dotsPerInch) + " dpi",
      sjis::lit("プリンタ尺度：") + std::to_string(set.numerator) + sjis::lit("／") + std::to_string(set.denominator),
      sjis::lit("印字位置縦：") + std::to_string(set.vertical) + sjis::lit("mm　横：") + std::to_string(set.horizontal) +
          "mm",
      sjis::lit("用紙の左端から上の目盛りの「100」までを測ります。100mm より長ければその差だけ「横」を減らし、"),
      sjis::lit("短ければ増やしてください。縦も同じく、用紙の上端から左の目盛りの「100」までを測ります。"),
      sjis::lit("目盛りの 0 から 100 までが 100mm でなければ、プリンタ尺度の左側を変えてください。"),
  };
  double top = 30;
  for (const std::string& line : lines) {
    sheet.texts.push_back({line, x(25), y(top), 9});
    top += 6;
  }
  return sheet;
}

}  // namespace vendaro::formprint

#pragma once
// The calibration sheet: millimetre rulers along the top and left edges of the paper, the paper's
// edges and the adjustment set in words, placed through the set as the print run places items. A
// dealer measures on the printed sheet how far the rulers lie from the real edges and types the
// difference into the set's offsets.

#include <string>
#include <vector>

#include "formprint/printer_settings.h"

namespace vendaro::formprint {

/// A line in device dots.
struct SheetLine {
  double x1, y1, x2, y2;
};

/// A text in device dots: its top-left corner, its size in points, its text (CP932).
struct SheetText {
  std::string text;
  double x, y;
  int points;
};

struct CalibrationSheet {
  std::vector<SheetLine> lines;
  std::vector<SheetText> texts;
};

/// Where a point `mm` millimetres from the paper's left (or top) edge lands in device dots with
/// the set: its layout position (1/96 inch units) scaled by A/B, plus the horizontal (or
/// vertical) offset as the print run computes it.
double calibrationDeviceX(double mm, const AdjustmentSet& set);
double calibrationDeviceY(double mm, const AdjustmentSet& set);

/// The sheet for a paper of that size (millimetres) on a printer of that name and resolution,
/// with the set it prints with. Ruler ticks every millimetre (longer every 5 and 10), numbered
/// every 10 mm just right of (below) the tick; a frame on the paper's edges.
CalibrationSheet calibrationSheet(double paperWidthMm, double paperHeightMm, const AdjustmentSet& set,
                                  const std::string& printerName, int dotsPerInch);

}  // namespace vendaro::formprint

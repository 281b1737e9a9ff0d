#pragma once
// Printer adjustment sets: how layout units become a printer's device units. Up to three sets,
// each tied to a printer by name, kept in "ToolEdit.INI" (scale, offsets and printer name of each
// set, 15 lines) and "ToolEdit1.INI" (the character pitch of each set, 3 lines).

#include <array>
#include <string>

namespace vendaro::formprint {

/// One printer adjustment set.
struct AdjustmentSet {
  int numerator = 1000;   ///< printer scale A: device units per B layout units
  int denominator = 267;  ///< printer scale B
  int vertical = 0;       ///< vertical offset V, mm
  int horizontal = 1;     ///< horizontal offset H, mm
  int pitch = 50;         ///< character pitch P, tenths: one cell is P x size / 100 layout units
  bool operator==(const AdjustmentSet& o) const {
    return numerator == o.numerator && denominator == o.denominator && vertical == o.vertical &&
           horizontal == o.horizontal && pitch == o.pitch;
  }
};

/// The range a value of a set is held in.
struct ValueRange {
  int min;
  int max;
  int clamp(int v) const { return v < min ? min : v > max ? max : v; }
};
constexpr ValueRange kScaleRange{1, 1000};   ///< A and B
constexpr ValueRange kOffsetRange{-10, 10};  ///< V and H
constexpr ValueRange kPitchRange{0, 1000};   ///< P

/// The three sets and their printer names (CP932; empty for none).
struct PrinterSettings {
  std::array<AdjustmentSet, 3> sets;
  std::array<std::string, 3> printers;
  /// Whether each set's values came from "ToolEdit.INI" (the file holds at least its first line).
  /// A set that was not stored is derived from the printer it prints on.
  std::array<bool, 3> stored{};
};

/// What a printer reports of itself: its resolution, and how far its printable area, where device
/// position (0, 0) is, lies from the paper's left and top edges.
struct PrinterGeometry {
  int dotsPerInch = 0;
  double leftMarginMm = 0;
  double topMarginMm = 0;
};

/// The set for a printer that has none stored: A/B makes one layout unit 1/96 inch on the paper,
/// and V and H put layout position 0 on the paper's edges, as near as whole millimetres allow
/// (each held within -10 to 10). The character pitch is the default. A printer reporting no
/// resolution gets the default set.
AdjustmentSet deriveAdjustmentSet(const PrinterGeometry& printer);

/// Reads "ToolEdit.INI" and "ToolEdit1.INI" from the program directory. Missing files and the
/// lines a short file lacks keep the defaults; numbers are read as leading integers and brought
/// into range. Throws FileError when a file exists but cannot be read.
PrinterSettings loadPrinterSettings(const std::string& programDirectory);

/// Rewrites both files whole. Throws FileError.
void savePrinterSettings(const std::string& programDirectory, const PrinterSettings& settings);

/// The set (0..2) for a printer: set 1 when only one printer was installed at start or set 1 has
/// no printer name; else the first of set 3 and set 2 whose name equals the printer's; else set 1.
int chooseAdjustmentSet(const std::string& printerName, bool multiplePrinters,
                        const std::array<std::string, 3>& printers);

}  // namespace vendaro::formprint

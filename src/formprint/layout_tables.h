#pragma once
// Print layouts: four parallel tables in CARDATA whose record n together is layout n. The layout
// table EsPrtData.DB holds the name, form, paper size, switches and the 240 item expressions;
// EsPrtPosX.DB, EsPrtPosY.db and EsPrtSize.DB hold each item's X position, Y position and
// character size. Positions are in layout units (one dot of a 96-dpi screen, 379 to 100 mm).

#include <memory>
#include <string>

#include "platform/table/cursor.h"

namespace vendaro::formprint {

/// Items per layout.
constexpr int kItemCount = 240;

/// Field numbers (0-based) of the layout table, in stored order; 項目k is kFirstItemField + k - 1.
enum LayoutField {
  kPrintNameField = 0,   ///< 印刷名
  kFormNameField,        ///< 印刷フォーム
  kPrintFormField,       ///< 印刷フォームの印刷 (logical)
  kPaperWidthField,      ///< 印刷サイズＸ, millimetres
  kPaperHeightField,     ///< 印刷サイズＹ, millimetres
  kContinuousField,      ///< 連続印刷 (logical)
  kShowDateUnitsField,   ///< 日付の表示 (logical)
  kDateSpacingField,     ///< 日付の幅
  kFirstItemField,       ///< 項目1
};

const table::TableSchema& layoutDataSchema();  ///< EsPrtData.DB
const table::TableSchema& layoutPosXSchema();  ///< EsPrtPosX.DB: Ｘ座標1..240
const table::TableSchema& layoutPosYSchema();  ///< EsPrtPosY.db: Ｙ座標1..240
const table::TableSchema& layoutSizeSchema();  ///< EsPrtSize.DB: サイズ1..240

/// Millimetres to layout units and back, truncating toward zero.
int mmToLayoutUnits(int mm);
int layoutUnitsToMm(int units);

/// The date settings of the current layout, as the item language reads them.
class LayoutDateSettings {
 public:
  virtual ~LayoutDateSettings() = default;
  /// 日付の表示: dates print as stored (no date blanking).
  virtual bool showDateUnits() const = 0;
  /// 日付の幅: the date blanking puts this many + 2 blanks in place of each date unit.
  virtual int dateSpacing() const = 0;
};

/// Fixed date settings, for evaluating items without a layout.
struct FixedDateSettings : LayoutDateSettings {
  bool show = true;
  int spacing = 0;
  FixedDateSettings(bool showUnits, int spacingValue) : show(showUnits), spacing(spacingValue) {}
  bool showDateUnits() const override { return show; }
  int dateSpacing() const override { return spacing; }
};

/// The four layout tables, open together; the current layout is the current record of the layout
/// table, and the attribute tables follow it.
class LayoutTables : public LayoutDateSettings {
 public:
  /// Opens the four tables in the CARDATA directory, creating the directory and any missing table
  /// empty (a new installation). The attribute tables follow the layout table from then on: the
  /// layout table's afterScroll and afterPost hooks are set to do that, so a holder that needs a
  /// hook of its own keeps the one it finds and calls it from its own.
  static std::unique_ptr<LayoutTables> open(const std::string& cardataDirectory);

  table::Cursor& data() { return *data_; }
  table::Cursor& posX() { return *posX_; }
  table::Cursor& posY() { return *posY_; }
  table::Cursor& size() { return *size_; }

  /// Layout records in the layout table.
  int layoutCount() { return data_->recordCount(); }
  /// The current layout's number (1-based; 0 when there is none).
  int current() { return data_->recNo(); }

  /// Makes layout n current: record n of all four tables.
  void openLayout(int n);

  /// Appends layout records until the layout table, then each attribute table, has at least n
  /// records; all four tables change together or not at all. A new layout has an empty name and
  /// form, its switches off, no items and paper of 10 by 10 mm.
  void ensureLayout(int n);

  /// Removes layouts `first` and after, from the last one back, while each is still exactly as
  /// ensureLayout made it (nothing was ever stored into any of its four records); stops at the
  /// first that holds anything, so no other layout changes its number. All four tables change
  /// together or not at all. Returns how many layouts were removed.
  int removeUntouchedLayouts(int first);

  // The current layout.
  std::string printName() const;
  std::string formName() const;
  int paperWidth() const;
  int paperHeight() const;
  bool printForm() const;
  bool continuous() const;
  bool showDateUnits() const override;
  int dateSpacing() const override;

  /// Item k (1..240) of the current layout: 項目k, Ｘ座標k, Ｙ座標k and サイズk. An attribute
  /// table that has no record for the current layout reads as 0.
  std::string item(int k) const;
  int itemX(int k);
  int itemY(int k);
  int itemSize(int k);

 private:
  LayoutTables() = default;
  /// Moves the attribute tables to the layout table's current record.
  void follow();
  int attribute(table::Cursor& cursor, int k);

  std::unique_ptr<table::Cursor> data_, posX_, posY_, size_;
};

}  // namespace vendaro::formprint

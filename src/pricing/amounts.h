#pragma once
// The recalculation of an estimate's money figures: the vehicle line taxes, the sub-totals, the
// grand total and the quoted amount, run when the user leaves an amount box.
//
// Every figure is a signed 32-bit whole number of yen; a tax is amount × rate ÷ 100, truncated
// toward zero. A recalculation works on a staged copy of the figures it touches: sums and products
// are taken in 64 bits, and when any figure it would write leaves the 32-bit range it stops with
// AmountTooLarge before a single field of the record is written. Whatever box it runs for, a
// recalculation computes every tax of the estimate at the rate in effect, so an estimate never
// holds taxes of two rates; estimates nobody recalculates keep their figures.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::pricing {

/// A figure that does not fit a signed 32-bit number. what() is the status bar text (CP932) naming
/// the figure; nothing was written.
class AmountTooLarge : public std::runtime_error {
 public:
  explicit AmountTooLarge(const std::string& field);
  /// The field (CP932) whose new value does not fit.
  const std::string& field() const { return field_; }

 private:
  std::string field_;
};

/// The figures of the current record as a recalculation sees them: reads return what an earlier
/// step wrote, writes are held back until commit().
class AmountSheet {
 public:
  explicit AmountSheet(const table::Cursor& cursor) : cursor_(cursor) {}

  /// The field's value: the staged one, else the record's (empty reads as 0).
  int64_t get(std::string_view field) const;
  /// Stages a value; throws AmountTooLarge when it leaves the 32-bit range.
  void set(std::string_view field, int64_t value);
  /// The sum of the fields `prefix`1 .. `prefix`n.
  int64_t sum(std::string_view prefix, int from, int to) const;
  /// A text field's value, staged or stored.
  std::string text(std::string_view field) const;
  void setText(std::string_view field, std::string value);

  /// Puts the record into edit state if it is not, then writes every staged value.
  void commit(table::Cursor& cursor) const;
  bool empty() const { return values_.empty() && texts_.empty(); }

 private:
  const table::Cursor& cursor_;
  std::map<std::string, int64_t, std::less<>> values_;
  std::vector<std::string> order_;  ///< fields in the order they were first written
  std::map<std::string, std::string, std::less<>> texts_;
};

/// amount × rate ÷ 100, truncated toward zero (in 64 bits: any 32-bit amount and rate fit).
int64_t taxOf(int64_t amount, int32_t rate);

/// An amount as people type it: blanks around it, a sign, a yen sign (￥, or the byte 0x5C that
/// Japanese fonts show as ¥), the digits ordinary or full-width, either without separators or
/// grouped in threes by commas (ordinary or full-width), and an optional 円 at the end.
/// "1,200,000", "１２０００００" and "￥1,200,000" all read 1200000. Nothing for any other text,
/// the empty one included, and for a figure beyond the 32-bit range.
std::optional<int32_t> readAmount(std::string_view typed);

/// The text an amount box stores for what was typed: the figure in plain digits when the text is
/// an amount, else the text unchanged (so the table refuses it with its own message).
std::string amountToStore(std::string_view typed);

// The steps, on a sheet (rate in whole percent). Every step ends by computing every tax of the
// estimate at the rate given, so an estimate is never left with taxes of two rates.
/// The taxes and totals of the whole estimate: each vehicle line's tax (lines 3 to 6), the vehicle
/// totals, the one tax of the cost sub-total, 販売合計 and 見積金額. Sums of lines are taken as
/// they stand.
void allTaxes(AmountSheet& sheet, int32_t rate);
/// 車両価格3 := 車両価格1 + 車両価格2, then the taxes and totals.
void vehicleBody(AmountSheet& sheet, int32_t rate);
/// The option total into 車両価格4, then the taxes and totals.
void optionTotal(AmountSheet& sheet, int32_t rate);
/// The accessory total into 車両価格5, then the taxes and totals.
void accessoryTotal(AmountSheet& sheet, int32_t rate);
/// Sales costs, statutory fees, taxes and insurance: 小計 and 諸費用合計, then the taxes and totals.
void costs(AmountSheet& sheet, int32_t rate);
/// 頭金合計, then the taxes and totals.
void downPayment(AmountSheet& sheet, int32_t rate);

/// The recalculations of the estimate sheet on one cursor, each bound to the exit of the boxes
/// exitHandlers() names. The rate is read at the moment a recalculation runs. Each either writes
/// all its figures (leaving the record in edit state) or throws AmountTooLarge having written none.
///
/// A recalculation that failed leaves the estimate's totals stale: until a later one succeeds, each
/// recalculation first runs the steps that failed again, so the totals are whole once it succeeds.
class Amounts {
 public:
  Amounts(table::Cursor& cursor, std::function<int32_t()> rate) : cursor_(cursor), rate_(std::move(rate)) {}

  /// The vehicle line recalculation for line 3, 4, 5 or 6: the taxes and totals of the estimate.
  void CarCalc(int line);
  void DBEdit1Exit();   ///< vehicle body
  void DBEdit3Exit();   ///< line 3
  void DBEdit5Exit();   ///< line 4
  void DBEdit7Exit();   ///< line 5
  void DBEdit9Exit();   ///< line 6
  void DBEdit56Exit();  ///< options
  void DBEdit63Exit();  ///< accessories
  void DBEdit17Exit();  ///< costs
  void DBEdit13Exit();  ///< down payment

  /// True while the figures of a failed recalculation are not written: the totals do not match
  /// the lines, and the estimate must not be saved.
  bool stale() const { return !pending_.empty(); }
  /// Forgets a failed recalculation (its record was cancelled or left).
  void forgetStale() { pending_.clear(); }

  using Handler = void (Amounts::*)();
  /// Which handler the exit of each amount box runs, by the box's name.
  static const std::vector<std::pair<std::string, Handler>>& exitHandlers();

 private:
  using Step = void (*)(AmountSheet&, int32_t);
  void run(Step step);
  table::Cursor& cursor_;
  std::function<int32_t()> rate_;
  std::vector<Step> pending_;  ///< steps whose figures did not fit, oldest first
};

}  // namespace vendaro::pricing

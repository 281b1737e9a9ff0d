#pragma once
// The discount adjustment: bringing the quoted amount down by a reduction of the vehicle price
// adjustment line 車両価格2, then correcting a remaining one-yen difference.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pricing/amounts.h"

namespace vendaro::pricing {

/// A reduction that cannot be computed (its product with 100 leaves the 32-bit range, or the rate
/// makes the divisor 0). what() is the message for the person (CP932); nothing was changed.
class DiscountRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The four choices offered for a quoted amount text: for N = 1..4 its last N characters (all of
/// it when shorter) followed by "円". "1234567" gives 7円, 67円, 567円, 4567円.
std::vector<std::string> discountChoices(std::string_view quotedText);

/// The reduction D: the amount to be paid typed in `typed` (its leading integer, when not 0) takes
/// precedence and gives quoted − typed; else the chosen choice's leading number; else 0.
int64_t discountReduction(std::string_view typed, const std::optional<std::string>& choice, int64_t quoted);

/// Applies a reduction D at the rate: 車両価格2 falls by D × 100 ÷ (100 + rate), 車両価格3 follows,
/// an empty 車両項目2 becomes "値引き", line 3 is recalculated and a quoted amount ending in 1 or 9
/// is corrected by one yen. D of 0 changes nothing. Throws DiscountRefused or AmountTooLarge before
/// anything is written; otherwise the record is left in edit state with every figure written.
void applyDiscount(table::Cursor& cursor, int64_t reduction, int32_t rate);

}  // namespace vendaro::pricing

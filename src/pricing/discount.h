#pragma once
// The discount adjustment: bringing the quoted amount to the figure the dealer asks for (an amount
// typed, or the quote less a choice of its trailing digits) by changing the vehicle price
// adjustment line 車両価格2.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pricing/amounts.h"

namespace vendaro::pricing {

/// A discount that cannot be made (a figure asked for that is no amount or not above 0, a rate of
/// -100 or below). what() is the message for the person (CP932); nothing was changed.
class DiscountRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The four choices offered for a quoted amount text: for N = 1..4 its last N characters (all of
/// it when shorter) followed by "円". "1234567" gives 7円, 67円, 567円, 4567円.
std::vector<std::string> discountChoices(std::string_view quotedText);

/// The quote the dealer asks for. A figure typed in `typed` (read as amounts are typed, so
/// "1,200,000" is 1200000) takes precedence; a typed 0 or an empty box leaves the choice, which
/// asks for the quote less the number its text starts with. Nothing when neither asks for a
/// change. Throws DiscountRefused when `typed` holds text that is no amount; `boxCaption` (CP932)
/// names the box in that message.
std::optional<int64_t> discountTarget(std::string_view typed, const std::optional<std::string>& choice,
                                      int64_t quoted, std::string_view boxCaption);

/// Where an adjustment ended.
struct DiscountOutcome {
  int64_t asked = 0;    ///< the quote asked for
  int64_t reached = 0;  ///< the quote the estimate has now
  bool exact() const { return asked == reached; }
};

/// Brings 見積金額 to `target` at the rate: 車両価格2 becomes the whole-yen figure whose quote,
/// every tax computed at the rate, is exactly the target; when no figure gives it (the truncated
/// tax skips that yen), the one giving the nearest quote below it. 車両価格3 follows, an empty
/// 車両項目2 becomes "値引き". A target equal to the quote changes nothing. Throws DiscountRefused
/// for a target of 0 or below or a rate of -100 or below, AmountTooLarge when a figure leaves the
/// 32-bit range; in both cases before anything is written. Otherwise the record is left in edit
/// state with every figure written.
DiscountOutcome applyDiscount(table::Cursor& cursor, int64_t target, int32_t rate);

/// The status bar hint for an adjustment that could not end on the quote asked for (CP932).
std::string inexactDiscountHint(const DiscountOutcome& outcome);

}  // namespace vendaro::pricing

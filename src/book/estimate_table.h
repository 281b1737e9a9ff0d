#pragma once
// The estimate table: opening Estimate.DB and the hook that runs before every save.

#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/table/cursor.h"

namespace vendaro::book {

/// The item number of an estimate created on the date the text reads as (what the text lacks is
/// taken from `today`): year × 10000 + month × 100 + day. Throws TableError when that number does
/// not fit a 32-bit integer (a year beyond 214747).
int32_t itemNumberFor(std::string_view created, const Date& today);

/// The before-post hook: writes 項番 from 作成日 against today's date.
void deriveItemNumber(table::Cursor& cursor);

/// Opens (creating when missing) Estimate.DB in the CARDATA directory, with deriveItemNumber as its
/// before-post hook. The cursor is in the natural order, on the first record.
std::unique_ptr<table::Cursor> openEstimateTable(const std::string& cardataDirectory);

}  // namespace vendaro::book

#pragma once
// The data clean-up: deleting the estimates of a span of months.

#include "platform/table/cursor.h"

namespace vendaro::maintenance {

/// Switches the filter in force on and deletes every estimate it lets through, in one
/// transaction (on a failure nothing is deleted). Returns how many were deleted.
int deleteFilteredEstimates(table::Cursor& estimates);

}  // namespace vendaro::maintenance

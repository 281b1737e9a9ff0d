#pragma once
// Finding an estimate by a text that one of its fields contains, in the order and filter of the
// current view.

#include <string>
#include <string_view>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::book {

/// The fields offered for finding when "EsFind.INI" gives none, in CP932.
std::vector<std::string> defaultFindFields();

/// The field list of the find dialog: the lines of "EsFind.INI" in the program directory, or the
/// default list when the file is missing or has no lines.
std::vector<std::string> loadFindFields(const std::string& programDirectory);

/// Searches the view from record `from` forwards (or backwards) for the first estimate whose
/// field contains `text` as bytes, and moves there. When there is none, it moves to the last
/// record of the view (forwards) or the first (backwards) and returns false. An empty `from`
/// beyond the view finds nothing. Throws TableError for a field the table does not have.
bool findInView(table::Cursor& estimates, std::string_view field, std::string_view text, int from, bool forward);

/// "<field> の <text>は、見つかりませんでした。"
std::string notFoundMessage(std::string_view field, std::string_view text);

}  // namespace vendaro::book

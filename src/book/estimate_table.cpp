#include "book/estimate_table.h"

#include <climits>

#include "book/eradate.h"
#include "book/estimate_fields.h"
#include "platform/sjis.h"

namespace vendaro::book {

int32_t itemNumberFor(std::string_view created, const Date& today) {
  Date d = era::charToDate(created, today);
  int64_t number = int64_t{d.year} * 10000 + d.month * 100 + d.day;
  if (number > INT32_MAX || number < INT32_MIN)
    throw table::TableError(sjis::lit("作成日 '") + std::string(created) + sjis::lit("' の年が範囲外です"));
  return static_cast<int32_t>(number);
}

void deriveItemNumber(table::Cursor& cursor) {
  cursor.setInteger(kItemNumberField, itemNumberFor(cursor.text(kCreatedField), today()));
}

std::unique_ptr<table::Cursor> openEstimateTable(const std::string& cardataDirectory) {
  table::ensureDirectory(cardataDirectory);
  auto cursor = table::Cursor::open(cardataDirectory, estimateSchema());
  cursor->beforePost = deriveItemNumber;
  return cursor;
}

}  // namespace vendaro::book

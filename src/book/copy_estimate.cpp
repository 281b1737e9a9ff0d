#include "book/copy_estimate.h"

namespace vendaro::book {

CopyBuffer fillCopyBuffer(const table::Cursor& cursor, const std::vector<std::string>& names) {
  std::vector<int> fields;
  std::vector<bool> taken(static_cast<std::size_t>(cursor.schema().fieldCount()), false);
  for (const std::string& name : names) {
    int field = cursor.fieldIndex(name);
    if (taken[static_cast<std::size_t>(field)]) continue;
    taken[static_cast<std::size_t>(field)] = true;
    fields.push_back(field);
  }
  CopyBuffer buffer;
  buffer.values.reserve(fields.size());
  for (int field : fields) buffer.values.emplace_back(field, cursor.text(field));
  return buffer;
}

void pasteCopyBuffer(table::Cursor& cursor, const CopyBuffer& buffer) {
  cursor.append();
  try {
    for (const auto& [field, value] : buffer.values) cursor.setText(field, value);
  } catch (...) {
    cursor.cancel();
    throw;
  }
}

void copyEstimate(table::Cursor& cursor, const std::vector<std::string>& names) {
  pasteCopyBuffer(cursor, fillCopyBuffer(cursor, names));
}

}  // namespace vendaro::book

#pragma once
// The estimate record: the 123 fields of Estimate.DB in table order, written down once. This list
// drives the table's schema, the backup columns, the list page's columns and the sheet's bindings.

#include <string>
#include <vector>

#include "platform/table/schema.h"

namespace vendaro::book {

/// What a field holds.
enum class FieldKind {
  Integer,     ///< 項番: the creation date as one number
  EraDate,     ///< an era date text
  Text,        ///< free text
  Yen,         ///< whole yen typed by the user; empty reads as 0
  DerivedYen,  ///< whole yen the recalculation writes
  PlanYen,     ///< whole yen of an instalment plan, kept as typed
  Count,       ///< a small number picked from a list, kept as typed
};

/// One estimate field as the program knows it.
struct EstimateField {
  const char* nameUtf8;  ///< the field's name (UTF-8 in the source; name() gives the CP932 bytes)
  FieldKind kind;
  const char* control;   ///< the bound control on the estimate sheet ("" for none)
  bool readOnly;         ///< the bound control refuses typing
};

/// The 123 fields in table order.
const std::vector<EstimateField>& estimateFields();

/// The CP932 name of field i (0-based).
const std::string& estimateFieldName(int i);

/// The schema of Estimate.DB: the fields above (項番 and yen as integers, everything else as
/// text), the natural order 項番 ascending (ties in entry order) and the index "降順" (項番
/// descending, later entries first among equals).
const table::TableSchema& estimateSchema();

/// The name of the index that puts the newest estimates first, in CP932.
const std::string& descendingIndexName();

/// Field numbers (0-based) of the fields every estimate list uses: 作成日 and 氏名.
constexpr int kItemNumberField = 0;
constexpr int kCreatedField = 1;
constexpr int kNameField = 4;

}  // namespace vendaro::book

#pragma once
// The print item language: every print item of a layout is a short expression naming what to print
// (a field of the current estimate, a line of the company information or literal text) and how to
// shape it. The evaluator turns an item expression into the text to print, for the print run
// (print mode) and for the layout editor's preview (screen mode).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formprint/layout_tables.h"
#include "platform/table/cursor.h"

namespace vendaro::formprint {

/// Where the company items read the company information: the seven lines of the company dialog.
class CompanyFields {
 public:
  virtual ~CompanyFields() = default;
  /// Line 1..7: own address, company name, company name (second form), own telephone number,
  /// additional lines 1 to 3. CP932.
  virtual std::string companyLine(int line) const = 0;
};

/// Seven fixed lines (from "User.INI", or a test's).
class CompanyLines : public CompanyFields {
 public:
  explicit CompanyLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  std::string companyLine(int line) const override {
    return line >= 1 && static_cast<std::size_t>(line) <= lines_.size() ? lines_[static_cast<std::size_t>(line - 1)]
                                                                          : std::string();
  }

 private:
  std::vector<std::string> lines_;
};

/// Asks a yes/no question (CP932 text); true for Yes.
using Question = std::function<bool(const std::string& cp932Question)>;

/// Print mode (the print run; may ask, gives the shift count) or screen mode (the editor's
/// preview; never asks, gives the date flag).
enum class EvalMode { Print, Screen };

/// The result of an evaluation: the text to print and one number. From menuTextCheck the number
/// is the shift count (print mode: half-width cells to move the item right) or the date flag
/// (screen mode); from itemChange and changeItem it is the date flag (1 when the date blanking
/// took effect).
struct ItemValue {
  std::string text;
  int number = 0;
};

/// The entries of the editor's item list: the seven company items, the estimate fields from 作成日
/// on with 郵便番号全角 and 住所都道府県無 after the fields they derive from, and the nine
/// syntax templates. CP932.
const std::vector<std::string>& itemMenuEntries();

/// Evaluates item expressions against the current record of the estimate cursor, the company
/// fields and the current layout's date settings, all read afresh on every call. Changes nothing.
class ItemEvaluator {
 public:
  /// The sources must outlive the evaluator. `ask` answers the confirmation of "!" in print mode.
  ItemEvaluator(const table::Cursor& estimate, const CompanyFields& company, const LayoutDateSettings& layout,
                Question ask);

  /// The whole evaluation of an item expression.
  ItemValue menuTextCheck(std::string_view expression, EvalMode mode) const;

  /// The value of an expression: "@" text, or arithmetic with "*" "/" before "+" "-" on the values
  /// of its operands, or the item value of the whole text. A division by zero or a result beyond
  /// the signed 32-bit range gives an empty value.
  ItemValue itemChange(std::string_view expression) const;

  /// The item value of a text: a company item, "@" text, an estimate field (with the derived
  /// 郵便番号全角 and 住所都道府県無), or the text itself; then the date blanking unless the
  /// layout shows date units.
  ItemValue changeItem(std::string_view text) const;

 private:
  struct Value {
    std::string text;
    int dateFlag = 0;
    std::string lastOperand;  ///< what the question of "!" names
  };
  Value valueOf(std::string_view expression) const;
  void blankDates(std::string& r, int& dateFlag) const;
  bool chooseConversion(std::string_view expression, std::string& chosen) const;

  const table::Cursor& estimate_;
  const CompanyFields& company_;
  const LayoutDateSettings& layout_;
  Question ask_;
};

}  // namespace vendaro::formprint

#pragma once
// The list print without a printer: the text lines it sends (CP932, widths counted in bytes) and
// the run over the estimates that hands them, job by job, to a line stream.

#include <string>
#include <string_view>
#include <vector>

#include "listprint/list_settings.h"
#include "platform/clock.h"
#include "platform/table/cursor.h"

namespace vendaro::listprint {

/// The most filling blanks a cell, title or date indent gets.
constexpr int kBlankRun = 248;

/// How a column shows its field.
enum class ColumnKind {
  Text,    ///< left-aligned, cut to the width
  Amount,  ///< right-aligned, cut from the left, grouped when asked
};

/// The kind of the column of an estimate field (CP932 name).
ColumnKind columnKind(std::string_view fieldName);

/// `count` blanks, at most kBlankRun; none for a count of 0 or less.
std::string blanks(int count);

/// A text cell: the value padded with blanks and cut to `width` bytes (never more than kBlankRun
/// filling blanks); empty for a width of 0 or less. A cut through a two-byte character leaves a
/// blank in place of its first half.
std::string textCell(std::string_view value, int width);

/// Digit grouping of an amount as text: "," before the last six characters when the value is a
/// million or more in size, and before the last three when it is a thousand or more. Text that
/// is not a whole number is left as it is.
std::string groupDigits(std::string_view value);

/// An amount cell: the value (grouped when asked) behind the blank run, its last `width` bytes; empty
/// for a width of 0 or less. A cut through a two-byte character leaves a blank in place of its
/// second half.
std::string amountCell(std::string_view value, int width, bool grouping);

/// A rule line: "－" `length` times; empty for 0 or less.
std::string ruleLine(int length);

/// The date line: `position` blanks, then the date as 平成14年12月05日.
std::string dateLine(int position, const Date& date);

/// The title line: `position` blanks, then the title.
std::string titleLine(int position, std::string_view title);

/// One column of the list: the field's name, its kind and its width in bytes.
struct ListColumn {
  std::string field;
  ColumnKind kind;
  int width;
};

/// The heading line: every column's field name as a text cell.
std::string headingLine(const std::vector<ListColumn>& columns);

/// The line of the current estimate.
std::string estimateLine(const std::vector<ListColumn>& columns, const table::Cursor& estimates, bool grouping);

/// Where the list print sends its lines: a text print stream that breaks pages by itself.
class LineStream {
 public:
  virtual ~LineStream() = default;
  /// Starts a print job in the print font at `points`.
  virtual void open(int points) = 0;
  /// The font size of the lines that follow.
  virtual void setSize(int points) = 0;
  virtual void line(const std::string& cp932) = 0;
  /// Ends the print job.
  virtual void close() = 0;
};

/// The columns of a list print: the chosen fields (every field for the screen output), each with
/// its width from the current record of the print width table. Throws TableError
/// ("項目 '%s' が見つかりません") for a field the estimate table or the width table lacks.
std::vector<ListColumn> listColumns(const ListPrintSettings& settings, const table::Cursor& estimates,
                                    table::Cursor& widths);

/// The list print run: the current estimate, or every estimate of the view from the first. The
/// first job starts with the date and title lines (when set) and the heading; a new job starts
/// after every `perPage` estimates. The screen output runs as one job. Leaves the estimate table on
/// the last estimate printed (or at its end). Returns the number of estimates printed. Throws
/// TableError before anything is sent.
int runListPrint(table::Cursor& estimates, table::Cursor& widths, const ListPrintSettings& settings,
                 const Date& today, LineStream& out);

}  // namespace vendaro::listprint

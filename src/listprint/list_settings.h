#pragma once
// The list print settings and their two files: "EsPrint.INI" (print font, output choices, page and
// rule length, the two field lists) and "EsPrintPat.INI" (title and date lines, digit grouping).
// The settings dialog holds them in its controls; these are their stored form.

#include <string>

#include "book/field_lists.h"

namespace vendaro::listprint {

/// The print font as the settings file describes it.
struct PrintFont {
  int charset = 128;            ///< the Shift-JIS character set number
  int color = -2147483640;      ///< platform colour code: negative is a system colour (window text)
  int handle = 0;               ///< written for the record, never read back
  int height = -12;             ///< negative: character height in device units (9 pt at 96 dpi)
  std::string name;             ///< face name, CP932 ("ＭＳ 明朝" by default)
  int size = 9;                 ///< points; wins over the height
};

/// Which estimates a list print takes.
enum class OutputCount { CurrentOnly = 0, All = 1 };
/// What a list print puts out.
enum class OutputMethod { ChosenFields = 0, AllFieldsOnScreen = 1 };

/// Every list print setting. Number fields are kept as typed; the print reads them as integers.
struct ListPrintSettings {
  PrintFont font;
  OutputCount count = OutputCount::All;
  OutputMethod method = OutputMethod::ChosenFields;
  std::string perPage = "5";     ///< estimates per print job; 0 or not a number: one job
  std::string ruleLength = "40"; ///< full-width dashes in a rule line
  book::TwoLists fields;         ///< first: not printed; second: printed, in column order
  std::string title;
  std::string titlePosition;
  std::string titleSize;
  std::string datePosition;
  std::string dateSize;
  bool grouping = false;         ///< digit grouping commas in amount columns
};

/// The settings of a new installation: all records, 5 per page, chosen fields, rule length 40,
/// every field not printed, no title or date, no grouping, "ＭＳ 明朝" at 9 points.
ListPrintSettings defaultListPrintSettings();

constexpr const char* kPrintSettingsFile = "EsPrint.INI";
constexpr const char* kPrintPatternFile = "EsPrintPat.INI";

/// Reads both files from the program directory over `settings`: a missing file, or a missing line
/// at its end, leaves what `settings` held. The two lists are emptied and refilled whenever
/// "EsPrint.INI" exists. Throws FileError.
void loadListPrintSettings(const std::string& programDirectory, ListPrintSettings& settings);

/// The settings as a new installation has them, with both files read over them.
ListPrintSettings loadListPrintSettings(const std::string& programDirectory);

/// Rewrites both files whole. Throws FileError.
void saveListPrintSettings(const std::string& programDirectory, const ListPrintSettings& settings);

}  // namespace vendaro::listprint

#pragma once
// The postal-code directory: the table PostData.db filled from a national postal-code list, the
// column settings of the import ("PostData.INI"), and the direct lookup of a full address's code
// in "KEN_ALL.CSV".

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/table/cursor.h"

namespace vendaro::entry {

/// Field names of PostData.db (CP932).
extern const std::string kPostCodeField;  ///< 郵便番号７桁
extern const std::string kPostAddressField;  ///< 住所

/// PostData.db: 郵便番号７桁 and 住所, in entry order.
const table::TableSchema& postDataSchema();

/// Opens (creating when missing) PostData.db in the CARDATA directory.
std::unique_ptr<table::Cursor> openPostData(const std::string& cardataDirectory);

/// The import's columns (1-based): the postal code, then the three texts joined into the address.
using PostColumns = std::array<int, 4>;

/// The column numbers of "PostData.INI" in the program directory, each line by the leading-integer
/// reading; a missing file or line gives 0, which names no column. Throws FileError.
PostColumns readPostColumns(const std::string& programDirectory);

/// The fields of one line of an import file, cleaned: every field but the last that is
/// "以下に掲載がない場合" in double quotes, or that contains "一円", becomes empty; any other of them
/// that starts with a double quote loses its first and last character. The last is kept as it is.
std::vector<std::string> importFields(std::string_view line);

/// Replaces the whole contents of PostData.db with the lines of the file at `path`: one record per
/// line, the code from the first column and the address from the other three joined. A column
/// beyond the line's fields reads as empty; empty lines are skipped. All in one transaction: a
/// file that cannot be opened or read through throws FileError and leaves the table as it was.
/// Returns the number of records stored.
int importPostalFile(table::Cursor& postData, const std::string& path, const PostColumns& columns);

/// The postal code of a full address (prefecture, city, town, house number) found in the lines of
/// a national postal-code list, or the empty text. See postRead.
std::string lookupPostalCode(std::string_view listText, std::string_view address);

/// The postal code of a full address from "KEN_ALL.CSV" in the program directory, read anew on each
/// call; the empty text when the file is missing or nothing matches. Throws FileError when the file
/// exists but cannot be read.
///
/// The list is read line by line. A line's prefecture, when it occurs in the address, only cuts the
/// address after it; the first line whose city occurs in the address starts the city block, and the
/// first line after it whose city does not occur ends the reading. In the block, a town of "一円" or
/// "以下に掲載がない場合" gives the default code; a plain town that occurs in the rest of the address
/// is a candidate as long as the town; a town with a parenthesis is its prefix and a list of pieces
/// separated by ～ 、 ・ ("１～３丁目" a range of the number that follows the prefix in the address),
/// a candidate as long as the prefix and the matching piece; "（その他）" matches the prefix alone.
/// A parenthesis left open on one line is closed by the next line. The longest candidate wins, the
/// earliest among equals; else the default code.
std::string postRead(const std::string& programDirectory, std::string_view address);

}  // namespace vendaro::entry

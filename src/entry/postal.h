#pragma once
// The postal-code directory: the table PostData.db filled from a national postal-code list, the
// column settings of the import ("PostData.INI"), and the direct lookup of a full address's code
// in "KEN_ALL.CSV".

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
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

/// The national list's own columns: the code in 3; prefecture, city and town in 7, 8 and 9.
inline constexpr PostColumns kNationalColumns{3, 7, 8, 9};

/// The column numbers of "PostData.INI" in the program directory, each line by the leading-integer
/// reading. A missing file gives the national list's columns; a missing line of a short file gives
/// 0, which names no column. Throws FileError.
PostColumns readPostColumns(const std::string& programDirectory);

/// The fields of one line of an import file, cleaned: every field but the last that is
/// "以下に掲載がない場合" in double quotes, or that contains "一円", becomes empty; any other of them
/// that starts with a double quote loses its first and last character. The last is kept as it is.
std::vector<std::string> importFields(std::string_view line);

/// The bytes of a postal-code list as CP932: a list in UTF-8 (such as utf_ken_all.csv, told from
/// CP932 by its bytes) is converted, a character without a CP932 form becoming '?'; CP932 is kept.
std::string postalListText(std::string bytes);

/// An import refused because not one line of the file gave a postal code (a wrong file, or column
/// numbers that name no code); what() is the message for the user, in CP932.
class PostalImportRefused : public std::runtime_error {
 public:
  PostalImportRefused();
};

/// Told the share of the file read so far (0 to 1) now and then during an import.
using ImportProgress = std::function<void(double)>;

/// Replaces the whole contents of PostData.db with the lines of the file at `path` (CP932 or
/// UTF-8): one record per line, the code from the first column and the address from the other
/// three joined. A column beyond the line's fields reads as empty; empty lines are skipped. All in
/// one transaction: a file that cannot be opened or read through throws FileError, and one that
/// gives no code at all throws PostalImportRefused; either leaves the table as it was. Returns the
/// number of records stored.
int importPostalFile(table::Cursor& postData, const std::string& path, const PostColumns& columns,
                     const ImportProgress& progress = {});

/// The import as the dealer runs it: importPostalFile with the columns of "PostData.INI". When the
/// program directory has no such file, the national list's columns are used and, once the import
/// has succeeded, written to it for the next time.
int importPostalList(const std::string& programDirectory, table::Cursor& postData, const std::string& path,
                     const ImportProgress& progress = {});

/// The postal code of a full address (prefecture, city, town, house number) found in the lines of
/// a national postal-code list, or the empty text. See postRead.
std::string lookupPostalCode(std::string_view listText, std::string_view address);

/// The postal code of a full address from "KEN_ALL.CSV" in the program directory (CP932 or UTF-8),
/// read anew on each call; the empty text when the file is missing or nothing matches. Throws
/// FileError when the file exists but cannot be read.
///
/// Digits, Latin letters and hyphens read alike in full and half width, in the address and in the
/// list. The list is read line by line; a line without a city or a town is passed over. A line's
/// prefecture, when it occurs in the address, only cuts the address after it; the first line whose
/// city occurs in the address starts the city block, and the first line after it whose city does
/// not occur ends the reading. In the block, a town of "一円" or "以下に掲載がない場合" gives the
/// default code; a plain town that occurs in the rest of the address is a candidate as long as the
/// town. A town with a parenthesis is its prefix and a list of pieces separated by ～ 、 ・: the
/// numbers after the prefix in the address (丁目, 番, 号) must lie in a piece at each of its levels
/// ("１～３丁目", "４丁目１～１４番", "３丁目１８・２１番"), for a candidate as long as the prefix and the
/// piece; "その他", "大字" and a business district's "次のビルを除く" match the prefix alone. A
/// building of a business district ("大手町ＪＡビル（１０階）") matches only an address that names the
/// district and then the building, by its floor ("地階・階層不明" for a basement or no floor). A
/// parenthesis left open on one line runs on to the line that closes it. The longest candidate
/// wins, the earliest among equals; else the default code.
std::string postRead(const std::string& programDirectory, std::string_view address);

}  // namespace vendaro::entry

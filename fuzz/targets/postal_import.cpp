// Arbitrary bytes as the postal-code list: imported into a scratch PostData.db, and read by the
// direct lookup as "KEN_ALL.CSV". The first byte picks the import's columns (the national list's
// 3, 7, 8, 9, or four numbers from the next bytes, 0 and beyond the fields included).
//
// The import stores one record per line that is not empty, each code the field of its column
// (cleaned), and replaces what the table held. The lookup gives either nothing or a code that is
// one of the list's fields, and reads the file as it reads the same text.

#include <cstdio>

#include "entry/postal.h"
#include "fuzz_support.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"

using namespace vendaro;
using fuzz::check;

namespace {

void writeRaw(const std::string& path, std::string_view content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fuzz::fail("cannot write a scratch file");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

/// The lines of a text without their CR LF or LF ends, the empty ones left out.
std::vector<std::string_view> nonEmptyLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string dir = fuzz::scratchDirectory() + "/postal_import";
  static std::unique_ptr<table::Cursor> postData = [] {
    table::ensureDirectory(dir);
    auto c = entry::openPostData(dir + "/CARDATA");
    c->appendRecord({std::string("1000000"), sjis::lit("東京都千代田区")});
    return c;
  }();
  fuzz::Input in(data, size);
  entry::PostColumns columns{3, 7, 8, 9};
  if (in.byte() & 1)
    for (int& column : columns) column = in.byte() % 56;
  const std::string_view content = in.rest();
  const std::string path = joinPath(dir, "KEN_ALL.CSV");
  writeRaw(path, content);

  // A list in UTF-8 is read as its CP932 text.
  const std::string text = entry::postalListText(std::string(content));
  const std::vector<std::string_view> lines = nonEmptyLines(text);
  const int before = postData->recordCount();
  int stored = 0;
  try {
    stored = entry::importPostalFile(*postData, path, columns);
  } catch (const entry::PostalImportRefused&) {
    // Refused only when no line gives a code, and then nothing changed.
    for (std::string_view line : lines) {
      const std::vector<std::string> fields = entry::importFields(line);
      check(columns[0] < 1 || static_cast<std::size_t>(columns[0]) > fields.size() ||
                fields[static_cast<std::size_t>(columns[0] - 1)].empty(),
            "an import with a code was refused");
    }
    check(postData->recordCount() == before, "a refused import changed the table");
    return 0;
  }
  check(stored == static_cast<int>(lines.size()), "the import stored another number of records than lines");
  check(postData->recordCount() == stored, "the table holds more than the import stored");
  int r = 0;
  for (postData->first(); !postData->eof(); postData->next(), ++r) {
    const std::vector<std::string> fields = entry::importFields(lines[static_cast<std::size_t>(r)]);
    auto field = [&](int n) {
      return n >= 1 && static_cast<std::size_t>(n) <= fields.size() ? fields[static_cast<std::size_t>(n - 1)]
                                                                     : std::string();
    };
    check(postData->text(entry::kPostCodeField) == field(columns[0]), "a record's code is not its line's field");
    check(postData->text(entry::kPostAddressField) == field(columns[1]) + field(columns[2]) + field(columns[3]),
          "a record's address is not its line's fields joined");
  }

  // The lookup, with addresses made from the stored records and a few of its own.
  std::vector<std::string> addresses = {sjis::lit("東京都千代田区大手町１丁目１"), std::string(), text.substr(0, 40)};
  if (postData->recordCount() > 0) {
    postData->first();
    addresses.push_back(postData->text(entry::kPostAddressField) + sjis::lit("５丁目３－２"));
    postData->last();
    addresses.push_back(postData->text(entry::kPostAddressField) + sjis::lit("１２番地"));
  }
  for (const auto& address : addresses) {
    const std::string code = entry::postRead(dir, address);
    check(code == entry::lookupPostalCode(text, address), "the file and its text give other codes");
    check(code.empty() || text.find(code) != std::string::npos, "the lookup gave a code the list does not hold");
  }
  return 0;
}

// Arbitrary bytes as the estimate table's file in CARDATA (a file copied in from elsewhere, or
// damaged): it either opens, or is refused with the engine's message and left exactly as it was.
// A file that opens reads through in both orders, every integer field reading as a number or
// failing with the engine's message.

#include <cstdio>
#include <fstream>
#include <iterator>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "fuzz_support.h"
#include "platform/settings_file.h"
#include "platform/table/schema.h"

using namespace vendaro;
using fuzz::check;

namespace {

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string dir = [] {
    std::string d = fuzz::scratchDirectory() + "/table_file";
    table::ensureDirectory(d);
    return d;
  }();
  const std::string path = joinPath(dir, book::estimateSchema().fileName());
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::remove((path + suffix).c_str());
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) fuzz::fail("cannot write a scratch file");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  std::unique_ptr<table::Cursor> cursor;
  try {
    cursor = book::openEstimateTable(dir);
  } catch (const table::TableError&) {
    check(readWhole(path) == bytes, "a refused table file was changed");
    return 0;
  }
  try {
    const auto& schema = cursor->schema();
    for (const std::string& index : {std::string(), book::descendingIndexName()}) {
      cursor->setIndex(index);
      int seen = 0;
      for (cursor->first(); !cursor->eof(); cursor->next(), ++seen) {
        for (int f = 0; f < schema.fieldCount(); ++f) {
          cursor->text(f);
          if (schema.field(f).type == table::FieldType::Integer) {
            try {
              cursor->integer(f);
            } catch (const table::TableError&) {
            }
          }
        }
      }
      check(seen == cursor->recordCount(), "reading through gives another count than the view");
    }
  } catch (const table::TableError&) {
    // A file damaged past its first pages fails when read, with the engine's message.
  }
  return 0;
}

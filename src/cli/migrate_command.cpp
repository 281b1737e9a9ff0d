#include "cli/migrate_command.h"

#include <cstdio>
#include <stdexcept>

#include "book/estimate_fields.h"
#include "entry/postal.h"
#include "entry/register.h"
#include "formprint/layout_tables.h"
#include "listprint/print_widths.h"
#include "platform/table/copy_book.h"
#include "pricing/reference_tables.h"

namespace vendaro::cli {

const char* const kMigrateUsage =
    "  vendaro-cli migrate FROM TO                        copy every table of the book in FROM into an empty TO;\n"
    "                                                     each a table directory or postgresql://HOST/DBNAME\n";

int migrateCommand(const std::vector<std::string>& args) {
  if (args.size() != 2 || args[0].empty() || args[1].empty())
    throw std::invalid_argument("migrate needs: FROM TO");
  // Every table of the alias CARDATA, the sibling register's among them when the book has it.
  const std::vector<const table::TableSchema*> schemas = {
      &book::estimateSchema(),       &formprint::layoutDataSchema(), &formprint::layoutPosXSchema(),
      &formprint::layoutPosYSchema(), &formprint::layoutSizeSchema(), &entry::postDataSchema(),
      &listprint::printWidthSchema(), &pricing::carTaxSchema(),       &pricing::carInsureSchema(),
      &entry::registerSchema(),
  };
  for (const auto& [name, count] : table::copyBook(args[0], args[1], schemas))
    std::printf("%s %lld\n", name.c_str(), static_cast<long long>(count));
  return 0;
}

}  // namespace vendaro::cli

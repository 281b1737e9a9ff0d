#pragma once
// vendaro-cli migrate: moves a whole book between a table directory and a database.

#include <string>
#include <vector>

namespace vendaro::cli {

/// The usage lines of the command.
extern const char* const kMigrateUsage;

/// Runs `migrate FROM TO` (the arguments after "migrate"): copies every table of the book in FROM
/// into TO, each a table directory or a PostgreSQL connection (postgresql://host/dbname, or a
/// libpq service "service=NAME"), refusing a TO that holds any record. Prints each table copied
/// with its record count. Throws std::invalid_argument for a mistake in the arguments and the
/// system's errors (CP932 messages) as they are.
int migrateCommand(const std::vector<std::string>& args);

}  // namespace vendaro::cli

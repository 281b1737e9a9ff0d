// vendaro-cli migrate: a book moved from its table directory into a database and back, as a
// dealership does when a second seat joins.
#include <gtest/gtest.h>

#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "pricing/reference_tables.h"
#include "support/cli_run.h"
#include "support/estimate_samples.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace vendaro {
namespace {

std::string in(const std::string& location) { return "VENDARO_CARDATA='" + location + "'"; }

/// Every record of a table in its natural order, each value with its kind.
std::vector<std::string> records(const std::string& location, const table::TableSchema& schema) {
  auto cursor = table::Cursor::open(location, schema);
  std::vector<std::string> out;
  cursor->scanView(1, [&](const std::vector<table::Value>& row) {
    std::string line;
    for (const auto& v : row)
      line += v.isNull() ? "|null" : v.kind == table::Value::Kind::Int ? "|" + std::to_string(v.integer) : "|t:" + v.text;
    out.push_back(line);
  });
  return out;
}

class MigrateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    auto estimates = book::openEstimateTable(cardata());
    test::appendHardEstimates(*estimates, 40);
    auto tax = table::Cursor::open(cardata(), pricing::carTaxSchema());
    for (int i = 0; i < 3; ++i) {
      tax->append();
      for (int f = 0; f < tax->schema().fieldCount(); ++f)
        if (tax->schema().field(f).type == table::FieldType::Integer) tax->setInteger(f, 1000 * i - f);
        else if (i != 1) tax->setText(f, sjis::lit("軽自動車") + std::to_string(f));
      tax->post();
    }
  }
  std::string cardata() const { return dir.file("CARDATA"); }

  test::TempDir dir;
  test::PgDatabase db;
};

TEST_F(MigrateCommand, ABookMovedIntoADatabaseAndBackDumpsTheSame) {
  test::CliRun before = test::runCli(dir.path(), "dump", "", " 2>/dev/null");
  ASSERT_EQ(before.status, 0);
  ASSERT_GT(before.out.size(), 4000u);

  test::CliRun there = test::runCli(dir.path(), "migrate CARDATA '" + db.uri() + "'");
  ASSERT_EQ(there.status, 0) << there.out;
  EXPECT_NE(there.out.find("Estimate.DB 40\n"), std::string::npos) << there.out;
  EXPECT_NE(there.out.find("CarTax.db 3\n"), std::string::npos) << there.out;
  EXPECT_EQ(there.out.find("INDATA.db"), std::string::npos) << "a table the book lacks is left out";

  test::CliRun shared = test::runCli(dir.path(), "dump", in(db.uri()), " 2>/dev/null");
  EXPECT_EQ(shared.status, 0);
  EXPECT_EQ(shared.out, before.out);

  test::CliRun back = test::runCli(dir.path(), "migrate '" + db.uri() + "' back", "", " 2>&1");
  ASSERT_EQ(back.status, 0) << back.out;
  test::CliRun after = test::runCli(dir.path(), "dump", in(dir.file("back")), " 2>/dev/null");
  EXPECT_EQ(after.out, before.out);

  // Every value, with its kind and in entry order among equal keys, of the other tables too.
  for (const table::TableSchema* schema : {&book::estimateSchema(), &pricing::carTaxSchema()}) {
    SCOPED_TRACE(schema->fileName());
    std::vector<std::string> original = records(cardata(), *schema);
    EXPECT_EQ(records(db.uri(), *schema), original);
    EXPECT_EQ(records(dir.file("back"), *schema), original);
  }
}

TEST_F(MigrateCommand, ATargetThatIsNotEmptyAndOtherMistakesAreRefused) {
  ASSERT_EQ(test::runCli(dir.path(), "migrate CARDATA '" + db.uri() + "'").status, 0);
  test::TempDir empty;
  struct Case {
    const char* label;
    std::string args;
    int status;
    const char* message;
  } cases[] = {
      {"into a book that has records", "migrate CARDATA '" + db.uri() + "'", 1, "は空ではありません"},
      {"from the database into the directory it came from", "migrate '" + db.uri() + "' CARDATA", 1, "は空ではありません"},
      {"from a place without tables", "migrate '" + empty.path() + "' elsewhere", 1, "テーブルがありません"},
      {"into itself", "migrate CARDATA CARDATA", 1, "同じです"},
      {"with one place only", "migrate CARDATA", 2, "migrate needs"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.label);
    test::CliRun run = test::runCli(dir.path(), k.args);
    EXPECT_EQ(run.status, k.status) << run.out;
    EXPECT_NE(run.out.find(k.message), std::string::npos) << run.out;
  }
  // Nothing was added anywhere.
  EXPECT_EQ(records(db.uri(), book::estimateSchema()).size(), 40u);
  EXPECT_EQ(records(cardata(), book::estimateSchema()).size(), 40u);
}

}  // namespace
}  // namespace vendaro

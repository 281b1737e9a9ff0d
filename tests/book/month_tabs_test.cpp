#include "book/month_tabs.h"

#include <gtest/gtest.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::book {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }

// Every name a table can hold, typed or restored from an old backup, gives a "個人" filter that
// selects exactly the estimates with that name: no more (a prefix match), no fewer, and never a
// filter the table refuses to read.
TEST(PersonFilter, EveryStoredNameSelectsExactlyItsOwnEstimates) {
  const std::string yamada = cp("山田");
  const std::string names[] = {
      "O'Brien",
      "'",
      yamada,
      yamada + cp("太郎"),
      yamada + "*",             // a star is a prefix match only in the month tabs
      yamada + "\x82",          // a lead byte with no second byte, as a cut-off restore leaves it
      "\x82",
      "\x82'X",                 // a lead byte before a quote: the quote is a character of its own
      "A\x82'",                 // ... also at the very end
      "",
  };
  test::TempDir dir;
  auto c = openEstimateTable(dir.path());
  // Each name twice, so that a filter has something to count.
  for (int copy = 0; copy < 2; ++copy)
    for (const std::string& name : names) {
      c->append();
      c->setText(kNameField, name);
      c->post();
    }
  c->setFiltered(true);
  for (const std::string& name : names) {
    SCOPED_TRACE(sjis::toUtf8(name));
    ASSERT_NO_THROW(c->setFilter(personFilter(name)));
    EXPECT_EQ(c->recordCount(), 2);
    for (c->first(); !c->eof(); c->next()) EXPECT_EQ(c->text(kNameField), name);
  }
}

}  // namespace
}  // namespace vendaro::book

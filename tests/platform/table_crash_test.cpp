// Crash safety of the tables: a child process works through a plan of committed steps on the
// estimate table (single posts, edits, deletions, and bulk steps of several records in one
// transaction) and is killed with SIGKILL at a random moment. After every kill the table must open,
// pass SQLite's integrity check, and hold exactly the state before or after the step the child
// was in, never a mixture.
//
// The bulk steps stand for the bulk work to come: the CSV restore and the postal-code import get
// their own plans here (a restore file, a postal file) when they land.
//
// Each run does a few rounds; VENDARO_CRASH_ROUNDS=200 (see the README) runs the long version.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "support/temp_dir.h"

namespace vendaro::table {
namespace {

/// Every field of a record as text, 項番 left out (the before-post hook writes it), keyed by 氏名.
using Record = std::vector<std::string>;
using State = std::map<std::string, Record>;

/// One write to one record: a record put (edited when its key is there, appended otherwise) or
/// removed.
struct Operation {
  std::string key;
  bool remove = false;
  std::vector<std::pair<int, std::string>> fields;
};

/// One committed step: a single operation is its own post; several run in one transaction.
using Step = std::vector<Operation>;

State applyStep(State state, const Step& step) {
  const int n = book::estimateSchema().fieldCount();
  for (const auto& op : step) {
    if (op.remove) {
      state.erase(op.key);
      continue;
    }
    auto [it, added] = state.try_emplace(op.key, Record(static_cast<std::size_t>(n)));
    if (added) it->second[book::kNameField] = op.key;
    for (const auto& [field, value] : op.fields) it->second[static_cast<std::size_t>(field)] = value;
  }
  return state;
}

/// A plan of steps from a state, with values that test the storage: Japanese text, half-width
/// kana, quotes, commas and line ends, bytes that are not valid CP932, amounts at both ends of
/// the 32-bit range, and empty fields.
std::vector<Step> makePlan(const State& start, std::mt19937& rng, int round, int length) {
  const auto& schema = book::estimateSchema();
  const std::string texts[] = {sjis::lit("山田　太郎"), sjis::lit("ｿｱﾗ ﾊﾞﾝ"), std::string(),
                               std::string("\x82", 1), sjis::lit("東京都港区１－２－３"), "O'Brien, \"Jr\"\r\n",
                               std::string(300, 'x')};
  const std::string amounts[] = {"-500", "0", "2147483647", "-2147483648", "1234567", ""};
  const std::string dates[] = {sjis::lit("平成１５年０３月２０日"), sjis::lit("令和０６年０２月２９日"),
                               sjis::lit("昭和６４年０１月０７日")};
  auto pick = [&rng](const auto& pool) { return pool[rng() % std::size(pool)]; };

  std::vector<int> fields;
  for (int i = 1; i < schema.fieldCount(); ++i)
    if (i != book::kNameField && i != book::kCreatedField) fields.push_back(i);

  State state = start;
  int next = 0;
  auto newKey = [&] {
    char key[32];
    std::snprintf(key, sizeof key, "K%04d-%04d", round, next++);  // all keys alike in length: none a prefix of another
    return std::string(key);
  };
  auto anyKey = [&]() -> std::string {
    if (state.empty()) return newKey();
    auto it = state.begin();
    std::advance(it, static_cast<long>(rng() % state.size()));
    return it->first;
  };
  auto put = [&](std::string key) {
    Operation op{std::move(key), false, {}};
    if (!state.count(op.key)) op.fields.emplace_back(book::kCreatedField, pick(dates));
    for (int k = 0, count = 1 + static_cast<int>(rng() % 12); k < count; ++k) {
      const int f = fields[rng() % fields.size()];
      op.fields.emplace_back(f, schema.field(f).type == FieldType::Integer ? pick(amounts) : pick(texts));
    }
    return op;
  };

  std::vector<Step> plan;
  for (int s = 0; s < length; ++s) {
    Step step;
    const unsigned kind = rng() % 10;
    if (kind < 4) {
      step.push_back(put(newKey()));
    } else if (kind < 6) {
      step.push_back(put(anyKey()));
    } else if (kind < 7) {
      step.push_back(Operation{anyKey(), true, {}});
    } else {
      for (int k = 0, count = 3 + static_cast<int>(rng() % 6); k < count; ++k)
        step.push_back(rng() % 5 == 0 ? Operation{anyKey(), true, {}} : put(rng() % 2 ? newKey() : anyKey()));
    }
    state = applyStep(state, step);
    plan.push_back(std::move(step));
  }
  return plan;
}

std::string estimateNameField() { return book::estimateFieldName(book::kNameField); }

/// Runs the plan on the table, reporting each committed step's number on `progress`. Never returns.
[[noreturn]] void runPlan(const std::string& dir, const std::vector<Step>& plan, int progress) {
  try {
    auto cursor = book::openEstimateTable(dir);
    auto run = [&cursor](const Operation& op) {
      const bool found = cursor->locate(estimateNameField(), op.key);
      if (op.remove) {
        if (found) cursor->remove();
        return;
      }
      if (found) {
        cursor->edit();
      } else {
        cursor->append();
        cursor->setText(book::kNameField, op.key);
      }
      for (const auto& [field, value] : op.fields) cursor->setText(field, value);
      cursor->post();
    };
    for (std::size_t s = 0; s < plan.size(); ++s) {
      if (plan[s].size() == 1) {
        run(plan[s][0]);
      } else {
        Transaction bulk(*cursor);
        for (const auto& op : plan[s]) run(op);
        bulk.commit();
      }
      const int done = static_cast<int>(s) + 1;
      if (::write(progress, &done, sizeof done) != sizeof done) ::_exit(4);
    }
  } catch (...) {
    ::_exit(3);
  }
  ::pause();  // the whole plan is done: wait for the kill
  ::_exit(0);
}

/// SQLite's own check of the file: "ok" when sound.
std::string integrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
      result.clear();
      while (sqlite3_step(st) == SQLITE_ROW) result += reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return result;
}

/// What the table holds, in the form of the plan's states; checks 項番 on the way.
State readTable(const std::string& dir) {
  auto cursor = book::openEstimateTable(dir);
  State state;
  const int n = cursor->schema().fieldCount();
  for (cursor->first(); !cursor->eof(); cursor->next()) {
    Record record(static_cast<std::size_t>(n));
    for (int i = 1; i < n; ++i) record[static_cast<std::size_t>(i)] = cursor->text(i);
    EXPECT_EQ(cursor->integer(book::kItemNumberField), book::itemNumberFor(record[book::kCreatedField], today()))
        << "item number of " << record[book::kNameField];
    const std::string key = record[book::kNameField];
    EXPECT_TRUE(state.emplace(key, std::move(record)).second) << "two records named " << key;
  }
  return state;
}

int crashRounds() {
  const char* env = std::getenv("VENDARO_CRASH_ROUNDS");
  const int rounds = env ? std::atoi(env) : 0;
  return rounds > 0 ? rounds : 12;
}

TEST(TableCrash, AKilledWriterLeavesTheStateBeforeOrAfterEachCommittedStep) {
  test::TempDir dir;
  const std::string path = dir.file(book::estimateSchema().fileName());
  std::mt19937 rng(20240601);
  State state;  // what the table holds between rounds
  const int rounds = crashRounds();
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<Step> plan = makePlan(state, rng, round, 40);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(pipeFds[0]);
      runPlan(dir.path(), plan, pipeFds[1]);
    }
    ::close(pipeFds[1]);
    // Kill after a random number of committed steps (none: while the table is being created or
    // opened) and a random part of the next one, whatever the speed of the disk.
    const int target = static_cast<int>(rng() % 10);
    int done = 0;
    for (int n; done < target && ::read(pipeFds[0], &n, sizeof n) == sizeof n;) done = n;
    ::usleep(static_cast<useconds_t>(rng() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed, exit " << WEXITSTATUS(status);
    for (int n; ::read(pipeFds[0], &n, sizeof n) == sizeof n;) done = n;
    ::close(pipeFds[0]);

    if (fileExists(path)) {
      ASSERT_EQ(integrityCheck(path), "ok");
    }
    const State found = readTable(dir.path());
    State before = state;
    for (int s = 0; s < done; ++s) before = applyStep(before, plan[static_cast<std::size_t>(s)]);
    if (found == before) {
      state = std::move(before);
    } else {
      ASSERT_LT(done, static_cast<int>(plan.size())) << "the table differs from the finished plan";
      State after = applyStep(before, plan[static_cast<std::size_t>(done)]);
      ASSERT_TRUE(found == after) << "after " << done << " committed steps the table holds neither that state nor the next";
      state = std::move(after);
    }
  }
}

}  // namespace
}  // namespace vendaro::table

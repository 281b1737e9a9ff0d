// Crash safety of the tables: a child process works through a plan of committed steps on the
// estimate table (single posts, edits, deletions, and bulk steps of several records in one
// transaction) and is killed with SIGKILL at a random moment. After every kill the table must open,
// pass SQLite's integrity check, and hold exactly the state before or after the step the child
// was in, never a mixture.
//
// The same for the two kinds of bulk work: CSV restores (replacing the estimates, appending to
// them, and one that stops at a bad value and changes nothing) and postal-code imports, each one
// transaction.
//
// And a backup killed while it writes: the backup file of that name is always the whole previous
// one, and the next backup leaves nothing of the killed one behind.
//
// Each run does a few rounds; VENDARO_CRASH_ROUNDS=200 (see the README) runs the long version.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "book/estimate_fields.h"
#include "book/estimate_table.h"
#include "book/field_lists.h"
#include "entry/postal.h"
#include "maintenance/backup.h"
#include "maintenance/restore.h"
#include "platform/settings_file.h"
#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "support/failing_disk.h"
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

/// Forks a child that runs `work` (reporting each committed step's number on the pipe it is given;
/// it must never return) and kills it with SIGKILL after a random number (below `maxTarget`) of
/// committed steps and a random part of the next one. Returns the number of steps the child
/// reported as committed, or -1 when it ended before it was killed.
int killWhileWorking(std::mt19937& rng, int maxTarget, unsigned maxDelayUs, const std::function<void(int)>& work) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::close(pipeFds[0]);
    work(pipeFds[1]);
    ::_exit(5);
  }
  ::close(pipeFds[1]);
  const int target = static_cast<int>(rng() % static_cast<unsigned>(maxTarget));
  int done = 0;
  for (int n; done < target && ::read(pipeFds[0], &n, sizeof n) == sizeof n;) done = n;
  ::usleep(static_cast<useconds_t>(rng() % maxDelayUs));
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  for (int n; ::read(pipeFds[0], &n, sizeof n) == sizeof n;) done = n;
  ::close(pipeFds[0]);
  return WIFSIGNALED(status) ? done : -1;
}

/// Tells the parent that `done` steps are committed.
void reportStep(int progress, int done) {
  if (::write(progress, &done, sizeof done) != sizeof done) ::_exit(4);
}

int crashRounds() {
  const char* env = std::getenv("VENDARO_CRASH_ROUNDS");
  const int rounds = env ? std::atoi(env) : 0;
  return rounds > 0 ? rounds : 12;
}

/// Rounds of the bulk plans, whose steps take longer: fewer in the normal run.
int bulkRounds() { return std::getenv("VENDARO_CRASH_ROUNDS") ? crashRounds() : 5; }

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

// --- Restores ----------------------------------------------------------------------------------

/// One restore: its file's estimates, whether it appends (分割 in its name), and whether its last
/// line holds a value its field cannot take, so that it stops and changes nothing.
struct RestoreStep {
  State estimates;
  bool append = false;
  bool failing = false;
};

State applyRestore(const State& state, const RestoreStep& step) {
  if (step.failing) return state;
  State out = step.append ? state : State();
  for (const auto& [key, record] : step.estimates) out[key] = record;
  return out;
}

/// Restore steps whose estimates have fresh names and values that read back (no comma, CR or LF).
std::vector<RestoreStep> makeRestorePlan(std::mt19937& rng, int round, int length) {
  const auto& schema = book::estimateSchema();
  const std::string texts[] = {sjis::lit("山田　太郎"), sjis::lit("ｿｱﾗ ﾊﾞﾝ"), std::string(), std::string("\x82", 1),
                               sjis::lit("東京都港区１－２－３"), "O'Brien \"Jr\"", std::string(200, 'x')};
  const std::string amounts[] = {"-500", "0", "2147483647", "-2147483648", "1234567", ""};
  const std::string dates[] = {sjis::lit("平成１５年０３月２０日"), sjis::lit("令和０６年０２月２９日")};
  auto pick = [&rng](const auto& pool) { return pool[rng() % std::size(pool)]; };
  std::vector<RestoreStep> plan;
  for (int s = 0; s < length; ++s) {
    RestoreStep step;
    const unsigned kind = rng() % 6;
    step.append = kind >= 3;
    step.failing = kind == 5;
    for (int k = 0, count = 60 + static_cast<int>(rng() % 120); k < count; ++k) {
      char key[32];
      std::snprintf(key, sizeof key, "R%04d-%02d-%04d", round, s, k);
      Record record(static_cast<std::size_t>(schema.fieldCount()));
      for (int f = 1; f < schema.fieldCount(); ++f)
        record[static_cast<std::size_t>(f)] = schema.field(f).type == FieldType::Integer ? pick(amounts) : pick(texts);
      record[book::kCreatedField] = pick(dates);
      record[book::kNameField] = key;
      step.estimates.emplace(key, std::move(record));
    }
    plan.push_back(std::move(step));
  }
  return plan;
}

/// Writes the step's restore file in the backup's form and returns its path.
std::string writeRestoreFile(const std::string& dir, const RestoreStep& step, int number) {
  const auto& columns = book::chooserFieldNames();
  std::vector<int> fields;
  for (const auto& name : columns) fields.push_back(book::estimateSchema().find(name));
  const std::string path =
      joinPath(dir, std::string(step.append ? "見積分割" : "見積") + std::to_string(number) + ".CSV");
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
  out << "\r\n";
  for (const auto& [key, record] : step.estimates) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << record[static_cast<std::size_t>(fields[i])];
    out << "\r\n";
  }
  if (step.failing) out << sjis::lit("平成１５年０３月２０日,令和,x,y,z,0,0,0,0,0,0,0,0,0,0,0,0,letters") << "\r\n";
  return path;
}

TEST(TableCrash, AKilledRestoreLeavesTheEstimatesBeforeOrAfterIt) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  std::mt19937 rng(20240602);
  State state;
  for (int round = 0, rounds = bulkRounds(); round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<RestoreStep> plan = makeRestorePlan(rng, round, 5);
    std::vector<std::string> files;
    for (std::size_t s = 0; s < plan.size(); ++s) files.push_back(writeRestoreFile(dir.path(), plan[s], static_cast<int>(s)));

    const int done = killWhileWorking(rng, 4, 15000, [&](int progress) {
      try {
        auto estimates = book::openEstimateTable(cardata);
        for (std::size_t s = 0; s < files.size(); ++s) {
          maintenance::RestoreReport report;
          try {
            if (maintenance::runRestore(*estimates, files[s], nullptr, report) != maintenance::RestoreOutcome::Done)
              ::_exit(6);
          } catch (const maintenance::RestoreError&) {
            if (!plan[s].failing) ::_exit(7);
          }
          reportStep(progress, static_cast<int>(s) + 1);
        }
      } catch (...) {
        ::_exit(3);
      }
      for (;;) ::pause();
    });
    ASSERT_GE(done, 0) << "the restoring child failed before it was killed";

    const std::string path = joinPath(cardata, book::estimateSchema().fileName());
    if (fileExists(path)) {
      ASSERT_EQ(integrityCheck(path), "ok");
    }
    const State found = readTable(cardata);
    State before = state;
    for (int s = 0; s < done; ++s) before = applyRestore(before, plan[static_cast<std::size_t>(s)]);
    if (found == before) {
      state = std::move(before);
    } else {
      ASSERT_LT(done, static_cast<int>(plan.size())) << "the table differs from the finished restores";
      State after = applyRestore(before, plan[static_cast<std::size_t>(done)]);
      ASSERT_TRUE(found == after) << "after " << done << " restores the table holds neither that state nor the next";
      state = std::move(after);
    }
  }
}

// --- Backups -----------------------------------------------------------------------------------

std::string fileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TableCrash, AKilledBackupLeavesThePreviousBackupWholeAndTheNextOneCleansUp) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  const std::string target = dir.file("見積.CSV");
  {
    auto estimates = book::openEstimateTable(cardata);
    Transaction bulk(*estimates);
    for (int n = 0; n < 3000; ++n) {
      estimates->append();
      estimates->setText(book::kCreatedField, sjis::lit("令和０８年１２月０１日"));
      estimates->setText(book::kNameField, "B" + std::to_string(n));
      estimates->setText(sjis::lit("住所"), sjis::lit("東京都港区１－２－３"));
      estimates->post();
    }
    bulk.commit();
  }
  auto backup = [&] {
    auto estimates = book::openEstimateTable(cardata);
    estimates->setIndex(book::descendingIndexName());
    maintenance::writeBackup(*estimates, target, false);
  };
  backup();
  const std::string whole = fileContent(target);
  ASSERT_GT(whole.size(), 1u << 18);  // long enough to be killed in the middle of

  std::mt19937 rng(20240604);
  for (int round = 0, rounds = bulkRounds(); round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const int done = killWhileWorking(rng, 3, 200000, [&](int progress) {
      try {
        for (int n = 1;; ++n) {
          backup();
          reportStep(progress, n);
        }
      } catch (...) {
        ::_exit(3);
      }
    });
    ASSERT_GE(done, 0) << "the backing-up child failed before it was killed";
    ASSERT_TRUE(fileContent(target) == whole) << "the backup of that name is not whole after the kill";
    // What the killed writer left beside it goes with the next backup.
    backup();
    EXPECT_EQ(test::namesIn(dir.path()), (std::vector<std::string>{"CARDATA", "見積.CSV"}));
  }
}

// --- Postal-code imports -----------------------------------------------------------------------

using PostRows = std::vector<std::pair<std::string, std::string>>;

PostRows readPostData(const std::string& cardata) {
  auto table = entry::openPostData(cardata);
  PostRows rows;
  for (table->first(); !table->eof(); table->next())
    rows.emplace_back(table->text(entry::kPostCodeField), table->text(entry::kPostAddressField));
  return rows;
}

TEST(TableCrash, AKilledPostalImportLeavesTheDirectoryBeforeOrAfterIt) {
  test::TempDir dir;
  const std::string cardata = dir.file("CARDATA");
  const entry::PostColumns columns{3, 7, 8, 9};
  // Three lists in the national layout, of different lengths and contents, and what each gives.
  std::vector<std::string> files;
  std::vector<PostRows> imported;
  for (int list = 0; list < 3; ++list) {
    const std::string path = dir.file("KEN" + std::to_string(list) + ".CSV");
    {
      std::ofstream out(path, std::ios::binary);
      for (int n = 0, count = 1500 + 700 * list; n < count; ++n)
        out << "13101,\"100  \",\"" << 1000000 + list * 100000 + n << "\",\"" << sjis::lit("ﾄｳｷｮｳﾄ") << "\",\"\",\"\",\""
            << sjis::lit("東京都") << "\",\"" << sjis::lit(list == 1 ? "港区" : "千代田区") << "\",\""
            << sjis::lit("大手町") << n << "\",0,0,0,0,0,0\r\n";
    }
    test::TempDir reference;
    auto table = entry::openPostData(reference.file("CARDATA"));
    entry::importPostalFile(*table, path, columns);
    table.reset();
    imported.push_back(readPostData(reference.file("CARDATA")));
    files.push_back(path);
  }

  std::mt19937 rng(20240603);
  PostRows state;
  for (int round = 0, rounds = bulkRounds(); round < rounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<int> plan;
    for (int s = 0; s < 5; ++s) plan.push_back(static_cast<int>(rng() % files.size()));
    const int done = killWhileWorking(rng, 4, 12000, [&](int progress) {
      try {
        auto table = entry::openPostData(cardata);
        for (std::size_t s = 0; s < plan.size(); ++s) {
          entry::importPostalFile(*table, files[static_cast<std::size_t>(plan[s])], columns);
          reportStep(progress, static_cast<int>(s) + 1);
        }
      } catch (...) {
        ::_exit(3);
      }
      for (;;) ::pause();
    });
    ASSERT_GE(done, 0) << "the importing child failed before it was killed";

    const std::string path = joinPath(cardata, entry::postDataSchema().fileName());
    if (fileExists(path)) {
      ASSERT_EQ(integrityCheck(path), "ok");
    }
    const PostRows found = readPostData(cardata);
    const PostRows before = done > 0 ? imported[static_cast<std::size_t>(plan[static_cast<std::size_t>(done - 1)])] : state;
    if (found == before) {
      state = before;
    } else {
      ASSERT_LT(done, static_cast<int>(plan.size())) << "the table differs from the last import";
      const PostRows& after = imported[static_cast<std::size_t>(plan[static_cast<std::size_t>(done)])];
      ASSERT_TRUE(found == after) << "after " << done << " imports the table holds neither that list nor the next ("
                                  << found.size() << " rows)";
      state = after;
    }
  }
}

}  // namespace
}  // namespace vendaro::table

#include "platform/table/cursor.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sjis.h"
#include "support/pg_server.h"
#include "support/temp_dir.h"

namespace vendaro::table {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }
std::string utf8(const std::string& cp932) { return sjis::toUtf8(cp932); }

// A small table shaped like the estimate table: a number that orders it, texts and an amount.
const TableSchema& schema() {
  static const TableSchema s("Test.DB",
                             {{cp("番号"), FieldType::Integer, 8, false},
                              {cp("名前"), FieldType::Text, 20, true},
                              {cp("日付"), FieldType::Text, 22, true},
                              {cp("金額"), FieldType::Integer, 10, true}},
                             {{0, false}}, {{cp("降順"), {{0, true}}, true}}, {1, 2});
  return s;
}

// The two homes of a table: files in a directory, and a database on a server.
enum class Home { Files, Server };

class TableCases {
 protected:
  virtual ~TableCases() = default;
  /// Where the tables of this test live.
  virtual std::string place() { return dir.path(); }
  std::unique_ptr<Cursor> open() { return Cursor::open(place(), schema()); }

  /// Adds records given as number, name, date (UTF-8), amount ("" leaves it empty).
  void add(Cursor& c, int number, const char* name, const char* date = "", const char* amount = "") {
    c.append();
    c.setInteger(0, number);
    c.setText(1, cp(name));
    c.setText(2, cp(date));
    c.setText(3, amount);
    c.post();
  }

  /// Names of the view from first to last.
  static std::vector<std::string> names(Cursor& c) {
    std::vector<std::string> out;
    for (c.first(); !c.eof(); c.next()) out.push_back(utf8(c.text(1)));
    return out;
  }

  test::TempDir dir;
};

// The cases every home passes alike.
class TableTest : public TableCases, public ::testing::TestWithParam<Home> {
 protected:
  std::string place() override {
    if (GetParam() == Home::Files) return dir.path();
    if (!database_) database_ = std::make_unique<test::PgDatabase>();
    return database_->uri();
  }

 private:
  std::unique_ptr<test::PgDatabase> database_;
};

INSTANTIATE_TEST_SUITE_P(Homes, TableTest, ::testing::Values(Home::Files, Home::Server),
                         [](const ::testing::TestParamInfo<Home>& info) {
                           return info.param == Home::Files ? "Files" : "Server";
                         });

// What only a table file has: a file's own faults and the lock that keeps a second process out.
class TableFileTest : public TableCases, public ::testing::Test {};

TEST_P(TableTest, AMissingTableIsCreatedEmptyAndKeepsWhatIsPosted) {
  {
    auto c = open();
    EXPECT_EQ(c->recordCount(), 0);
    EXPECT_TRUE(c->eof());
    EXPECT_TRUE(c->bof());
    EXPECT_EQ(c->recNo(), 0);
    EXPECT_EQ(c->text(1), "");
    EXPECT_EQ(c->integer(3), 0);
    add(*c, 1, "佐藤", "", "1200");
  }
  auto c = open();
  ASSERT_EQ(c->recordCount(), 1);
  EXPECT_EQ(utf8(c->text(cp("名前"))), "佐藤");
  EXPECT_EQ(c->integer(cp("金額")), 1200);
  EXPECT_EQ(c->text(cp("金額")), "1200");
  EXPECT_TRUE(c->isNull(cp("日付")));
}

TEST_F(TableFileTest, AFileThatIsNotATableIsRefusedAndLeftAlone) {
  const std::string garbage = "this is not a table, only some text\r\n";
  std::ofstream(dir.file("Test.DB"), std::ios::binary) << garbage;
  try {
    open();
    FAIL() << "opened";
  } catch (const TableError& e) {
    EXPECT_NE(utf8(e.what()).find("Test.DB"), std::string::npos) << utf8(e.what());
    EXPECT_NE(utf8(e.what()).find("有効なテーブルではありません"), std::string::npos) << utf8(e.what());
  }
  std::ifstream in(dir.file("Test.DB"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_P(TableTest, ATableOfAnotherShapeIsRefused) {
  static const TableSchema other("Test.DB", {{cp("名前"), FieldType::Text, 20, true}});
  Cursor::open(place(), other).reset();
  EXPECT_THROW(open(), TableError);
}

TEST_F(TableFileTest, ATableInUseByAnotherProcessIsRefused) {
  open().reset();  // create it
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    auto c = Cursor::open(dir.path(), schema());
    char ok = 1;
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  try {
    open();
    ADD_FAILURE() << "opened a table another process holds";
  } catch (const TableError& e) {
    EXPECT_NE(utf8(e.what()).find("使用中"), std::string::npos) << utf8(e.what());
    EXPECT_NE(utf8(e.what()).find("Test.DB"), std::string::npos);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_NO_THROW(open());  // the lock goes with the process, however it ends
}

TEST_P(TableTest, FieldErrorsCarryTheEngineMessages) {
  auto c = open();
  try {
    c->text(cp("住所"));
    FAIL();
  } catch (const TableError& e) {
    EXPECT_EQ(utf8(e.what()), "項目 '住所' が見つかりません");
  }
  c->append();
  try {
    c->setText(cp("金額"), cp("千円"));
    FAIL();
  } catch (const TableError& e) {
    EXPECT_EQ(utf8(e.what()), "'千円' は項目 '金額' に適した整数値ではありません");
  }
  for (const char* bad : {"2147483648", "1.5", "12a", " "}) EXPECT_THROW(c->setText(3, bad), TableError) << bad;
  c->setText(3, "-2147483648");
  EXPECT_EQ(c->integer(3), INT32_MIN);
  c->setText(3, "");
  EXPECT_TRUE(c->isNull(3));
  c->setText(1, "12x");
  EXPECT_THROW(c->integer(1), TableError);  // a text field holding no integer
  c->cancel();
  EXPECT_THROW(c->setText(1, "x"), TableError);  // not editing
}

TEST_P(TableTest, NaturalOrderAndTheDescendingIndexKeepTiesInEntryOrder) {
  auto c = open();
  add(*c, 20030320, "b1");
  add(*c, 20021105, "a");
  add(*c, 20030320, "b2");
  add(*c, 20030228, "c");
  c->appendRecord({std::nullopt, std::string("none")});  // an empty key comes first, going up
  EXPECT_EQ(names(*c), (std::vector<std::string>{"none", "a", "c", "b1", "b2"}));
  c->setIndex(cp("降順"));
  EXPECT_EQ(names(*c), (std::vector<std::string>{"b2", "b1", "c", "a", "none"}));
  c->setIndex("");
  EXPECT_EQ(names(*c), (std::vector<std::string>{"none", "a", "c", "b1", "b2"}));
  c->refresh();  // read afresh, not turned round
  EXPECT_EQ(names(*c), (std::vector<std::string>{"none", "a", "c", "b1", "b2"}));
  c->setIndex(cp("降順"));
  c->refresh();
  EXPECT_EQ(names(*c), (std::vector<std::string>{"b2", "b1", "c", "a", "none"}));
  EXPECT_THROW(c->setIndex(cp("昇順")), TableError);
}

TEST_P(TableTest, MovingSetsTheEndFlagsAndRecordNumbers) {
  auto c = open();
  for (int i = 1; i <= 3; ++i) add(*c, i, std::to_string(i).c_str());
  c->first();
  EXPECT_TRUE(c->bof());
  EXPECT_FALSE(c->eof());
  EXPECT_EQ(c->recNo(), 1);
  c->prior();
  EXPECT_TRUE(c->bof());
  EXPECT_EQ(c->recNo(), 1);
  c->last();
  EXPECT_TRUE(c->eof());
  EXPECT_EQ(c->recNo(), 3);
  c->next();
  EXPECT_TRUE(c->eof());
  EXPECT_EQ(c->text(1), "3");
  c->setRecNo(2);
  EXPECT_EQ(c->text(1), "2");
  EXPECT_FALSE(c->eof() || c->bof());
  c->setRecNo(99);
  EXPECT_EQ(c->recNo(), 3);
  c->setRecNo(-5);
  EXPECT_EQ(c->recNo(), 1);
}

TEST_P(TableTest, FiltersCompareBytesAndCountThroughTheFilter) {
  auto c = open();
  add(*c, 1, "O'Brien", "平成１４年１１月０５日");
  add(*c, 2, "佐藤", "平成１５年０２月２０日");
  add(*c, 3, "佐藤", "平成１５年０２月２８日");
  add(*c, 4, "鈴木", "平成１５年０３月２０日");
  add(*c, 5, "", "令和０１年０５月０１日");
  add(*c, 6, "佐藤一郎", "昭和６４年０１月０７日");
  struct Case {
    const char* filter;
    std::vector<std::string> names;
  } cases[] = {
      {"(日付 = '平成１５年０２月*')", {"佐藤", "佐藤"}},
      {"(日付 >= '平成１５年０２月２１日') and  (日付 <= '平成１５年０３月２０日')", {"佐藤", "鈴木"}},
      {"(日付 >= '平成１５年０１月０１日')", {"佐藤", "佐藤", "鈴木", ""}},  // 令和 sorts after 平成
      {"(日付 <= '平成０１年０１月０１日')", {"佐藤一郎"}},                  // 昭和 sorts before 平成
      {"(名前 = 'O''Brien')", {"O'Brien"}},
      {"(名前 = '佐藤')", {"佐藤", "佐藤"}},
      {"(名前 = '佐藤*')", {"佐藤", "佐藤", "佐藤一郎"}},
      {"(名前 = '')", {""}},
      {"(名前 = '*')", {"O'Brien", "佐藤", "佐藤", "鈴木", "", "佐藤一郎"}},
      {"(名前 <= 'P')", {"O'Brien", ""}},  // an empty field is the empty text
      {"(番号 >= '3') AND (番号 <= '4')", {"佐藤", "鈴木"}},
      {"名前 = '鈴木'", {"鈴木"}},
      {"(名前 = '該当なし')", {}},
      {"", {"O'Brien", "佐藤", "佐藤", "鈴木", "", "佐藤一郎"}},
  };
  c->setFiltered(true);
  for (const auto& k : cases) {
    SCOPED_TRACE(k.filter);
    c->setFilter(cp(k.filter));
    EXPECT_EQ(names(*c), k.names);
    EXPECT_EQ(c->recordCount(), static_cast<int>(k.names.size()));
  }
  c->setFiltered(false);
  EXPECT_EQ(c->recordCount(), 6);
}

TEST_P(TableTest, BadFiltersAreRefusedAndTheOldFilterStays) {
  auto c = open();
  add(*c, 1, "a");
  add(*c, 2, "b");
  c->setFiltered(true);
  c->setFilter(cp("(名前 = 'a')"));
  struct Case {
    const char* filter;
    const char* message;  // the message, or "" for any
  } cases[] = {
      {"(住所 = 'x')", "項目 '住所' が見つかりません"},
      {"(番号 = 'abc')", "'abc' は項目 '番号' に適した整数値ではありません"},
      {"(名前 = 'x'", ""},
      {"(名前 = x)", ""},
      {"(名前 'x')", ""},
      {"(名前 = 'x') or (名前 = 'y')", ""},
      {"(名前 = 'unterminated)", ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.filter);
    try {
      c->setFilter(cp(k.filter));
      ADD_FAILURE() << "accepted";
    } catch (const TableError& e) {
      if (*k.message) {
        EXPECT_EQ(utf8(e.what()), k.message);
      }
    }
  }
  EXPECT_EQ(names(*c), std::vector<std::string>{"a"});
}

TEST_P(TableTest, EditPostCancelAndDelete) {
  auto c = open();
  add(*c, 1, "a");
  add(*c, 2, "b");
  add(*c, 3, "c");
  c->setRecNo(2);
  c->edit();
  EXPECT_EQ(c->state(), Cursor::State::Edit);
  c->setText(1, "B");
  EXPECT_EQ(c->text(1), "B");
  c->cancel();
  EXPECT_EQ(c->text(1), "b");
  c->edit();
  c->setText(1, "B");
  c->post();
  EXPECT_EQ(c->state(), Cursor::State::Browse);
  EXPECT_EQ(names(*c), (std::vector<std::string>{"a", "B", "c"}));

  c->setRecNo(2);
  c->remove();  // the next one becomes current
  EXPECT_EQ(c->text(1), "c");
  c->last();
  c->remove();  // deleting the last makes the new last current
  EXPECT_EQ(c->text(1), "a");
  c->remove();
  EXPECT_EQ(c->recordCount(), 0);
  EXPECT_TRUE(c->eof());
  c->remove();  // nothing to delete
}

TEST_P(TableTest, PostPlacesTheRecordByItsKeyAndStaysOnIt) {
  auto c = open();
  c->setIndex(cp("降順"));
  add(*c, 10, "ten");
  add(*c, 30, "thirty");
  add(*c, 20, "twenty");
  EXPECT_EQ(c->recNo(), 2);
  EXPECT_EQ(utf8(c->text(1)), "twenty");
  c->edit();
  c->setInteger(0, 40);
  c->post();
  EXPECT_EQ(c->recNo(), 1);
  EXPECT_EQ(names(*c), (std::vector<std::string>{"twenty", "thirty", "ten"}));
}

TEST_P(TableTest, MovingSavesAPendingEditAndDropsAnUntouchedNewRecord) {
  auto c = open();
  add(*c, 1, "a");
  add(*c, 2, "b");
  c->first();
  c->edit();
  c->setText(1, "A");
  c->next();  // saves
  EXPECT_EQ(c->state(), Cursor::State::Browse);
  c->append();
  c->first();  // nothing written: dropped
  EXPECT_EQ(names(*c), (std::vector<std::string>{"A", "b"}));
}

TEST_P(TableTest, EditingAnEmptyTableStartsANewRecord) {
  auto c = open();
  c->edit();
  EXPECT_EQ(c->state(), Cursor::State::Insert);
}

TEST_P(TableTest, HooksRunAroundPostAndAfterScrolling) {
  auto c = open();
  std::vector<std::string> calls;
  c->beforePost = [&](Cursor& cur) {
    calls.push_back("before");
    cur.setInteger(3, 99);  // a hook may still write the record
  };
  c->afterPost = [&](Cursor& cur) { calls.push_back("after:" + cur.text(3)); };
  c->afterScroll = [&](Cursor&) { calls.push_back("scroll"); };
  add(*c, 1, "a");
  EXPECT_EQ(calls, (std::vector<std::string>{"before", "after:99"}));
  calls.clear();
  c->first();
  EXPECT_EQ(calls, (std::vector<std::string>{"scroll"}));

  // A hook that refuses leaves the record unsaved and still being edited.
  c->beforePost = [](Cursor&) { throw TableError("no"); };
  c->edit();
  c->setText(1, "x");
  EXPECT_THROW(c->post(), TableError);
  EXPECT_EQ(c->state(), Cursor::State::Edit);
  c->cancel();
  EXPECT_EQ(c->text(1), "a");
}

TEST_P(TableTest, AppendRecordTakesValuesInFieldOrder) {
  auto c = open();
  c->appendRecord({std::string("7"), cp("名"), std::nullopt, std::string("-5")});
  EXPECT_EQ(c->integer(0), 7);
  EXPECT_TRUE(c->isNull(2));
  EXPECT_EQ(c->integer(3), -5);
  EXPECT_THROW(c->appendRecord({std::string("x")}), TableError);
  EXPECT_EQ(c->state(), Cursor::State::Browse);
  EXPECT_EQ(c->recordCount(), 1);
}

TEST_P(TableTest, LocateFindsTheFirstRecordStartingWithAText) {
  auto c = open();
  add(*c, 1, "山田");
  add(*c, 2, "佐藤花子");
  add(*c, 3, "佐藤一郎");
  EXPECT_TRUE(c->locate(cp("名前"), cp("佐藤")));
  EXPECT_EQ(utf8(c->text(1)), "佐藤花子");
  EXPECT_TRUE(c->locate(cp("番号"), "3"));
  EXPECT_EQ(c->recNo(), 3);
  EXPECT_FALSE(c->locate(cp("名前"), cp("鈴木")));
  EXPECT_EQ(c->recNo(), 3);  // no move
  c->setFiltered(true);
  c->setFilter(cp("(番号 >= '3')"));
  EXPECT_FALSE(c->locate(cp("名前"), cp("佐藤花")));  // not in the view
}

TEST_P(TableTest, ColumnsForListViews) {
  auto c = open();
  EXPECT_FALSE(c->visible(0));
  EXPECT_EQ(c->displayWidth(2), 22);
  EXPECT_EQ(c->fieldNo(cp("日付")), 3);
  c->moveColumn(3, 0);
  EXPECT_EQ(c->columnOrder(), (std::vector<int>{3, 0, 1, 2}));
  EXPECT_EQ(c->columnPosition(1), 2);
  c->moveColumn(3, 99);
  EXPECT_EQ(c->columnOrder(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_P(TableTest, ARolledBackTransactionLeavesTheTableAsItWas) {
  auto c = open();
  add(*c, 1, "a");
  add(*c, 2, "b");
  {
    Transaction t(*c);
    c->first();
    while (!c->isEmpty()) c->remove();
    add(*c, 3, "c");
    EXPECT_EQ(names(*c), std::vector<std::string>{"c"});
  }
  EXPECT_EQ(names(*c), (std::vector<std::string>{"a", "b"}));
  {
    Transaction t(*c);
    add(*c, 3, "c");
    t.commit();
  }
  c.reset();
  c = open();
  EXPECT_EQ(names(*c), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_P(TableTest, ReplacingEveryRecordLandsWholeOrNotAtAll) {
  auto c = open();
  add(*c, 1, "old1");
  add(*c, 2, "old2");
  auto appendNamed = [&](const char* number, const char* name) {
    const std::string_view texts[] = {number, name, "", "5"};
    c->appendTexts(texts, 4);
  };
  c->replaceAll([&] {
    appendNamed("30", "new1");
    appendNamed("10", "new2");
    appendNamed("20", "new3");
  });
  EXPECT_EQ(names(*c), (std::vector<std::string>{"new2", "new3", "new1"}));
  EXPECT_EQ(c->integer(3), 5);
  EXPECT_THROW(c->replaceAll([&] {
    appendNamed("40", "lost");
    throw TableError("stopped");
  }),
               TableError);
  EXPECT_EQ(names(*c), (std::vector<std::string>{"new2", "new3", "new1"}));
  c.reset();
  EXPECT_EQ(names(*open()), (std::vector<std::string>{"new2", "new3", "new1"}));
}

TEST_P(TableTest, TheViewKeptUpToDateAfterPostsMatchesAFreshRead) {
  auto c = open();
  c->setIndex(cp("降順"));
  c->setFiltered(true);
  c->setFilter(cp("(名前 >= 'k')"));
  std::mt19937 random(42);
  for (int i = 0; i < 300; ++i) {
    int action = static_cast<int>(random() % 4);
    std::string name(1, static_cast<char>('a' + random() % 26));
    bool descending = !c->indexName().empty();
    if (action == 3) {
      c->setIndex(descending ? "" : cp("降順"));
      descending = !descending;
    } else if (action == 0 || c->isEmpty()) {
      add(*c, static_cast<int>(random() % 20), name.c_str());
    } else {
      c->setRecNo(static_cast<int>(random() % static_cast<unsigned>(c->recordCount())) + 1);
      c->edit();
      if (action == 1) c->setInteger(0, static_cast<int>(random() % 20));
      else c->setText(1, name);
      c->post();
    }
    int here = c->recNo();
    std::vector<std::string> kept = names(*c);
    std::vector<int> keys;
    for (c->first(); !c->eof(); c->next()) keys.push_back(c->integer(0));
    c->refresh();
    std::vector<std::string> fresh = names(*c);
    ASSERT_EQ(kept, fresh) << "after step " << i;
    if (descending) {
      ASSERT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
    } else {
      ASSERT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    }
    c->setRecNo(here);
  }
}

TEST_P(TableTest, AKillDuringPostsNeverDamagesTheTable) {
  open().reset();
  std::mt19937 random(11);
  for (int round = 0; round < 3; ++round) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    pid_t child = fork();
    if (child == 0) {
      auto c = Cursor::open(place(), schema());
      for (int i = 0;; ++i) {
        c->append();
        c->setInteger(0, i);
        c->setText(1, std::string(200, 'x'));
        c->post();
        if (i == round) {
          char ok = 1;
          (void)!write(started[1], &ok, 1);
        }
      }
    }
    // Killed at a random moment once its posts are under way (a child that fails before that
    // closes the pipe, and the read returns).
    close(started[1]);
    char byte = 0;
    ASSERT_EQ(read(started[0], &byte, 1), 1);
    close(started[0]);
    usleep(static_cast<useconds_t>(random() % 50000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    auto c = open();
    int count = c->recordCount();
    int seen = 0, written = 0;
    for (c->first(); !c->eof(); c->next()) {
      std::string name = c->text(1);
      ASSERT_TRUE(name == std::string(200, 'x') || name == "after");
      written += name != "after";
      ++seen;
    }
    EXPECT_EQ(seen, count);
    EXPECT_GT(written, round);  // the child got posts through before it was killed
    add(*c, -1, "after");  // still writable
  }
}

}  // namespace
}  // namespace vendaro::table

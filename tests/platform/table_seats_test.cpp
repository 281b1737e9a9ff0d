// Several seats on one shared book: the tables in a database on a real server, each seat with a
// connection of its own.
#include <algorithm>
#include <gtest/gtest.h>
#include <poll.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sjis.h"
#include "platform/table/cursor.h"
#include "support/pg_server.h"

namespace vendaro::table {
namespace {

std::string cp(const char* utf8) { return sjis::fromUtf8(utf8).value(); }
std::string utf8(const std::string& cp932) { return sjis::toUtf8(cp932); }

const TableSchema& schema() {
  static const TableSchema s("Seats.DB",
                             {{cp("番号"), FieldType::Integer, 8, false},
                              {cp("名前"), FieldType::Text, 20, true},
                              {cp("金額"), FieldType::Integer, 10, true}},
                             {{0, false}}, {{cp("降順"), {{0, true}}, true}});
  return s;
}

class SeatsTest : public ::testing::Test {
 protected:
  /// A seat: its own connection to the book (the name only keeps the connections apart).
  std::unique_ptr<Cursor> seat(const char* name) {
    return Cursor::open(db.uri() + "&application_name=" + name, schema());
  }

  static void add(Cursor& c, int number, const std::string& name, int amount = 0) {
    c.append();
    c.setInteger(0, number);
    c.setText(1, name);
    c.setInteger(2, amount);
    c.post();
  }

  static std::vector<std::string> names(Cursor& c) {
    std::vector<std::string> out;
    for (c.first(); !c.eof(); c.next()) out.push_back(utf8(c.text(1)));
    return out;
  }

  test::PgDatabase db;
};

TEST_F(SeatsTest, ASeatSeesAnotherSeatsPostWhenItsViewIsRebuilt) {
  auto a = seat("a");
  auto b = seat("b");
  add(*a, 1, "a1");
  b->refresh();
  EXPECT_EQ(names(*b), std::vector<std::string>{"a1"});
  add(*b, 2, "b2");
  EXPECT_EQ(a->recordCount(), 1);  // a view is what was read, until it is read again
  a->refresh();
  EXPECT_EQ(names(*a), (std::vector<std::string>{"a1", "b2"}));
  add(*b, 3, "b3");
  a->setFiltered(true);  // a new filter (a tab change) reads the view again
  a->setFilter(cp("(番号 >= '2')"));
  EXPECT_EQ(names(*a), (std::vector<std::string>{"b2", "b3"}));
}

// What another seat did to a record this seat has read, and what this seat then does with it.
TEST_F(SeatsTest, AWriteOverAnotherSeatsWorkIsRefusedAndTheEditStays) {
  struct Case {
    const char* label;
    bool otherDeletes;  // else it changes the record
    bool thisDeletes;   // else it posts an edit
    bool refused;
    RecordConflict::Kind kind;
    const char* message;
  } cases[] = {
      {"changed, then posted", false, false, true, RecordConflict::Kind::Changed, "変更されたため保存できません"},
      {"changed, then deleted", false, true, true, RecordConflict::Kind::Changed, "変更されたため削除できません"},
      {"deleted, then posted", true, false, true, RecordConflict::Kind::Deleted, "削除されたため保存できません"},
      {"deleted, then deleted", true, true, false, RecordConflict::Kind::Deleted, ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.label);
    test::PgDatabase book;
    auto a = Cursor::open(book.uri() + "&application_name=a", schema());
    auto b = Cursor::open(book.uri() + "&application_name=b", schema());
    add(*a, 1, "one");
    add(*a, 2, "two");
    add(*a, 3, "three");
    b->refresh();
    a->setRecNo(2);
    b->setRecNo(2);
    if (k.otherDeletes) {
      b->remove();
    } else {
      b->edit();
      b->setText(1, "other");
      b->post();
    }
    if (!k.thisDeletes) {
      a->edit();
      a->setText(1, "mine");
    }
    try {
      if (k.thisDeletes) a->remove();
      else a->post();
      EXPECT_FALSE(k.refused) << "not refused";
    } catch (const RecordConflict& e) {
      EXPECT_TRUE(k.refused) << utf8(e.what());
      EXPECT_EQ(e.kind(), k.kind);
      EXPECT_NE(utf8(e.what()).find(k.message), std::string::npos) << utf8(e.what());
    }
    if (k.refused && !k.thisDeletes) {
      // The edit stays on the sheet; dropping it shows what the book holds now.
      EXPECT_EQ(a->state(), Cursor::State::Edit);
      EXPECT_EQ(a->text(1), "mine");
      a->cancel();
    }
    a->refresh();
    std::vector<std::string> expected =
        k.otherDeletes ? std::vector<std::string>{"one", "three"} : std::vector<std::string>{"one", "other", "three"};
    EXPECT_EQ(names(*a), expected);
    if (!k.otherDeletes && !k.thisDeletes) {
      // Read again, the record takes the edit.
      a->setRecNo(2);
      a->edit();
      a->setText(1, "mine");
      a->post();
      b->refresh();
      EXPECT_EQ(names(*b), (std::vector<std::string>{"one", "mine", "three"}));
    }
  }
}

TEST_F(SeatsTest, ARecordAnotherSeatDeletedIsPassedOverAndCounted) {
  auto a = seat("a");
  auto b = seat("b");
  for (int i = 1; i <= 4; ++i) add(*a, i, std::to_string(i));
  b->refresh();
  b->setRecNo(2);
  b->remove();
  b->remove();  // 2 and 3 gone
  EXPECT_EQ(a->takeVanishedRecords(), 0);
  a->setRecNo(2);  // its view still has them: it lands on the next record that is still there
  EXPECT_EQ(a->text(1), "4");
  EXPECT_EQ(a->takeVanishedRecords(), 2);
  EXPECT_EQ(a->takeVanishedRecords(), 0);
  EXPECT_EQ(a->recordCount(), 2);
  EXPECT_EQ(names(*a), (std::vector<std::string>{"1", "4"}));
}

TEST_F(SeatsTest, DeletingWhileEditingARecordAnotherSeatDeletedDeletesNothingElse) {
  auto a = seat("a");
  auto b = seat("b");
  for (int i = 1; i <= 3; ++i) add(*a, i, std::to_string(i));
  b->refresh();
  a->setRecNo(2);
  a->edit();
  a->setText(1, "typed");
  b->setRecNo(2);
  b->remove();
  a->remove();  // the edit is dropped; the record it was on is gone already
  EXPECT_EQ(a->state(), Cursor::State::Browse);
  a->refresh();
  EXPECT_EQ(names(*a), (std::vector<std::string>{"1", "3"}));
}

TEST_F(SeatsTest, BulkWorkIsSeenWholeOrNotAtAll) {
  auto a = seat("a");
  auto b = seat("b");
  add(*a, 1, "kept");
  {
    Transaction t(*a);
    for (int i = 0; i < 20; ++i) add(*a, 10 + i, "bulk");
    b->refresh();
    EXPECT_EQ(b->recordCount(), 1);  // not yet
  }  // rolled back
  b->refresh();
  EXPECT_EQ(names(*b), std::vector<std::string>{"kept"});
  {
    Transaction t(*a);
    a->first();
    a->remove();
    for (int i = 0; i < 20; ++i) add(*a, 10 + i, "bulk");
    b->refresh();
    EXPECT_EQ(names(*b), std::vector<std::string>{"kept"});
    t.commit();
  }
  b->refresh();
  EXPECT_EQ(b->recordCount(), 20);
  EXPECT_EQ(b->text(1), "bulk");
}

TEST_F(SeatsTest, TheTablesOfOneBookNestTheirBulkWorkInOneTransaction) {
  // Two tables of one book, each with its bulk work, committed in the order they were opened.
  static const TableSchema other("Other.DB", {{cp("名前"), FieldType::Text, 20, true}});
  auto a = seat("a");
  auto o = Cursor::open(db.uri() + "&application_name=a", other);
  auto b = seat("b");
  {
    Transaction first(*a), second(*o);
    add(*a, 1, "a");
    o->appendRecord({std::string("o")});
    first.commit();
    b->refresh();
    EXPECT_EQ(b->recordCount(), 0);  // lands only with the last of them
    second.commit();
  }
  b->refresh();
  EXPECT_EQ(b->recordCount(), 1);
  auto seen = Cursor::open(db.uri() + "&application_name=b", other);
  EXPECT_EQ(seen->recordCount(), 1);
}

TEST_F(SeatsTest, ConnectionsThatAreRefusedSayWhy) {
  struct Case {
    std::string location;
    const char* message;
    const char* hidden;  // must not appear in the message
  } cases[] = {
      {"postgresql://postgres:secret@/" + db.name() + "?host=" + test::PgServer::instance().host(), "パスワード", "secret"},
      {db.uri() + "&password=secret", "パスワード", "secret"},
      {"postgresql:///" + db.name() + "?host=/nonexistent-socket-dir&user=postgres", "'Seats.DB' を開けません", ""},
      {"postgresql://[bad", "接続先が正しくありません", ""},
      {db.uri() + "&sslmode=sometimes", "sslmode", ""},  // connection options are libpq's own
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.location);
    try {
      Cursor::open(k.location, schema());
      ADD_FAILURE() << "opened";
    } catch (const TableError& e) {
      EXPECT_NE(utf8(e.what()).find(k.message), std::string::npos) << utf8(e.what());
      if (*k.hidden) {
        EXPECT_EQ(utf8(e.what()).find(k.hidden), std::string::npos) << utf8(e.what());
      }
    }
  }
}

/// Waits for a byte on a pipe, with a deadline.
bool awaitByte(int fd, int seconds) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, seconds * 1000) != 1) return false;
  char byte = 0;
  return read(fd, &byte, 1) == 1;
}

TEST_F(SeatsTest, TwoProcessesPostingAtOnceLoseNothingAndShareNoRecord) {
  {
    auto setup = seat("setup");
    add(*setup, 0, cp("共有"));
  }
  constexpr int kEach = 150;
  enum Outcome { Saved = 0, Refused = 1, Failed = 2 };
  struct Child {
    pid_t pid;
    int ready;  // the child has read the shared record and started editing it
    int go;     // the parent lets it post
  };
  std::vector<Child> children;
  for (int k = 1; k <= 2; ++k) {
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    pid_t pid = fork();
    if (pid == 0) {
      close(ready[0]);
      close(go[1]);
      int outcome = Failed;
      try {
        auto c = Cursor::open(db.uri(), schema());
        c->first();
        c->edit();
        c->setText(1, "seat " + std::to_string(k));
        char byte = 1;
        (void)!write(ready[1], &byte, 1);
        if (!awaitByte(go[0], 60)) _exit(Failed);
        try {
          c->post();
          outcome = Saved;
        } catch (const RecordConflict&) {
          outcome = Refused;
          c->cancel();
        }
        for (int i = 0; i < kEach; ++i) add(*c, k * 1000 + i, "seat " + std::to_string(k) + " " + std::to_string(i), i);
      } catch (...) {
        outcome = Failed;
      }
      _exit(outcome);
    }
    close(ready[1]);
    close(go[0]);
    children.push_back({pid, ready[0], go[1]});
  }
  for (const auto& c : children) ASSERT_TRUE(awaitByte(c.ready, 60));
  for (const auto& c : children) {
    char byte = 1;
    ASSERT_EQ(write(c.go, &byte, 1), 1);
  }
  std::vector<int> outcomes;
  for (const auto& c : children) {
    int status = 0;
    waitpid(c.pid, &status, 0);
    outcomes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    close(c.ready);
    close(c.go);
  }
  std::sort(outcomes.begin(), outcomes.end());
  ASSERT_EQ(outcomes, (std::vector<int>{Saved, Refused}));

  auto c = seat("check");
  EXPECT_EQ(c->recordCount(), 1 + 2 * kEach);
  std::set<int> numbers;
  for (c->first(); !c->eof(); c->next()) {
    int n = c->integer(0);
    numbers.insert(n);
    if (n == 0) {
      std::string name = utf8(c->text(1));
      EXPECT_TRUE(name == "seat 1" || name == "seat 2") << name;  // one seat's edit, whole
      continue;
    }
    int k = n / 1000, i = n % 1000;
    EXPECT_EQ(utf8(c->text(1)), "seat " + std::to_string(k) + " " + std::to_string(i));
    EXPECT_EQ(c->integer(2), i);
  }
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(1 + 2 * kEach));
}

}  // namespace
}  // namespace vendaro::table

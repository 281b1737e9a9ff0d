// The vehicle register as its own program keeps it: read here by field name while that program
// has it open, and never shut out from it.
#include "entry/register.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::entry {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

/// Runs SQL on a connection of its own; the engine's message when it fails.
std::string run(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return "";
  std::string message = error ? error : "?";
  sqlite3_free(error);
  return message;
}

/// INDATA.db as the register program lays it out: its own key, the fields in an order of its own,
/// columns this program never reads, text stored as TEXT.
void makeRegister(const std::string& path, bool withChassis = true) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  std::string columns = "番号 INTEGER PRIMARY KEY, 使用者 TEXT, 備考 TEXT, 型式 TEXT, 電話番号 TEXT, 使用者住所 TEXT, "
                        "使用者ふりがな TEXT, 車名 TEXT, 自動車登録番号 TEXT, 初度登録年月 TEXT, 自賠責期間至 TEXT, "
                        "有効期間の満了する日 TEXT, 入庫回数 INTEGER";
  if (withChassis) columns += ", 車台番号 TEXT";
  EXPECT_EQ(run(db, "CREATE TABLE records (" + columns + ")"), "");
  sqlite3_stmt* st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db,
                               "INSERT INTO records (使用者, 備考, 型式, 電話番号, 使用者住所, 使用者ふりがな, 車名, "
                               "自動車登録番号, 入庫回数) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 3)",
                               -1, &st, nullptr),
            SQLITE_OK);
  for (const auto& row : {std::vector<const char*>{"佐藤一郎", "常連", "E-AE100", "03-1111-1111", "東京都港区芝２丁目３－４",
                                                   "さとう", "カローラ", "品川500あ1111"},
                          std::vector<const char*>{"山田花子", "", "DBA-K12", "03-2222-2222", "東京都新宿区戸山１丁目",
                                                   "やまだ", "マーチ", "練馬500い2222"}}) {
    sqlite3_reset(st);
    for (int i = 0; i < 8; ++i) {
      const std::string v = cp(row[static_cast<std::size_t>(i)]);
      sqlite3_bind_text(st, i + 1, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Register, ReadsItsFieldsByNameWhileItsOwnerHasItOpenAndWritesToIt) {
  test::TempDir dir;
  const std::string path = dir.file("INDATA.db");
  makeRegister(path);
  const std::string before = fileBytes(path);

  // The register program, in a process of its own: it holds the table open in a read transaction
  // until told to go on, then writes a row.
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  const pid_t owner = ::fork();
  ASSERT_GE(owner, 0);
  if (owner == 0) {
    ::close(ready[0]);
    ::close(go[1]);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) ::_exit(10);
    sqlite3_busy_timeout(db, 5000);
    if (!run(db, "BEGIN; SELECT count(*) FROM records;").empty()) ::_exit(11);
    char c = 'r';
    if (::write(ready[1], &c, 1) != 1 || ::read(go[0], &c, 1) != 1) ::_exit(12);
    if (!run(db, "COMMIT; INSERT INTO records (使用者, 自動車登録番号) VALUES ('x', 'y')").empty()) ::_exit(13);
    sqlite3_close(db);
    ::_exit(0);
  }
  ::close(ready[1]);
  // However this test ends, the owner is told to go on and waited for.
  struct Owner {
    pid_t pid;
    int go;
    int status = -1;
    int finish() {
      if (go >= 0) ::close(go), go = -1;
      if (status < 0 && ::waitpid(pid, &status, 0) != pid) status = -2;
      return status;
    }
    ~Owner() { finish(); }
  } ownerProcess{owner, go[1]};
  ::close(go[0]);
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);

  auto reg = openRegister(dir.path());
  ASSERT_EQ(reg->recordCount(), 2);
  EXPECT_EQ(reg->text(cp("使用者")), cp("佐藤一郎"));
  EXPECT_EQ(reg->text(cp("使用者住所")), cp("東京都港区芝２丁目３－４"));
  EXPECT_EQ(reg->text(cp("型式")), cp("E-AE100"));
  reg->next();
  EXPECT_EQ(reg->text(cp("自動車登録番号")), cp("練馬500い2222"));
  EXPECT_EQ(reg->text(cp("車台番号")), "");

  EXPECT_EQ(fileBytes(path), before);  // opening and reading changed nothing of the file

  // While it is open here, its owner goes on writing.
  ASSERT_EQ(::write(ownerProcess.go, "g", 1), 1);
  const int status = ownerProcess.finish();
  ASSERT_GE(status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the register program was shut out";
  reg->refresh();
  EXPECT_EQ(reg->recordCount(), 3);

  // Nothing is written through this side.
  reg->first();
  EXPECT_THROW(
      {
        reg->edit();
        reg->setText(cp("使用者"), cp("書き換え"));
        reg->post();
      },
      table::TableError);
  reg->cancel();
  reg.reset();
  for (const char* suffix : {"-journal", "-wal"}) EXPECT_FALSE(std::filesystem::exists(path + suffix)) << suffix;
}

TEST(Register, AMissingTableOrFieldIsTheEnginesMessage) {
  test::TempDir dir;
  try {
    openRegister(dir.path());
    ADD_FAILURE() << "opened";
  } catch (const table::TableError& e) {
    EXPECT_NE(std::string(e.what()).find("INDATA.db"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("INDATA.db")));  // never created here

  makeRegister(dir.file("INDATA.db"), false);
  try {
    openRegister(dir.path());
    ADD_FAILURE() << "opened";
  } catch (const table::TableError& e) {
    EXPECT_EQ(sjis::toUtf8(e.what()), "項目 '車台番号' が見つかりません");
  }
}

}  // namespace
}  // namespace vendaro::entry

#pragma once
// A real PostgreSQL server for tests of the shared book.
//
// CTest starts one server for the whole run (the fixture "postgres", see tests/CMakeLists.txt) and
// names its socket directory in VENDARO_TEST_PGHOST. A test binary run by hand starts its own on
// first use, in a scratch directory, and stops it when the process ends. Each test works in a
// fresh database of its own, dropped at its end.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <libpq-fe.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vendaro::test {

class PgServer {
 public:
  /// The server of this test run.
  static PgServer& instance() {
    static PgServer server;
    return server;
  }

  /// The socket directory clients connect through.
  const std::string& host() const { return host_; }

  /// A libpq URI of a database on the server.
  std::string uri(const std::string& database) const {
    return "postgresql:///" + database + "?host=" + host_ + "&user=postgres";
  }

  /// Runs one statement in the server's maintenance database; throws with the server's message.
  void admin(const std::string& sql) const {
    PGconn* c = PQconnectdb(uri("postgres").c_str());
    PGresult* r = PQexec(c, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    std::string error = ok ? "" : std::string(PQerrorMessage(c));
    PQclear(r);
    PQfinish(c);
    if (!ok) throw std::runtime_error(sql + ": " + error);
  }

  ~PgServer() {
    if (!ownDir_.empty() && ::getpid() == owner_) {
      std::system((std::string(VENDARO_PG_SERVER) + " stop '" + ownDir_ + "/server'").c_str());
      std::error_code ec;
      std::filesystem::remove_all(ownDir_, ec);
    }
  }

 private:
  PgServer() {
    if (const char* host = std::getenv("VENDARO_TEST_PGHOST"); host && *host) {
      host_ = host;
      return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "vendaro-pg-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch directory for the server");
    ::chmod(pattern.c_str(), 0755);  // the server may run as its own user
    ownDir_ = pattern;
    owner_ = ::getpid();
    host_ = ownDir_ + "/server";
    if (std::system((std::string(VENDARO_PG_SERVER) + " start '" + host_ + "'").c_str()) != 0)
      throw std::runtime_error("the PostgreSQL server for the tests did not start");
  }

  std::string host_;
  std::string ownDir_;
  pid_t owner_ = 0;
};

/// A fresh, empty database for one test, dropped at its end.
class PgDatabase {
 public:
  PgDatabase() {
    static std::atomic<int> counter{0};
    name_ = "t" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    PgServer::instance().admin("CREATE DATABASE " + name_);
  }
  ~PgDatabase() {
    try {
      PgServer::instance().admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception&) {
      // The whole server goes at the end of the run.
    }
  }
  PgDatabase(const PgDatabase&) = delete;
  PgDatabase& operator=(const PgDatabase&) = delete;

  const std::string& name() const { return name_; }
  std::string uri() const { return PgServer::instance().uri(name_); }

 private:
  std::string name_;
};

}  // namespace vendaro::test

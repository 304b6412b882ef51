// Helpers of the ADO tests: the two ODBC drivers they run against (SQLite on
// a temp file, PostgreSQL on the throwaway server), connection strings for
// them, and the drivers' own command-line tools as oracles.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_connection.h"
#include "sql/drivers/ado/ado_driver.h"
#include "sql/drivers/ado/ado_objects.h"
#include "tests/fixtures/postgresql/server.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

namespace ado_test {

inline constexpr char kSqliteDriver[] = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
inline constexpr char kPostgreSQLDriver[] = "/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so";

enum class Peer { SQLite, PostgreSQL };

inline std::string PeerName(const testing::TestParamInfo<Peer>& info) {
  return info.param == Peer::SQLite ? "SQLite" : "PostgreSQL";
}

// A database of one of the peers for one test: a fresh SQLite file, or the
// shared PostgreSQL database, where the test's tables carry the test's name.
class PeerDatabase {
public:
  explicit PeerDatabase(Peer peer) : peer_(peer) {
    if (peer == Peer::SQLite) {
      file_ = (folder_.path() / "test.db").string();
      return;
    }
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    for (char c : std::string(test->name()) + "_" + test->test_suite_name())
      prefix_ += std::isalnum(static_cast<unsigned char>(c)) ? char(std::tolower(c)) : '_';
    prefix_ = "ado_" + prefix_.substr(0, 40) + "_";
  }

  ~PeerDatabase() {
    for (const std::string& table : tables_) Oracle("DROP TABLE IF EXISTS " + table);
    // The SQLite file goes with its folder.
  }

  // A table name of this test; dropped when the test ends.
  std::string Table(const std::string& name) {
    std::string table = prefix_ + name;
    if (peer_ == Peer::SQLite) return table;
    Oracle("DROP TABLE IF EXISTS " + table);
    tables_.push_back(table);
    return table;
  }

  // The ODBC connection string (Windows-1250, as the system writes it).
  AnsiString ConnectionString() const {
    if (peer_ == Peer::SQLite) return std::string("DRIVER=") + kSqliteDriver + ";Database=" + file_;
    const PostgreSQLServer& server = PostgreSQLServer::Get();
    return std::string("DRIVER=") + kPostgreSQLDriver + ";Server=127.0.0.1;Port=" + std::to_string(server.port) +
           ";Database=" + server.database + ";BoolsAsChar=0";
  }

  // The user and password the connection opens with ("" for SQLite).
  AnsiString User() const { return peer_ == Peer::SQLite ? "" : PostgreSQLServer::Get().user; }
  AnsiString Password() const { return peer_ == Peer::SQLite ? "" : PostgreSQLServer::Get().password; }

  // An open connection of the ADO driver to this database.
  Ref<IZAdoConnection> DriverConnect() const {
    RegisterAdoDriver();
    TStringList info;
    info.Add("username=" + User());
    info.Add("password=" + Password());
    auto connection =
        Query<IZAdoConnection>(DriverManager()->GetConnectionWithProperties("zdbc:ado:" + ConnectionString(), &info));
    connection->Open();
    return connection;
  }

  Ref<Connection15> Connect() const {
    auto connection = MakeRef<Connection15>();
    connection->Open(ConnectionString(), User(), Password());
    return connection;
  }

  // sql (UTF-8) run by the peer's own tool; its output without the last line break.
  std::string Oracle(const std::string& sql) const {
    if (peer_ == Peer::PostgreSQL) return PostgreSQLServer::Get().Psql(sql);
    std::string quoted;
    for (char c : sql) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    std::string out = RunShell("sqlite3 -batch '" + file_ + "' '" + quoted + "' 2>&1").output;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }

  Peer peer() const { return peer_; }

private:
  Peer peer_;
  TempFolder folder_;
  std::string file_;
  std::string prefix_;
  std::vector<std::string> tables_;
};

// Runs sql on the connection, dropping any rows.
inline Variant Exec(Connection15* connection, const AnsiString& sql) {
  Variant affected;
  connection->Execute(sql, affected, adExecuteNoRecords);
  return affected;
}

// The message of what action raises; "<nothing raised>" when it returns.
template <class Action>
AnsiString ErrorOf(Action action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "<nothing raised>";
}

}  // namespace ado_test

// Helpers of the Oracle driver tests: a temporary SQLite file as the server
// the client double attaches to, connection URLs for it, a look at that file
// from outside the driver, and client statements run in a session.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_driver.h"
#include "tests/fixtures/oracle/oci_probe.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/support/temp_folder.h"

namespace oracle_test {

// A fresh folder per test with the database file "orcl.db" in it.
class OracleTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterOracleDriver();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = TestScratchFolder() /
              (std::string("vx-oracle-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    oci_probe::Reset();
  }
  // The driver never passed the client a value its calls must not receive.
  void TearDown() override {
    EXPECT_EQ(oci_probe::EventsStartingWith("refused"), std::vector<std::string>{});
    std::filesystem::remove_all(folder_);
  }

  AnsiString DatabasePath() const { return (folder_ / "orcl.db").string(); }
  AnsiString Url(const AnsiString& protocol = "oracle", const AnsiString& password = "tiger") const {
    return Format("zdbc:%s://dbhost:1521/%s?UID=scott;PWD=%s", {protocol, DatabasePath(), password});
  }
  Ref<IZOracleConnection> Connect(const AnsiString& password = "tiger") const {
    return Query<IZOracleConnection>(DriverManager()->GetConnection(Url("oracle", password)));
  }

  // Runs sql on the database file through SQLite itself; the first column
  // of every row as text ("NULL" for a null).
  std::vector<std::string> Outside(const std::string& sql) const {
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    sqlite3_open(DatabasePath().c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    } else {
      while (sqlite3_step(statement) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement, 0);
        rows.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
      }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
  }

  std::filesystem::path folder_;
};

// A statement and error handle of a connection's environment, freed with
// this object; statements of the driver itself are not needed for that.
struct ClientStatement {
  explicit ClientStatement(IZOracleConnection* connection) : plain(connection->GetPlainDriver()) {
    plain->OCIHandleAlloc(connection->GetEnvironmentHandle(), reinterpret_cast<void**>(&error), OCI_HTYPE_ERROR, 0,
                          nullptr);
    plain->OCIHandleAlloc(connection->GetEnvironmentHandle(), reinterpret_cast<void**>(&handle), OCI_HTYPE_STMT, 0,
                          nullptr);
  }
  ~ClientStatement() {
    plain->OCIHandleFree(error, OCI_HTYPE_ERROR);
    plain->OCIHandleFree(handle, OCI_HTYPE_STMT);
  }
  sword Prepare(const std::string& sql) {
    return plain->OCIStmtPrepare(handle, error, reinterpret_cast<const OraText*>(sql.data()),
                                 static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  }
  sword Execute(IZOracleConnection* connection) {
    return plain->OCIStmtExecute(connection->GetContextHandle(), handle, error, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  }

  Ref<IZOraclePlainDriver> plain;
  OCIError* error = nullptr;
  OCIStmt* handle = nullptr;
};

// Runs sql in the connection's session, expecting success.
inline void ExecuteInSession(IZOracleConnection* connection, const std::string& sql) {
  ClientStatement statement(connection);
  ASSERT_EQ(statement.Prepare(sql), OCI_SUCCESS);
  ASSERT_EQ(statement.Execute(connection), OCI_SUCCESS) << sql;
}

}  // namespace oracle_test

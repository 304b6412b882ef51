// Helpers of the Oracle driver tests: a temporary SQLite file as the server
// the client double attaches to, connection URLs for it, a look at that file
// from outside the driver, and a recorder of the driver manager's log.
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

namespace oracle_test {

// A fresh folder per test with the database file "orcl.db" in it.
class OracleTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              (std::string("vx-oracle-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    oci_probe::Reset();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

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

// Keeps every log event of the driver manager while it lives.
class LogRecorder : public TZAbstractObject, public virtual IZLoggingListener {
public:
  void HandleLoggingEvent(const TZLoggingEvent& event) override { Events.push_back(event); }
  std::vector<TZLoggingEvent> Events;
};

struct ScopedLog {
  ScopedLog() { DriverManager()->AddLoggingListener(recorder); }
  ~ScopedLog() { DriverManager()->RemoveLoggingListener(recorder); }
  LogRecorder* operator->() const { return recorder.get(); }
  Ref<LogRecorder> recorder = MakeRef<LogRecorder>();
};

}  // namespace oracle_test

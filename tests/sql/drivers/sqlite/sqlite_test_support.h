// Helpers of the SQLite driver tests: a database file in a fresh temp folder,
// connections to it through the driver manager, and the sqlite3 tool as the
// independent reader and writer of the same file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>

#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/sqlite/sqlite_connection.h"
#include "sql/drivers/sqlite/sqlite_driver.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "tests/sql/core/log_recorder.h"

namespace sqlite_test {

// One database file per test, in a folder removed afterwards.
class SQLiteTest : public ::testing::Test {
protected:
  AnsiString DatabasePath() const { return (folder_.path() / "test.db").string(); }
  AnsiString Url(const AnsiString& protocol = "sqlite-3") const { return "zdbc:" + protocol + ":" + DatabasePath(); }

  // Connects through the driver manager with "name=value" properties.
  Ref<IZSQLiteConnection> Connect(std::initializer_list<const char*> properties = {}) {
    TStringList list;
    for (const char* property : properties) list.Add(property);
    RegisterSQLiteDriver();
    return Query<IZSQLiteConnection>(DriverManager()->GetConnectionWithProperties(Url(), &list));
  }

  // Runs sql in the sqlite3 tool on the test's file; its output, one line
  // per row with "|" between values. A tool that cannot run fails the test.
  std::string Tool(const std::string& sql) const {
    const auto script = folder_.path() / "script.sql";
    std::ofstream(script, std::ios::binary) << sql << "\n";
    const std::string command = "sqlite3 -batch '" + DatabasePath() + "' < '" + script.string() + "' 2>&1";
    auto [status, output] = RunShell(command);
    if (status != 0) ADD_FAILURE() << "sqlite3 failed (" << status << "): " << output;
    if (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
  }

  TempFolder folder_;
};

}  // namespace sqlite_test

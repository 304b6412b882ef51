// Shared by the ASA tests: fresh SQLite databases in the double's folder,
// one per test so parallel runs never meet, and connections to them.
#pragma once

#include <sqlite3.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/rtl/lists.h"
#include "sql/drivers/asa/asa_connection.h"
#include "sql/drivers/asa/asa_driver.h"
#include "tests/fixtures/asa/dblib_probe.h"

namespace asa_test {

// A database named after the running test, created anew with sql; returns
// its name for DBN.
inline std::string MakeDatabase(const std::string& sql) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string path = std::string(VX_ASA_DOUBLE_DIR) + "/" + name + ".db";
  std::remove(path.c_str());
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
  return name;
}

// A single number from the test's database.
inline long long QueryNumber(const std::string& database, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open((std::string(VX_ASA_DOUBLE_DIR) + "/" + database + ".db").c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  long long value = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return value;
}

// A closed connection of protocol to database, as the driver makes it.
inline Ref<TZASAConnection> Connection(const std::string& database, const std::string& protocol = "ASA9",
                                       const std::string& extra = "") {
  Ref<IZConnection> connection =
      ASADriver()->Connect("zdbc:" + protocol + "://srv/" + database + "?username=dba" + extra, nullptr);
  return Ref<TZASAConnection>(dynamic_cast<TZASAConnection*>(connection.get()));
}

}  // namespace asa_test

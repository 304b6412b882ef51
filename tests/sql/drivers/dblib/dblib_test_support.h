// Helpers of the DB-Library tests against the TDS responder through the real
// FreeTDS library: each test opens connections on a database named after
// itself, reads what the responder was sent, and checks stored data with the
// sqlite3 shell.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_binding.h"
#include "sql/drivers/dblib/dblib_connection.h"
#include "sql/drivers/dblib/dblib_driver.h"
#include "tests/fixtures/tds/server.h"
#include "tests/sql/core/log_recorder.h"

namespace dblib_test {

class ResponderTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    for (char c : std::string(info->test_suite_name()) + "_" + info->name())
      database_ += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    // Fresh databases each run (the responder makes them on first use) and
    // only this run's requests, so that a test can run again.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Server().dir + "/db", error))
      if (entry.path().filename().string().rfind(database_, 0) == 0) std::filesystem::remove(entry.path(), error);
    logStart_ = Server().LogSize();
  }
  void TearDown() override {
    DBLibErrors().clear();
    DBLibMessages().clear();
  }

  const TdsServer& Server() const { return TdsServer::Get(); }

  // The URL of this test's database; options are appended after the login.
  AnsiString Url(const char* protocol = "mssql", const AnsiString& options = "", int port = 0) const {
    return Format("zdbc:%s://127.0.0.1:%d/%s?UID=%s;PWD=%s%s",
                  {protocol, port ? port : Server().port, database_, Server().user, Server().password, options});
  }

  // A closed connection of url; connecting loads the library only.
  static Ref<IZDBLibConnection> Connect(const AnsiString& url) {
    RegisterDBLibDriver();
    return Query<IZDBLibConnection>(DriverManager()->GetConnection(url));
  }
  Ref<IZDBLibConnection> Open(const char* protocol = "mssql") {
    Ref<IZDBLibConnection> connection = Connect(Url(protocol));
    connection->Open();
    return connection;
  }

  // What the responder was sent on this test's database ("BATCH <text>" or
  // "RPC <name> <parameters>").
  std::vector<std::string> Requests() const { return Server().Requests(database_, logStart_); }
  // The batches sent since the first one that starts with from.
  std::vector<std::string> RequestsFrom(const std::string& from) const {
    std::vector<std::string> all = Requests(), tail;
    for (const std::string& request : all)
      if (!tail.empty() || request.rfind(from, 0) == 0) tail.push_back(request);
    return tail;
  }
  std::string Sqlite(const std::string& sql) const { return Server().Sqlite(database_, sql); }

  std::string database_;
  std::streamoff logStart_ = 0;
};

// The message of the platform's exception that action raises; it must not
// be the SQL library's exception.
template <class F>
AnsiString PlatformError(F action) {
  try {
    action();
  } catch (const EZSQLException& error) {
    ADD_FAILURE() << "EZSQLException: " << error.Message();
  } catch (const Exception& error) {
    return error.Message();
  }
  ADD_FAILURE() << "no exception";
  return AnsiString();
}

}  // namespace dblib_test

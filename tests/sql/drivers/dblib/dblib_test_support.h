// Helpers of the DB-Library tests on the fake library: a call log per test
// (the fake writes one line per call to the file FAKE_SYBDB_LOG names) and
// connections made through the driver manager.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/dblib/dblib_binding.h"
#include "sql/drivers/dblib/dblib_connection.h"
#include "sql/drivers/dblib/dblib_driver.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/support/temp_folder.h"

namespace dblib_test {

class FakeLibraryTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    logPath_ = TestScratchFolder() /
               (std::string("vx-dblib-") + info->test_suite_name() + "-" + info->name() + ".log");
    std::filesystem::remove(logPath_);
    setenv("FAKE_SYBDB_LOG", logPath_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("FAKE_SYBDB_LOG");
    std::filesystem::remove(logPath_);
    DBLibErrors().clear();
    DBLibMessages().clear();
  }

  // The fake's calls so far, one line each, e.g. dbsetlname(2, "sa").
  std::vector<std::string> Calls() const {
    std::vector<std::string> lines;
    std::ifstream in(logPath_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The calls that start with prefix.
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : Calls())
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
  }
  void ForgetCalls() const { std::filesystem::remove(logPath_); }

  // A closed connection of url; connecting loads the library only.
  static Ref<IZDBLibConnection> Connect(const AnsiString& url) {
    RegisterDBLibDriver();
    return Query<IZDBLibConnection>(DriverManager()->GetConnection(url));
  }

  std::filesystem::path logPath_;
};

}  // namespace dblib_test

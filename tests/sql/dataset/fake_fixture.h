// A test driver registered with the driver manager for the length of a test,
// a connection component pointed at it, and a query on that connection.
#pragma once

#include <gtest/gtest.h>

#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/sql/dataset/error_of.h"
#include "tests/sql/core/fake/fake_driver.h"

inline TZVariant IntValue(std::int64_t v) {
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, v);
  return value;
}

class FakeDatasetTest : public ::testing::Test {
protected:
  void SetUp() override {
    DriverManager()->RegisterDriver(driver);
    connection->SetProtocol("fake-1");
    connection->SetHostName("h");
    connection->SetDatabase("db");
    query->SetConnection(connection);
  }
  void TearDown() override {
    query->Free();
    connection->Free();
    DriverManager()->DeregisterDriver(driver);
  }

  TZFakeServer& Server() { return driver->Server(); }
  // A canned result for sql, also as a one-line SQL list passes it on (a text
  // without markers goes to the server whole, line break included).
  void AddResult(const AnsiString& sql, const TZFakeResult& result) {
    Server().Results[sql] = result;
    Server().Results[sql + "\r\n"] = result;
  }
  // A canned result of integer rows 1..count in column "n".
  void AddNumbers(const AnsiString& sql, int count) {
    TZFakeResult result{{{"n", stInteger}}, {}};
    for (int i = 1; i <= count; ++i) result.Rows.push_back({IntValue(i)});
    AddResult(sql, result);
  }
  void OpenQuery(const AnsiString& sql) {
    query->SQL().Clear();
    query->SQL().Add(sql);
    query->Open();
  }

  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  TZConnection* connection = new TZConnection(nullptr);
  TZQuery* query = new TZQuery(nullptr);
};

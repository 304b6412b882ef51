// A connection component on the throwaway MariaDB server (as the backup
// program sets it up) with queries on it, and the oracles the dataset suites
// check against: the command-line client and the session's lines of the
// server's general query log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/sql/dataset/error_of.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"

class MySQLDatasetTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterMySQLDriver();
    const MariaDbServer& server = MariaDbServer::Get();
    connection->SetProtocol("mysql-4.1");
    connection->SetHostName("127.0.0.1");
    connection->SetPort(server.port);
    connection->SetDatabase("kalmir");
    connection->SetUser(server.user.c_str());
    connection->SetPassword(server.password.c_str());
    connection->Properties()->Add("Codepage=cp1250");
    connection->Properties()->Add("compress=yes");
    query = NewQuery();
  }
  void TearDown() override {
    for (auto it = queries_.rbegin(); it != queries_.rend(); ++it) (*it)->Free();
    connection->Free();
  }

  // A query on the connection, freed after the test.
  TZQuery* NewQuery() {
    auto* result = new TZQuery(nullptr);
    result->SetConnection(connection);
    queries_.push_back(result);
    return result;
  }

  static void Open(TZQuery* dataset, const AnsiString& sql) {
    dataset->SQL().Clear();
    dataset->SQL().Add(sql);
    dataset->Open();
  }
  void Open(const AnsiString& sql) { Open(query, sql); }

  // Runs sql in the database through the command-line client (UTF-8 text)
  // and returns its output.
  static std::string Client(const std::string& sql) {
    return MariaDbServer::Get().Client("SET NAMES utf8mb4;" + sql, "kalmir");
  }

  // The texts of one field over all records in display order; the cursor
  // ends after the last record.
  static std::vector<AnsiString> Column(TZQuery* dataset, const AnsiString& field) {
    std::vector<AnsiString> values;
    for (dataset->First(); !dataset->Eof(); dataset->Next())
      values.push_back(dataset->FieldNamed(field)->ValueAsString());
    return values;
  }

  // The statements this connection's session sent that contain `part`.
  std::vector<AnsiString> SentStatements(const std::string& part) {
    Ref<IZMySQLConnection> session = Query<IZMySQLConnection>(connection->DbcConnection());
    unsigned long threadId = session->GetPlainDriver()->GetThreadId(session->GetConnectionHandle());
    std::vector<AnsiString> found;
    for (const AnsiString& line : mysql_test::GeneralLog(threadId))
      if (line.rfind("Query ", 0) == 0 && line.find(part) != std::string::npos) found.push_back(line.substr(6));
    return found;
  }

  TZConnection* connection = new TZConnection(nullptr);
  TZQuery* query = nullptr;

private:
  std::vector<TZQuery*> queries_;
};

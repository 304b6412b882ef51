// The connection the dataset benchmarks share: the throwaway MariaDB server
// of the tests (started on demand in <build>/mariadb; stop it with
// tests/fixtures/mariadb/stop.sh <build>/mariadb), set up as the backup
// program sets up its own.
#pragma once

#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "sql/drivers/mysql/mysql_driver.h"
#include "tests/fixtures/mariadb/server.h"

inline void ConnectToFixture(TZConnection& connection) {
  const MariaDbServer& server = MariaDbServer::Get();
  RegisterMySQLDriver();
  connection.SetProtocol("mysql-4.1");
  connection.SetHostName("127.0.0.1");
  connection.SetPort(server.port);
  connection.SetDatabase("kalmir");
  connection.SetUser(server.user.c_str());
  connection.SetPassword(server.password.c_str());
  connection.Properties()->Add("Codepage=cp1250");
  connection.Connect();
}

inline void OpenOn(TZConnection& connection, TZQuery& query, const char* sql) {
  query.SetConnection(&connection);
  query.SQL().Add(sql);
  query.Open();
}

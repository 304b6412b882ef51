// Helpers of the PostgreSQL driver tests: connection URLs for the throwaway
// server, connections opened through the driver manager, queries run straight
// through a connection's plain driver (the driver's statements are not needed
// for that), and the statements the server logged for one session.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/postgresql/postgresql_connection.h"
#include "sql/drivers/postgresql/postgresql_driver.h"
#include "tests/fixtures/postgresql/server.h"
#include "tests/sql/core/log_recorder.h"

namespace pg_test {

using Row = std::vector<AnsiString>;

inline AnsiString Url(const AnsiString& protocol = "postgresql", const AnsiString& password = "vxpass",
                      int port = 0) {
  const PostgreSQLServer& server = PostgreSQLServer::Get();
  return Format("zdbc:%s://127.0.0.1:%d/%s?UID=%s;PWD=%s",
                {protocol, port ? port : server.port, server.database, server.user, password});
}

// A connection through the driver manager with "name=value" properties; not
// yet open.
inline Ref<IZPostgreSQLConnection> Make(std::initializer_list<const char*> properties = {},
                                        const AnsiString& url = Url()) {
  RegisterPostgreSQLDriver();
  TStringList list;
  for (const char* property : properties) list.Add(property);
  return Query<IZPostgreSQLConnection>(DriverManager()->GetConnectionWithProperties(url, &list));
}

inline Ref<IZPostgreSQLConnection> Connect(std::initializer_list<const char*> properties = {},
                                           const AnsiString& url = Url()) {
  Ref<IZPostgreSQLConnection> connection = Make(properties, url);
  connection->Open();
  return connection;
}

// Runs sql on the connection's own session; the rows of its result.
inline std::vector<Row> QueryRows(IZPostgreSQLConnection* connection, const AnsiString& sql) {
  Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
  PGresult* result = plain->PQexec(connection->GetConnectionHandle(), sql.c_str());
  std::vector<Row> rows;
  const TZPgExecStatus status = plain->PQresultStatus(result);
  if (status != TZPgExecStatus::PGRES_TUPLES_OK && status != TZPgExecStatus::PGRES_COMMAND_OK) {
    ADD_FAILURE() << sql << ": " << plain->PQerrorMessage(connection->GetConnectionHandle());
  } else {
    for (int row = 0; row < plain->PQntuples(result); ++row) {
      Row values;
      for (int column = 0; column < plain->PQnfields(result); ++column)
        values.push_back(plain->PQgetisnull(result, row, column) ? "NULL" : plain->PQgetvalue(result, row, column));
      rows.push_back(values);
    }
  }
  plain->PQclear(result);
  return rows;
}

inline AnsiString QueryValue(IZPostgreSQLConnection* connection, const AnsiString& sql) {
  std::vector<Row> rows = QueryRows(connection, sql);
  return rows.empty() || rows[0].empty() ? AnsiString("<no row>") : rows[0][0];
}

// The statements the server logged for the connection's session so far.
inline std::vector<std::string> Logged(IZPostgreSQLConnection* connection) {
  return PostgreSQLServer::Get().Statements(
      connection->GetPlainDriver()->PQbackendPID(connection->GetConnectionHandle()));
}

inline std::string Psql(const std::string& sql) { return PostgreSQLServer::Get().Psql(sql); }

// A fresh table the test user owns.
inline void MakeTable(const std::string& name, const std::string& columns) {
  Psql("DROP TABLE IF EXISTS " + name + "; CREATE TABLE " + name + " (" + columns + "); ALTER TABLE " + name +
       " OWNER TO vx");
}

}  // namespace pg_test

// Helpers of the MySQL driver tests: connection URLs for the throwaway
// server, queries run straight through a connection's plain driver (the
// driver's statements are not needed for that), and the server's general
// query log for one session.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/mysql/mysql_connection.h"
#include "sql/drivers/mysql/mysql_driver.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/sql/core/log_recorder.h"

namespace mysql_test {

using Row = std::vector<AnsiString>;

inline AnsiString Url(const AnsiString& protocol = "mysql-4.1", const AnsiString& password = "vxpass",
                      int port = 0) {
  const MariaDbServer& server = MariaDbServer::Get();
  return Format("zdbc:%s://127.0.0.1:%d/kalmir?UID=%s;PWD=%s",
                {protocol, port ? port : server.port, server.user, password});
}

// Connects through the driver manager with "name=value" properties.
inline Ref<IZMySQLConnection> Connect(std::initializer_list<const char*> properties = {},
                                      const AnsiString& url = Url()) {
  TStringList list;
  for (const char* property : properties) list.Add(property);
  RegisterMySQLDriver();
  return Query<IZMySQLConnection>(DriverManager()->GetConnectionWithProperties(url, &list));
}

// Runs sql on the connection's own session; the rows of its result, if any.
inline std::vector<Row> QueryRows(IZMySQLConnection* connection, const AnsiString& sql) {
  Ref<IZMySQLPlainDriver> plain = connection->GetPlainDriver();
  MYSQL* handle = connection->GetConnectionHandle();
  std::vector<Row> rows;
  if (plain->ExecQuery(handle, sql.c_str()) != 0) {
    ADD_FAILURE() << sql << ": " << plain->GetLastError(handle);
    return rows;
  }
  MYSQL_RES* result = plain->StoreResult(handle);
  if (!result) return rows;
  const int columns = plain->GetFieldCount(result);
  while (MYSQL_ROW row = plain->FetchRow(result)) {
    Row values;
    for (int i = 0; i < columns; ++i) {
      const char* value = plain->GetFieldData(row, i);
      values.push_back(value ? value : "NULL");
    }
    rows.push_back(values);
  }
  plain->FreeResult(result);
  return rows;
}

inline AnsiString QueryValue(IZMySQLConnection* connection, const AnsiString& sql, int column = 0) {
  std::vector<Row> rows = QueryRows(connection, sql);
  return rows.empty() ? AnsiString("<no row>") : rows[0].at(column);
}

// "Command argument" lines of one session in the server's general query log,
// whose lines read "[yymmdd hh:mm:ss]\t<id> <Command>\t<argument>".
inline std::vector<AnsiString> GeneralLog(unsigned long threadId) {
  std::vector<AnsiString> lines;
  std::ifstream in(MariaDbServer::Get().general_log);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) line.erase(0, line.find('\t'));
    std::size_t idStart = line.find_first_not_of(" \t");
    std::size_t idEnd = line.find_first_not_of("0123456789", idStart);
    if (idStart == std::string::npos || idEnd == idStart || idEnd == std::string::npos || line[idEnd] != ' ') continue;
    if (std::stoul(line.substr(idStart, idEnd - idStart)) != threadId) continue;
    std::string entry = line.substr(idEnd + 1);
    std::size_t tab = entry.find('\t');
    if (tab != std::string::npos) entry[tab] = ' ';
    lines.push_back(entry);
  }
  return lines;
}

}  // namespace mysql_test

// The DB-Library driver object: answers to the protocols "sybase" and
// "mssql", each served by its plain driver over the one FreeTDS library,
// and makes connections that log in on their first use. One is registered
// at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/dblib/dblib_plain_driver.h"

class TZDBLibDriver : public TZAbstractDriver {
public:
  TZDBLibDriver();

  // "sybase", then "mssql".
  TZStringDynArray GetSupportedProtocols() override;
  // A closed connection; the library is loaded on the first connect.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The plain driver of the URL's protocol, initialised (library loaded
  // once per run); EZSQLException for a URL of another protocol.
  Ref<IZDBLibPlainDriver> GetPlainDriver(const AnsiString& url);

private:
  Ref<IZDBLibPlainDriver> msSqlPlainDriver_;
  Ref<IZDBLibPlainDriver> sybasePlainDriver_;
};

// The program's one DBLib driver.
Ref<TZDBLibDriver> DBLibDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterDBLibDriver();

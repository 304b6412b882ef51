// The PostgreSQL driver object: answers to the "postgresql" protocols of
// connection URLs, picks the plain driver (7.x or 8.x client generation) for
// a URL and makes connections through it. One is registered at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/postgresql/postgresql_plain_driver.h"

class TZPostgreSQLDriver : public TZAbstractDriver {
public:
  TZPostgreSQLDriver();

  // "postgresql", "postgresql-7", "postgresql-8".
  TZStringDynArray GetSupportedProtocols() override;
  // A closed connection; the library is loaded on the first call.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 3; }
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The 7.x plain driver for "postgresql-7", the 8.x one otherwise;
  // initialised (library loaded) on every call.
  Ref<IZPostgreSQLPlainDriver> GetPlainDriver(const AnsiString& url);

private:
  Ref<IZPostgreSQLPlainDriver> plainDriver7_;
  Ref<IZPostgreSQLPlainDriver> plainDriver8_;
};

// The program's one PostgreSQL driver.
Ref<TZPostgreSQLDriver> PostgreSQLDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterPostgreSQLDriver();

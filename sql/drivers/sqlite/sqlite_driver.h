// The SQLite driver object: answers to the "sqlite..." protocols of
// connection URLs, picks the plain driver (2.8 or 3) for a URL and opens
// database files through it. One is registered at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"

class TZSQLiteDriver : public TZAbstractDriver {
public:
  TZSQLiteDriver();

  // "sqlite", "sqlite-2.8", "sqlite-3".
  TZStringDynArray GetSupportedProtocols() override;
  // An open connection; the library is loaded on the first connect.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // "sqlite-3" gives the version 3 plain driver. "sqlite-2.8" gives the 2.8
  // one, and so would plain "sqlite", but no 2.8 library exists on this
  // platform: plain "sqlite" takes version 3. Initialised (library loaded)
  // on every call.
  Ref<IZSQLitePlainDriver> GetPlainDriver(const AnsiString& url);

private:
  Ref<IZSQLitePlainDriver> sqlite28PlainDriver_;
  Ref<IZSQLitePlainDriver> sqlite3PlainDriver_;
};

// The program's one SQLite driver.
Ref<TZSQLiteDriver> SQLiteDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterSQLiteDriver();

// The SQLite driver and its registration with the driver manager for the
// whole run of the program.

#include "sql/drivers/sqlite/sqlite_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/sqlite/sqlite_connection.h"
#include "sql/drivers/sqlite/sqlite_tokenizer.h"

TZSQLiteDriver::TZSQLiteDriver()
    : sqlite28PlainDriver_(MakeRef<TZSQLite28PlainDriver>()), sqlite3PlainDriver_(MakeRef<TZSQLite3PlainDriver>()) {}

TZStringDynArray TZSQLiteDriver::GetSupportedProtocols() {
  return {"sqlite", sqlite28PlainDriver_->GetProtocol(), sqlite3PlainDriver_->GetProtocol()};
}

Ref<IZSQLitePlainDriver> TZSQLiteDriver::GetPlainDriver(const AnsiString& url) {
  AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  Ref<IZSQLitePlainDriver> result =
      protocol == sqlite28PlainDriver_->GetProtocol() ? sqlite28PlainDriver_ : sqlite3PlainDriver_;
  result->Initialize();
  return result;
}

Ref<IZConnection> TZSQLiteDriver::Connect(const AnsiString& url, TStrings* properties) {
  Ref<IZSQLitePlainDriver> plainDriver = GetPlainDriver(url);
  TZConnectionUrl parts(url, properties);
  return NewConnection<TZSQLiteConnection>(parts, plainDriver);
}

Ref<IZTokenizer> TZSQLiteDriver::GetTokenizer() { return MadeOnce<TZSQLiteTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZSQLiteDriver::GetStatementAnalyser() {
  return MadeOnce<TZSQLiteStatementAnalyser>(Analyser);
}

Ref<TZSQLiteDriver> SQLiteDriver() { return TheDriver<TZSQLiteDriver>(); }

void RegisterSQLiteDriver() { DriverManager()->RegisterDriver(SQLiteDriver()); }

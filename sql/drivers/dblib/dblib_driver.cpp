// The DB-Library driver and its registration with the driver manager for
// the whole run of the program.

#include "sql/drivers/dblib/dblib_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/dblib/dblib_connection.h"
#include "sql/drivers/dblib/sybase_tokenizer.h"

TZDBLibDriver::TZDBLibDriver()
    : msSqlPlainDriver_(MakeRef<TZDBLibMSSQL7PlainDriver>()),
      sybasePlainDriver_(MakeRef<TZDBLibSybaseASE125PlainDriver>()) {}

TZStringDynArray TZDBLibDriver::GetSupportedProtocols() {
  return {sybasePlainDriver_->GetProtocol(), msSqlPlainDriver_->GetProtocol()};
}

Ref<IZDBLibPlainDriver> TZDBLibDriver::GetPlainDriver(const AnsiString& url) {
  const AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  Ref<IZDBLibPlainDriver> result =
      protocol == msSqlPlainDriver_->GetProtocol() ? msSqlPlainDriver_ : sybasePlainDriver_;
  result->Initialize();
  return result;
}

Ref<IZConnection> TZDBLibDriver::Connect(const AnsiString& url, TStrings* properties) {
  TZConnectionUrl parts(url, properties);
  Ref<IZDBLibPlainDriver> plainDriver = GetPlainDriver(url);
  return NewConnection<TZDBLibConnection>(parts, plainDriver);
}

Ref<IZTokenizer> TZDBLibDriver::GetTokenizer() { return MadeOnce<TZSybaseTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZDBLibDriver::GetStatementAnalyser() { return MadeOnce<TZSybaseStatementAnalyser>(Analyser); }

Ref<TZDBLibDriver> DBLibDriver() { return TheDriver<TZDBLibDriver>(); }

void RegisterDBLibDriver() { DriverManager()->RegisterDriver(DBLibDriver()); }

// The PostgreSQL driver and its registration with the driver manager for the
// whole run of the program.

#include "sql/drivers/postgresql/postgresql_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/postgresql/postgresql_connection.h"
#include "sql/drivers/postgresql/postgresql_tokenizer.h"

TZPostgreSQLDriver::TZPostgreSQLDriver()
    : plainDriver7_(MakeRef<TZPostgreSQL7PlainDriver>()), plainDriver8_(MakeRef<TZPostgreSQL8PlainDriver>()) {}

TZStringDynArray TZPostgreSQLDriver::GetSupportedProtocols() {
  return {"postgresql", plainDriver7_->GetProtocol(), plainDriver8_->GetProtocol()};
}

Ref<IZPostgreSQLPlainDriver> TZPostgreSQLDriver::GetPlainDriver(const AnsiString& url) {
  const AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  Ref<IZPostgreSQLPlainDriver> result = protocol == plainDriver7_->GetProtocol() ? plainDriver7_ : plainDriver8_;
  result->Initialize();
  return result;
}

Ref<IZConnection> TZPostgreSQLDriver::Connect(const AnsiString& url, TStrings* properties) {
  Ref<IZPostgreSQLPlainDriver> plainDriver = GetPlainDriver(url);
  TZConnectionUrl parts(url, properties);
  return NewConnection<TZPostgreSQLConnection>(parts, plainDriver);
}

Ref<IZTokenizer> TZPostgreSQLDriver::GetTokenizer() { return MadeOnce<TZPostgreSQLTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZPostgreSQLDriver::GetStatementAnalyser() {
  return MadeOnce<TZPostgreSQLStatementAnalyser>(Analyser);
}

Ref<TZPostgreSQLDriver> PostgreSQLDriver() { return TheDriver<TZPostgreSQLDriver>(); }

void RegisterPostgreSQLDriver() { DriverManager()->RegisterDriver(PostgreSQLDriver()); }

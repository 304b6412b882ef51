// The Oracle driver and its registration with the driver manager for the
// whole run of the program.

#include "sql/drivers/oracle/oracle_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_tokenizer.h"

TZOracleDriver::TZOracleDriver() : plainDriver_(MakeRef<TZOracle9iPlainDriver>()) {}

TZStringDynArray TZOracleDriver::GetSupportedProtocols() { return {"oracle", plainDriver_->GetProtocol()}; }

Ref<IZOraclePlainDriver> TZOracleDriver::GetPlainDriverForUrl(const AnsiString& url) {
  ExtractUrlProtocol(url, GetSupportedProtocols());
  plainDriver_->Initialize();
  return plainDriver_;
}

Ref<IZConnection> TZOracleDriver::Connect(const AnsiString& url, TStrings* properties) {
  Ref<IZOraclePlainDriver> plainDriver = GetPlainDriverForUrl(url);
  TZConnectionUrl parts(url, properties);
  auto connection = NewConnection<TZOracleConnection>(parts, plainDriver);
  connection->Open();
  return connection;
}

Ref<IZTokenizer> TZOracleDriver::GetTokenizer() { return MadeOnce<TZOracleTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZOracleDriver::GetStatementAnalyser() {
  return MadeOnce<TZOracleStatementAnalyser>(Analyser);
}

Ref<TZOracleDriver> OracleDriver() { return TheDriver<TZOracleDriver>(); }

void RegisterOracleDriver() { DriverManager()->RegisterDriver(OracleDriver()); }

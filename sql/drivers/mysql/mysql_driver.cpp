// The MySQL driver and its registration with the driver manager for the
// whole run of the program.

#include "sql/drivers/mysql/mysql_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/mysql/mysql_connection.h"
#include "sql/drivers/mysql/mysql_tokenizer.h"
#include "sql/drivers/mysql/mysql_utils.h"

TZMySQLDriver::TZMySQLDriver()
    : mysql41PlainDriver_(MakeRef<TZMySQL41PlainDriver>()),
      mysql5PlainDriver_(MakeRef<TZMySQL5PlainDriver>()),
      mysqld41PlainDriver_(MakeRef<TZMySQLD41PlainDriver>()),
      mysqld5PlainDriver_(MakeRef<TZMySQLD5PlainDriver>()) {}

TZStringDynArray TZMySQLDriver::GetSupportedProtocols() {
  return {"mysql", mysql41PlainDriver_->GetProtocol(), mysql5PlainDriver_->GetProtocol(),
          mysqld41PlainDriver_->GetProtocol(), mysqld5PlainDriver_->GetProtocol()};
}

Ref<IZMySQLPlainDriver> TZMySQLDriver::GetPlainDriver(const AnsiString& url) {
  AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  Ref<IZMySQLPlainDriver> result = mysql5PlainDriver_;
  for (const Ref<IZMySQLPlainDriver>& candidate :
       {mysql41PlainDriver_, mysql5PlainDriver_, mysqld41PlainDriver_, mysqld5PlainDriver_}) {
    if (candidate->GetProtocol() == protocol) {
      result = candidate;
      break;
    }
  }
  result->Initialize();
  return result;
}

Ref<IZConnection> TZMySQLDriver::Connect(const AnsiString& url, TStrings* properties) {
  Ref<IZMySQLPlainDriver> plainDriver = GetPlainDriver(url);
  TZConnectionUrl parts(url, properties);
  plainDriver->BuildArguments(&parts.properties);
  auto connection = NewConnection<TZMySQLConnection>(parts, plainDriver);
  connection->Open();
  return connection;
}

int TZMySQLDriver::GetClientVersion(const AnsiString& url) {
  return MySQLVersionToSQLVersion(GetPlainDriver(url)->GetClientVersion());
}

Ref<IZTokenizer> TZMySQLDriver::GetTokenizer() { return MadeOnce<TZMySQLTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZMySQLDriver::GetStatementAnalyser() { return MadeOnce<TZMySQLStatementAnalyser>(Analyser); }

Ref<TZMySQLDriver> MySQLDriver() { return TheDriver<TZMySQLDriver>(); }

void RegisterMySQLDriver() { DriverManager()->RegisterDriver(MySQLDriver()); }

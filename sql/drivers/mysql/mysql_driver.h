// The MySQL driver object: answers to the "mysql..." protocols of connection
// URLs, picks the plain driver (client or embedded, 4.1 or 5) for a URL and
// opens connections through it. One is registered at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

class TZMySQLDriver : public TZAbstractDriver {
public:
  TZMySQLDriver();

  // "mysql", then the plain drivers' protocols.
  TZStringDynArray GetSupportedProtocols() override;
  // An open connection; the library is loaded on the first connect.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetClientVersion(const AnsiString& url) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 1; }
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The plain driver whose protocol the URL names exactly, the 5 client one
  // for plain "mysql"; initialised (library loaded) on every call.
  Ref<IZMySQLPlainDriver> GetPlainDriver(const AnsiString& url);

private:
  Ref<IZMySQLPlainDriver> mysql41PlainDriver_;
  Ref<IZMySQLPlainDriver> mysql5PlainDriver_;
  Ref<IZMySQLPlainDriver> mysqld41PlainDriver_;
  Ref<IZMySQLPlainDriver> mysqld5PlainDriver_;
};

// The program's one MySQL driver.
Ref<TZMySQLDriver> MySQLDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterMySQLDriver();

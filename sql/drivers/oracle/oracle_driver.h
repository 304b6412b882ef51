// The Oracle driver object: answers to the protocols "oracle" and
// "oracle-9i", both served by the one plain driver, and opens connections
// through it. One is registered at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/oracle/oracle_plain_driver.h"

class TZOracleDriver : public TZAbstractDriver {
public:
  TZOracleDriver();

  // "oracle", then the plain driver's protocol.
  TZStringDynArray GetSupportedProtocols() override;
  // An open connection; the library is loaded on the first connect.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }
  // One Oracle tokenizer and analyser each, made on first request.
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The plain driver for either protocol of the URL, initialised (library
  // loaded once per run); EZSQLException for a URL of another protocol.
  Ref<IZOraclePlainDriver> GetPlainDriverForUrl(const AnsiString& url);

private:
  Ref<IZOraclePlainDriver> plainDriver_;
};

// The program's one Oracle driver.
Ref<TZOracleDriver> OracleDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterOracleDriver();

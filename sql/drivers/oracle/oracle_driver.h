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

// The driver registered with the driver manager at program start. Linking
// anything that calls it also links the registration.
Ref<TZOracleDriver> OracleDriver();

// The Interbase/Firebird driver object: answers to the nine protocols of the
// client generations, each served by its own plain driver, and makes
// connections through the plain driver of the URL's protocol. One is
// registered at program start.
#pragma once

#include <vector>

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/interbase/interbase_plain_driver.h"

class TZInterbase6Driver : public TZAbstractDriver {
public:
  TZInterbase6Driver();

  // "interbase-5", "interbase-6", "firebird-1.0" ... "firebirdd-2.1".
  TZStringDynArray GetSupportedProtocols() override;
  // A closed connection; the client library is loaded on the first one.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The plain driver of the URL's protocol, initialised (its library loaded
  // once per run); EZSQLException for a URL of another protocol.
  Ref<IZInterbasePlainDriver> GetPlainDriver(const AnsiString& url);

private:
  std::vector<Ref<IZInterbasePlainDriver>> plainDrivers_;
};

// The program's one Interbase driver.
Ref<TZInterbase6Driver> InterbaseDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterInterbaseDriver();

// The ADO driver object: answers to the protocol "ado" and makes connections
// whose database part is an ODBC connection string. One is registered at
// program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/ado/ado_plain_driver.h"

class TZAdoDriver : public TZAbstractDriver {
public:
  TZAdoDriver();

  // "ado".
  TZStringDynArray GetSupportedProtocols() override;
  // A closed connection; it opens on Open or its first statement.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }

private:
  Ref<IZPlainDriver> plainDriver_;
};

// The program's one Ado driver.
Ref<TZAdoDriver> AdoDriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterAdoDriver();

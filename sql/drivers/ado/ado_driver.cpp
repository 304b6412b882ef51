// The ADO driver and its registration with the driver manager for the whole
// run of the program.

#include "sql/drivers/ado/ado_driver.h"

#include "platform/rtl/lists.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_connection.h"

TZAdoDriver::TZAdoDriver() : plainDriver_(MakeRef<TZAdoPlainDriver>()) {}

TZStringDynArray TZAdoDriver::GetSupportedProtocols() { return {plainDriver_->GetProtocol()}; }

Ref<IZConnection> TZAdoDriver::Connect(const AnsiString& url, TStrings* properties) {
  AnsiString hostName, database, user, password;
  int port = 0;
  TStringList connectionProperties;
  ParseDatabaseUrl(url, properties, hostName, port, database, user, password, &connectionProperties);
  ExtractUrlProtocol(url, GetSupportedProtocols());
  plainDriver_->Initialize();
  return MakeRef<TZAdoConnection>(Ref<IZDriver>(this), url, plainDriver_, hostName, port, database, user, password,
                                  &connectionProperties);
}

Ref<TZAdoDriver> AdoDriver() { return TheDriver<TZAdoDriver>(); }

void RegisterAdoDriver() { DriverManager()->RegisterDriver(AdoDriver()); }

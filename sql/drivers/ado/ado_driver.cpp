// The ADO driver and its registration with the driver manager for the whole
// run of the program.

#include "sql/drivers/ado/ado_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_connection.h"

TZAdoDriver::TZAdoDriver() : plainDriver_(MakeRef<TZAdoPlainDriver>()) {}

TZStringDynArray TZAdoDriver::GetSupportedProtocols() { return {plainDriver_->GetProtocol()}; }

Ref<IZConnection> TZAdoDriver::Connect(const AnsiString& url, TStrings* properties) {
  TZConnectionUrl parts(url, properties);
  ExtractUrlProtocol(url, GetSupportedProtocols());
  plainDriver_->Initialize();
  return NewConnection<TZAdoConnection>(parts, plainDriver_);
}

Ref<TZAdoDriver> AdoDriver() { return TheDriver<TZAdoDriver>(); }

void RegisterAdoDriver() { DriverManager()->RegisterDriver(AdoDriver()); }

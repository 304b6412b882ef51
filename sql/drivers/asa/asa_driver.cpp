// The ASA driver and its registration with the driver manager for the whole
// run of the program.

#include "sql/drivers/asa/asa_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/asa/asa_connection.h"
#include "sql/drivers/dblib/sybase_tokenizer.h"

TZASADriver::TZASADriver()
    : plainDrivers_{MakeRef<TZASA7PlainDriver>(), MakeRef<TZASA8PlainDriver>(), MakeRef<TZASA9PlainDriver>()} {}

TZStringDynArray TZASADriver::GetSupportedProtocols() {
  TZStringDynArray protocols;
  for (const Ref<IZASAPlainDriver>& plainDriver : plainDrivers_) protocols.push_back(plainDriver->GetProtocol());
  return protocols;
}

Ref<IZASAPlainDriver> TZASADriver::GetPlainDriver(const AnsiString& url) {
  const AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  for (const Ref<IZASAPlainDriver>& plainDriver : plainDrivers_) {
    if (plainDriver->GetProtocol() != protocol) continue;
    plainDriver->Initialize();
    return plainDriver;
  }
  return nullptr;  // unreachable: the protocol is one of ours
}

Ref<IZConnection> TZASADriver::Connect(const AnsiString& url, TStrings* properties) {
  TZConnectionUrl parts(url, properties);
  Ref<IZASAPlainDriver> plainDriver = GetPlainDriver(url);
  return NewConnection<TZASAConnection>(parts, plainDriver);
}

Ref<IZTokenizer> TZASADriver::GetTokenizer() { return MadeOnce<TZSybaseTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZASADriver::GetStatementAnalyser() { return MadeOnce<TZSybaseStatementAnalyser>(Analyser); }

Ref<TZASADriver> ASADriver() { return TheDriver<TZASADriver>(); }

void RegisterASADriver() { DriverManager()->RegisterDriver(ASADriver()); }

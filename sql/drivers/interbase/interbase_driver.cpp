// The Interbase/Firebird driver and its registration with the driver manager
// for the whole run of the program.

#include "sql/drivers/interbase/interbase_driver.h"

#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_tokenizer.h"

TZInterbase6Driver::TZInterbase6Driver()
    : plainDrivers_{MakeRef<TZInterbase5PlainDriver>(),  MakeRef<TZInterbase6PlainDriver>(),
                    MakeRef<TZFirebird10PlainDriver>(),  MakeRef<TZFirebird15PlainDriver>(),
                    MakeRef<TZFirebird20PlainDriver>(),  MakeRef<TZFirebird21PlainDriver>(),
                    MakeRef<TZFirebirdD15PlainDriver>(), MakeRef<TZFirebirdD20PlainDriver>(),
                    MakeRef<TZFirebirdD21PlainDriver>()} {}

TZStringDynArray TZInterbase6Driver::GetSupportedProtocols() {
  TZStringDynArray protocols;
  for (const Ref<IZInterbasePlainDriver>& plainDriver : plainDrivers_) protocols.push_back(plainDriver->GetProtocol());
  return protocols;
}

Ref<IZInterbasePlainDriver> TZInterbase6Driver::GetPlainDriver(const AnsiString& url) {
  const AnsiString protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  for (const Ref<IZInterbasePlainDriver>& plainDriver : plainDrivers_) {
    if (plainDriver->GetProtocol() != protocol) continue;
    plainDriver->Initialize();
    return plainDriver;
  }
  return nullptr;  // not reached: the protocol was checked above
}

Ref<IZConnection> TZInterbase6Driver::Connect(const AnsiString& url, TStrings* properties) {
  TZConnectionUrl parts(url, properties);
  Ref<IZInterbasePlainDriver> plainDriver = GetPlainDriver(url);
  return NewConnection<TZInterbase6Connection>(parts, plainDriver);
}

Ref<IZTokenizer> TZInterbase6Driver::GetTokenizer() { return MadeOnce<TZInterbaseTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZInterbase6Driver::GetStatementAnalyser() {
  return MadeOnce<TZInterbaseStatementAnalyser>(Analyser);
}

Ref<TZInterbase6Driver> InterbaseDriver() { return TheDriver<TZInterbase6Driver>(); }

void RegisterInterbaseDriver() { DriverManager()->RegisterDriver(InterbaseDriver()); }

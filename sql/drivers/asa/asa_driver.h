// The ASA driver object: answers to the protocols "ASA7", "ASA8" and
// "ASA9", each served by the plain driver of its client generation, and
// makes connections that connect on their first use. Its SQL is split with
// the Sybase tokenizer and analyser. One is registered at program start.
#pragma once

#include "sql/core/dbc/abstract_driver.h"
#include "sql/drivers/asa/asa_plain_driver.h"

class TZASADriver : public TZAbstractDriver {
public:
  TZASADriver();

  // "ASA7", "ASA8", "ASA9".
  TZStringDynArray GetSupportedProtocols() override;
  // A closed connection; the generation's library is loaded on the first
  // connect.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetMajorVersion() override { return 1; }
  int GetMinorVersion() override { return 0; }
  Ref<IZTokenizer> GetTokenizer() override;
  Ref<IZStatementAnalyser> GetStatementAnalyser() override;

  // The plain driver of the URL's protocol, initialised; EZSQLException
  // for a URL of another protocol, the loader's error without its library.
  Ref<IZASAPlainDriver> GetPlainDriver(const AnsiString& url);

private:
  Ref<IZASAPlainDriver> plainDrivers_[3];
};

// The program's one ASA driver.
Ref<TZASADriver> ASADriver();
// Registers it with the driver manager; a program calls this once at start-up
// for each driver it uses (again is harmless).
void RegisterASADriver();

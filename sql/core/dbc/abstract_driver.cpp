// Common driver behaviour (see abstract_driver.h).

#include "sql/core/dbc/abstract_driver.h"

#include "platform/rtl/lists.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

TZAbstractDriver::TZAbstractDriver() = default;
TZAbstractDriver::~TZAbstractDriver() = default;

Ref<IZConnection> TZAbstractDriver::Connect(const AnsiString&, TStrings*) { return nullptr; }

int TZAbstractDriver::GetClientVersion(const AnsiString&) { return 0; }

bool TZAbstractDriver::AcceptsURL(const AnsiString& url) {
  for (const AnsiString& protocol : GetSupportedProtocols())
    if (url.starts_with("zdbc:" + protocol + ":")) return true;
  return false;
}

std::unique_ptr<TStrings> TZAbstractDriver::GetPropertyInfo(const AnsiString&, TStrings*) { return nullptr; }

Ref<IZTokenizer> TZAbstractDriver::GetTokenizer() {
  if (!Tokenizer) Tokenizer = MakeRef<TZGenericSQLTokenizer>();
  return Tokenizer;
}

Ref<IZStatementAnalyser> TZAbstractDriver::GetStatementAnalyser() {
  if (!Analyser) Analyser = MakeRef<TZGenericStatementAnalyser>();
  return Analyser;
}

// Common driver behaviour (see abstract_driver.h).

#include "sql/core/dbc/abstract_driver.h"

#include "sql/core/dbc/dbc_utils.h"
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

Ref<IZTokenizer> TZAbstractDriver::GetTokenizer() { return MadeOnce<TZGenericSQLTokenizer>(Tokenizer); }

Ref<IZStatementAnalyser> TZAbstractDriver::GetStatementAnalyser() {
  return MadeOnce<TZGenericStatementAnalyser>(Analyser);
}

TZAbstractDriver::TZConnectionUrl::TZConnectionUrl(const AnsiString& url, TStrings* properties) : url(url) {
  ParseDatabaseUrl(url, properties, hostName, port, database, user, password, &this->properties);
}

// Fuzzes every driver's SQL dialect: its tokenizer and statement analyser get
// arbitrary text. The first byte picks the dialect and tokenizer options.
// Besides not crashing: tokenizing with no options loses no character, and
// splitting into sections keeps every token in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sql/drivers/dblib/sybase_tokenizer.h"
#include "sql/drivers/interbase/interbase_tokenizer.h"
#include "sql/drivers/mysql/mysql_tokenizer.h"
#include "sql/drivers/oracle/oracle_tokenizer.h"
#include "sql/drivers/postgresql/postgresql_tokenizer.h"
#include "sql/drivers/sqlite/sqlite_tokenizer.h"

namespace {

struct Dialect {
  Ref<IZTokenizer> tokenizer;
  Ref<IZStatementAnalyser> analyser;
};

template <class Tokenizer, class Analyser>
Dialect Make() {
  return {MakeRef<Tokenizer>(), MakeRef<Analyser>()};
}

AnsiString Compose(const TZTokenList& tokens) {
  AnsiString text;
  for (const TZToken& token : tokens) text += token.Value;
  return text;
}

void Check(const Dialect& d, const AnsiString& text, TZTokenizerOptions options) {
  if (Compose(d.tokenizer->TokenizeBufferToList(text, 0)) != text) std::abort();
  d.tokenizer->TokenizeBufferToList(text, options);
  const TZTokenList tokens = d.analyser->TokenizeQuery(d.tokenizer.get(), text, false);
  if (d.analyser->ComposeSections(d.analyser->SplitSections(tokens)) != d.analyser->ComposeTokens(tokens))
    std::abort();
  Ref<IZSelectSchema> schema = d.analyser->DefineSelectSchemaFromQuery(d.tokenizer.get(), text);
  if (schema) schema->LinkReferences(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const Dialect dialects[] = {
      Make<TZMySQLTokenizer, TZMySQLStatementAnalyser>(),
      Make<TZPostgreSQLTokenizer, TZPostgreSQLStatementAnalyser>(),
      Make<TZSQLiteTokenizer, TZSQLiteStatementAnalyser>(),
      Make<TZInterbaseTokenizer, TZInterbaseStatementAnalyser>(),
      Make<TZOracleTokenizer, TZOracleStatementAnalyser>(),
      Make<TZSybaseTokenizer, TZSybaseStatementAnalyser>(),
  };
  constexpr size_t kDialects = sizeof dialects / sizeof dialects[0];
  const Dialect& dialect = dialects[data[0] % kDialects];
  const auto options = static_cast<TZTokenizerOptions>(data[0] / kDialects);
  const AnsiString text(reinterpret_cast<const char*>(data) + 1, size - 1);
  Check(dialect, text, options);
  return 0;
}

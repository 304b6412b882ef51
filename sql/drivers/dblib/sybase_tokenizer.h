// The Transact-SQL dialect of the SQL tokenizer and its statement analyser,
// shared by the DB-Library and ASA drivers: exponent and "0x" numbers, names
// in double quotes or square brackets, "--" and "/*" comments, the dialect's
// comparison operators, and words that may start with "@" (variables) or "#"
// (temporary tables).
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// The base symbols plus "<=", ">=", "<>", "!<", "!>" and "!=".
class TZSybaseSymbolState : public TZSymbolState {
public:
  TZSybaseSymbolState();
};

// The generic words, with "@" and "#" as word characters too.
class TZSybaseWordState : public TZGenericSQLWordState {
public:
  TZSybaseWordState();
};

class TZSybaseTokenizer : public TZTokenizer {
public:
  TZSybaseTokenizer();
};

// The generic analyser: the dialect adds no section or clause words.
class TZSybaseStatementAnalyser : public TZGenericStatementAnalyser {};

// The Oracle dialect of the SQL tokenizer and statement analyser. The
// prepared statement uses the tokenizer to find the "?" markers it rewrites;
// numbers and comments are read by the core's shared readers, as in the
// PostgreSQL and Transact-SQL dialects.
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// The base symbols plus "<=", ">=", "<>", "!=" and "||".
class TZOracleSymbolState : public TZSymbolState {
public:
  TZOracleSymbolState();
};

// ASCII letters, digits, "_", "$", "#" and "@" continue a word; characters
// 128 to 255 never belong to one.
class TZOracleWordState : public TZGenericSQLWordState {
public:
  TZOracleWordState();
};

// Words start with a letter, "_", "$" or "#"; "@" and characters 128 to 255
// are one-character symbols.
class TZOracleTokenizer : public TZTokenizer {
public:
  TZOracleTokenizer();
};

// The generic analyser with the hierarchical query clauses (START WITH,
// CONNECT BY, ORDER SIBLINGS BY) as sections and without LIMIT or OFFSET.
class TZOracleStatementAnalyser : public TZGenericStatementAnalyser {
public:
  TZOracleStatementAnalyser();
};

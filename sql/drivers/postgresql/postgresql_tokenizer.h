// The PostgreSQL dialect of the SQL tokenizer and statement analyser: decimal
// and exponent numbers (the number state two other dialects take over), the
// backslash-escaped literals with double-quoted names as words, "--" and "/*"
// comments, and words without "$".
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// Digits, fraction and exponent; never a sign, never hexadecimal.
class TZPostgreSQLNumberState : public TZExponentNumberState {};

// Backslash escapes and doubled quotes; a double-quoted token is a name
// (ttWord), a single-quoted one ttQuoted.
class TZPostgreSQLQuoteState : public TZBackslashQuoteState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

class TZPostgreSQLCommentState : public TZDoubleDashCommentState {};

// The base symbols plus "<=", ">=", "<>", "<<" and ">>".
class TZPostgreSQLSymbolState : public TZGenericSQLSymbolState {};

// Letters, digits, "_" and codes 192 to 255; unlike the generic words, no "$".
class TZPostgreSQLWordState : public TZGenericSQLWordState {
public:
  TZPostgreSQLWordState();
};

class TZPostgreSQLTokenizer : public TZTokenizer {
public:
  TZPostgreSQLTokenizer();
};

class TZPostgreSQLStatementAnalyser : public TZGenericStatementAnalyser {
public:
  TZPostgreSQLStatementAnalyser();
};

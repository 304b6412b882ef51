// The Interbase/Firebird dialect of the SQL tokenizer and statement
// analyser: "!=", "!<" and "!>" besides the usual comparison symbols,
// exponent numbers, names that may hold "$" (RDB$RELATIONS) but no
// characters above 127, and only "/*" comments ("--" is two minus signs).
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// The base symbols plus "<=", ">=", "<>", "!=", "!<" and "!>".
class TZInterbaseSymbolState : public TZSymbolState {
public:
  TZInterbaseSymbolState();
};

// Decimal numbers with fraction and exponent; never a sign.
class TZInterbaseNumberState : public TZExponentNumberState {};

class TZInterbaseQuoteState : public TZGenericSQLQuoteState {};

// Words of ASCII letters, digits, "_" and "$".
class TZInterbaseWordState : public TZGenericSQLWordState {
public:
  TZInterbaseWordState();
};

class TZInterbaseCommentState : public TZCCommentState {};

class TZInterbaseTokenizer : public TZTokenizer {
public:
  TZInterbaseTokenizer();
};

// The generic section words serve this dialect unchanged.
class TZInterbaseStatementAnalyser : public TZGenericStatementAnalyser {};

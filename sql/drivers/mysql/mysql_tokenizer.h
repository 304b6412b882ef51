// The MySQL dialect of the SQL tokenizer and statement analyser: hexadecimal
// and exponent numbers, three quote characters with backslash escapes, "--",
// "#" and "/*" comments (with "/*!...*/" kept as a symbol, so that text the
// server runs conditionally survives a tokenizing that drops comments).
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// Decimal, exponent and "0x" hexadecimal numbers; never a sign.
class TZMySQLNumberState : public TZExponentNumberState {
public:
  TZMySQLNumberState() : TZExponentNumberState(true) {}
};

// The core's backslash-escaped literals.
class TZMySQLQuoteState : public TZBackslashQuoteState {};

class TZMySQLCommentState : public TZCppCommentState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// The base symbols plus "<=", ">=", "<>", "<<", ">>" and ":=".
class TZMySQLSymbolState : public TZSymbolState {
public:
  TZMySQLSymbolState();
};

// Words of letters, digits, "$", "_" and codes 192-255.
class TZMySQLWordState : public TZGenericSQLWordState {
public:
  TZMySQLWordState();
};

class TZMySQLTokenizer : public TZTokenizer {
public:
  TZMySQLTokenizer();
};

class TZMySQLStatementAnalyser : public TZGenericStatementAnalyser {
public:
  TZMySQLStatementAnalyser();
};

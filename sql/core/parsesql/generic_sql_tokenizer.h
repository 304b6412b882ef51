// The tokenizer for SQL that no dialect has refined: the default tokenizer of
// drivers and the one the dataset layer shares. Its word state, which marks the
// nine expression keywords, is the base of every dialect's word state.
#pragma once

#include "sql/core/parsesql/tokenizer_states.h"

// The base symbols plus "<=", ">=", "<>", "<<" and ">>".
class TZGenericSQLSymbolState : public TZSymbolState {
public:
  TZGenericSQLSymbolState();
};

// Letters, digits, "$", "_" and codes 192 to 255 continue a word; AND, OR, NOT,
// XOR, LIKE, IS, NULL, TRUE and FALSE in any case are ttKeyword, the rest ttWord.
class TZGenericSQLWordState : public TZWordState {
public:
  TZGenericSQLWordState();
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// Literals in double quotes (names, ttWord), single quotes or back-quotes
// (ttQuoted); a doubled quote stays inside the literal.
class TZGenericSQLQuoteState : public TZQuoteState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  AnsiString EncodeString(const AnsiString& value, char quoteChar) override;
  AnsiString DecodeString(const AnsiString& value, char quoteChar) override;
};

class TZGenericSQLTokenizer : public TZTokenizer {
public:
  TZGenericSQLTokenizer();
};

// Whether word, upper-cased the ASCII way, is one of the nine expression keywords.
bool IsExpressionKeyword(const AnsiString& word);

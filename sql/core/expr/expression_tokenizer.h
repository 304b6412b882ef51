// The tokenizer of the expression language used by dataset filters: numbers
// with fraction and exponent, quoted texts with backslash escapes, "/*"
// comments, the comparison symbols including "!=", and names.
#pragma once

#include "sql/core/parsesql/tokenizer_states.h"

class TZExpressionNumberState : public TZExponentNumberState {};

// Double-quoted names (ttWord) and single-quoted texts (ttQuoted); a quote
// after a backslash or doubled does not end the literal.
class TZExpressionQuoteState : public TZQuoteState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  AnsiString EncodeString(const AnsiString& value, char quoteChar) override;
  AnsiString DecodeString(const AnsiString& value, char quoteChar) override;
};

class TZExpressionCommentState : public TZCppCommentState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

class TZExpressionSymbolState : public TZSymbolState {
public:
  TZExpressionSymbolState();
};

// Letters, digits, "_" and codes 192 to 255 (no "$"); the nine keywords as
// the generic SQL word state marks them.
class TZExpressionWordState : public TZWordState {
public:
  TZExpressionWordState();
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

class TZExpressionTokenizer : public TZTokenizer {
public:
  TZExpressionTokenizer();
};

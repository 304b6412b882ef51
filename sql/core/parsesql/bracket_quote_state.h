// The quote reader of dialects that quote names in square brackets as well as
// in double quotes ("[my table]"), with single-quoted texts; doubled quote
// characters stay inside a literal. Shared by the SQLite and Sybase dialects.
#pragma once

#include "sql/core/parsesql/tokenizer_states.h"

// A token opened by the double quote or "[" is a name (ttWord), one opened by
// "'" (or a stray "]") a text (ttQuoted). "[" runs to the first "]"; the
// quotes run to the first one that is not doubled; an unterminated literal
// runs to the end of the text. The token keeps its quotes as written.
class TZBracketQuoteState : public TZQuoteState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  // "[" + value + "]" for "["; value between two quoteChar for the double and
  // single quote (inner quotes not doubled); value itself for anything else.
  AnsiString EncodeString(const AnsiString& value, char quoteChar) override;
  // The reverse: the text between the quotes, doubled quotes made single
  // (brackets are never doubled); value unchanged when it is not so quoted.
  AnsiString DecodeString(const AnsiString& value, char quoteChar) override;
};

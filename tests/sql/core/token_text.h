// Renders token lists as one line ("W(12abc) EOF()") so tokenizer tests can
// compare whole sequences in tables.
#pragma once

#include "sql/core/parsesql/tokenizer.h"

inline AnsiString TokenText(const TZTokenList& tokens) {
  static const char* const kNames[] = {"?", "EOF", "F", "I", "H", "N", "S", "Q", "QI", "W", "K", "_", "C"};
  AnsiString text;
  for (const TZToken& token : tokens) {
    if (!text.empty()) text += ' ';
    text += kNames[token.TokenType];
    text += '(' + token.Value + ')';
  }
  return text;
}

// The bracket-and-quote reader (see bracket_quote_state.h).

#include "sql/core/parsesql/bracket_quote_state.h"

namespace {

bool IsTextQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

TZToken TZBracketQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  AnsiString value(1, firstChar);
  bool afterQuote = false;  // the previous character closes the literal unless doubled
  char previous = '\0';
  char c;
  while (stream.Read(c) > 0) {
    const bool closed = firstChar == '[' ? previous == ']' : afterQuote && c != firstChar;
    if (closed) {
      stream.Back(1);
      break;
    }
    value += c;
    // A doubled quote is one character of the text, and closes nothing.
    afterQuote = !afterQuote && c == firstChar;
    previous = c;
  }
  return {value, firstChar == '"' || firstChar == '[' ? ttWord : ttQuoted};
}

AnsiString TZBracketQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  if (quoteChar == '[') return "[" + value + "]";
  if (IsTextQuote(quoteChar)) return quoteChar + value + quoteChar;
  return value;
}

AnsiString TZBracketQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (value.size() < 2) return value;
  if (quoteChar == '[') {
    if (value.front() != '[' || value.back() != ']') return value;
    return value.substr(1, value.size() - 2);
  }
  if (!IsTextQuote(quoteChar) || value.front() != quoteChar || value.back() != quoteChar) return value;
  AnsiString result;
  for (std::size_t i = 1; i + 1 < value.size(); ++i) {
    result += value[i];
    if (value[i] == quoteChar && value[i + 1] == quoteChar && i + 2 < value.size()) ++i;
  }
  return result;
}

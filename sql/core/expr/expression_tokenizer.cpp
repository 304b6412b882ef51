// The expression tokenizer and its states.
#include "sql/core/expr/expression_tokenizer.h"

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/sysutils.h"

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExpressionQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

TZToken TZExpressionNumberState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  AnsiString text(1, firstChar);
  bool fraction = firstChar == '.';
  char stop = 0;
  // Appends a run of digits; stop is the first other character, left unread.
  auto readDigits = [&] {
    char c;
    while (stream.Read(c) > 0) {
      if (!IsDigit(c)) {
        stream.Back(1);
        stop = c;
        return;
      }
      text += c;
    }
    stop = 0;
  };
  char c;
  if (IsDigit(firstChar)) {
    readDigits();
    if (stop == '.') {
      fraction = true;
      stream.Read(c);
      text += c;
    }
  }
  if (fraction) readDigits();
  if (stop == 'E' || stop == 'e') {
    stream.Read(c);
    text += c;
    fraction = true;
    const int read = stream.Read(c);
    if (read > 0 && (c == '+' || c == '-' || IsDigit(c))) {
      text += c;
      readDigits();
    } else {
      // Not an exponent after all: the marker is read again as a name.
      text.pop_back();
      stream.Back(1 + static_cast<std::size_t>(read));
    }
  }
  if (text == ".") return SymbolToken(stream, firstChar, tokenizer, text);
  return {text, fraction ? ttFloat : ttInteger};
}

TZToken TZExpressionQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadQuoted(stream, firstChar, true), firstChar == '"' ? ttWord : ttQuoted};
}

AnsiString TZExpressionQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  return IsExpressionQuote(quoteChar) ? quoteChar + EncodeCString(value) + quoteChar : value;
}

AnsiString TZExpressionQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (IsExpressionQuote(quoteChar) && value.size() > 1 && value.front() == quoteChar && value.back() == quoteChar)
    return DecodeCString(value.substr(1, value.size() - 2));
  return value;
}

TZToken TZExpressionCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  return CCommentOrSymbol(stream, firstChar, tokenizer);
}

TZExpressionSymbolState::TZExpressionSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "!="}) Add(symbol);
}

TZExpressionWordState::TZExpressionWordState() {
  SetLetterAndDigitChars();
}

TZToken TZExpressionWordState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  TZToken token = TZWordState::NextToken(stream, firstChar, tokenizer);
  if (IsExpressionKeyword(token.Value)) token.TokenType = ttKeyword;
  return token;
}

TZExpressionTokenizer::TZExpressionTokenizer() {
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  SymbolState = std::make_unique<TZExpressionSymbolState>();
  NumberState = std::make_unique<TZExpressionNumberState>();
  QuoteState = std::make_unique<TZExpressionQuoteState>();
  WordState = std::make_unique<TZExpressionWordState>();
  CommentState = std::make_unique<TZExpressionCommentState>();

  SetStandardCharacterStates();
  SetCharacterState('"', '"', QuoteState.get());
  SetCharacterState('\'', '\'', QuoteState.get());
  SetCharacterState('/', '/', CommentState.get());
}

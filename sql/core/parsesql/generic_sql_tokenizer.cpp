// The generic SQL tokenizer and its three own states.
#include "sql/core/parsesql/generic_sql_tokenizer.h"

#include "platform/rtl/text.h"

namespace {

bool IsSqlQuote(char c) { return c == '"' || c == '\'' || c == '`'; }

}  // namespace

bool IsExpressionKeyword(const AnsiString& word) {
  static const char* const kKeywords[] = {"AND", "OR", "NOT", "XOR", "LIKE", "IS", "NULL", "TRUE", "FALSE"};
  for (const char* keyword : kKeywords)
    if (SameText(word, keyword)) return true;
  return false;
}

TZGenericSQLSymbolState::TZGenericSQLSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "<<", ">>"}) Add(symbol);
}

TZGenericSQLWordState::TZGenericSQLWordState() {
  SetWordChars('\0', '\xFF', false);
  SetLetterAndDigitChars();
  SetWordChars('$', '$', true);
}

TZToken TZGenericSQLWordState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  TZToken token = TZWordState::NextToken(stream, firstChar, tokenizer);
  if (IsExpressionKeyword(token.Value)) token.TokenType = ttKeyword;
  return token;
}

TZToken TZGenericSQLQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadQuoted(stream, firstChar, false), firstChar == '"' ? ttWord : ttQuoted};
}

AnsiString TZGenericSQLQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  return IsSqlQuote(quoteChar) ? AnsiQuotedStr(value, quoteChar) : value;
}

AnsiString TZGenericSQLQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (!IsSqlQuote(quoteChar) || value.size() < 2 || value.front() != quoteChar || value.back() != quoteChar)
    return value;
  std::size_t pos = 0;
  return AnsiExtractQuotedStr(value, pos, quoteChar);
}

TZGenericSQLTokenizer::TZGenericSQLTokenizer() {
  NumberState = std::make_unique<TZNumberState>();
  QuoteState = std::make_unique<TZGenericSQLQuoteState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  CommentState = std::make_unique<TZCppCommentState>();
  SymbolState = std::make_unique<TZGenericSQLSymbolState>();
  WordState = std::make_unique<TZGenericSQLWordState>();

  SetStandardCharacterStates();
  SetCharacterState('$', '$', WordState.get());
  SetCharacterState('"', '"', QuoteState.get());
  SetCharacterState('\'', '\'', QuoteState.get());
  SetCharacterState('`', '`', QuoteState.get());
  SetCharacterState('/', '/', CommentState.get());
}

// The expression tokenizer and its states.
#include "sql/core/expr/expression_tokenizer.h"

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/sysutils.h"

namespace {

bool IsExpressionQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

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

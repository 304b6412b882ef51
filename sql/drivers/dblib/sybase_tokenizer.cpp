// The Transact-SQL tokenizer table, its symbols and words. Numbers, quotes
// and comments use the core's shared readers.

#include "sql/drivers/dblib/sybase_tokenizer.h"

#include "sql/core/parsesql/bracket_quote_state.h"

TZSybaseSymbolState::TZSybaseSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "!<", "!>", "!="}) Add(symbol);
}

TZSybaseWordState::TZSybaseWordState() {
  SetWordChars('@', '@', true);
  SetWordChars('#', '#', true);
}

TZSybaseTokenizer::TZSybaseTokenizer() {
  CommentState = std::make_unique<TZDoubleDashCommentState>();
  NumberState = std::make_unique<TZExponentNumberState>(/*hexadecimal=*/true);
  QuoteState = std::make_unique<TZBracketQuoteState>();
  SymbolState = std::make_unique<TZSybaseSymbolState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  WordState = std::make_unique<TZSybaseWordState>();

  SetStandardCharacterStates();
  for (char start : {'$', '@', '#'}) SetCharacterState(start, start, WordState.get());
  for (char quote : {'"', '\'', '[', ']'}) SetCharacterState(quote, quote, QuoteState.get());
  for (char comment : {'/', '-'}) SetCharacterState(comment, comment, CommentState.get());
}

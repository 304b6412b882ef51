// The Interbase/Firebird tokenizer table and its symbol and word states.

#include "sql/drivers/interbase/interbase_tokenizer.h"

TZInterbaseSymbolState::TZInterbaseSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "!=", "!<", "!>"}) Add(symbol);
}

TZInterbaseWordState::TZInterbaseWordState() {
  SetWordChars('\0', '\xFF', false);
  SetWordChars('a', 'z', true);
  SetWordChars('A', 'Z', true);
  SetWordChars('0', '9', true);
  SetWordChars('_', '_', true);
  SetWordChars('$', '$', true);
}

TZInterbaseTokenizer::TZInterbaseTokenizer() {
  CommentState = std::make_unique<TZInterbaseCommentState>();
  NumberState = std::make_unique<TZInterbaseNumberState>();
  QuoteState = std::make_unique<TZInterbaseQuoteState>();
  SymbolState = std::make_unique<TZInterbaseSymbolState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  WordState = std::make_unique<TZInterbaseWordState>();

  // Characters above 127 start no word here: each is a symbol of its own.
  SetCharacterState('\0', '\xFF', SymbolState.get());
  SetCharacterState('\0', ' ', WhitespaceState.get());
  SetCharacterState('a', 'z', WordState.get());
  SetCharacterState('A', 'Z', WordState.get());
  SetCharacterState('_', '_', WordState.get());
  SetCharacterState('$', '$', WordState.get());
  SetCharacterState('0', '9', NumberState.get());
  SetCharacterState('.', '.', NumberState.get());
  SetCharacterState('"', '"', QuoteState.get());
  SetCharacterState('\'', '\'', QuoteState.get());
  SetCharacterState('/', '/', CommentState.get());
}

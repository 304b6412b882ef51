// The SQLite tokenizer table, its symbols and words, and the analyser's word
// lists. Numbers, quotes and comments use the core's shared readers.

#include "sql/drivers/sqlite/sqlite_tokenizer.h"

#include "sql/core/parsesql/bracket_quote_state.h"
#include "sql/core/sysutils.h"

TZSQLiteSymbolState::TZSQLiteSymbolState() {
  for (const char* symbol : {"!=", "==", "||"}) Add(symbol);
}

TZSQLiteWordState::TZSQLiteWordState() {
  SetWordChars('\0', '\xFF', false);
  SetWordChars('a', 'z', true);
  SetWordChars('A', 'Z', true);
  SetWordChars('0', '9', true);
  SetWordChars('_', '_', true);
}

TZSQLiteTokenizer::TZSQLiteTokenizer() {
  CommentState = std::make_unique<TZDoubleDashCommentState>();
  NumberState = std::make_unique<TZExponentNumberState>();
  QuoteState = std::make_unique<TZBracketQuoteState>();
  SymbolState = std::make_unique<TZSQLiteSymbolState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  WordState = std::make_unique<TZSQLiteWordState>();

  SetStandardCharacterStates();
  // Letters of the code page are no word characters here.
  SetCharacterState('\x80', '\xFF', SymbolState.get());
  for (char quote : {'"', '\'', '[', ']'}) SetCharacterState(quote, quote, QuoteState.get());
  for (char comment : {'/', '-'}) SetCharacterState(comment, comment, CommentState.get());
}

TZSQLiteStatementAnalyser::TZSQLiteStatementAnalyser()
    : TZGenericStatementAnalyser(ArrayToStrings({"SELECT", "UPDATE", "DELETE", "INSERT", "FROM", "WHERE", "INTO",
                                                 "GROUP*BY", "HAVING", "ORDER*BY", "OFFSET", "LIMIT"}),
                                 ArrayToStrings({"DISTINCT", "ALL"}),
                                 ArrayToStrings({"NATURAL", "RIGHT", "LEFT", "FULL", "INNER", "OUTER", "JOIN", "CROSS"}),
                                 ArrayToStrings({"ON", "USING"})) {}

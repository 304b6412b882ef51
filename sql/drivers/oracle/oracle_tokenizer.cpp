// The Oracle tokenizer table, its symbols and words, and the analyser's word
// lists.

#include "sql/drivers/oracle/oracle_tokenizer.h"

TZOracleSymbolState::TZOracleSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "!=", "||"}) Add(symbol);
}

TZOracleWordState::TZOracleWordState() {
  SetWordChars('\0', '\xFF', false);
  SetWordChars('a', 'z', true);
  SetWordChars('A', 'Z', true);
  SetWordChars('0', '9', true);
  for (char extra : {'_', '$', '#', '@'}) SetWordChars(extra, extra, true);
}

TZOracleTokenizer::TZOracleTokenizer() {
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  SymbolState = std::make_unique<TZOracleSymbolState>();
  NumberState = std::make_unique<TZExponentNumberState>();
  QuoteState = std::make_unique<TZGenericSQLQuoteState>();
  WordState = std::make_unique<TZOracleWordState>();
  CommentState = std::make_unique<TZDoubleDashCommentState>();

  SetCharacterState('\0', '\xFF', SymbolState.get());
  SetCharacterState('\0', ' ', WhitespaceState.get());
  SetCharacterState('a', 'z', WordState.get());
  SetCharacterState('A', 'Z', WordState.get());
  for (char start : {'_', '$', '#'}) SetCharacterState(start, start, WordState.get());
  SetCharacterState('0', '9', NumberState.get());
  SetCharacterState('.', '.', NumberState.get());
  for (char quote : {'"', '\''}) SetCharacterState(quote, quote, QuoteState.get());
  for (char comment : {'/', '-'}) SetCharacterState(comment, comment, CommentState.get());
}

TZOracleStatementAnalyser::TZOracleStatementAnalyser()
    : TZGenericStatementAnalyser(
          ArrayToStrings({"SELECT", "UPDATE", "DELETE", "INSERT", "FROM", "WHERE", "INTO", "GROUP*BY", "HAVING",
                          "ORDER*BY", "ORDER*SIBLINGS*BY", "FOR*UPDATE", "START*WITH", "CONNECT*BY"}),
          ArrayToStrings({"DISTINCT", "ALL", "UNIQUE"}),
          ArrayToStrings({"NATURAL", "RIGHT", "LEFT", "FULL", "INNER", "OUTER", "JOIN", "CROSS"}),
          ArrayToStrings({"ON", "USING"})) {}

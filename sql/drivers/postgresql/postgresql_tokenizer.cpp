// The PostgreSQL token readers, tokenizer table and analyser word lists.

#include "sql/drivers/postgresql/postgresql_tokenizer.h"

TZToken TZPostgreSQLQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  TZToken token = TZBackslashQuoteState::NextToken(stream, firstChar, tokenizer);
  if (firstChar == '"') token.TokenType = ttWord;
  return token;
}

TZPostgreSQLWordState::TZPostgreSQLWordState() { SetWordChars('$', '$', false); }

TZPostgreSQLTokenizer::TZPostgreSQLTokenizer() {
  CommentState = std::make_unique<TZPostgreSQLCommentState>();
  NumberState = std::make_unique<TZPostgreSQLNumberState>();
  QuoteState = std::make_unique<TZPostgreSQLQuoteState>();
  SymbolState = std::make_unique<TZPostgreSQLSymbolState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  WordState = std::make_unique<TZPostgreSQLWordState>();

  SetStandardCharacterStates();
  for (char quote : {'"', '\''}) SetCharacterState(quote, quote, QuoteState.get());
  for (char comment : {'/', '-'}) SetCharacterState(comment, comment, CommentState.get());
}

TZPostgreSQLStatementAnalyser::TZPostgreSQLStatementAnalyser()
    : TZGenericStatementAnalyser(
          ArrayToStrings({"SELECT", "UPDATE", "DELETE", "INSERT", "FROM", "WHERE", "INTO", "GROUP*BY", "HAVING",
                          "ORDER*BY", "FOR*UPDATE", "LIMIT", "OFFSET"}),
          ArrayToStrings({"DISTINCT", "ALL"}),
          ArrayToStrings({"NATURAL", "RIGHT", "LEFT", "INNER", "OUTER", "JOIN", "FULL", "CROSS"}),
          ArrayToStrings({"ON", "USING"})) {}

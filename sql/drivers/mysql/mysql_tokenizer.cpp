// The MySQL token readers, tokenizer table and analyser word lists.

#include "sql/drivers/mysql/mysql_tokenizer.h"

// --- comments ----------------------------------------------------------------

TZToken TZMySQLCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  char c;
  if (firstChar == '#') return {"#" + GetSingleLineComment(stream), ttComment};
  if (firstChar == '-') {
    const int read = stream.Read(c);
    if (read > 0 && c == '-') return {"--" + GetSingleLineComment(stream), ttComment};
    stream.Back(static_cast<std::size_t>(read));
  } else if (firstChar == '/') {
    const int read = stream.Read(c);
    if (read > 0 && c == '*') {
      char next;
      const int readNext = stream.Read(next);
      if (readNext > 0 && next == '!') return {"/*!" + GetMultiLineComment(stream), ttSymbol};
      // The character after "/*" belongs to the comment body, where it may
      // be the "*" of an immediate "*/".
      stream.Back(static_cast<std::size_t>(readNext));
      if (readNext > 0) return {"/*" + GetMultiLineComment(stream), ttComment};
    }
    stream.Back(static_cast<std::size_t>(read));
  }
  return SymbolToken(stream, firstChar, tokenizer, AnsiString(1, firstChar));
}

// --- symbols and words ---------------------------------------------------------

TZMySQLSymbolState::TZMySQLSymbolState() {
  for (const char* symbol : {"<=", ">=", "<>", "<<", ">>", ":="}) Add(symbol);
}

TZMySQLWordState::TZMySQLWordState() {
  SetWordChars('\0', '\xFF', false);
  SetLetterAndDigitChars();
  SetWordChars('$', '$', true);
}

// --- tokenizer and analyser ----------------------------------------------------

TZMySQLTokenizer::TZMySQLTokenizer() {
  CommentState = std::make_unique<TZMySQLCommentState>();
  NumberState = std::make_unique<TZMySQLNumberState>();
  QuoteState = std::make_unique<TZMySQLQuoteState>();
  SymbolState = std::make_unique<TZMySQLSymbolState>();
  WhitespaceState = std::make_unique<TZWhitespaceState>();
  WordState = std::make_unique<TZMySQLWordState>();

  SetStandardCharacterStates();
  SetCharacterState('$', '$', WordState.get());
  for (char quote : {'"', '\'', '`'}) SetCharacterState(quote, quote, QuoteState.get());
  for (char comment : {'/', '#', '-'}) SetCharacterState(comment, comment, CommentState.get());
}

TZMySQLStatementAnalyser::TZMySQLStatementAnalyser()
    : TZGenericStatementAnalyser(
          ArrayToStrings({"SELECT", "UPDATE", "DELETE", "INSERT", "FROM", "WHERE", "INTO", "GROUP*BY", "HAVING",
                          "ORDER*BY", "FOR*UPDATE", "LIMIT", "OFFSET", "INTO*OUTFILE", "INTO*DUMPFILE", "PROCEDURE",
                          "LOCK*IN*SHARE"}),
          ArrayToStrings({"DISTINCT", "ALL", "DISTINCTROW", "STRAIGHT_JOIN", "SQL_SMALL_RESULT", "SQL_BIG_RESULT",
                          "SQL_BUFFER_RESULT", "HIGH_PRIORITY"}),
          ArrayToStrings({"NATURAL", "RIGHT", "LEFT", "INNER", "OUTER", "JOIN", "STRAIGHT_JOIN", "CROSS"}),
          ArrayToStrings({"ON", "USING", "USE", "IGNORE"})) {}

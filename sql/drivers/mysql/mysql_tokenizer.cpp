// The MySQL token readers, tokenizer table and analyser word lists.

#include "sql/drivers/mysql/mysql_tokenizer.h"

#include "sql/core/sysutils.h"

namespace {

bool IsMySQLQuote(char c) { return c == '"' || c == '\'' || c == '`'; }

}  // namespace

// --- quotes ------------------------------------------------------------------

TZToken TZMySQLQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadQuoted(stream, firstChar, true), firstChar == '`' ? ttQuotedIdentifier : ttQuoted};
}

AnsiString TZMySQLQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  if (!IsMySQLQuote(quoteChar)) return value;
  return quoteChar + EncodeCString(value) + quoteChar;
}

AnsiString TZMySQLQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (value.size() < 2 || !IsMySQLQuote(quoteChar) || value.front() != quoteChar || value.back() != quoteChar)
    return value;
  if (value.size() == 2) return AnsiString();
  return DecodeCString(value.substr(1, value.size() - 2));
}

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
  SetWordChars('a', 'z', true);
  SetWordChars('A', 'Z', true);
  SetWordChars('0', '9', true);
  SetWordChars('$', '$', true);
  SetWordChars('_', '_', true);
  SetWordChars('\xC0', '\xFF', true);
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

// The shared reader of bracketed and quoted names and texts.

#include <gtest/gtest.h>

#include <cstring>

#include "sql/core/parsesql/bracket_quote_state.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"

namespace {

TEST(BracketQuoteState, ReadsUpToTheClosingQuoteKeepingDoubledOnes) {
  TZGenericSQLTokenizer tokenizer;
  TZBracketQuoteState quotes;
  struct {
    const char* text;
    const char* value;
    TZTokenType type;
  } const cases[] = {
      {"'it''s' x", "'it''s'", ttQuoted},  {"'' x", "''", ttQuoted},
      {"\"a\"\"b\"c", "\"a\"\"b\"", ttWord}, {"[a]]b]", "[a]", ttWord},
      {"[x y]z", "[x y]", ttWord},           {"'open", "'open", ttQuoted},
      {"[open", "[open", ttWord},            {"]a] b", "]a]", ttQuoted},
  };
  for (const auto& c : cases) {
    TZTokenizerStream stream(c.text, std::strlen(c.text));
    char first;
    stream.Read(first);
    TZToken token = quotes.NextToken(stream, first, tokenizer);
    EXPECT_EQ(token.Value, c.value) << c.text;
    EXPECT_EQ(token.TokenType, c.type) << c.text;
  }
}

TEST(BracketQuoteState, EncodesAndDecodesByQuoteCharacter) {
  TZBracketQuoteState quotes;
  struct {
    const char* value;
    char quote;
    const char* decoded;
  } const cases[] = {
      {"[col]", '[', "col"},     {"''", '\'', ""},          {"'it''s'", '\'', "it's"},
      {"\"a\"\"\"", '"', "a\""}, {"[a''b]", '[', "a''b"},  {"'x'", '[', "'x'"},
      {"x", '\'', "x"},          {"'abc", '\'', "'abc"},     {"'abc'", '`', "'abc'"},
  };
  for (const auto& c : cases) EXPECT_EQ(quotes.DecodeString(c.value, c.quote), c.decoded) << c.value;

  EXPECT_EQ(quotes.EncodeString("my table", '['), "[my table]");
  EXPECT_EQ(quotes.EncodeString("it's", '\''), "'it's'");
  EXPECT_EQ(quotes.EncodeString("name", '"'), "\"name\"");
  EXPECT_EQ(quotes.EncodeString("plain", '`'), "plain");
}

}  // namespace

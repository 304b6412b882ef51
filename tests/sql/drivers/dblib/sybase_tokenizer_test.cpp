// The Transact-SQL tokenizer: variables and temporary tables as words, the
// dialect's operators, bracketed names, numbers and comments.

#include <gtest/gtest.h>

#include "sql/core/parsesql/bracket_quote_state.h"
#include "sql/drivers/dblib/dblib_driver.h"
#include "sql/drivers/dblib/sybase_tokenizer.h"

namespace {

struct TokenizerCase {
  const char* sql;
  std::vector<std::pair<std::string, TZTokenType>> tokens;
};

class SybaseTokenizerTest : public ::testing::TestWithParam<TokenizerCase> {};

TEST_P(SybaseTokenizerTest, SplitsTextIntoTokens) {
  auto tokenizer = MakeRef<TZSybaseTokenizer>();
  std::vector<std::pair<std::string, TZTokenType>> tokens;
  for (const TZToken& token : tokenizer->TokenizeBuffer(GetParam().sql, toSkipEOF | toSkipWhitespaces))
    tokens.emplace_back(token.Value, token.TokenType);
  EXPECT_EQ(tokens, GetParam().tokens) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SybaseTokenizerTest,
    ::testing::Values(
        TokenizerCase{"select @total2, #temp1 from t$x",
                      {{"select", ttWord}, {"@total2", ttWord}, {",", ttSymbol}, {"#temp1", ttWord},
                       {"from", ttWord}, {"t$x", ttWord}}},
        TokenizerCase{"a!=b!<c!>d<>e<=f>=g !x",
                      {{"a", ttWord}, {"!=", ttSymbol}, {"b", ttWord}, {"!<", ttSymbol}, {"c", ttWord},
                       {"!>", ttSymbol}, {"d", ttWord}, {"<>", ttSymbol}, {"e", ttWord}, {"<=", ttSymbol},
                       {"f", ttWord}, {">=", ttSymbol}, {"g", ttWord}, {"!", ttSymbol}, {"x", ttWord}}},
        TokenizerCase{"[my table].\"col\"", {{"[my table]", ttWord}, {".", ttSymbol}, {"\"col\"", ttWord}}},
        TokenizerCase{"'O''Neil' 'open", {{"'O''Neil'", ttQuoted}, {"'open", ttQuoted}}},
        TokenizerCase{"0x1aF 1.5e10 2.5 12e x . 7",
                      {{"0x1aF", ttHexInteger}, {"1.5e10", ttFloat}, {"2.5", ttFloat}, {"12", ttFloat},
                       {"e", ttWord}, {"x", ttWord}, {".", ttSymbol}, {"7", ttInteger}}},
        TokenizerCase{"a--note\nb-c//d/*x*/",
                      {{"a", ttWord}, {"--note\n", ttComment}, {"b", ttWord}, {"-", ttSymbol}, {"c", ttWord},
                       {"/", ttSymbol}, {"/", ttSymbol}, {"d", ttWord}, {"/*x*/", ttComment}}},
        TokenizerCase{"x is NULL", {{"x", ttWord}, {"is", ttKeyword}, {"NULL", ttKeyword}}}));

TEST(SybaseQuoteState, DecodesAndEncodesBracketsAndQuotes) {
  auto tokenizer = MakeRef<TZSybaseTokenizer>();
  TZQuoteState* quotes = tokenizer->GetQuoteState();
  EXPECT_EQ(quotes->DecodeString("[my table]", '['), "my table");
  EXPECT_EQ(quotes->DecodeString("'O''Neil'", '\''), "O'Neil");
  EXPECT_EQ(quotes->DecodeString("''", '\''), "");
  EXPECT_EQ(quotes->DecodeString("x", '\''), "x");
  EXPECT_EQ(quotes->EncodeString("my table", '['), "[my table]");
  EXPECT_EQ(quotes->EncodeString("name", '"'), "\"name\"");
  EXPECT_EQ(quotes->EncodeString("name", 'x'), "name");
}

TEST(DBLibDriver, KeepsOneSybaseTokenizerAndAnalyser) {
  Ref<TZDBLibDriver> driver = DBLibDriver();
  Ref<IZTokenizer> tokenizer = driver->GetTokenizer();
  EXPECT_NE(dynamic_cast<TZSybaseTokenizer*>(tokenizer.get()), nullptr);
  EXPECT_EQ(driver->GetTokenizer().get(), tokenizer.get());
  Ref<IZStatementAnalyser> analyser = driver->GetStatementAnalyser();
  EXPECT_NE(dynamic_cast<TZSybaseStatementAnalyser*>(analyser.get()), nullptr);
  EXPECT_EQ(driver->GetStatementAnalyser().get(), analyser.get());
}

}  // namespace

// The Oracle tokenizer and analyser: words with "$", "#" and "@", the
// dialect's operators, numbers, comments, high characters as symbols, and
// the hierarchical query clauses as sections.

#include <gtest/gtest.h>

#include "sql/drivers/oracle/oracle_driver.h"
#include "sql/drivers/oracle/oracle_tokenizer.h"

namespace {

struct TokenizerCase {
  const char* sql;
  std::vector<std::pair<std::string, TZTokenType>> tokens;
};

class OracleTokenizerTest : public ::testing::TestWithParam<TokenizerCase> {};

TEST_P(OracleTokenizerTest, SplitsTextIntoTokens) {
  auto tokenizer = MakeRef<TZOracleTokenizer>();
  std::vector<std::pair<std::string, TZTokenType>> tokens;
  for (const TZToken& token : tokenizer->TokenizeBuffer(GetParam().sql, toSkipEOF | toSkipWhitespaces))
    tokens.emplace_back(token.Value, token.TokenType);
  EXPECT_EQ(tokens, GetParam().tokens) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OracleTokenizerTest,
    ::testing::Values(
        TokenizerCase{"a1_$#@x @b $v #t",
                      {{"a1_$#@x", ttWord}, {"@", ttSymbol}, {"b", ttWord}, {"$v", ttWord}, {"#t", ttWord}}},
        TokenizerCase{"a||b x!=1 or c<=d<>e",
                      {{"a", ttWord}, {"||", ttSymbol}, {"b", ttWord}, {"x", ttWord}, {"!=", ttSymbol},
                       {"1", ttInteger}, {"or", ttKeyword}, {"c", ttWord}, {"<=", ttSymbol}, {"d", ttWord},
                       {"<>", ttSymbol}, {"e", ttWord}}},
        TokenizerCase{"a--note\nb/*x*/-c/d",
                      {{"a", ttWord}, {"--note\n", ttComment}, {"b", ttWord}, {"/*x*/", ttComment},
                       {"-", ttSymbol}, {"c", ttWord}, {"/", ttSymbol}, {"d", ttWord}}},
        TokenizerCase{"1.5E3 . 7", {{"1.5E3", ttFloat}, {".", ttSymbol}, {"7", ttInteger}}},
        TokenizerCase{"a\xE9\xC1z", {{"a", ttWord}, {"\xE9", ttSymbol}, {"\xC1", ttSymbol}, {"z", ttWord}}},
        TokenizerCase{"'it''s ?' \"Col\" x IS null",
                      {{"'it''s ?'", ttQuoted}, {"\"Col\"", ttWord}, {"x", ttWord}, {"IS", ttKeyword},
                       {"null", ttKeyword}}}));

TEST(OracleStatementAnalyser, SplitsHierarchicalQueries) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZOracleTokenizer>();
  Ref<IZStatementAnalyser> analyser = MakeRef<TZOracleStatementAnalyser>();
  TZStatementSections sections = analyser->SplitSections(analyser->TokenizeQuery(
      tokenizer.get(), "SELECT id, parent FROM tree START WITH parent IS NULL CONNECT BY PRIOR id = parent", true));
  std::vector<AnsiString> names;
  for (const TZStatementSection& section : sections) names.push_back(section.Name);
  EXPECT_EQ(names, (std::vector<AnsiString>{"SELECT", "FROM", "START*WITH", "CONNECT*BY"}));
}

TEST(OracleDriver, KeepsOneOracleTokenizerAndAnalyser) {
  Ref<TZOracleDriver> driver = OracleDriver();
  EXPECT_NE(dynamic_cast<TZOracleTokenizer*>(driver->GetTokenizer().get()), nullptr);
  EXPECT_EQ(driver->GetTokenizer(), driver->GetTokenizer());
  EXPECT_NE(dynamic_cast<TZOracleStatementAnalyser*>(driver->GetStatementAnalyser().get()), nullptr);
  EXPECT_EQ(driver->GetStatementAnalyser(), driver->GetStatementAnalyser());
}

}  // namespace

// The MySQL dialect of the tokenizer (numbers, quotes, comments, symbols,
// words) and of the statement analyser (its clause, option and join words).

#include <gtest/gtest.h>

#include <cstring>

#include "sql/drivers/mysql/mysql_driver.h"
#include "sql/drivers/mysql/mysql_tokenizer.h"
#include "tests/sql/core/token_text.h"

namespace {

struct TokenCase {
  const char* sql;
  const char* tokens;
};

const TokenCase kTokenCases[] = {
    // Numbers: hexadecimal, exponents, and what is not part of them.
    {"0x1F", "H(0x1F)"},
    {"0x", "H(0x)"},
    {"0x1Fg", "H(0x1F) W(g)"},
    {"1.5e-3", "F(1.5e-3)"},
    {"2E+10 7e5", "F(2E+10) _( ) F(7e5)"},
    {"1.2.3", "F(1.2) F(.3)"},
    {"12.", "F(12.)"},
    {". a", "S(.) _( ) W(a)"},
    {"-5", "S(-) I(5)"},
    // Comments: line comments keep their line break, "/*!" stays as a symbol.
    {"-- note\nx", "C(-- note\n) W(x)"},
    {"a-b", "W(a) S(-) W(b)"},
    {"# note\r\nx", "C(# note\r\n) W(x)"},
    {"/*!40101 SET NAMES utf8 */;", "S(/*!40101 SET NAMES utf8 */) S(;)"},
    {"/* note */x", "C(/* note */) W(x)"},
    {"/**/x", "C(/**/) W(x)"},
    {"/* open", "C(/* open)"},
    {"a/b", "W(a) S(/) W(b)"},
    {"/*", "S(/) S(*)"},
    // Quotes: escapes and doubled quotes stay inside, text as written.
    {"'it''s' x", "Q('it''s') _( ) W(x)"},
    {"'it\\'s' x", "Q('it\\'s') _( ) W(x)"},
    {"'a\\\\' b", "Q('a\\\\') _( ) W(b)"},
    {"`my table`.id", "QI(`my table`) S(.) W(id)"},
    {"\"abc", "Q(\"abc)"},
    {"''", "Q('')"},
    // Symbols and words.
    {"a:=b<<2>=c<>d", "W(a) S(:=) W(b) S(<<) I(2) S(>=) W(c) S(<>) W(d)"},
    {"$x_1 čáp and", "W($x_1) _( ) W(čáp) _( ) K(and)"},
};

TEST(MySQLTokenizer, ReadsTheDialectsTokens) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZMySQLTokenizer>();
  for (const TokenCase& c : kTokenCases)
    EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList(c.sql, toSkipEOF)), c.tokens) << c.sql;
}

TEST(MySQLNumberState, LeavesAnEWithoutExponentDigitsForTheNextToken) {
  TZMySQLTokenizer tokenizer;
  for (const char* sql : {"1ex", "1e", "1e*"}) {
    TZTokenizerStream stream(sql, std::strlen(sql));
    char first;
    stream.Read(first);
    TZToken token = tokenizer.GetNumberState()->NextToken(stream, first, tokenizer);
    EXPECT_EQ(token.Value, "1") << sql;
    EXPECT_EQ(token.TokenType, ttFloat) << sql;
    char next;
    ASSERT_EQ(stream.Read(next), 1) << sql;
    EXPECT_EQ(next, 'e') << sql;
  }
}

TEST(MySQLTokenizer, SkippingCommentsKeepsVersionConditionalText) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZMySQLTokenizer>();
  EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList("/* a */ /*!50003 x */ # b\n",
                                                       toSkipEOF | toSkipComments | toSkipWhitespaces)),
            "S(/*!50003 x */)");
}

TEST(MySQLQuoteState, DecodesAndEncodesBackslashEscapes) {
  TZMySQLQuoteState quotes;
  struct {
    const char* value;
    char quote;
    const char* decoded;
  } const cases[] = {
      {"''", '\'', ""},
      {"'a\\nb'", '\'', "a\nb"},
      {"'it\\'s'", '\'', "it's"},
      {"`a\\\\b`", '`', "a\\b"},
      {"abc", '\'', "abc"},
      {"'abc'", 'x', "'abc'"},
      {"'", '\'', "'"},
  };
  for (const auto& c : cases) EXPECT_EQ(quotes.DecodeString(c.value, c.quote), c.decoded) << c.value;

  EXPECT_EQ(quotes.EncodeString("O'Neil\\", '\''), "'O\\'Neil\\\\'");
  EXPECT_EQ(quotes.EncodeString("say \"hi\"", '"'), "\"say \\\"hi\\\"\"");
  EXPECT_EQ(quotes.EncodeString(AnsiString("a\0b", 3), '`'), "`a\\000b`");
  EXPECT_EQ(quotes.EncodeString("plain", '['), "plain");
}

TEST(MySQLStatementAnalyser, SplitsAtMySQLClausesAndKnowsItsJoins) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZMySQLTokenizer>();
  Ref<IZStatementAnalyser> analyser = MakeRef<TZMySQLStatementAnalyser>();
  TZStatementSections sections = analyser->SplitSections(analyser->TokenizeQuery(
      tokenizer.get(), "SELECT a FROM t GROUP BY a ORDER BY a LIMIT 5 OFFSET 2 FOR UPDATE", true));
  std::vector<AnsiString> names;
  for (const TZStatementSection& section : sections) names.push_back(section.Name);
  EXPECT_EQ(names,
            (std::vector<AnsiString>{"SELECT", "FROM", "GROUP*BY", "ORDER*BY", "LIMIT", "OFFSET", "FOR*UPDATE"}));

  Ref<IZSelectSchema> schema = analyser->DefineSelectSchemaFromQuery(
      tokenizer.get(),
      "SELECT SQL_BUFFER_RESULT HIGH_PRIORITY a.id, `b`.name FROM kalmir.t1 a STRAIGHT_JOIN t2 b USE INDEX (i) "
      "ON a.id = b.id");
  ASSERT_TRUE(schema);
  ASSERT_EQ(schema->GetTableCount(), 2);
  EXPECT_EQ(schema->GetTable(0)->Table, "t1");
  EXPECT_EQ(schema->GetTable(0)->Alias, "a");
  EXPECT_EQ(schema->GetTable(1)->Table, "t2");
  ASSERT_EQ(schema->GetFieldCount(), 2);
  EXPECT_EQ(schema->GetField(0)->Field, "id");
}

TEST(MySQLDriver, HandsOutItsDialectOnceAndListsItsProtocols) {
  Ref<TZMySQLDriver> driver = MySQLDriver();
  EXPECT_NE(dynamic_cast<TZMySQLTokenizer*>(driver->GetTokenizer().get()), nullptr);
  EXPECT_EQ(driver->GetTokenizer(), driver->GetTokenizer());
  EXPECT_NE(dynamic_cast<TZMySQLStatementAnalyser*>(driver->GetStatementAnalyser().get()), nullptr);
  EXPECT_EQ(driver->GetStatementAnalyser(), driver->GetStatementAnalyser());
  EXPECT_EQ(driver->GetSupportedProtocols(),
            (TZStringDynArray{"mysql", "mysql-4.1", "mysql-5", "mysqld-4.1", "mysqld-5"}));
  EXPECT_TRUE(driver->AcceptsURL("zdbc:mysqld-5://h/db"));
  EXPECT_FALSE(driver->AcceptsURL("zdbc:mysql-6://h/db"));
  EXPECT_EQ(driver->GetMajorVersion(), 1);
  EXPECT_EQ(driver->GetMinorVersion(), 1);
}

}  // namespace

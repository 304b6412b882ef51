// The PostgreSQL dialect of the tokenizer (numbers, quotes, comments,
// symbols, words) and of the statement analyser, and what the driver hands out.

#include <gtest/gtest.h>

#include "sql/drivers/postgresql/postgresql_driver.h"
#include "sql/drivers/postgresql/postgresql_tokenizer.h"
#include "tests/sql/core/token_text.h"

namespace {

struct TokenCase {
  const char* sql;
  const char* tokens;
};

const TokenCase kTokenCases[] = {
    // Numbers: fraction and exponent; a "." without digits is a symbol.
    {"123", "I(123)"},
    {"1.5 .5", "F(1.5) _( ) F(.5)"},
    {"1e10 1.5E-3", "F(1e10) _( ) F(1.5E-3)"},
    {"12ex", "F(12) W(ex)"},
    {"12e", "F(12) W(e)"},
    {"t.col", "W(t) S(.) W(col)"},
    {"-5", "S(-) I(5)"},
    // Quotes: doubled quotes and backslash escapes stay inside; double quotes
    // make a name.
    {"'it''s' x", "Q('it''s') _( ) W(x)"},
    {"'a\\'b'", "Q('a\\'b')"},
    {"\"my table\".id", "W(\"my table\") S(.) W(id)"},
    {"'open", "Q('open)"},
    {"`x`", "S(`) W(x) S(`)"},
    // Comments: "--" to the line end, "/*" to "*/"; no "//".
    {"-- note\nx", "C(-- note\n) W(x)"},
    {"a - b", "W(a) _( ) S(-) _( ) W(b)"},
    {"a/*x*/b", "W(a) C(/*x*/) W(b)"},
    {"a//b", "W(a) S(/) S(/) W(b)"},
    // Symbols and words: no "$" in words, keywords marked.
    {"col<>1", "W(col) S(<>) I(1)"},
    {"x<<2", "W(x) S(<<) I(2)"},
    {"a$b a_1 čáp NULL", "W(a) S($) W(b) _( ) W(a_1) _( ) W(čáp) _( ) K(NULL)"},
};

TEST(PostgreSQLTokenizer, ReadsTheDialectsTokens) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZPostgreSQLTokenizer>();
  for (const TokenCase& c : kTokenCases)
    EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList(c.sql, toSkipEOF)), c.tokens) << c.sql;
}

TEST(PostgreSQLTokenizer, DecodesAndSkipsLikeItsQuoteAndCommentStates) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZPostgreSQLTokenizer>();
  EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList("'a\\nb' /* c */ \"N\" -- d",
                                                       toSkipEOF | toSkipComments | toSkipWhitespaces |
                                                           toDecodeStrings)),
            "Q(a\nb) W(N)");
}

TEST(PostgreSQLStatementAnalyser, SplitsAtItsClausesAndKnowsFullJoins) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZPostgreSQLTokenizer>();
  Ref<IZStatementAnalyser> analyser = MakeRef<TZPostgreSQLStatementAnalyser>();
  TZStatementSections sections = analyser->SplitSections(
      analyser->TokenizeQuery(tokenizer.get(), "SELECT a FROM t GROUP BY a ORDER BY a LIMIT 5 OFFSET 2", true));
  std::vector<AnsiString> names;
  for (const TZStatementSection& section : sections) names.push_back(section.Name);
  EXPECT_EQ(names, (std::vector<AnsiString>{"SELECT", "FROM", "GROUP*BY", "ORDER*BY", "LIMIT", "OFFSET"}));

  Ref<IZSelectSchema> schema = analyser->DefineSelectSchemaFromQuery(
      tokenizer.get(), "SELECT DISTINCT a.id, b.name FROM public.t1 a FULL OUTER JOIN t2 b USING (id)");
  ASSERT_TRUE(schema);
  ASSERT_EQ(schema->GetTableCount(), 2);
  EXPECT_EQ(schema->GetTable(0)->Schema, "public");
  EXPECT_EQ(schema->GetTable(0)->Table, "t1");
  EXPECT_EQ(schema->GetTable(1)->Alias, "b");
  ASSERT_EQ(schema->GetFieldCount(), 2);
  EXPECT_EQ(schema->GetField(1)->Field, "name");
}

TEST(PostgreSQLDriver, HandsOutItsDialectOnceAndListsItsProtocols) {
  Ref<TZPostgreSQLDriver> driver = PostgreSQLDriver();
  EXPECT_NE(dynamic_cast<TZPostgreSQLTokenizer*>(driver->GetTokenizer().get()), nullptr);
  EXPECT_EQ(driver->GetTokenizer(), driver->GetTokenizer());
  EXPECT_NE(dynamic_cast<TZPostgreSQLStatementAnalyser*>(driver->GetStatementAnalyser().get()), nullptr);
  EXPECT_EQ(driver->GetStatementAnalyser(), driver->GetStatementAnalyser());
  EXPECT_EQ(driver->GetSupportedProtocols(), (TZStringDynArray{"postgresql", "postgresql-7", "postgresql-8"}));
  EXPECT_TRUE(driver->AcceptsURL("zdbc:postgresql-7://h/db"));
  EXPECT_FALSE(driver->AcceptsURL("zdbc:postgresql-9://h/db"));
  EXPECT_EQ(driver->GetMajorVersion(), 1);
  EXPECT_EQ(driver->GetMinorVersion(), 3);
}

}  // namespace

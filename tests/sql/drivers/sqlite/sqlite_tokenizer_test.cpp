// The SQLite dialect of the tokenizer (numbers, bracket names, comments,
// operators, ASCII-only words) and of the statement analyser.

#include <gtest/gtest.h>

#include "sql/drivers/sqlite/sqlite_driver.h"
#include "sql/drivers/sqlite/sqlite_tokenizer.h"
#include "tests/sql/core/token_text.h"

namespace {

struct TokenCase {
  const char* sql;
  const char* tokens;
};

const TokenCase kTokenCases[] = {
    // Operators.
    {"a<>b", "W(a) S(<>) W(b)"},
    {"x==1", "W(x) S(==) I(1)"},
    {"a||b", "W(a) S(||) W(b)"},
    {"a!=b<=c>=d<<e>>f", "W(a) S(!=) W(b) S(<=) W(c) S(>=) W(d) S(<<) W(e) S(>>) W(f)"},
    // Numbers: exponents, and an "e" that starts none.
    {"1.5e+3", "F(1.5e+3)"},
    {"1.5e x", "F(1.5) W(e) _( ) W(x)"},
    {"12E", "F(12) W(E)"},
    {"1.", "F(1.)"},
    {".5", "F(.5)"},
    {". a", "S(.) _( ) W(a)"},
    {".a", "S(.) W(a)"},
    {"0x1F", "W(0x1F)"},
    // Quotes: texts, double-quoted and bracketed names.
    {"'it''s' x", "Q('it''s') _( ) W(x)"},
    {"[my table].id", "W([my table]) S(.) W(id)"},
    {"[a''b]c", "W([a''b]) W(c)"},
    {"\"na\"\"me\"", "W(\"na\"\"me\")"},
    {"'open", "Q('open)"},
    {"]x] y", "Q(]x]) _( ) W(y)"},
    // Comments: "--" and "/*" only.
    {"-- note\nx", "C(-- note\n) W(x)"},
    {"a-b", "W(a) S(-) W(b)"},
    {"a/b", "W(a) S(/) W(b)"},
    {"/* c */x", "C(/* c */) W(x)"},
    {"//x", "S(/) S(/) W(x)"},
    {"# x", "S(#) _( ) W(x)"},
    // Words: ASCII only; "$" and letters above 127 are symbols of their own.
    {"$a", "S($) W(a)"},
    {"čáp", "S(č) S(á) W(p)"},
    {"x_1 AND null", "W(x_1) _( ) K(AND) _( ) K(null)"},
};

TEST(SQLiteTokenizer, ReadsTheDialectsTokens) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZSQLiteTokenizer>();
  for (const TokenCase& c : kTokenCases)
    EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList(c.sql, toSkipEOF)), c.tokens) << c.sql;
}

TEST(SQLiteTokenizer, DecodesNamesInBracketsAndQuotes) {
  TZSQLiteTokenizer tokenizer;
  TZQuoteState* quotes = tokenizer.GetQuoteState();
  EXPECT_EQ(quotes->DecodeString("[col]", '['), "col");
  EXPECT_EQ(quotes->DecodeString("''", '\''), "");
  EXPECT_EQ(quotes->EncodeString("my table", '['), "[my table]");
}

TEST(SQLiteStatementAnalyser, SplitsAtSQLiteClausesAndKnowsItsJoins) {
  Ref<IZTokenizer> tokenizer = MakeRef<TZSQLiteTokenizer>();
  Ref<IZStatementAnalyser> analyser = MakeRef<TZSQLiteStatementAnalyser>();
  TZStatementSections sections = analyser->SplitSections(
      analyser->TokenizeQuery(tokenizer.get(), "SELECT a FROM t GROUP BY a ORDER BY a LIMIT 5 OFFSET 2", true));
  std::vector<AnsiString> names;
  for (const TZStatementSection& section : sections) names.push_back(section.Name);
  EXPECT_EQ(names, (std::vector<AnsiString>{"SELECT", "FROM", "GROUP*BY", "ORDER*BY", "LIMIT", "OFFSET"}));

  Ref<IZSelectSchema> schema = analyser->DefineSelectSchemaFromQuery(
      tokenizer.get(), "SELECT DISTINCT a.id, b.name FROM t1 a NATURAL JOIN t2 b USING (id)");
  ASSERT_TRUE(schema);
  ASSERT_EQ(schema->GetTableCount(), 2);
  EXPECT_EQ(schema->GetTable(0)->Table, "t1");
  EXPECT_EQ(schema->GetTable(0)->Alias, "a");
  EXPECT_EQ(schema->GetTable(1)->Table, "t2");
  ASSERT_EQ(schema->GetFieldCount(), 2);
  EXPECT_EQ(schema->GetField(1)->Field, "name");
}

TEST(SQLiteDriver, HandsOutItsDialectOnceAndListsItsProtocols) {
  Ref<TZSQLiteDriver> driver = SQLiteDriver();
  EXPECT_NE(dynamic_cast<TZSQLiteTokenizer*>(driver->GetTokenizer().get()), nullptr);
  EXPECT_EQ(driver->GetTokenizer(), driver->GetTokenizer());
  EXPECT_NE(dynamic_cast<TZSQLiteStatementAnalyser*>(driver->GetStatementAnalyser().get()), nullptr);
  EXPECT_EQ(driver->GetSupportedProtocols(), (TZStringDynArray{"sqlite", "sqlite-2.8", "sqlite-3"}));
  EXPECT_TRUE(driver->AcceptsURL("zdbc:sqlite-3:/tmp/x.db"));
  EXPECT_FALSE(driver->AcceptsURL("zdbc:sqlite-4:/tmp/x.db"));
  EXPECT_EQ(driver->GetMajorVersion(), 1);
  EXPECT_EQ(driver->GetMinorVersion(), 0);
}

}  // namespace

// The Interbase/Firebird dialect of the tokenizer and the driver's
// tokenizer and analyser.

#include <gtest/gtest.h>

#include "sql/drivers/interbase/interbase_driver.h"
#include "sql/drivers/interbase/interbase_tokenizer.h"
#include "tests/sql/core/token_text.h"

namespace {

TEST(InterbaseTokenizer, ReadsTheDialectsTokens) {
  const struct {
    const char* sql;
    const char* tokens;
  } cases[] = {
      {"a$b_1", "W(a$b_1)"},
      {"RDB$RELATIONS", "W(RDB$RELATIONS)"},
      {"$x", "W($x)"},
      {"x!=1", "W(x) S(!=) I(1)"},
      {"a !< b", "W(a) _( ) S(!<) _( ) W(b)"},
      {"a!>b<=c>=d<>e", "W(a) S(!>) W(b) S(<=) W(c) S(>=) W(d) S(<>) W(e)"},
      // "<<" is no symbol of this dialect.
      {"x<<2", "W(x) S(<) S(<) I(2)"},
      // "--" is two minus signs; only "/*" starts a comment, "//" does not.
      {"-- note", "S(-) S(-) _( ) W(note)"},
      {"a/*x*/b", "W(a) C(/*x*/) W(b)"},
      {"a//b", "W(a) S(/) S(/) W(b)"},
      // Characters above 127 are symbols of their own.
      {"\xC4" "abc", "S(\xC4) W(abc)"},
      {"x\xE9y", "W(x) S(\xE9) W(y)"},
      // Numbers as the shared exponent reader reads them; no hexadecimal ones
      // (a number run into a word is one word).
      {"1.5E-3 .5 12ex", "F(1.5E-3) _( ) F(.5) _( ) F(12) W(ex)"},
      {"0x1F", "W(0x1F)"},
      {"t.col", "W(t) S(.) W(col)"},
      // Double quotes make a name, single quotes a text; doubled quotes stay.
      {"\"My Table\".\"a\"\"b\"", "W(\"My Table\") S(.) W(\"a\"\"b\")"},
      {"'it''s'", "Q('it''s')"},
      {"x AND null", "W(x) _( ) K(AND) _( ) K(null)"},
  };
  Ref<IZTokenizer> tokenizer = InterbaseDriver()->GetTokenizer();
  for (const auto& c : cases)
    EXPECT_EQ(TokenText(tokenizer->TokenizeBufferToList(c.sql, toSkipEOF)), c.tokens) << c.sql;
}

TEST(InterbaseTokenizer, TheDriverKeepsOneTokenizerAndAnalyser) {
  Ref<TZInterbase6Driver> driver = InterbaseDriver();
  EXPECT_EQ(driver->GetTokenizer().get(), driver->GetTokenizer().get());
  EXPECT_TRUE(Query<TZInterbaseTokenizer>(driver->GetTokenizer()));
  Ref<IZStatementAnalyser> analyser = driver->GetStatementAnalyser();
  EXPECT_EQ(analyser.get(), driver->GetStatementAnalyser().get());
  Ref<IZSelectSchema> schema =
      analyser->DefineSelectSchemaFromQuery(driver->GetTokenizer().get(), "SELECT r.RDB$RELATION_NAME FROM RDB$RELATIONS r");
  ASSERT_TRUE(schema);
  ASSERT_EQ(schema->GetTableCount(), 1);
  EXPECT_EQ(schema->GetTable(0)->Table, "RDB$RELATIONS");
  EXPECT_EQ(schema->GetTable(0)->Alias, "r");
}

}  // namespace

// SQL text lists: statements and ":name" markers as the dataset binds them.
#include <gtest/gtest.h>

#include "sql/dataset/dataset_error.h"
#include "sql/dataset/sql_strings.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

struct Split {
  std::vector<AnsiString> statements;
  std::vector<AnsiString> params;
};

Split SplitText(const AnsiString& text, bool multiStatements = true, bool paramCheck = true) {
  TZSQLStrings sql;
  sql.SetMultiStatements(multiStatements);
  sql.SetParamCheck(paramCheck);
  sql.SetText(text);
  Split split;
  for (int i = 0; i < sql.StatementCount(); ++i) split.statements.push_back(sql.Statements(i).SQL());
  for (int i = 0; i < sql.ParamCount(); ++i) split.params.push_back(sql.ParamNames(i));
  return split;
}

TEST(SQLStrings, SplitsStatementsAndMarkers) {
  struct Case {
    const char* text;
    std::vector<AnsiString> statements;
    std::vector<AnsiString> params;
  } cases[] = {
      {"select * from t where a=:p or b=:P", {"select * from t where a=? or b=?"}, {"p"}},
      {"select a::int from t", {"select a:int from t"}, {}},
      {"select :'my name'", {"select ?"}, {"my name"}},
      {"select 1;; select 2;", {"select 1", "select 2"}, {}},
      {"select /* c */ 1,\r\n\t 2 ; ", {"select 1, 2"}, {}},
      {"show tables from kalmir", {"show tables from kalmir\r\n"}, {}},
      {"select 1 -- note\r\n from t", {"select 1 -- note\r\n from t\r\n"}, {}},
      {" \r\n \t", {}, {}},
      // A ":" at the end of the text, before the line break the list adds, is dropped.
      {"select * from t where a=:p:", {"select * from t where a=?"}, {"p"}},
      {"select 1 :", {"select 1"}, {}},
  };
  for (const Case& c : cases) {
    Split split = SplitText(c.text);
    EXPECT_EQ(split.statements, c.statements) << c.text;
    EXPECT_EQ(split.params, c.params) << c.text;
  }
}

TEST(SQLStrings, MarkerPositionsAndOptions) {
  TZSQLStrings sql;
  sql.SetText("update t set a=:x, b=:y where c=:X");
  const TZSQLStatement& statement = sql.Statements(0);
  EXPECT_EQ(statement.ParamIndices(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(statement.AllParamNames(), (std::vector<AnsiString>{"x", "y", "x"}));
  EXPECT_EQ(statement.ParamNames(1), "y");
  EXPECT_THROW(statement.ParamNames(3), ERangeError);
  EXPECT_EQ(sql.IndexOfParam("Y"), 1);
  EXPECT_EQ(sql.IndexOfParam("z"), -1);

  // Without markers or separators to look for, the text stays whole.
  EXPECT_EQ(SplitText("select :a; select 2", false, false).statements,
            (std::vector<AnsiString>{"select :a; select 2\r\n"}));
  EXPECT_EQ(SplitText("select 1; select 2", false).statements.size(), 1u);
}

TEST(SQLStrings, ColonBeforeAnythingButANameIsRejected) {
  for (const char* text : {"select : x", "select :1", "select :("}) {
    TZSQLStrings sql;
    EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { sql.SetText(text); }), "Incorrect token followed by \":\"") << text;
  }
}

class SQLStringsTokenizerTest : public FakeDatasetTest {};

TEST_F(SQLStringsTokenizerTest, DatasetTextUsesTheConnectionsDialect) {
  query->SQL().Add("select :a");
  EXPECT_EQ(Server().TokenizerRequests, 1);
  EXPECT_EQ(query->Params().Count(), 1);
  EXPECT_EQ(query->Params()[0]->Name(), "a");
}

}  // namespace

// The statement analyser and the select schema: sections by clause keyword,
// the column and table references of a SELECT, linking them to each other, and
// the statements that give no schema.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/identifier_convertor.h"
#include "sql/core/parsesql/statement_analyser.h"

namespace {

class StatementAnalyser : public ::testing::Test {
protected:
  TZStatementSections Split(const AnsiString& sql, bool cleanup = true) {
    return analyser->SplitSections(analyser->TokenizeQuery(tokenizer.get(), sql, cleanup));
  }
  static std::vector<AnsiString> Names(const TZStatementSections& sections) {
    std::vector<AnsiString> names;
    for (const auto& s : sections) names.push_back(s.Name);
    return names;
  }
  Ref<IZSelectSchema> Schema(const AnsiString& sql) { return analyser->DefineSelectSchemaFromQuery(tokenizer.get(), sql); }
  // "catalog.schema.table.field AS alias -> bound table" of every column reference.
  static std::vector<AnsiString> Fields(const IZSelectSchema& schema) {
    std::vector<AnsiString> fields;
    for (int i = 0; i < schema.GetFieldCount(); ++i) {
      const TZFieldRef& f = *schema.GetField(i);
      AnsiString text = f.IsField ? f.Catalog + "." + f.Schema + "." + f.Table + "." + f.Field : AnsiString("expr");
      if (!f.Alias.empty()) text += " AS " + f.Alias;
      if (f.TableRef) text += " -> " + f.TableRef->Table;
      fields.push_back(text);
    }
    return fields;
  }
  static std::vector<AnsiString> Tables(const IZSelectSchema& schema) {
    std::vector<AnsiString> tables;
    for (int i = 0; i < schema.GetTableCount(); ++i) {
      const TZTableRef& t = *schema.GetTable(i);
      tables.push_back(t.Catalog + "." + t.Schema + "." + t.Table + (t.Alias.empty() ? "" : " " + t.Alias));
    }
    return tables;
  }

  Ref<IZTokenizer> tokenizer = MakeRef<TZGenericSQLTokenizer>();
  Ref<IZStatementAnalyser> analyser = MakeRef<TZGenericStatementAnalyser>();
};

using Strings = std::vector<AnsiString>;

TEST_F(StatementAnalyser, SectionsFollowClauseKeywordsAndKeepEveryToken) {
  const AnsiString sql = "select a /* note */ from t group  by a having x order\nby b for update limit 1 offset 2";
  const TZStatementSections sections = Split(sql, false);
  EXPECT_EQ(Names(sections),
            (Strings{"SELECT", "FROM", "GROUP*BY", "HAVING", "ORDER*BY", "FOR*UPDATE", "LIMIT", "OFFSET"}));
  EXPECT_EQ(analyser->ComposeSections(sections), sql);
  EXPECT_EQ(analyser->ComposeTokens(sections[2].Tokens), "group  by a ");
}

TEST_F(StatementAnalyser, KeywordsInsideParenthesesOpenNoSection) {
  const TZStatementSections sections = Split("SELECT (SELECT x FROM y) FROM t WHERE a IN (SELECT b FROM c)");
  EXPECT_EQ(Names(sections), (Strings{"SELECT", "FROM", "WHERE"}));
  EXPECT_EQ(analyser->ComposeTokens(sections[2].Tokens), "WHERE a IN (SELECT b FROM c)");
}

TEST_F(StatementAnalyser, TextBeforeTheFirstKeywordIsAnUnnamedSection) {
  EXPECT_EQ(Names(Split(" /* c */ SELECT a FROM t", false)), (Strings{"", "SELECT", "FROM"}));
  EXPECT_TRUE(Split("").empty());
  // Quoted or keyword-typed words never open a section.
  EXPECT_EQ(Names(Split("x 'FROM' \"WHERE\" and")), (Strings{""}));
  Ref<IZSelectSchema> schema = Schema("  /* c */ SELECT a FROM t");
  ASSERT_TRUE(schema);
  EXPECT_EQ(Fields(*schema), (Strings{"...a"}));
}

TEST_F(StatementAnalyser, SelectListAndJoinsGiveFieldAndTableReferences) {
  Ref<IZSelectSchema> schema = Schema("SELECT a, b.c AS d, COUNT(*) FROM t1 x JOIN s.t2 ON x.k = t2.k");
  ASSERT_TRUE(schema);
  EXPECT_EQ(Fields(*schema), (Strings{"...a", "..b.c AS d"}));
  EXPECT_EQ(Tables(*schema), (Strings{"..t1 x", ".s.t2"}));

  // b names no table of the statement, so linking binds nothing here.
  schema->LinkReferences(nullptr);
  EXPECT_EQ(Fields(*schema), (Strings{"...a", "..b.c AS d"}));
}

TEST_F(StatementAnalyser, MoreSelectShapes) {
  struct {
    const char* sql;
    Strings fields;
    Strings tables;
  } cases[] = {
      {"SELECT DISTINCT a FROM t", {"...a"}, {"..t"}},
      {"SELECT a + 1 total, x FROM t", {"expr AS total", "...x"}, {"..t"}},
      {"SELECT f(a, b) AS n FROM t", {"expr AS n"}, {"..t"}},
      {"SELECT c.s.t.f FROM c.s.t", {"c.s.t.f"}, {"c.s.t"}},
      {"SELECT a FROM (SELECT b FROM c) d", {"...a"}, {"..d"}},
      {"SELECT a FROM t1 LEFT OUTER JOIN t2 ON (t1.k = t2.k) , t3 AS z", {"...a"}, {"..t1", "..t2", "..t3 z"}},
      {"SELECT a FROM t WHERE b IN (SELECT c FROM d) ORDER BY a", {"...a"}, {"..t"}},
  };
  for (const auto& c : cases) {
    Ref<IZSelectSchema> schema = Schema(c.sql);
    ASSERT_TRUE(schema) << c.sql;
    EXPECT_EQ(Fields(*schema), c.fields) << c.sql;
    EXPECT_EQ(Tables(*schema), c.tables) << c.sql;
  }
}

TEST_F(StatementAnalyser, StarExpandsToOneReferencePerTableWhenLinked) {
  Ref<IZSelectSchema> schema = Schema("SELECT * FROM t1, t2");
  ASSERT_TRUE(schema);
  EXPECT_EQ(Fields(*schema), (Strings{"...*"}));
  schema->LinkReferences(nullptr);
  EXPECT_EQ(Fields(*schema), (Strings{"..t1.* -> t1", "..t2.* -> t2"}));

  Ref<IZSelectSchema> noTables = MakeRef<TZSelectSchema>();
  noTables->AddField(std::make_unique<TZFieldRef>(true, "", "", "", "*", "", nullptr));
  noTables->LinkReferences(nullptr);
  EXPECT_EQ(noTables->GetFieldCount(), 0);
}

TEST_F(StatementAnalyser, OnlySelectWithFromGivesASchema) {
  for (const char* sql : {"INSERT INTO t VALUES (1)", "UPDATE t SET a = 1", "DELETE FROM t WHERE a = 1",
                          "SELECT 1", ""})
    EXPECT_FALSE(Schema(sql)) << sql;
}

TEST_F(StatementAnalyser, LinkingUnquotesNamesWithTheConvertor) {
  class Unquoting : public TInterfacedObject, public virtual IZIdentifierConvertor {
  public:
    bool NeedsQuoting(const AnsiString&) override { return false; }
    bool IsQuoted(const AnsiString& v) override { return v.size() > 1 && v.front() == '"'; }
    AnsiString Quote(const AnsiString& v) override { return '"' + v + '"'; }
    AnsiString Unquote(const AnsiString& v) override { return IsQuoted(v) ? v.substr(1, v.size() - 2) : v; }
  };
  Ref<IZSelectSchema> schema = Schema("SELECT \"T\".\"a\", b FROM \"T\"");
  ASSERT_TRUE(schema);
  Ref<Unquoting> convertor = MakeRef<Unquoting>();
  schema->LinkReferences(convertor.get());
  EXPECT_EQ(Fields(*schema), (Strings{"..T.a -> T", "...b"}));
  EXPECT_EQ(schema->FindTableByShortName("T"), schema->GetTable(0));
}

TEST_F(StatementAnalyser, ResultColumnsBindToReferencesOnce) {
  Ref<IZSelectSchema> schema = Schema("SELECT x.a, a, b AS c FROM t x");
  ASSERT_TRUE(schema);
  schema->LinkReferences(nullptr);
  TZFieldRef* first = schema->GetField(0);
  TZFieldRef* second = schema->GetField(1);
  TZFieldRef* third = schema->GetField(2);

  EXPECT_EQ(schema->LinkFieldByIndexAndShortName(3, "c"), third);  // by position
  EXPECT_EQ(schema->LinkFieldByIndexAndShortName(1, "x.a"), first);  // by alias and field
  // Position 1 is taken: the search by field name finds the next unlinked "a".
  EXPECT_EQ(schema->LinkFieldByIndexAndShortName(1, "a"), second);
  EXPECT_EQ(schema->LinkFieldByIndexAndShortName(1, "a"), nullptr);
  EXPECT_EQ(schema->LinkFieldByIndexAndShortName(1, ""), nullptr);
  EXPECT_TRUE(first->Linked && second->Linked && third->Linked);
}

TEST_F(StatementAnalyser, FindsTablesAndFieldsByName) {
  TZSelectSchema schema;
  schema.AddTable(std::make_unique<TZTableRef>("", "", "t", "u"));
  schema.AddTable(std::make_unique<TZTableRef>("", "s", "t", ""));
  schema.AddTable(std::make_unique<TZTableRef>("", "", "u", ""));
  schema.AddField(std::make_unique<TZFieldRef>(true, "", "", "", "a", "b", nullptr));
  schema.AddField(std::make_unique<TZFieldRef>(true, "", "", "", "b", "", nullptr));
  EXPECT_EQ(schema.FindTableByFullName("", "s", "t"), schema.GetTable(1));
  EXPECT_EQ(schema.FindTableByFullName("", "x", "t"), schema.GetTable(0)) << "a table without schema matches";
  EXPECT_EQ(schema.FindTableByFullName("", "s", "v"), nullptr);
  EXPECT_EQ(schema.FindTableByFullName("", "", "t"), schema.GetTable(0));
  EXPECT_EQ(schema.FindTableByShortName("u"), schema.GetTable(0)) << "aliases come first";
  EXPECT_EQ(schema.FindFieldByShortName("b"), schema.GetField(0));
  EXPECT_EQ(schema.FindFieldByShortName(""), nullptr);
  EXPECT_THROW(schema.GetField(2), EListError);
  schema.DeleteField(schema.GetField(0));
  EXPECT_EQ(schema.FindFieldByShortName("b"), schema.GetField(0));
}

TEST(TableRef, FullNameDropsLeadingDots) {
  EXPECT_EQ(TZTableRef("", "", "t", "a").FullName(), "t");
  EXPECT_EQ(TZTableRef("", "s", "t", "").FullName(), "s.t");
  EXPECT_EQ(TZTableRef("c", "", "t", "").FullName(), "c..t");
  EXPECT_EQ(TZTableRef("c", "s", "t", "").FullName(), "c.s.t");
}

}  // namespace

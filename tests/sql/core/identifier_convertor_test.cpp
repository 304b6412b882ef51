// Quoting and unquoting of SQL names by a server's identifier rules.

#include <gtest/gtest.h>

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/identifier_convertor.h"
#include "tests/sql/core/catalogue_fixture.h"

namespace {

// A server that folds unquoted names to upper case, quotes with "[" and "]"
// and reserves "limit"; quoted names keep their case only when asked.
class UpperCaseRules : public TZAbstractDatabaseMetadata {
public:
  using TZAbstractDatabaseMetadata::TZAbstractDatabaseMetadata;
  bool StoresUpperCaseIdentifiers() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return false; }
  bool StoresMixedCaseQuotedIdentifiers() override { return mixedQuoted; }
  bool StoresLowerCaseQuotedIdentifiers() override { return true; }
  AnsiString GetIdentifierQuoteString() override { return quote; }
  AnsiString GetSQLKeywords() override { return "LIMIT,Offset"; }

  bool mixedQuoted = false;
  AnsiString quote = "[]";
};

using IdentifierConvertor = CatalogueTest;

TEST_F(IdentifierConvertor, BaseRulesQuoteOnlySpecialNamesAndReservedWords) {
  TZDefaultIdentifierConvertor convertor(Metadata());
  struct {
    const char* name;
    const char* quoted;
  } cases[] = {
      {"Name", "Name"},         {"name_2", "name_2"},     {"2nd", "\"2nd\""},          {"order", "\"order\""},
      {"ORDER", "\"ORDER\""},   {"My Col", "\"My Col\""}, {"", ""},                    {"a.b", "\"a.b\""},
      {"Žluť", "\"Žluť\""},
      // A quote inside the name is doubled: the name cannot end its quotes early.
      {"a\"b", "\"a\"\"b\""},   {"x\" OR 1=1 --", "\"x\"\" OR 1=1 --\""},
  };
  for (const auto& c : cases) EXPECT_EQ(convertor.Quote(c.name), c.quoted) << c.name;
}

TEST_F(IdentifierConvertor, UnquoteUndoesQuoteAndKeepsCaseUnderBaseRules) {
  TZDefaultIdentifierConvertor convertor(Metadata());
  for (const char* name : {"My Col", "a\"b", "\"\"", "Mixed"}) EXPECT_EQ(convertor.Unquote(convertor.Quote(name)), name);
  EXPECT_TRUE(convertor.IsQuoted("\"x\""));
  EXPECT_FALSE(convertor.IsQuoted("x\""));
  EXPECT_FALSE(convertor.IsQuoted(""));
  // A lone quote character is a quoted empty name, not an out-of-range read.
  EXPECT_EQ(convertor.Unquote("\""), "");
}

TEST_F(IdentifierConvertor, FollowsTheServersCaseFoldingAndQuotePair) {
  UpperCaseRules rules(connection.get(), "", nullptr);
  TZDefaultIdentifierConvertor convertor{Ref<IZDatabaseMetadata>(&rules)};
  struct {
    const char* name;
    const char* quoted;
  } cases[] = {
      {"NAME", "NAME"},  {"name", "[name]"}, {"Name", "[Name]"},   {"limit", "[limit]"},
      {"LIMIT", "[LIMIT]"}, {"offset", "[offset]"}, {"a]b", "[a]]b]"}, {"a[b", "[a[b]"},
  };
  for (const auto& c : cases) EXPECT_EQ(convertor.Quote(c.name), c.quoted) << c.name;

  EXPECT_EQ(convertor.Unquote("name"), "NAME");
  EXPECT_EQ(convertor.Unquote("[My Col]"), "my col");
  EXPECT_EQ(convertor.Unquote("[a]]b]"), "a]b");
  rules.mixedQuoted = true;
  EXPECT_EQ(convertor.Unquote("[My Col]"), "My Col");
}

TEST_F(IdentifierConvertor, BackQuotedNameKeepsItsCase) {
  UpperCaseRules rules(connection.get(), "", nullptr);
  rules.quote = "`";
  rules.mixedQuoted = true;
  TZDefaultIdentifierConvertor convertor{Ref<IZDatabaseMetadata>(&rules)};
  EXPECT_EQ(convertor.Unquote("`My Table`"), "My Table");
  EXPECT_EQ(convertor.Quote("a`b"), "`a``b`");
}

}  // namespace

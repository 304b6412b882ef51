// The database metadata base: the catalogue cache, virtual result sets and the
// catalogue layouts, wildcard escaping, and the completion of result-set
// column descriptions from the catalogue.

#include <gtest/gtest.h>

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "tests/sql/core/catalogue_fixture.h"
#include "sql/core/messages.h"
#include "tests/sql/core/sql_error.h"

namespace {

std::vector<AnsiString> Column(IZResultSet& rows, int column) {
  std::vector<AnsiString> values;
  while (rows.Next()) values.push_back(rows.IsNull(column) ? AnsiString("<null>") : rows.GetString(column));
  return values;
}

using DatabaseMetadata = CatalogueTest;

TEST_F(DatabaseMetadata, CatalogueQueryIsBuiltOnceAndEveryCallerGetsItsOwnCopy) {
  Ref<IZResultSet> first = Metadata()->GetTables("", "", "t", {"TABLE"});
  Ref<IZResultSet> second = Metadata()->GetTables("", "", "t", {"TABLE"});
  EXPECT_EQ(Server().CatalogueRequests, 1);
  EXPECT_NE(first.get(), second.get());
  first->Close();
  EXPECT_EQ(Column(*second, 3), std::vector<AnsiString>{"t"});
  EXPECT_EQ(SQLError([&] { second->First(), second->UpdateString(3, "u"); }), SZOperationIsNotAllowed2);
  // The first caller's result was rewound after the copy was taken.
  Ref<IZResultSet> third = Metadata()->GetTables("", "", "t", {"TABLE"});
  EXPECT_EQ(Column(*third, 4), std::vector<AnsiString>{"TABLE"});
}

TEST_F(DatabaseMetadata, ArgumentsThatDifferInAnyPartAreCachedApart) {
  Metadata()->GetTables("", "", "t", {"TABLE", "VIEW"});
  Metadata()->GetTables("", "", "t", {"VIEW", "TABLE"});
  EXPECT_EQ(Server().CatalogueRequests, 2);
  // Parts holding the separator do not run into their neighbours.
  Metadata()->GetTables("a:b", "", "t", {});
  Metadata()->GetTables("a", "b:", "t", {});
  Metadata()->GetTables("a", "b", ":t", {});
  Metadata()->GetTables("a", "b:", "t", {});
  EXPECT_EQ(Server().CatalogueRequests, 5);
}

TEST_F(DatabaseMetadata, ClearCacheEntryDropsOnlyThatEntry) {
  Metadata()->GetColumns("", "", "t", "");
  Metadata()->GetPrimaryKeys("", "", "t");
  Metadata()->ClearCacheEntry("get-columns:::t:");
  Metadata()->GetColumns("", "", "t", "");
  Metadata()->GetPrimaryKeys("", "", "t");
  EXPECT_EQ(Server().CatalogueRequests, 3);
  Metadata()->ClearCacheEntry("get-primary-keys:absent");
  Metadata()->ClearCache();
  Metadata()->GetPrimaryKeys("", "", "t");
  EXPECT_EQ(Server().CatalogueRequests, 4);
}

TEST_F(DatabaseMetadata, EmptyAnswersHaveTheLayoutsColumns) {
  struct {
    std::function<Ref<IZResultSet>(IZDatabaseMetadata&)> query;
    std::vector<std::pair<const char*, TZSQLType>> columns;
  } cases[] = {
      {[](IZDatabaseMetadata& m) { return m.GetSchemas(); }, {{"TABLE_SCHEM", stString}}},
      {[](IZDatabaseMetadata& m) { return m.GetSequences("", "", ""); },
       {{"SEQUENCE_CAT", stString}, {"SEQUENCE_SCHEM", stString}, {"SEQUENCE_NAME", stString}}},
      {[](IZDatabaseMetadata& m) { return m.GetUDTs("", "", "", {1, 2}); },
       {{"TYPE_CAT", stString}, {"TYPE_SCHEM", stString}, {"TYPE_NAME", stString}, {"CLASS_NAME", stString},
        {"DATA_TYPE", stShort}, {"REMARKS", stString}}},
      {[](IZDatabaseMetadata& m) { return m.GetIndexInfo("", "", "t", true, false); },
       {{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"NON_UNIQUE", stBoolean},
        {"INDEX_QUALIFIER", stString}, {"INDEX_NAME", stString}, {"TYPE", stShort}, {"ORDINAL_POSITION", stShort},
        {"COLUMN_NAME", stString}, {"ASC_OR_DESC", stString}, {"CARDINALITY", stInteger}, {"PAGES", stInteger},
        {"FILTER_CONDITION", stString}}},
  };
  for (const auto& c : cases) {
    Ref<IZResultSet> rows = c.query(*Metadata());
    Ref<IZResultSetMetadata> columns = rows->GetMetadata();
    ASSERT_EQ(columns->GetColumnCount(), static_cast<int>(c.columns.size()));
    for (int i = 1; i <= columns->GetColumnCount(); ++i) {
      EXPECT_EQ(columns->GetColumnLabel(i), c.columns[i - 1].first);
      EXPECT_EQ(columns->GetColumnType(i), c.columns[i - 1].second);
    }
    EXPECT_FALSE(rows->Next());
  }
  EXPECT_EQ(ColumnsColumnDefs.size(), 24u);
  EXPECT_EQ(ColumnsColumnDefs[12].Name, "COLUMN_DEF");
  EXPECT_EQ(ColumnsColumnDefs[23].Name, "READONLY");
  EXPECT_EQ(TypeInfoColumnDefs.size(), 18u);
  EXPECT_EQ(CrossReferenceColumnDefs.size(), 14u);
  EXPECT_EQ(TablesColumnDefs[0].Length, 255);
  EXPECT_EQ(PrimaryKeysColumnDefs[4].Length, 0);
}

TEST(VirtualResultSet, TakesRowsWithoutResolverAndCopiesAreReadOnly) {
  Ref<IZVirtualResultSet> rows = TZAbstractDatabaseMetadata::ConstructVirtualResultSet(TablesColumnDefs);
  EXPECT_EQ(rows->GetType(), rtScrollInsensitive);
  EXPECT_EQ(rows->GetConcurrency(), rcUpdatable);
  for (const char* name : {"a", "b"}) {
    rows->MoveToInsertRow();
    rows->UpdateString(3, name);
    rows->InsertRow();
  }
  rows->First();
  EXPECT_EQ(rows->GetStringByName("TABLE_NAME"), "a");
  EXPECT_TRUE(rows->IsNull(1));
  // Without a native result behind it, rows beyond the cache do not exist.
  EXPECT_FALSE(rows->MoveAbsolute(-1));
  EXPECT_FALSE(rows->MoveAbsolute(4));
  EXPECT_EQ(rows->GetRow(), 1);
  EXPECT_FALSE(rows->MoveAbsolute(3));
  EXPECT_TRUE(rows->IsAfterLast());

  Ref<IZResultSet> copy = TZAbstractDatabaseMetadata::CloneCachedResultSet(rows);
  EXPECT_TRUE(rows->IsBeforeFirst());
  EXPECT_EQ(Column(*copy, 3), (std::vector<AnsiString>{"a", "b"}));
  copy->First();
  EXPECT_EQ(copy->GetConcurrency(), rcReadOnly);
  EXPECT_TRUE(copy->IsNull(5));
  EXPECT_EQ(SQLError([&] { copy->UpdateString(3, "c"); }), SZOperationIsNotAllowed2);
}

TEST(VirtualResultSet, LargeTextColumnIsCopiedThroughStrings) {
  Ref<IZVirtualResultSet> rows =
      TZAbstractDatabaseMetadata::ConstructVirtualResultSet({{"MEMO", stAsciiStream, 0}, {"N", stInteger, 0}});
  rows->MoveToInsertRow();
  rows->UpdateString(1, "long text");
  rows->UpdateNull(2);
  rows->InsertRow();
  Ref<IZResultSet> copy = TZAbstractDatabaseMetadata::CloneCachedResultSet(rows);
  ASSERT_TRUE(copy->Next());
  EXPECT_EQ(copy->GetMetadata()->GetColumnType(1), stAsciiStream);
  EXPECT_EQ(copy->GetString(1), "long text");
  EXPECT_TRUE(copy->IsNull(2));
}

TEST_F(DatabaseMetadata, BestRowIdentifierUsesThePrimaryKeyElseEveryPlainColumn) {
  Ref<IZResultSet> keyed = Metadata()->GetBestRowIdentifier("", "", "t", 0, false);
  EXPECT_EQ(Column(*keyed, 2), std::vector<AnsiString>{"id"});

  Server().AddTable("u", {{{"a", stInteger}, {"b", stBytes}, {"c", stString}}, {}});
  Ref<IZResultSet> plain = Metadata()->GetBestRowIdentifier("", "", "u", 0, true);
  EXPECT_EQ(Column(*plain, 2), (std::vector<AnsiString>{"a", "c"}));
  plain->First();
  EXPECT_EQ(plain->GetIntByName("SCOPE"), 2);
  EXPECT_EQ(plain->GetIntByName("PSEUDO_COLUMN"), 1);
  EXPECT_EQ(plain->GetIntByName("DATA_TYPE"), stInteger);
}

TEST_F(DatabaseMetadata, WildcardsAreEscapedWithTheSearchEscape) {
  class BackslashEscape : public TZAbstractDatabaseMetadata {
  public:
    using TZAbstractDatabaseMetadata::TZAbstractDatabaseMetadata;
    AnsiString GetSearchStringEscape() override { return "\\"; }
  };
  BackslashEscape rules(connection.get(), "", nullptr);
  struct {
    const char* pattern;
    const char* escaped;
  } cases[] = {{"a_b%", "a\\_b\\%"}, {"a\\b", "a\\\\b"}, {"plain", "plain"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(rules.AddEscapeCharToWildcards(c.pattern), c.escaped) << c.pattern;
  // With the base's escape "%", itself a wildcard, the doubled escapes are escaped again.
  EXPECT_EQ(Metadata()->AddEscapeCharToWildcards("a%"), "a%%%%");
  EXPECT_TRUE(rules.GetWildcardsSet().test('_'));
  EXPECT_FALSE(rules.GetWildcardsSet().test('*'));
}

TEST_F(DatabaseMetadata, UserNameComesFromTheConnectionsProperties) {
  Ref<IZConnection> named = driver->Connect("zdbc:fake-1://h/db?username=ann", nullptr);
  EXPECT_EQ(named->GetMetadata()->GetUserName(), "ann");
  EXPECT_EQ(named->GetMetadata()->GetDriverVersion(), "1.0");
  EXPECT_EQ(named->GetMetadata()->GetConnection().get(), named.get());
}

// --- result-set column descriptions completed from the catalogue

TEST_F(DatabaseMetadata, StarColumnsCarryTheCatalogueFacts) {
  Ref<IZResultSetMetadata> columns = Open("SELECT * FROM t")->GetMetadata();
  ASSERT_EQ(columns->GetColumnCount(), 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(columns->GetTableName(i), "t");
    EXPECT_TRUE(columns->IsWritable(i));
    EXPECT_FALSE(columns->IsReadOnly(i));
  }
  EXPECT_EQ(columns->GetColumnName(2), "name");
  EXPECT_EQ(columns->GetColumnType(1), stInteger);
  EXPECT_EQ(columns->GetDefaultValue(3), "'x'");
  EXPECT_FALSE(columns->HasDefaultValue(1));
}

TEST_F(DatabaseMetadata, ComputedColumnIsReadOnlyAndUnknownCaseMatchesSecond) {
  Server().Results["SELECT ID, id+1 AS calc FROM t"] = {{{"ID", stInteger}, {"calc", stInteger}}, {}};
  Ref<IZResultSetMetadata> columns = Open("SELECT ID, id+1 AS calc FROM t")->GetMetadata();
  EXPECT_EQ(columns->GetColumnName(1), "ID");
  EXPECT_EQ(columns->GetTableName(1), "t");
  EXPECT_TRUE(columns->IsWritable(1));
  EXPECT_EQ(columns->GetColumnName(2), "");
  EXPECT_EQ(columns->GetTableName(2), "");
  EXPECT_TRUE(columns->IsReadOnly(2));
  EXPECT_FALSE(columns->IsWritable(2));
}

TEST_F(DatabaseMetadata, EachTableIsListedOncePerResultSet) {
  Ref<IZResultSetMetadata> columns = Open("SELECT * FROM t")->GetMetadata();
  columns->IsWritable(1);
  columns->GetTableName(3);
  EXPECT_EQ(Server().CatalogueRequests, 1);
}

}  // namespace

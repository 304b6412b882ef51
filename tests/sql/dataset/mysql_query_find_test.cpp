// Sorting, locating, searching and bookmarks of a query over Czech names on
// the throwaway MariaDB server: all of it runs on the client over fetched
// rows, so the server sees the query once unless a refresh is asked for.
#include <gtest/gtest.h>

#include "platform/db/typed_fields.h"

#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

class MySQLQueryFindTest : public MySQLDatasetTest {
protected:
  static void SetUpTestSuite() {
    Client(reinterpret_cast<const char*>(
        u8"DROP TABLE IF EXISTS ds2_names;"
        u8"CREATE TABLE ds2_names (id INT PRIMARY KEY, name VARCHAR(20) NOT NULL, a INT, b INT)"
        u8" CHARACTER SET utf8mb4;"
        u8"INSERT INTO ds2_names VALUES (1,'Dub',1,2),(2,'Hora',2,1),(3,'Dub',1,1),(4,'Čáp',2,2),"
        u8"(5,'Cibule',1,3),(6,'Chata',3,1),(7,'Ačáp',1,0);"));
  }
  void OpenNames() { Open("select id, name, a, b from ds2_names order by id"); }
  std::vector<AnsiString> Ids() { return Column(query, "id"); }
};

using Texts = std::vector<AnsiString>;

Variant Pair(int first, int second) {
  Variant values = VarArrayCreate(0, 1, varVariant);
  VarArrayPut(values, Variant(first), 0);
  VarArrayPut(values, Variant(second), 1);
  return values;
}

TEST_F(MySQLQueryFindTest, SortDescriptionsAndTheirOrder) {
  OpenNames();
  const struct {
    const char* indexFieldNames;
    TSortType type;
    const char* sortedFields;
    Texts ids;
  } cases[] = {
      // Czech collation: C, Č, D, H, Ch; equal names fall back to id.
      {"name;id", stAscending, "name;id", {"7", "5", "4", "1", "3", "2", "6"}},
      {"name DESC;id", stIgnored, "name DESC;id", {"6", "2", "1", "3", "4", "5", "7"}},
      {"a desc, b desc", stDescending, "a, b", {"6", "4", "2", "5", "1", "3", "7"}},
      {"[b] ASC;[id]", stAscending, "b;id", {"7", "2", "3", "6", "1", "4", "5"}},
  };
  for (const auto& c : cases) {
    query->SetIndexFieldNames(c.indexFieldNames);
    EXPECT_EQ(query->SortType(), c.type) << c.indexFieldNames;
    EXPECT_EQ(query->SortedFields(), c.sortedFields) << c.indexFieldNames;
    EXPECT_EQ(Ids(), c.ids) << c.indexFieldNames;
  }
  query->SetIndexFieldNames("name");
  EXPECT_EQ(Column(query, "name"), (Texts{"Ačáp", "Cibule", "Čáp", "Dub", "Dub", "Hora", "Chata"}));
}

TEST_F(MySQLQueryFindTest, SortTypeRewritesIndexFieldNamesAndASortAppliesOnOpening) {
  query->SetSortedFields("a,b");  // applied when the query opens
  EXPECT_EQ(query->IndexFieldNames(), "a Asc,b Asc");
  OpenNames();
  EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), 7);
  EXPECT_EQ(Ids(), (Texts{"7", "3", "1", "5", "2", "4", "6"}));
  query->SetSortType(stDescending);
  EXPECT_EQ(query->SortedFields(), "a,b");
  EXPECT_EQ(query->IndexFieldNames(), "a Desc,b Desc");
  EXPECT_EQ(Ids(), (Texts{"6", "4", "2", "5", "1", "3", "7"}));
}

TEST_F(MySQLQueryFindTest, EmptyingTheSortRunsTheQueryAgainAndKeepsTheRecord) {
  OpenNames();
  query->SetSortedFields("name");
  query->First();
  query->Next();  // Cibule
  ASSERT_EQ(SentStatements("from ds2_names").size(), 1u);
  query->SetSortedFields("");
  EXPECT_EQ(SentStatements("from ds2_names").size(), 2u);
  EXPECT_EQ(query->FieldNamed("name")->ValueAsString(), "Cibule");
  EXPECT_EQ(Ids(), (Texts{"1", "2", "3", "4", "5", "6", "7"}));
}

TEST_F(MySQLQueryFindTest, UnknownSortFieldRaisesFieldNotFound) {
  OpenNames();
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { query->SetSortedFields("nazev"); }), "Field 'nazev' not found");
}

TEST_F(MySQLQueryFindTest, LocateAndLookup) {
  OpenNames();
  const struct {
    const char* fields;
    Variant keys;
    unsigned options;
    int id;  // 0: not found
  } cases[] = {
      {"name", Variant("čá"), loPartialKey | loCaseInsensitive, 4},  // not Ačáp: a prefix
      {"name", Variant("čá"), loPartialKey, 0},
      {"name", Variant("ČÁP"), loCaseInsensitive, 4},
      {"name", Variant("ČÁP"), 0, 0},
      {"a;b", Pair(2, 1), 0, 2},
      {"id", Variant("6"), 0, 6},
  };
  for (const auto& c : cases) {
    query->First();
    EXPECT_EQ(query->LocateRecords(c.fields, c.keys, c.options), c.id != 0) << c.fields << c.options;
    EXPECT_EQ(query->Found(), c.id != 0);
    if (c.id) {
      EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), c.id) << c.fields << c.options;
    }
  }

  query->LocateRecords("id", Variant(3), 0);
  Variant hora = query->LookupValues("name", Variant("Hora"), "id;a");
  EXPECT_EQ(VarArrayGet(hora, 0).AsInteger(), 2);
  EXPECT_EQ(VarArrayGet(hora, 1).AsInteger(), 2);
  EXPECT_EQ(query->LookupValues("name", Variant("Chata"), "id").AsInteger(), 6);
  Variant missing = query->LookupValues("name", Variant("Nikdo"), "id");
  EXPECT_TRUE(VarIsNull(missing));
  EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), 3);  // the cursor stayed
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->LocateRecords("a;b", Variant(1), 0); }),
            "Incorrect number of search field values");
}

TEST_F(MySQLQueryFindTest, FindFirstAndNextFollowTheDisplayOrderOfASortedFilteredQuery) {
  OpenNames();
  query->SetSortedFields("name DESC");
  query->SetFilter("a = 1");
  query->SetFiltered(true);
  EXPECT_EQ(Column(query, "name"), (Texts{"Dub", "Dub", "Cibule", "Ačáp"}));
  query->SetFilter("b = 1");  // searching applies the filter text as it stands
  query->SetFiltered(false);
  Texts found;
  for (bool more = query->FindFirst(); more; more = query->FindNext())
    found.push_back(query->FieldNamed("id")->ValueAsString());
  EXPECT_EQ(found, (Texts{"6", "2", "3"}));
}

// A calculated key is read into record buffers, row by row.
TEST_F(MySQLQueryFindTest, CalculatedFieldsSortAndLocateThroughRecordBuffers) {
  const std::pair<const char*, TFieldType> data[] = {{"id", ftInteger}, {"name", ftString}, {"a", ftInteger},
                                                     {"b", ftInteger}};
  for (const auto& [name, type] : data) {
    TField* field = CreateFieldOfType(type, query);
    field->SetFieldName(name);
    if (type == ftString) field->SetSize(20);
    field->SetDataSet(query);
  }
  TField* score = CreateFieldOfType(ftFloat, query);
  score->SetFieldName("score");
  score->SetFieldKind(fkCalculated);
  score->SetDataSet(query);
  query->OnCalcFields = [&](TDataSet* dataSet) {
    score->SetValueAsFloat(dataSet->FieldNamed("a")->ValueAsInteger() * 10 - dataSet->FieldNamed("b")->ValueAsInteger());
  };
  OpenNames();
  query->SetSortedFields("score DESC");
  EXPECT_EQ(Ids(), (Texts{"6", "2", "4", "7", "3", "1", "5"}));
  ASSERT_TRUE(query->LocateRecords("score", Variant(9.0), 0));
  EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), 3);
  EXPECT_EQ(query->LookupValues("score", Variant(18), "name").AsString(), "Čáp");
}

// Rows that a search fetches on its way stay visible in an unfiltered query.
TEST_F(MySQLQueryFindTest, SearchingAnUnfilteredQueryLosesNoFetchedRow) {
  OpenNames();
  query->SetFilter("id > 5");
  ASSERT_TRUE(query->FindFirst());
  EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), 6);
  EXPECT_EQ(query->RecordTotal(), 7);
}

TEST_F(MySQLQueryFindTest, BookmarksOrderAndValidity) {
  OpenNames();
  query->SetSortedFields("name");
  query->LocateRecords("id", Variant(2), 0);
  TBookmark hora = query->Bookmark();
  query->LocateRecords("id", Variant(5), 0);
  TBookmark cibule = query->Bookmark();
  EXPECT_EQ(query->OrderOfBookmarks(cibule, hora), -1);
  EXPECT_EQ(query->OrderOfBookmarks(hora, cibule), 1);
  EXPECT_EQ(query->OrderOfBookmarks(hora, TBookmark()), 0);
  EXPECT_TRUE(query->IsValidBookmark(hora));

  query->SetFilter("id <> 2");
  query->SetFiltered(true);
  EXPECT_FALSE(query->IsValidBookmark(hora));
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->SetBookmark(hora); }), "Bookmark was not found");
  query->SetBookmark(cibule);
  EXPECT_EQ(query->FieldNamed("name")->ValueAsString(), "Cibule");
  query->Close();
  EXPECT_FALSE(query->IsValidBookmark(cibule));
}

}  // namespace

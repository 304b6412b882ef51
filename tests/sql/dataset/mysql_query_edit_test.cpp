// Editing through a query on the throwaway MariaDB server: what each post,
// insert, delete and cancel leaves in the table (the command-line client
// tells), which statements reached the server (the general log tells), and
// how bad input is refused without losing what was typed.
#include <gtest/gtest.h>

#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

using Texts = std::vector<AnsiString>;

class MySQLQueryEditTest : public MySQLDatasetTest {
protected:
  void SetUp() override {
    MySQLDatasetTest::SetUp();
    Client(
        "DROP TABLE IF EXISTS ds2_zbozi;"
        "CREATE TABLE ds2_zbozi (id INT AUTO_INCREMENT PRIMARY KEY, nazev VARCHAR(30) NOT NULL,"
        " cena DOUBLE NOT NULL DEFAULT 0, poznamka VARCHAR(30)) CHARACTER SET utf8mb4;"
        "INSERT INTO ds2_zbozi VALUES (1,'Atlas',120,NULL),(2,'Brambory',15,'kg'),(3,'Cukr',30,NULL),"
        " (4,'Datle',80,NULL);");
  }
  void OpenGoods() { Open("select id, nazev, cena, poznamka from ds2_zbozi order by id"); }
  TField* Field(const char* name) { return query->FieldNamed(name); }
  static std::string Table() { return Client("select id, nazev, cena from ds2_zbozi order by id"); }
  std::vector<AnsiString> Writes() {
    Texts writes;
    for (const char* verb : {"UPDATE", "INSERT", "DELETE"})
      for (const AnsiString& line : SentStatements(verb)) writes.push_back(line);
    return writes;
  }
};

TEST_F(MySQLQueryEditTest, UpdateModesDecideColumnsAndRowCondition) {
  const struct {
    TZUpdateMode update;
    TZWhereMode where;
    std::vector<std::string> present, absent;
  } cases[] = {
      {umUpdateChanged, wmWhereKeyOnly, {"SET nazev=", "WHERE id=2"}, {"cena=", "poznamka=", "AND"}},
      {umUpdateAll, wmWhereAll, {"id=2,nazev=", "cena=15", "poznamka='kg'", "WHERE id=2 AND nazev="}, {}},
  };
  int round = 0;
  for (const auto& c : cases) {
    query->SetUpdateMode(c.update);
    query->SetWhereMode(c.where);
    OpenGoods();
    query->LocateRecords("id", Variant(2), 0);
    query->Edit();
    Field("nazev")->SetValueAsString(round++ ? "Řepa 'a' \"b\" \\" : "Čaj");
    query->Post();
    query->Close();
    Texts updates = SentStatements("UPDATE");
    ASSERT_EQ(updates.size(), static_cast<std::size_t>(round));
    for (const std::string& part : c.present) EXPECT_NE(updates.back().find(part), std::string::npos) << updates.back();
    for (const std::string& part : c.absent) EXPECT_EQ(updates.back().find(part), std::string::npos) << updates.back();
  }
  // The client's batch output doubles the backslash.
  EXPECT_EQ(Client("select nazev from ds2_zbozi where id = 2"), reinterpret_cast<const char*>(u8"Řepa 'a' \"b\" \\\\\n"));
}

TEST_F(MySQLQueryEditTest, CancelBringsBackTheCachedValuesAndAnUnchangedPostSendsNothing) {
  OpenGoods();
  query->Edit();
  query->Post();
  query->Edit();
  Field("nazev")->SetValueAsString("Jiný");
  query->Cancel();
  EXPECT_EQ(Field("nazev")->ValueAsString(), "Atlas");
  query->Insert();
  Field("nazev")->SetValueAsString("Nic");
  query->Cancel();
  EXPECT_EQ(query->RecordTotal(), 4);
  EXPECT_TRUE(Writes().empty());
}

TEST_F(MySQLQueryEditTest, AppendReadsTheServersIdAndDeleteKeepsACurrentRecord) {
  OpenGoods();
  query->Append();
  Field("nazev")->SetValueAsString("Ementál");
  Field("cena")->SetValueAsFloat(99.5);
  query->Post();
  EXPECT_EQ(Field("id")->ValueAsString() + "\n", Client("select max(id) from ds2_zbozi"));
  EXPECT_EQ(Client("select nazev, cena from ds2_zbozi where id = 5"),
            reinterpret_cast<const char*>(u8"Ementál\t99.5\n"));

  query->Last();
  TBookmark deleted = query->Bookmark();
  query->Delete();  // the last one: the new last is current
  EXPECT_FALSE(query->IsValidBookmark(deleted));
  EXPECT_EQ(Field("nazev")->ValueAsString(), "Datle");
  EXPECT_EQ(query->RecordNumber(), 4);
  while (!query->HasNoRecords()) query->Delete();
  EXPECT_EQ(query->RecordNumber(), 0);
  EXPECT_EQ(Table(), "");
  EXPECT_EQ(SentStatements("DELETE").size(), 5u);
}

TEST_F(MySQLQueryEditTest, PostThatFailsTheFilterLeavesTheView) {
  OpenGoods();
  query->SetFilter("cena < 100");
  query->SetFiltered(true);
  ASSERT_EQ(Column(query, "nazev"), (Texts{"Brambory", "Cukr", "Datle"}));
  query->LocateRecords("nazev", Variant("Cukr"), 0);
  query->Edit();
  Field("cena")->SetValueAsFloat(300);
  query->Post();
  EXPECT_EQ(Field("nazev")->ValueAsString(), "Datle");
  EXPECT_EQ(Column(query, "nazev"), (Texts{"Brambory", "Datle"}));
  EXPECT_EQ(Client("select cena from ds2_zbozi where id = 3"), "300\n");
}

TEST_F(MySQLQueryEditTest, PostOnASortedQueryResortsAndStaysCurrent) {
  OpenGoods();
  query->SetSortedFields("nazev");
  query->LocateRecords("nazev", Variant("Brambory"), 0);
  query->Edit();
  Field("nazev")->SetValueAsString("Zelí");
  query->Post();
  EXPECT_EQ(Field("nazev")->ValueAsString(), "Zelí");
  EXPECT_EQ(query->RecordNumber(), 4);
  query->Append();
  Field("nazev")->SetValueAsString("Banány");
  query->Post();
  EXPECT_EQ(query->RecordNumber(), 2);
  EXPECT_EQ(Column(query, "nazev"), (Texts{"Atlas", "Banány", "Cukr", "Datle", "Zelí"}));
}

TEST_F(MySQLQueryEditTest, CachedUpdatesReachTheServerWhenSwitchedOffAndCloseDropsThem) {
  const std::string before = Table();
  OpenGoods();
  query->SetCachedUpdates(true);
  query->Edit();
  Field("cena")->SetValueAsFloat(121);
  query->Post();
  query->Append();
  Field("nazev")->SetValueAsString("Fíky");
  query->Post();
  query->First();
  query->Next();
  query->Delete();
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Table(), before);
  query->SetCachedUpdates(false);
  EXPECT_EQ(Writes().size(), 3u);
  const std::string posted = reinterpret_cast<const char*>(u8"1\tAtlas\t121\n3\tCukr\t30\n4\tDatle\t80\n5\tFíky\t0\n");
  EXPECT_EQ(Table(), posted);

  query->SetCachedUpdates(true);
  query->Edit();
  Field("cena")->SetValueAsFloat(1);
  query->Post();
  query->Close();  // pending changes are dropped with the result set
  EXPECT_EQ(Writes().size(), 3u);
  EXPECT_EQ(Table(), posted);
}

TEST_F(MySQLQueryEditTest, RequiredFieldsAreCheckedBeforePosting) {
  OpenGoods();
  query->Append();  // id is auto-increment and cena has a default: both may stay empty
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->Post(); }), "Field nazev is required, but not supplied.");
  EXPECT_EQ(query->State(), dsInsert);
  Field("nazev")->SetValueAsString("Gouda");
  query->Post();
  EXPECT_EQ(Client("select cena from ds2_zbozi where nazev = 'Gouda'"), "0\n");

  query->Edit();
  Field("cena")->Clear();  // in edit the default does not count
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->Post(); }), "Field cena is required, but not supplied.");
  query->Cancel();
}

TEST_F(MySQLQueryEditTest, DuplicateKeyKeepsTheInsertForCorrection) {
  OpenGoods();
  query->Append();
  Field("id")->SetValueAsInteger(2);
  Field("nazev")->SetValueAsString("Hrách");
  try {
    query->Post();
    ADD_FAILURE() << "a duplicate key was posted";
  } catch (const EZDatabaseError& e) {
    EXPECT_EQ(e.ErrorCode(), 1062);
    EXPECT_NE(e.Message().find("Duplicate entry '2' for key 'PRIMARY'"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(query->State(), dsInsert);
  EXPECT_EQ(Field("nazev")->ValueAsString(), "Hrách");
  Field("id")->SetValueAsInteger(10);
  query->Post();
  EXPECT_EQ(Client("select id from ds2_zbozi where nazev like 'Hr%'"), "10\n");
  EXPECT_EQ(query->RecordTotal(), 5);
}

// A post reaches exactly its row: of two equal rows of a table without a
// key one is changed or deleted, and a row condition that cannot match (a
// FLOAT compared with the double it reads as) is an error, not a success.
TEST_F(MySQLQueryEditTest, PostReachesExactlyOneRowOrFails) {
  Client("DROP TABLE IF EXISTS ds2_twins; CREATE TABLE ds2_twins (a INT, f FLOAT);"
         "INSERT INTO ds2_twins VALUES (1, 0.5), (1, 0.5), (2, 0.1);");
  Open("select a, f from ds2_twins order by a");
  query->Edit();
  Field("a")->SetValueAsInteger(3);
  query->Post();
  EXPECT_EQ(Client("select a from ds2_twins order by a"), "1\n2\n3\n");
  query->Next();
  query->Delete();
  EXPECT_EQ(Client("select a from ds2_twins order by a"), "2\n3\n");

  query->LocateRecords("a", Variant(2), 0);
  query->Edit();
  Field("a")->SetValueAsInteger(4);
  EXPECT_EQ(ErrorOf<Exception>([&] { query->Post(); }), Format(SZUpdateRecordCount, {0}));
  query->Cancel();
  EXPECT_EQ(ErrorOf<Exception>([&] { query->Delete(); }), Format(SZUpdateRecordCount, {0}));
  EXPECT_EQ(Client("select a from ds2_twins order by a"), "2\n3\n");
  EXPECT_EQ(Field("a")->ValueAsString(), "2");
}

}  // namespace

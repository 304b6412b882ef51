// The update SQL component as the resolver of a query on the throwaway
// MariaDB server: which of its statements reached the server and in what
// order (the general log and the events tell), how parameters are bound from
// the row and from Params, count validation, reading a row back after an
// insert, and switching between it and the driver's resolver.
#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "sql/core/messages.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/update_sql.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

using Texts = std::vector<AnsiString>;

class MySQLUpdateSQLTest : public MySQLDatasetTest {
protected:
  void SetUp() override {
    MySQLDatasetTest::SetUp();
    Client(
        "DROP TABLE IF EXISTS ds3_zbozi, ds3_zurnal;"
        "CREATE TABLE ds3_zbozi (id INT AUTO_INCREMENT PRIMARY KEY, nazev VARCHAR(30), cena DOUBLE DEFAULT 0,"
        " vlozeno TIMESTAMP DEFAULT CURRENT_TIMESTAMP) CHARACTER SET utf8mb4;"
        "CREATE TABLE ds3_zurnal (stary VARCHAR(30), novy VARCHAR(30), velke BIGINT) CHARACTER SET utf8mb4;"
        "INSERT INTO ds3_zbozi (id, nazev, cena) VALUES (1,'Atlas',120),(2,'Brambory',15);");
  }
  void TearDown() override {
    update->Free();
    MySQLDatasetTest::TearDown();
  }

  void OpenGoods() {
    query->SetUpdateObject(update);
    Open("select id, nazev, cena, vlozeno from ds3_zbozi order by id");
  }
  void Rename(int id, const AnsiString& name) {
    ASSERT_TRUE(query->LocateRecords("id", Variant(id), 0));
    query->Edit();
    query->FieldNamed("nazev")->SetValueAsString(name);
    query->Post();
  }
  TZUpdateSQL* update = new TZUpdateSQL(nullptr);
};

TEST_F(MySQLUpdateSQLTest, ModifyRunsItsStatementsInOrderAndBindsRowAndOwnParameters) {
  update->ModifySQL().SetText(
           "update ds3_zbozi set nazev = :NEW_NAZEV where id = :OLD_ID;"
           "update ds3_zbozi set cena = 999 where id = :OLD_ID;"
           "insert into ds3_zurnal (stary, novy, velke) values (:old_nazev, :NAZEV, :velke)");
  ASSERT_NE(update->Params().ParamNamed("velke"), nullptr);
  update->Params().ParamNamed("velke")->SetValueAsLargeInt(5000000000LL);
  Texts events;
  update->BeforeModifySQL = [&](TObject*) { events.push_back("before"); };
  update->AfterModifySQL = [&](TObject*) { events.push_back("after"); };
  update->BeforeModifySQLStatement = [&](TObject*, int index, bool& execute) {
    events.push_back("before " + std::to_string(index));
    execute = index != 1;
  };
  update->AfterModifySQLStatement = [&](TObject*, int index) { events.push_back("after " + std::to_string(index)); };
  OpenGoods();
  Rename(2, "Čaj");

  EXPECT_EQ(events, (Texts{"before", "before 0", "after 0", "before 1", "before 2", "after 2", "after"}));
  EXPECT_EQ(Client("select id, nazev, cena from ds3_zbozi order by id"),
            reinterpret_cast<const char*>(u8"1\tAtlas\t120\n2\tČaj\t15\n"));
  EXPECT_EQ(Client("select stary, novy, velke from ds3_zurnal"),
            reinterpret_cast<const char*>(u8"Brambory\tČaj\t5000000000\n"));
  Texts journal = SentStatements("ds3_zurnal");
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_NE(journal[0].find(", 5000000000)"), std::string::npos) << journal[0];
  EXPECT_TRUE(SentStatements("999").empty());
}

TEST_F(MySQLUpdateSQLTest, ValidateUpdateCountRefusesAnUpdateOfNoRow) {
  const struct {
    const char* property;
    AnsiString error;
  } cases[] = {
      {"ValidateUpdateCount=true", "0 record(s) updated. Only one record should have been updated."},
      {"ValidateUpdateCount=false", ""},
      {nullptr, ""},
  };
  update->ModifySQL().SetText("update ds3_zbozi set nazev = :nazev where id = -1");
  for (const auto& c : cases) {
    query->Properties()->Clear();
    if (c.property) query->Properties()->Add(c.property);
    OpenGoods();
    EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { Rename(1, "Nic"); }), c.error) << (c.property ? c.property : "none");
    if (query->State() == dsEdit) query->Cancel();
    query->Close();
  }
}

TEST_F(MySQLUpdateSQLTest, InsertReadsTheServersIdAndDefaultBackThroughTheRefresh) {
  update->InsertSQL().SetText("insert into ds3_zbozi (nazev) values (:nazev)");
  update->RefreshSQL().SetText("select id, vlozeno from ds3_zbozi where id = last_insert_id()");
  OpenGoods();
  query->Append();
  query->FieldNamed("nazev")->SetValueAsString("Žito");
  query->Post();

  EXPECT_EQ(query->FieldNamed("id")->ValueAsString() + "\n", Client("select max(id) from ds3_zbozi"));
  ASSERT_FALSE(query->FieldNamed("vlozeno")->IsNull());
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", query->FieldNamed("vlozeno")->ValueAsDateTime()) + "\n",
            Client("select vlozeno from ds3_zbozi where nazev like '%ito'"));
  EXPECT_EQ(update->RefreshSQL().Text(), "select id, vlozeno from ds3_zbozi where id = last_insert_id()\r\n");
}

TEST_F(MySQLUpdateSQLTest, RefreshWithoutARowFailsThePost) {
  update->ModifySQL().SetText("update ds3_zbozi set nazev = :nazev where id = :old_id");
  update->RefreshSQL().SetText("select nazev from ds3_zbozi where id = -1");
  OpenGoods();
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { Rename(1, "Bez"); }), SZUpdateSQLNoResult);
  EXPECT_EQ(query->State(), dsEdit);  // the edit stays for the user to fix
}

TEST_F(MySQLUpdateSQLTest, DeletingAnInsertBeforeItIsPostedSendsNothing) {
  update->InsertSQL().SetText("insert into ds3_zbozi (nazev) values (:nazev)");
  update->DeleteSQL().SetText("delete from ds3_zbozi where id = :old_id");
  int deleteEvents = 0;
  update->BeforeDeleteSQL = [&](TObject*) { ++deleteEvents; };
  query->SetCachedUpdates(true);
  OpenGoods();
  query->Append();
  query->FieldNamed("nazev")->SetValueAsString("Pryč");
  query->Post();
  query->Delete();
  query->SetCachedUpdates(false);

  EXPECT_EQ(deleteEvents, 0);
  EXPECT_TRUE(SentStatements("insert into ds3_zbozi").empty());
  EXPECT_TRUE(SentStatements("delete from").empty());
  EXPECT_EQ(Client("select count(*) from ds3_zbozi"), "2\n");
}

TEST_F(MySQLUpdateSQLTest, UpdateObjectSwitchesTheResolverOfAnOpenQueryAndItsRemovalClosesIt) {
  update->ModifySQL().SetText("update ds3_zbozi set nazev = concat('U:', :nazev) where id = :old_id");
  Open("select id, nazev, cena, vlozeno from ds3_zbozi order by id");
  query->SetUpdateObject(update);
  Rename(1, "A");
  query->SetUpdateObject(nullptr);
  Rename(2, "B");

  EXPECT_EQ(Client("select nazev from ds3_zbozi order by id"), "U:A\nB\n");
  EXPECT_EQ(SentStatements("concat('U:'").size(), 1u);
  EXPECT_EQ(SentStatements("SET nazev=").size(), 1u);

  query->SetUpdateObject(update);
  update->Free();
  update = new TZUpdateSQL(nullptr);
  EXPECT_FALSE(query->Active());
  EXPECT_EQ(query->UpdateObject(), nullptr);
}

TEST_F(MySQLUpdateSQLTest, CzechColumnAndParameterNamesBindLikeAnyOther) {
  Client(reinterpret_cast<const char*>(u8"ALTER TABLE ds3_zbozi ADD COLUMN `počet` INT DEFAULT 0;"));
  update->ModifySQL().SetText("update ds3_zbozi set `počet` = :NEW_počet + :přídavek where id = :old_ID");
  update->Params().ParamNamed("přídavek")->SetValueAsInteger(3);
  query->SetUpdateObject(update);
  Open("select id, nazev, `počet` from ds3_zbozi order by id");
  query->Edit();
  query->FieldNamed("počet")->SetValueAsInteger(40);
  query->Post();
  EXPECT_EQ(Client(reinterpret_cast<const char*>(u8"select `počet` from ds3_zbozi order by id")), "43\n0\n");
}

}  // namespace

// Sequences on the test driver, whose connections have a counting sequence
// (MySQL has none): when the component holds a sequence object, a query
// that fills its key from the sequence before an insert is posted, and an
// update SQL component that reads the inserted row back by the sequence's
// current-value expression.
#include <gtest/gtest.h>

#include "sql/dataset/sequence.h"
#include "sql/dataset/update_sql.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

class SequenceTest : public FakeDatasetTest {
protected:
  void TearDown() override {
    if (sequence) sequence->Free();
    FakeDatasetTest::TearDown();
  }
  TZSequence* sequence = new TZSequence(nullptr);
};

TEST_F(SequenceTest, ObjectLivesWhileTheConnectionIsOpen) {
  EXPECT_EQ(sequence->BlockSize(), 1);
  EXPECT_FALSE(sequence->HeldSequence());

  sequence->SetConnection(connection);  // closed: nothing made until used
  EXPECT_FALSE(sequence->HeldSequence());
  EXPECT_EQ(sequence->GetNextValue(), 0);
  EXPECT_EQ(sequence->GetCurrentValueSQL(), "IMPLEMENT");

  connection->Connect();
  sequence->SetSequenceName("Gen_A");
  sequence->SetBlockSize(10);
  EXPECT_EQ(sequence->GetNextValue(), 10);
  EXPECT_EQ(sequence->GetCurrentValueSQL(), "CURRVAL(Gen_A)");
  IZSequence* first = sequence->HeldSequence().get();
  sequence->SetSequenceName("Gen_B");  // the held object is renamed, not replaced
  EXPECT_EQ(sequence->HeldSequence().get(), first);
  EXPECT_EQ(first->GetName(), "Gen_B");

  connection->Disconnect();
  EXPECT_FALSE(sequence->HeldSequence());
  connection->Connect();
  EXPECT_EQ(sequence->GetNextValue(), 20);
  EXPECT_EQ(sequence->HeldSequence()->GetBlockSize(), 10);
}

TEST_F(SequenceTest, MovesBetweenConnectionsAndForgetsAFreedOne) {
  auto* second = new TZConnection(nullptr);
  second->SetProtocol("fake-2");
  second->SetDatabase("db2");
  second->Connect();
  sequence->SetConnection(connection);
  sequence->SetConnection(second);  // open: the object is made at once
  ASSERT_TRUE(sequence->HeldSequence());
  connection->Connect();
  connection->Disconnect();  // no longer registered there
  EXPECT_TRUE(sequence->HeldSequence());
  second->Disconnect();
  EXPECT_FALSE(sequence->HeldSequence());

  second->Connect();
  sequence->GetNextValue();
  second->Free();  // of another owner: the sequence still lets go of it
  EXPECT_EQ(sequence->Connection(), nullptr);
  EXPECT_FALSE(sequence->HeldSequence());

  TComponent owner(nullptr);
  auto* owned = new TZConnection(&owner);
  owned->SetProtocol("fake-1");
  auto* ownedSequence = new TZSequence(&owner);
  ownedSequence->SetConnection(owned);
  owned->Connect();
  ownedSequence->GetNextValue();
  owned->Free();
  EXPECT_EQ(ownedSequence->Connection(), nullptr);
  EXPECT_FALSE(ownedSequence->HeldSequence());
}

class SequenceInsertTest : public SequenceTest {
protected:
  void SetUp() override {
    SequenceTest::SetUp();
    Server().UpdatableResults = true;
    TZFakeResult rows{{{"id", stLong}, {"nazev", stString}}, {{IntValue(1), StringValue("a")}}};
    Server().AddTable("t1", rows);
    AddResult("select * from t1", rows);
    Server().PrimaryKeys["t1"] = {"id"};
    Server().SequenceValue = 100;
    sequence->SetSequenceName("Gen_A");
    sequence->SetConnection(connection);
    query->SetSequence(sequence);
    query->SetSequenceField("id");
  }
  static TZVariant StringValue(const AnsiString& text) {
    TZVariant value;
    DefaultVarManager()->SetAsString(value, text);
    return value;
  }
  void Insert(const char* name, const char* id = nullptr) {
    query->Append();
    query->FieldNamed("nazev")->SetValueAsString(name);
    if (id) query->FieldNamed("id")->SetValueAsString(id);
    query->Post();
  }
  std::vector<AnsiString> Sent(const std::string& part) {
    std::vector<AnsiString> found;
    for (const AnsiString& sql : Server().ExecutedSQL)
      if (sql.find(part) != std::string::npos) found.push_back(sql);
    return found;
  }
};

TEST_F(SequenceInsertTest, ANullKeyTakesTheNextValueAndAGivenOneIsKept) {
  OpenQuery("select * from t1");
  Insert("nový");
  EXPECT_EQ(query->FieldNamed("id")->ValueAsLargeInt(), 101);
  Insert("daný", "7");
  EXPECT_EQ(query->FieldNamed("id")->ValueAsLargeInt(), 7);
  EXPECT_EQ(Server().SequenceValue, 101);
  std::vector<AnsiString> inserts = Sent("INSERT");
  ASSERT_EQ(inserts.size(), 2u);
  EXPECT_NE(inserts[0].find("(101,'nový')"), std::string::npos) << inserts[0];
  EXPECT_NE(inserts[1].find("(7,'daný')"), std::string::npos) << inserts[1];

  sequence->Free();  // the query hears of it and stops filling the key
  sequence = nullptr;
  EXPECT_EQ(query->Sequence(), nullptr);
}

TEST_F(SequenceInsertTest, RefreshRunsWithTheSequencesExpressionInPlaceOfTheOldKey) {
  const AnsiString refresh = "select ID, nazev from T1 where id = :OLD_Id and nazev <> 'Abc :old_id' and x = :old_idx";
  const AnsiString prepared = "select ID, nazev from T1 where id = CURRVAL(Gen_A) and nazev <> 'Abc :old_id' and x = ?";
  TZUpdateSQL update(nullptr);
  update.InsertSQL().SetText("insert into t1 (id, nazev) values (:id, :nazev)");
  update.RefreshSQL().SetText(refresh);
  update.SetUseSequenceFieldForRefreshSQL(true);
  update.Params().ParamNamed("old_idx")->SetValueAsInteger(3);
  AddResult("select ID, nazev from T1 where id = CURRVAL(Gen_A) and nazev <> 'Abc :old_id' and x = 3",
            {{{"ID", stLong}, {"NAZEV", stString}}, {{IntValue(101), StringValue("z refreshe")}}});
  query->SetUpdateObject(&update);
  OpenQuery("select * from t1");
  Insert("nový");

  EXPECT_EQ(query->FieldNamed("nazev")->ValueAsString(), "z refreshe");
  ASSERT_FALSE(Server().PreparedSQL.empty());
  EXPECT_EQ(Server().PreparedSQL.back(), prepared);
  EXPECT_EQ(update.RefreshSQL().Text(), refresh + "\r\n");
  ASSERT_NE(update.Params().ParamNamed("old_idx"), nullptr);
  query->SetUpdateObject(nullptr);
}

}  // namespace

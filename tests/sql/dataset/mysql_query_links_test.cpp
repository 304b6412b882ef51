// Invoices and their items on the throwaway MariaDB server: a detail fed by
// a parameter source runs again per master record, a detail over master
// fields runs once and filters its fetched rows, a new detail record takes
// the master's 64-bit key, and refreshing returns to the same record. The
// general log shows which statements the server saw.
#include <gtest/gtest.h>

#include <memory>

#include "platform/db/data_source.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

using Texts = std::vector<AnsiString>;

class MySQLQueryLinksTest : public MySQLDatasetTest {
protected:
  static void SetUpTestSuite() {
    Client(
        "DROP TABLE IF EXISTS ds2_faktury, ds2_polozky;"
        "CREATE TABLE ds2_faktury (id BIGINT PRIMARY KEY, cislo VARCHAR(10), castka DOUBLE);"
        "CREATE TABLE ds2_polozky (id INT AUTO_INCREMENT PRIMARY KEY, faktura BIGINT NOT NULL,"
        " nazev VARCHAR(20), castka DOUBLE);");
  }
  void SetUp() override {
    MySQLDatasetTest::SetUp();
    Client(
        "DELETE FROM ds2_faktury; DELETE FROM ds2_polozky;"
        "INSERT INTO ds2_faktury VALUES (5000000000,'F1',1234.5678),(2,'F2',10),(3,'F3',20);"
        "INSERT INTO ds2_polozky VALUES (1,5000000000,'a',1234.5678),(2,5000000000,'b',0),(3,2,'c',10),"
        " (4,3,'d',20),(5,3,'e',20);");
    master = NewQuery();
    masterSource = std::make_unique<TDataSource>(nullptr);
    masterSource->SetDataSet(master);
  }
  void TearDown() override {
    masterSource.reset();
    MySQLDatasetTest::TearDown();
  }

  // A detail over master fields, filtering the fetched items.
  void OpenLinkedDetail(const AnsiString& masterFields, const AnsiString& linkedFields) {
    Open(master, "select id, cislo, castka from ds2_faktury order by cislo");
    query->SetMasterSource(masterSource.get());
    query->SetMasterFields(masterFields);
    query->SetLinkedFields(linkedFields);
    Open("select id, faktura, nazev, castka from ds2_polozky order by id");
  }

  TZQuery* master = nullptr;
  std::unique_ptr<TDataSource> masterSource;
};

TEST_F(MySQLQueryLinksTest, CircularLinksAreRefused) {
  TZQuery* other = NewQuery();
  TDataSource ownSource(nullptr), otherSource(nullptr);
  ownSource.SetDataSet(query);
  otherSource.SetDataSet(other);
  auto circular = [](auto link) { return ErrorOf<EZDatabaseError>(link); };
  EXPECT_EQ(circular([&] { query->SetDataSource(&ownSource); }), "Datasource makes a circular link");
  EXPECT_EQ(circular([&] { query->SetMasterSource(&ownSource); }), "Datasource makes a circular link");
  query->SetMasterSource(&otherSource);
  EXPECT_EQ(circular([&] { other->SetMasterSource(&ownSource); }), "Datasource makes a circular link");
  EXPECT_EQ(circular([&] { other->SetDataSource(&ownSource); }), "Datasource makes a circular link");
  query->SetMasterSource(nullptr);
  other->SetDataSource(&ownSource);  // one way only is fine
  EXPECT_EQ(other->DataSource(), &ownSource);
  other->SetDataSource(nullptr);
}

TEST_F(MySQLQueryLinksTest, ParameterSourceRunsTheDetailOncePerMasterRecord) {
  Open(master, "select id as faktura, cislo from ds2_faktury order by cislo");
  query->SetDataSource(masterSource.get());
  Open("select nazev from ds2_polozky where faktura = :faktura order by id");
  std::vector<Texts> items;
  for (; !master->Eof(); master->Next()) items.push_back(Column(query, "nazev"));
  EXPECT_EQ(items, (std::vector<Texts>{{"a", "b"}, {"c"}, {"d", "e"}}));
  Texts sent = SentStatements("from ds2_polozky");
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_NE(sent[0].find("faktura = 5000000000"), std::string::npos) << sent[0];
  EXPECT_NE(sent[2].find("faktura = 3"), std::string::npos) << sent[2];
}

TEST_F(MySQLQueryLinksTest, MasterFieldsFilterTheDetailWithoutRunningItAgain) {
  const struct {
    const char* masterFields;
    const char* linkedFields;
    std::vector<Texts> items;  // per invoice F1, F2, F3
  } cases[] = {
      {"id", "faktura", {{"a", "b"}, {"c"}, {"d", "e"}}},
      {"id;castka", "faktura", {{"a", "b"}, {"c"}, {"d", "e"}}},  // only the named pair counts
      // Doubles compare as doubles: 1234.5678 matches its master.
      {"id;castka", "faktura;castka", {{"a"}, {"c"}, {"d", "e"}}},
  };
  for (const auto& c : cases) {
    OpenLinkedDetail(c.masterFields, c.linkedFields);
    std::vector<Texts> items;
    for (master->First(); !master->Eof(); master->Next()) items.push_back(Column(query, "nazev"));
    EXPECT_EQ(items, c.items) << c.masterFields << " / " << c.linkedFields;
    query->Close();
    master->Close();
  }
  EXPECT_EQ(SentStatements("from ds2_polozky").size(), std::size(cases));
}

TEST_F(MySQLQueryLinksTest, NewDetailRecordTakesTheWholeMasterKey) {
  OpenLinkedDetail("id", "faktura");
  ASSERT_EQ(master->FieldNamed("cislo")->ValueAsString(), "F1");
  query->Append();
  EXPECT_EQ(query->FieldNamed("faktura")->ValueAsLargeInt(), 5000000000);
  query->FieldNamed("nazev")->SetValueAsString("nová");
  query->Post();
  EXPECT_EQ(Column(query, "nazev"), (Texts{"a", "b", "nová"}));
  EXPECT_EQ(Client("select faktura from ds2_polozky where nazev like 'nov%'"), "5000000000\n");
}

TEST_F(MySQLQueryLinksTest, RefreshReturnsToTheSameRecordOrScrollsWhenItIsGone) {
  query->Properties()->Add("KeyFields=id");  // by default every column is the key
  Open("select id, nazev from ds2_polozky order by id");
  ASSERT_TRUE(query->LocateRecords("id", Variant(3), 0));
  int before = 0, after = 0;
  query->BeforeScroll = [&](TDataSet*) { ++before; };
  query->AfterScroll = [&](TDataSet*) { ++after; };
  Client("UPDATE ds2_polozky SET nazev = 'C' WHERE id = 3");
  query->Refresh();
  EXPECT_EQ(query->FieldNamed("nazev")->ValueAsString(), "C");
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 1);

  before = after = 0;
  Client("DELETE FROM ds2_polozky WHERE id = 3");
  query->Refresh();
  EXPECT_EQ(before, 3);  // once more for the record that is gone
  EXPECT_EQ(after, 1);
  EXPECT_EQ(query->RecordTotal(), 4);
  EXPECT_EQ(SentStatements("from ds2_polozky").size(), 3u);
}

// A refresh that cannot run the query again closes the dataset rather than
// leaving it open without a result.
TEST_F(MySQLQueryLinksTest, FailedRefreshClosesTheDataset) {
  Client("DROP TABLE IF EXISTS ds2_gone; CREATE TABLE ds2_gone (id INT PRIMARY KEY); INSERT INTO ds2_gone VALUES (1);");
  Open("select id from ds2_gone");
  Client("DROP TABLE ds2_gone");
  EXPECT_THROW(query->Refresh(), EZSQLException);
  EXPECT_FALSE(query->Active());
}

}  // namespace

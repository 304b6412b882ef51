// The dataset components beside the query on the throwaway MariaDB server:
// what a data provider gets from a query (quoting and table names, statements
// run with positional parameters, transactions ended through the query,
// change-set records applied through the query's own editing), the script
// processor's statements, and sequences, which MySQL does not have. The
// general log tells what was sent, the command-line client what the table holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/db/params.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/sequence.h"
#include "sql/dataset/sql_processor.h"
#include "tests/platform/db/test_dataset.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

using Texts = std::vector<AnsiString>;

// A provider's change set of one record: the old values are the row as
// added, the new ones what the test sets while the record is being edited;
// only fields given a new value carry one.
class DeltaRecord : public TTestDataSet {
public:
  DeltaRecord() : TTestDataSet(nullptr, {{"id", ftLargeint}, {"nazev", ftString, 30}, {"cena", ftFloat}}) {}
  // Lives on the stack, so nothing calls Free: close it (still in edit mode)
  // while it is whole, or its record buffers are never given back.
  ~DeltaRecord() override { BeforeDestruction(); }
  // Starts the record with its old values (null for absent ones).
  void Old(std::int64_t id, const char* name) {
    Open();
    Append();
    FieldNamed("id")->SetValueAsLargeInt(id);
    if (name) FieldNamed("nazev")->SetValueAsString(name);
    Post();
    Edit();
  }
  void New(const char* field, const Variant& value) {
    FieldNamed(field)->SetValueAsVariant(value);
    carried.push_back(field);
  }
  bool HasNewValue(TField* field) override {
    return std::find(carried.begin(), carried.end(), field->FieldName()) != carried.end();
  }
  Texts carried;
};

class MySQLComponentsTest : public MySQLDatasetTest {
protected:
  void SetUp() override {
    MySQLDatasetTest::SetUp();
    Client(
        "DROP TABLE IF EXISTS ds3_sklad;"
        "CREATE TABLE ds3_sklad (id BIGINT PRIMARY KEY, nazev VARCHAR(30), cena DOUBLE, mena DECIMAL(10,2),"
        " kusy INT) CHARACTER SET utf8mb4 ENGINE=InnoDB;"
        "INSERT INTO ds3_sklad (id, nazev, cena) VALUES (1,'Atlas',120),(5000000001,'Brambory',15),"
        " (705032705,'Cukr',30);");
  }
  static std::string Stock() { return Client("select id, nazev, cena from ds3_sklad order by id"); }
};

TEST_F(MySQLComponentsTest, QuoteCharAndTableNameComeFromTheConnectionsDialect) {
  TZQuery alone(nullptr);
  EXPECT_EQ(alone.ProviderQuoteChar(), "\"");
  EXPECT_EQ(alone.ProviderTableName(), "");
  EXPECT_EQ(query->ProviderQuoteChar(), "`");

  const struct {
    const char* sql;
    const char* table;
  } cases[] = {
      {"select * from kalmir.t1", "kalmir.t1"},
      {"select a from t1 where a > 1", "t1"},
      {"select * from t1, t2", ""},
      {"select * from t1 join t2 on t1.a = t2.a", ""},
  };
  for (const auto& c : cases) {
    query->SQL().SetText(c.sql);
    EXPECT_EQ(query->ProviderTableName(), c.table) << c.sql;
  }
  EXPECT_TRUE(query->ProviderIsSQLBased());
  EXPECT_EQ(query->ProviderParams(), &query->Params());
}

TEST_F(MySQLComponentsTest, ExecuteStatementBindsParametersByPositionAtFullWidth) {
  TParams params;
  params.AddParam(ftLargeint, "a", ptInput)->SetValueAsLargeInt(5000000000LL);
  params.AddParam(ftWideString, "b", ptInput)->SetValueAsVariant(Variant(WideString(u"Žluťoučký kůň")));
  params.AddParam(ftFloat, "c", ptInput)->SetValueAsFloat(0.1);
  params.AddParam(ftCurrency, "d", ptInput)->SetValueAsCurrency(12.34);
  params.AddParam(ftWord, "e", ptInput)->SetValueAsVariant(Variant::OfInteger(varWord, 65535));
  EXPECT_EQ(query->ProviderExecuteStatement("insert into ds3_sklad (id, nazev, cena, mena, kusy) values (?,?,?,?,?)",
                                            &params, nullptr),
            1);
  EXPECT_EQ(Client("select id, nazev, cena, mena, kusy from ds3_sklad where id = 5000000000"),
            reinterpret_cast<const char*>(u8"5000000000\tŽluťoučký kůň\t0.1\t12.34\t65535\n"));
  Texts sent = SentStatements("insert into ds3_sklad");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find("values (5000000000,'"), std::string::npos) << sent[0];
  EXPECT_NE(sent[0].find(",12.34,65535)"), std::string::npos) << sent[0];
}

TEST_F(MySQLComponentsTest, EndingATransactionCommitsOrRollsBack) {
  for (bool commit : {false, true}) {
    connection->Connect();
    connection->StartTransaction();
    TParams params;
    params.AddParam(ftInteger, "id", ptInput)->SetValueAsInteger(commit ? 7 : 6);
    query->ProviderExecuteStatement("insert into ds3_sklad (id, nazev) values (?, 'T')", &params, nullptr);
    EXPECT_EQ(Client("select count(*) from ds3_sklad where nazev = 'T'"), "0\n");
    query->ProviderEndTransaction(commit);
    EXPECT_EQ(Client("select id from ds3_sklad where nazev = 'T'"), commit ? "7\n" : "") << commit;
    EXPECT_TRUE(connection->AutoCommit());
  }
}

TEST_F(MySQLComponentsTest, UpdateRecordAppliesModifyInsertAndDeleteOnAClosedQuery) {
  query->SQL().SetText("select id, nazev, cena from ds3_sklad order by id");
  query->Properties()->Add("KeyFields=id");
  {
    DeltaRecord delta;
    delta.Old(5000000001LL, "Brambory");  // a 64-bit key cut to 32 bits would find id 705032705
    delta.New("nazev", Variant(AnsiString("Řepa")));
    EXPECT_TRUE(query->ProviderUpdateRecord(ukModify, &delta));
  }
  {
    DeltaRecord delta;
    delta.Old(0, nullptr);
    delta.New("id", Variant(std::int64_t{9}));
    delta.New("nazev", Variant(AnsiString("Nové")));
    delta.New("cena", Null());
    EXPECT_TRUE(query->ProviderUpdateRecord(ukInsert, &delta));
  }
  {
    DeltaRecord delta;
    delta.Old(1, "Atlas");
    EXPECT_TRUE(query->ProviderUpdateRecord(ukDelete, &delta));
  }
  EXPECT_FALSE(query->Active());
  EXPECT_EQ(Stock(), reinterpret_cast<const char*>(u8"9\tNové\tNULL\n705032705\tCukr\t30\n5000000001\tŘepa\t15\n"));

  // A change the server refuses (a key that exists) is not applied and
  // leaves an open query browsing, its record as it was.
  Open("select id, nazev, cena from ds3_sklad order by id");
  {
    DeltaRecord clash;
    clash.Old(9, "Nové");
    clash.New("id", Variant(std::int64_t{705032705}));
    EXPECT_FALSE(query->ProviderUpdateRecord(ukModify, &clash));
  }
  EXPECT_TRUE(query->Active());
  EXPECT_EQ(query->State(), dsBrowse);
  EXPECT_EQ(Column(query, "id"), (Texts{"9", "705032705", "5000000001"}));
  query->Close();

  const TUpdateKind kinds[] = {ukModify, ukDelete};
  for (TUpdateKind kind : kinds) {
    DeltaRecord missing;
    missing.Old(42, "Nikdo");
    missing.New("nazev", Variant(AnsiString("x")));
    EXPECT_FALSE(query->ProviderUpdateRecord(kind, &missing)) << kind;
  }
  EXPECT_EQ(Stock(), reinterpret_cast<const char*>(u8"9\tNové\tNULL\n705032705\tCukr\t30\n5000000001\tŘepa\t15\n"));
}

TEST_F(MySQLComponentsTest, ScriptProcessorPreparesAndBindsAStatementOfItsScript) {
  TZSQLProcessor processor(nullptr);
  processor.SetConnection(connection);
  processor.Script().SetText(
      "insert into ds3_sklad (id, nazev) values (:id, :nazev); delete from ds3_sklad where id = 1");
  ASSERT_EQ(processor.Script().StatementCount(), 2);
  processor.Params().ParamNamed("id")->SetValueAsLargeInt(5000000002LL);
  processor.Params().ParamNamed("nazev")->SetValueAsString("Škvarek");
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { processor.CreateStatement("select 1", nullptr); }),
            "Connection is not opened yet");
  connection->Connect();
  const TZSQLStatement& insert = processor.Script().Statements(0);
  Ref<IZPreparedStatement> statement = processor.CreateStatement(insert.SQL(), nullptr);
  processor.SetStatementParams(statement.get(), insert.AllParamNames(), processor.Params());
  EXPECT_EQ(statement->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Client("select nazev from ds3_sklad where id = 5000000002"),
            reinterpret_cast<const char*>(u8"Škvarek\n"));
  EXPECT_EQ(SentStatements("insert into ds3_sklad (id, nazev) values (5000000002,").size(), 1u);
  processor.SetConnection(nullptr);
}

TEST_F(MySQLComponentsTest, ASequenceObjectIsRefusedByMySQL) {
  TZSequence sequence(nullptr);
  sequence.SetSequenceName("gen_id");
  sequence.SetConnection(connection);  // closed: nothing is made yet
  EXPECT_EQ(sequence.GetNextValue(), 0);
  EXPECT_EQ(sequence.GetCurrentValueSQL(), "IMPLEMENT");
  connection->Connect();
  EXPECT_EQ(ErrorOf<EZSQLException>([&] { sequence.GetNextValue(); }), "Unsupported operation");
  sequence.SetConnection(nullptr);
}

}  // namespace

// Reading through a query on the test driver: opening and fetching on
// demand, field definitions, parameters, errors and the query's defaults.
#include <gtest/gtest.h>

#include "platform/db/db_error.h"
#include "platform/rtl/lists.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

class QueryTest : public FakeDatasetTest {};

TEST_F(QueryTest, ReadsRowsUntilEofFetchingOnDemand) {
  AddNumbers("select n", 100);
  OpenQuery("select n");
  EXPECT_LT(query->FetchCount(), 100);
  int sum = 0, rows = 0;
  for (; !query->Eof(); query->Next(), ++rows) sum += static_cast<int>(query->FieldValueNamed("n").AsInteger());
  EXPECT_EQ(rows, 100);
  EXPECT_EQ(sum, 5050);
  query->Close();
  EXPECT_FALSE(query->Statement());
}

TEST_F(QueryTest, RecordTotalFetchesAsFarAsFetchRow) {
  AddNumbers("select n", 100);
  query->SetFetchRow(5);
  OpenQuery("select n");
  EXPECT_EQ(query->RecordTotal(), 5);
  query->SetFetchRow(0);
  EXPECT_EQ(query->RecordTotal(), 100);
  query->Last();
  EXPECT_EQ(query->FieldNamed("n")->ValueAsInteger(), 100);
  query->First();
  EXPECT_EQ(query->FieldNamed("n")->ValueAsInteger(), 1);
}

TEST_F(QueryTest, EmptyResultShowsNoRecord) {
  AddNumbers("select none", 0);
  OpenQuery("select none");
  EXPECT_TRUE(query->Eof());
  EXPECT_TRUE(query->HasNoRecords());
  EXPECT_TRUE(query->FieldNamed("n")->IsNull());
}

TEST_F(QueryTest, LabelsDifferingInCaseGetDistinctDefinitions) {
  AddResult("select ids", {{{"ID", stInteger}, {"id", stLong}, {"Id", stDouble}},
                                    {{IntValue(1), IntValue(2), IntValue(3)}}});
  OpenQuery("select ids");
  ASSERT_EQ(query->Fields().Count(), 3);
  EXPECT_EQ(query->Fields()[1]->FieldName(), "id_1");
  EXPECT_EQ(query->Fields()[2]->FieldName(), "Id_2");
  EXPECT_EQ(query->FieldNamed("id_1")->ValueAsLargeInt(), 2);
  EXPECT_DOUBLE_EQ(query->FieldNamed("Id_2")->ValueAsFloat(), 3.0);
}

TEST_F(QueryTest, NullValuesReadAsNull) {
  AddResult("select nulls", {{{"a", stInteger}, {"b", stDouble}},
                                      {{TZVariant(), IntValue(7)}, {IntValue(1), TZVariant()}}});
  OpenQuery("select nulls");
  EXPECT_TRUE(query->FieldNamed("a")->IsNull());
  EXPECT_EQ(query->FieldNamed("b")->ValueAsInteger(), 7);
  query->Next();
  EXPECT_FALSE(query->FieldNamed("a")->IsNull());
  EXPECT_TRUE(query->FieldNamed("b")->IsNull());
}

TEST_F(QueryTest, ParametersAreBoundByName) {
  query->SQL().Add("select :a, :b, :a");
  query->Params().ParamNamed("b")->SetValueAsInteger(7);
  AddNumbers("select NULL, 7, NULL", 1);
  query->Open();
  EXPECT_EQ(Server().PreparedSQL.back(), "select ?, ?, ?");
  EXPECT_EQ(Server().ExecutedSQL.back(), "select NULL, 7, NULL");
  query->Close();

  query->Params().ParamNamed("a")->SetValueAsSmallInt(40000);
  EXPECT_THROW(query->Open(), ERangeError);
  EXPECT_FALSE(query->Active());
}

TEST_F(QueryTest, ParameterValuesSurviveATextChange) {
  query->SQL().Add("select :a");
  query->Params().ParamNamed("a")->SetValueAsInteger(5);
  query->SQL().Add(", :b");
  ASSERT_EQ(query->Params().Count(), 2);
  EXPECT_EQ(query->Params().ParamNamed("a")->ValueAsInteger(), 5);
  EXPECT_TRUE(query->Params().ParamNamed("b")->IsNull());
}

TEST_F(QueryTest, RefusesWithoutTextOrConnection) {
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->Open(); }), "SQL Query is empty");
  query->SQL().Add("select 1");
  query->SQL().Add("; select 2");
  AddNumbers("select 1\r\n; select 2", 1);
  query->Open();  // one statement: the server decides
  query->Close();
  query->SetConnection(nullptr);
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->Open(); }), "Database connection component is not assigned");
}

TEST_F(QueryTest, NewQueryDefaultsAndStatementProperties) {
  EXPECT_FALSE(query->ReadOnly());
  EXPECT_EQ(query->UpdateMode(), umUpdateChanged);
  EXPECT_EQ(query->WhereMode(), wmWhereKeyOnly);
  EXPECT_FALSE(query->CachedUpdates());
  EXPECT_EQ(query->Options(), unsigned(doCalcDefaults));
  EXPECT_EQ(query->ShowRecordTypes(), StatusBit(usUnmodified) | StatusBit(usModified) | StatusBit(usInserted));

  AddNumbers("select n", 1);
  query->Properties()->Add("update=all");
  query->SetUpdateMode(umUpdateChanged);
  OpenQuery("select n");
  TStrings* info = query->Statement()->GetProperties();
  EXPECT_EQ(info->Values("update"), "changed");
  EXPECT_EQ(info->Values("where"), "keyonly");
  EXPECT_EQ(info->Values("defaults"), "true");
  EXPECT_EQ(query->Statement()->GetResultSetConcurrency(), rcUpdatable);

  query->SetWhereMode(wmWhereKeyOnly);
  EXPECT_TRUE(query->Active());
  query->SetWhereMode(wmWhereAll);
  EXPECT_FALSE(query->Active());
}

TEST_F(QueryTest, ReadOnlyQueryRefusesChanges) {
  AddNumbers("select n", 2);
  query->SetReadOnly(true);
  OpenQuery("select n");
  EXPECT_EQ(query->Statement()->GetResultSetConcurrency(), rcReadOnly);
  EXPECT_FALSE(query->CanModify());
  EXPECT_THROW(query->Edit(), EDatabaseError);
}

TEST_F(QueryTest, FilterEventHidesRows) {
  AddNumbers("select n", 10);
  query->OnFilterRecord = [](TDataSet* dataSet, bool& accept) {
    accept = dataSet->FieldNamed("n")->ValueAsInteger() % 2 == 0;
  };
  query->SetFiltered(true);
  OpenQuery("select n");
  std::vector<int> seen;
  for (; !query->Eof(); query->Next()) seen.push_back(query->FieldNamed("n")->ValueAsInteger());
  EXPECT_EQ(seen, (std::vector<int>{2, 4, 6, 8, 10}));
  query->SetFiltered(false);
  EXPECT_EQ(query->RecordTotal(), 10);
}

TEST_F(QueryTest, SmartOpenOfAnUpdateOpensWithoutCursor) {
  query->SetOptions(doCalcDefaults | doSmartOpen);
  OpenQuery("update t set n=1");
  EXPECT_TRUE(query->Active());
  EXPECT_FALSE(query->ResultSet());
  EXPECT_TRUE(query->Eof());
  query->Close();
  query->SetOptions(doCalcDefaults);
  EXPECT_THROW(query->Open(), EZSQLException);  // the server's refusal passes on
  EXPECT_FALSE(query->Active());
}

TEST_F(QueryTest, ExecuteSQLRunsAnUpdate) {
  query->SQL().Add("delete from t where n=:n");
  query->Params().ParamNamed("n")->SetValueAsInteger(3);
  query->ExecuteSQL();
  EXPECT_EQ(Server().ExecutedSQL.back(), "delete from t where n=3");
}

}  // namespace

namespace {

class StoredFieldsTest : public FakeDatasetTest {
protected:
  TField* AddStoredField(TFieldType type, const AnsiString& name) {
    TField* field = CreateFieldOfType(type, query);
    field->SetFieldName(name);
    field->SetDataSet(query);
    return field;
  }
};

TEST_F(StoredFieldsTest, FieldsOfTheSameKindFitTheirColumns) {
  AddResult("select kinds", {{{"i", stInteger}, {"d", stTimestamp}}, {{IntValue(1), TZVariant()}}});
  AddStoredField(ftSmallint, "i");
  AddStoredField(ftDate, "d");
  OpenQuery("select kinds");
  EXPECT_EQ(query->FieldNamed("i")->ValueAsInteger(), 1);
  query->Close();

  query->FieldNamed("d")->Free();
  AddStoredField(ftFloat, "d");
  EXPECT_EQ(ErrorOf<EDatabaseError>([&] { query->Open(); }),
            "Type mismatch for field 'd', expecting: Float actual: DateTime");
}

TEST_F(FakeDatasetTest, FreedQueryLeavesTheConnection) {
  AddNumbers("select n", 1);
  OpenQuery("select n");
  query->Free();
  query = new TZQuery(nullptr);
  connection->Disconnect();  // must not reach the freed query
  EXPECT_FALSE(connection->Connected());
}

}  // namespace

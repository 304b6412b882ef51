// The dataset components that need no server: provider answers about
// transactions and parameters, the script processor's parameters, settings
// and binding, and the stored form of parameters ("ParamData") of the query
// and the update SQL component. Statements go to the test driver, which
// records the SQL it executes.
#include <gtest/gtest.h>

#include "platform/db/params_stream.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/sql_processor.h"
#include "sql/dataset/update_sql.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

using Texts = std::vector<AnsiString>;

Texts ParamNames(const TParams& params) {
  Texts names;
  for (int i = 0; i < params.Count(); ++i) names.push_back(params[i]->Name());
  return names;
}

using ProviderTest = FakeDatasetTest;

TEST_F(ProviderTest, InTransactionNeedsAnExplicitModeAndAnIsolationLevel) {
  const struct {
    TZTransactIsolationLevel level;
    bool explicitTransaction;
    bool inTransaction;
  } cases[] = {
      {tiNone, false, false},
      {tiNone, true, false},
      {tiReadCommitted, false, false},
      {tiReadCommitted, true, true},
  };
  for (const auto& c : cases) {
    connection->SetTransactIsolationLevel(c.level);
    connection->Connect();
    if (c.explicitTransaction) connection->StartTransaction();
    EXPECT_EQ(query->ProviderInTransaction(), c.inTransaction) << c.level << c.explicitTransaction;
    if (c.explicitTransaction) query->ProviderEndTransaction(true);
    EXPECT_TRUE(connection->AutoCommit());
  }
  EXPECT_EQ(Server().Calls.back(), "commit");
}

TEST_F(ProviderTest, StartTransactionOnlyWithoutAutoCommitAndOutsideAnExplicitOneIsRefused) {
  query->ProviderStartTransaction();  // auto-commit: nothing happens
  EXPECT_FALSE(connection->Connected());
  connection->SetAutoCommit(false);
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { query->ProviderStartTransaction(); }),
            "Invalid operation in non AutoCommit mode");
  EXPECT_TRUE(connection->Connected());
  TZQuery alone(nullptr);
  EXPECT_EQ(alone.ProviderExecuteStatement("delete from t", nullptr, nullptr), 0);
}

TEST_F(ProviderTest, ResetRunsAnOpenQueryAgainFromTheFirstRecord) {
  query->ProviderReset();  // closed: stays closed
  EXPECT_FALSE(query->Active());
  AddNumbers("select n from numbers", 5);
  OpenQuery("select n from numbers");
  query->MoveBy(3);
  std::size_t runs = Server().ExecutedSQL.size();
  query->ProviderReset();
  EXPECT_EQ(Server().ExecutedSQL.size(), runs + 1);
  EXPECT_EQ(query->FieldNamed("n")->ValueAsInteger(), 1);
}

TEST_F(ProviderTest, TableNameOfAConnectionWithoutADriverIsAnError) {
  query->SQL().SetText("select * from t1");
  EXPECT_EQ(query->ProviderTableName(), "t1");
  connection->SetProtocol("nikdo");
  EXPECT_EQ(ErrorOf<EZSQLException>([&] { query->ProviderTableName(); }), "Requested database driver was not found");
}

TEST_F(ProviderTest, SetParamsCopiesAWholeCollectionButNotAnEmptyOne) {
  query->SQL().SetText("select * from t where a = :a");
  query->Params().ParamNamed("a")->SetValueAsInteger(1);
  TParams empty;
  query->ProviderSetParams(&empty);
  EXPECT_EQ(query->Params().ParamNamed("a")->ValueAsInteger(), 1);
  TParams given;
  given.AddParam(ftString, "x", ptInput)->SetValueAsString("y");
  query->ProviderSetParams(&given);
  EXPECT_EQ(ParamNames(query->Params()), Texts{"x"});
  query->ProviderSetCommandText("select 1");
  EXPECT_EQ(query->SQL().Text(), "select 1\r\n");
}

TEST_F(ProviderTest, ParametersBindAtTheirFullWidthAndTextTypesAsText) {
  const struct {
    TFieldType type;
    Variant value;
    const char* literal;
  } cases[] = {
      {ftLargeint, Variant(std::int64_t{5000000000}), "5000000000"},
      {ftFloat, Variant(0.1), "0.1"},
      {ftCurrency, Variant::OfFloat(varCurrency, 12.34), "12.34"},
      {ftWideString, Variant(WideString(u"\u017dlu\u0165ou\u010dk\u00fd")), "'Žluťoučký'"},
      {ftFixedChar, Variant(AnsiString("ab ")), "'ab '"},
      {ftWord, Variant::OfInteger(varWord, 65535), "65535"},
      {ftSmallint, Variant(-32768), "-32768"},
      {ftString, Null(), "NULL"},
  };
  for (const auto& c : cases) {
    TParams params;
    TParam* param = params.AddParam(c.type, "p", ptInput);
    param->SetValueAsVariant(c.value);
    query->ProviderExecuteStatement("select ?", &params, nullptr);
    EXPECT_EQ(Server().ExecutedSQL.back(), AnsiString("select ") + c.literal) << c.type;
  }
  TParams tooBig;
  tooBig.AddParam(ftSmallint, "p", ptInput)->SetValueAsVariant(Variant(40000));
  EXPECT_THROW(query->ProviderExecuteStatement("select ?", &tooBig, nullptr), ERangeError);
}

TEST(ProviderErrors, UpdateExceptionKeepsTheServersCodes) {
  TZQuery query(nullptr);
  const EUpdateError previous("earlier", "", 1205, 0, nullptr);
  try {
    throw EZSQLException(1062, "Duplicate entry");
  } catch (const std::exception& error) {
    std::unique_ptr<EUpdateError> first = query.ProviderUpdateException(error, nullptr);
    EXPECT_EQ(first->Message(), "Duplicate entry");
    EXPECT_EQ(first->ErrorCode(), 1062);
    EXPECT_EQ(first->PreviousError(), 0);
    EXPECT_TRUE(first->OriginalException());
    EXPECT_EQ(query.ProviderUpdateException(error, &previous)->PreviousError(), 1205);
  }
  std::unique_ptr<EUpdateError> other = query.ProviderUpdateException(Exception("other"), &previous);
  EXPECT_EQ(other->Message(), "other");
  EXPECT_EQ(other->ErrorCode(), -1);
  EXPECT_EQ(other->PreviousError(), -1);
}

// ---- script processor ----

class ProcessorTest : public FakeDatasetTest {
protected:
  TZSQLProcessor processor{nullptr};
};

TEST_F(ProcessorTest, ParametersFollowTheScript) {
  EXPECT_TRUE(processor.ParamCheck());
  EXPECT_EQ(processor.DelimiterType(), dtDefault);
  EXPECT_EQ(processor.Delimiter(), ";");
  EXPECT_FALSE(processor.CleanupStatements());
  EXPECT_EQ(processor.Params().Count(), 0);

  processor.Script().SetText("insert into t values (:A, :b); update t set a = :a where b = :B");
  EXPECT_EQ(ParamNames(processor.Params()), (Texts{"A", "b"}));
  processor.Params().ParamNamed("b")->SetValueAsString("kept");
  processor.Script().SetText("delete from t where b = :B");
  EXPECT_EQ(ParamNames(processor.Params()), Texts{"B"});
  EXPECT_EQ(processor.Params()[0]->ValueAsString(), "kept");
  processor.SetParamCheck(false);
  EXPECT_EQ(processor.Params().Count(), 0);
}

TEST_F(ProcessorTest, SettingsThatChangeClearTheParser) {
  const std::function<void()> changes[] = {
      [&] { processor.SetDelimiter("GO"); },
      [&] { processor.SetDelimiterType(dtSetTerm); },
      [&] { processor.SetCleanupStatements(true); },
      [&] { processor.SetConnection(connection); },
      [&] { processor.SetScript(&processor.Script()); },
  };
  for (const auto& change : changes) {
    processor.ScriptParser().StatementList.Add("pending");
    processor.ScriptParser().PendingText = "select";
    change();
    EXPECT_EQ(processor.ScriptParser().StatementList.Count(), 0);
    EXPECT_EQ(processor.ScriptParser().PendingText, "");
  }
  processor.ScriptParser().StatementList.Add("pending");
  processor.SetDelimiter("GO");
  processor.SetCleanupStatements(true);
  processor.SetConnection(connection);
  EXPECT_EQ(processor.ScriptParser().StatementList.Count(), 1);
  TZConnection* other = new TZConnection(nullptr);
  processor.SetConnection(other);
  other->Free();  // of another owner: the processor still lets go of it
  EXPECT_EQ(processor.Connection(), nullptr);
  processor.Script().SetText("select :x");
  EXPECT_EQ(ParamNames(processor.Params()), Texts{"x"});
}

TEST_F(ProcessorTest, BindsByNameAtFullWidthAndRefusesWithoutAnOpenConnection) {
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { processor.CreateStatement("select 1", nullptr); }),
            "Database connection component is not assigned");
  processor.SetConnection(connection);
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { processor.CreateStatement("select 1", nullptr); }),
            "Connection is not opened yet");
  connection->Connect();

  processor.Script().SetText("insert into t values (:big, :out, :missing, :name)");
  processor.Params().ParamNamed("big")->SetValueAsString("5000000000");
  processor.Params().ParamNamed("big")->SetDataType(ftLargeint);
  processor.Params().ParamNamed("out")->SetValueAsInteger(1);
  processor.Params().ParamNamed("out")->SetParamType(ptOutput);
  processor.Params().ParamNamed("name")->SetValueAsString("Ďábel");
  const TZSQLStatement& insert = processor.Script().Statements(0);
  Ref<IZPreparedStatement> statement = processor.CreateStatement(insert.SQL(), nullptr);
  statement->SetInt(2, 8);  // left as it is: an output parameter is not bound
  statement->SetInt(3, 9);  // and neither is a name the collection lacks
  TParams params = processor.Params();
  params.Remove(params.ParamNamed("missing"));
  processor.SetStatementParams(statement.get(), insert.AllParamNames(), params);
  statement->ExecuteUpdatePrepared();
  EXPECT_EQ(Server().ExecutedSQL.back(), "insert into t values (5000000000, 8, 9, 'Ďábel')");

  processor.Params().ParamNamed("big")->SetValueAsString("12x");
  processor.Params().ParamNamed("big")->SetDataType(ftLargeint);
  EXPECT_THROW(processor.SetStatementParams(statement.get(), insert.AllParamNames(), processor.Params()),
               EConvertError);
  processor.SetConnection(nullptr);
}

// ---- update SQL parameters ----

TEST(UpdateSQLParams, ParametersFollowTheFourListsAndParamCheckSparesTheRefresh) {
  TZUpdateSQL update(nullptr);
  update.ModifySQL().SetText("update t set a = :NEW_A where id = :OLD_ID");
  update.InsertSQL().SetText("insert into t values (:a, :extra)");
  update.RefreshSQL().SetText("select a from t where id = :id");
  EXPECT_EQ(ParamNames(update.Params()), (Texts{"NEW_A", "OLD_ID", "a", "extra", "id"}));
  update.Params().ParamNamed("extra")->SetValueAsString("kept");
  update.Params().ParamNamed("a")->SetValueAsInteger(1);
  update.InsertSQL().SetText("insert into t values (:extra)");
  EXPECT_EQ(ParamNames(update.Params()), (Texts{"NEW_A", "OLD_ID", "extra", "id"}));
  EXPECT_EQ(update.Params().ParamNamed("extra")->ValueAsString(), "kept");

  update.SetParamCheck(false);
  EXPECT_EQ(ParamNames(update.Params()), Texts{"id"});
  EXPECT_TRUE(update.RefreshSQL().ParamCheck());
}

TEST(UpdateSQLParams, ForgetsADatasetFreedFirst) {
  TZUpdateSQL update(nullptr);
  {
    TZQuery query(nullptr);
    query.SetUpdateObject(&update);
    EXPECT_EQ(update.DataSet(), &query);
    EXPECT_EQ(update.ModifySQL().Dataset(), &query);
  }
  EXPECT_EQ(update.DataSet(), nullptr);
  EXPECT_EQ(update.ModifySQL().Dataset(), nullptr);
}

// ---- stored parameters ----

// Values of every kind the stored form keeps: null, Czech text, wide text,
// 64-bit integers, floats, booleans, dates.
const WideString kWide = u"Ωmega \u2603";  // beyond Windows-1250

void FillParams(TParams& params) {
  params[0]->Clear();
  params[1]->SetValueAsString("Příliš žluťoučký kůň");
  params[2]->SetValueAsLargeInt(-9000000000000000000LL);
  params[3]->SetValueAsFloat(0.1);
  params[4]->SetValueAsVariant(Variant(kWide));
  params[5]->SetValueAsBoolean(true);
  params[6]->SetValueAsDateTime(45000.5);
  params[6]->SetParamType(ptInputOutput);
}

TEST(ParamDataTest, BothComponentsStoreTheirParametersAndReadThemBack) {
  const char* sql = "select :nic, :text, :big, :real, :wide, :flag, :when";
  TZQuery query(nullptr);
  query.SQL().SetText(sql);
  TZUpdateSQL update(nullptr);
  update.ModifySQL().SetText(sql);
  for (TParams* params : {&query.Params(), &update.Params()}) FillParams(*params);

  TStringStream queryData(""), updateData("");
  EXPECT_TRUE(query.ParamDataStored(nullptr));
  EXPECT_TRUE(update.ParamDataStored(nullptr));
  query.StoreParamData(queryData);
  update.StoreParamData(updateData);

  TZQuery queryBack(nullptr);
  TZUpdateSQL updateBack(nullptr);
  queryData.SetPosition(0);
  updateData.SetPosition(0);
  queryBack.LoadParamData(queryData);
  updateBack.LoadParamData(updateData);
  EXPECT_TRUE(queryBack.Params().IsEqual(query.Params()));
  EXPECT_TRUE(updateBack.Params().IsEqual(update.Params()));
  EXPECT_TRUE(queryBack.Params()[0]->IsNull());
  EXPECT_EQ(queryBack.Params()[2]->ValueAsLargeInt(), -9000000000000000000LL);
  EXPECT_EQ(updateBack.Params()[4]->ValueAsVariant().AsWideString(), kWide);
  EXPECT_EQ(updateBack.Params()[6]->ParamType(), ptInputOutput);

  // With an ancestor only a difference is stored.
  EXPECT_FALSE(query.ParamDataStored(&queryBack.Params()));
  queryBack.Params()[1]->SetValueAsString("jiný");
  EXPECT_TRUE(query.ParamDataStored(&queryBack.Params()));
}

TEST(ParamDataTest, NothingIsStoredWithoutParametersAndADamagedStreamChangesNothing) {
  TZUpdateSQL update(nullptr);
  EXPECT_FALSE(update.ParamDataStored(nullptr));
  update.ModifySQL().SetText("select :nic, :text, :big, :real, :wide, :flag, :when");
  FillParams(update.Params());
  TStringStream full("");
  update.StoreParamData(full);
  const AnsiString bytes = full.DataString();

  TZQuery query(nullptr);
  query.SQL().SetText("select :mine");
  query.Params()[0]->SetValueAsString("můj");
  for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{7}, bytes.size() / 2, bytes.size() - 1}) {
    TStringStream truncated(bytes.substr(0, cut));
    EXPECT_THROW(query.LoadParamData(truncated), EReadError) << cut;
    EXPECT_EQ(ParamNames(query.Params()), Texts{"mine"}) << cut;
    EXPECT_EQ(query.Params()[0]->ValueAsString(), "můj");
  }
  // A huge count or name length is refused before anything is allocated.
  AnsiString huge = bytes;
  huge[1] = '\xFF';
  huge[2] = '\xFF';
  huge[3] = '\xFF';
  huge[4] = '\x7F';
  TStringStream damaged(huge);
  EXPECT_THROW(query.LoadParamData(damaged), EReadError);
}

}  // namespace

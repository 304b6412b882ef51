// The statement bases and the client-side prepared statement: settings and
// refusals, typed parameters and their gaps, blobs as parameters, batches,
// output parameters, and the SQL an emulated statement really sends, read
// from the fake connection's log.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"
#include "tests/sql/core/sql_error.h"

namespace {

// The parameter arrays made visible, and an ExecuteUpdate that can fail.
class ParamStatement : public TZAbstractCallableStatement {
public:
  explicit ParamStatement(Ref<IZConnection> connection) : TZAbstractCallableStatement(connection, "", nullptr) {}

  int ExecuteUpdate(const AnsiString& sql) override {
    if (sql == "bad") throw EZSQLException(1, "bad statement");
    executed.push_back(sql);
    return static_cast<int>(sql.size());
  }
  void SetOut(int parameterIndex, const TZVariant& value) { OutParamValues[parameterIndex - 1] = value; }

  using TZAbstractCallableStatement::BatchQueries;
  using TZAbstractCallableStatement::InParamCount;
  using TZAbstractCallableStatement::InParamDefaultValues;
  using TZAbstractCallableStatement::InParamTypes;
  using TZAbstractCallableStatement::InParamValues;
  using TZAbstractCallableStatement::OutParamCount;
  using TZAbstractCallableStatement::OutParamTypes;
  using TZAbstractCallableStatement::OutParamValues;
  std::vector<AnsiString> executed;
};

class StatementTest : public ::testing::Test {
protected:
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  Ref<ParamStatement> params = MakeRef<ParamStatement>(connection);

  TZFakeServer& Server() { return driver->Server(); }
};

TEST_F(StatementTest, BaseStatementStoresSettingsAndRefusesServerWork) {
  Ref<IZStatement> statement = MakeRef<TZAbstractStatement>(connection, nullptr);
  EXPECT_EQ(statement->GetUpdateCount(), -1);
  EXPECT_EQ(statement->GetResultSet(), nullptr);
  EXPECT_EQ(statement->GetResultSetType(), rtForwardOnly);
  EXPECT_EQ(statement->GetResultSetConcurrency(), rcReadOnly);
  EXPECT_EQ(statement->GetConnection(), connection);
  EXPECT_EQ(SQLError([&] { statement->ExecuteQuery("select 1"); }), "Unsupported operation");
  EXPECT_EQ(SQLError([&] { statement->ExecuteUpdate("delete from t"); }), "Unsupported operation");
  EXPECT_EQ(SQLError([&] { statement->Cancel(); }), "Unsupported operation");
  EXPECT_FALSE(statement->Execute("select 1"));

  statement->SetMaxRows(10);
  statement->SetPostUpdates(2);
  EXPECT_EQ(statement->GetMaxRows(), 10);
  EXPECT_EQ(statement->GetPostUpdates(), 2);
  EXPECT_TRUE(Server().ExecutedSQL.empty());
}

TEST_F(StatementTest, PropertiesAreACopyOfTheGivenLines) {
  TStringList lines;
  lines.Add("useresult=true");
  Ref<IZStatement> statement = MakeRef<TZAbstractStatement>(connection, &lines);
  lines.Clear();
  ASSERT_EQ(statement->GetProperties()->Count(), 1);
  EXPECT_EQ(statement->GetProperties()->Strings(0), "useresult=true");
}

TEST_F(StatementTest, PreparedStatementIsTheSameObjectAsItsStatement) {
  Ref<IZPreparedStatement> prepared = connection->PrepareStatement("select 1");
  Ref<IZStatement> statement = Query<IZStatement>(prepared);
  EXPECT_EQ(static_cast<IZInterface*>(statement.get()), static_cast<IZInterface*>(prepared.get()));
}

TEST_F(StatementTest, SettingAParameterGrowsTheListWithUnknownNulls) {
  params->SetInt(3, 7);
  ASSERT_EQ(params->InParamCount, 3);
  for (int i : {0, 1}) {
    EXPECT_EQ(params->InParamValues[i].VType, vtNull);
    EXPECT_EQ(params->InParamTypes[i], stUnknown);
    EXPECT_EQ(params->InParamDefaultValues[i], "");
  }
  EXPECT_EQ(params->InParamTypes[2], stInteger);
  EXPECT_EQ(params->InParamValues[2].VInteger, 7);

  // A lower index changes only its own slot; index 0 stores nothing.
  params->SetDefaultValue(1, "now()");
  params->SetString(1, "a");
  EXPECT_EQ(params->InParamCount, 3);
  EXPECT_EQ(params->InParamDefaultValues[0], "now()");
  EXPECT_THROW(params->SetInt(0, 1), ERangeError);
  EXPECT_THROW(params->SetDefaultValue(0, "x"), ERangeError);
  EXPECT_EQ(params->InParamCount, 3);

  params->ClearParameters();
  EXPECT_EQ(params->InParamCount, 0);
  EXPECT_TRUE(params->InParamValues.empty());
}

TEST_F(StatementTest, TypedSettersStoreTheirTypeAndKind) {
  params->SetByte(1, static_cast<std::int8_t>(255));
  params->SetShort(2, static_cast<std::int16_t>(0xFFFE));
  params->SetLong(3, 5000000000);
  params->SetDouble(4, 1.5);
  params->SetPChar(5, "text");
  params->SetUnicodeString(6, u"\u017Elu\u0165");
  params->SetBytes(7, TByteDynArray{0, 'a', 0xFF});
  params->SetDate(8, 39146.0);
  params->SetBoolean(9, true);
  params->SetNull(10, stDouble);

  struct Expected {
    TZSQLType type;
    TZVariantType kind;
  };
  const Expected expected[] = {{stByte, vtInteger},     {stShort, vtInteger},
                               {stLong, vtInteger},     {stDouble, vtFloat},
                               {stString, vtString},    {stUnicodeString, vtUnicodeString},
                               {stBytes, vtString},     {stDate, vtDateTime},
                               {stBoolean, vtBoolean},  {stDouble, vtNull}};
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(params->InParamTypes[i], expected[i].type);
    EXPECT_EQ(params->InParamValues[i].VType, expected[i].kind);
  }
  EXPECT_EQ(params->InParamValues[0].VInteger, -1);  // sign-extended
  EXPECT_EQ(params->InParamValues[1].VInteger, -2);
  EXPECT_EQ(params->InParamValues[2].VInteger, 5000000000);
  EXPECT_EQ(params->InParamValues[6].VString, AnsiString("\0a\xFF", 3));
}

TEST_F(StatementTest, SetValueChoosesTheTypeByKindAndKeepsTheValue) {
  TZVariant boolean, integer, real, text, wide, date, null, pointer, object;
  const IZVariantManager& m = *DefaultVarManager();
  m.SetAsBoolean(boolean, true);
  m.SetAsInteger(integer, 42);
  m.SetAsFloat(real, 2.5);
  m.SetAsString(text, "x");
  m.SetAsUnicodeString(wide, u"y");
  m.SetAsDateTime(date, 1.0);
  m.SetAsPointer(pointer, &integer);
  m.SetAsInterface(object, MakeRef<TZAbstractBlob>());

  const std::pair<const TZVariant*, TZSQLType> cases[] = {
      {&boolean, stBoolean}, {&integer, stLong},   {&real, stBigDecimal}, {&text, stString}, {&wide, stUnicodeString},
      {&date, stTimestamp},  {&null, stString},    {&pointer, stString},  {&object, stString}};
  int index = 0;
  for (const auto& [value, type] : cases) {
    SCOPED_TRACE(index);
    params->SetValue(++index, *value);
    EXPECT_EQ(params->InParamTypes[index - 1], type);
    EXPECT_EQ(params->InParamValues[index - 1].VType, value->VType);
  }
  EXPECT_EQ(params->InParamValues[1].VInteger, 42);
}

TEST_F(StatementTest, BlobParametersTakeOnlyStreamTypes) {
  EXPECT_EQ(SQLError([&] { params->SetBlob(1, stBytes, MakeRef<TZAbstractBlob>()); }),
            "Wrong type for Blob parameter");
  EXPECT_EQ(params->InParamCount, 0);

  // The stream is copied whole from its start; the caller keeps it.
  TStringStream stream("payload");
  stream.SetPosition(3);
  params->SetAsciiStream(1, &stream);
  params->SetBinaryStream(2, nullptr);
  EXPECT_EQ(params->InParamTypes[0], stAsciiStream);
  EXPECT_EQ(params->InParamTypes[1], stBinaryStream);
  Ref<IZBlob> copied = Query<IZBlob>(params->InParamValues[0].VInterface);
  Ref<IZBlob> missing = Query<IZBlob>(params->InParamValues[1].VInterface);
  ASSERT_TRUE(copied && missing);
  EXPECT_EQ(copied->GetString(), "payload");
  EXPECT_TRUE(missing->IsEmpty());
  EXPECT_EQ(stream.DataString(), "payload");
}

TEST_F(StatementTest, BatchRunsEachTextAndKeepsTheBatchWhenOneFails) {
  EXPECT_TRUE(params->ExecuteBatch().empty());
  EXPECT_TRUE(params->executed.empty());

  params->AddBatch("one");
  params->AddBatch("bad");
  params->AddBatch("three");
  EXPECT_THROW(params->ExecuteBatch(), EZSQLException);
  EXPECT_EQ(params->executed, (std::vector<AnsiString>{"one"}));
  EXPECT_EQ(params->BatchQueries.size(), 3u);

  params->ClearBatch();
  params->AddBatch("a");
  params->AddBatch("bc");
  EXPECT_EQ(params->ExecuteBatch(), (TZIntegerDynArray{1, 2}));
  EXPECT_TRUE(params->BatchQueries.empty());
}

TEST_F(StatementTest, OutputParametersAreRegisteredInAscendingOrder) {
  params->RegisterOutParameter(2, stInteger);
  ASSERT_EQ(params->OutParamCount, 2);
  EXPECT_EQ(params->OutParamTypes[0], stUnknown);
  EXPECT_EQ(params->OutParamValues[0].VType, vtNull);
  EXPECT_EQ(params->OutParamTypes[1], stInteger);

  EXPECT_EQ(params->GetInt(2), 0);
  EXPECT_TRUE(params->WasNull());

  TZVariant text;
  DefaultVarManager()->SetAsString(text, "42");
  params->SetOut(2, text);
  EXPECT_EQ(params->GetInt(2), 42);
  EXPECT_FALSE(params->WasNull());
  EXPECT_STREQ(params->GetPChar(2), "42");
  EXPECT_EQ(params->GetValue(2).VType, vtString);
  EXPECT_FALSE(params->IsNull(2));

  // Unregistered numbers read as null rather than outside the list.
  EXPECT_EQ(params->GetString(7), "");
  EXPECT_TRUE(params->WasNull());

  params->RegisterOutParameter(1, stString);
  EXPECT_EQ(params->OutParamCount, 1);
  params->SetInt(1, 1);
  params->ClearParameters();
  EXPECT_EQ(params->OutParamCount, 0);
  EXPECT_EQ(params->InParamCount, 0);
}

// --- the emulated prepared statement, through the fake driver

TEST_F(StatementTest, ParametersBecomeLiteralsInTheSentText) {
  Ref<IZPreparedStatement> prepared = connection->PrepareStatement("SELECT * FROM t WHERE a = ? AND b = ?");
  prepared->SetInt(1, 1);
  prepared->SetString(2, "x");
  prepared->ExecuteUpdatePrepared();
  EXPECT_EQ(Server().ExecutedSQL.back(), "SELECT * FROM t WHERE a = 1 AND b = 'x'");
}

TEST_F(StatementTest, ComposedTexts) {
  struct Case {
    AnsiString sql;
    AnsiString sent;
  };
  const Case cases[] = {
      // No marker at all: sent exactly as written, line breaks included.
      {"SELECT  1\r\n  FROM t", "SELECT  1\r\n  FROM t"},
      // A "?" inside a literal is no marker, but the text is tokenized.
      {"SELECT '?'  FROM\r\n  t", "SELECT '?' FROM t"},
      {"SELECT a\n  FROM t\n  WHERE a = ?\n", "SELECT a FROM t WHERE a = 1 "},
      {"??", "1'two'"},
      {"SELECT \"?\", /* ? */ ? FROM t", "SELECT \"?\", /* ? */ 1 FROM t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    Ref<IZPreparedStatement> prepared = connection->PrepareStatement(c.sql);
    prepared->SetInt(1, 1);
    prepared->SetString(2, "two");
    prepared->ExecuteUpdatePrepared();
    EXPECT_EQ(Server().ExecutedSQL.back(), c.sent);
  }
}

TEST_F(StatementTest, TextIsTokenizedOnceAndComposedForEveryExecution) {
  Ref<IZPreparedStatement> prepared = connection->PrepareStatement("UPDATE t SET a = ? WHERE b = ?");
  prepared->SetInt(1, 1);
  prepared->SetNull(2, stString);
  prepared->ExecuteUpdatePrepared();
  prepared->SetInt(1, 2);
  prepared->ExecuteUpdatePrepared();
  EXPECT_EQ(Server().ExecutedSQL, (std::vector<AnsiString>{"UPDATE t SET a = 1 WHERE b = NULL",
                                                            "UPDATE t SET a = 2 WHERE b = NULL"}));
  EXPECT_EQ(Server().TokenizerRequests, 1);

  Ref<IZPreparedStatement> plain = connection->PrepareStatement("DELETE FROM t");
  plain->ExecuteUpdatePrepared();
  plain->ExecuteUpdatePrepared();
  EXPECT_EQ(Server().TokenizerRequests, 1);
}

TEST_F(StatementTest, MissingParameterFailsAndTheStatementCanBeCorrected) {
  Ref<IZPreparedStatement> prepared = connection->PrepareStatement("DELETE FROM t WHERE a = ? OR a = ?");
  prepared->SetInt(1, 5);
  EXPECT_EQ(SQLError([&] { prepared->ExecuteUpdatePrepared(); }), "Input parameter count is less then expected");
  EXPECT_TRUE(Server().ExecutedSQL.empty());
  prepared->SetInt(2, 6);
  prepared->ExecuteUpdatePrepared();
  EXPECT_EQ(Server().ExecutedSQL.back(), "DELETE FROM t WHERE a = 5 OR a = 6");
}

TEST_F(StatementTest, ExecuteHoldsTheResultOrTheUpdateCount) {
  Server().Results["SELECT a FROM t WHERE a = 1"] = {{{"a", stInteger}}, {{TZVariant{}}}};
  Server().UpdateCounts["DELETE FROM t WHERE a = 1"] = 3;

  Ref<IZPreparedStatement> query = connection->PrepareStatement("SELECT a FROM t WHERE a = ?");
  query->SetInt(1, 1);
  ASSERT_TRUE(query->ExecutePrepared());
  Ref<IZResultSet> first = query->GetResultSet();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->Next());

  // A second execution closes the first result.
  ASSERT_TRUE(query->ExecutePrepared());
  EXPECT_NE(query->GetResultSet(), first);
  EXPECT_THROW(first->Next(), EZSQLException);
  query->Close();
  EXPECT_EQ(query->GetResultSet(), nullptr);

  // Releasing the prepared statement closes the result it held.
  ASSERT_TRUE(query->ExecutePrepared());
  Ref<IZResultSet> last = query->GetResultSet();
  query = nullptr;
  EXPECT_THROW(last->Next(), EZSQLException);

  Ref<IZPreparedStatement> update = connection->PrepareStatement("DELETE FROM t WHERE a = ?");
  update->SetInt(1, 1);
  EXPECT_FALSE(update->ExecutePrepared());
  EXPECT_EQ(update->GetUpdateCount(), 3);
  EXPECT_EQ(update->ExecuteUpdatePrepared(), 3);
}

TEST_F(StatementTest, PlainStatementTakesTheSettingsOfItsFirstUse) {
  Server().Results["SELECT 1"] = {{{"one", stInteger}}, {}};
  Ref<IZPreparedStatement> prepared = connection->PrepareStatement("SELECT 1");
  prepared->SetMaxRows(5);
  prepared->SetFetchSize(20);
  Ref<IZResultSet> rows = prepared->ExecuteQueryPrepared();
  Ref<IZStatement> plain = rows->GetStatement();
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->GetMaxRows(), 5);
  EXPECT_EQ(plain->GetFetchSize(), 20);

  prepared->SetMaxRows(9);
  Ref<IZResultSet> again = prepared->ExecuteQueryPrepared();
  EXPECT_EQ(again->GetStatement(), plain);
  EXPECT_EQ(plain->GetMaxRows(), 5);

  // The query's result is the caller's: it outlives the prepared statement.
  prepared = nullptr;
  EXPECT_FALSE(rows->Next());
  rows->Close();
  again->Close();
}

TEST(ScalarParameterLiteral, WritesBooleansNumbersAndDatesAndLeavesTheRest) {
  const IZVariantManager& manager = *DefaultVarManager();
  auto value = [&manager](auto data) {
    TZVariant v;
    if constexpr (std::is_same_v<decltype(data), bool>) manager.SetAsBoolean(v, data);
    else if constexpr (std::is_same_v<decltype(data), const char*>) manager.SetAsString(v, data);
    else if constexpr (std::is_same_v<decltype(data), std::int64_t>) manager.SetAsInteger(v, data);
    else if constexpr (std::is_same_v<decltype(data), long double>) manager.SetAsFloat(v, data);
    else manager.SetAsDateTime(v, data);
    return v;
  };
  const TDateTime stamp = EncodeDate(2024, 2, 29) + EncodeTime(7, 5, 9, 0);
  struct {
    TZSQLType type;
    TZVariant value;
    const char* literal;
  } const cases[] = {
      {stBoolean, value(true), "'Y'"},
      {stBoolean, value("no"), "'N'"},
      {stLong, value(std::int64_t{-9000000000}), "-9000000000"},
      {stInteger, value("12; DROP TABLE t"), "0"},
      {stDouble, value(0.25L), "0.25"},
      {stDate, value(stamp), "'2024-02-29'"},
      {stTime, value(stamp), "'07:05:09'"},
      {stTimestamp, value(stamp), "'2024-02-29 07:05:09'"},
  };
  for (const auto& c : cases) {
    AnsiString literal;
    EXPECT_TRUE(ScalarParameterLiteral(c.type, c.value, literal)) << c.literal;
    EXPECT_EQ(literal, c.literal);
  }
  AnsiString untouched = "x";
  EXPECT_FALSE(ScalarParameterLiteral(stString, value("a"), untouched));
  EXPECT_EQ(untouched, "x");
}

}  // namespace

// The ADO driver's statements against both ODBC drivers: which texts open
// recordsets, counts and batches, native parameters (out of order, 64-bit,
// empty texts and byte arrays, Czech text, dates, NULL), a stored function's
// return value, and failures logged with their SQL.

#include <gtest/gtest.h>

#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_plain_driver.h"
#include "sql/drivers/ado/ado_statement.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;

// A prepared statement whose command a test may look into.
class InspectedStatement : public TZAdoPreparedStatement {
public:
  InspectedStatement(const Ref<IZAdoConnection>& connection, const AnsiString& sql)
      : TZAdoPreparedStatement(MakeRef<TZAdoPlainDriver>(), connection, sql, nullptr) {}
  Ref<_Command> Command() const { return command_; }
};

class AdoStatement : public testing::TestWithParam<Peer> {
protected:
  PeerDatabase db{GetParam()};
  Ref<IZAdoConnection> connection = db.DriverConnect();

  bool IsPostgreSQL() const { return GetParam() == Peer::PostgreSQL; }

  // A table of ids 1 .. count.
  std::string Numbers(int count) {
    const std::string table = db.Table("numbers");
    connection->InternalExecuteStatement("CREATE TABLE " + table + " (id integer, name varchar(20))");
    for (int id = 1; id <= count; ++id)
      connection->InternalExecuteStatement("INSERT INTO " + table + " VALUES (" + std::to_string(id) + ", 'n" +
                                           std::to_string(id) + "')");
    return table;
  }

  static std::vector<int> Ids(const Ref<IZResultSet>& resultSet) {
    std::vector<int> ids;
    while (resultSet && resultSet->Next()) ids.push_back(resultSet->GetInt(1));
    return ids;
  }
};

TEST_P(AdoStatement, TextsOpenRecordsetsByTheirFirstWordAndCountChanges) {
  const std::string table = Numbers(3);
  Ref<IZStatement> statement = connection->CreateStatement();

  EXPECT_TRUE(statement->Execute("  select id from " + table + " order by id"));
  EXPECT_EQ(Ids(statement->GetResultSet()), (std::vector<int>{1, 2, 3}));

  EXPECT_EQ(statement->ExecuteUpdate("UPDATE " + table + " SET id = id + 10 WHERE id > 1"), 2);
  EXPECT_EQ(statement->ExecuteUpdate("SELECT id FROM " + table + " WHERE id = 1"), -1);
  EXPECT_EQ(Ids(statement->GetResultSet()), std::vector<int>{1});

  // Not a SELECT by its first word, yet it gives rows.
  const AnsiString rowsWithoutSelect = IsPostgreSQL() ? "(select 1)" : "WITH x AS (SELECT 1) SELECT * FROM x";
  EXPECT_TRUE(statement->Execute(rowsWithoutSelect));
  EXPECT_EQ(Ids(statement->GetResultSet()), std::vector<int>{1});
  statement->Close();
}

TEST_P(AdoStatement, QueryOfABatchSkipsTheCountsBeforeItsRows) {
  if (!IsPostgreSQL()) GTEST_SKIP() << "the SQLite driver runs one statement per text";
  const std::string table = Numbers(2);
  Ref<IZStatement> statement = connection->CreateStatement();
  Ref<IZResultSet> rows =
      statement->ExecuteQuery("update " + table + " set id = id * 5; select id from " + table + " order by id");
  EXPECT_EQ(Ids(rows), (std::vector<int>{5, 10}));
  statement->Close();  // a statement and its result set hold each other
}

TEST_P(AdoStatement, FailuresRaiseTheDriversErrorLoggedWithTheirSql) {
  ScopedLog log;
  Ref<IZStatement> statement = connection->CreateStatement();
  const AnsiString sql = "SELECT * FROM ado_no_such_table";
  const AnsiString error = ErrorOf([&] { statement->ExecuteQuery(sql); });
  ASSERT_EQ(error.substr(0, 1), "[") << error;
  EXPECT_EQ(error.substr(6, 2), "] ") << error;
  ASSERT_FALSE(log->Events.empty());
  const TZLoggingEvent& event = log->Events.back();
  EXPECT_EQ(event.Category, lcExecute);
  EXPECT_EQ(event.Message, sql);
  EXPECT_EQ(event.ErrorText, error);

  // A closed statement has no command left to run or fill.
  Ref<IZCallableStatement> closed = connection->PrepareCall("ado_none");
  closed->Close();
  const AnsiString closedError = "[08003] Operation is not allowed when the object is closed.";
  EXPECT_EQ(ErrorOf([&] { closed->SetInt(1, 1); }), closedError);
  EXPECT_EQ(ErrorOf([&] { closed->ExecutePrepared(); }), closedError);
  statement->Close();
}

TEST_P(AdoStatement, ParametersSetOutOfOrderLandInTheirColumns) {
  const std::string table = db.Table("params");
  connection->InternalExecuteStatement("CREATE TABLE " + table + " (a integer, b varchar(10), c integer)");
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO " + table + " VALUES (?, ?, ?)");
  insert->SetInt(3, 30);
  insert->SetInt(1, 10);
  insert->SetString(2, "twenty");
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  // The values stay with the command: only the changed one is set again.
  insert->SetInt(1, 11);
  insert->ExecuteUpdatePrepared();
  EXPECT_EQ(db.Oracle("SELECT a, b, c FROM " + table + " ORDER BY a"), "10|twenty|30\n11|twenty|30");
  insert->Close();
}

TEST_P(AdoStatement, ParametersAppendedWhereTheProviderCountsNoMarkersKeepTheirPositions) {
  // A command whose markers the data source never counted (its collection
  // built by hand) still puts parameter N at position N - 1.
  const std::string table = db.Table("placeholders");
  connection->InternalExecuteStatement("CREATE TABLE " + table + " (a integer, b integer, c integer)");
  auto statement = MakeRef<InspectedStatement>(connection, "INSERT INTO " + table + " VALUES (?, ?, ?)");
  statement->Command()->Parameters()->Append(
      statement->Command()->CreateParameter("mine", adInteger, adParamInput, 0, Variant(1)));
  statement->SetInt(3, 3);
  statement->SetInt(2, 2);
  Ref<Parameters> parameters = statement->Command()->Parameters();
  ASSERT_EQ(parameters->Count(), 3);
  EXPECT_EQ(parameters->Item(1)->Name(), "P2");
  EXPECT_EQ(parameters->Item(2)->Name(), "P3");
  EXPECT_EQ(parameters->Item(2)->Value().AsInteger(), 3);
  statement->ExecuteUpdatePrepared();
  EXPECT_EQ(db.Oracle("SELECT a, b, c FROM " + table), "1|2|3");
  statement->Close();
}

TEST_P(AdoStatement, ParameterValuesRoundTrip) {
  const std::string table = db.Table("vals");
  connection->InternalExecuteStatement("CREATE TABLE " + table +
                                       " (big bigint, name varchar(40), empty_text varchar(5), day date, "
                                       "nada integer, raw " + (IsPostgreSQL() ? "bytea" : "blob") + ", wide varchar(10))");
  auto insert = MakeRef<InspectedStatement>(connection, "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?, ?, ?)");
  const std::int64_t big = std::int64_t(1) << 40;
  insert->SetLong(1, big);
  insert->SetString(2, "Žluťoučký kůň úpěl");
  insert->SetString(3, "");
  insert->SetDate(4, EncodeDate(2026, 2, 28));
  insert->SetNull(5, stInteger);
  insert->SetBytes(6, TByteDynArray{});
  insert->SetUnicodeString(7, u"Ďábel");
  Ref<Parameters> parameters = insert->Command()->Parameters();
  EXPECT_EQ(parameters->Item(0)->Type(), adBigInt);
  EXPECT_EQ(parameters->Item(2)->Size(), 1);
  EXPECT_TRUE(VarIsNull(parameters->Item(5)->Value()));
  EXPECT_EQ(parameters->Item(5)->Type(), adVarBinary);
  insert->ExecuteUpdatePrepared();

  const std::string name = reinterpret_cast<const char*>(u8"Žluťoučký kůň úpěl");
  const std::string yes = IsPostgreSQL() ? "t" : "1";
  // A date goes as ADO's date, which holds a time of day too.
  const std::string day = IsPostgreSQL() ? "day" : "date(day)";
  EXPECT_EQ(db.Oracle("SELECT big, name, empty_text = '', " + day + ", nada IS NULL, raw IS NULL, wide FROM " + table),
            "1099511627776|" + name + "|" + yes + "|2026-02-28|" + yes + "|" + yes + "|" +
                reinterpret_cast<const char*>(u8"Ďábel"));

  Ref<IZPreparedStatement> select = connection->PrepareStatement("SELECT big, name FROM " + table + " WHERE big = ?");
  select->SetLong(1, big);
  Ref<IZResultSet> row = select->ExecuteQueryPrepared();
  ASSERT_TRUE(row->Next());
  EXPECT_EQ(row->GetLong(1), big);
  EXPECT_EQ(row->GetString(2), "Žluťoučký kůň úpěl");
  select->Close();
  insert->Close();
}

TEST_P(AdoStatement, StoredFunctionReturnsItsBoolean) {
  if (!IsPostgreSQL()) GTEST_SKIP() << "SQLite has no stored functions";
  db.Oracle("CREATE OR REPLACE FUNCTION ado_is_positive(x integer) RETURNS boolean AS 'SELECT $1 > 0' LANGUAGE SQL");
  Ref<IZCallableStatement> call = connection->PrepareCall("ado_is_positive");
  call->RegisterOutParameter(1, stBoolean);
  call->SetInt(2, 5);
  call->ExecuteUpdatePrepared();
  EXPECT_TRUE(call->GetBoolean(1));
  EXPECT_FALSE(call->WasNull());
  call->SetInt(2, -5);
  call->ExecuteUpdatePrepared();
  EXPECT_FALSE(call->GetBoolean(1));
  EXPECT_TRUE(call->IsNull(2));  // not registered as output
  call->Close();
}

INSTANTIATE_TEST_SUITE_P(Peers, AdoStatement, testing::Values(Peer::SQLite, Peer::PostgreSQL), PeerName);

}  // namespace

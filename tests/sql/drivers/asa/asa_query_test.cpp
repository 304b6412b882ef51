// The query side of the ASA statements against the client double: the
// cursor each kind opens and what it is handed, the kinds of result, the
// choice between query and update, procedure calls with their outputs and
// further result sets.

#include <gtest/gtest.h>

#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_result_set.h"
#include "sql/drivers/asa/asa_statement.h"
#include "sql/drivers/asa/asa_utils.h"
#include "tests/sql/drivers/asa/asa_test_support.h"

namespace {

using asa_test::Connection;
using asa_test::MakeDatabase;
using asa_test::QueryNumber;
using dblib_probe::CallsOf;

// items for queries; procedure p answers one output row, q two result sets.
constexpr char kSchema[] =
    "CREATE TABLE items (id INTEGER, name VARCHAR(20));"
    "INSERT INTO items VALUES (1, 'a'), (2, 'b'), (3, 'c');"
    "CREATE TABLE \"p#out\" (total INTEGER);"
    "INSERT INTO \"p#out\" VALUES (7);"
    "CREATE TABLE q (id INTEGER, name VARCHAR(20));"
    "INSERT INTO q VALUES (1, 'x'), (2, 'y');"
    "CREATE TABLE \"q#2\" (id INTEGER, name VARCHAR(20));"
    "INSERT INTO \"q#2\" VALUES (3, 'z');";

// The ids of the rows left in result.
std::vector<int> Ids(IZResultSet& result) {
  std::vector<int> ids;
  while (result.Next()) ids.push_back(result.GetInt(1));
  return ids;
}

// What the last dbpp_open received after the cursor name.
std::string LastOpen() {
  const std::vector<std::string> opened = CallsOf("dbpp_open");
  return opened.empty() ? "" : opened.back().substr(opened.back().find(' ') + 1);
}

TEST(ASAQuery, KindsOfResultAndCursorOptions) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  const struct {
    TZResultSetConcurrency concurrency;
    TZResultSetType type;
    const char* open;
    bool native;
  } cases[] = {
      {rcUpdatable, rtScrollSensitive, "nil nil 20 0 4128", false},
      {rcReadOnly, rtForwardOnly, "nil nil 20 0 34", true},
      {rcReadOnly, rtScrollInsensitive, "nil nil 20 0 1058", false},
  };
  for (const auto& c : cases) {
    Ref<IZStatement> statement = connection->NewStatement(nullptr);
    statement->SetResultSetConcurrency(c.concurrency);
    statement->SetResultSetType(c.type);
    dblib_probe::Reset();
    Ref<IZResultSet> result = statement->ExecuteQuery("SELECT id, name FROM items");
    EXPECT_EQ(LastOpen(), c.open);
    EXPECT_EQ(dynamic_cast<TZASAResultSet*>(result.get()) != nullptr, c.native) << c.open;
    EXPECT_EQ(dynamic_cast<TZCachedResultSet*>(result.get()) == nullptr, c.native) << c.open;
    EXPECT_EQ(Ids(*result), (std::vector<int>{1, 2, 3}));
    statement->Close();
  }
}

TEST(ASAQuery, AFetchSizeBeyondShortIsARangeError) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  Ref<IZStatement> statement = connection->NewStatement(nullptr);
  statement->SetFetchSize(40000);
  dblib_probe::Reset();
  EXPECT_THROW(statement->ExecuteQuery("SELECT id FROM items"), ERangeError);
  EXPECT_TRUE(CallsOf("dbpp_open").empty());
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 1u);  // closed again
}

TEST(ASAQuery, ATextWithoutColumnsIsNoQuery) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  Ref<IZStatement> statement = connection->NewStatement(nullptr);
  try {
    statement->ExecuteQuery("DELETE FROM items");
    FAIL() << "a text without columns";
  } catch (const EZSQLException& e) {
    EXPECT_STREQ(e.what(), "Cannot retrieve Resultset data");
  }
}

TEST(ASAQuery, ExecuteRunsATextOnceAsQueryOrUpdate) {
  const std::string database = MakeDatabase(kSchema);
  Ref<TZASAConnection> connection = Connection(database);
  Ref<IZStatement> statement = connection->NewStatement(nullptr);
  dblib_probe::Reset();
  EXPECT_TRUE(statement->Execute("SELECT id FROM items"));
  ASSERT_TRUE(statement->GetResultSet());
  EXPECT_EQ(Ids(*statement->GetResultSet()), (std::vector<int>{1, 2, 3}));

  EXPECT_FALSE(statement->Execute("UPDATE items SET name = 'n' WHERE id < 3"));
  EXPECT_EQ(statement->GetUpdateCount(), 2);
  EXPECT_EQ(CallsOf("dbpp_execute_imm").size(), 1u);

  // A call that fails once its cursor opens is reported, not run again as
  // an update.
  dblib_probe::Reset();
  dblib_probe::Inject("dbpp_open", {-131, "procedure failed"});
  EXPECT_THROW(statement->Execute("call q"), EZSQLException);
  EXPECT_EQ(CallsOf("dbpp_open").size(), 1u);
  EXPECT_TRUE(CallsOf("dbpp_execute_imm").empty());
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items WHERE name = 'n'"), 2);
}

TEST(ASAPreparedQuery, PreparedOnceAndAnsweredAsQueryOrUpdate) {
  const std::string database = MakeDatabase(kSchema);
  Ref<TZASAConnection> connection = Connection(database);
  dblib_probe::Reset();
  Ref<IZPreparedStatement> query = connection->NewPreparedStatement("SELECT id FROM items WHERE id > ?", nullptr);
  for (int from : {1, 2}) {
    query->SetInt(1, from);
    EXPECT_TRUE(query->ExecutePrepared());
    EXPECT_EQ(Ids(*query->GetResultSet()).size(), 3u - from);
    EXPECT_EQ(LastOpen(), "nil nil 20 0 4128 [496=" + std::to_string(from) + "]");
  }
  EXPECT_EQ(CallsOf("dbpp_prepare_describe").size(), 1u);
  query->ClearParameters();
  EXPECT_EQ(Ids(*query->ExecuteQuery("SELECT id FROM items")), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(CallsOf("dbpp_prepare_describe").size(), 2u);

  Ref<IZPreparedStatement> update =
      connection->NewPreparedStatement("UPDATE items SET name = 'u' WHERE id >= ?", nullptr);
  update->SetInt(1, 2);
  EXPECT_FALSE(update->ExecutePrepared());
  EXPECT_EQ(update->GetUpdateCount(), 2);
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items WHERE name = 'u'"), 2);
}

TEST(ASAPreparedQuery, BadParametersOpenNothing) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  Ref<IZPreparedStatement> statement =
      connection->NewPreparedStatement("SELECT id FROM items WHERE id > ? AND name <> ?", nullptr);
  dblib_probe::Reset();
  statement->SetInt(1, 1);
  EXPECT_THROW(statement->ExecuteQueryPrepared(), EZSQLException);
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, 5);
  dynamic_cast<TZAbstractPreparedStatement*>(statement.get())->SetInParam(2, stUnknown, value);
  EXPECT_THROW(statement->ExecuteQueryPrepared(), EZASAConvertError);
  EXPECT_TRUE(CallsOf("dbpp_open").empty());
}

TEST(ASACallable, CallTextPreparedOnceAndOutputsRead) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  dblib_probe::Reset();
  Ref<IZCallableStatement> call = connection->PrepareCall("p");
  EXPECT_TRUE(CallsOf("dbpp_prepare_describe").empty());
  for (int first : {3, 5}) {
    call->ClearParameters();
    call->SetInt(1, first);
    call->RegisterOutParameter(2, stInteger);  // output only: no value here
    call->SetInt(3, 4);
    call->ExecuteUpdate("ignored");
    EXPECT_EQ(call->GetInt(1), 7);
  }
  EXPECT_EQ(CallsOf("dbpp_prepare_describe"), (std::vector<std::string>{"nil nil call p(?,?) nil 2563 0"}));
  EXPECT_EQ(CallsOf("input"), (std::vector<std::string>{"[496=3,496=4]", "[496=5,496=4]"}));
  EXPECT_EQ(CallsOf("dbpp_execute_into"), (std::vector<std::string>{"nil nil area area", "nil nil area area"}));

  call->ClearParameters();
  call->ExecuteUpdate("ignored");
  EXPECT_EQ(CallsOf("dbpp_prepare_describe").back(), "nil nil call p nil 2563 0");
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 1u);
}

TEST(ASACallable, AnUnknownProcedureIsReported) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  Ref<IZCallableStatement> call = connection->PrepareCall("nowhere");
  EXPECT_THROW(call->ExecuteUpdatePrepared(), EZSQLException);
}

TEST(ASACallable, FurtherResultSetsUntilTheLast) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kSchema));
  Ref<IZCallableStatement> call = connection->PrepareCall("q");
  call->SetResultSetConcurrency(rcReadOnly);
  call->SetResultSetType(rtForwardOnly);
  Ref<IZResultSet> result = call->ExecuteQuery("");
  EXPECT_EQ(Ids(*result), (std::vector<int>{1, 2}));
  dblib_probe::Reset();
  EXPECT_TRUE(call->GetMoreResults());
  EXPECT_EQ(CallsOf("dbpp_describe_cursor").size(), 1u);
  ASSERT_TRUE(result->Next());
  EXPECT_EQ(result->GetString(2), "z");
  EXPECT_FALSE(result->Next());
  EXPECT_FALSE(call->GetMoreResults());
  EXPECT_EQ(CallsOf("dbpp_resume").size(), 2u);

  // A plain statement reaches them alike; one with a single result does not
  // ask.
  Ref<IZStatement> statement = connection->NewStatement(nullptr);
  EXPECT_EQ(Ids(*statement->ExecuteQuery("call q")), (std::vector<int>{1, 2}));
  EXPECT_TRUE(statement->GetMoreResults());
  EXPECT_FALSE(statement->GetMoreResults());
  statement->ExecuteQuery("SELECT id FROM items");
  dblib_probe::Reset();
  EXPECT_FALSE(statement->GetMoreResults());
  EXPECT_TRUE(CallsOf("dbpp_resume").empty());
}

}  // namespace

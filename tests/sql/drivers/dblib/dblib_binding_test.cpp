// The binding on the fake library: what the loader binds and installs, the
// item codes the login-record setters send, procedure calls, and results
// and rows as the plain driver hands them on.

#include "tests/sql/drivers/dblib/dblib_test_support.h"
#include "tests/sql/drivers/dblib/dblib_login_items.h"

#include <cstring>

#include "sql/core/sql_exception.h"

namespace dblib_test {
namespace {

using BindingTest = FakeLibraryTest;

TEST_F(BindingTest, LoadingStartsTheLibraryAndInstallsTheHandlersUnloadingGivesThemBack) {
  TZDBLibNativeLibraryLoader loader({"libsybdb.so.5"});
  ASSERT_TRUE(loader.Load());
  EXPECT_NE(loader.Entry(TZDBLibEntry::dbcmd), nullptr);
  EXPECT_EQ(loader.Entry(TZDBLibEntry::dbwinexit), nullptr);
  EXPECT_THROW(loader.RequiredEntry(TZDBLibEntry::dbrpcexec), EZSQLException);
  loader.FreeNativeLibrary();
  EXPECT_FALSE(loader.Loaded());
  const std::vector<std::string> expected = {"dbinit()",  "dberrhandle(handler)", "dbmsghandle(handler)",
                                             "dberrhandle((null))", "dbmsghandle((null))", "dbexit()"};
  EXPECT_EQ(Calls(), expected);
}

TEST_F(BindingTest, BothFlavoursSetLoginItemsWithFreeTdsCodes) {
  for (const Ref<IZDBLibPlainDriver>& plain : BothFlavours()) {
    plain->Initialize();
    ForgetCalls();
    EXPECT_EQ(SetEveryLoginItem(plain.get()), std::vector<RETCODE>(7, 1));
    const std::vector<std::string> expected = {
        "dblogin()",           "dbsetlname(1, \"ws\")",  "dbsetlname(2, \"u\")",  "dbsetlname(3, \"p\")",
        "dbsetlname(5, \"app\")", "dbsetlname(7, \"lang\")", "dbsetlname(10, \"cs\")", "dbsetlbool(101, 1)",
        "dbloginfree()"};
    EXPECT_EQ(Calls(), expected) << plain->GetProtocol();
  }
}

// FreeTDS has no single call for a procedure call: it is sent, then its
// first answer read, and nothing is read when the send failed.
TEST_F(BindingTest, ProcedureCallIsSentThenAnswered) {
  Ref<IZDBLibConnection> connection = Connect("zdbc:sybase://dbhost/pubs?UID=sa;PWD=x");
  connection->Open();
  Ref<IZDBLibPlainDriver> plain = connection->GetPlainDriver();
  DBLibProcess* handle = connection->GetConnectionHandle();
  ForgetCalls();
  EXPECT_EQ(plain->dbrpcexec(handle), 0);
  EXPECT_EQ(Calls(), std::vector<std::string>{"dbrpcsend()"});
  EXPECT_THROW(plain->CheckError(), Exception);

  ForgetCalls();
  EXPECT_EQ(plain->dbrpcinit(handle, "sp_nosuch", 0), 1);
  EXPECT_EQ(plain->dbrpcexec(handle), 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"dbrpcinit(\"sp_nosuch\", 0)", "dbrpcsend()", "dbsqlok()"}));
  try {
    plain->CheckError();
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Could not find stored procedure 'sp_nosuch'. \r");
  }
}

template <class T>
T ValueAt(const BYTE* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

// A batch answers one result per command; rows come in the library's
// layouts, a null value as no data.
TEST_F(BindingTest, ResultsAndRowsReachTheDriverAsTheLibraryHandsThemOut) {
  Ref<IZDBLibConnection> connection = Connect("zdbc:mssql://127.0.0.1/master?UID=sa;PWD=x");
  connection->Open();
  Ref<IZDBLibPlainDriver> plain = connection->GetPlainDriver();
  DBLibProcess* handle = connection->GetConnectionHandle();
  ASSERT_EQ(plain->dbcmd(handle, "create table t (id int, name varchar(9), price float, born datetime, pic blob);"), 1);
  ASSERT_EQ(plain->dbcmd(handle, "insert into t values (1, 'a', 2.5, '2007-03-05 13:05:09.007', x'01ab');"), 1);
  ASSERT_EQ(plain->dbcmd(handle, "insert into t values (3000000000, null, null, null, null); select * from t"), 1);
  ASSERT_EQ(plain->dbsqlexec(handle), 1);
  ASSERT_EQ(plain->dbresults(handle), 1);
  EXPECT_EQ(plain->dbcmdrow(handle), 0);
  EXPECT_EQ(plain->dbcount(handle), -1);
  ASSERT_EQ(plain->dbresults(handle), 1);
  EXPECT_EQ(plain->dbcount(handle), 1);
  ASSERT_EQ(plain->dbresults(handle), 1);
  ASSERT_EQ(plain->dbresults(handle), 1);
  EXPECT_EQ(plain->dbmorecmds(handle), 0);
  EXPECT_EQ(plain->dbcmdrow(handle), 1);
  ASSERT_EQ(plain->dbnumcols(handle), 5);
  EXPECT_EQ(plain->dbcolname(handle, 2), "name");
  const std::vector<int> types = {127, 47, 62, 61, 34};
  for (int column = 1; column <= 5; ++column) EXPECT_EQ(plain->dbcoltype(handle, column), types[column - 1]);
  EXPECT_EQ(plain->dbcollen(handle, 1), 8);

  ASSERT_EQ(plain->dbnextrow(handle), -1);
  EXPECT_EQ(ValueAt<std::int64_t>(plain->dbdata(handle, 1)), 1);
  EXPECT_EQ(AnsiString(reinterpret_cast<char*>(plain->dbdata(handle, 2)), plain->dbdatlen(handle, 2)), "a");
  EXPECT_EQ(ValueAt<double>(plain->dbdata(handle, 3)), 2.5);
  // 2007-03-05 is day 39144 after 1900-01-01; 13:05:09.007 is 14132702
  // three-hundredths of a second after midnight.
  EXPECT_EQ(ValueAt<std::int32_t>(plain->dbdata(handle, 4)), 39144);
  EXPECT_EQ(ValueAt<std::int32_t>(plain->dbdata(handle, 4) + 4), 14132702);
  EXPECT_EQ(AnsiString(reinterpret_cast<char*>(plain->dbdata(handle, 5)), plain->dbdatlen(handle, 5)), "\x01\xAB");
  ASSERT_EQ(plain->dbnextrow(handle), -1);
  EXPECT_EQ(ValueAt<std::int64_t>(plain->dbdata(handle, 1)), 3000000000);
  EXPECT_EQ(plain->dbdata(handle, 2), nullptr);
  EXPECT_EQ(plain->dbdatlen(handle, 2), 0);
  EXPECT_EQ(plain->dbnextrow(handle), -2);
  EXPECT_EQ(plain->dbcount(handle), 2);
  EXPECT_EQ(plain->dbresults(handle), 2);

  // The server variables the driver asks for after a change.
  ASSERT_EQ(plain->dbcancel(handle), 1);
  ASSERT_EQ(plain->dbcmd(handle, "update t set name = 'b'; select @@rowcount, @@IDENTITY"), 1);
  ASSERT_EQ(plain->dbsqlexec(handle), 1);
  ASSERT_EQ(plain->dbresults(handle), 1);
  EXPECT_EQ(plain->dbcount(handle), 2);
  ASSERT_EQ(plain->dbresults(handle), 1);
  ASSERT_EQ(plain->dbnextrow(handle), -1);
  EXPECT_EQ(ValueAt<std::int32_t>(plain->dbdata(handle, 1)), 2);
  EXPECT_EQ(ValueAt<std::int32_t>(plain->dbdata(handle, 2)), 2);
}

TEST_F(BindingTest, CallsTheLibraryLacksAreUnsupported) {
  auto plain = MakeRef<TZDBLibMSSQL7PlainDriver>();
  plain->Initialize();
  try {
    plain->dbsetmaxprocs(4);
    FAIL() << "no exception";
  } catch (const EZSQLException& error) {
    EXPECT_EQ(error.Message(), "Unsupported operation");
  }
}

}  // namespace
}  // namespace dblib_test

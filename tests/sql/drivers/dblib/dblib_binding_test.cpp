// The binding on the fake library: what the loader binds and installs, and
// the item codes the login-record setters send.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

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
  for (Ref<IZDBLibPlainDriver> plain :
       {Ref<IZDBLibPlainDriver>(MakeRef<TZDBLibMSSQL7PlainDriver>()),
        Ref<IZDBLibPlainDriver>(MakeRef<TZDBLibSybaseASE125PlainDriver>())}) {
    plain->Initialize();
    ForgetCalls();
    DBLibLogin* login = plain->dblogin();
    EXPECT_EQ(plain->dbsetlhost(login, "ws"), 1);
    EXPECT_EQ(plain->dbsetluser(login, "u"), 1);
    EXPECT_EQ(plain->dbsetlpwd(login, "p"), 1);
    EXPECT_EQ(plain->dbsetlapp(login, "app"), 1);
    EXPECT_EQ(plain->dbsetlnatlang(login, "lang"), 1);
    EXPECT_EQ(plain->dbsetlcharset(login, "cs"), 1);
    EXPECT_EQ(plain->dbsetlsecure(login), 1);
    plain->dbloginfree(login);
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

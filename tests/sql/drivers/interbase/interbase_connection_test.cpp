// The connection on the embedded engine: attaching, creating a database,
// attach options, isolation levels, retaining and hard commits, and what it
// reports; plus what the driver works out from a URL without attaching.

#include <gtest/gtest.h>

#include <clocale>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;
using InterbaseConnection = EmbeddedTest;

TEST(InterbaseUrl, AttachStringsAndDialectsFromTheUrl) {
  const struct {
    const char* url;
    const char* attach;
    int dialect;
  } cases[] = {
      {"zdbc:firebird-2.1://srv:3050//var/db/x.fdb", "srv:/var/db/x.fdb", 3},
      {"zdbc:firebird-2.1://srv//var/db/x.fdb", "srv:/var/db/x.fdb", 3},
      {"zdbc:firebird-2.1://srv:3051//var/db/x.fdb", "srv/3051:/var/db/x.fdb", 3},
      {"zdbc:firebird-2.1:////var/db/x.fdb", "/var/db/x.fdb", 3},
      // Without "//" the loopback host is meant: the server, not the file.
      {"zdbc:firebird-2.1:/var/db/x.fdb", "127.0.0.1:/var/db/x.fdb", 3},
      {"zdbc:interbase-5:////x.fdb", "/x.fdb", 1},
      {"zdbc:interbase-5:////x.fdb?dialect= 3 ", "/x.fdb", 3},
      {"zdbc:interbase-5:////x.fdb?dialect=abc", "/x.fdb", 1},
      {"zdbc:firebird-2.1:////x.fdb?dialect=1", "/x.fdb", 1},
  };
  // Interbase 5 connections are made through the Firebird client here.
  InterbaseLibraryLoader(TZInterbaseClient::Interbase5).SetLibraries({"libfbclient.so.2"});
  for (const auto& c : cases) {
    Ref<IZConnection> connection = DriverManager()->GetConnection(c.url);
    auto* interbase = dynamic_cast<TZInterbase6Connection*>(connection.get());
    ASSERT_NE(interbase, nullptr) << c.url;
    EXPECT_TRUE(connection->IsClosed()) << c.url;
    EXPECT_EQ(interbase->AttachString(), c.attach) << c.url;
    EXPECT_EQ(interbase->GetDialect(), c.dialect) << c.url;
  }
  EXPECT_THROW(DriverManager()->GetConnection("zdbc:firebird-2.1:////x.fdb?dialect=70000"), ERangeError);
}

TEST(InterbaseUrl, LoginCodepageAndRoleBecomeAttachOptions) {
  Ref<IZConnection> connection = DriverManager()->GetConnection(
      "zdbc:firebird-2.1:////x.fdb?username=sysdba;password=pw;codepage= win1250 ;rolename=admin");
  TStrings* properties = connection->GetProperties();
  EXPECT_EQ(properties->Values("isc_dpb_username"), "sysdba");
  EXPECT_EQ(properties->Values("isc_dpb_password"), "pw");
  EXPECT_EQ(properties->Values("isc_dpb_lc_ctype"), "WIN1250");
  EXPECT_EQ(properties->Values("isc_dpb_sql_role_name"), "ADMIN");
  // No user: no user line at all.
  Ref<IZConnection> anonymous = DriverManager()->GetConnection("zdbc:firebird-2.1:////x.fdb");
  EXPECT_EQ(anonymous->GetProperties()->IndexOfName("isc_dpb_username"), -1);
}

TEST_F(InterbaseConnection, CreateNewDatabaseMakesAFileOthersOpenOnceDetached) {
  const AnsiString sql = CreateDatabaseSql(Path("new.fdb"));
  TStringList properties;
  properties.Add("createNewDatabase=" + sql);
  ScopedLog log;
  Ref<IZConnection> connection =
      DriverManager()->GetConnectionWithProperties(EmbeddedUrl(Path("new.fdb")), &properties);
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(log->Messages(lcConnect),
            (std::vector<AnsiString>{"CREATE DATABASE \"" + sql + "\" AS USER \"\"",
                                     "CONNECT TO \"" + Path("new.fdb") + "\" AS USER \"\""}));
  EXPECT_EQ(log->Messages(lcTransaction), std::vector<AnsiString>{"TRANSACTION STARTED."});
  connection->Close();
  EXPECT_EQ(log->Messages(lcConnect).back(), "DISCONNECT FROM \"" + Path("new.fdb") + "\"");
  EXPECT_EQ(log->Messages(lcTransaction).back(), "COMMITT TRANSACTION \"" + Path("new.fdb") + "\"");
  const std::string output = Isql(Path("new.fdb"), "SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE;\n");
  EXPECT_NE(output.find("WIN1250"), std::string::npos) << output;
}

// The client reads file names in the encoding of the process's locale, taken
// once per process, so a name beyond ASCII needs a UTF-8 locale from the
// start (the C locale refuses it): the case runs in a fresh process.
TEST_F(InterbaseConnection, FileNamesReachTheFileSystemInUtf8) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const AnsiString path = Path("čáp.fdb");
  EXPECT_EXIT(
      {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        TStringList properties;
        properties.Add("createNewDatabase=" + CreateDatabaseSql(path));
        Ref<IZConnection> connection = DriverManager()->GetConnectionWithProperties(EmbeddedUrl(path), &properties);
        connection->Open();
        connection->Close();
        // The same name opens the file again.
        Ref<IZConnection> again = DriverManager()->GetConnection(EmbeddedUrl(path));
        again->Open();
        std::exit(again->IsClosed() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_TRUE(std::filesystem::exists(AnsiToUtf8(path)));
}

TEST_F(InterbaseConnection, AMissingFileRaisesTheEnginesWords) {
  ScopedLog log;
  Ref<IZInterbase6Connection> connection = Connection();
  try {
    connection->Open();
    ADD_FAILURE() << "opened a missing file";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), -902);
    EXPECT_EQ(e.Message(),
              "SQL Error:  I/O error during \"open\" operation for file \"" + Path() +
                  "\" Error while trying to open file No such file or directory. Error Code: -902. Unsuccessful "
                  "execution caused by a system error that precludes successful execution of subsequent statements");
  }
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(*connection->GetDBHandle(), 0u);
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_EQ(log->Events[0].ErrorCode, -902);
}

TEST_F(InterbaseConnection, AttachOptionsThatCannotBeWrittenAttachNothing) {
  CreateDatabase();
  for (const char* properties : {"isc_dpb_num_buffers=abc", "isc_dpb_lc_messages=" /* filled below */}) {
    AnsiString lines = properties;
    if (lines == "isc_dpb_lc_messages=") lines += AnsiString(256, 'x');
    Ref<IZInterbase6Connection> connection = Connection(lines);
    EXPECT_ANY_THROW(connection->Open()) << properties;
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(*connection->GetDBHandle(), 0u);
  }
  Ref<IZInterbase6Connection> connection = Connection("isc_dpb_num_buffers=abc");
  EXPECT_THROW(connection->Open(), EConvertError);
  // Nor is a database created for them.
  TStringList properties;
  properties.Add("isc_dpb_num_buffers=abc");
  properties.Add("createNewDatabase=" + CreateDatabaseSql(Path("never.fdb")));
  Ref<IZConnection> creating =
      DriverManager()->GetConnectionWithProperties(EmbeddedUrl(Path("never.fdb")), &properties);
  EXPECT_THROW(creating->Open(), EConvertError);
  EXPECT_FALSE(std::filesystem::exists(Path("never.fdb").c_str()));
}

TEST_F(InterbaseConnection, CodepageAndIntegerOptionsReachTheAttachment) {
  CreateDatabase();
  Ref<IZInterbase6Connection> connection =
      Connection("codepage=win1250;isc_dpb_num_buffers=1000;isc_dpb_sweep_interval=70000");
  connection->Open();
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(MON$CHARACTER_SET_ID AS BIGINT) FROM MON$ATTACHMENTS "
                                           "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"),
            51);
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(MON$SWEEP_INTERVAL AS BIGINT) FROM MON$DATABASE"), 70000);
}

TEST_F(InterbaseConnection, IsolationLevelsChooseTheTransactionMode) {
  CreateDatabase();
  const struct {
    TZTransactIsolationLevel level;
    int mode;
  } cases[] = {{tiReadCommitted, 2}, {tiRepeatableRead, 1}, {tiSerializable, 0}};
  for (const auto& c : cases) {
    Ref<IZInterbase6Connection> connection = Connection();
    connection->SetTransactIsolationLevel(c.level);
    connection->Open();
    EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(MON$ISOLATION_MODE AS BIGINT) FROM MON$TRANSACTIONS "
                                             "WHERE MON$TRANSACTION_ID = CURRENT_TRANSACTION"),
              c.mode)
        << c.level;
  }
  Ref<IZInterbase6Connection> connection = Connection();
  connection->SetTransactIsolationLevel(tiReadUncommitted);
  try {
    connection->Open();
    ADD_FAILURE() << "opened with read uncommitted";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Isolation level do not capable");
  }
  EXPECT_EQ(*connection->GetDBHandle(), 0u);
}

TEST_F(InterbaseConnection, WithoutIsolationTheConnectionsOwnTransactionOptionsApply) {
  CreateDatabase();
  Ref<IZInterbase6Connection> connection = Connection("isc_tpb_consistency;isc_tpb_wait");
  connection->Open();
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(MON$ISOLATION_MODE AS BIGINT) FROM MON$TRANSACTIONS "
                                           "WHERE MON$TRANSACTION_ID = CURRENT_TRANSACTION"),
            0);
}

TEST_F(InterbaseConnection, ATransactionThatCannotStartLeavesNothingAttached) {
  CreateDatabase();
  // Two isolation levels in one block fail the start of the transaction.
  Ref<IZInterbase6Connection> connection = Connection("isc_tpb_concurrency;isc_tpb_consistency");
  EXPECT_THROW(connection->Open(), EZSQLException);
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(*connection->GetDBHandle(), 0u);
  EXPECT_EQ(InterbaseLibraryLoader(TZInterbaseClient::Firebird21).Attachments(), 0);
}

TEST_F(InterbaseConnection, ATableReservationKeepsOtherWritersOut) {
  CreateDatabase();
  const char* reserveT = "isc_tpb_concurrency;isc_tpb_nowait;isc_tpb_lock_write=T;isc_tpb_protected";
  Ref<IZInterbase6Connection> first = Connection(reserveT);
  first->Open();
  Ref<IZInterbase6Connection> second = Connection(reserveT);
  try {
    second->Open();
    ADD_FAILURE() << "two transactions reserved T for writing";
  } catch (const EZSQLException& e) {
    EXPECT_NE(e.Message().find("lock conflict"), AnsiString::npos) << e.Message();
  }
  EXPECT_TRUE(second->IsClosed());
}

TEST_F(InterbaseConnection, RetainingCommitsKeepTheTransactionAndShowTheRows) {
  CreateDatabase();
  Ref<IZInterbase6Connection> writer = Connection();
  writer->Open();
  const isc_tr_handle transaction = *writer->GetTrHandle();
  ASSERT_NE(transaction, 0u);
  Execute(writer.get(), "INSERT INTO T VALUES (1)");
  ScopedLog log;
  writer->Commit();
  writer->Commit();
  EXPECT_EQ(*writer->GetTrHandle(), transaction);
  EXPECT_EQ(log->Messages(lcTransaction), (std::vector<AnsiString>{"TRANSACTION COMMIT", "TRANSACTION COMMIT"}));

  Ref<IZInterbase6Connection> reader = Connection();
  reader->Open();
  EXPECT_EQ(QueryInteger(reader.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM T"), 1);

  // A retaining rollback undoes only what came after the commit.
  Execute(writer.get(), "INSERT INTO T VALUES (2)");
  writer->Rollback();
  EXPECT_EQ(*writer->GetTrHandle(), transaction);
  EXPECT_EQ(QueryInteger(writer.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM T"), 1);
}

TEST_F(InterbaseConnection, HardCommitStartsEachTransactionWhenItIsNeeded) {
  CreateDatabase();
  ScopedLog log;
  Ref<IZInterbase6Connection> connection = Connection("hard_commit=yes");
  connection->Open();
  EXPECT_TRUE(log->Messages(lcTransaction).empty());
  // Nothing to end yet: no call, no log line.
  connection->Rollback();
  connection->Commit();
  EXPECT_TRUE(log->Messages(lcTransaction).empty());

  Execute(connection.get(), "INSERT INTO T VALUES (1)");
  EXPECT_EQ(log->Messages(lcTransaction), std::vector<AnsiString>{"TRANSACTION STARTED."});
  connection->Commit();
  EXPECT_EQ(log->Messages(lcTransaction).back(), "TRANSACTION COMMIT");
  Execute(connection.get(), "INSERT INTO T VALUES (2)");
  connection->Rollback();
  EXPECT_EQ(log->Messages(lcTransaction),
            (std::vector<AnsiString>{"TRANSACTION STARTED.", "TRANSACTION COMMIT", "TRANSACTION STARTED.",
                                     "TRANSACTION ROLLBACK"}));
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(SUM(A) AS BIGINT) FROM T"), 1);
}

TEST_F(InterbaseConnection, CloseRollsBackWithoutAutoCommitAndDestroyingDetaches) {
  CreateDatabase();
  TZInterbaseNativeLibraryLoader& loader = InterbaseLibraryLoader(TZInterbaseClient::Firebird21);
  {
    Ref<IZInterbase6Connection> connection = Connection();
    connection->SetAutoCommit(false);
    connection->Open();
    EXPECT_EQ(loader.Attachments(), 1);
    Execute(connection.get(), "INSERT INTO T VALUES (1)");
    ScopedLog log;
    connection->Close();
    EXPECT_EQ(log->Messages(lcTransaction),
              std::vector<AnsiString>{"ROLLBACK TRANSACTION \"" + Path() + "\""});
    EXPECT_EQ(*connection->GetDBHandle(), 0u);
    connection->Open();
  }
  EXPECT_EQ(loader.Attachments(), 0);
  const std::string output = Isql(Path(), "SELECT 'rows:' || COUNT(*) FROM T;\n");
  EXPECT_NE(output.find("rows:0"), std::string::npos) << output;
}

// The engine must not be unloaded under an attachment with a statement: a
// program that ends while still attached ends cleanly.
TEST_F(InterbaseConnection, AnAttachmentLeftAtExitKeepsTheLibraryLoaded) {
  CreateDatabase();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const AnsiString path = Path();
  EXPECT_EXIT(
      {
        Ref<IZInterbasePlainDriver> plain = InterbaseDriver()->GetPlainDriver(EmbeddedUrl(path));
        ISC_STATUS_VECTOR status = {};
        isc_db_handle db = 0;
        isc_tr_handle tr = 0;
        isc_stmt_handle statement = 0;
        const char dpb[] = {isc_dpb_version1};
        plain->isc_attach_database(status, static_cast<short>(path.size()), path.c_str(), &db, 1, dpb);
        plain->isc_start_transaction(status, &tr, 1, &db, 0, nullptr);
        plain->isc_dsql_allocate_statement(status, &db, &statement);
        plain->isc_dsql_prepare(status, &tr, &statement, 0, "SELECT A FROM T", 3, nullptr);
        std::exit(status[1] == 0 && statement != 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(InterbaseConnection, TheEmbeddedProtocolAndPingOnAFile) {
  CreateDatabase();
  Ref<IZInterbase6Connection> connection = Connection("", "firebirdd-2.1");
  connection->Open();
  EXPECT_EQ(connection->PingServer(), 0);
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM T"), 0);
}

TEST_F(InterbaseConnection, Interbase5HasNoRetainingRollback) {
  CreateDatabase();
  InterbaseLibraryLoader(TZInterbaseClient::Interbase5).SetLibraries({"libfbclient.so.2"});
  Ref<IZInterbase6Connection> connection = Connection("", "interbase-5");
  connection->Open();
  EXPECT_EQ(connection->GetDialect(), 1);
  connection->Commit();
  try {
    connection->Rollback();
    ADD_FAILURE() << "rolled back retaining on Interbase 5";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "This version does not support isc_rollback_retaining");
  }
}

TEST(InterbaseSequence, TheGeneratorNameIsQuotedAsAName) {
  Ref<IZConnection> connection = DriverManager()->GetConnection("zdbc:firebird-2.1:////x.fdb");
  Ref<IZSequence> sequence = connection->CreateSequence("G\"1", 5);
  EXPECT_EQ(sequence->GetCurrentValueSQL(), " GEN_ID(\"G\"\"1\", 0) ");
  EXPECT_EQ(sequence->GetNextValueSQL(), " GEN_ID(\"G\"\"1\", 5) ");
}

}  // namespace

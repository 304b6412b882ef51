// The MySQL connection against the throwaway server: what connecting sends
// (checked in the server's general log), connect failures, session settings,
// transactions, ping and escaping.

#include <gtest/gtest.h>
#include <mariadb/mysql.h>

#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"

namespace {

using namespace mysql_test;

constexpr char kConnectText[] = "CONNECT TO \"kalmir\" AS USER \"vx\"";

// A loopback port nothing listens on.
int ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

TEST(MySQLConnection, ConnectsWithCodepageAndCompressionAndSendsNothingElse) {
  ScopedLog log;
  Ref<IZMySQLConnection> connection = Connect({"Codepage= cp1250 ", "compress=yes"});
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->IsClosed());
  const unsigned long threadId = connection->GetPlainDriver()->GetThreadId(connection->GetConnectionHandle());
  EXPECT_EQ(QueryValue(connection.get(), "SHOW SESSION STATUS LIKE 'Compression'", 1), "ON");
  EXPECT_EQ(QueryValue(connection.get(), "SELECT @@character_set_client"), "cp1250");
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetConnectionHandle(), nullptr);

  // The server may log the session's end a moment later; all else is there.
  std::vector<AnsiString> sent = GeneralLog(threadId);
  if (!sent.empty() && sent.back() == "Quit ") sent.pop_back();
  EXPECT_EQ(sent, (std::vector<AnsiString>{"Connect vx@127.0.0.1 on kalmir using TCP/IP",
                                           "Query SET CHARACTER SET cp1250",
                                           "Query SHOW SESSION STATUS LIKE 'Compression'",
                                           "Query SELECT @@character_set_client"}));

  EXPECT_EQ(log->Messages(lcConnect), (std::vector<AnsiString>{kConnectText}));
  EXPECT_EQ(log->Messages(lcExecute), (std::vector<AnsiString>{"SET CHARACTER SET cp1250"}));
  EXPECT_EQ(log->Messages(lcDisconnect), (std::vector<AnsiString>{"DISCONNECT FROM \"kalmir\""}));
  EXPECT_EQ(log->Events[0].Protocol, "mysql-4.1");
}

TEST(MySQLConnection, ADatabaseWithCzechLettersConnectsInTheClientCodePage) {
  const MariaDbServer& server = MariaDbServer::Get();
  server.Client(AnsiToUtf8("CREATE DATABASE IF NOT EXISTS `zálohy` CHARACTER SET utf8mb4"));
  const AnsiString url = "zdbc:mysql-4.1://127.0.0.1:" + std::to_string(server.port) + "/zálohy?UID=" +
                         server.user + ";PWD=" + server.password;
  Ref<IZMySQLConnection> connection = Connect({"Codepage=cp1250"}, url);
  ASSERT_TRUE(connection);
  EXPECT_EQ(QueryValue(connection.get(), "SELECT DATABASE()"), "zálohy");
  connection->Close();
}

TEST(MySQLConnection, CompressionIsOnlyForTrueValues) {
  for (const char* value : {"1", "no", ""}) {
    Ref<IZMySQLConnection> connection = Connect({(AnsiString("compress=") + value).c_str()});
    EXPECT_EQ(QueryValue(connection.get(), "SHOW SESSION STATUS LIKE 'Compression'", 1),
              AnsiString(value) == "1" ? "ON" : "OFF")
        << value;
  }
}

TEST(MySQLConnection, AWrongPasswordRaisesTheServersErrorAndLogsIt) {
  ScopedLog log;
  try {
    Connect({}, Url("mysql-4.1", "wrong"));
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1045);
    EXPECT_TRUE(e.Message().starts_with("SQL Error: Access denied for user 'vx'@")) << e.Message();
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_EQ(log->Events[0].Message, kConnectText);
  EXPECT_EQ(log->Events[0].ErrorCode, 1045);
}

TEST(MySQLConnection, AClosedPortRaisesTheClientsError) {
  try {
    Connect({}, Url("mysql-4.1", "vxpass", ClosedPort()));
    ADD_FAILURE() << "connected to a closed port";
  } catch (const EZSQLException& e) {
    EXPECT_TRUE(e.ErrorCode() == 2002 || e.ErrorCode() == 2003) << e.ErrorCode();
    EXPECT_TRUE(e.Message().starts_with("SQL Error: ")) << e.Message();
  }
}

TEST(MySQLConnection, ClientFlagsAndNamedOptionsComeFromProperties) {
  QueryRows(Connect().get(), "CREATE OR REPLACE TABLE kalmir.flags (id INT PRIMARY KEY)");
  QueryRows(Connect().get(), "INSERT INTO kalmir.flags VALUES (1)");

  // Matched rows count by default (a posted row that kept its values is
  // still one row); switched off, only changed rows count.
  Ref<IZMySQLConnection> plain = Connect({"CLIENT_FOUND_ROWS=false"});
  Ref<IZMySQLPlainDriver> driver = plain->GetPlainDriver();
  QueryRows(plain.get(), "UPDATE kalmir.flags SET id = 1");
  EXPECT_EQ(driver->GetAffectedRows(plain->GetConnectionHandle()), 0);
  Ref<IZMySQLConnection> byDefault = Connect();
  QueryRows(byDefault.get(), "UPDATE kalmir.flags SET id = 1");
  EXPECT_EQ(driver->GetAffectedRows(byDefault->GetConnectionHandle()), 1);
  EXPECT_NE(driver->ExecQuery(plain->GetConnectionHandle(), "SELECT 1; SELECT 2"), 0);

  Ref<IZMySQLConnection> flagged =
      Connect({"CLIENT_FOUND_ROWS=true", "CLIENT_MULTI_STATEMENTS=Y", "MYSQL_INIT_COMMAND=SET @vx_init = 42"});
  MYSQL* handle = flagged->GetConnectionHandle();
  QueryRows(flagged.get(), "UPDATE kalmir.flags SET id = 1");
  EXPECT_EQ(driver->GetAffectedRows(handle), 1);
  EXPECT_EQ(QueryValue(flagged.get(), "SELECT @vx_init"), "42");
  EXPECT_EQ(driver->ExecQuery(handle, "DO 1; DO 2"), 0);
  while (driver->NextResult(handle) == 0) {
  }
}

// The connect timeout the client library holds for the connection, read with
// the library's own getter (which the driver does not bind).
unsigned int ConnectTimeout(IZMySQLConnection* connection) {
  void* library = dlopen("libmariadb.so.3", RTLD_NOW | RTLD_NOLOAD);
  auto getOption = reinterpret_cast<decltype(&mysql_get_optionv)>(dlsym(library, "mysql_get_optionv"));
  unsigned int seconds = 0;
  if (getOption) getOption(connection->GetConnectionHandle(), MYSQL_OPT_CONNECT_TIMEOUT, &seconds);
  if (library) dlclose(library);
  return seconds;
}

TEST(MySQLConnection, ConnectTimeoutsAreGivenToTheLibraryAsNumbers) {
  const struct {
    const char* property;
    unsigned int seconds;
  } cases[] = {
      {"MYSQL_OPT_CONNECT_TIMEOUT= 5", 5},
      {"timeout=7", 7},
      {"timeout=-1", 0},
      {"codepage=cp1250", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ConnectTimeout(Connect({c.property}).get()), c.seconds) << c.property;
  // A named option overrides "timeout", as it is set after it.
  EXPECT_EQ(ConnectTimeout(Connect({"MYSQL_OPT_CONNECT_TIMEOUT=3", "timeout=9"}).get()), 3u);
  EXPECT_THROW(Connect({"MYSQL_OPT_CONNECT_TIMEOUT=soon"}), EConvertError);
}

TEST(MySQLConnection, ServerAndClientVersionsArePacked) {
  Ref<IZMySQLConnection> connection = Connect();
  // "10.11.19-MariaDB-..." packs as 10011019.
  TStringList parts;
  SplitToStringList(&parts, Trim(MariaDbServer::Get().Client("SELECT VERSION()")), ".-");
  ASSERT_GE(parts.Count(), 3);
  const int expected = std::stoi(parts[0]) * 1000000 + std::stoi(parts[1]) * 1000 + std::stoi(parts[2]);
  EXPECT_EQ(connection->GetServerVersion(), expected);
  EXPECT_GE(connection->GetClientVersion(), 3000000);

  connection->Close();
  EXPECT_THROW(connection->GetServerVersion(), EZSQLException);
}

TEST(MySQLConnection, IsolationLevelsSendTheirStatements) {
  ScopedLog log;
  Ref<IZMySQLConnection> connection = Connect();
  connection->SetTransactIsolationLevel(tiNone);
  const struct {
    TZTransactIsolationLevel level;
    const char* statement;
    const char* session;
  } cases[] = {
      {tiSerializable, "SET SESSION TRANSACTION ISOLATION LEVEL SERIALIZABLE", "SERIALIZABLE"},
      {tiReadCommitted, "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED", "READ-COMMITTED"},
      {tiRepeatableRead, "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ", "REPEATABLE-READ"},
      {tiNone, "SET SESSION TRANSACTION ISOLATION LEVEL READ UNCOMMITTED", "READ-UNCOMMITTED"},
      {tiReadUncommitted, "SET SESSION TRANSACTION ISOLATION LEVEL READ UNCOMMITTED", "READ-UNCOMMITTED"},
      {tiReadUncommitted, nullptr, "READ-UNCOMMITTED"},
  };
  std::vector<AnsiString> expected;
  for (const auto& c : cases) {
    connection->SetTransactIsolationLevel(c.level);
    if (c.statement) expected.push_back(c.statement);
    EXPECT_EQ(log->Messages(lcExecute), expected);
    EXPECT_EQ(QueryValue(connection.get(), "SELECT @@tx_isolation"), c.session);
  }
}

TEST(MySQLConnection, CommitAndRollbackActWheneverAutoCommitIsOff) {
  const MariaDbServer& server = MariaDbServer::Get();
  server.Client("CREATE OR REPLACE TABLE kalmir.tx (id INT) ENGINE=InnoDB");
  ScopedLog log;
  Ref<IZMySQLConnection> connection = Connect();

  // Auto-commit on: nothing to commit or roll back, nothing sent.
  connection->Commit();
  connection->Rollback();
  EXPECT_TRUE(log->Messages(lcExecute).empty());

  // The default isolation level (tiNone) does not stop a rollback.
  connection->SetAutoCommit(false);
  QueryRows(connection.get(), "INSERT INTO kalmir.tx VALUES (1)");
  connection->Rollback();
  connection->SetAutoCommit(true);
  EXPECT_EQ(Trim(server.Client("SELECT COUNT(*) FROM kalmir.tx")), "0");

  connection->SetAutoCommit(false);
  QueryRows(connection.get(), "INSERT INTO kalmir.tx VALUES (2)");
  connection->Commit();
  EXPECT_EQ(Trim(server.Client("SELECT COUNT(*) FROM kalmir.tx")), "1");
  EXPECT_EQ(log->Messages(lcExecute),
            (std::vector<AnsiString>{"Native SetAutoCommit Falsecall", "Native Rollback call",
                                     "Native SetAutoCommit Truecall", "Native SetAutoCommit Falsecall",
                                     "Native Commit call"}));
}

TEST(MySQLConnection, ReopeningRestoresStoredSessionSettings) {
  Ref<IZMySQLConnection> connection = Connect();
  connection->Close();
  connection->SetAutoCommit(false);
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(QueryValue(connection.get(), "SELECT @@autocommit"), "0");
  EXPECT_EQ(QueryValue(connection.get(), "SELECT @@tx_isolation"), "SERIALIZABLE");
}

TEST(MySQLConnection, PingAnswersUntilTheSessionIsKilled) {
  const MariaDbServer& server = MariaDbServer::Get();
  Ref<IZMySQLConnection> connection = Connect();
  EXPECT_EQ(connection->PingServer(), 0);
  const unsigned long threadId = connection->GetPlainDriver()->GetThreadId(connection->GetConnectionHandle());
  server.Client("KILL " + std::to_string(threadId));
  EXPECT_NE(connection->PingServer(), 0);
  connection->Close();
  EXPECT_EQ(connection->PingServer(), -1);
}

TEST(MySQLConnection, EscapesWithAndWithoutASession) {
  Ref<IZMySQLConnection> connection = Connect({"codepage=cp1250"});
  const AnsiString value = "O'Neil\\";
  EXPECT_EQ(connection->EscapeString(value), "O\\'Neil\\\\");
  EXPECT_EQ(connection->EscapeString(AnsiString("a\0\"\n", 4)), "a\\0\\\"\\n");
  EXPECT_EQ(connection->EscapeString(""), "");
  connection->Close();
  EXPECT_EQ(connection->EscapeString(value), "O\\'Neil\\\\");
}

TEST(MySQLMetadata, AnswersCapabilitiesAndCachesTheTypeCatalogue) {
  Ref<IZMySQLConnection> connection = Connect();
  Ref<IZDatabaseMetadata> metadata = connection->GetMetadata();
  ASSERT_TRUE(metadata);
  EXPECT_EQ(metadata->GetConnection(), Ref<IZConnection>(connection));
  EXPECT_EQ(metadata->GetDatabaseProductName(), "MySQL");
  EXPECT_EQ(metadata->GetUserName(), "vx");
  EXPECT_TRUE(metadata->SupportsUnionAll());
  EXPECT_TRUE(metadata->SupportsOrderByUnrelated());
  EXPECT_EQ(metadata->GetDefaultTransactionIsolation(), tiNone);
  EXPECT_TRUE(metadata->GetSQLKeywords().starts_with("AUTO_INCREMENT,BINARY,BLOB,"));

  Ref<IZResultSet> types = metadata->GetTypeInfo();
  std::vector<AnsiString> names;
  while (types->Next()) {
    names.push_back(types->GetStringByName("TYPE_NAME"));
    if (names.back() == "VARCHAR") {
      EXPECT_EQ(types->GetIntByName("DATA_TYPE"), stString);
      EXPECT_EQ(types->GetIntByName("PRECISION"), 255);
      EXPECT_EQ(types->GetStringByName("LITERAL_PREFIX"), "'");
      EXPECT_FALSE(types->GetBooleanByName("AUTO_INCREMENT"));
      EXPECT_EQ(types->GetIntByName("NUM_PREC_RADIX"), 10);
    }
    if (names.back() == "INTEGER") {
      EXPECT_TRUE(types->GetBooleanByName("AUTO_INCREMENT"));
      EXPECT_TRUE(types->IsNullByName("LITERAL_PREFIX"));
    }
    if (names.back() == "DATE") {
      EXPECT_TRUE(types->IsNullByName("PRECISION"));
    }
  }
  ASSERT_EQ(names.size(), 33u);
  EXPECT_EQ(names.front(), "BIT");
  EXPECT_EQ(names.back(), "TIMESTAMP");

  // The second answer is a copy of the cached one, not the builder's again.
  Ref<IZResultSet> again = metadata->GetTypeInfo();
  EXPECT_NE(again, types);
  int rows = 0;
  while (again->Next()) ++rows;
  EXPECT_EQ(rows, 33);
}

TEST(MySQLConnection, CatalogIsKeptButNeverSent) {
  Ref<IZMySQLConnection> connection = Connect();
  connection->SetCatalog("other");
  EXPECT_EQ(connection->GetCatalog(), "other");
  EXPECT_EQ(QueryValue(connection.get(), "SELECT DATABASE()"), "kalmir");
}

}  // namespace

// The client-library binding against the real library and server: file-name
// lists, orderly failures for missing libraries and entry points, the choice
// of plain driver by protocol, and reading field descriptors and rows.

#include <gtest/gtest.h>
#include <mariadb/mysql.h>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/mysql/mysql_metadata.h"
#include "sql/drivers/mysql/mysql_utils.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"

namespace {

using namespace mysql_test;

TEST(MySQLBinding, LoadersTryTheLinuxLibraryNamesInOrder) {
  EXPECT_EQ(MySQL41ClientLoader().Libraries(), (std::vector<AnsiString>{"libmariadb.so.3", "libmysqlclient.so"}));
  EXPECT_EQ(MySQL5ClientLoader().Libraries(),
            (std::vector<AnsiString>{"libmariadb.so.3", "libmysqlclient.so.21", "libmysqlclient.so"}));
  EXPECT_EQ(MySQL41EmbeddedLoader().Libraries(), (std::vector<AnsiString>{"libmariadbd.so.19", "libmysqld.so"}));
  EXPECT_EQ(MySQL5EmbeddedLoader().Libraries(),
            (std::vector<AnsiString>{"libmariadbd.so.19", "libmariadbd.so", "libmysqld.so"}));
  EXPECT_EQ(MySQLEntryName(TZMySQLEntry::mysql_affected_rows), AnsiString("mysql_affected_rows"));
  EXPECT_EQ(MySQLEntryName(TZMySQLEntry::mysql_get_character_set_info), AnsiString("mysql_get_character_set_info"));
}

TEST(MySQLBinding, MissingLibrariesFailTheConnectWithTheNamesTried) {
  TZMySQLNativeLibraryLoader& loader = MySQL5EmbeddedLoader();
  std::vector<AnsiString> saved = loader.Libraries();
  loader.SetLibraries({"libzz-missing-a.so", "libzz-missing-b.so.1"});
  try {
    MySQLDriver()->Connect(Url("mysqld-5"), nullptr);
    ADD_FAILURE() << "connected without a library";
  } catch (const EZSQLException& e) {
    ADD_FAILURE() << "loader error expected, got " << e.Message();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: libzz-missing-a.so, libzz-missing-b.so.1");
  }
  EXPECT_FALSE(loader.Loaded());
  loader.SetLibraries(saved);
}

TEST(MySQLBinding, MissingEntryPointsFailInOrder) {
  // A library that exports none of the client functions.
  TZMySQLNativeLibraryLoader& loader = MySQL41EmbeddedLoader();
  loader.SetLibraries({"libz.so.1"});
  try {
    MySQLDriver()->Connect(Url("mysqld-4.1"), nullptr);
    ADD_FAILURE() << "connected through a library without client functions";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The client library has no function mysql_init");
  }

  // Today's client library no longer has the old connect call.
  auto plain = MakeRef<TZMySQL41PlainDriver>();
  plain->Initialize();
  EXPECT_TRUE(plain->SupportsNextResult());
  try {
    plain->Connect(nullptr, "127.0.0.1", "vx", "vxpass");
    ADD_FAILURE() << "mysql_connect should be missing";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The client library has no function mysql_connect");
    EXPECT_EQ(e.ErrorCode(), -1);
  }
}

TEST(MySQLBinding, ProtocolPicksThePlainDriver) {
  Ref<TZMySQLDriver> driver = MySQLDriver();
  const struct {
    const char* protocol;
    const char* plain;
    const char* description;
  } cases[] = {
      {"mysql", "mysql-5", "Native Plain Driver for MySQL 5.0+"},
      {"mysql-5", "mysql-5", "Native Plain Driver for MySQL 5.0+"},
      {"mysql-4.1", "mysql-4.1", "Native Plain Driver for MySQL 4.1+"},
  };
  for (const auto& c : cases) {
    Ref<IZMySQLPlainDriver> plain = driver->GetPlainDriver(Url(c.protocol));
    EXPECT_EQ(plain->GetProtocol(), c.plain) << c.protocol;
    EXPECT_EQ(plain->GetDescription(), c.description) << c.protocol;
  }
  EXPECT_GE(driver->GetClientVersion(Url()), 3000000);
  EXPECT_THROW(driver->GetPlainDriver("zdbc:postgresql://h/db"), EZSQLException);
}

TEST(MySQLBinding, EmbeddedServerArgumentsComeFromServerArgumentProperties) {
  auto plain = MakeRef<TZMySQLD5PlainDriver>();
  TStringList properties;
  plain->BuildArguments(&properties);
  std::vector<AnsiString> args = MySQLEmbeddedServerArguments();
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1], "--datadir=./data/");

  for (const char* line : {"ServerArg=--skip-grant-tables", "serverargumentX=--port=0",
                           "ServerArgument1=--DATADIR=/tmp/vx-embedded", "codepage=cp1250"})
    properties.Add(line);
  plain->BuildArguments(&properties);
  args = MySQLEmbeddedServerArguments();
  EXPECT_EQ(args, (std::vector<AnsiString>{args[0], "--port=0", "--DATADIR=/tmp/vx-embedded"}));

  // Client drivers leave the embedded arguments alone.
  MakeRef<TZMySQL5PlainDriver>()->BuildArguments(nullptr);
  EXPECT_EQ(MySQLEmbeddedServerArguments().size(), 3u);
}

TEST(MySQLBinding, FieldDescriptorsAndRowsAreReadThroughThePlainDriver) {
  Ref<IZMySQLConnection> connection = Connect();
  Ref<IZMySQLPlainDriver> plain = connection->GetPlainDriver();
  MYSQL* handle = connection->GetConnectionHandle();
  QueryRows(connection.get(),
            "CREATE OR REPLACE TABLE kalmir.wide (id INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY, "
            "note LONGTEXT, data LONGBLOB, doc JSON, price DECIMAL(10,2), u UUID, a4 INET4, a6 INET6)");
  QueryRows(connection.get(), "INSERT INTO kalmir.wide (note, price) VALUES ('x', 12.5)");

  ASSERT_EQ(plain->ExecQuery(handle, "SELECT id, note, data, doc, price FROM kalmir.wide"), 0);
  MYSQL_RES* result = plain->StoreResult(handle);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(plain->GetRowCount(result), 1);
  EXPECT_EQ(plain->GetNumRows(result), 1);
  MYSQL_FIELD* id = plain->FetchField(result);
  EXPECT_STREQ(plain->GetFieldName(id), "id");
  EXPECT_STREQ(plain->GetFieldTable(id), "wide");
  EXPECT_EQ(plain->GetFieldType(id), MYSQL_TYPE_LONG);
  const int flags = plain->GetFieldFlags(id);
  EXPECT_TRUE(flags & NOT_NULL_FLAG);
  EXPECT_TRUE(flags & UNSIGNED_FLAG);
  EXPECT_TRUE(flags & AUTO_INCREMENT_FLAG);
  // Declared widths of 4 GB saturate at the largest 32-bit value.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(plain->GetFieldLength(plain->FetchField(result)), 2147483647) << i;
  MYSQL_FIELD* price = plain->FetchField(result);
  EXPECT_EQ(plain->GetFieldDecimals(price), 2);
  EXPECT_EQ(plain->GetFieldMaxLength(price), 5);

  MYSQL_ROW row = plain->FetchRow(result);
  ASSERT_NE(row, nullptr);
  EXPECT_STREQ(plain->GetFieldData(row, 1), "x");
  EXPECT_EQ(plain->GetFieldData(row, 2), nullptr);
  EXPECT_THROW(plain->GetFieldData(row, 256), ERangeError);
  EXPECT_THROW(plain->GetFieldData(row, -1), ERangeError);
  plain->FreeResult(result);
  EXPECT_EQ(plain->GetNumRows(nullptr), 0);
  EXPECT_EQ(plain->StmtNumRows(nullptr), 0);

  // Every column type the server reports maps to a column type.
  for (const Row& column : QueryRows(connection.get(), "SHOW COLUMNS FROM kalmir.wide"))
    EXPECT_NO_THROW(ConvertMySQLTypeNameToSQLType(column[1], column[1])) << column[1];
  EXPECT_EQ(QueryValue(connection.get(), "SHOW COLUMNS FROM kalmir.wide LIKE 'u'", 1), "uuid");

  MYSQL* variable = handle;
  plain->ClearHandle(variable);
  EXPECT_EQ(variable, nullptr);
  EXPECT_EQ(plain->Ping(handle), 0);
}

TEST(MySQLErrors, SilentModeRaisesWithoutLogging) {
  Ref<IZMySQLConnection> connection = Connect();
  Ref<IZMySQLPlainDriver> plain = connection->GetPlainDriver();
  MYSQL* handle = connection->GetConnectionHandle();
  ScopedLog log;
  ASSERT_NE(plain->ExecQuery(handle, "SELEC 1"), 0);

  EnterSilentMySQLErrors();
  EXPECT_THROW(CheckMySQLError(plain.get(), handle, lcExecute, "SELEC 1"), EZMySQLSilentException);
  LeaveSilentMySQLErrors();
  EXPECT_TRUE(log->Events.empty());

  try {
    CheckMySQLError(plain.get(), handle, lcExecute, "SELEC 1");
    ADD_FAILURE() << "no error raised";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1064);
    EXPECT_TRUE(e.Message().starts_with("SQL Error: You have an error in your SQL syntax")) << e.Message();
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Message, "SELEC 1");
  EXPECT_EQ(log->Events[0].ErrorCode, 1064);
  EXPECT_EQ(log->Events[0].Protocol, "mysql-4.1");

  // No error on the handle: nothing is raised.
  QueryRows(connection.get(), "SELECT 1");
  EXPECT_NO_THROW(CheckMySQLError(plain.get(), handle, lcExecute, "SELECT 1"));
}

TEST(MySQLVersions, PackLibraryVersionsForTheSQLLibrary) {
  int major, minor, sub;
  DecodeMySQLVersion(100119, major, minor, sub);
  EXPECT_EQ(major * 1000000 + minor * 1000 + sub, 10001019);
  EXPECT_EQ(MySQLVersionToSQLVersion(50045), 5000045);
  EXPECT_EQ(MySQLVersionToSQLVersion(101119), 10011019);
}

}  // namespace

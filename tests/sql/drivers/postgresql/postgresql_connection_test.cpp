// The connection against the throwaway server: what Open sends (the server
// log is the oracle), failures to connect, the server version, notices, the
// error check, type names, sequences and a session lost under it.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/postgresql/postgresql_encodings.h"
#include "sql/drivers/postgresql/postgresql_types.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;
using Lines = std::vector<std::string>;

const Lines kSessionRules = {"SELECT version()", "SET standard_conforming_strings = off",
                             "SET escape_string_warning = off", "SET bytea_output = 'escape'"};

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PostgreSQLConnection, ProtocolsPickTheirGenerationAndOpenSendsTheSessionRules) {
  const struct {
    const char* protocol;
    const char* plain;
  } cases[] = {{"postgresql", "postgresql-8"}, {"postgresql-8", "postgresql-8"}, {"postgresql-7", "postgresql-7"}};
  for (const auto& c : cases) {
    ScopedLog log;
    Ref<IZPostgreSQLConnection> connection = Make({}, Url(c.protocol));
    EXPECT_TRUE(connection->IsClosed()) << c.protocol;
    connection->Open();
    EXPECT_FALSE(connection->IsClosed());
    EXPECT_EQ(connection->GetPlainDriver()->GetProtocol(), c.plain);
    EXPECT_EQ(Logged(connection.get()), kSessionRules) << c.protocol;
    EXPECT_EQ(log->Messages(lcConnect), (std::vector<AnsiString>{"CONNECT TO \"kalmir\" AS USER \"vx\""}));
    ASSERT_FALSE(log->Events.empty());
    EXPECT_EQ(log->Events[0].Protocol, c.plain);
    connection->Close();
    EXPECT_EQ(log->Messages(lcDisconnect), (std::vector<AnsiString>{"DISCONNECT FROM \"kalmir\""}));
  }
}

TEST(PostgreSQLConnection, OpenSetsTheEncodingFirstAndStartsTheBlockLast) {
  Ref<IZPostgreSQLConnection> connection = Make({"codepage=WIN1250", "beginreq=false"});
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->Open();
  EXPECT_EQ(Logged(connection.get()),
            Concat(Concat({"SET CLIENT_ENCODING TO 'WIN1250'"}, kSessionRules),
                   {"SET TRANSACTION ISOLATION LEVEL READ COMMITTED"}));
  EXPECT_EQ(QueryValue(connection.get(), "SHOW client_encoding"), "WIN1250");
  EXPECT_EQ(QueryValue(connection.get(), "SHOW standard_conforming_strings"), "off");

  Ref<IZPostgreSQLConnection> serializable = Make();
  serializable->SetTransactIsolationLevel(tiSerializable);
  serializable->Open();
  EXPECT_EQ(Logged(serializable.get()), Concat(kSessionRules, {"BEGIN", "SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"}));
}

TEST(PostgreSQLConnection, CzechTextAndBackslashesReachTheServerAsWritten) {
  Ref<IZPostgreSQLConnection> connection = Connect({"codepage=WIN1250"});
  Psql("CREATE TABLE IF NOT EXISTS texts (id int, t text); GRANT ALL ON texts TO vx");
  const AnsiString value = "Příliš žluťoučký kůň \\ 'úpěl'";
  QueryRows(connection.get(), "DELETE FROM texts WHERE id = 1");
  QueryRows(connection.get(), "INSERT INTO texts VALUES (1, " + QuoteTextLiteral(csWIN1250, value) + ")");
  EXPECT_EQ(QueryValue(connection.get(), "SELECT t FROM texts WHERE id = 1"), value);
  // psql reads the same text in UTF-8.
  EXPECT_EQ(Psql("SELECT t FROM texts WHERE id = 1"), reinterpret_cast<const char*>(u8"Příliš žluťoučký kůň \\ 'úpěl'"));
}

TEST(PostgreSQLConnection, ServerVersionMatchesPsql) {
  Ref<IZPostgreSQLConnection> connection = Make();
  // Asking opens the connection.
  const int version = connection->GetServerVersion();
  EXPECT_FALSE(connection->IsClosed());
  const std::string text = Psql("SHOW server_version");  // "15.4 (Debian 15.4-1)"
  const int major = std::stoi(text);
  const int minor = std::stoi(text.substr(text.find('.') + 1));
  EXPECT_EQ(version, major * 1000000 + minor * 1000) << text;
  EXPECT_EQ(connection->GetServerMajorVersion(), major);
  EXPECT_EQ(connection->GetServerMinorVersion(), minor);
  EXPECT_EQ(connection->GetServerSubVersion(), 0);
}

TEST(PostgreSQLConnection, FailedConnectsRaiseAndStayClosed) {
  const struct {
    AnsiString url;
    const char* text;
  } cases[] = {
      {Url("postgresql", "wrong"), "password authentication failed for user \"vx\""},
      {Url("postgresql", "vxpass", 1), "Connection refused"},
      {Url("postgresql-7", "vxpass", 1), "Connection refused"},
  };
  for (const auto& c : cases) {
    ScopedLog log;
    Ref<IZPostgreSQLConnection> connection = Make({}, c.url);
    try {
      connection->Open();
      ADD_FAILURE() << "connected: " << c.url;
    } catch (const EZSQLException& e) {
      EXPECT_TRUE(e.Message().starts_with("SQL Error: ")) << e.Message();
      EXPECT_NE(e.Message().find(c.text), AnsiString::npos) << e.Message();
      EXPECT_EQ(e.ErrorCode(), 0);
    }
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(connection->GetConnectionHandle(), nullptr);
    EXPECT_EQ(connection->PingServer(), -1);
    ASSERT_EQ(log->Events.size(), 1u) << c.url;
    EXPECT_EQ(log->Events[0].Category, lcConnect);
    EXPECT_EQ(log->Events[0].Message, "CONNECT TO \"kalmir\" AS USER \"vx\"");
  }
}

TEST(PostgreSQLConnection, AnEncodingNameStaysInsideItsLiteral) {
  for (const char* codepage : {"codepage=WIN1250'; CREATE TABLE injected (i int); --", "codepage=x\\'"}) {
    Ref<IZPostgreSQLConnection> connection = Make({codepage});
    try {
      connection->Open();
      ADD_FAILURE() << "opened with " << codepage;
    } catch (const EZSQLException& e) {
      EXPECT_TRUE(e.Message().starts_with("SQL Error: ERROR:  invalid value for parameter \"client_encoding\""))
          << e.Message();
      EXPECT_EQ(e.StatusCode(), "22023");
    }
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(connection->GetConnectionHandle(), nullptr);
  }
  EXPECT_EQ(Psql("SELECT count(*) FROM pg_class WHERE relname = 'injected'"), "0");
}

TEST(PostgreSQLConnection, UnsupportedIsolationSendsNothing) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  connection->SetTransactIsolationLevel(tiReadCommitted);
  const Lines before = Logged(connection.get());
  for (TZTransactIsolationLevel level : {tiRepeatableRead, tiReadUncommitted}) {
    try {
      connection->SetTransactIsolationLevel(level);
      ADD_FAILURE() << "accepted level " << level;
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Transaction isolation level is not supported");
    }
  }
  EXPECT_EQ(connection->GetTransactIsolationLevel(), tiReadCommitted);
  EXPECT_EQ(Logged(connection.get()), before);
}

TEST(PostgreSQLConnection, ServerErrorsCarryTheirStatusAndNoticesAreLogged) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
  PGconn* handle = connection->GetConnectionHandle();
  ScopedLog log;

  PGresult* result = plain->PQexec(handle, "SELECT 1");
  EXPECT_NO_THROW(CheckConnectionError(connection.get(), plain.get(), handle, lcExecute, "SELECT 1", result));
  plain->PQclear(result);

  result = plain->PQexec(handle, "SELEC 1");
  try {
    CheckConnectionError(connection.get(), plain.get(), handle, lcExecute, "SELEC 1", result);
    ADD_FAILURE() << "no error raised";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: ERROR:  syntax error at or near \"SELEC\"\nLINE 1: SELEC 1\n        ^");
    EXPECT_EQ(e.StatusCode(), "42601");
    EXPECT_EQ(e.ErrorCode(), 0);
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Message, "SELEC 1");
  EXPECT_EQ(log->Events[0].Protocol, "postgresql-8");
  EXPECT_EQ(log->Events[0].ErrorCode, 0);

  QueryRows(connection.get(), "DO $$ BEGIN RAISE NOTICE 'hello %', 42; END $$");
  ASSERT_EQ(log->Events.size(), 2u);
  EXPECT_EQ(log->Events[1].Category, lcOther);
  EXPECT_EQ(log->Events[1].Protocol, "Postgres NOTICE");
  EXPECT_EQ(log->Events[1].Message, "NOTICE:  hello 42\n");
}

TEST(PostgreSQLConnection, TypeNamesComeFromTheCatalogueWithDomainsAsTheirBase) {
  Psql("DO $$ BEGIN CREATE DOMAIN short_name AS varchar(10); CREATE DOMAIN tiny_name AS short_name; "
       "EXCEPTION WHEN duplicate_object THEN NULL; END $$");
  const Oid domain = static_cast<Oid>(std::stoul(Psql("SELECT 'short_name'::regtype::oid")));
  const Oid nested = static_cast<Oid>(std::stoul(Psql("SELECT 'tiny_name'::regtype::oid")));
  ScopedLog log;
  Ref<IZPostgreSQLConnection> connection = Make();
  EXPECT_EQ(connection->GetTypeNameByOid(23), "int4");
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(connection->GetTypeNameByOid(1043), "varchar");
  EXPECT_EQ(connection->GetTypeNameByOid(domain), "varchar");
  EXPECT_EQ(connection->GetTypeNameByOid(nested), "varchar");
  EXPECT_EQ(connection->GetTypeNameByOid(4000000000u), "");
  // The catalogue is read once.
  int reads = 0;
  for (const AnsiString& message : log->Messages(lcExecute)) reads += message.starts_with("SELECT oid, typname");
  EXPECT_EQ(reads, 1);
}

TEST(PostgreSQLColumns, ResultColumnsTakeTheirPrecisionFromTheTypeModifier) {
  Ref<IZPostgreSQLConnection> connection = Connect({"oidasblob=true"});
  Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
  PGresult* result = plain->PQexec(connection->GetConnectionHandle(),
                                   "SELECT 'a'::varchar(20) AS v, '10:00+02'::timetz AS tz, 'x'::varchar(5) AS expr, "
                                   "'x'::varchar AS free, 1.5::money AS m, 'n'::name AS n, 1::int4 AS i, "
                                   "'\\001'::bytea AS b");
  TZColumnInfoList columns;
  DescribeColumns(connection.get(), plain.get(), result, columns);
  plain->PQclear(result);
  const struct {
    const char* label;
    TZSQLType type;
    int precision;
    bool readOnly, currency;
  } cases[] = {
      {"v", stString, 20, false, false},    {"tz", stString, 255, true, false}, {"expr", stString, 255, false, false},
      {"free", stString, 255, false, false}, {"m", stFloat, 8, false, true},    {"n", stString, 32, false, false},
      {"i", stInteger, 4, false, false},    {"b", stBytes, 256, false, false},
  };
  ASSERT_EQ(columns.Count(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < columns.Count(); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(columns[i].ColumnLabel, c.label);
    EXPECT_EQ(columns[i].ColumnType, c.type) << c.label;
    EXPECT_EQ(columns[i].Precision, c.precision) << c.label;
    EXPECT_EQ(columns[i].ReadOnly, c.readOnly) << c.label;
    EXPECT_EQ(columns[i].Currency, c.currency) << c.label;
    EXPECT_EQ(columns[i].Nullable, ntNullable) << c.label;
  }
}

TEST(PostgreSQLConnection, SequencesCountOnTheServer) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  QueryRows(connection.get(), "DROP SEQUENCE IF EXISTS counter; CREATE SEQUENCE counter");
  QueryRows(connection.get(), "DROP SEQUENCE IF EXISTS \"it's\"; CREATE SEQUENCE \"it's\" START 40");
  Ref<IZSequence> sequence = connection->CreateSequence("counter", 1);
  EXPECT_EQ(sequence->GetConnection().get(), static_cast<IZConnection*>(connection.get()));
  try {
    sequence->GetCurrentValue();
    ADD_FAILURE() << "CURRVAL before NEXTVAL";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.StatusCode(), "55000") << e.Message();
  }
  EXPECT_EQ(sequence->GetNextValue(), 1);
  EXPECT_EQ(sequence->GetNextValue(), 2);
  EXPECT_EQ(sequence->GetCurrentValue(), 2);
  EXPECT_EQ(QueryValue(connection.get(), "SELECT" + sequence->GetNextValueSQL()), "3");

  Ref<IZSequence> quoted = connection->CreateSequence("\"it's\"", 1);
  EXPECT_EQ(quoted->GetNextValue(), 40);
  EXPECT_EQ(quoted->GetCurrentValue(), 40);
}

TEST(PostgreSQLConnection, LostSessionIsResetByPingAndClosesCleanly) {
  for (bool ping : {true, false}) {
    Ref<IZPostgreSQLConnection> connection = Connect({"codepage=WIN1250"});
    connection->SetTransactIsolationLevel(tiReadCommitted);
    EXPECT_EQ(connection->PingServer(), 0);
    const int pid = connection->GetPlainDriver()->PQbackendPID(connection->GetConnectionHandle());
    EXPECT_EQ(Psql("SELECT pg_terminate_backend(" + std::to_string(pid) + ")"), "t");
    if (ping) {
      EXPECT_EQ(connection->PingServer(), 0);
      EXPECT_NE(connection->GetPlainDriver()->PQbackendPID(connection->GetConnectionHandle()), pid);
      // The new session has the same settings as the lost one.
      EXPECT_EQ(QueryValue(connection.get(), "SHOW standard_conforming_strings"), "off");
      EXPECT_EQ(QueryValue(connection.get(), "SHOW client_encoding"), "WIN1250");
      EXPECT_EQ(QueryValue(connection.get(), "SHOW transaction_isolation"), "read committed");
    } else {
      Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
      PGresult* result = plain->PQexec(connection->GetConnectionHandle(), "SELECT 1");
      try {
        CheckConnectionError(connection.get(), plain.get(), connection->GetConnectionHandle(), lcExecute, "SELECT 1",
                             result);
        ADD_FAILURE() << "no error on a lost session";
      } catch (const EZSQLException& e) {
        // libpq's own error carries no SQLSTATE.
        EXPECT_NE(e.Message().find("terminating connection"), AnsiString::npos) << e.Message();
        EXPECT_EQ(e.StatusCode(), "");
      }
      // The handle stays the connection's, for Close to finish.
      EXPECT_NE(connection->GetConnectionHandle(), nullptr);
    }
    connection->Close();
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(connection->PingServer(), -1);
  }
}

}  // namespace

// The libpq binding: file-name lists, orderly failures for missing libraries
// and entry points, the bytea escaping of both generations (against a stand-in
// library without PQescapeByteaConn, and against the real one and server), and
// the error fields only the 8.x binding reads.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/postgresql/postgresql_encodings.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;

TEST(PostgreSQLBinding, LoadersTryTheLinuxLibraryNamesInOrder) {
  const std::vector<AnsiString> names{"libpq.so.5", "libpq.so"};
  EXPECT_EQ(PostgreSQL7Loader().Libraries(), names);
  EXPECT_EQ(PostgreSQL8Loader().Libraries(), names);
  EXPECT_STREQ(PgEntryName(TZPgEntry::PQfreemem), "PQfreemem");
  EXPECT_STREQ(PgEntryName(TZPgEntry::lo_export), "lo_export");
}

TEST(PostgreSQLBinding, MissingLibrariesFailWithTheNamesTried) {
  TZPostgreSQLNativeLibraryLoader loader({"libzz-missing-a.so", "libzz-missing-b.so.1"}, true);
  auto plain = MakeRef<TZPostgreSQL8PlainDriver>(loader);
  // Names need no library.
  EXPECT_EQ(plain->GetProtocol(), "postgresql-8");
  EXPECT_EQ(plain->GetDescription(), "Native Plain Driver for PostgreSQL 8.x");
  EXPECT_EQ(MakeRef<TZPostgreSQL7PlainDriver>(loader)->GetDescription(), "Native Plain Driver for PostgreSQL 7.x");
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      plain->Initialize();
      ADD_FAILURE() << "loaded without a library";
    } catch (const EZSQLException& e) {
      ADD_FAILURE() << "loader error expected, got " << e.Message();
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: libzz-missing-a.so, libzz-missing-b.so.1");
    }
    EXPECT_FALSE(loader.Loaded());
  }
  EXPECT_THROW(plain->PQstatus(nullptr), EZSQLException);
}

TEST(PostgreSQLBinding, LibraryWithoutConnectionEscapingFallsBackAndRefusesTheRest) {
  for (bool eightX : {true, false}) {
    TZPostgreSQLNativeLibraryLoader loader({VX_FAKE_PQ}, eightX);
    Ref<IZPostgreSQLPlainDriver> plain;
    if (eightX)
      plain = MakeRef<TZPostgreSQL8PlainDriver>(loader);
    else
      plain = MakeRef<TZPostgreSQL7PlainDriver>(loader);
    plain->Initialize();
    EXPECT_EQ(plain->EscapeBytea("AB", nullptr), "'\\x4142'") << eightX;
    EXPECT_EQ(plain->EscapeBytea("", nullptr), "'\\x'") << eightX;
    EXPECT_EQ(plain->UnescapeBytea("xyz"), "xyz") << eightX;
    try {
      plain->PQexec(nullptr, "SELECT 1");
      ADD_FAILURE() << "called an entry point the library lacks";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Unsupported operation");
    }
  }
}

TEST(PostgreSQLBinding, AFailedConnectWithoutErrorTextStillRaisesAndFinishesItsHandle) {
  TZPostgreSQLNativeLibraryLoader loader({VX_FAKE_PQ}, true);
  auto plain = MakeRef<TZPostgreSQL8PlainDriver>(loader);
  plain->Initialize();
  auto connection = MakeRef<TZPostgreSQLConnection>(Ref<IZDriver>(PostgreSQLDriver()), "zdbc:postgresql://h/k",
                                                    plain, "h", 0, "k", "u", "p", nullptr);
  try {
    connection->Open();
    ADD_FAILURE() << "opened a connection the library called bad";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: Unknown error");
  }
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetConnectionHandle(), nullptr);
  EXPECT_EQ(*static_cast<int*>(loader.GetAddress("vx_fake_pq_finished")), 1);
}

TEST(PostgreSQLBinding, BothGenerationsEscapeByteaAlikeAndTheServerReadsIt) {
  AnsiString bytes = AnsiString("a\0'\\", 4) + "\xFF";
  for (const char* protocol : {"postgresql", "postgresql-7"}) {
    Ref<IZPostgreSQLConnection> connection = Connect({}, Url(protocol));
    Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
    PGconn* handle = connection->GetConnectionHandle();
    EXPECT_EQ(QueryValue(connection.get(), "SELECT octet_length(" + plain->EscapeBytea("", handle) + "::bytea)"), "0")
        << protocol;

    const AnsiString literal = plain->EscapeBytea(bytes, handle);
    EXPECT_EQ(QueryValue(connection.get(), "SELECT encode(" + literal + "::bytea, 'hex')"), "6100275cff") << protocol;
    // The session reads bytea in escape form, through libpq or our decoder.
    const AnsiString text = QueryValue(connection.get(), "SELECT " + literal + "::bytea");
    EXPECT_EQ(plain->UnescapeBytea(text), bytes) << protocol;
    EXPECT_EQ(UnescapeByteaText(text), bytes) << protocol;
    EXPECT_EQ(plain->UnescapeBytea(""), "") << protocol;
    // Without a handle the connection-less call escapes.
    const AnsiString loose = plain->EscapeBytea("AB", nullptr);
    EXPECT_TRUE(loose.starts_with("'") && loose.ends_with("'") && loose.size() > 2) << loose;
    // Our own literal for text streams escapes quotes and every backslash.
    EXPECT_EQ(QueryValue(connection.get(), "SELECT " + QuoteBinaryLiteral("it's \\x")), "it's \\x");
  }
}

TEST(PostgreSQLBinding, OnlyThe8xBindingReadsErrorFields) {
  for (const char* protocol : {"postgresql", "postgresql-7"}) {
    Ref<IZPostgreSQLConnection> connection = Connect({}, Url(protocol));
    Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
    PGresult* result = plain->PQexec(connection->GetConnectionHandle(), "SELEC 1");
    EXPECT_EQ(plain->PQresultStatus(result), TZPgExecStatus::PGRES_FATAL_ERROR);
    EXPECT_STREQ(plain->PQresultErrorField(result, kPgDiagSqlState),
                 AnsiString(protocol) == "postgresql" ? "42601" : "")
        << protocol;
    plain->PQclear(result);
  }
}

}  // namespace

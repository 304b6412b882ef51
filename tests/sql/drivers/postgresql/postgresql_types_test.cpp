// Type mappings by name and by OID, column types, and the connection string,
// on connections that are made but never opened.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "sql/drivers/postgresql/postgresql_driver.h"
#include "sql/drivers/postgresql/postgresql_types.h"

namespace {

Ref<TZPostgreSQLConnection> Unopened(const AnsiString& url) {
  return Query<TZPostgreSQLConnection>(PostgreSQLDriver()->Connect(url, nullptr));
}

TEST(PostgreSQLTypes, TypeNamesMapInAnyCase) {
  Ref<TZPostgreSQLConnection> plain = Unopened("zdbc:postgresql://h/db");
  Ref<TZPostgreSQLConnection> oidBlobs = Unopened("zdbc:postgresql://h/db?oidasblob=yes");
  const struct {
    const char* name;
    TZSQLType type, withOidBlobs;
  } cases[] = {
      {"int4", stInteger, stInteger},         {"INT4", stInteger, stInteger},
      {"int2", stShort, stShort},             {"int8", stLong, stLong},
      {"_int4", stAsciiStream, stAsciiStream}, {"", stUnknown, stUnknown},
      {"oid", stInteger, stBinaryStream},     {"bytea", stBinaryStream, stBytes},
      {"money", stDouble, stDouble},          {"Numeric", stDouble, stDouble},
      {"bpchar", stString, stString},         {"interval", stString, stString},
      {"text", stAsciiStream, stAsciiStream}, {"_aclitem", stAsciiStream, stAsciiStream},
      {"timestamptz", stTimestamp, stTimestamp}, {"date", stDate, stDate},
      {"time", stTime, stTime},               {"bool", stBoolean, stBoolean},
      {"float4", stFloat, stFloat},           {"timetz", stUnknown, stUnknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SQLTypeFromTypeName(plain.get(), c.name), c.type) << c.name;
    EXPECT_EQ(SQLTypeFromTypeName(oidBlobs.get(), c.name), c.withOidBlobs) << c.name;
  }
}

TEST(PostgreSQLTypes, TypeOidsMapAndUnknownColumnsBecomeReadOnlyStrings) {
  Ref<TZPostgreSQLConnection> plain = Unopened("zdbc:postgresql://h/db");
  Ref<TZPostgreSQLConnection> oidBlobs = Unopened("zdbc:postgresql://h/db?oidasblob=1");
  const struct {
    Oid oid;
    TZSQLType type, withOidBlobs;
  } cases[] = {
      {16, stBoolean, stBoolean},   {17, stBinaryStream, stBytes}, {26, stInteger, stBinaryStream},
      {19, stString, stString},     {1043, stString, stString},    {1186, stString, stString},
      {20, stLong, stLong},         {21, stShort, stShort},        {23, stInteger, stInteger},
      {25, stAsciiStream, stAsciiStream}, {651, stAsciiStream, stAsciiStream},
      {1000, stAsciiStream, stAsciiStream}, {1028, stAsciiStream, stAsciiStream},
      {1029, stUnknown, stUnknown}, {790, stFloat, stFloat},      {1700, stDouble, stDouble},
      {1184, stTimestamp, stTimestamp}, {1082, stDate, stDate},   {1083, stTime, stTime},
      {1266, stUnknown, stUnknown}, {16384, stUnknown, stUnknown},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SQLTypeFromTypeOid(plain.get(), c.oid), c.type) << c.oid;
    EXPECT_EQ(SQLTypeFromTypeOid(oidBlobs.get(), c.oid), c.withOidBlobs) << c.oid;
  }

  const struct {
    Oid oid;
    bool oidBlobs;
    TZSQLType type;
    int precision;
    bool currency, readOnly;
  } columns[] = {
      {1266, false, stString, 255, false, true}, {790, false, stFloat, 0, true, false},
      {17, true, stBytes, 256, false, false},    {17, false, stBinaryStream, 0, false, false},
      {19, false, stString, 32, false, false},   {1186, false, stString, 32, false, false},
      {24, false, stString, 10, false, false},
  };
  for (const auto& c : columns) {
    TZColumnInfo info;
    info.ReadOnly = false;
    DefineColumnType(c.oidBlobs ? oidBlobs.get() : plain.get(), info, c.oid);
    EXPECT_EQ(info.ColumnType, c.type) << c.oid;
    EXPECT_EQ(info.Precision, c.precision) << c.oid;
    EXPECT_EQ(info.Currency, c.currency) << c.oid;
    EXPECT_EQ(info.ReadOnly, c.readOnly) << c.oid;
  }
}

TEST(PostgreSQLConnectString, QuotesEveryValueAndAddsOptionalItems) {
  const struct {
    const char* url;
    const char* text;
  } cases[] = {
      {"zdbc:postgresql://127.0.0.1:0/kalmir?UID=vx;PWD=a'b\\c",
       "hostaddr='127.0.0.1' port='5432' dbname='kalmir' user='vx' password='a\\'b\\\\c'"},
      {"zdbc:postgresql://db.example:6543/k", "host='db.example' port='6543' dbname='k' user='' password=''"},
      {"zdbc:postgresql://256.1.1.1/k", "host='256.1.1.1' port='5432' dbname='k' user='' password=''"},
      {"zdbc:postgresql://h/k?sslmode=require;requiressl=1",
       "host='h' port='5432' dbname='k' user='' password='' sslmode='require'"},
      {"zdbc:postgresql://h/k?requiressl=1", "host='h' port='5432' dbname='k' user='' password='' requiressl='1'"},
      {"zdbc:postgresql://h/k?timeout=0", "host='h' port='5432' dbname='k' user='' password='' connect_timeout='0'"},
      {"zdbc:postgresql://h/k?timeout=x", "host='h' port='5432' dbname='k' user='' password=''"},
      {"zdbc:postgresql://h/k?timeout=-1", "host='h' port='5432' dbname='k' user='' password=''"},
  };
  for (const auto& c : cases) EXPECT_EQ(Unopened(c.url)->BuildConnectString(), c.text) << c.url;
}

TEST(PostgreSQLConnection, ServerVersionTextsDecode) {
  const struct {
    const char* text;
    int major, minor, sub;
  } cases[] = {
      {"PostgreSQL 8.2beta1 on i686-pc-mingw32", 8, 2, 0},
      {"PostgreSQL 15.4 (Debian 15.4-1.pgdg120+1) on x86_64-pc-linux-gnu", 15, 4, 0},
      {"PostgreSQL 7.4.30 on i386", 7, 4, 30},
      {"PostgreSQL 16devel", 0, 0, 0},
      {"PostgreSQL x.y", 0, 0, 0},
      {"", 0, 0, 0},
  };
  for (const auto& c : cases) {
    int major = -1, minor = -1, sub = -1;
    DecodeServerVersion(c.text, major, minor, sub);
    EXPECT_EQ(major, c.major) << c.text;
    EXPECT_EQ(minor, c.minor) << c.text;
    EXPECT_EQ(sub, c.sub) << c.text;
  }
  int major, minor, sub;
  EXPECT_THROW(DecodeServerVersion("PostgreSQL 9.65536", major, minor, sub), ERangeError);
}

TEST(PostgreSQLConnection, ReadsItsPropertiesWithoutConnecting) {
  Ref<TZPostgreSQLConnection> connection = Unopened("zdbc:postgresql://h/k?codepage= WIN1250 ");
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetCharactersetCode(), csWIN1250);
  EXPECT_FALSE(connection->IsOidAsBlob());
  EXPECT_EQ(connection->GetConnectionHandle(), nullptr);
  EXPECT_EQ(connection->PingServer(), -1);
  EXPECT_EQ(Unopened("zdbc:postgresql://h/k")->GetCharactersetCode(), csOTHER);
  EXPECT_EQ(Unopened("zdbc:postgresql-7://h/k")->GetPlainDriver()->GetProtocol(), "postgresql-7");
  EXPECT_EQ(Unopened("zdbc:postgresql://h/k")->GetPlainDriver()->GetProtocol(), "postgresql-8");

  Ref<IZSequence> sequence = connection->CreateSequence("s'q", 1);
  EXPECT_EQ(sequence->GetCurrentValueSQL(), " CURRVAL('s\\047q') ");
  EXPECT_EQ(sequence->GetNextValueSQL(), " NEXTVAL('s\\047q') ");
}

}  // namespace

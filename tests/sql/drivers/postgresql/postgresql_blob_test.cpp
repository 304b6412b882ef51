// Large objects with "oidasblob": written from binary parameters and read
// through OID columns, inside and outside the connection's transaction
// blocks; psql's lo_get is the oracle.

#include <gtest/gtest.h>

#include "platform/rtl/streams.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/postgresql/postgresql_blob.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;

AnsiString Pattern(int size) {
  AnsiString bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((i * 7 + 3) % 256);
  return bytes;
}

std::string Hex(const AnsiString& bytes) {
  std::string hex;
  const char* digits = "0123456789abcdef";
  for (unsigned char c : bytes) hex += {digits[c / 16], digits[c % 16]};
  return hex;
}

void MakeTable() {
  Psql("DROP TABLE IF EXISTS lo_rows; CREATE TABLE lo_rows (id int, o oid); ALTER TABLE lo_rows OWNER TO vx");
}

std::vector<std::string> LoggedSince(IZPostgreSQLConnection* connection, std::size_t mark) {
  std::vector<std::string> lines = Logged(connection);
  return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(std::min(mark, lines.size())),
                                  lines.end());
}

TEST(PostgreSQLBlob, BinaryParametersBecomeNewLargeObjects) {
  for (TZTransactIsolationLevel level : {tiReadCommitted, tiNone}) {
    MakeTable();
    Ref<IZPostgreSQLConnection> connection = Make({"oidasblob=true"});
    connection->SetTransactIsolationLevel(level);
    connection->Open();
    const AnsiString data = Pattern(2500);
    Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO lo_rows VALUES (?, ?)");
    for (int id : {1, 2}) {
      insert->SetInt(1, id);
      TStringStream stream(data);
      insert->SetBinaryStream(2, &stream);
      insert->ExecuteUpdatePrepared();
    }
    // One object per execution.
    EXPECT_EQ(Psql("SELECT count(DISTINCT o) FROM lo_rows"), "2") << level;
    EXPECT_EQ(Psql("SELECT encode(lo_get(o), 'hex') FROM lo_rows WHERE id = 1"), Hex(data)) << level;

    Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT o FROM lo_rows WHERE id = 2");
    ASSERT_TRUE(rows->Next());
    EXPECT_EQ(rows->GetMetadata()->GetColumnType(1), stBinaryStream);
    EXPECT_EQ(rows->GetBlob(1)->GetString(), data) << level;
  }
}

// Outside a transaction block the driver opens one around the object's calls.
TEST(PostgreSQLBlob, ReadingWithoutIsolationRunsInItsOwnBlock) {
  const AnsiString data = Pattern(1024);
  const std::string oid = Psql("SELECT lo_from_bytea(0, decode('" + Hex(data) + "', 'hex'))");
  Psql("ALTER LARGE OBJECT " + oid + " OWNER TO vx");
  Ref<IZPostgreSQLConnection> connection = Connect({"oidasblob=true"});
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT " + oid + "::oid, NULL::oid");
  ASSERT_TRUE(rows->Next());
  Ref<IZBlob> blob = rows->GetBlob(1);
  const std::size_t mark = Logged(connection.get()).size();
  EXPECT_EQ(blob->GetLength(), 1024);
  EXPECT_EQ(blob->GetString(), data);
  // libpq looks its large-object functions up once, inside the block.
  const std::vector<std::string> block = LoggedSince(connection.get(), mark);
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(block.front(), "BEGIN");
  EXPECT_EQ(block.back(), "COMMIT");

  // A null OID is a blob of length 0 that never asks the server.
  const std::size_t before = Logged(connection.get()).size();
  Ref<IZBlob> none = rows->GetBlob(2);
  EXPECT_FALSE(none->IsEmpty());
  EXPECT_EQ(none->GetLength(), 0);
  EXPECT_EQ(Query<IZPostgreSQLBlob>(none)->GetBlobOid(), 0u);
  EXPECT_EQ(Logged(connection.get()).size(), before);
}

TEST(PostgreSQLBlob, AMissingObjectRaisesAndTheSessionGoesOn) {
  Ref<IZPostgreSQLConnection> connection = Connect({"oidasblob=true"});
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT 4000000001::oid");
  ASSERT_TRUE(rows->Next());
  Ref<IZBlob> blob = rows->GetBlob(1);
  try {
    blob->GetString();
    FAIL() << "read a missing object";
  } catch (const EZSQLException& e) {
    EXPECT_NE(e.Message().find("large object 4000000001 does not exist"), AnsiString::npos) << e.Message();
  }
  EXPECT_EQ(Logged(connection.get()).back(), "ROLLBACK");
  Ref<IZResultSet> more = connection->CreateStatement()->ExecuteQuery("SELECT 1");
  EXPECT_TRUE(more->Next());
}

// An empty blob writes nothing and refers to no object.
TEST(PostgreSQLBlob, WritingAnEmptyBlobSendsNothing) {
  Ref<IZPostgreSQLConnection> connection = Connect({"oidasblob=true"});
  auto blob = MakeRef<TZPostgreSQLBlob>(connection->GetPlainDriver(), AnsiString(), connection, 77);
  blob->Clear();
  const std::size_t mark = Logged(connection.get()).size();
  blob->WriteBlob();
  EXPECT_EQ(blob->GetBlobOid(), 0u);
  EXPECT_EQ(Logged(connection.get()).size(), mark);
}

}  // namespace

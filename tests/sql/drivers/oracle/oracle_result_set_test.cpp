// The native Oracle cursor against the client double: the first Next runs
// the query, the end is remembered, NULLs, number and date conversions, LOB
// columns read in pieces, LONG text through its buffer, and the resolver's
// DUAL queries and the sequence texts.

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_result_set.h"
#include "sql/drivers/oracle/oracle_statement.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using oci_probe::Probe;

class OracleResultSet : public OracleTest {
protected:
  void SetUp() override {
    OracleTest::SetUp();
    connection = Connect();
    ExecuteInSession(connection.get(),
                     "CREATE TABLE r (id NUMBER(10,0), amount NUMBER(5,2), day DATE, notes CLOB, image BLOB, "
                     "memo LONG, name VARCHAR2(10))");
    ExecuteInSession(connection.get(),
                     "INSERT INTO r VALUES (1, 12.5, '2024-02-29 13:05:07', printf('%.3000c', 'x'), NULL, "
                     "'long text', NULL)");
    for (int i = 2; i <= 5; ++i) ExecuteInSession(connection.get(), Format("INSERT INTO r (id) VALUES (%d)", {i}));
    connection->Commit();
    statement = connection->CreateStatement();
    oci_probe::Reset();
  }
  void TearDown() override {
    statement = nullptr;
    connection = nullptr;
    OracleTest::TearDown();
  }

  Ref<IZOracleConnection> connection;
  Ref<IZStatement> statement;
};

TEST_F(OracleResultSet, TheEndIsRememberedAndMaxRowsHolds) {
  Ref<IZResultSet> empty = statement->ExecuteQuery("SELECT id FROM r WHERE id > 9");
  EXPECT_THROW(empty->GetInt(1), EZSQLException);
  EXPECT_FALSE(empty->Next());
  const int calls = Probe().calls["OCIStmtExecute"] + Probe().calls["OCIStmtFetch"];
  EXPECT_FALSE(empty->Next());
  EXPECT_EQ(Probe().calls["OCIStmtExecute"] + Probe().calls["OCIStmtFetch"], calls);
  try {
    empty->GetInt(1);
    ADD_FAILURE() << "read after the end";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Row data is not available");
  }

  statement->SetMaxRows(2);
  Ref<IZResultSet> limited = statement->ExecuteQuery("SELECT id FROM r ORDER BY id");
  EXPECT_TRUE(limited->Next());
  EXPECT_TRUE(limited->Next());
  EXPECT_FALSE(limited->Next());
}

TEST_F(OracleResultSet, ValuesConvertFromTheirBuffers) {
  Ref<IZResultSet> rs = statement->ExecuteQuery("SELECT id, amount, day, notes, image, memo, name FROM r ORDER BY id");
  ASSERT_TRUE(rs->Next());
  // A NUMBER(5,2) is a float column, written with a point whatever the
  // desktop's separator.
  EXPECT_EQ(rs->GetMetadata()->GetColumnType(2), stDouble);
  EXPECT_EQ(rs->GetString(2), "12.5");
  // A DATE reads as its date alone.
  EXPECT_EQ(rs->GetTimestamp(3), EncodeDate(2024, 2, 29));
  EXPECT_EQ(rs->GetString(3), "2024-02-29 00:00:00");

  Probe().calls["OCILobRead"] = 0;
  Ref<IZBlob> notes = rs->GetBlob(4);
  EXPECT_EQ(Probe().calls["OCILobRead"], 0);
  EXPECT_EQ(notes->GetString(), AnsiString(3000, 'x'));
  EXPECT_EQ(Probe().calls["OCILobRead"], 3);

  Ref<IZBlob> image = rs->GetBlob(5);
  EXPECT_TRUE(rs->WasNull());
  ASSERT_NE(dynamic_cast<TZOracleBlob*>(image.get()), nullptr);
  EXPECT_EQ(dynamic_cast<TZOracleBlob*>(image.get())->GetLobLocator(), nullptr);
  EXPECT_TRUE(image->IsEmpty());

  EXPECT_EQ(rs->GetBlob(6)->GetString(), "long text");
  EXPECT_EQ(rs->GetString(6), "long text");

  EXPECT_TRUE(rs->IsNull(7));
  EXPECT_EQ(rs->GetString(7), "");
  EXPECT_TRUE(rs->WasNull());
  ASSERT_TRUE(rs->Next());
  EXPECT_TRUE(rs->IsNull(2));
  EXPECT_EQ(rs->GetInt(2), 0);
  EXPECT_THROW(rs->IsNull(8), EZSQLException);
}

// A read at the end of a LOB answers OCI_NO_DATA: an empty LOB and one of a
// whole number of pieces read whole, and the rows after them still read.
TEST_F(OracleResultSet, LobsOfEverySizeReadWholeOneAfterAnother) {
  const int sizes[] = {0, 1, 1023, 1024, 2048, 3000};
  ExecuteInSession(connection.get(), "CREATE TABLE lobs (id NUMBER(10,0), notes CLOB)");
  for (int size : sizes)
    ExecuteInSession(connection.get(), Format("INSERT INTO lobs VALUES (%d, %s)",
                                              {size, size ? Format("printf('%%.%dc', 'x')", {size}) : "''"}));
  connection->Commit();
  Ref<IZResultSet> rs = statement->ExecuteQuery("SELECT id, notes FROM lobs ORDER BY id");
  for (int size : sizes) {
    ASSERT_TRUE(rs->Next()) << size;
    EXPECT_EQ(rs->GetInt(1), size);
    EXPECT_EQ(rs->GetBlob(2)->GetString(), AnsiString(static_cast<std::size_t>(size), 'x')) << size;
  }
  EXPECT_FALSE(rs->Next());
}

TEST_F(OracleResultSet, TheResolverCalculatesDefaultsOnDual) {
  Ref<IZResultSet> rs = statement->ExecuteQuery("SELECT id FROM r");
  auto resolver = MakeRef<TZOracleCachedResolver>(statement, rs->GetMetadata());
  const struct {
    std::vector<const char*> defaults;
    const char* expected;
  } cases[] = {{{"1", "sysdate"}, "SELECT 1,sysdate FROM DUAL"},
               {{"(select max(id) from r)", "2"}, "SELECT (select max(id) from r),2 FROM DUAL"},
               {{}, ""}};
  for (const auto& c : cases) {
    TZResolverParameters columns;
    for (const char* value : c.defaults) columns.emplace_back().DefaultValue = value;
    EXPECT_EQ(resolver->FormCalculateStatement(columns), c.expected);
  }
}

TEST_F(OracleResultSet, SequencesAskDual) {
  Ref<IZSequence> sequence = connection->CreateSequence("S", 1);
  EXPECT_EQ(sequence->GetNextValueSQL(), "SELECT S.NEXTVAL FROM DUAL");
  EXPECT_EQ(sequence->GetCurrentValueSQL(), "SELECT S.CURRVAL FROM DUAL");
}

}  // namespace

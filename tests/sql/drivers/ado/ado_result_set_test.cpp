// The ADO result set: column descriptions from fields and flags (on a
// recordset built in memory), moving on the recordset's cursor, trimmed
// texts, values that do not convert, long text, and the identity a cached
// insert reads back on both ODBC drivers.

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/ado/ado_result_set.h"
#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;

Ref<Recordset15> InMemory(const std::vector<AdoColumnSpec>& columns, std::vector<std::vector<Variant>> rows,
                          bool bookmark = false) {
  auto recordset = MakeRef<Recordset15>();
  recordset->OpenInMemory(columns, std::move(rows), bookmark);
  return recordset;
}

TEST(AdoResultSetInMemory, DescribesColumnsFromFieldsAndFlags) {
  const std::vector<AdoColumnSpec> columns = {
      {"id", adInteger, 4, DBCOLUMNFLAGS_WRITE, Variant("id"), true},
      {"guid", adGUID, 16, DBCOLUMNFLAGS_WRITE, Variant("guid"), false},
      {"memo", adVarChar, 100000, DBCOLUMNFLAGS_WRITE | DBCOLUMNFLAGS_ISLONG, Variant("memo"), false},
      {"wide", adVarWChar, 10, DBCOLUMNFLAGS_WRITEUNKNOWN | DBCOLUMNFLAGS_ISLONG, Variant("wide"), false},
      {"computed", adCurrency, -1, DBCOLUMNFLAGS_WRITE, Null(), false},
      {"fixed", adUnsignedInt, 4, 0, Variant("fixed"), false},
  };
  // The bookmark column comes first in the column records and is skipped.
  auto resultSet = MakeRef<TZAdoResultSet>(nullptr, InMemory(columns, {}, true), "");
  const TZColumnInfoList& info = resultSet->GetColumnsInfo();
  ASSERT_EQ(info.Count(), 6);

  struct Expected {
    TZSQLType type;
    int size;
    bool autoIncrement, writable, readOnly, searchable, currency, isSigned;
  };
  const Expected expected[] = {
      {stInteger, 4, true, false, true, true, false, true},
      {stString, 38, false, true, false, true, false, false},
      {stAsciiStream, 100000, false, true, false, false, false, false},
      {stUnicodeStream, 10, false, true, false, false, false, false},
      {stBigDecimal, 0, false, false, false, true, true, true},
      {stInteger, 4, false, false, true, true, false, false},
  };
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(columns[i].name);
    const TZColumnInfo& column = info[i];
    EXPECT_EQ(column.ColumnLabel, columns[i].name);
    EXPECT_EQ(column.ColumnType, expected[i].type);
    EXPECT_EQ(column.Precision, expected[i].size);
    EXPECT_EQ(column.ColumnDisplaySize, expected[i].size);
    EXPECT_EQ(column.AutoIncrement, expected[i].autoIncrement);
    EXPECT_EQ(column.Writable, expected[i].writable);
    EXPECT_EQ(column.ReadOnly, expected[i].readOnly);
    EXPECT_EQ(column.Searchable, expected[i].searchable);
    EXPECT_EQ(column.Currency, expected[i].currency);
    EXPECT_EQ(column.Signed, expected[i].isSigned);
  }
}

TEST(AdoResultSetInMemory, MovesOnTheRecordsetsCursor) {
  auto resultSet = MakeRef<TZAdoResultSet>(
      nullptr, InMemory({{"n", adInteger}}, {{Variant(1)}, {Variant(2)}, {Variant(3)}}), "");
  // The recordset opens on its first record: the first Next stays there.
  ASSERT_TRUE(resultSet->Next());
  EXPECT_EQ(resultSet->GetInt(1), 1);
  EXPECT_EQ(resultSet->GetRow(), 1);
  ASSERT_TRUE(resultSet->Next());
  EXPECT_EQ(resultSet->GetInt(1), 2);

  struct Case {
    int row;
    bool found;
    int value;
  };
  for (const Case& c : {Case{3, true, 3}, Case{1, true, 1}, Case{-1, true, 3}, Case{-3, true, 1}, Case{0, false, 0},
                        Case{-4, false, 0}, Case{4, false, 0}}) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(resultSet->MoveAbsolute(c.row), c.found);
    if (c.found) {
      EXPECT_EQ(resultSet->GetInt(1), c.value);
    } else {
      EXPECT_EQ(resultSet->GetRow(), -1);
    }
  }

  auto empty = MakeRef<TZAdoResultSet>(nullptr, InMemory({{"n", adInteger}}, {}), "");
  EXPECT_FALSE(empty->Next());
  EXPECT_FALSE(empty->Next());
}

TEST(AdoResultSetInMemory, ReadsTrimmedTextsAndGivesUpOnlyWhereItMay) {
  auto resultSet = MakeRef<TZAdoResultSet>(
      nullptr,
      InMemory({{"text", adVarChar}, {"blank", adVarChar}, {"none", adVarChar}, {"bytes", adVarBinary}},
               {{Variant("abc   "), Variant("   "), Null(), Null()}}),
      "");
  ASSERT_TRUE(resultSet->Next());
  EXPECT_EQ(resultSet->GetString(1), "abc");
  EXPECT_EQ(resultSet->GetUnicodeString(1), u"abc");
  EXPECT_EQ(resultSet->GetString(2), "");
  EXPECT_FALSE(resultSet->WasNull());
  EXPECT_EQ(resultSet->GetString(3), "");
  EXPECT_TRUE(resultSet->WasNull());
  // Not a number: the numeric getters give 0, the Boolean false.
  EXPECT_EQ(resultSet->GetInt(1), 0);
  EXPECT_EQ(resultSet->GetLong(1), 0);
  EXPECT_EQ(resultSet->GetDouble(1), 0);
  EXPECT_FALSE(resultSet->GetBoolean(1));
  EXPECT_TRUE(resultSet->GetBlob(4)->IsEmpty());
  EXPECT_EQ(resultSet->GetBlob(1)->GetString(), "abc   ");
  EXPECT_EQ(ErrorOf([&] { resultSet->GetString(9); }),
            "[07009] Item cannot be found in the collection corresponding to the requested name or ordinal.");
  EXPECT_EQ(ErrorOf([&] { MakeRef<TZAdoResultSet>(nullptr, MakeRef<Recordset15>(), ""); }),
            "Cannot retrieve Resultset data");
}

class AdoResultSet : public testing::TestWithParam<Peer> {
protected:
  PeerDatabase db{GetParam()};
  Ref<IZAdoConnection> connection = db.DriverConnect();
  bool IsPostgreSQL() const { return GetParam() == Peer::PostgreSQL; }
};

TEST_P(AdoResultSet, LongTextIsAStreamThatIsNotSearchable) {
  const std::string table = db.Table("memo");
  connection->InternalExecuteStatement("CREATE TABLE " + table + " (memo text, code varchar(10))");
  connection->InternalExecuteStatement("INSERT INTO " + table + " VALUES ('" + std::string(5000, 'x') + "', 'a  ')");
  Ref<IZStatement> statement = connection->CreateStatement();
  Ref<IZResultSet> resultSet = statement->ExecuteQuery("SELECT memo, code FROM " + table);
  Ref<IZResultSetMetadata> metadata = resultSet->GetMetadata();
  EXPECT_EQ(metadata->GetColumnType(1), stAsciiStream);
  EXPECT_FALSE(metadata->IsSearchable(1));
  EXPECT_EQ(metadata->GetColumnType(2), stString);
  ASSERT_TRUE(resultSet->Next());
  EXPECT_EQ(resultSet->GetBlob(1)->GetLength(), 5000);
  EXPECT_EQ(resultSet->GetString(2), "a");
  EXPECT_FALSE(resultSet->Next());
  statement->Close();
}

TEST_P(AdoResultSet, CachedInsertReadsTheGeneratedIdentityBack) {
  const std::string table = db.Table("identity");
  connection->InternalExecuteStatement("CREATE TABLE " + table + (IsPostgreSQL() ? " (id serial primary key" : " (id integer primary key autoincrement") +
                                       ", name varchar(20))");
  connection->InternalExecuteStatement("INSERT INTO " + table + " (name) VALUES ('first')");
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> resultSet = statement->ExecuteQuery("SELECT id, name FROM " + table);
  ASSERT_TRUE(Query<IZCachedResultSet>(resultSet));
  resultSet->MoveToInsertRow();
  resultSet->UpdateString(2, "second");
  resultSet->InsertRow();
  EXPECT_EQ(std::to_string(resultSet->GetLong(1)), db.Oracle("SELECT id FROM " + table + " WHERE name = 'second'"));
  EXPECT_EQ(resultSet->GetLong(1), 2);
  // The cached row carries the key, so its next update reaches the row.
  resultSet->UpdateString(2, "third");
  resultSet->UpdateRow();
  EXPECT_EQ(db.Oracle("SELECT name FROM " + table + " WHERE id = 2"), "third");
  statement->Close();
}

// Exact numbers keep their digits both ways; numbers, dates and booleans
// read as text; a text parameter holding NUL is refused by its number.
TEST_P(AdoResultSet, ValuesKeepTheirDigitsAndReadAsText) {
  const std::string table = db.Table("texts");
  connection->InternalExecuteStatement("CREATE TABLE " + table +
                                       " (n numeric(20,6), d date, b boolean, f float, s varchar(20))");
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?)");
  insert->SetBigDecimal(1, 12345678.123456L);
  insert->SetDate(2, EncodeDate(2001, 12, 24));
  insert->SetBoolean(3, true);
  insert->SetDouble(4, 0.25);
  try {
    insert->SetString(5, AnsiString("a\0b", 3));
    ADD_FAILURE() << "a text to be cut at its NUL was taken";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The text of parameter 5 holds a NUL character, which a text parameter cannot carry");
  }
  insert->SetString(5, "ab");
  insert->ExecuteUpdatePrepared();
  EXPECT_EQ(db.Oracle("SELECT count(*) FROM " + table), "1");
  EXPECT_EQ(db.Oracle("SELECT n FROM " + table), "12345678.123456");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT n, d, b, f FROM " + table);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "12345678.123456");
  // SQLite keeps the number as a double, PostgreSQL as its decimal text.
  EXPECT_EQ(rows->GetBigDecimal(1), IsPostgreSQL() ? 12345678.123456L : static_cast<long double>(12345678.123456));
  EXPECT_EQ(rows->GetString(2), "2001-12-24");
  EXPECT_EQ(rows->GetString(3), "True");
  EXPECT_EQ(rows->GetString(4), "0.25");
}

INSTANTIATE_TEST_SUITE_P(Peers, AdoResultSet, testing::Values(Peer::SQLite, Peer::PostgreSQL), PeerName);

}  // namespace

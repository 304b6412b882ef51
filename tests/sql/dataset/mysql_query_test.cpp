// The connection component and a query against the throwaway MariaDB server,
// used the way the backup program uses them: table lists, existence checks
// and row counts, compared with what the command-line client reports; then
// reconnecting, a refused login, Czech text and every column type.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/db/db_hooks.h"
#include "platform/rtl/streams.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/support/shell_runner.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class MySQLQueryTest : public MySQLDatasetTest {
protected:
  static void SetUpTestSuite() {
    MariaDbServer::Get().Client(
        "DROP TABLE IF EXISTS ds_one, ds_two, ds_text, ds_types;"
        "CREATE TABLE ds_one (id INT PRIMARY KEY);"
        "CREATE TABLE ds_two (id INT PRIMARY KEY, ID2 INT);"
        "INSERT INTO ds_one VALUES (1),(2),(3),(4),(5);",
        "kalmir");
  }
  using MySQLDatasetTest::Open;

  // The first column of every row, as the program reads its table lists.
  std::vector<std::string> Column(const AnsiString& sql, const AnsiString& name) {
    Open(sql);
    std::vector<std::string> values;
    for (; !query->Eof(); query->Next()) values.push_back(query->FieldNamed(name)->ValueAsString());
    query->Close();
    query->SQL().Clear();
    return values;
  }

  std::string ReadBlob(const AnsiString& name) {
    std::unique_ptr<TStream> stream(query->MakeBlobStream(query->FieldNamed(name), bmRead));
    std::string bytes(stream->Size(), '\0');
    stream->Read(bytes.data(), bytes.size());
    return bytes;
  }
};

TEST_F(MySQLQueryTest, TableListMatchesTheCommandLineClient) {
  connection->Connect();
  std::vector<std::string> tables = Column("show tables from kalmir", "Tables_in_kalmir");
  EXPECT_EQ(tables, Lines(MariaDbServer::Get().Client("show tables from kalmir")));
  EXPECT_NE(std::find(tables.begin(), tables.end(), "ds_one"), tables.end());

  EXPECT_EQ(Column("show tables like \"ds_one\"", "Tables_in_kalmir (ds_one)").size(), 1u);
  EXPECT_TRUE(Column("show tables like \"ds_missing\"", "Tables_in_kalmir (ds_missing)").empty());

  Open("select count(*) as maxv from ds_one");
  EXPECT_EQ(query->FieldValueNamed("maxv").AsInteger(),
            std::stoi(MariaDbServer::Get().Client("select count(*) from ds_one", "kalmir")));
  EXPECT_EQ(query->FieldNamed("maxv")->ValueAsInteger(), 5);
}

TEST_F(MySQLQueryTest, DisconnectClosesTheQueryAndReconnectWorks) {
  Open("select id from ds_one order by id");
  EXPECT_TRUE(connection->Connected());  // opening connected it
  connection->Disconnect();
  EXPECT_FALSE(query->Active());
  EXPECT_FALSE(connection->Connected());
  connection->Connect();
  Open("select id from ds_one order by id");
  query->Last();
  EXPECT_EQ(query->FieldNamed("id")->ValueAsInteger(), 5);
}

class HourGlassCursor : public TScreenCursorService {
public:
  TScreenCursorKind Cursor() const override { return kind; }
  void SetCursor(TScreenCursorKind value) override { kind = value; }
  TScreenCursorKind kind = crHourGlass;
};

TEST_F(MySQLQueryTest, RefusedLoginRaisesAndRestoresTheCursor) {
  HourGlassCursor cursor;
  SetScreenCursorService(&cursor);
  connection->SetSQLHourGlass(true);
  connection->SetPassword("wrong");
  try {
    connection->Connect();
    ADD_FAILURE() << "connected with a wrong password";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1045);
    EXPECT_EQ(e.Message().rfind("SQL Error: ", 0), 0u) << e.Message();
  }
  EXPECT_FALSE(connection->Connected());
  EXPECT_EQ(cursor.kind, crHourGlass);
  SetScreenCursorService(nullptr);
}

TEST_F(MySQLQueryTest, DuplicateLabelsAndRecordCount) {
  Open("select id, id as ID from ds_one order by id");
  ASSERT_EQ(query->Fields().Count(), 2);
  EXPECT_EQ(query->Fields()[1]->FieldName(), "ID_1");
  EXPECT_EQ(query->RecordTotal(), 5);
  query->Close();
  query->SetFetchRow(2);
  Open("select id from ds_one");
  EXPECT_EQ(query->RecordTotal(), 2);
}

TEST_F(MySQLQueryTest, CzechTextReadsBackAsWindows1250) {
  const char* text = reinterpret_cast<const char*>(u8"Příliš žluťoučký kůň úpěl ďábelské ódy");
  MariaDbServer::Get().Client(std::string("SET NAMES utf8mb4; DROP TABLE IF EXISTS ds_text;"
                                          "CREATE TABLE ds_text (t VARCHAR(60)) CHARACTER SET utf8mb4;"
                                          "INSERT INTO ds_text VALUES ('") + text + "');",
                              "kalmir");
  std::string expected = RunShell(std::string("printf '%s' '") + text + "' | iconv -f UTF-8 -t CP1250").output;
  ASSERT_FALSE(expected.empty());
  Open("select t from ds_text");
  EXPECT_EQ(query->FieldNamed("t")->ValueAsString(), expected);
}

// The driver's own type table (tests/sql/drivers/mysql), one row of values.
TEST_F(MySQLQueryTest, EveryColumnTypeReadsThroughFields) {
  MariaDbServer::Get().Client(
      "DROP TABLE IF EXISTS ds_types;"
      "CREATE TABLE ds_types (c_tiny tinyint, c_tiny_u tinyint unsigned, c_small smallint,"
      " c_small_u smallint unsigned, c_medium mediumint, c_int int, c_int_u int unsigned, c_big bigint,"
      " c_big_u bigint unsigned, c_dec9 decimal(9,0), c_dec10 decimal(10,0), c_dec102 decimal(10,2),"
      " c_float float, c_double double, c_date date, c_time time, c_datetime datetime, c_timestamp timestamp NULL,"
      " c_year year, c_char char(10), c_varchar varchar(255), c_text text, c_longtext longtext, c_blob blob,"
      " c_enum enum('Y','N'), c_set set('a','b'), c_bit bit(8), c_binary binary(4), c_geometry geometry,"
      " c_uuid uuid);"
      "INSERT INTO ds_types VALUES (-5, 200, -300, 60000, -70000, 2147483647, 4000000000, -9000000000,"
      " 18446744073709551615, 123456789, 9876543210, 12.34, 1.5, 2.25, '2024-02-29', '13:14:15',"
      " '2024-02-29 13:14:15', '2024-02-29 13:14:15', 2024, 'ab', 'varchar', 'long text', 'longer text',"
      " x'61006200ff', 'N', 'a,b', b'10100101', 'AB', POINT(1, 2), '123e4567-e89b-12d3-a456-426614174000');",
      "kalmir");
  Open("select * from ds_types");
  const double kStamp = 45351.0 + (13 * 3600 + 14 * 60 + 15) / 86400.0;  // 2024-02-29 13:14:15
  const struct {
    const char* column;
    TFieldType type;
    std::int64_t integer;
  } integers[] = {
      {"c_tiny", ftSmallint, -5},         {"c_tiny_u", ftSmallint, 200},       {"c_small", ftSmallint, -300},
      {"c_small_u", ftInteger, 60000},    {"c_medium", ftInteger, -70000},     {"c_int", ftInteger, 2147483647},
      {"c_int_u", ftLargeint, 4000000000}, {"c_big", ftLargeint, -9000000000}, {"c_dec9", ftInteger, 123456789},
      {"c_dec10", ftLargeint, 9876543210}, {"c_year", ftSmallint, 2024},
  };
  for (const auto& c : integers) {
    TField* field = query->FieldNamed(c.column);
    EXPECT_EQ(field->DataType(), c.type) << c.column;
    EXPECT_EQ(field->ValueAsLargeInt(), c.integer) << c.column;
  }
  // Unsigned 64-bit values come as decimals, also above the signed range.
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_big_u")->ValueAsFloat(), 18446744073709551615.0);
  EXPECT_NEAR(query->FieldNamed("c_dec102")->ValueAsFloat(), 12.34, 1e-9);
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_float")->ValueAsFloat(), 1.5);
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_double")->ValueAsFloat(), 2.25);
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_date")->ValueAsDateTime(), 45351.0);
  EXPECT_NEAR(query->FieldNamed("c_time")->ValueAsDateTime(), kStamp - 45351.0, 1e-9);
  EXPECT_NEAR(query->FieldNamed("c_datetime")->ValueAsDateTime(), kStamp, 1e-9);
  EXPECT_NEAR(query->FieldNamed("c_timestamp")->ValueAsDateTime(), kStamp, 1e-9);
  const std::pair<const char*, std::string> texts[] = {
      {"c_char", "ab"}, {"c_varchar", "varchar"}, {"c_set", "a,b"}, {"c_binary", std::string("AB\0\0", 4)},
      {"c_uuid", "123e4567-e89b-12d3-a456-426614174000"}};
  for (const auto& [column, text] : texts) EXPECT_EQ(query->FieldNamed(column)->ValueAsString(), text) << column;
  // An enum of exactly 'Y' and 'N' is a boolean column.
  EXPECT_EQ(query->FieldNamed("c_enum")->DataType(), ftBoolean);
  EXPECT_FALSE(query->FieldNamed("c_enum")->ValueAsBoolean());

  const std::pair<const char*, std::string> blobs[] = {
      {"c_text", "long text"}, {"c_longtext", "longer text"}, {"c_blob", std::string("a\0b\0\xff", 5)},
      {"c_bit", "\xa5"}};
  for (const auto& [column, bytes] : blobs) {
    EXPECT_EQ(ReadBlob(column), bytes) << column;
    EXPECT_EQ(query->FieldNamed(column)->ValueAsString(), bytes) << column;
  }
  EXPECT_EQ(ReadBlob("c_geometry").size(), 25u);  // SRID and the point's binary form
}

TEST_F(MySQLQueryTest, BlobWriteStreamStoresItsBytesWhenFreed) {
  MariaDbServer::Get().Client(
      "DROP TABLE IF EXISTS ds_blob; CREATE TABLE ds_blob (id INT PRIMARY KEY, b BLOB);"
      "INSERT INTO ds_blob VALUES (1, x'610062');",
      "kalmir");
  Open("select id, b from ds_blob");
  EXPECT_TRUE(query->CachedResultSet());  // updatable results come cached
  TField* blob = query->FieldNamed("b");
  int changes = 0;
  blob->OnChange = [&](TField*) { ++changes; };
  query->Edit();
  {
    std::unique_ptr<TStream> stream(query->MakeBlobStream(blob, bmReadWrite));
    EXPECT_EQ(stream->Size(), 3);
    stream->Seek(0, soEnd);
    stream->Write("cd", 2);
  }
  EXPECT_EQ(ReadBlob("b"), std::string("a\0bcd", 5));
  delete query->MakeBlobStream(blob, bmWrite);  // nothing written: the blob becomes empty, not NULL
  EXPECT_FALSE(blob->IsNull());
  EXPECT_EQ(ReadBlob("b"), "");
  EXPECT_EQ(changes, 2);
  query->Cancel();
  EXPECT_EQ(ReadBlob("b"), std::string("a\0b", 3));  // the fetched row is untouched
}

}  // namespace

// The connection component and a query against the throwaway MariaDB server,
// used the way the backup program uses them: table lists, existence checks
// and row counts, compared with what the command-line client reports; then
// reconnecting, a refused login, Czech text and every column type.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "platform/db/db_hooks.h"
#include "platform/rtl/streams.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "sql/drivers/mysql/mysql_driver.h"
#include "tests/fixtures/mariadb/server.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What a command prints on its standard output.
std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

class MySQLQueryTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    MySQLDriver();  // links and registers the driver
    const MariaDbServer& server = MariaDbServer::Get();
    server.Client(
        "DROP TABLE IF EXISTS ds_one, ds_two, ds_text, ds_types;"
        "CREATE TABLE ds_one (id INT PRIMARY KEY);"
        "CREATE TABLE ds_two (id INT PRIMARY KEY, ID2 INT);"
        "INSERT INTO ds_one VALUES (1),(2),(3),(4),(5);",
        "kalmir");
  }

  void SetUp() override {
    const MariaDbServer& server = MariaDbServer::Get();
    connection->SetProtocol("mysql-4.1");
    connection->SetHostName("127.0.0.1");
    connection->SetPort(server.port);
    connection->SetDatabase("kalmir");
    connection->SetUser(server.user.c_str());
    connection->SetPassword(server.password.c_str());
    connection->Properties()->Add("Codepage=cp1250");
    connection->Properties()->Add("compress=yes");
    query->SetConnection(connection);
  }
  void TearDown() override {
    query->Free();
    connection->Free();
  }

  void Open(const AnsiString& sql) {
    query->SQL().Clear();
    query->SQL().Add(sql);
    query->Open();
  }

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

  TZConnection* connection = new TZConnection(nullptr);
  TZQuery* query = new TZQuery(nullptr);
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
  std::string expected = CommandOutput(std::string("printf '%s' '") + text + "' | iconv -f UTF-8 -t CP1250");
  ASSERT_FALSE(expected.empty());
  Open("select t from ds_text");
  EXPECT_EQ(query->FieldNamed("t")->ValueAsString(), expected);
}

TEST_F(MySQLQueryTest, EveryColumnTypeReadsThroughFields) {
  MariaDbServer::Get().Client(
      "DROP TABLE IF EXISTS ds_types;"
      "CREATE TABLE ds_types (c_tiny TINYINT, c_small SMALLINT, c_int INT, c_big BIGINT, c_float FLOAT,"
      " c_double DOUBLE, c_dec DECIMAL(10,2), c_char CHAR(5), c_varchar VARCHAR(20), c_date DATE,"
      " c_time TIME, c_datetime DATETIME, c_bin VARBINARY(8), c_text TEXT, c_blob BLOB, c_null INT);"
      "INSERT INTO ds_types VALUES (-5, 300, -70000, 9000000000, 1.5, 2.25, 12.34, 'ab', 'varchar',"
      " '2024-02-29', '13:14:15', '2024-02-29 13:14:15', x'00ff', 'long text', x'61006200ff', NULL);",
      "kalmir");
  Open("select * from ds_types");
  EXPECT_EQ(query->FieldNamed("c_tiny")->ValueAsInteger(), -5);
  EXPECT_EQ(query->FieldNamed("c_small")->ValueAsInteger(), 300);
  EXPECT_EQ(query->FieldNamed("c_int")->ValueAsInteger(), -70000);
  EXPECT_EQ(query->FieldNamed("c_big")->ValueAsLargeInt(), 9000000000LL);
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_float")->ValueAsFloat(), 1.5);
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_double")->ValueAsFloat(), 2.25);
  EXPECT_NEAR(query->FieldNamed("c_dec")->ValueAsFloat(), 12.34, 1e-9);
  EXPECT_EQ(query->FieldNamed("c_char")->ValueAsString(), "ab");
  EXPECT_EQ(query->FieldNamed("c_varchar")->ValueAsString(), "varchar");
  EXPECT_DOUBLE_EQ(query->FieldNamed("c_date")->ValueAsDateTime(), 45351.0);  // 2024-02-29
  EXPECT_NEAR(query->FieldNamed("c_time")->ValueAsDateTime(), (13 * 3600 + 14 * 60 + 15) / 86400.0, 1e-9);
  EXPECT_NEAR(query->FieldNamed("c_datetime")->ValueAsDateTime(), 45351.0 + (13 * 3600 + 14 * 60 + 15) / 86400.0,
              1e-9);
  // A shorter value is padded with zeros to the column's size.
  EXPECT_EQ(query->FieldNamed("c_bin")->ValueAsString(), std::string("\0\xff\0\0\0\0\0\0", 8));
  EXPECT_TRUE(query->FieldNamed("c_null")->IsNull());

  for (auto [name, bytes] : {std::pair<const char*, std::string>{"c_text", "long text"},
                             {"c_blob", std::string("a\0b\0\xff", 5)}}) {
    EXPECT_EQ(ReadBlob(name), bytes) << name;
    EXPECT_EQ(query->FieldNamed(name)->ValueAsString(), bytes) << name;
  }
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
  delete query->MakeBlobStream(blob, bmWrite);  // nothing written: the blob becomes empty
  EXPECT_TRUE(blob->IsNull());
  EXPECT_EQ(changes, 2);
  query->Cancel();
  EXPECT_EQ(ReadBlob("b"), std::string("a\0b", 3));  // the fetched row is untouched
}

}  // namespace

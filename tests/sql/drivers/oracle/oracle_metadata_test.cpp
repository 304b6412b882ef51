// Oracle metadata against the client double, whose data dictionary views
// are fixture tables of the schema SYS: the fixed answers, the texts every
// builder sends, the conversions of columns and indexes, quoted names, and
// the cache.

#include <gtest/gtest.h>

#include <algorithm>

#include "sql/drivers/oracle/oracle_metadata.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using oci_probe::EventsStartingWith;

constexpr const char* kDictionary[] = {
    "CREATE TABLE SYS.ALL_TABLES (OWNER VARCHAR2(30), TABLE_NAME VARCHAR2(30))",
    "CREATE TABLE SYS.ALL_SYNONYMS (OWNER VARCHAR2(30), SYNONYM_NAME VARCHAR2(30))",
    "CREATE TABLE SYS.ALL_VIEWS (OWNER VARCHAR2(30), VIEW_NAME VARCHAR2(30))",
    "CREATE TABLE SYS.ALL_SEQUENCES (SEQUENCE_OWNER VARCHAR2(30), SEQUENCE_NAME VARCHAR2(30))",
    "CREATE TABLE SYS.ALL_USERS (USERNAME VARCHAR2(30))",
    "CREATE TABLE SYS.ALL_TAB_COLUMNS (OWNER VARCHAR2(30), TABLE_NAME VARCHAR2(30), COLUMN_NAME VARCHAR2(30), "
    "DATA_TYPE VARCHAR2(106), DATA_LENGTH NUMBER(10,0), DATA_PRECISION NUMBER(10,0), DATA_SCALE NUMBER(10,0), "
    "NULLABLE VARCHAR2(1), DATA_DEFAULT LONG, COLUMN_ID NUMBER(10,0))",
    "CREATE TABLE SYS.ALL_COL_PRIVS (TABLE_SCHEMA VARCHAR2(30), TABLE_NAME VARCHAR2(30), COLUMN_NAME VARCHAR2(30), "
    "GRANTOR VARCHAR2(30), GRANTEE VARCHAR2(30), PRIVILEGE VARCHAR2(40), GRANTABLE VARCHAR2(3))",
    "CREATE TABLE SYS.ALL_TAB_PRIVS (TABLE_SCHEMA VARCHAR2(30), TABLE_NAME VARCHAR2(30), GRANTOR VARCHAR2(30), "
    "GRANTEE VARCHAR2(30), PRIVILEGE VARCHAR2(40), GRANTABLE VARCHAR2(3))",
    "CREATE TABLE SYS.ALL_INDEXES (OWNER VARCHAR2(30), INDEX_NAME VARCHAR2(30), TABLE_OWNER VARCHAR2(30), "
    "TABLE_NAME VARCHAR2(30), UNIQUENESS VARCHAR2(9), GENERATED VARCHAR2(1))",
    "CREATE TABLE SYS.ALL_IND_COLUMNS (INDEX_OWNER VARCHAR2(30), INDEX_NAME VARCHAR2(30), TABLE_OWNER VARCHAR2(30), "
    "TABLE_NAME VARCHAR2(30), COLUMN_NAME VARCHAR2(30), COLUMN_POSITION NUMBER(10,0), DESCEND VARCHAR2(4))",
    "INSERT INTO SYS.ALL_TABLES VALUES ('SCOTT', 'EMP'), ('SCOTT', 'O''BRIEN')",
    "INSERT INTO SYS.ALL_SYNONYMS VALUES ('SCOTT', 'E')",
    "INSERT INTO SYS.ALL_VIEWS VALUES ('SCOTT', 'EMP_V')",
    "INSERT INTO SYS.ALL_SEQUENCES VALUES ('SCOTT', 'EMP_SEQ')",
    "INSERT INTO SYS.ALL_USERS VALUES ('SCOTT'), ('SYSTEM')",
    "INSERT INTO SYS.ALL_TAB_COLUMNS VALUES "
    "('SCOTT', 'EMP', 'ID', 'NUMBER', 22, 10, 0, 'N', NULL, 1), "
    "('SCOTT', 'EMP', 'SAL', 'NUMBER', 22, 8, 2, 'Y', '0', 2), "
    "('SCOTT', 'EMP', 'NAME', 'VARCHAR2', 30, NULL, NULL, 'Y', NULL, 3), "
    "('SCOTT', 'EMP', 'HIRED', 'TIMESTAMP(6)', 11, NULL, 6, 'Y', NULL, 4)",
    "INSERT INTO SYS.ALL_INDEXES VALUES ('SCOTT', 'SYS_C001', 'SCOTT', 'EMP', 'UNIQUE', 'Y'), "
    "('SCOTT', 'EMP_NAME', 'SCOTT', 'EMP', 'NONUNIQUE', 'N')",
    "INSERT INTO SYS.ALL_IND_COLUMNS VALUES ('SCOTT', 'SYS_C001', 'SCOTT', 'EMP', 'ID', 1, 'ASC'), "
    "('SCOTT', 'EMP_NAME', 'SCOTT', 'EMP', 'NAME', 1, 'DESC')",
};

constexpr char kTablesTable[] =
    "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, TABLE_NAME, 'TABLE' AS TABLE_TYPE, NULL AS REMARKS FROM "
    "SYS.ALL_TABLES WHERE OWNER LIKE '%' AND TABLE_NAME LIKE '%'";
constexpr char kTablesSynonym[] =
    "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, SYNONYM_NAME AS TABLE_NAME, 'SYNONYM' AS TABLE_TYPE, NULL AS "
    "REMARKS FROM SYS.ALL_SYNONYMS WHERE OWNER LIKE '%' AND SYNONYM_NAME LIKE '%'";
constexpr char kTablesView[] =
    "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, VIEW_NAME AS TABLE_NAME, 'VIEW' AS TABLE_TYPE, NULL AS REMARKS "
    "FROM SYS.ALL_VIEWS WHERE OWNER LIKE '%' AND VIEW_NAME LIKE '%'";
constexpr char kTablesSequence[] =
    "SELECT NULL AS TABLE_CAT, SEQUENCE_OWNER AS TABLE_SCHEM, SEQUENCE_NAME AS TABLE_NAME, 'SEQUENCE' AS TABLE_TYPE, "
    "NULL AS REMARKS FROM SYS.ALL_SEQUENCES WHERE SEQUENCE_OWNER LIKE '%' AND SEQUENCE_NAME LIKE '%'";

class OracleMetadata : public OracleTest {
protected:
  void SetUp() override {
    OracleTest::SetUp();
    connection = Connect();
    for (const char* sql : kDictionary) ExecuteInSession(connection.get(), sql);
    connection->Commit();
    metadata = connection->GetMetadata();
    oci_probe::Reset();
  }
  void TearDown() override {
    metadata = nullptr;
    connection = nullptr;
    OracleTest::TearDown();
  }

  // The texts the client was given to prepare since the last reset.
  std::vector<std::string> Sent() {
    std::vector<std::string> texts;
    for (const std::string& event : EventsStartingWith("prepare ")) texts.push_back(event.substr(8));
    oci_probe::Reset();
    return texts;
  }
  static std::vector<std::string> Column(const Ref<IZResultSet>& rs, int column) {
    std::vector<std::string> values;
    while (rs->Next()) values.push_back(rs->GetString(column));
    return values;
  }

  Ref<IZOracleConnection> connection;
  Ref<IZDatabaseMetadata> metadata;
};

TEST_F(OracleMetadata, FixedAnswers) {
  EXPECT_EQ(metadata->GetDatabaseProductName(), "Oracle");
  EXPECT_EQ(metadata->GetDriverName(), "Database Connectivity Driver for Oracle");
  EXPECT_EQ(metadata->GetSchemaTerm(), "schema");
  EXPECT_EQ(metadata->GetSearchStringEscape(), "//");
  EXPECT_EQ(metadata->GetExtraNameCharacters(), "$#");
  EXPECT_EQ(metadata->GetSystemFunctions(), "USER");
  EXPECT_EQ(metadata->GetTimeDateFunctions(), "CURDATE,CURTIME,DAYOFMONTH,HOUR,MINUTE,MONTH,NOW,SECOND,YEAR");
  EXPECT_EQ(metadata->GetMaxColumnsInIndex(), 32);
  EXPECT_EQ(metadata->GetMaxStatementLength(), 65535);
  EXPECT_TRUE(metadata->StoresUpperCaseIdentifiers());
  EXPECT_FALSE(metadata->StoresMixedCaseIdentifiers());
  EXPECT_TRUE(metadata->SupportsResultSetType(rtForwardOnly));
  EXPECT_FALSE(metadata->SupportsResultSetType(rtScrollInsensitive));
  EXPECT_TRUE(metadata->SupportsResultSetConcurrency(rtForwardOnly, rcReadOnly));
  EXPECT_FALSE(metadata->SupportsResultSetConcurrency(rtForwardOnly, rcUpdatable));
  EXPECT_EQ(Column(metadata->GetTableTypes(), 1), (std::vector<std::string>{"TABLE", "SYNONYM", "VIEW", "SEQUENCE"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{});
}

TEST_F(OracleMetadata, TablesJoinTheWantedTypes) {
  EXPECT_EQ(Column(metadata->GetTables("", "", "", {}), 3).size(), 5u);
  EXPECT_EQ(Sent(), std::vector<std::string>{std::string(kTablesTable) + " UNION " + kTablesSynonym + " UNION " +
                                             kTablesView + " UNION " + kTablesSequence});
  Ref<IZResultSet> two = metadata->GetTables("", "", "", {"view", "Table"});
  EXPECT_EQ(Sent(), std::vector<std::string>{std::string(kTablesTable) + " UNION " + kTablesView});
  std::vector<std::string> names = Column(two, 3);
  std::sort(names.begin(), names.end());  // a UNION keeps no order
  EXPECT_EQ(names, (std::vector<std::string>{"EMP", "EMP_V", "O'BRIEN"}));
  // A second call is answered from the cache.
  metadata->GetTables("", "", "", {"view", "Table"});
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  // None of the four types: an empty answer, nothing sent.
  EXPECT_FALSE(metadata->GetTables("", "", "", {"INDEX"})->Next());
  EXPECT_EQ(Sent(), std::vector<std::string>{});
  // Quotes in names and patterns are doubled.
  EXPECT_EQ(Column(metadata->GetTables("", "SCOTT", "O'BRIEN", {"TABLE"}), 3), std::vector<std::string>{"O'BRIEN"});
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, TABLE_NAME, 'TABLE' AS TABLE_TYPE, NULL AS "
                        "REMARKS FROM SYS.ALL_TABLES WHERE OWNER LIKE 'SCOTT' AND TABLE_NAME LIKE 'O''BRIEN'"});
}

TEST_F(OracleMetadata, ColumnsMapTypesAndNullability) {
  Ref<IZResultSet> rs = metadata->GetColumns("", "SCOTT", "EMP", "");
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL, OWNER, TABLE_NAME, COLUMN_NAME, NULL, DATA_TYPE, DATA_LENGTH, NULL, "
                        "DATA_PRECISION, DATA_SCALE, NULLABLE, NULL, DATA_DEFAULT, NULL, NULL, NULL, COLUMN_ID, "
                        "NULLABLE FROM SYS.ALL_TAB_COLUMNS WHERE OWNER LIKE 'SCOTT' AND TABLE_NAME LIKE 'EMP' AND "
                        "COLUMN_NAME LIKE '%'"});
  const struct {
    const char* name;
    TZSQLType type;
    int digits;
    int nullable;
    const char* isNullable;
  } expected[] = {{"ID", stLong, 0, 0, "NO"},
                  {"SAL", stDouble, 2, 1, "YES"},
                  {"NAME", stString, 0, 1, "YES"},
                  {"HIRED", stTimestamp, 6, 1, "YES"}};
  for (const auto& column : expected) {
    ASSERT_TRUE(rs->Next());
    EXPECT_EQ(rs->GetString(4), column.name);
    EXPECT_EQ(rs->GetInt(5), column.type) << column.name;
    EXPECT_EQ(rs->GetInt(9), column.digits) << column.name;
    EXPECT_EQ(rs->GetInt(10), 10);
    EXPECT_EQ(rs->GetInt(11), column.nullable);
    EXPECT_EQ(rs->GetString(18), column.isNullable);
  }
  EXPECT_FALSE(rs->Next());
}

TEST_F(OracleMetadata, KeysIndexesPrivilegesAndSchemas) {
  Ref<IZResultSet> indexes = metadata->GetIndexInfo("", "SCOTT", "EMP", false, false);
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL, A.OWNER, A.TABLE_NAME, A.UNIQUENESS, NULL, A.INDEX_NAME, 3, B.COLUMN_POSITION, "
                        "B.COLUMN_NAME, B.DESCEND, 0, 0, NULL FROM ALL_INDEXES A, ALL_IND_COLUMNS B WHERE "
                        "A.OWNER=B.INDEX_OWNER AND A.INDEX_NAME=B.INDEX_NAME AND A.TABLE_OWNER=B.TABLE_OWNER AND "
                        "A.TABLE_NAME=B.TABLE_NAME AND A.TABLE_OWNER='SCOTT' AND A.TABLE_NAME='EMP' ORDER BY "
                        "A.UNIQUENESS DESC, A.INDEX_NAME, B.COLUMN_POSITION"});
  ASSERT_TRUE(indexes->Next());
  EXPECT_EQ(indexes->GetString(6), "SYS_C001");
  EXPECT_FALSE(indexes->GetBoolean(4));
  EXPECT_EQ(indexes->GetString(10), "A");
  EXPECT_EQ(indexes->GetInt(7), 3);
  ASSERT_TRUE(indexes->Next());
  EXPECT_TRUE(indexes->GetBoolean(4));
  EXPECT_EQ(indexes->GetString(10), "D");

  EXPECT_EQ(Column(metadata->GetIndexInfo("", "SCOTT", "EMP", true, false), 6), std::vector<std::string>{"SYS_C001"});
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL, A.OWNER, A.TABLE_NAME, A.UNIQUENESS, NULL, A.INDEX_NAME, 3, B.COLUMN_POSITION, "
                        "B.COLUMN_NAME, B.DESCEND, 0, 0, NULL FROM ALL_INDEXES A, ALL_IND_COLUMNS B WHERE "
                        "A.OWNER=B.INDEX_OWNER AND A.INDEX_NAME=B.INDEX_NAME AND A.TABLE_OWNER=B.TABLE_OWNER AND "
                        "A.TABLE_NAME=B.TABLE_NAME AND A.TABLE_OWNER='SCOTT' AND A.TABLE_NAME='EMP' AND "
                        "A.UNIQUENESS='UNIQUE' ORDER BY A.UNIQUENESS DESC, A.INDEX_NAME, B.COLUMN_POSITION"});

  EXPECT_EQ(Column(metadata->GetPrimaryKeys("", "", "EMP"), 4), std::vector<std::string>{"ID"});
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL AS TABLE_CAT, A.OWNER AS TABLE_SCHEM, A.TABLE_NAME, B.COLUMN_NAME, "
                        "B.COLUMN_POSITION AS KEY_SEQ, A.INDEX_NAME AS PK_NAME FROM ALL_INDEXES A, ALL_IND_COLUMNS B "
                        "WHERE A.OWNER=B.INDEX_OWNER AND A.INDEX_NAME=B.INDEX_NAME AND A.TABLE_OWNER=B.TABLE_OWNER "
                        "AND A.TABLE_NAME=B.TABLE_NAME AND A.UNIQUENESS='UNIQUE' AND A.GENERATED='Y' AND "
                        "A.INDEX_NAME LIKE 'SYS_%' AND A.TABLE_NAME='EMP' ORDER BY A.INDEX_NAME, B.COLUMN_POSITION"});

  EXPECT_EQ(Column(metadata->GetSchemas(), 1), (std::vector<std::string>{"SCOTT", "SYSTEM"}));
  EXPECT_EQ(Sent(), std::vector<std::string>{"SELECT USERNAME AS TABLE_SCHEM FROM SYS.ALL_USERS"});

  metadata->GetColumnPrivileges("", "SCOTT", "", "");
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL AS TABLE_CAT, TABLE_SCHEMA AS TABLE_SCHEM, TABLE_NAME, COLUMN_NAME, GRANTOR, "
                        "GRANTEE, PRIVILEGE, GRANTABLE AS IS_GRANTABLE FROM SYS.ALL_COL_PRIVS WHERE "
                        "TABLE_SCHEMA='SCOTT' AND COLUMN_NAME LIKE '%'"});
  metadata->GetTablePrivileges("", "", "EMP");
  EXPECT_EQ(Sent(), std::vector<std::string>{
                        "SELECT NULL AS TABLE_CAT, TABLE_SCHEMA AS TABLE_SCHEM, TABLE_NAME, GRANTOR, GRANTEE, "
                        "PRIVILEGE, GRANTABLE AS IS_GRANTABLE FROM SYS.ALL_TAB_PRIVS WHERE TABLE_SCHEMA LIKE '%' AND "
                        "TABLE_NAME LIKE 'EMP'"});
}

}  // namespace

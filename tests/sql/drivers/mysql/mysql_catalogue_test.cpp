// The MySQL catalogue against the throwaway server: tables with their exact
// name fallback, column sizes and defaults, keys and indexes, names that need
// escaping, and what a result set's metadata learns from the catalogue.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"

namespace {

using namespace mysql_test;

class MySQLCatalogue : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    MariaDbServer::Get().Client(
        "DROP TABLE IF EXISTS cat_cols, cat_keys, `cat_o'neil`, cat_a_b, cat_aXb, cat_child;"
        "CREATE TABLE cat_cols (id int(11) unsigned NOT NULL AUTO_INCREMENT PRIMARY KEY, "
        "price decimal(10,2), flag enum('Y','N') DEFAULT 'Y', name varchar(20) NOT NULL DEFAULT '', "
        "notes mediumtext, stamp timestamp NOT NULL DEFAULT current_timestamp(), "
        "stamp3 datetime(3) DEFAULT CURRENT_TIMESTAMP(3), `day` date DEFAULT '2007-03-05', "
        "quoted varchar(20) DEFAULT 'it''s', plain int);"
        "CREATE TABLE cat_keys (a int NOT NULL, b int NOT NULL, c int, PRIMARY KEY (b, a), "
        "UNIQUE KEY u_c (c), KEY i_a (a));"
        "CREATE TABLE `cat_o'neil` (x int);"
        "CREATE TABLE cat_a_b (x int); CREATE TABLE cat_aXb (y int);"
        "CREATE TABLE cat_child (p int, q int) ENGINE=InnoDB "
        "COMMENT='InnoDB free: 0 kB; (`p`) REFER `kalmir/cat_keys`(`b`); (`q`) REFER `kalmir/cat_cols`(`id`)';"
        "GRANT SELECT (x), UPDATE (x) ON kalmir.cat_a_b TO 'vx'@'127.0.0.1';"
        "GRANT INSERT, DELETE ON kalmir.cat_aXb TO 'vx'@'127.0.0.1';",
        "kalmir");
  }
  void SetUp() override { metadata = Connect()->GetMetadata(); }

  // Column values of every row of a catalogue answer, by column name.
  static std::vector<AnsiString> Values(const Ref<IZResultSet>& rows, const AnsiString& column) {
    std::vector<AnsiString> values;
    const int index = rows->FindColumn(column);
    rows->BeforeFirst();
    while (rows->Next()) values.push_back(rows->IsNull(index) ? AnsiString("<null>") : rows->GetString(index));
    return values;
  }

  Ref<IZDatabaseMetadata> metadata;
};

TEST_F(MySQLCatalogue, TablesByPatternAndByExactName) {
  std::vector<AnsiString> all = Values(metadata->GetTables("", "", "", {}), "TABLE_NAME");
  EXPECT_NE(std::find(all.begin(), all.end(), "cat_cols"), all.end());
  EXPECT_EQ(Values(metadata->GetTables("", "", "cat_co%", {}), "TABLE_NAME"), (std::vector<AnsiString>{"cat_cols"}));
  EXPECT_EQ(Values(metadata->GetTables("", "", "cat_cols", {}), "TABLE_CAT"), (std::vector<AnsiString>{"kalmir"}));
  // A quote in the name is escaped, not sent as the end of the text.
  EXPECT_EQ(Values(metadata->GetTables("", "", "cat_o'neil", {}), "TABLE_NAME"),
            (std::vector<AnsiString>{"cat_o'neil"}));
  EXPECT_TRUE(Values(metadata->GetTables("", "", "cat_nothing", {}), "TABLE_NAME").empty());
  EXPECT_TRUE(Values(metadata->GetTables("", "", "x' OR '1'='1", {}), "TABLE_NAME").empty());
  EXPECT_EQ(Values(metadata->GetTables("kalmir", "", "cat_cols", {}), "TABLE_TYPE"),
            (std::vector<AnsiString>{"TABLE"}));
}

TEST_F(MySQLCatalogue, ColumnsCarrySizesDefaultsAndFlags) {
  Ref<IZResultSet> columns = metadata->GetColumns("", "", "cat_cols", "");
  EXPECT_EQ(Values(columns, "COLUMN_NAME"), (std::vector<AnsiString>{"id", "price", "flag", "name", "notes", "stamp",
                                                                      "stamp3", "day", "quoted", "plain"}));
  EXPECT_EQ(Values(columns, "TYPE_NAME"), (std::vector<AnsiString>{"int", "decimal", "enum", "varchar", "mediumtext",
                                                                    "timestamp", "datetime", "date", "varchar", "int"}));
  EXPECT_EQ(Values(columns, "DATA_TYPE"),
            (std::vector<AnsiString>{IntToStr(stLong), IntToStr(stDouble), IntToStr(stBoolean), IntToStr(stString),
                                     IntToStr(stAsciiStream), IntToStr(stTimestamp), IntToStr(stTimestamp),
                                     IntToStr(stDate), IntToStr(stString), IntToStr(stInteger)}));
  EXPECT_EQ(Values(columns, "COLUMN_SIZE"),
            (std::vector<AnsiString>{"11", "10", "3", "20", "16777215", "19", "3", "10", "20", "11"}));
  EXPECT_EQ(Values(columns, "DECIMAL_DIGITS"),
            (std::vector<AnsiString>{"0", "2", "0", "0", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(Values(columns, "COLUMN_DEF"),
            (std::vector<AnsiString>{"<null>", "<null>", "1", "''", "<null>", "current_timestamp()",
                                     "current_timestamp(3)", "'2007-03-05'", "'it\\'s'", "<null>"}));
  EXPECT_EQ(Values(columns, "IS_NULLABLE"),
            (std::vector<AnsiString>{"NO", "YES", "YES", "NO", "YES", "NO", "YES", "YES", "YES", "YES"}));
  EXPECT_EQ(Values(columns, "AUTO_INCREMENT")[0], "True");
  EXPECT_EQ(Values(columns, "AUTO_INCREMENT")[1], "False");
  EXPECT_EQ(Values(columns, "ORDINAL_POSITION").back(), "10");

  EXPECT_EQ(Values(metadata->GetColumns("", "", "cat_cols", "pr%"), "COLUMN_NAME"),
            (std::vector<AnsiString>{"price"}));
}

TEST_F(MySQLCatalogue, KeysAndIndexes) {
  Ref<IZResultSet> keys = metadata->GetPrimaryKeys("", "", "cat_keys");
  EXPECT_EQ(Values(keys, "COLUMN_NAME"), (std::vector<AnsiString>{"b", "a"}));
  EXPECT_EQ(Values(keys, "KEY_SEQ"), (std::vector<AnsiString>{"1", "2"}));

  Ref<IZResultSet> indexes = metadata->GetIndexInfo("", "", "cat_keys", false, false);
  EXPECT_EQ(Values(indexes, "INDEX_NAME"), (std::vector<AnsiString>{"PRIMARY", "PRIMARY", "u_c", "i_a"}));
  EXPECT_EQ(Values(indexes, "NON_UNIQUE"), (std::vector<AnsiString>{"False", "False", "False", "True"}));
  EXPECT_EQ(Values(indexes, "COLUMN_NAME"), (std::vector<AnsiString>{"b", "a", "c", "a"}));

  for (auto query : std::initializer_list<std::function<void()>>{
           [&] { metadata->GetPrimaryKeys("", "", ""); }, [&] { metadata->GetIndexInfo("", "", "", false, false); },
           [&] { metadata->GetImportedKeys("", "", ""); }, [&] { metadata->GetExportedKeys("", "", ""); },
           [&] { metadata->GetCrossReference("", "", "", "", "", "cat_keys"); }}) {
    try {
      query();
      ADD_FAILURE() << "a key query ran without a table";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Table is not specified");
    }
  }
}

TEST_F(MySQLCatalogue, PrivilegesOnePerRow) {
  Ref<IZResultSet> columns = metadata->GetColumnPrivileges("", "", "cat_a_b", "");
  EXPECT_EQ(Values(columns, "PRIVILEGE"), (std::vector<AnsiString>{"Select", "Update"}));
  EXPECT_EQ(Values(columns, "COLUMN_NAME"), (std::vector<AnsiString>{"x", "x"}));
  EXPECT_EQ(Values(columns, "GRANTEE"), (std::vector<AnsiString>{"vx@127.0.0.1", "vx@127.0.0.1"}));

  Ref<IZResultSet> tables = metadata->GetTablePrivileges("", "", "cat_aXb");
  EXPECT_EQ(Values(tables, "PRIVILEGE"), (std::vector<AnsiString>{"Insert", "Delete"}));
  EXPECT_EQ(Values(tables, "TABLE_NAME"), (std::vector<AnsiString>{"cat_aXb", "cat_aXb"}));
}

// Keys written the old way into InnoDB table comments.
TEST_F(MySQLCatalogue, ForeignKeysFromTableComments) {
  Ref<IZResultSet> imported = metadata->GetImportedKeys("", "", "cat_child");
  EXPECT_EQ(Values(imported, "PKTABLE_NAME"), (std::vector<AnsiString>{"cat_keys", "cat_cols"}));
  EXPECT_EQ(Values(imported, "PKCOLUMN_NAME"), (std::vector<AnsiString>{"b", "id"}));
  EXPECT_EQ(Values(imported, "FKCOLUMN_NAME"), (std::vector<AnsiString>{"p", "q"}));
  EXPECT_EQ(Values(imported, "KEY_SEQ"), (std::vector<AnsiString>{"0", "1"}));

  Ref<IZResultSet> exported = metadata->GetExportedKeys("", "", "cat_keys");
  EXPECT_EQ(Values(exported, "FKTABLE_NAME"), (std::vector<AnsiString>{"cat_child", "cat_child"}));
  Ref<IZResultSet> cross = metadata->GetCrossReference("", "", "cat_keys", "", "", "cat_child");
  EXPECT_EQ(Values(cross, "FKCOLUMN_NAME"), (std::vector<AnsiString>{"p"}));
  EXPECT_EQ(Values(cross, "PKCOLUMN_NAME"), (std::vector<AnsiString>{"b"}));
}

// An exact table name after LIKE has its wildcards escaped: "cat_a_b" must
// not also find "cat_aXb".
TEST_F(MySQLCatalogue, ExactNamesEscapeWildcards) {
  Ref<IZMySQLConnection> connection = Connect();
  const unsigned long threadId = connection->GetPlainDriver()->GetThreadId(connection->GetConnectionHandle());
  EXPECT_TRUE(Values(connection->GetMetadata()->GetImportedKeys("", "", "cat_a_b"), "FKTABLE_NAME").empty());
  std::vector<AnsiString> log = GeneralLog(threadId);
  EXPECT_NE(std::find(log.begin(), log.end(), "Query SHOW TABLE STATUS FROM kalmir LIKE 'cat\\\\_a\\\\_b'"),
            log.end());
  // A pattern with escaped wildcards names one table and its columns alone.
  EXPECT_EQ(Values(metadata->GetColumns("", "", metadata->AddEscapeCharToWildcards("cat_a_b"), ""), "COLUMN_NAME"),
            (std::vector<AnsiString>{"x"}));
}

TEST_F(MySQLCatalogue, SelectMetadataComesFromTheCatalogue) {
  Ref<IZResultSet> rows = Connect()->CreateStatement()->ExecuteQuery("select * from cat_cols");
  Ref<IZResultSetMetadata> columns = rows->GetMetadata();
  ASSERT_EQ(columns->GetColumnCount(), 10);
  EXPECT_EQ(columns->GetTableName(1), "cat_cols");
  EXPECT_EQ(columns->GetColumnName(4), "name");
  EXPECT_TRUE(columns->IsWritable(4));
  EXPECT_FALSE(columns->IsReadOnly(4));
  EXPECT_TRUE(columns->IsAutoIncrement(1));
  EXPECT_EQ(columns->GetColumnType(3), stBoolean);
  EXPECT_EQ(columns->GetDefaultValue(4), "''");

  Ref<IZResultSet> computed = Connect()->CreateStatement()->ExecuteQuery("select 1 + 1 as two");
  EXPECT_TRUE(computed->GetMetadata()->IsReadOnly(1));
  EXPECT_FALSE(computed->GetMetadata()->IsWritable(1));
}

TEST_F(MySQLCatalogue, CatalogsAndTableTypes) {
  std::vector<AnsiString> catalogs = Values(metadata->GetCatalogs(), "TABLE_CAT");
  EXPECT_NE(std::find(catalogs.begin(), catalogs.end(), "kalmir"), catalogs.end());
  EXPECT_EQ(Values(metadata->GetTableTypes(), "TABLE_TYPE"), (std::vector<AnsiString>{"TABLE"}));
}

}  // namespace

// The SQLite catalogue on a real file made with the sqlite3 tool: tables and
// views, columns, keys, indexes, the type table, awkward names, and the
// fixed capability answers.

#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

#include "platform/rtl/numbers.h"

namespace sqlite_test {
namespace {

class SQLiteMetadata : public SQLiteTest {
protected:
  void SetUp() override {
    Tool("CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(30) NOT NULL DEFAULT 'x');"
         "CREATE TABLE pairs (a INTEGER, b TEXT UNIQUE, c INT, PRIMARY KEY (b, a));"
         "CREATE INDEX pairs_c ON pairs (c, a);"
         "CREATE UNIQUE INDEX pairs_u ON pairs (c);"
         "CREATE VIEW grown AS SELECT * FROM people;"
         "CREATE TABLE [it's] (\"qu\"\"ote\" INTEGER PRIMARY KEY, v VARCHAR(3));"
         "CREATE INDEX [it's idx] ON [it's] (v);");
    connection = Connect();
    metadata = connection->GetMetadata();
  }

  // Column values of every row, "|" between them, NULL as "NULL".
  static std::vector<AnsiString> Rows(const Ref<IZResultSet>& rows, std::initializer_list<const char*> columns) {
    std::vector<AnsiString> lines;
    while (rows->Next()) {
      AnsiString line;
      for (const char* column : columns) {
        if (!line.empty()) line += '|';
        AnsiString value = rows->GetStringByName(column);
        line += rows->WasNull() ? AnsiString("NULL") : value;
      }
      lines.push_back(line);
    }
    return lines;
  }

  Ref<IZSQLiteConnection> connection;
  Ref<IZDatabaseMetadata> metadata;
};

TEST_F(SQLiteMetadata, TablesAndViewsAreListedByType) {
  EXPECT_EQ(Rows(metadata->GetTables("", "", "", {}), {"TABLE_NAME", "TABLE_TYPE"}),
            (std::vector<AnsiString>{"people|TABLE", "pairs|TABLE", "grown|VIEW", "it's|TABLE"}));
  EXPECT_EQ(Rows(metadata->GetTables("", "", "p%", {"table"}), {"TABLE_NAME"}),
            (std::vector<AnsiString>{"people", "pairs"}));
  EXPECT_EQ(Rows(metadata->GetTables("main", "", "", {"VIEW"}), {"TABLE_CAT", "TABLE_NAME"}),
            (std::vector<AnsiString>{"main|grown"}));
  EXPECT_EQ(Rows(metadata->GetTables("", "", "it's", {}), {"TABLE_NAME"}), (std::vector<AnsiString>{"it's"}));
  EXPECT_TRUE(Rows(metadata->GetTables("", "", "", {"SYSTEM TABLE"}), {"TABLE_NAME"}).empty());
  EXPECT_EQ(Rows(metadata->GetTableTypes(), {"TABLE_TYPE"}), (std::vector<AnsiString>{"TABLE", "VIEW"}));
}

TEST_F(SQLiteMetadata, ColumnsAreDescribedFromTheirDeclarations) {
  EXPECT_EQ(Rows(metadata->GetColumns("", "", "people", ""),
                 {"TABLE_CAT", "TABLE_NAME", "COLUMN_NAME", "DATA_TYPE", "TYPE_NAME", "COLUMN_SIZE", "NULLABLE",
                  "IS_NULLABLE", "COLUMN_DEF", "ORDINAL_POSITION", "AUTO_INCREMENT"}),
            (std::vector<AnsiString>{
                "NULL|people|id|" + IntToStr(stInteger) + "|INTEGER|0|1|YES|NULL|1|True",
                "NULL|people|name|" + IntToStr(stString) + "|VARCHAR|30|0|NO|'x'|2|False",
            }));
  // An INTEGER column in a key of two columns is no row id.
  EXPECT_EQ(Rows(metadata->GetColumns("main", "", "pairs", ""), {"TABLE_CAT", "COLUMN_NAME", "AUTO_INCREMENT"}),
            (std::vector<AnsiString>{"main|a|False", "main|b|False", "main|c|False"}));
  EXPECT_EQ(Rows(metadata->GetColumns("", "", "it's", ""), {"COLUMN_NAME", "AUTO_INCREMENT"}),
            (std::vector<AnsiString>{"qu\"ote|True", "v|False"}));
}

TEST_F(SQLiteMetadata, KeyColumnsAreNumberedInKeyOrder) {
  EXPECT_EQ(Rows(metadata->GetPrimaryKeys("", "", "pairs"), {"TABLE_NAME", "COLUMN_NAME", "KEY_SEQ"}),
            (std::vector<AnsiString>{"pairs|b|1", "pairs|a|2"}));
  EXPECT_EQ(Rows(metadata->GetPrimaryKeys("", "", "it's"), {"COLUMN_NAME", "KEY_SEQ"}),
            (std::vector<AnsiString>{"qu\"ote|1"}));
}

TEST_F(SQLiteMetadata, IndexesLeaveOutTheLibrarysAutomaticOnes) {
  EXPECT_EQ(Rows(metadata->GetIndexInfo("", "", "pairs", false, false),
                 {"TABLE_NAME", "NON_UNIQUE", "INDEX_NAME", "ORDINAL_POSITION", "COLUMN_NAME", "ASC_OR_DESC"}),
            (std::vector<AnsiString>{"pairs|False|pairs_u|1|c|A", "pairs|True|pairs_c|1|c|A",
                                     "pairs|True|pairs_c|2|a|A"}));
  EXPECT_EQ(Rows(metadata->GetIndexInfo("", "", "pairs", true, false), {"INDEX_NAME"}),
            (std::vector<AnsiString>{"pairs_u"}));
  EXPECT_EQ(Rows(metadata->GetIndexInfo("", "", "it's", false, false), {"INDEX_NAME", "COLUMN_NAME"}),
            (std::vector<AnsiString>{"it's idx|v"}));
}

TEST_F(SQLiteMetadata, TheTypeTableHasItsTwentyTwoTypes) {
  Ref<IZResultSet> types = metadata->GetTypeInfo();
  int count = 0;
  while (types->Next()) {
    ++count;
    const AnsiString name = types->GetStringByName("TYPE_NAME");
    if (name == "INTEGER") {
      EXPECT_TRUE(types->GetBooleanByName("AUTO_INCREMENT"));
      EXPECT_EQ(types->GetIntByName("PRECISION"), 9);
    } else {
      EXPECT_FALSE(types->GetBooleanByName("AUTO_INCREMENT")) << name;
    }
    if (name == "BLOB") {
      EXPECT_EQ(types->GetStringByName("LITERAL_PREFIX"), "'");
    }
    if (name == "REAL") {
      EXPECT_TRUE(types->IsNullByName("LITERAL_PREFIX"));
    }
  }
  EXPECT_EQ(count, 22);
}

TEST_F(SQLiteMetadata, CapabilitiesAreTheFixedAnswers) {
  EXPECT_EQ(metadata->GetDatabaseProductName(), "SQLite");
  EXPECT_EQ(metadata->GetDriverName(), "Database Connectivity Driver for SQLite");
  EXPECT_EQ(metadata->GetCatalogTerm(), "database");
  EXPECT_EQ(metadata->GetMaxStatementLength(), 65535);
  EXPECT_EQ(metadata->GetDefaultTransactionIsolation(), tiNone);
  EXPECT_TRUE(metadata->SupportsResultSetType(rtForwardOnly));
  EXPECT_FALSE(metadata->SupportsResultSetType(rtScrollInsensitive));
  EXPECT_TRUE(metadata->SupportsResultSetConcurrency(rtForwardOnly, rcReadOnly));
  EXPECT_FALSE(metadata->SupportsResultSetConcurrency(rtForwardOnly, rcUpdatable));
  EXPECT_TRUE(metadata->GetSQLKeywords().rfind("ALL,AND,AS,", 0) == 0);
}

}  // namespace
}  // namespace sqlite_test

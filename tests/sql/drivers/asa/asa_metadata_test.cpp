// The ASA metadata against the client double, whose catalogue procedures
// answer from fixture tables of their own names: the call texts sent, how
// the rows are copied, the fixed answers and computed columns.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_metadata.h"
#include "tests/sql/drivers/asa/asa_test_support.h"

namespace {

using asa_test::Connection;
using asa_test::MakeDatabase;
using dblib_probe::CallsOf;

constexpr char kCatalogue[] =
    "CREATE TABLE sp_jdbc_tables (TABLE_SCHEM VARCHAR(128), TABLE_NAME VARCHAR(128), TABLE_TYPE VARCHAR(20),"
    " REMARKS VARCHAR(100));"
    "INSERT INTO sp_jdbc_tables VALUES ('DBA', 'T1', 'TABLE', NULL);"
    "CREATE TABLE sp_jdbc_stored_procedures (PROCEDURE_SCHEM VARCHAR(128), PROCEDURE_NAME VARCHAR(128),"
    " REMARKS VARCHAR(100), PROCEDURE_TYPE SMALLINT);"
    "INSERT INTO sp_jdbc_stored_procedures VALUES ('DBA', 'p', NULL, 1), ('DBA', 'q', 'two sets', 2);"
    "CREATE TABLE sp_jdbc_getindexinfo (TABLE_SCHEM VARCHAR(128), TABLE_NAME VARCHAR(128), NON_UNIQUE SMALLINT,"
    " INDEX_QUALIFIER VARCHAR(128), INDEX_NAME VARCHAR(128), TYPE SMALLINT, ORDINAL_POSITION SMALLINT,"
    " COLUMN_NAME VARCHAR(128), ASC_OR_DESC VARCHAR(1), CARDINALITY INTEGER, PAGES INTEGER,"
    " FILTER_CONDITION VARCHAR(100));"
    "INSERT INTO sp_jdbc_getindexinfo VALUES ('DBA', 'T1', 0, NULL, 'pk', 3, 1, 'a', 'A', 10, 1, NULL);"
    "CREATE TABLE sp_jdbc_getudts (TYPE_CAT VARCHAR(128), TYPE_SCHEM VARCHAR(128), TYPE_NAME VARCHAR(128),"
    " JAVA_CLASS VARCHAR(128), DATA_TYPE SMALLINT, REMARKS VARCHAR(100));"
    "INSERT INTO sp_jdbc_getudts VALUES (NULL, 'DBA', 'money', NULL, 4, NULL);"
    // Two tables of the same layout, listed T2 first while the system
    // tables list T1 first: T1.b is computed and not nullable, T2.a is
    // computed and nullable. Matched by position alone they would mark
    // T2.b and T1.a instead.
    "CREATE TABLE sp_jdbc_columns (TABLE_SCHEM VARCHAR(128), TABLE_NAME VARCHAR(128), COLUMN_NAME VARCHAR(128),"
    " TYPE_NAME VARCHAR(40), COLUMN_SIZE INTEGER, BUFFER_LENGTH INTEGER, DECIMAL_DIGITS INTEGER,"
    " NUM_PREC_RADIX SMALLINT, REMARKS VARCHAR(100), COLUMN_DEF VARCHAR(100), SQL_DATA_TYPE SMALLINT,"
    " SQL_DATETIME_SUB SMALLINT, CHAR_OCTET_LENGTH INTEGER, ORDINAL_POSITION INTEGER, IS_NULLABLE VARCHAR(3),"
    " NULLABLE SMALLINT);"
    "INSERT INTO sp_jdbc_columns VALUES"
    " ('DBA', 'T2', 'a', 'integer', 10, 4, 0, 10, NULL, ' AutoIncrement ', 4, NULL, NULL, 1, 'YES', 1),"
    " ('DBA', 'T2', 'b', 'integer', 10, 4, 0, 10, NULL, NULL, 4, NULL, NULL, 2, 'YES', 1),"
    " ('DBA', 'T1', 'a', 'integer', 10, 4, 0, 10, NULL, NULL, 4, NULL, NULL, 1, 'YES', 1),"
    " ('DBA', 'T1', 'b', 'integer', 10, 4, 0, 10, NULL, NULL, 4, NULL, NULL, 2, 'YES', 1);"
    "CREATE TABLE SYSTABLE (table_id INTEGER, table_name VARCHAR(128), creator VARCHAR(128));"
    "INSERT INTO SYSTABLE VALUES (1, 'T1', 'DBA'), (2, 'T2', 'DBA');"
    "CREATE TABLE SYSCOLUMN (table_id INTEGER, column_id INTEGER, column_name VARCHAR(128), column_type CHAR(1),"
    " nulls CHAR(1));"
    "INSERT INTO SYSCOLUMN VALUES (1, 1, 'a', 'R', 'Y'), (1, 2, 'b', 'C', 'N'), (2, 1, 'a', 'C', 'Y'),"
    " (2, 2, 'b', 'R', 'Y');";

class ASAMetadata : public ::testing::Test {
protected:
  void SetUp() override {
    connection_ = Connection(MakeDatabase(kCatalogue));
    connection_->Open();
    metadata_ = connection_->GetMetadata();
    dblib_probe::Reset();
  }

  // The catalogue texts prepared since the last reset.
  static std::vector<std::string> Calls() {
    std::vector<std::string> texts;
    for (const std::string& call : CallsOf("dbpp_prepare_describe")) {
      const std::string text = call.substr(std::string("nil nil ").size());
      texts.push_back(text.substr(0, text.size() - std::string(" nil 2307 0").size()));
    }
    return texts;
  }

  Ref<TZASAConnection> connection_;
  Ref<IZDatabaseMetadata> metadata_;
};

TEST_F(ASAMetadata, CallTextsOfTheCatalogueProcedures) {
  metadata_->GetTables("", "DBA", "T%", {"TABLE", "VIEW"});
  metadata_->GetTables("", "DBA", "T%", {});
  metadata_->GetIndexInfo("", "DBA", "T1", true, false);
  metadata_->GetUDTs("", "", "", {2000, 2002});
  metadata_->GetTables("", "O'Neil", "T%", {"it's"});
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "exec sp_jdbc_tables 'T%', 'DBA', null, \"'TABLE','VIEW'\"",
                         "exec sp_jdbc_tables 'T%', 'DBA', null, null",
                         "exec sp_jdbc_getindexinfo null, 'DBA', 'T1', '1', '0'",
                         "exec sp_jdbc_getudts null, '%', '%', \"'2000','2002'\"",
                         "exec sp_jdbc_tables 'T%', 'O''Neil', null, \"'it''s'\"",
                     }));
  // A second question of the same words comes from the cache.
  metadata_->GetTables("", "DBA", "T%", {"TABLE", "VIEW"});
  EXPECT_EQ(Calls().size(), 5u);
}

TEST_F(ASAMetadata, RowsAreCopiedByName) {
  Ref<IZResultSet> procedures = metadata_->GetProcedures("", "", "");
  std::vector<AnsiString> names;
  while (procedures->Next()) {
    EXPECT_FALSE(procedures->IsNullByName("PROCEDURE_CAT"));
    EXPECT_EQ(procedures->GetStringByName("PROCEDURE_CAT"), "");
    names.push_back(procedures->GetStringByName("PROCEDURE_NAME"));
  }
  EXPECT_EQ(names, (std::vector<AnsiString>{"p", "q"}));

  Ref<IZResultSet> index = metadata_->GetIndexInfo("", "DBA", "T1", false, false);
  ASSERT_TRUE(index->Next());
  EXPECT_FALSE(index->GetBooleanByName("NON_UNIQUE"));
  EXPECT_EQ(index->GetIntByName("CARDINALITY"), 10);

  Ref<IZResultSet> types = metadata_->GetUDTs("", "", "", {});
  ASSERT_TRUE(types->Next());
  EXPECT_EQ(types->GetShortByName("DATA_TYPE"), static_cast<std::int16_t>(stInteger));
}

// The catalogue procedures answer what their arguments ask for.
TEST_F(ASAMetadata, AnswersFollowTheArguments) {
  auto names = [](const Ref<IZResultSet>& rows, const char* column) {
    std::vector<AnsiString> found;
    while (rows->Next()) found.push_back(rows->GetStringByName(column));
    return found;
  };
  EXPECT_EQ(names(metadata_->GetTables("", "DBA", "T%", {"TABLE"}), "TABLE_NAME"), std::vector<AnsiString>{"T1"});
  EXPECT_TRUE(names(metadata_->GetTables("", "DBA", "T%", {"VIEW"}), "TABLE_NAME").empty());
  EXPECT_TRUE(names(metadata_->GetTables("", "OTHER", "T%", {}), "TABLE_NAME").empty());
  EXPECT_EQ(names(metadata_->GetProcedures("", "", "q"), "PROCEDURE_NAME"), std::vector<AnsiString>{"q"});
  EXPECT_EQ(names(metadata_->GetColumns("", "", "T1", "b"), "COLUMN_NAME"), std::vector<AnsiString>{"b"});
  EXPECT_TRUE(names(metadata_->GetIndexInfo("", "DBA", "T2", false, false), "INDEX_NAME").empty());
}

TEST_F(ASAMetadata, AnAnswerWithoutAListedColumnFails) {
  try {
    metadata_->GetSchemas();
    FAIL() << "sp_jdbc_getschemas is not in the fixture";
  } catch (const EZSQLException& e) {
    EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos) << e.what();
  }
}

TEST_F(ASAMetadata, TableTypesNeedNoServer) {
  Ref<IZResultSet> types = metadata_->GetTableTypes();
  std::vector<AnsiString> names;
  while (types->Next()) names.push_back(types->GetString(1));
  EXPECT_EQ(names, (std::vector<AnsiString>{"TABLE", "BASE", "SYSTEM", "VIEW", "GLOBAL TEMPORARY"}));
  EXPECT_TRUE(dblib_probe::Probe().calls.empty());
}

TEST_F(ASAMetadata, ComputedColumnsAreFoundByOwnerTableAndPosition) {
  Ref<IZResultSet> columns = metadata_->GetColumns("", "", "T%", "");
  struct Row {
    AnsiString table;
    AnsiString column;
    bool readOnly;
    bool writable;
    int nullable;
    AnsiString isNullable;
    bool autoIncrement;
  };
  const Row expected[] = {
      {"T2", "a", true, false, 1, "YES", true},
      {"T2", "b", false, true, 1, "YES", false},
      {"T1", "a", false, true, 1, "YES", false},
      {"T1", "b", true, false, 0, "NO", false},
  };
  for (const Row& row : expected) {
    ASSERT_TRUE(columns->Next());
    EXPECT_EQ(columns->GetStringByName("TABLE_NAME"), row.table);
    EXPECT_EQ(columns->GetStringByName("COLUMN_NAME"), row.column);
    EXPECT_EQ(columns->GetStringByName("TABLE_CAT"), "");
    EXPECT_EQ(columns->GetBooleanByName("READONLY"), row.readOnly) << row.table << "." << row.column;
    EXPECT_EQ(columns->GetBooleanByName("WRITABLE"), row.writable) << row.table << "." << row.column;
    EXPECT_EQ(columns->GetBooleanByName("DEFINITELYWRITABLE"), row.writable);
    EXPECT_EQ(columns->GetIntByName("NULLABLE"), row.nullable);
    EXPECT_EQ(columns->GetStringByName("IS_NULLABLE"), row.isNullable);
    EXPECT_EQ(columns->GetBooleanByName("AUTO_INCREMENT"), row.autoIncrement);
    EXPECT_FALSE(columns->GetBooleanByName("SEARCHABLE"));
  }
  EXPECT_FALSE(columns->Next());
  const std::vector<std::string> calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1],
            "select c.column_id,c.nulls,USER_NAME(t.creator),t.table_name from SYS.SYSCOLUMN as c join "
            "SYS.SYSTABLE as t on c.table_id=t.table_id where t.table_name like 'T%' escape '\\' and "
            "USER_NAME(t.creator) like '%' escape '\\' and c.column_name like '%' escape '\\' and "
            "c.column_type='C' order by USER_NAME(t.creator) asc,t.table_name asc,c.column_id asc");
}

TEST_F(ASAMetadata, FixedAnswers) {
  const std::string keywords = metadata_->GetSQLKeywords();
  EXPECT_NE(keywords.find(",restrict,returnrevoke,right,"), std::string::npos);
  EXPECT_EQ(metadata_->GetSearchStringEscape(), "\\");
  EXPECT_EQ(metadata_->GetCatalogSeparator(), "");
}

}  // namespace

// The Interbase/Firebird metadata on the embedded engine: fixed answers,
// name patterns turned into conditions, and the catalogue questions over a
// database with tables, a view, keys, indexes, grants, a generator and
// procedures.

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/numbers.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_metadata.h"
#include "tests/sql/core/sql_error.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;

class InterbaseMetadata : public AttachedTest {
protected:
  TZInterbase6DatabaseMetadata& Metadata() {
    return dynamic_cast<TZInterbase6DatabaseMetadata&>(*connection_->GetMetadata());
  }
  // Column column of each row, as text.
  static std::vector<AnsiString> Column(const Ref<IZResultSet>& rows, const char* column) {
    std::vector<AnsiString> values;
    rows->BeforeFirst();
    const int index = rows->FindColumn(column);
    while (rows->Next()) values.push_back(rows->GetString(index));
    return values;
  }
  // The row where column key holds value; false when none does.
  static bool Find(const Ref<IZResultSet>& rows, const char* key, const AnsiString& value) {
    rows->BeforeFirst();
    while (rows->Next())
      if (rows->GetString(rows->FindColumn(key)) == value) return true;
    return false;
  }
};

using Strings = std::vector<AnsiString>;

TEST_F(InterbaseMetadata, FixedAnswersAndNamePatterns) {
  Attach("");
  TZInterbase6DatabaseMetadata& metadata = Metadata();
  EXPECT_EQ(metadata.GetDatabaseProductName(), "Interbase/Firebird");
  EXPECT_EQ(metadata.GetMaxTableNameLength(), 31);
  EXPECT_TRUE(metadata.SupportsResultSetConcurrency(rtScrollInsensitive, rcReadOnly));
  EXPECT_FALSE(metadata.SupportsResultSetConcurrency(rtScrollInsensitive, rcUpdatable));
  EXPECT_FALSE(metadata.SupportsTransactionIsolationLevel(tiReadUncommitted));
  EXPECT_NE(metadata.GetSQLKeywords().find("MAXIMUM_SEGMENT,MERGE, MESSAGE,MODULE_NAME"), AnsiString::npos);

  const struct {
    const char* pattern;
    const char* condition;
  } cases[] = {
      {"", ""},
      {"%", ""},
      {"EMP", "C = 'EMP'"},
      {"EMP%", "C || '' like 'EMP%%' ESCAPE '\\'"},
      {"A\\_B", "C = 'A_B'"},
      {"A_B", "C || '' like 'A_B%' ESCAPE '\\'"},
      {"A\\\\_B", "C || '' like 'A\\\\_B%' ESCAPE '\\'"},
      {"O'NEIL", "C = 'O''NEIL'"},
      {"O'N%", "C || '' like 'O''N%%' ESCAPE '\\'"},
  };
  for (const auto& c : cases) EXPECT_EQ(metadata.ConstructNameCondition(c.pattern, "C"), c.condition) << c.pattern;
  EXPECT_NO_THROW(metadata.ConstructNameCondition(AnsiString(62, 'A'), "C"));
  EXPECT_EQ(SQLError([&] { metadata.GetTables("", "", AnsiString(63, 'A'), {}); }), "Pattern is too long");
  EXPECT_EQ(metadata.StripEscape("\\\\x\\"), "\\x");
  EXPECT_EQ(TZInterbase6DatabaseMetadata::GetPrivilege("R"), "REFERENCE");
  EXPECT_EQ(TZInterbase6DatabaseMetadata::GetPrivilege("S "), "");
}

TEST_F(InterbaseMetadata, TablesAndColumns) {
  Attach(kCatalogueSchema);
  TZInterbase6DatabaseMetadata& metadata = Metadata();
  EXPECT_EQ(Column(metadata.GetTables("", "", "EMP%", {"VIEW"}), "TABLE_NAME"), Strings{"EMP_VIEW"});
  EXPECT_EQ(Column(metadata.GetTables("", "", "EMP%", {"TABLE", "TABLE"}), "TABLE_NAME"), (Strings{"EMP", "EMP"}));
  Ref<IZResultSet> all = metadata.GetTables("", "", "", {});
  EXPECT_TRUE(Find(all, "TABLE_TYPE", "SYSTEM TABLE"));
  EXPECT_TRUE(Find(all, "TABLE_NAME", "EMP_VIEW"));
  // Quotes and escaped wildcards in names.
  EXPECT_EQ(Column(metadata.GetTables("", "", "O'NEIL", {}), "TABLE_NAME"), Strings{"O'NEIL"});
  EXPECT_EQ(Column(metadata.GetTables("", "", "A\\_B%", {}), "TABLE_NAME"), Strings{"A_B1"});

  Ref<IZResultSet> columns = metadata.GetColumns("", "", "EMP", "");
  EXPECT_EQ(Column(columns, "COLUMN_NAME"),
            (Strings{"ID", "DEPT_ID", "NAME", "SALARY", "HIRED", "BONUS", "Name", "ACTIVE", "NOTE"}));
  const struct {
    int row;
    TZSQLType type;
    const char* typeName;
    const char* defaultValue;
    bool caseSensitive, readOnly;
  } cases[] = {
      {3, stString, "VARCHAR", "", false, false},
      {4, stDouble, "NUMERIC", "0", false, false},
      {5, stDate, "DATE", "CURRENT_DATE", false, false},
      {6, stUnknown, "", "", false, true},
      {7, stString, "VARCHAR", "", true, false},
      {8, stBoolean, "BOOLEAN", "", false, false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(columns->MoveAbsolute(c.row));
    const AnsiString name = columns->GetString(columns->FindColumn("COLUMN_NAME"));
    if (c.type != stUnknown) {
      EXPECT_EQ(columns->GetInt(columns->FindColumn("DATA_TYPE")), c.type) << name;
    }
    if (*c.typeName) {
      EXPECT_EQ(columns->GetString(columns->FindColumn("TYPE_NAME")), c.typeName) << name;
    }
    EXPECT_EQ(columns->GetString(columns->FindColumn("COLUMN_DEF")), c.defaultValue) << name;
    EXPECT_EQ(columns->GetBoolean(columns->FindColumn("CASE_SENSITIVE")), c.caseSensitive) << name;
    EXPECT_EQ(columns->GetBoolean(columns->FindColumn("READONLY")), c.readOnly) << name;
    EXPECT_EQ(columns->GetInt(columns->FindColumn("ORDINAL_POSITION")), c.row) << name;
  }
  ASSERT_TRUE(columns->MoveAbsolute(3));
  EXPECT_EQ(columns->GetString(columns->FindColumn("IS_NULLABLE")), "NO");
  EXPECT_EQ(columns->GetInt(columns->FindColumn("NULLABLE")), 0);
}

TEST_F(InterbaseMetadata, KeysIndexesAndPrivileges) {
  Attach(kCatalogueSchema);
  TZInterbase6DatabaseMetadata& metadata = Metadata();
  // MY_TABLE's underscore is no wildcard: MYXTABLE stays out.
  Ref<IZResultSet> keys = metadata.GetPrimaryKeys("", "", "MY_TABLE");
  EXPECT_EQ(Column(keys, "TABLE_NAME"), Strings{"MY_TABLE"});
  EXPECT_EQ(Column(keys, "KEY_SEQ"), Strings{"1"});

  Ref<IZResultSet> imported = metadata.GetImportedKeys("", "", "EMP");
  ASSERT_TRUE(imported->Next());
  EXPECT_EQ(imported->GetString(imported->FindColumn("PKTABLE_NAME")), "DEPT");
  EXPECT_EQ(imported->GetString(imported->FindColumn("FKCOLUMN_NAME")), "DEPT_ID");
  EXPECT_EQ(imported->GetInt(imported->FindColumn("DELETE_RULE")), 0);
  EXPECT_EQ(Column(metadata.GetExportedKeys("", "", "DEPT"), "FKTABLE_NAME"), Strings{"EMP"});

  Ref<IZResultSet> indexes = metadata.GetIndexInfo("", "", "EMP", true, false);
  const Strings names = Column(indexes, "INDEX_NAME");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(Find(indexes, "INDEX_NAME", "EMP_NAME"));
  EXPECT_EQ(Column(indexes, "NON_UNIQUE"), (Strings{"False", "False"}));
  EXPECT_EQ(Column(indexes, "PAGES"), (Strings{"1", "1"}));
  EXPECT_EQ(Column(metadata.GetIndexInfo("", "", "EMP", false, false), "INDEX_NAME").size(), 4u);
  EXPECT_TRUE(Column(metadata.GetIndexInfo("", "", "O'NEIL", false, false), "INDEX_NAME").empty());

  // A grant on the whole table counts for each column; one on a column for it.
  Ref<IZResultSet> privileges = metadata.GetColumnPrivileges("", "", "EMP", "");
  int publicSelects = 0, joeUpdates = 0;
  privileges->BeforeFirst();
  while (privileges->Next()) {
    const AnsiString grantee = privileges->GetString(privileges->FindColumn("GRANTEE"));
    const AnsiString privilege = privileges->GetString(privileges->FindColumn("PRIVILEGE"));
    publicSelects += grantee == "PUBLIC" && privilege == "SELECT";
    joeUpdates += grantee == "JOE" && privilege == "UPDATE" &&
                  privileges->GetString(privileges->FindColumn("COLUMN_NAME")) == "NAME";
  }
  EXPECT_EQ(publicSelects, 9);
  EXPECT_EQ(joeUpdates, 1);
  EXPECT_TRUE(Find(metadata.GetTablePrivileges("", "", "EMP"), "GRANTEE", "PUBLIC"));
  EXPECT_EQ(Column(metadata.GetSequences("", "", ""), "SEQUENCE_NAME"), Strings{"G1"});
}

TEST_F(InterbaseMetadata, Procedures) {
  Attach(kCatalogueSchema);
  TZInterbase6DatabaseMetadata& metadata = Metadata();
  Ref<IZResultSet> procedures = metadata.GetProcedures("", "", "");
  EXPECT_EQ(Column(procedures, "PROCEDURE_NAME"), (Strings{"ADD_ONE", "COUNT_UP", "NOTHING"}));
  EXPECT_EQ(Column(procedures, "PROCEDURE_TYPE"), (Strings{"2", "2", "1"}));

  Ref<IZResultSet> parameters = metadata.GetProcedureColumns("", "", "ADD_ONE", "");
  EXPECT_EQ(Column(parameters, "COLUMN_NAME"), (Strings{"S", "T", "N", "A", "B"}));
  EXPECT_EQ(Column(parameters, "COLUMN_TYPE"), (Strings{"4", "4", "4", "1", "1"}));
  EXPECT_EQ(Column(parameters, "DATA_TYPE")[0], IntToStr(stInteger));
  EXPECT_EQ(Column(parameters, "NULLABLE")[0], "1");
}

TEST_F(InterbaseMetadata, TheVersionTextIsAskedOnce) {
  Ref<CountingPlainDriver> counting = AttachCounting(kCatalogueSchema);
  TZInterbase6DatabaseMetadata& metadata = Metadata();
  const int before = counting->databaseInfos;
  metadata.GetColumns("", "", "EMP", "");
  metadata.GetProcedureColumns("", "", "ADD_ONE", "");
  EXPECT_EQ(counting->databaseInfos, before + 1);
  EXPECT_NE(metadata.GetVersionText().find("Firebird"), AnsiString::npos);
}

}  // namespace

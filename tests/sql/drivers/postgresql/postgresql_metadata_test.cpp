// The PostgreSQL metadata against a fixture schema on the throwaway server
// (tables, a view, a sequence, keys, grants, a function), the capability
// answers, and the catalogue texts sent to a server before 7.3, seen through
// a stand-in connection that reports 7.2 and records what it is asked.

#include <gtest/gtest.h>

#include <functional>

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/drivers/postgresql/postgresql_metadata.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;

// Test programs run side by side, each in its own process: the schema is
// made once per server, under a lock, and never dropped while others read it.
void MakeSchema() {
  static const bool made = [] {
    Psql("SELECT pg_advisory_xact_lock(4404); "
         "CREATE TABLE IF NOT EXISTS md_parent (id int PRIMARY KEY, title varchar(30) NOT NULL DEFAULT 'x', "
         "amount numeric(10,2), note varchar); "
         "CREATE TABLE IF NOT EXISTS md_child (id int PRIMARY KEY, parent_id int REFERENCES md_parent (id) ON DELETE "
         "CASCADE DEFERRABLE INITIALLY DEFERRED); "
         "CREATE OR REPLACE VIEW md_view AS SELECT id, title FROM md_parent; CREATE SEQUENCE IF NOT EXISTS md_seq; "
         "CREATE OR REPLACE FUNCTION md_add(int4, int4) RETURNS int4 AS 'SELECT $1 + $2' LANGUAGE sql; "
         "ALTER TABLE md_parent OWNER TO vx; ALTER TABLE md_child OWNER TO vx; ALTER VIEW md_view OWNER TO vx; "
         "ALTER SEQUENCE md_seq OWNER TO vx; ALTER FUNCTION md_add(int4, int4) OWNER TO vx; "
         "GRANT SELECT ON md_parent TO PUBLIC");
    return true;
  }();
  (void)made;
}

// The named columns of every row, joined with "|".
std::vector<std::string> Rows(const Ref<IZResultSet>& result, std::initializer_list<const char*> columns) {
  std::vector<std::string> rows;
  result->BeforeFirst();
  while (result->Next()) {
    std::string row;
    for (const char* column : columns) {
      if (!row.empty()) row += '|';
      const AnsiString value = result->GetStringByName(column);
      row += result->WasNull() ? "NULL" : value;
    }
    rows.push_back(row);
  }
  return rows;
}

bool Contains(const std::vector<std::string>& rows, const std::string& row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

class PostgreSQLMetadata : public ::testing::Test {
protected:
  void SetUp() override {
    MakeSchema();
    connection = Connect();
    metadata = connection->GetMetadata();
  }
  Ref<IZPostgreSQLConnection> connection;
  Ref<IZDatabaseMetadata> metadata;
};

TEST_F(PostgreSQLMetadata, TablesOfTheDefaultTypes) {
  const std::vector<std::string> rows =
      Rows(metadata->GetTables("", "", "md%", {}), {"TABLE_SCHEM", "TABLE_NAME", "TABLE_TYPE"});
  for (const char* row : {"public|md_parent|TABLE", "public|md_child|TABLE", "public|md_view|VIEW",
                          "public|md_seq|SEQUENCE", "public|md_parent_pkey|INDEX"})
    EXPECT_TRUE(Contains(rows, row)) << row;
  EXPECT_EQ(Rows(metadata->GetTables("", "", "md_view", {"VIEW"}), {"TABLE_NAME"}),
            std::vector<std::string>{"md_view"});
  for (const std::string& row : Rows(metadata->GetTables("", "", "", {}), {"TABLE_SCHEM"}))
    EXPECT_NE(row, "pg_catalog");
}

// Names are values in the catalogue's SQL: a quote in a pattern finds nothing.
TEST_F(PostgreSQLMetadata, PatternsWithQuotesFindNothing) {
  EXPECT_TRUE(Rows(metadata->GetTables("", "", "md_parent' OR ''='", {}), {"TABLE_NAME"}).empty());
  EXPECT_TRUE(Rows(metadata->GetColumns("", "", "x\\' OR true --", ""), {"COLUMN_NAME"}).empty());
  EXPECT_TRUE(Rows(metadata->GetSequences("", "", "md_seq' OR ''='"), {"SEQUENCE_NAME"}).empty());
  EXPECT_EQ(Rows(metadata->GetSequences("", "public", "md_seq"), {"SEQUENCE_SCHEM", "SEQUENCE_NAME"}),
            std::vector<std::string>{"public|md_seq"});
}

TEST_F(PostgreSQLMetadata, ColumnsWithSizesDefaultsAndNullability) {
  const std::vector<std::string> rows =
      Rows(metadata->GetColumns("", "public", "md_parent", ""),
           {"COLUMN_NAME", "TYPE_NAME", "COLUMN_SIZE", "DECIMAL_DIGITS", "NUM_PREC_RADIX", "NULLABLE", "IS_NULLABLE",
            "COLUMN_DEF", "ORDINAL_POSITION", "CHAR_OCTET_LENGTH", "CASE_SENSITIVE"});
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "id|int4|4|NULL|2|0|NO|NULL|1|4|False",
                      "title|varchar|30|NULL|NULL|0|NO|'x'::character varying|2|30|False",
                      "amount|numeric|10|2|10|1|YES|NULL|3|10|False",
                      "note|varchar|0|NULL|NULL|1|YES|NULL|4|0|False",
                  }));
}

TEST_F(PostgreSQLMetadata, ForeignKeysFromBothEnds) {
  const std::initializer_list<const char*> columns = {"PKTABLE_NAME", "PKCOLUMN_NAME", "FKTABLE_NAME",
                                                      "FKCOLUMN_NAME", "KEY_SEQ",      "UPDATE_RULE",
                                                      "DELETE_RULE",  "PK_NAME",       "DEFERRABILITY"};
  const std::vector<std::string> expected = {"md_parent|id|md_child|parent_id|1|3|0|md_parent_pkey|5"};
  EXPECT_EQ(Rows(metadata->GetImportedKeys("", "public", "md_child"), columns), expected);
  EXPECT_EQ(Rows(metadata->GetExportedKeys("", "public", "md_parent"), columns), expected);
  EXPECT_TRUE(Rows(metadata->GetImportedKeys("", "public", "md_parent"), columns).empty());
  EXPECT_EQ(Rows(metadata->GetPrimaryKeys("", "public", "md_child"), {"COLUMN_NAME", "KEY_SEQ", "PK_NAME"}),
            std::vector<std::string>{"id|1|md_child_pkey"});
}

TEST_F(PostgreSQLMetadata, UniqueIndexesListThePrimaryKey) {
  EXPECT_EQ(Rows(metadata->GetIndexInfo("", "public", "md_parent", true, false),
                 {"INDEX_NAME", "NON_UNIQUE", "TYPE", "COLUMN_NAME"}),
            std::vector<std::string>{"md_parent_pkey|False|3|id"});
}

TEST_F(PostgreSQLMetadata, PrivilegesStopAtTheGrantor) {
  const std::vector<std::string> rows = Rows(metadata->GetTablePrivileges("", "public", "md_parent"),
                                             {"GRANTOR", "GRANTEE", "PRIVILEGE", "IS_GRANTABLE"});
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), "vx|PUBLIC|SELECT|NO");
  // "=r/vx" and "vx=arwdDxt/vx": one row per privilege letter, none for the grantor.
  EXPECT_EQ(rows.size(), 8u);
  EXPECT_TRUE(Contains(rows, "vx|vx|INSERT|YES"));
  const std::vector<std::string> columnRows =
      Rows(metadata->GetColumnPrivileges("", "public", "md_parent", "title"), {"COLUMN_NAME", "GRANTEE", "PRIVILEGE"});
  EXPECT_TRUE(Contains(columnRows, "title|PUBLIC|SELECT"));
}

TEST(PostgreSQLAclItems, SplitAndNamed) {
  TStringList items;
  SplitAclItems(&items, "{=r,b=arw,\"x, y\"=r/b}");
  ASSERT_EQ(items.Count(), 3);
  EXPECT_EQ(items[0], "=r");
  EXPECT_EQ(items[1], "b=arw");
  EXPECT_EQ(items[2], "\"x, y\"=r/b");
  items.Clear();
  SplitAclItems(&items, "");
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(AclPrivilegeName('T'), "CREATE TEMP");
  EXPECT_EQ(AclPrivilegeName('?'), "UNKNOWN");
}

TEST_F(PostgreSQLMetadata, ProceduresAndTheirColumns) {
  EXPECT_EQ(Rows(metadata->GetProcedures("", "public", "md_add"), {"PROCEDURE_NAME", "PROCEDURE_TYPE"}),
            std::vector<std::string>{"md_add|2"});
  EXPECT_EQ(Rows(metadata->GetProcedureColumns("", "public", "md_add", ""),
                 {"COLUMN_NAME", "COLUMN_TYPE", "TYPE_NAME", "NULLABLE"}),
            (std::vector<std::string>{"returnValue|4|int4|2", "$0|1|int4|2", "$1|1|int4|2"}));
}

TEST_F(PostgreSQLMetadata, SchemasLeaveOutToastAndTemporaryOnes) {
  // Another session's temporary table makes a pg_temp_ schema.
  Ref<IZPostgreSQLConnection> other = Connect();
  QueryRows(other.get(), "CREATE TEMP TABLE md_temp (i int)");
  ASSERT_NE(Psql("SELECT count(*) FROM pg_namespace WHERE nspname LIKE 'pg\\_temp\\_%'"), "0");
  const std::vector<std::string> rows = Rows(metadata->GetSchemas(), {"TABLE_SCHEM"});
  EXPECT_TRUE(Contains(rows, "public"));
  EXPECT_TRUE(Contains(rows, "pg_catalog"));
  for (const std::string& row : rows) {
    EXPECT_NE(row, "pg_toast");
    EXPECT_NE(row.rfind("pg_temp_", 0), 0u) << row;
  }
  EXPECT_TRUE(Contains(Rows(metadata->GetCatalogs(), {"TABLE_CAT"}), "kalmir"));
  EXPECT_EQ(Rows(metadata->GetTableTypes(), {"TABLE_TYPE"}).size(), 11u);
  EXPECT_EQ(Rows(metadata->GetVersionColumns("", "", "anything"), {"COLUMN_NAME", "TYPE_NAME", "PSEUDO_COLUMN"}),
            std::vector<std::string>{"ctid|tid|2"});
  EXPECT_TRUE(Contains(Rows(metadata->GetTypeInfo(), {"TYPE_NAME", "PRECISION"}), "int4|9"));
}

TEST_F(PostgreSQLMetadata, Capabilities) {
  IZDatabaseMetadata& m = *metadata;
  const struct {
    const char* name;
    std::function<std::string()> answer;
    std::string expected;
  } cases[] = {
      {"product", [&] { return std::string(m.GetDatabaseProductName()); }, "PostgreSQL"},
      {"driver", [&] { return std::string(m.GetDriverName()); }, "Database Connectivity Driver for PostgreSQL"},
      {"lower case", [&] { return std::to_string(m.StoresLowerCaseIdentifiers()); }, "1"},
      {"mixed quoted", [&] { return std::to_string(m.StoresMixedCaseQuotedIdentifiers()); }, "1"},
      {"stored procedures", [&] { return std::to_string(m.SupportsStoredProcedures()); }, "0"},
      {"union all", [&] { return std::to_string(m.SupportsUnionAll()); }, "1"},
      {"schemas", [&] { return std::to_string(m.SupportsSchemasInTableDefinitions()); }, "1"},
      {"name length", [&] { return std::to_string(m.GetMaxTableNameLength()); }, "64"},
      {"row size", [&] { return std::to_string(m.GetMaxRowSize()); }, "1073741824"},
      {"statement length", [&] { return std::to_string(m.GetMaxStatementLength()); }, "0"},
      {"columns in table", [&] { return std::to_string(m.GetMaxColumnsInTable()); }, "1600"},
      {"escape", [&] { return std::string(m.GetSearchStringEscape()); }, "\\"},
      {"schema term", [&] { return std::string(m.GetSchemaTerm()); }, "schema"},
      {"procedure term", [&] { return std::string(m.GetProcedureTerm()); }, "function"},
      {"read uncommitted", [&] { return std::to_string(m.SupportsTransactionIsolationLevel(tiReadUncommitted)); }, "0"},
      {"serializable", [&] { return std::to_string(m.SupportsTransactionIsolationLevel(tiSerializable)); }, "1"},
      {"forward only", [&] { return std::to_string(m.SupportsResultSetType(rtForwardOnly)); }, "0"},
      {"updatable", [&] { return std::to_string(m.SupportsResultSetConcurrency(rtScrollInsensitive, rcUpdatable)); },
       "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.answer(), c.expected) << c.name;
  const AnsiString keywords = m.GetSQLKeywords();
  EXPECT_EQ(keywords.rfind("abort,", 0), 0u);
  EXPECT_EQ(std::count(keywords.begin(), keywords.end(), ',') + 1, 371);
  auto* pg = dynamic_cast<TZPostgreSQLDatabaseMetadata*>(metadata.get());
  ASSERT_TRUE(pg);
  EXPECT_EQ(pg->QuoteMetadataString("a'b\\c"), "E'a\\'b\\\\c'");
}

// --- a server before 7.3, seen through a stand-in connection

// Records each query and answers it with the connection's canned result for
// the first text the query holds, else with no rows.
class RecordingStatement : public TZAbstractStatement {
public:
  RecordingStatement(Ref<IZConnection> connection, std::vector<AnsiString>& log,
                     std::vector<std::pair<AnsiString, Ref<IZResultSet>>>& answers)
      : TZAbstractStatement(std::move(connection), nullptr), log_(log), answers_(answers) {}
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override {
    log_.push_back(sql);
    for (const auto& [part, answer] : answers_)
      if (sql.find(part) != AnsiString::npos) return answer;
    return TZAbstractDatabaseMetadata::ConstructVirtualResultSet({});
  }

private:
  std::vector<AnsiString>& log_;
  std::vector<std::pair<AnsiString, Ref<IZResultSet>>>& answers_;
};

class OldServerConnection : public TZAbstractConnection, public virtual IZPostgreSQLConnection {
public:
  OldServerConnection() : TZAbstractConnection(nullptr, "", "", 0, "", "", "", nullptr) {
    SetMetadata(std::make_unique<TZPostgreSQLDatabaseMetadata>(this, "", GetProperties()));
  }
  bool IsOidAsBlob() override { return false; }
  AnsiString GetTypeNameByOid(Oid) override { return AnsiString(); }
  Ref<IZPostgreSQLPlainDriver> GetPlainDriver() override { return nullptr; }
  PGconn* GetConnectionHandle() override { return nullptr; }
  int GetServerMajorVersion() override { return 7; }
  int GetServerMinorVersion() override { return 2; }
  int GetServerSubVersion() override { return 0; }
  TZPgCharsetCode GetCharactersetCode() override { return csOTHER; }
  std::vector<AnsiString> Sent;
  std::vector<std::pair<AnsiString, Ref<IZResultSet>>> Answers;

protected:
  Ref<IZStatement> NewStatement(TStrings*) override {
    return MakeRef<RecordingStatement>(Ref<IZConnection>(this), Sent, Answers);
  }
};

// Old servers describe a foreign key only through its triggers: the rules
// come from the trigger functions' names, the columns from their arguments.
TEST(PostgreSQLMetadataBefore73, ForeignKeysFromTriggerArguments) {
  auto connection = MakeRef<OldServerConnection>();
  TZMetadataColumnDefs layout;
  for (const char* name : {"pnspname", "fnspname", "prelname", "frelname", "tgconstrname"})
    layout.push_back({name, stString, 255});
  layout.push_back({"keyseq", stInteger, 0});
  layout.push_back({"fkeyname", stString, 255});
  layout.push_back({"tgdeferrable", stBoolean, 0});
  layout.push_back({"tginitdeferred", stBoolean, 0});
  for (const char* name : {"tgnargs", "tgargs", "updaterule", "deleterule"}) layout.push_back({name, stString, 255});
  Ref<IZVirtualResultSet> rows = TZAbstractDatabaseMetadata::ConstructVirtualResultSet(layout);
  const struct {
    const char* name;
    const char* args;
    const char* update;
    const char* remove;
    bool deferrable;
  } keys[] = {
      {"fk", "fk\\000child\\000parent\\000UNSPECIFIED\\000parent_id\\000id\\000", "RI_FKey_noaction_upd",
       "RI_FKey_cascade_del", true},
      {"<unnamed>", "<unnamed>\\000child\\000parent\\000UNSPECIFIED\\000", "RI_FKey_setnull_upd",
       "RI_FKey_restrict_del", false},
  };
  for (const auto& key : keys) {
    rows->MoveToInsertRow();
    rows->UpdateString(3, "parent");
    rows->UpdateString(4, "child");
    rows->UpdateInt(6, 1);
    rows->UpdateString(7, "parent_pkey");
    rows->UpdateBoolean(8, key.deferrable);
    rows->UpdateBoolean(9, false);
    rows->UpdateString(11, key.args);
    rows->UpdateString(12, key.update);
    rows->UpdateString(13, key.remove);
    rows->InsertRow();
  }
  rows->BeforeFirst();
  connection->Answers.push_back({"tgargs", rows});
  EXPECT_EQ(Rows(connection->GetMetadata()->GetImportedKeys("", "", "child"),
                 {"PKTABLE_SCHEM", "PKTABLE_NAME", "PKCOLUMN_NAME", "FKTABLE_NAME", "FKCOLUMN_NAME", "KEY_SEQ",
                  "UPDATE_RULE", "DELETE_RULE", "FK_NAME", "PK_NAME", "DEFERRABILITY"}),
            (std::vector<std::string>{
                "NULL|parent|id|child|parent_id|1|3|0|fk|parent_pkey|6",
                // Too few arguments name no columns; an unnamed key is named by them all.
                "NULL|parent|NULL|child|NULL|1|2|1|<unnamed>\\000child\\000parent\\000UNSPECIFIED\\000|parent_pkey|7",
            }));
}

TEST(PostgreSQLMetadataBefore73, CatalogueTextsHaveNoSchemas) {
  auto connection = MakeRef<OldServerConnection>();
  Ref<IZDatabaseMetadata> metadata = connection->GetMetadata();
  metadata->GetSchemas();
  metadata->GetTables("", "", "t'x", {"VIEW"});
  metadata->GetColumns("", "", "t", "");
  metadata->GetPrimaryKeys("", "", "t");
  metadata->GetImportedKeys("", "", "t");
  metadata->GetIndexInfo("", "", "t", true, false);
  metadata->GetTablePrivileges("", "", "t");
  metadata->GetProcedures("", "", "");
  EXPECT_THROW(metadata->GetMaxTableNameLength(), Exception);  // no row: "Unknown error"
  const std::vector<AnsiString> expected = {
      "SELECT ''::text AS TABLE_SCHEM ORDER BY TABLE_SCHEM",
      "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM, c.relname AS TABLE_NAME,  CASE c.relname LIKE 'pg\\\\_%' "
      "WHEN true THEN CASE c.relname LIKE 'pg\\\\_toast\\\\_%' WHEN true THEN CASE c.relkind   WHEN 'r' THEN "
      "'SYSTEM TOAST TABLE'   WHEN 'i' THEN 'SYSTEM TOAST INDEX'   ELSE NULL END WHEN false THEN CASE c.relname "
      "LIKE 'pg\\\\_temp\\\\_%'   WHEN true THEN CASE c.relkind     WHEN 'r' THEN 'TEMPORARY TABLE'     WHEN 'i' "
      "THEN 'TEMPORARY INDEX'     ELSE NULL   END   WHEN false THEN CASE c.relkind     WHEN 'r' THEN 'SYSTEM "
      "TABLE'     WHEN 'v' THEN 'SYSTEM VIEW'     WHEN 'i' THEN 'SYSTEM INDEX'     ELSE NULL   END   ELSE NULL "
      "END ELSE NULL END WHEN false THEN CASE c.relkind   WHEN 'r' THEN 'TABLE'   WHEN 'i' THEN 'INDEX'   WHEN "
      "'S' THEN 'SEQUENCE'   WHEN 'v' THEN 'VIEW'   ELSE NULL END ELSE NULL  END  AS TABLE_TYPE, NULL AS REMARKS "
      "FROM pg_class c WHERE true  AND c.relname LIKE 't\\'x' AND (false OR ( c.relkind = 'v' AND c.relname NOT "
      "LIKE 'pg\\\\_%' )) ORDER BY TABLE_TYPE,TABLE_NAME ",
      "SELECT NULL::text AS nspname,c.relname,a.attname,a.atttypid,a.attnotnull,a.atttypmod,a.attlen,a.attnum,"
      "NULL AS adsrc,NULL AS description FROM pg_class c, pg_attribute a  WHERE a.attrelid=c.oid AND a.attnum > 0 "
      " AND c.relname LIKE 't' AND a.attname LIKE '%' ORDER BY nspname,relname,attnum",
      "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM, ct.relname AS TABLE_NAME, a.attname AS COLUMN_NAME, a.attnum "
      "AS KEY_SEQ, ci.relname AS PK_NAME FROM pg_class ct, pg_class ci, pg_attribute a, pg_index i WHERE "
      "ct.oid=i.indrelid AND ci.oid=i.indexrelid AND a.attrelid=ci.oid AND i.indisprimary AND ct.relname = 't' "
      "ORDER BY table_name, pk_name, key_seq",
      "SELECT DISTINCT NULL::text as pnspname, NULL::text as fnspname, c1.relname as prelname, c2.relname as "
      "frelname, t1.tgconstrname, a.attnum as keyseq, ic.relname as fkeyname, t1.tgdeferrable, t1.tginitdeferred, "
      "t1.tgnargs,t1.tgargs, p1.proname as updaterule, p2.proname as deleterule FROM pg_class c1 JOIN pg_index i "
      "ON (c1.oid=i.indrelid) JOIN pg_class ic ON (i.indexrelid=ic.oid) JOIN pg_attribute a ON "
      "(ic.oid=a.attrelid), pg_class c2, pg_trigger t1 JOIN pg_proc p1 ON (t1.tgfoid=p1.oid), pg_trigger t2 JOIN "
      "pg_proc p2 ON (t2.tgfoid=p2.oid) WHERE (t1.tgrelid=c1.oid AND t1.tgisconstraint AND t1.tgconstrrelid=c2.oid "
      "AND p1.proname LIKE 'RI\\\\_FKey\\\\_%\\\\_upd') AND (t2.tgrelid=c1.oid AND t2.tgisconstraint AND "
      "t2.tgconstrrelid=c2.oid  AND p2.proname LIKE 'RI\\\\_FKey\\\\_%\\\\_del') AND i.indisprimary AND "
      "c2.relname='t' ORDER BY prelname, keyseq",
      "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM, ct.relname AS TABLE_NAME, NOT i.indisunique AS NON_UNIQUE, "
      "NULL AS INDEX_QUALIFIER, ci.relname AS INDEX_NAME, CASE i.indisclustered WHEN true THEN 1 ELSE CASE "
      "am.amname WHEN 'hash' THEN 2 ELSE 3 END END AS TYPE, a.attnum AS ORDINAL_POSITION, a.attname AS "
      "COLUMN_NAME, NULL AS ASC_OR_DESC, ci.reltuples AS CARDINALITY, ci.relpages AS PAGES, NULL AS "
      "FILTER_CONDITION FROM pg_class ct, pg_class ci, pg_index i, pg_attribute a, pg_am am WHERE "
      "ct.oid=i.indrelid AND ci.oid=i.indexrelid AND a.attrelid=ci.oid AND ci.relam=am.oid AND ct.relname = 't' "
      "AND i.indisunique ORDER BY NON_UNIQUE, TYPE, INDEX_NAME, ORDINAL_POSITION",
      "SELECT NULL::text AS nspname,c.relname,u.usename,c.relacl  FROM pg_class c, pg_user u WHERE u.usesysid = "
      "c.relowner  AND c.relkind = 'r'  AND c.relname LIKE 't' ORDER BY nspname, relname",
      "SELECT NULL AS PROCEDURE_CAT, NULL AS PROCEDURE_SCHEM, p.proname AS PROCEDURE_NAME, NULL AS RESERVED1, NULL "
      "AS RESERVED2, NULL AS RESERVED3, NULL AS REMARKS, 2 AS PROCEDURE_TYPE FROM pg_proc p WHERE p.proname LIKE "
      "'%' ORDER BY PROCEDURE_NAME",
      " SELECT typlen FROM pg_type WHERE typname='name' ",
  };
  ASSERT_EQ(connection->Sent.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(connection->Sent[i], expected[i]) << i;
}

}  // namespace

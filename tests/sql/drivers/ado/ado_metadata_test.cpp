// The ADO metadata over the connection's schema rowsets on both ODBC
// drivers: restrictions, tables by type, columns in order, keys, indexes,
// procedures, the fixed table types and schemas the data source lacks.

#include <gtest/gtest.h>

#include "sql/drivers/ado/ado_metadata.h"
#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;
using Texts = std::vector<AnsiString>;

class AdoMetadata : public testing::TestWithParam<Peer> {
protected:
  PeerDatabase db{GetParam()};
  Ref<IZAdoConnection> connection = db.DriverConnect();
  Ref<IZDatabaseMetadata> metadata = connection->GetMetadata();

  bool IsPostgreSQL() const { return GetParam() == Peer::PostgreSQL; }

  TZAdoDatabaseMetadata& Ado() { return dynamic_cast<TZAdoDatabaseMetadata&>(*metadata); }

  static Texts Column(const Ref<IZResultSet>& resultSet, const char* name) {
    Texts values;
    resultSet->BeforeFirst();
    while (resultSet->Next()) values.push_back(resultSet->GetStringByName(name));
    return values;
  }

  static Texts Rows(const Ref<IZResultSet>& resultSet) {
    Texts rows;
    resultSet->BeforeFirst();
    const int count = resultSet->GetMetadata()->GetColumnCount();
    while (resultSet->Next()) {
      AnsiString row;
      for (int i = 1; i <= count; ++i) row += resultSet->GetString(i) + (resultSet->WasNull() ? "~|" : "|");
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_P(AdoMetadata, RestrictionsAreExactNamesTheDataSourceHonours) {
  const Variant tables = Ado().BuildRestrictions(adSchemaTables, {"", "", "a/_b", "TABLE,VIEW"});
  ASSERT_TRUE(VarIsArray(tables));
  EXPECT_EQ(VarArrayHighBound(tables, 1), 3);
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(tables, 0)));
  EXPECT_EQ(VarArrayGet(tables, 2).AsString(), "a_b");
  EXPECT_EQ(VarArrayGet(tables, 3).AsString(), "TABLE,VIEW");
  // Index names are not honoured: the text goes unassigned.
  const Variant indexes = Ado().BuildRestrictions(adSchemaIndexes, {"", "", "idx", "", "t"});
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(indexes, 2)));
  EXPECT_EQ(VarArrayGet(indexes, 4).AsString(), "t");
  EXPECT_TRUE(VarIsNull(Ado().BuildRestrictions(adSchemaCatalogs, {})));
  EXPECT_TRUE(VarIsNull(Ado().BuildRestrictions(99, {"x"})));
}

TEST_P(AdoMetadata, TablesOfTheAskedTypesAndColumnsInTheirOrder) {
  const std::string table = db.Table("t_x");
  const std::string view = db.Table("v_x");
  connection->InternalExecuteStatement("CREATE TABLE " + table + " (zeta integer NOT NULL, alpha varchar(7), mid numeric(9, 2))");
  if (IsPostgreSQL()) db.Oracle("DROP VIEW IF EXISTS " + view);
  connection->InternalExecuteStatement("CREATE VIEW " + view + " AS SELECT zeta FROM " + table);
  // A "_" of the name is no wildcard: the similar table is not listed.
  connection->InternalExecuteStatement("CREATE TABLE " + db.Table("tXx") + " (n integer)");

  Ref<IZResultSet> tables = metadata->GetTables("", "", table, {"TABLE", "VIEW"});
  EXPECT_EQ(Column(tables, "TABLE_NAME"), Texts{table});
  EXPECT_EQ(Column(tables, "TABLE_TYPE"), Texts{"TABLE"});
  EXPECT_EQ(Column(metadata->GetTables("", "", view, {"TABLE", "VIEW"}), "TABLE_TYPE"), Texts{"VIEW"});
  EXPECT_TRUE(Column(metadata->GetTables("", "", view, {"TABLE"}), "TABLE_NAME").empty());

  Ref<IZResultSet> columns = metadata->GetColumns("", "", table, "");
  EXPECT_EQ(Column(columns, "COLUMN_NAME"), (Texts{"zeta", "alpha", "mid"}));
  EXPECT_EQ(Column(columns, "ORDINAL_POSITION"), (Texts{"1", "2", "3"}));
  EXPECT_EQ(Column(columns, "IS_NULLABLE"), (Texts{"NO", "YES", "YES"}));
  EXPECT_EQ(Column(columns, "WRITABLE"), (Texts{"True", "True", "True"}));
  if (IsPostgreSQL()) {
    EXPECT_EQ(Column(columns, "NUM_PREC_RADIX")[2], "9");
  }
}

TEST_P(AdoMetadata, KeysAndIndexes) {
  const std::string parent = db.Table("parent");
  const std::string child = db.Table("child");
  connection->InternalExecuteStatement("CREATE TABLE " + parent + " (id integer PRIMARY KEY, code varchar(5))");
  connection->InternalExecuteStatement("CREATE UNIQUE INDEX " + parent + "_code ON " + parent + " (code)");
  connection->InternalExecuteStatement("CREATE TABLE " + child + " (id integer, parent_id integer REFERENCES " +
                                       parent + " (id))");

  EXPECT_EQ(Column(metadata->GetPrimaryKeys("", "", parent), "COLUMN_NAME"), Texts{"id"});
  Ref<IZResultSet> indexes = metadata->GetIndexInfo("", "", parent, false, false);
  Texts codeIndex;
  indexes->BeforeFirst();
  while (indexes->Next())
    if (indexes->GetStringByName("COLUMN_NAME") == "code")
      codeIndex.push_back(indexes->GetStringByName("NON_UNIQUE") + " " + indexes->GetStringByName("INDEX_NAME"));
  EXPECT_EQ(codeIndex, Texts{"False " + parent + "_code"});

  Ref<IZResultSet> imported = metadata->GetImportedKeys("", "", child);
  EXPECT_EQ(Column(imported, "PKCOLUMN_NAME"), Texts{"id"});
  EXPECT_EQ(Column(imported, "FKCOLUMN_NAME"), Texts{"parent_id"});
  EXPECT_EQ(Column(imported, "PKTABLE_NAME"), Texts{parent});
  EXPECT_EQ(Rows(imported), Rows(metadata->GetCrossReference("", "", "", "", "", child)));
  EXPECT_EQ(Column(metadata->GetExportedKeys("", "", parent), "FKTABLE_NAME"), Texts{child});
}

TEST_P(AdoMetadata, ProceduresCountTheirKindFromZero) {
  if (!IsPostgreSQL()) GTEST_SKIP() << "SQLite has no stored procedures";
  db.Oracle("CREATE OR REPLACE FUNCTION ado_twice(x integer) RETURNS integer AS 'SELECT $1 * 2' LANGUAGE SQL");
  Ref<Recordset15> rowset = connection->GetAdoConnection()->OpenSchema(
      adSchemaProcedures, Variant(VarArrayCreate(0, 2, varVariant)));
  Ref<IZResultSet> procedures = metadata->GetProcedures("", "", "ado_twice");
  ASSERT_EQ(Column(procedures, "PROCEDURE_NAME"), Texts{"ado_twice"});
  procedures->First();
  int adoType = -1;
  for (; !rowset->Eof(); rowset->MoveNext())
    if (rowset->Fields()->Item("PROCEDURE_NAME")->Value().AsString() == "ado_twice")
      adoType = static_cast<int>(rowset->Fields()->Item("PROCEDURE_TYPE")->Value().AsInteger());
  EXPECT_EQ(procedures->GetIntByName("PROCEDURE_TYPE"), adoType - 1);

  Ref<IZResultSet> parameters = metadata->GetProcedureColumns("", "", "ado_twice", "");
  EXPECT_EQ(Column(parameters, "COLUMN_NAME"), (Texts{"", "x"}));
  EXPECT_EQ(Column(parameters, "COLUMN_TYPE"), (Texts{"4", "1"}));
}

TEST_P(AdoMetadata, FixedTableTypesAndEmptyAnswersForWhatTheSourceLacks) {
  EXPECT_EQ(Column(metadata->GetTableTypes(), "TABLE_TYPE"),
            (Texts{"ALIAS", "TABLE", "SYNONYM", "SYSTEM TABLE", "VIEW", "GLOBAL TEMPORARY", "LOCAL TEMPORARY",
                   "SYSTEM VIEW"}));
  EXPECT_TRUE(Column(metadata->GetUDTs("", "", "", {}), "TYPE_NAME").empty());
  // Foreign keys without any table cannot be listed by the data source.
  EXPECT_TRUE(Column(metadata->GetCrossReference("", "", "", "", "", ""), "FKTABLE_NAME").empty());
  EXPECT_EQ(ErrorOf([&] { connection->GetAdoConnection()->OpenSchema(99); }),
            "[HYC00] Object or provider is not capable of performing requested operation.");
  EXPECT_FALSE(Column(metadata->GetTypeInfo(), "TYPE_NAME").empty());
  EXPECT_EQ(metadata->GetIdentifierQuoteString(), "\"");
}

INSTANTIATE_TEST_SUITE_P(Peers, AdoMetadata, testing::Values(Peer::SQLite, Peer::PostgreSQL), PeerName);

}  // namespace

// MS SQL Server's metadata: the constant answers and the catalogue builders
// over the server's sp_ procedures and its syscolumns table, with the copy
// and the syscolumns pass the Sybase builders share.

#include <map>

#include "platform/rtl/format.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/mssql_functions.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_metadata.h"
#include "sql/drivers/dblib/dblib_utils.h"

namespace {

// syscolumns.status: an identity column.
constexpr int kIdentityStatus = 0x80;
// syscolumns.type of a timestamp (row version) column, which nobody writes.
constexpr int kTimestampColumnType = 37;

// The server's parameter kinds (1 input, 2 in/out, 3 result column, 4
// output, 5 return value) as procedure-column types.
int ProcedureColumnType(int serverType) {
  switch (serverType) {
    case 1: return 1;
    case 2: case 4: return 3;
    case 5: return 4;
    default: return 0;
  }
}

// NULLABLE from IS_NULLABLE: 0 "NO", 1 "YES", 2 unknown.
int NullableFromText(const AnsiString& text) { return text == "NO" ? 0 : text == "YES" ? 1 : 2; }

}  // namespace

TZMsSqlDatabaseMetadata::TZMsSqlDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info) {}

AnsiString TZMsSqlDatabaseMetadata::GetNumericFunctions() { return kMsSqlNumericFunctions; }

AnsiString TZMsSqlDatabaseMetadata::GetStringFunctions() { return kMsSqlStringFunctions; }

AnsiString TZMsSqlDatabaseMetadata::GetSystemFunctions() { return kMsSqlSystemFunctions; }

AnsiString TZMsSqlDatabaseMetadata::GetTimeDateFunctions() { return kMsSqlTimeDateFunctions; }

void TZMsSqlDatabaseMetadata::ApplySysColumns(IZVirtualResultSet& result, const AnsiString& table,
                                              const AnsiString& sql, bool computedColumns) {
  // A listing may hold several tables: each syscolumns row finds its own.
  std::map<AnsiString, int> rows;
  const int tableColumn = result.FindColumn("TABLE_NAME"), nameColumn = result.FindColumn("COLUMN_NAME");
  for (result.BeforeFirst(); result.Next();)
    if (result.GetString(tableColumn) == table) rows.emplace(result.GetString(nameColumn), result.GetRow());

  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const auto row = rows.find(query->GetStringByName("name"));
    if (row == rows.end() || !result.MoveAbsolute(row->second)) continue;
    const int status = query->GetIntByName("status");
    const int type = query->GetIntByName("type");
    const bool computed = computedColumns && query->GetIntByName("iscomputed") != 0;
    const bool identity = (status & kIdentityStatus) != 0;
    const bool writable = !identity && type != kTimestampColumnType && !computed;
    result.UpdateBooleanByName("AUTO_INCREMENT", identity);
    result.UpdateNullByName("CASE_SENSITIVE");
    if (computedColumns)
      result.UpdateBooleanByName("SEARCHABLE", result.GetBooleanByName("SEARCHABLE") && !computed);
    else
      result.UpdateBooleanByName("SEARCHABLE", type != kDBLibImage && type != kDBLibText);
    result.UpdateBooleanByName("WRITABLE", writable);
    result.UpdateBooleanByName("DEFINITELYWRITABLE", writable);
    result.UpdateBooleanByName("READONLY", !writable);
    if (identity) {
      result.UpdateIntByName("NULLABLE", 1);
      result.UpdateStringByName("IS_NULLABLE", "YES");
    }
    result.UpdateRow();
  }
  result.BeforeFirst();
}

// --- catalogue builders

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetProcedures(const AnsiString& catalog,
                                                                const AnsiString& schemaPattern,
                                                                const AnsiString& procedureNamePattern) {
  const AnsiString sql = Format("exec sp_stored_procedures %s, %s, %s",
                                {QuoteOrNull(procedureNamePattern, '\''), QuoteOrNull(schemaPattern, '\''),
                                 QuoteOrNull(catalog, '\'')});
  return CopyCatalogue(sql, ProceduresColumnDefs,
                       {{"PROCEDURE_CAT", "PROCEDURE_QUALIFIER"}, {"PROCEDURE_SCHEM", "PROCEDURE_OWNER"},
                        {"PROCEDURE_NAME"}, {"REMARKS"}},
                       [](IZResultSet&, IZVirtualResultSet& result) { result.UpdateShortByName("PROCEDURE_TYPE", 0); });
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetProcedureColumns(const AnsiString& catalog,
                                                                      const AnsiString& schemaPattern,
                                                                      const AnsiString& procedureNamePattern,
                                                                      const AnsiString& columnNamePattern) {
  const AnsiString sql = Format("exec sp_sproc_columns %s, %s, %s, %s",
                                {QuoteOrNull(procedureNamePattern, '\''), QuoteOrNull(schemaPattern, '\''),
                                 QuoteOrNull(catalog, '\''), QuoteOrNull(columnNamePattern, '\'')});
  return CopyCatalogue(
      sql, ProcedureColumnsColumnDefs,
      {{"PROCEDURE_CAT", "PROCEDURE_QUALIFIER"}, {"PROCEDURE_SCHEM", "PROCEDURE_OWNER"}, {"PROCEDURE_NAME"},
       {"COLUMN_NAME"}, {"TYPE_NAME"}, {"PRECISION"}, {"LENGTH"}, {"SCALE"}, {"RADIX"}, {"REMARKS"}},
      [](IZResultSet& source, IZVirtualResultSet& result) {
        result.UpdateShortByName("COLUMN_TYPE", ProcedureColumnType(source.GetIntByName("COLUMN_TYPE")));
        result.UpdateShortByName("DATA_TYPE", ConvertODBCToSqlType(source.GetShortByName("DATA_TYPE")));
        result.UpdateShortByName("NULLABLE", NullableFromText(source.GetStringByName("IS_NULLABLE")));
      });
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                            const AnsiString& tableNamePattern,
                                                            const TZStringDynArray& types) {
  const AnsiString sql =
      Format("exec sp_tables %s, %s, %s, %s", {QuoteOrNull(tableNamePattern, '\''), QuoteOrNull(schemaPattern, '\''),
                                               QuoteOrNull(catalog, '\''), CatalogueTypeList(types)});
  return CopyCatalogue(sql, TablesColumnDefs,
                       {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"},
                        {"TABLE_TYPE"}, {"REMARKS"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetSchemas() {
  return CopyCatalogue("select name as TABLE_OWNER from sysusers where islogin = 1", SchemasColumnDefs,
                       {{"TABLE_SCHEM", "TABLE_OWNER"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetCatalogs() {
  return CopyCatalogue("exec sp_databases", CatalogsColumnDefs, {{"TABLE_CAT", "DATABASE_NAME"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"SYSTEM TABLE", "TABLE", "VIEW"});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetColumns(const AnsiString& catalog,
                                                             const AnsiString& schemaPattern,
                                                             const AnsiString& tableNamePattern,
                                                             const AnsiString& columnNamePattern) {
  const AnsiString sql = Format("exec sp_columns %s, %s, %s, %s",
                                {QuoteOrNull(tableNamePattern, '\''), QuoteOrNull(schemaPattern, '\''),
                                 QuoteOrNull(catalog, '\''), QuoteOrNull(columnNamePattern, '\'')});
  Ref<IZVirtualResultSet> result = CopyCatalogue(
      sql, ColumnsColumnDefs,
      {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"}, {"COLUMN_NAME"},
       {"TYPE_NAME"}, {"COLUMN_SIZE", "LENGTH"}, {"BUFFER_LENGTH", "LENGTH"}, {"DECIMAL_DIGITS", "SCALE"},
       {"NUM_PREC_RADIX", "RADIX"}, {"REMARKS"}, {"COLUMN_DEF"}, {"SQL_DATA_TYPE"}, {"SQL_DATETIME_SUB"},
       {"CHAR_OCTET_LENGTH"}, {"ORDINAL_POSITION"}, {"IS_NULLABLE"}},
      [](IZResultSet& source, IZVirtualResultSet& result) {
        result.UpdateIntByName("NULLABLE", NullableFromText(source.GetStringByName("IS_NULLABLE")));
        const int type = source.GetIntByName("SS_DATA_TYPE");
        result.UpdateBooleanByName("SEARCHABLE", type != kDBLibImage && type != kDBLibText);
      });
  ApplySysColumns(*result, tableNamePattern,
                  "select c.colid, c.name, c.type, c.prec, c.scale, c.colstat, c.status, c.iscomputed from syscolumns "
                  "c inner join sysobjects o on (o.id = c.id) where o.name = " +
                      QuoteOrNull(tableNamePattern, '\'') + " order by colid",
                  true);
  return result;
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString& catalog,
                                                                      const AnsiString& schema,
                                                                      const AnsiString& table,
                                                                      const AnsiString& columnNamePattern) {
  const AnsiString sql =
      Format("exec sp_column_privileges %s, %s, %s, %s", {QuoteOrNull(table, '\''), QuoteOrNull(schema, '\''),
                                                          QuoteOrNull(catalog, '\''),
                                                          QuoteOrNull(columnNamePattern, '\'')});
  return CopyCatalogue(sql, ColumnPrivilegesColumnDefs,
                       {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"},
                        {"COLUMN_NAME"}, {"GRANTOR"}, {"GRANTEE"}, {"PRIVILEGE"}, {"IS_GRANTABLE"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString& catalog,
                                                                     const AnsiString& schemaPattern,
                                                                     const AnsiString& tableNamePattern) {
  const AnsiString sql = Format("exec sp_table_privileges %s, %s, %s",
                                {QuoteOrNull(tableNamePattern, '\''), QuoteOrNull(schemaPattern, '\''),
                                 QuoteOrNull(catalog, '\'')});
  return CopyCatalogue(sql, TablePrivilegesColumnDefs,
                       {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"},
                        {"GRANTOR"}, {"GRANTEE"}, {"PRIVILEGE"}, {"IS_GRANTABLE"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetVersionColumns(const AnsiString& catalog,
                                                                    const AnsiString& schema,
                                                                    const AnsiString& table) {
  const AnsiString sql = Format("exec sp_special_columns %s, %s, %s, 'V'",
                                {QuoteOrNull(table, '\''), QuoteOrNull(schema, '\''), QuoteOrNull(catalog, '\'')});
  return CopyCatalogue(sql, VersionColumnsColumnDefs,
                       {{"SCOPE"}, {"COLUMN_NAME"}, {"TYPE_NAME"}, {"COLUMN_SIZE", "LENGTH"},
                        {"BUFFER_LENGTH", "LENGTH"}, {"DECIMAL_DIGITS", "SCALE"}, {"PSEUDO_COLUMN"}},
                       [](IZResultSet& source, IZVirtualResultSet& result) {
                         result.UpdateShortByName("DATA_TYPE",
                                                  ConvertODBCToSqlType(source.GetShortByName("DATA_TYPE")));
                       });
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                 const AnsiString& table) {
  const AnsiString sql = Format("exec sp_pkeys %s, %s, %s",
                                {QuoteOrNull(table, '\''), QuoteOrNull(schema, '\''), QuoteOrNull(catalog, '\'')});
  return CopyCatalogue(sql, PrimaryKeysColumnDefs,
                       {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"},
                        {"COLUMN_NAME"}, {"KEY_SEQ"}, {"PK_NAME"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table) {
  return UncachedGetCrossReference("", "", "", catalog, schema, table);
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table) {
  return UncachedGetCrossReference(catalog, schema, table, "", "", "");
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetCrossReference(
    const AnsiString& primaryCatalog, const AnsiString& primarySchema, const AnsiString& primaryTable,
    const AnsiString& foreignCatalog, const AnsiString& foreignSchema, const AnsiString& foreignTable) {
  const AnsiString sql = Format(
      "exec sp_fkeys %s, %s, %s, %s, %s, %s",
      {QuoteOrNull(primaryTable, '\''), QuoteOrNull(primarySchema, '\''), QuoteOrNull(primaryCatalog, '\''),
       QuoteOrNull(foreignTable, '\''), QuoteOrNull(foreignSchema, '\''), QuoteOrNull(foreignCatalog, '\'')});
  return CopyCatalogue(sql, CrossReferenceColumnDefs,
                       {{"PKTABLE_CAT", "PKTABLE_QUALIFIER"}, {"PKTABLE_SCHEM", "PKTABLE_OWNER"}, {"PKTABLE_NAME"},
                        {"PKCOLUMN_NAME"}, {"FKTABLE_CAT", "FKTABLE_QUALIFIER"}, {"FKTABLE_SCHEM", "FKTABLE_OWNER"},
                        {"FKTABLE_NAME"}, {"FKCOLUMN_NAME"}, {"KEY_SEQ"}, {"UPDATE_RULE"}, {"DELETE_RULE"},
                        {"FK_NAME"}, {"PK_NAME"}},
                       [](IZResultSet&, IZVirtualResultSet& result) { result.UpdateShortByName("DEFERRABILITY", 0); });
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetTypeInfo() {
  return CopyCatalogue("exec sp_datatype_info", TypeInfoColumnDefs,
                       {{"TYPE_NAME"}, {"PRECISION"}, {"LITERAL_PREFIX"}, {"LITERAL_SUFFIX"}, {"CREATE_PARAMS"},
                        {"NULLABLE"}, {"CASE_SENSITIVE"}, {"SEARCHABLE"}, {"UNSIGNED_ATTRIBUTE"},
                        {"FIXED_PREC_SCALE", "MONEY"}, {"AUTO_INCREMENT"}, {"LOCAL_TYPE_NAME"}, {"MINIMUM_SCALE"},
                        {"MAXIMUM_SCALE"}, {"SQL_DATA_TYPE"}, {"SQL_DATETIME_SUB"}, {"NUM_PREC_RADIX"}},
                       [](IZResultSet& source, IZVirtualResultSet& result) {
                         result.UpdateShortByName("DATA_TYPE",
                                                  ConvertODBCToSqlType(source.GetShortByName("DATA_TYPE")));
                       });
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                               const AnsiString& table, bool unique,
                                                               bool approximate) {
  const AnsiString sql = Format(
      "exec sp_statistics %s, %s, %s, '%%', %s, %s",
      {QuoteOrNull(table, '\''), QuoteOrNull(schema, '\''), QuoteOrNull(catalog, '\''),
       AnsiString(unique ? "'Y'" : "'N'"), AnsiString(approximate ? "'Q'" : "'E'")});
  return CopyCatalogue(sql, IndexInfoColumnDefs,
                       {{"TABLE_CAT", "TABLE_QUALIFIER"}, {"TABLE_SCHEM", "TABLE_OWNER"}, {"TABLE_NAME"},
                        {"NON_UNIQUE"}, {"INDEX_QUALIFIER"}, {"INDEX_NAME"}, {"TYPE"},
                        {"ORDINAL_POSITION", "SEQ_IN_INDEX"}, {"COLUMN_NAME"}, {"ASC_OR_DESC", "COLLATION"},
                        {"CARDINALITY"}, {"PAGES"}, {"FILTER_CONDITION"}});
}

Ref<IZResultSet> TZMsSqlDatabaseMetadata::UncachedGetUDTs(const AnsiString&, const AnsiString&, const AnsiString&,
                                                          const TZIntegerDynArray&) {
  return ConstructVirtualResultSet(UDTsColumnDefs);
}

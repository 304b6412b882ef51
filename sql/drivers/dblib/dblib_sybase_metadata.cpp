// Sybase ASE's catalogue builders: the server's sp_jdbc_ procedures, whose
// answers carry the standard column names, and its syscolumns table. The
// procedures take the catalog first, except sp_jdbc_tables and
// sp_jdbc_columns, which take the table name first.

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/drivers/dblib/dblib_metadata.h"
#include "sql/drivers/dblib/dblib_utils.h"

namespace {

// The server's parameter kinds as procedure-column types; Sybase also
// reports unknown kinds (0) for inputs.
int SybaseProcedureColumnType(int serverType) {
  switch (serverType) {
    case 0: case 1: return 1;
    case 2: case 4: return 3;
    case 5: return 4;
    default: return 0;
  }
}

AnsiString Quoted(const AnsiString& value) { return QuoteOrNull(value, '\''); }
// A name the server compares exactly: two single quotes when empty.
AnsiString QuotedName(const AnsiString& value) { return QuoteOrDefault(value, "''", '\''); }

void ConvertDataType(IZResultSet& source, IZVirtualResultSet& result) {
  result.UpdateShortByName("DATA_TYPE", ConvertODBCToSqlType(source.GetShortByName("DATA_TYPE")));
}

}  // namespace

Ref<IZVirtualResultSet> TZSybaseDatabaseMetadata::CopySameNames(const AnsiString& sql,
                                                                const TZMetadataColumnDefs& layout,
                                                                const TZRowFiller& fill) {
  std::vector<TZCatalogueColumn> columns;
  for (const TZMetadataColumnDef& def : layout) columns.push_back({def.Name.c_str()});
  return CopyCatalogue(sql, layout, columns, fill);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetProcedures(const AnsiString& catalog,
                                                                 const AnsiString& schemaPattern,
                                                                 const AnsiString& procedureNamePattern) {
  return CopySameNames(Format("exec sp_jdbc_stored_procedures %s, %s, %s",
                              {Quoted(catalog), Quoted(schemaPattern), Quoted(procedureNamePattern)}),
                       ProceduresColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetProcedureColumns(const AnsiString& catalog,
                                                                       const AnsiString& schemaPattern,
                                                                       const AnsiString& procedureNamePattern,
                                                                       const AnsiString& columnNamePattern) {
  Ref<IZVirtualResultSet> result = CopySameNames(
      Format("exec sp_jdbc_getprocedurecolumns %s, %s, %s, %s",
             {Quoted(catalog), Quoted(schemaPattern), Quoted(procedureNamePattern), Quoted(columnNamePattern)}),
      ProcedureColumnsColumnDefs, [](IZResultSet& source, IZVirtualResultSet& result) {
        result.UpdateShortByName("COLUMN_TYPE", SybaseProcedureColumnType(source.GetIntByName("COLUMN_TYPE")));
        ConvertDataType(source, result);
      });

  // "name;2" is procedure name's second group; the number goes into the
  // text as a number only.
  AnsiString name = procedureNamePattern;
  int number = 1;
  if (const std::size_t semicolon = name.rfind(';'); semicolon != AnsiString::npos) {
    number = StrToIntDef(name.substr(semicolon + 1), 1);
    name.erase(semicolon);
  }
  const AnsiString sql = Format(
      "select c.* from syscolumns c inner join sysobjects o on (o.id = c.id) where o.name = %s and c.number = %d "
      "order by colid",
      {QuotedName(name), number});
  // The k-th parameter row describes the (k + 1)-th answer row: the first
  // one is the return value.
  TZCatalogueQuery query(*GetConnection(), sql);
  result->First();
  while (query.Next() && result->Next()) {
    const int status2 = query->FindColumn("status2");
    result->UpdateShortByName("COLUMN_TYPE", SybaseProcedureColumnType(status2 ? query->GetInt(status2) : 0));
    result->UpdateRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetTables(const AnsiString& catalog,
                                                             const AnsiString& schemaPattern,
                                                             const AnsiString& tableNamePattern,
                                                             const TZStringDynArray& types) {
  return CopySameNames(Format("exec sp_jdbc_tables %s, %s, %s, %s", {Quoted(tableNamePattern), Quoted(schemaPattern),
                                                                      Quoted(catalog), CatalogueTypeList(types)}),
                       TablesColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetSchemas() {
  return CopySameNames("exec sp_jdbc_getschemas", SchemasColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetCatalogs() {
  return CopySameNames("exec sp_jdbc_getcatalogs", CatalogsColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetColumns(const AnsiString& catalog,
                                                              const AnsiString& schemaPattern,
                                                              const AnsiString& tableNamePattern,
                                                              const AnsiString& columnNamePattern) {
  Ref<IZVirtualResultSet> result = CopyCatalogue(
      Format("exec sp_jdbc_columns %s, %s, %s, %s",
             {Quoted(tableNamePattern), Quoted(schemaPattern), Quoted(catalog), Quoted(columnNamePattern)}),
      ColumnsColumnDefs,
      {{"TABLE_NAME"}, {"COLUMN_NAME"}, {"TYPE_NAME"}, {"COLUMN_SIZE"}, {"BUFFER_LENGTH"}, {"DECIMAL_DIGITS"},
       {"NUM_PREC_RADIX"}, {"NULLABLE"}, {"REMARKS"}, {"COLUMN_DEF"}, {"SQL_DATA_TYPE"}, {"SQL_DATETIME_SUB"},
       {"CHAR_OCTET_LENGTH"}, {"ORDINAL_POSITION"}, {"IS_NULLABLE"}},
      [](IZResultSet&, IZVirtualResultSet& result) {
        result.UpdateStringByName("TABLE_CAT", "");
        result.UpdateStringByName("TABLE_SCHEM", "");
      });
  ApplySysColumns(*result, tableNamePattern,
                  "select c.colid, c.name, c.type, c.prec, c.scale, c.status from syscolumns c inner join sysobjects o "
                  "on (o.id = c.id) where o.name = " +
                      QuotedName(tableNamePattern) + " order by colid",
                  false);
  return result;
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString& catalog,
                                                                       const AnsiString& schema,
                                                                       const AnsiString& table,
                                                                       const AnsiString& columnNamePattern) {
  return CopySameNames(Format("exec sp_jdbc_getcolumnprivileges %s, %s, %s, %s",
                              {Quoted(catalog), Quoted(schema), Quoted(table),
                               QuoteOrDefault(columnNamePattern, "'%'", '\'')}),
                       ColumnPrivilegesColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString& catalog,
                                                                      const AnsiString& schemaPattern,
                                                                      const AnsiString& tableNamePattern) {
  return CopySameNames(Format("exec sp_jdbc_gettableprivileges %s, %s, %s",
                              {Quoted(catalog), Quoted(schemaPattern), Quoted(tableNamePattern)}),
                       TablePrivilegesColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetVersionColumns(const AnsiString& catalog,
                                                                     const AnsiString& schema,
                                                                     const AnsiString& table) {
  return CopySameNames(
      Format("exec sp_jdbc_getversioncolumns %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
      VersionColumnsColumnDefs, ConvertDataType);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table) {
  return CopySameNames(
      Format("exec sp_jdbc_primarykey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
      PrimaryKeysColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetImportedKeys(const AnsiString& catalog,
                                                                   const AnsiString& schema,
                                                                   const AnsiString& table) {
  return CopySameNames(Format("exec sp_jdbc_importkey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
                       ImportedKeysColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetExportedKeys(const AnsiString& catalog,
                                                                   const AnsiString& schema,
                                                                   const AnsiString& table) {
  return CopySameNames(Format("exec sp_jdbc_exportkey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
                       ExportedKeysColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetCrossReference(
    const AnsiString& primaryCatalog, const AnsiString& primarySchema, const AnsiString& primaryTable,
    const AnsiString& foreignCatalog, const AnsiString& foreignSchema, const AnsiString& foreignTable) {
  return CopySameNames(Format("exec sp_jdbc_getcrossreferences %s, %s, %s, %s, %s, %s",
                              {Quoted(primaryCatalog), Quoted(primarySchema), Quoted(primaryTable),
                               Quoted(foreignCatalog), Quoted(foreignSchema), Quoted(foreignTable)}),
                       CrossReferenceColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetTypeInfo() {
  return CopySameNames("exec sp_jdbc_datatype_info", TypeInfoColumnDefs, ConvertDataType);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table, bool unique,
                                                                bool approximate) {
  return CopySameNames(Format("exec sp_jdbc_getindexinfo %s, %s, %s, %s, %s",
                              {Quoted(catalog), Quoted(schema), Quoted(table), AnsiString(unique ? "'1'" : "'0'"),
                               AnsiString(approximate ? "'1'" : "'0'")}),
                       IndexInfoColumnDefs);
}

Ref<IZResultSet> TZSybaseDatabaseMetadata::UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                           const AnsiString& typeNamePattern,
                                                           const TZIntegerDynArray& types) {
  AnsiString list;
  for (int type : types) list += (list.empty() ? "'" : ",'") + IntToStr(type) + "'";
  return CopySameNames(Format("exec sp_jdbc_getudts %s, %s, %s, %s",
                              {Quoted(catalog), QuoteOrDefault(schemaPattern, "'%'", '\''),
                               QuoteOrDefault(typeNamePattern, "'%'", '\''), QuoteOrNull(list, '"')}),
                       UDTsColumnDefs, ConvertDataType);
}

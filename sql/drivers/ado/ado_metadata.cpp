// The ADO driver's metadata: capability texts, and the catalogue builders
// over the ADO connection's schema rowsets (see ado_metadata.h).

#include "sql/drivers/ado/ado_metadata.h"

#include "sql/core/dbc/mssql_functions.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/drivers/ado/ado_connection.h"
#include "sql/drivers/ado/ado_result_set.h"
#include "sql/drivers/ado/ado_utils.h"

namespace {

struct SupportedSchema {
  TGUID guid;
  std::uint32_t restrictions;
  int number;
};

// What the last metadata object to ask learnt of its connection's schema
// rowsets; every ADO metadata object reads it.
std::vector<SupportedSchema> supportedSchemas;

const SupportedSchema* FindSchema(int number) {
  for (const SupportedSchema& schema : supportedSchemas)
    if (schema.number == number) return &schema;
  return nullptr;
}

enum class As { Text, Short, Int, Bool };

// Copies a column of the schema row into a column of the insert row; a
// null value, or a column the schema row lacks, leaves it null.
void Copy(TZAdoResultSet& from, const char* fromName, IZResultSet& to, const char* toName, As as) {
  const int column = from.FindColumn(fromName);
  if (column <= 0 || from.IsNull(column)) return;
  switch (as) {
    case As::Text: to.UpdateStringByName(toName, from.GetString(column)); break;
    case As::Short: to.UpdateShortByName(toName, from.GetShort(column)); break;
    case As::Int: to.UpdateIntByName(toName, from.GetInt(column)); break;
    case As::Bool: to.UpdateBooleanByName(toName, from.GetBoolean(column)); break;
  }
}

void Copy(TZAdoResultSet& from, const char* name, IZResultSet& to, As as) { Copy(from, name, to, name, as); }

// A DataTypeEnum column of the schema row as the column type's ordinal.
void CopyType(TZAdoResultSet& from, const char* fromName, IZResultSet& to, const char* toName) {
  const int column = from.FindColumn(fromName);
  if (column <= 0 || from.IsNull(column)) return;
  to.UpdateShortByName(toName, static_cast<std::int16_t>(ConvertAdoToSqlType(from.GetShort(column))));
}

// The search escapes taken out of a pattern: a restriction is an exact name.
AnsiString ExactName(const AnsiString& pattern) {
  AnsiString name;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '/' && i + 1 < pattern.size()) ++i;
    name += pattern[i];
  }
  return name;
}

}  // namespace

TZAdoDatabaseMetadata::TZAdoDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info) {}

AnsiString TZAdoDatabaseMetadata::GetDatabaseProductVersion() {
  return Query<IZAdoConnection>(GetConnection())->GetAdoConnection()->Version();
}

AnsiString TZAdoDatabaseMetadata::GetIdentifierQuoteString() {
  const AnsiString quote = Query<IZAdoConnection>(GetConnection())->GetAdoConnection()->IdentifierQuote();
  return quote.empty() ? AnsiString("[]") : quote;
}

AnsiString TZAdoDatabaseMetadata::GetNumericFunctions() { return kMsSqlNumericFunctions; }

AnsiString TZAdoDatabaseMetadata::GetStringFunctions() { return kMsSqlStringFunctions; }

AnsiString TZAdoDatabaseMetadata::GetSystemFunctions() { return kMsSqlSystemFunctions; }

AnsiString TZAdoDatabaseMetadata::GetTimeDateFunctions() { return kMsSqlTimeDateFunctions; }

// --- schema rowsets

void TZAdoDatabaseMetadata::InitializeSchemas() {
  if (!adoConnection_) adoConnection_ = Query<IZAdoConnection>(GetConnection())->GetAdoConnection();
  supportedSchemas.clear();
  for (const AdoSchemaSupport& schema : adoConnection_->GetSchemas())
    supportedSchemas.push_back({schema.schema, schema.restrictions, ConvertOleDBToAdoSchema(schema.schema)});
  schemasRead_ = true;
}

Variant TZAdoDatabaseMetadata::BuildRestrictions(int schema, const std::vector<AnsiString>& args) {
  if (!schemasRead_) InitializeSchemas();
  const SupportedSchema* supported = FindSchema(schema);
  if (args.empty() || !supported) return Null();
  Variant restrictions = VarArrayCreate(0, static_cast<int>(args.size()) - 1, varVariant);
  for (std::size_t i = 0; i < args.size(); ++i)
    if ((supported->restrictions & (1u << i)) && !args[i].empty())
      VarArrayPut(restrictions, Variant(ExactName(args[i])), static_cast<int>(i));
  return restrictions;
}

Ref<Recordset15> TZAdoDatabaseMetadata::AdoOpenSchema(int schema, const std::vector<AnsiString>& args) {
  if (!schemasRead_) InitializeSchemas();
  if (!FindSchema(schema)) return nullptr;
  try {
    return adoConnection_->OpenSchema(schema, BuildRestrictions(schema, args));
  } catch (const Exception&) {
    // A schema the data source cannot give is an empty answer.
    return nullptr;
  }
}

Ref<IZResultSet> TZAdoDatabaseMetadata::Build(const TZMetadataColumnDefs& layout, int schema,
                                              const std::vector<AnsiString>& args, const RowCopier& copy,
                                              const AnsiString& sort) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(layout);
  Ref<Recordset15> recordset = AdoOpenSchema(schema, args);
  if (!recordset) return result;
  if (!sort.empty()) recordset->SetSort(sort);
  Ref<IZStatement> statement = GetConnection()->CreateStatement();
  auto rows = MakeRef<TZAdoResultSet>(statement, recordset, AnsiString());
  try {
    while (rows->Next()) {
      result->MoveToInsertRow();
      if (copy(*rows, *result)) result->InsertRow();
    }
  } catch (...) {
    rows->Close();
    statement->Close();
    throw;
  }
  rows->Close();
  statement->Close();
  result->BeforeFirst();
  return result;
}

// --- builders

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetProcedures(const AnsiString& catalog,
                                                              const AnsiString& schemaPattern,
                                                              const AnsiString& procedureNamePattern) {
  return Build(ProceduresColumnDefs, adSchemaProcedures, {catalog, schemaPattern, procedureNamePattern, ""},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "PROCEDURE_CATALOG", to, "PROCEDURE_CAT", As::Text);
                 Copy(from, "PROCEDURE_SCHEMA", to, "PROCEDURE_SCHEM", As::Text);
                 Copy(from, "PROCEDURE_NAME", to, As::Text);
                 Copy(from, "DESCRIPTION", to, "REMARKS", As::Text);
                 to.UpdateShortByName("PROCEDURE_TYPE",
                                      static_cast<std::int16_t>(from.GetShortByName("PROCEDURE_TYPE") - 1));
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetProcedureColumns(const AnsiString& catalog,
                                                                    const AnsiString& schemaPattern,
                                                                    const AnsiString& procedureNamePattern,
                                                                    const AnsiString&) {
  return Build(ProcedureColumnsColumnDefs, adSchemaProcedureParameters, {catalog, schemaPattern, procedureNamePattern},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "PROCEDURE_CATALOG", to, "PROCEDURE_CAT", As::Text);
                 Copy(from, "PROCEDURE_SCHEMA", to, "PROCEDURE_SCHEM", As::Text);
                 Copy(from, "PROCEDURE_NAME", to, As::Text);
                 Copy(from, "PARAMETER_NAME", to, "COLUMN_NAME", As::Text);
                 std::int16_t columnType = 0;
                 switch (from.GetShortByName("PARAMETER_TYPE")) {
                   case 1: columnType = 1; break;
                   case 2: columnType = 3; break;
                   case 3: columnType = 2; break;
                   case 4: columnType = 4; break;
                   default: break;
                 }
                 to.UpdateShortByName("COLUMN_TYPE", columnType);
                 CopyType(from, "DATA_TYPE", to, "DATA_TYPE");
                 Copy(from, "TYPE_NAME", to, As::Text);
                 Copy(from, "NUMERIC_PRECISION", to, "PRECISION", As::Int);
                 Copy(from, "CHARACTER_OCTET_LENGTH", to, "LENGTH", As::Int);
                 Copy(from, "NUMERIC_SCALE", to, "SCALE", As::Short);
                 const AnsiString nullable = from.GetStringByName("IS_NULLABLE");
                 to.UpdateShortByName("NULLABLE", nullable == "NO" ? 0 : nullable == "YES" ? 1 : 2);
                 Copy(from, "DESCRIPTION", to, "REMARKS", As::Text);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                          const AnsiString& tableNamePattern,
                                                          const TZStringDynArray& types) {
  AnsiString typeList;
  for (const AnsiString& type : types) typeList += (typeList.empty() ? "" : ",") + type;
  return Build(TablesColumnDefs, adSchemaTables, {catalog, schemaPattern, tableNamePattern, typeList},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "TABLE_CATALOG", to, "TABLE_CAT", As::Text);
                 Copy(from, "TABLE_SCHEMA", to, "TABLE_SCHEM", As::Text);
                 Copy(from, "TABLE_NAME", to, As::Text);
                 Copy(from, "TABLE_TYPE", to, As::Text);
                 Copy(from, "DESCRIPTION", to, "REMARKS", As::Text);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetSchemas() {
  return Build(SchemasColumnDefs, adSchemaSchemata, {}, [](TZAdoResultSet& from, IZResultSet& to) {
    Copy(from, "SCHEMA_NAME", to, "TABLE_SCHEM", As::Text);
    return true;
  });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetCatalogs() {
  return Build(CatalogsColumnDefs, adSchemaCatalogs, {}, [](TZAdoResultSet& from, IZResultSet& to) {
    Copy(from, "CATALOG_NAME", to, "TABLE_CAT", As::Text);
    return true;
  });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes(
      {"ALIAS", "TABLE", "SYNONYM", "SYSTEM TABLE", "VIEW", "GLOBAL TEMPORARY", "LOCAL TEMPORARY", "SYSTEM VIEW"});
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                           const AnsiString& tableNamePattern,
                                                           const AnsiString& columnNamePattern) {
  return Build(
      ColumnsColumnDefs, adSchemaColumns, {catalog, schemaPattern, tableNamePattern, columnNamePattern},
      [](TZAdoResultSet& from, IZResultSet& to) {
        Copy(from, "TABLE_CATALOG", to, "TABLE_CAT", As::Text);
        Copy(from, "TABLE_SCHEMA", to, "TABLE_SCHEM", As::Text);
        Copy(from, "TABLE_NAME", to, As::Text);
        Copy(from, "COLUMN_NAME", to, As::Text);
        Copy(from, "CHARACTER_MAXIMUM_LENGTH", to, "COLUMN_SIZE", As::Int);
        Copy(from, "CHARACTER_MAXIMUM_LENGTH", to, "BUFFER_LENGTH", As::Int);
        Copy(from, "NUMERIC_SCALE", to, "DECIMAL_DIGITS", As::Int);
        Copy(from, "NUMERIC_PRECISION", to, "NUM_PREC_RADIX", As::Int);
        const bool nullable = from.GetBooleanByName("IS_NULLABLE");
        to.UpdateShortByName("NULLABLE", nullable ? 1 : 0);
        Copy(from, "DESCRIPTION", to, "REMARKS", As::Text);
        Copy(from, "COLUMN_DEFAULT", to, "COLUMN_DEF", As::Text);
        Copy(from, "DATETIME_PRECISION", to, "SQL_DATETIME_SUB", As::Short);
        Copy(from, "CHARACTER_OCTET_LENGTH", to, "CHAR_OCTET_LENGTH", As::Int);
        Copy(from, "ORDINAL_POSITION", to, As::Int);
        // The catalogue's usual YES and NO, not the Boolean's own text.
        to.UpdateStringByName("IS_NULLABLE", nullable ? "YES" : "NO");
        const int flags = from.GetIntByName("COLUMN_FLAGS");
        to.UpdateBooleanByName("WRITABLE", (flags & (DBCOLUMNFLAGS_WRITE | DBCOLUMNFLAGS_WRITEUNKNOWN)) != 0);
        to.UpdateBooleanByName("DEFINITELYWRITABLE", (flags & DBCOLUMNFLAGS_WRITE) != 0);
        to.UpdateBooleanByName("READONLY", (flags & (DBCOLUMNFLAGS_WRITE | DBCOLUMNFLAGS_WRITEUNKNOWN)) == 0);
        to.UpdateBooleanByName("SEARCHABLE", (flags & DBCOLUMNFLAGS_ISLONG) == 0);
        return true;
      },
      "ORDINAL_POSITION");
}

namespace {

bool CopyPrivilege(TZAdoResultSet& from, IZResultSet& to, bool withColumn) {
  Copy(from, "TABLE_CATALOG", to, "TABLE_CAT", As::Text);
  Copy(from, "TABLE_SCHEMA", to, "TABLE_SCHEM", As::Text);
  Copy(from, "TABLE_NAME", to, As::Text);
  if (withColumn) Copy(from, "COLUMN_NAME", to, As::Text);
  Copy(from, "GRANTOR", to, As::Text);
  Copy(from, "GRANTEE", to, As::Text);
  Copy(from, "PRIVILEGE_TYPE", to, "PRIVILEGE", As::Text);
  to.UpdateStringByName("IS_GRANTABLE", from.GetBooleanByName("IS_GRANTABLE") ? "YES" : "NO");
  return true;
}

}  // namespace

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString& catalog,
                                                                    const AnsiString& schema,
                                                                    const AnsiString& table,
                                                                    const AnsiString& columnNamePattern) {
  return Build(ColumnPrivilegesColumnDefs, adSchemaColumnPrivileges, {catalog, schema, table, columnNamePattern},
               [](TZAdoResultSet& from, IZResultSet& to) { return CopyPrivilege(from, to, true); });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString& catalog,
                                                                   const AnsiString& schemaPattern,
                                                                   const AnsiString& tableNamePattern) {
  return Build(TablePrivilegesColumnDefs, adSchemaTablePrivileges, {catalog, schemaPattern, tableNamePattern},
               [](TZAdoResultSet& from, IZResultSet& to) { return CopyPrivilege(from, to, false); });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetVersionColumns(const AnsiString& catalog,
                                                                  const AnsiString& schema,
                                                                  const AnsiString& table) {
  return Build(VersionColumnsColumnDefs, adSchemaColumns, {catalog, schema, table},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 if ((from.GetIntByName("COLUMN_FLAGS") & DBCOLUMNFLAGS_ISROWVER) == 0) return false;
                 to.UpdateShortByName("SCOPE", 0);
                 Copy(from, "COLUMN_NAME", to, As::Text);
                 CopyType(from, "DATA_TYPE", to, "DATA_TYPE");
                 Copy(from, "TYPE_NAME", to, As::Text);
                 Copy(from, "CHARACTER_OCTET_LENGTH", to, "COLUMN_SIZE", As::Int);
                 Copy(from, "CHARACTER_OCTET_LENGTH", to, "BUFFER_LENGTH", As::Int);
                 Copy(from, "NUMERIC_SCALE", to, "DECIMAL_DIGITS", As::Int);
                 to.UpdateShortByName("PSEUDO_COLUMN", 0);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                               const AnsiString& table) {
  return Build(PrimaryKeysColumnDefs, adSchemaPrimaryKeys, {catalog, schema, table},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "TABLE_CATALOG", to, "TABLE_CAT", As::Text);
                 Copy(from, "TABLE_SCHEMA", to, "TABLE_SCHEM", As::Text);
                 Copy(from, "TABLE_NAME", to, As::Text);
                 Copy(from, "COLUMN_NAME", to, As::Text);
                 Copy(from, "ORDINAL", to, "KEY_SEQ", As::Short);
                 Copy(from, "PK_NAME", to, As::Text);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table) {
  return UncachedGetCrossReference("", "", "", catalog, schema, table);
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table) {
  return UncachedGetCrossReference(catalog, schema, table, "", "", "");
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetCrossReference(const AnsiString& primaryCatalog,
                                                                  const AnsiString& primarySchema,
                                                                  const AnsiString& primaryTable,
                                                                  const AnsiString& foreignCatalog,
                                                                  const AnsiString& foreignSchema,
                                                                  const AnsiString& foreignTable) {
  return Build(CrossReferenceColumnDefs, adSchemaForeignKeys,
               {primaryCatalog, primarySchema, primaryTable, foreignCatalog, foreignSchema, foreignTable},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "PK_TABLE_CATALOG", to, "PKTABLE_CAT", As::Text);
                 Copy(from, "PK_TABLE_SCHEMA", to, "PKTABLE_SCHEM", As::Text);
                 Copy(from, "PK_TABLE_NAME", to, "PKTABLE_NAME", As::Text);
                 Copy(from, "PK_COLUMN_NAME", to, "PKCOLUMN_NAME", As::Text);
                 Copy(from, "FK_TABLE_CATALOG", to, "FKTABLE_CAT", As::Text);
                 Copy(from, "FK_TABLE_SCHEMA", to, "FKTABLE_SCHEM", As::Text);
                 Copy(from, "FK_TABLE_NAME", to, "FKTABLE_NAME", As::Text);
                 Copy(from, "FK_COLUMN_NAME", to, "FKCOLUMN_NAME", As::Text);
                 Copy(from, "ORDINAL", to, "KEY_SEQ", As::Short);
                 Copy(from, "FK_NAME", to, As::Text);
                 Copy(from, "PK_NAME", to, As::Text);
                 Copy(from, "DEFERRABILITY", to, As::Int);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetTypeInfo() {
  return Build(TypeInfoColumnDefs, adSchemaProviderTypes, {}, [](TZAdoResultSet& from, IZResultSet& to) {
    Copy(from, "TYPE_NAME", to, As::Text);
    CopyType(from, "DATA_TYPE", to, "DATA_TYPE");
    to.UpdateIntByName("PRECISION", 0);
    Copy(from, "LITERAL_PREFIX", to, As::Text);
    Copy(from, "LITERAL_SUFFIX", to, As::Text);
    Copy(from, "CREATE_PARAMS", to, As::Text);
    to.UpdateShortByName("NULLABLE", from.GetBooleanByName("IS_NULLABLE") ? 1 : 0);
    Copy(from, "CASE_SENSITIVE", to, As::Bool);
    Copy(from, "SEARCHABLE", to, As::Short);
    Copy(from, "UNSIGNED_ATTRIBUTE", to, As::Bool);
    Copy(from, "FIXED_PREC_SCALE", to, As::Bool);
    to.UpdateBooleanByName("AUTO_INCREMENT", false);
    Copy(from, "LOCAL_TYPE_NAME", to, As::Text);
    Copy(from, "MINIMUM_SCALE", to, As::Short);
    Copy(from, "MAXIMUM_SCALE", to, As::Short);
    return true;
  });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                             const AnsiString& table, bool, bool) {
  return Build(IndexInfoColumnDefs, adSchemaIndexes, {catalog, schema, "", "", table},
               [](TZAdoResultSet& from, IZResultSet& to) {
                 Copy(from, "TABLE_CATALOG", to, "TABLE_CAT", As::Text);
                 Copy(from, "TABLE_SCHEMA", to, "TABLE_SCHEM", As::Text);
                 Copy(from, "TABLE_NAME", to, As::Text);
                 to.UpdateBooleanByName("NON_UNIQUE", !from.GetBooleanByName("UNIQUE"));
                 Copy(from, "INDEX_CATALOG", to, "INDEX_QUALIFIER", As::Text);
                 Copy(from, "INDEX_NAME", to, As::Text);
                 Copy(from, "TYPE", to, As::Short);
                 Copy(from, "ORDINAL_POSITION", to, As::Short);
                 Copy(from, "COLUMN_NAME", to, As::Text);
                 Copy(from, "CARDINALITY", to, As::Int);
                 Copy(from, "PAGES", to, As::Int);
                 Copy(from, "FILTER_CONDITION", to, As::Text);
                 return true;
               });
}

Ref<IZResultSet> TZAdoDatabaseMetadata::UncachedGetUDTs(const AnsiString&, const AnsiString&, const AnsiString&,
                                                        const TZIntegerDynArray&) {
  return ConstructVirtualResultSet(UDTsColumnDefs);
}

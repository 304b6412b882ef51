// The database metadata base (see abstract_database_metadata.h): the cache of
// catalogue answers, the empty answers of the base, the best row identifier,
// and the copying of results into virtual result sets.

#include "sql/core/dbc/abstract_database_metadata.h"

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/identifier_convertor.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

namespace {

// Best-row-identifier rows describe a column of the row itself, for the
// session (scope 2), and never a pseudo column (1 = not pseudo).
constexpr int kBestRowSession = 2;
constexpr int kBestRowNotPseudo = 1;

AnsiString EscapeKeyPart(const AnsiString& part) {
  AnsiString result;
  for (char c : part) {
    if (c == '\\' || c == ':') result += '\\';
    result += c;
  }
  return result;
}

AnsiString CacheKey(const char* query, std::initializer_list<AnsiString> parts) {
  AnsiString key = query;
  for (const AnsiString& part : parts) key += ":" + EscapeKeyPart(part);
  return key;
}

AnsiString BoolKey(bool value) { return value ? "-1" : "0"; }

AnsiString ReplaceAll(const AnsiString& text, const AnsiString& from, const AnsiString& to) {
  AnsiString result;
  for (std::size_t pos = 0; pos < text.size();) {
    if (text.compare(pos, from.size(), from) == 0) {
      result += to;
      pos += from.size();
    } else {
      result += text[pos++];
    }
  }
  return result;
}

bool IsBinaryOrLargeObject(TZSQLType type) {
  return type == stBytes || type == stAsciiStream || type == stUnicodeStream || type == stBinaryStream;
}

void CopyColumn(IZResultSet& src, IZResultSet& dest, int column, TZSQLType type) {
  switch (type) {
    case stBoolean: dest.UpdateBoolean(column, src.GetBoolean(column)); break;
    case stByte: dest.UpdateByte(column, src.GetByte(column)); break;
    case stShort: dest.UpdateShort(column, src.GetShort(column)); break;
    case stInteger: dest.UpdateInt(column, src.GetInt(column)); break;
    case stLong: dest.UpdateLong(column, src.GetLong(column)); break;
    case stFloat: dest.UpdateFloat(column, src.GetFloat(column)); break;
    case stDouble: dest.UpdateDouble(column, src.GetDouble(column)); break;
    case stBigDecimal: dest.UpdateBigDecimal(column, src.GetBigDecimal(column)); break;
    case stUnicodeString: dest.UpdateUnicodeString(column, src.GetUnicodeString(column)); break;
    case stBytes: dest.UpdateBytes(column, src.GetBytes(column)); break;
    case stDate: dest.UpdateDate(column, src.GetDate(column)); break;
    case stTime: dest.UpdateTime(column, src.GetTime(column)); break;
    case stTimestamp: dest.UpdateTimestamp(column, src.GetTimestamp(column)); break;
    case stString:
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: dest.UpdateString(column, src.GetString(column)); break;
    default: return;  // an unknown type stays NULL
  }
  if (src.WasNull()) dest.UpdateNull(column);
}

// The type a layout gives its column name.
TZSQLType LayoutType(const TZMetadataColumnDefs& layout, const char* name) {
  for (const TZMetadataColumnDef& def : layout)
    if (def.Name == name) return def.SQLType;
  throw EZSQLException(Format(SZColumnWasNotFound, {AnsiString(name)}));
}

// One catalogue value by the layout's type; NULL stays NULL.
void CopyCatalogueValue(IZResultSet& source, int from, IZVirtualResultSet& result, int to, TZSQLType type) {
  switch (type) {
    case stString: {
      const AnsiString value = source.GetString(from);
      if (!source.WasNull()) result.UpdateString(to, value);
      break;
    }
    case stShort: {
      const std::int16_t value = source.GetShort(from);
      if (!source.WasNull()) result.UpdateShort(to, value);
      break;
    }
    case stBoolean: {
      const bool value = source.GetInt(from) == 1;
      if (!source.WasNull()) result.UpdateBoolean(to, value);
      break;
    }
    default: {
      const int value = source.GetInt(from);
      if (!source.WasNull()) result.UpdateInt(to, value);
      break;
    }
  }
}

}  // namespace

TZAbstractDatabaseMetadata::TZAbstractDatabaseMetadata(IZConnection* connection, const AnsiString& url,
                                                       TStrings* info)
    : TContainedObject(connection), connection_(connection), url_(url), info_(info) {}

TZAbstractDatabaseMetadata::~TZAbstractDatabaseMetadata() { ClearCache(); }

AnsiString TZAbstractDatabaseMetadata::GetUserName() {
  if (!info_) return AnsiString();
  AnsiString user = info_->Values("UID");
  return user.empty() ? info_->Values("username") : user;
}

AnsiString TZAbstractDatabaseMetadata::GetDriverVersion() {
  return Format("%d.%d", {GetDriverMajorVersion(), GetDriverMinorVersion()});
}

Ref<IZConnection> TZAbstractDatabaseMetadata::GetConnection() { return connection_; }

Ref<IZIdentifierConvertor> TZAbstractDatabaseMetadata::GetIdentifierConvertor() {
  return MakeRef<TZDefaultIdentifierConvertor>(Ref<IZDatabaseMetadata>(this));
}

// --- wildcards --------------------------------------------------------------------

void TZAbstractDatabaseMetadata::FillWildcards() { Wildcards = {'_', '%'}; }

// Filled on first use rather than in the constructor, so that a driver's
// FillWildcards is the one that runs.
const std::vector<char>& TZAbstractDatabaseMetadata::GetWildcards() {
  if (!wildcardsFilled_) {
    FillWildcards();
    wildcardsFilled_ = true;
  }
  return Wildcards;
}

std::bitset<256> TZAbstractDatabaseMetadata::GetWildcardsSet() {
  std::bitset<256> result;
  for (char c : GetWildcards()) result.set(static_cast<unsigned char>(c));
  return result;
}

AnsiString TZAbstractDatabaseMetadata::AddEscapeCharToWildcards(const AnsiString& pattern) {
  AnsiString escape = GetSearchStringEscape();
  if (escape.empty()) return pattern;
  AnsiString result = ReplaceAll(pattern, escape, escape + escape);
  for (char wildcard : GetWildcards()) {
    AnsiString w(1, wildcard);
    result = ReplaceAll(result, w, escape + w);
  }
  return result;
}

// --- the cache ----------------------------------------------------------------------

void TZAbstractDatabaseMetadata::ClearCache() { cachedResultSets_.clear(); }

void TZAbstractDatabaseMetadata::ClearCacheEntry(const AnsiString& key) { cachedResultSets_.erase(key); }

Ref<IZResultSet> TZAbstractDatabaseMetadata::Cached(const AnsiString& key,
                                                    const std::function<Ref<IZResultSet>()>& build) {
  auto found = cachedResultSets_.find(key);
  if (found != cachedResultSets_.end()) return CloneCachedResultSet(found->second);
  Ref<IZResultSet> result = build();
  cachedResultSets_[key] = CloneCachedResultSet(result);
  return result;
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                           const AnsiString& procedureNamePattern) {
  return Cached(CacheKey("get-procedures", {catalog, schemaPattern, procedureNamePattern}),
                [&] { return UncachedGetProcedures(catalog, schemaPattern, procedureNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetProcedureColumns(const AnsiString& catalog,
                                                                 const AnsiString& schemaPattern,
                                                                 const AnsiString& procedureNamePattern,
                                                                 const AnsiString& columnNamePattern) {
  return Cached(
      CacheKey("get-procedure-columns", {catalog, schemaPattern, procedureNamePattern, columnNamePattern}),
      [&] { return UncachedGetProcedureColumns(catalog, schemaPattern, procedureNamePattern, columnNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                       const AnsiString& tableNamePattern,
                                                       const TZStringDynArray& types) {
  AnsiString typesKey;
  for (const AnsiString& type : types) typesKey += ":" + EscapeKeyPart(type);
  return Cached(CacheKey("get-tables", {catalog, schemaPattern, tableNamePattern}) + ":" + typesKey,
                [&] { return UncachedGetTables(catalog, schemaPattern, tableNamePattern, types); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetSchemas() {
  return Cached("get-schemas", [&] { return UncachedGetSchemas(); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetCatalogs() {
  return Cached("get-catalogs", [&] { return UncachedGetCatalogs(); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetTableTypes() {
  return Cached("get-table-types", [&] { return UncachedGetTableTypes(); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                        const AnsiString& tableNamePattern,
                                                        const AnsiString& columnNamePattern) {
  return Cached(CacheKey("get-columns", {catalog, schemaPattern, tableNamePattern, columnNamePattern}),
                [&] { return UncachedGetColumns(catalog, schemaPattern, tableNamePattern, columnNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                                                 const AnsiString& table,
                                                                 const AnsiString& columnNamePattern) {
  return Cached(CacheKey("get-column-privileges", {catalog, schema, table, columnNamePattern}),
                [&] { return UncachedGetColumnPrivileges(catalog, schema, table, columnNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetTablePrivileges(const AnsiString& catalog,
                                                                const AnsiString& schemaPattern,
                                                                const AnsiString& tableNamePattern) {
  return Cached(CacheKey("get-table-privileges", {catalog, schemaPattern, tableNamePattern}),
                [&] { return UncachedGetTablePrivileges(catalog, schemaPattern, tableNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetBestRowIdentifier(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table, int scope, bool nullable) {
  return Cached(CacheKey("get-best-row-identifier", {catalog, schema, table, std::to_string(scope), BoolKey(nullable)}),
                [&] { return UncachedGetBestRowIdentifier(catalog, schema, table, scope, nullable); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                                               const AnsiString& table) {
  return Cached(CacheKey("get-version-columns", {catalog, schema, table}),
                [&] { return UncachedGetVersionColumns(catalog, schema, table); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                            const AnsiString& table) {
  return Cached(CacheKey("get-primary-keys", {catalog, schema, table}),
                [&] { return UncachedGetPrimaryKeys(catalog, schema, table); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                             const AnsiString& table) {
  return Cached(CacheKey("get-imported-keys", {catalog, schema, table}),
                [&] { return UncachedGetImportedKeys(catalog, schema, table); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                             const AnsiString& table) {
  return Cached(CacheKey("get-exported-keys", {catalog, schema, table}),
                [&] { return UncachedGetExportedKeys(catalog, schema, table); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetCrossReference(const AnsiString& primaryCatalog,
                                                               const AnsiString& primarySchema,
                                                               const AnsiString& primaryTable,
                                                               const AnsiString& foreignCatalog,
                                                               const AnsiString& foreignSchema,
                                                               const AnsiString& foreignTable) {
  return Cached(CacheKey("get-cross-reference",
                         {primaryCatalog, primarySchema, primaryTable, foreignCatalog, foreignSchema, foreignTable}),
                [&] {
                  return UncachedGetCrossReference(primaryCatalog, primarySchema, primaryTable, foreignCatalog,
                                                   foreignSchema, foreignTable);
                });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetTypeInfo() {
  return Cached("get-type-info", [&] { return UncachedGetTypeInfo(); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                          const AnsiString& table, bool unique, bool approximate) {
  return Cached(CacheKey("get-index-info", {catalog, schema, table, BoolKey(unique), BoolKey(approximate)}),
                [&] { return UncachedGetIndexInfo(catalog, schema, table, unique, approximate); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                          const AnsiString& sequenceNamePattern) {
  return Cached(CacheKey("get-sequences", {catalog, schemaPattern, sequenceNamePattern}),
                [&] { return UncachedGetSequences(catalog, schemaPattern, sequenceNamePattern); });
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::GetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                     const AnsiString& typeNamePattern,
                                                     const TZIntegerDynArray& types) {
  AnsiString typesKey;
  for (int type : types) typesKey += ":" + std::to_string(type);
  return Cached(CacheKey("get-udts", {catalog, schemaPattern, typeNamePattern}) + typesKey,
                [&] { return UncachedGetUDTs(catalog, schemaPattern, typeNamePattern, types); });
}

// --- the base's builders: empty answers of each layout ---------------------------

Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetTables(const AnsiString&, const AnsiString&,
                                                               const AnsiString&, const TZStringDynArray&) {
  return ConstructVirtualResultSet(TablesColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetSchemas() {
  return ConstructVirtualResultSet(SchemasColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetCatalogs() {
  return ConstructVirtualResultSet(CatalogsColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructVirtualResultSet(TableTypesColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetColumns(const AnsiString&, const AnsiString&,
                                                                const AnsiString&, const AnsiString&) {
  return ConstructVirtualResultSet(ColumnsColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString&, const AnsiString&,
                                                                        const AnsiString&) {
  return ConstructVirtualResultSet(TablePrivilegesColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString&, const AnsiString&,
                                                                         const AnsiString&, const AnsiString&) {
  return ConstructVirtualResultSet(ColumnPrivilegesColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString&, const AnsiString&,
                                                                    const AnsiString&) {
  return ConstructVirtualResultSet(PrimaryKeysColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetImportedKeys(const AnsiString&, const AnsiString&,
                                                                     const AnsiString&) {
  return ConstructVirtualResultSet(ImportedKeysColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetExportedKeys(const AnsiString&, const AnsiString&,
                                                                     const AnsiString&) {
  return ConstructVirtualResultSet(ExportedKeysColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetCrossReference(const AnsiString&, const AnsiString&,
                                                                       const AnsiString&, const AnsiString&,
                                                                       const AnsiString&, const AnsiString&) {
  return ConstructVirtualResultSet(CrossReferenceColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetIndexInfo(const AnsiString&, const AnsiString&,
                                                                  const AnsiString&, bool, bool) {
  return ConstructVirtualResultSet(IndexInfoColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetSequences(const AnsiString&, const AnsiString&,
                                                                  const AnsiString&) {
  return ConstructVirtualResultSet(SequencesColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetProcedures(const AnsiString&, const AnsiString&,
                                                                   const AnsiString&) {
  return ConstructVirtualResultSet(ProceduresColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetProcedureColumns(const AnsiString&, const AnsiString&,
                                                                         const AnsiString&, const AnsiString&) {
  return ConstructVirtualResultSet(ProcedureColumnsColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetVersionColumns(const AnsiString&, const AnsiString&,
                                                                       const AnsiString&) {
  return ConstructVirtualResultSet(VersionColumnsColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetTypeInfo() {
  return ConstructVirtualResultSet(TypeInfoColumnDefs);
}
Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetUDTs(const AnsiString&, const AnsiString&,
                                                             const AnsiString&, const TZIntegerDynArray&) {
  return ConstructVirtualResultSet(UDTsColumnDefs);
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::UncachedGetBestRowIdentifier(const AnsiString& catalog,
                                                                          const AnsiString& schema,
                                                                          const AnsiString& table, int, bool) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(BestRowIdentifierColumnDefs);
  std::vector<AnsiString> keyColumns;
  Ref<IZResultSet> keys = GetPrimaryKeys(catalog, schema, table);
  while (keys->Next()) keyColumns.push_back(keys->GetStringByName("COLUMN_NAME"));
  keys->Close();
  if (keyColumns.empty()) {
    Ref<IZResultSet> indexes = GetIndexInfo(catalog, schema, table, true, false);
    AnsiString chosen;
    while (indexes->Next()) {
      AnsiString indexName = indexes->GetStringByName("INDEX_NAME");
      if (chosen.empty()) chosen = indexName;
      if (indexName == chosen) keyColumns.push_back(indexes->GetStringByName("COLUMN_NAME"));
    }
    indexes->Close();
  }
  Ref<IZResultSet> columns = GetColumns(catalog, schema, table, "");
  while (columns->Next()) {
    AnsiString name = columns->GetStringByName("COLUMN_NAME");
    if (!keyColumns.empty()) {
      bool isKey = false;
      for (const AnsiString& key : keyColumns) isKey = isKey || SameText(key, name);
      if (!isKey) continue;
    } else if (IsBinaryOrLargeObject(static_cast<TZSQLType>(columns->GetIntByName("DATA_TYPE")))) {
      continue;
    }
    result->MoveToInsertRow();
    result->UpdateInt(1, kBestRowSession);
    result->UpdateString(2, name);
    result->UpdateInt(3, columns->GetIntByName("DATA_TYPE"));
    result->UpdateString(4, columns->GetStringByName("TYPE_NAME"));
    result->UpdateInt(5, columns->GetIntByName("COLUMN_SIZE"));
    result->UpdateInt(6, columns->GetIntByName("BUFFER_LENGTH"));
    result->UpdateInt(7, columns->GetIntByName("DECIMAL_DIGITS"));
    result->UpdateInt(8, kBestRowNotPseudo);
    result->InsertRow();
  }
  columns->Close();
  result->BeforeFirst();
  return result;
}

// --- virtual result sets -------------------------------------------------------------

Ref<IZVirtualResultSet> TZAbstractDatabaseMetadata::ConstructVirtualResultSet(const TZMetadataColumnDefs& columnsDefs) {
  TZColumnInfoList columns;
  for (const TZMetadataColumnDef& def : columnsDefs) {
    TZColumnInfo& column = columns.Add();
    column.ColumnLabel = def.Name;
    column.ColumnType = def.SQLType;
    column.Precision = def.Length;
    column.ColumnDisplaySize = def.Length;
  }
  Ref<IZVirtualResultSet> result = MakeRef<TZVirtualResultSet>(columns, AnsiString());
  result->SetType(rtScrollInsensitive);
  result->SetConcurrency(rcUpdatable);
  return result;
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::CopyQuery(const AnsiString& sql, const TZMetadataColumnDefs& layout) {
  TZCatalogueQuery query(*GetConnection(), sql);
  return CopyToVirtualResultSet(query.ResultSet(), ConstructVirtualResultSet(layout));
}

Ref<IZVirtualResultSet> TZAbstractDatabaseMetadata::CopyCatalogue(const AnsiString& sql,
                                                                  const TZMetadataColumnDefs& layout,
                                                                  const std::vector<TZCatalogueColumn>& columns,
                                                                  const TZRowFiller& fill, bool required) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(layout);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    for (const TZCatalogueColumn& column : columns) {
      const char* source = column.Source ? column.Source : column.Dest;
      const int from = required ? query.Column({source}) : query->FindColumn(source);
      if (from)
        CopyCatalogueValue(*query, from, *result, result->FindColumn(column.Dest), LayoutType(layout, column.Dest));
    }
    if (fill) fill(*query, *result);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

void TZAbstractDatabaseMetadata::UpdateColumnAccess(IZResultSet& row, bool writable) {
  using namespace catalogue_column::columns;
  row.UpdateBoolean(kSearchable, true);
  row.UpdateBoolean(kWritable, writable);
  row.UpdateBoolean(kDefinitelyWritable, writable);
  row.UpdateBoolean(kReadOnly, !writable);
}

Ref<IZVirtualResultSet> TZAbstractDatabaseMetadata::ConstructTableTypes(const std::vector<const char*>& types) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TableTypesColumnDefs);
  for (const char* type : types) {
    result->MoveToInsertRow();
    result->UpdateString(1, type);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZVirtualResultSet> TZAbstractDatabaseMetadata::CopyToVirtualResultSet(const Ref<IZResultSet>& srcResultSet,
                                                                          const Ref<IZVirtualResultSet>& destResultSet) {
  destResultSet->SetType(rtScrollInsensitive);
  destResultSet->SetConcurrency(rcUpdatable);
  Ref<IZResultSetMetadata> metadata = srcResultSet->GetMetadata();
  int count = metadata->GetColumnCount();
  while (srcResultSet->Next()) {
    destResultSet->MoveToInsertRow();
    for (int i = 1; i <= count; ++i) CopyColumn(*srcResultSet, *destResultSet, i, metadata->GetColumnType(i));
    destResultSet->InsertRow();
  }
  destResultSet->BeforeFirst();
  destResultSet->SetConcurrency(rcReadOnly);
  return destResultSet;
}

Ref<IZResultSet> TZAbstractDatabaseMetadata::CloneCachedResultSet(const Ref<IZResultSet>& resultSet) {
  Ref<IZResultSetMetadata> metadata = resultSet->GetMetadata();
  TZColumnInfoList columns;
  for (int i = 1; i <= metadata->GetColumnCount(); ++i) {
    TZColumnInfo& column = columns.Add();
    column.ColumnLabel = metadata->GetColumnLabel(i);
    column.ColumnType = metadata->GetColumnType(i);
    column.Precision = metadata->GetPrecision(i);
    column.ColumnDisplaySize = column.Precision;
  }
  resultSet->BeforeFirst();
  Ref<IZVirtualResultSet> copy =
      CopyToVirtualResultSet(resultSet, MakeRef<TZVirtualResultSet>(columns, AnsiString()));
  resultSet->BeforeFirst();
  return copy;
}

// The Oracle catalogue builders: one query on the data dictionary views
// each, copied by position into the fixed layout, or read row by row where
// a value needs converting (columns, indexes).

#include "sql/drivers/oracle/oracle_metadata.h"

#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/parsesql/identifier_convertor.h"
#include "sql/drivers/oracle/oracle_utils.h"

namespace {

// A pattern as a literal of the text, quotes doubled; empty matches all.
AnsiString PatternLiteral(const AnsiString& pattern) { return QuotedStr(PatternOrAll(pattern)); }

struct TableTypeQuery {
  const char* type;
  const char* select;  // completed by the schema and name conditions
  const char* ownerColumn;
  const char* nameColumn;
};

constexpr TableTypeQuery kTableTypeQueries[] = {
    {"TABLE",
     "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, TABLE_NAME, 'TABLE' AS TABLE_TYPE, NULL AS REMARKS FROM "
     "SYS.ALL_TABLES",
     "OWNER", "TABLE_NAME"},
    {"SYNONYM",
     "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, SYNONYM_NAME AS TABLE_NAME, 'SYNONYM' AS TABLE_TYPE, NULL AS "
     "REMARKS FROM SYS.ALL_SYNONYMS",
     "OWNER", "SYNONYM_NAME"},
    {"VIEW",
     "SELECT NULL AS TABLE_CAT, OWNER AS TABLE_SCHEM, VIEW_NAME AS TABLE_NAME, 'VIEW' AS TABLE_TYPE, NULL AS REMARKS "
     "FROM SYS.ALL_VIEWS",
     "OWNER", "VIEW_NAME"},
    {"SEQUENCE",
     "SELECT NULL AS TABLE_CAT, SEQUENCE_OWNER AS TABLE_SCHEM, SEQUENCE_NAME AS TABLE_NAME, 'SEQUENCE' AS TABLE_TYPE, "
     "NULL AS REMARKS FROM SYS.ALL_SEQUENCES",
     "SEQUENCE_OWNER", "SEQUENCE_NAME"},
};

bool IsWanted(const char* type, const TZStringDynArray& types) {
  if (types.empty()) return true;
  for (const AnsiString& wanted : types)
    if (UpperCase(wanted) == type) return true;
  return false;
}

constexpr int kDecimalRadix = 10;

}  // namespace

AnsiString TZOracleDatabaseMetadata::GetSQLKeywords() {
  return "ACCESS,ADD,ALTER,AUDIT,CLUSTER,COLUMN,COMMENT,COMPRESS,CONNECT,DATE,DROP,EXCLUSIVE,FILE,IDENTIFIED,"
         "IMMEDIATE,INCREMENT,INDEX,INITIAL,INTERSECT,LEVEL,LOCK,LONG,MAXEXTENTS,MINUS,MODE,NOAUDIT,NOCOMPRESS,"
         "NOWAIT,NUMBER,OFFLINE,ONLINE,PCTFREE,PRIOR";
}

AnsiString TZOracleDatabaseMetadata::GetNumericFunctions() {
  return "ABS,ACOS,ASIN,ATAN,ATAN2,CEILING,COS,EXP,FLOOR,LOG,LOG10,MOD,PI,POWER,ROUND,SIGN,SIN,SQRT,TAN,TRUNCATE";
}

AnsiString TZOracleDatabaseMetadata::GetStringFunctions() {
  return "ASCII,CHAR,CONCAT,LCASE,LENGTH,LTRIM,REPLACE,RTRIM,SOUNDEX,SUBSTRING,UCASE";
}

AnsiString TZOracleDatabaseMetadata::GetTimeDateFunctions() {
  return "CURDATE,CURTIME,DAYOFMONTH,HOUR,MINUTE,MONTH,NOW,SECOND,YEAR";
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetTables(const AnsiString&, const AnsiString& schemaPattern,
                                                             const AnsiString& tableNamePattern,
                                                             const TZStringDynArray& types) {
  AnsiString sql;
  for (const TableTypeQuery& query : kTableTypeQueries) {
    if (!IsWanted(query.type, types)) continue;
    if (!sql.empty()) sql += " UNION ";
    sql += AnsiString(query.select) + " WHERE " + query.ownerColumn + " LIKE " + PatternLiteral(schemaPattern) +
           " AND " + query.nameColumn + " LIKE " + PatternLiteral(tableNamePattern);
  }
  // None of the four types: nothing to ask the server.
  if (sql.empty()) return ConstructVirtualResultSet(TablesColumnDefs);
  return CopyQuery(sql, TablesColumnDefs);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetSchemas() {
  return CopyQuery("SELECT USERNAME AS TABLE_SCHEM FROM SYS.ALL_USERS", SchemasColumnDefs);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetTableTypes() {
  std::vector<const char*> types;
  for (const TableTypeQuery& query : kTableTypeQueries) types.push_back(query.type);
  return ConstructTableTypes(types);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetColumns(const AnsiString&, const AnsiString& schemaPattern,
                                                              const AnsiString& tableNamePattern,
                                                              const AnsiString& columnNamePattern) {
  const AnsiString sql =
      "SELECT NULL, OWNER, TABLE_NAME, COLUMN_NAME, NULL, DATA_TYPE, DATA_LENGTH, NULL, DATA_PRECISION, DATA_SCALE, "
      "NULLABLE, NULL, DATA_DEFAULT, NULL, NULL, NULL, COLUMN_ID, NULLABLE FROM SYS.ALL_TAB_COLUMNS WHERE OWNER LIKE " +
      PatternLiteral(schemaPattern) + " AND TABLE_NAME LIKE " + PatternLiteral(tableNamePattern) +
      " AND COLUMN_NAME LIKE " + PatternLiteral(columnNamePattern);
  Ref<IZIdentifierConvertor> convertor = GetIdentifierConvertor();
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    using namespace catalogue_column::columns;
    const AnsiString typeName = query->GetString(6);
    const AnsiString columnName = query->GetString(4);
    const bool notNull = UpperCase(query->GetString(11)) == "N";
    result->MoveToInsertRow();
    result->UpdateString(kSchem, query->GetString(2));
    result->UpdateString(kTable, query->GetString(3));
    result->UpdateString(kName, columnName);
    result->UpdateInt(kDataType, OracleTypeNameToSQLType(typeName, query->GetInt(9), query->GetInt(10)));
    result->UpdateString(kTypeName, typeName);
    result->UpdateInt(kSize, query->GetInt(7));
    // The scale is the decimal digits; numbers count in base 10.
    result->UpdateInt(kDecimalDigits, query->GetInt(10));
    result->UpdateInt(kRadix, kDecimalRadix);
    result->UpdateInt(kNullable, notNull ? 0 : 1);
    UpdateOptionalString(*result, kDefault, query->GetString(13));
    result->UpdateInt(kPosition, query->GetInt(17));
    result->UpdateString(kIsNullable, notNull ? "NO" : "YES");
    result->UpdateBoolean(kCaseSensitive, convertor->NeedsQuoting(columnName));
    UpdateColumnAccess(*result, true);
    result->InsertRow();
  }
  query->Close();
  return result;
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString&, const AnsiString& schema,
                                                                       const AnsiString& table,
                                                                       const AnsiString& columnNamePattern) {
  AnsiString sql =
      "SELECT NULL AS TABLE_CAT, TABLE_SCHEMA AS TABLE_SCHEM, TABLE_NAME, COLUMN_NAME, GRANTOR, GRANTEE, PRIVILEGE, "
      "GRANTABLE AS IS_GRANTABLE FROM SYS.ALL_COL_PRIVS WHERE";
  if (!schema.empty()) sql += " TABLE_SCHEMA=" + QuotedStr(schema) + " AND";
  if (!table.empty()) sql += " TABLE_NAME=" + QuotedStr(table) + " AND";
  sql += " COLUMN_NAME LIKE " + PatternLiteral(columnNamePattern);
  return CopyQuery(sql, ColumnPrivilegesColumnDefs);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString&,
                                                                      const AnsiString& schemaPattern,
                                                                      const AnsiString& tableNamePattern) {
  return CopyQuery(
      "SELECT NULL AS TABLE_CAT, TABLE_SCHEMA AS TABLE_SCHEM, TABLE_NAME, GRANTOR, GRANTEE, PRIVILEGE, GRANTABLE AS "
      "IS_GRANTABLE FROM SYS.ALL_TAB_PRIVS WHERE TABLE_SCHEMA LIKE " +
          PatternLiteral(schemaPattern) + " AND TABLE_NAME LIKE " + PatternLiteral(tableNamePattern),
      TablePrivilegesColumnDefs);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString&, const AnsiString& schema,
                                                                  const AnsiString& table) {
  AnsiString sql =
      "SELECT NULL AS TABLE_CAT, A.OWNER AS TABLE_SCHEM, A.TABLE_NAME, B.COLUMN_NAME, B.COLUMN_POSITION AS KEY_SEQ, "
      "A.INDEX_NAME AS PK_NAME FROM ALL_INDEXES A, ALL_IND_COLUMNS B WHERE A.OWNER=B.INDEX_OWNER AND "
      "A.INDEX_NAME=B.INDEX_NAME AND A.TABLE_OWNER=B.TABLE_OWNER AND A.TABLE_NAME=B.TABLE_NAME AND "
      "A.UNIQUENESS='UNIQUE' AND A.GENERATED='Y' AND A.INDEX_NAME LIKE 'SYS_%'";
  if (!schema.empty()) sql += " AND A.OWNER=" + QuotedStr(schema);
  if (!table.empty()) sql += " AND A.TABLE_NAME=" + QuotedStr(table);
  sql += " ORDER BY A.INDEX_NAME, B.COLUMN_POSITION";
  return CopyQuery(sql, PrimaryKeysColumnDefs);
}

Ref<IZResultSet> TZOracleDatabaseMetadata::UncachedGetIndexInfo(const AnsiString&, const AnsiString& schema,
                                                                const AnsiString& table, bool unique, bool) {
  AnsiString sql =
      "SELECT NULL, A.OWNER, A.TABLE_NAME, A.UNIQUENESS, NULL, A.INDEX_NAME, 3, B.COLUMN_POSITION, B.COLUMN_NAME, "
      "B.DESCEND, 0, 0, NULL FROM ALL_INDEXES A, ALL_IND_COLUMNS B WHERE A.OWNER=B.INDEX_OWNER AND "
      "A.INDEX_NAME=B.INDEX_NAME AND A.TABLE_OWNER=B.TABLE_OWNER AND A.TABLE_NAME=B.TABLE_NAME";
  if (!schema.empty()) sql += " AND A.TABLE_OWNER=" + QuotedStr(schema);
  if (!table.empty()) sql += " AND A.TABLE_NAME=" + QuotedStr(table);
  if (unique) sql += " AND A.UNIQUENESS='UNIQUE'";
  sql += " ORDER BY A.UNIQUENESS DESC, A.INDEX_NAME, B.COLUMN_POSITION";
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(IndexInfoColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    using namespace catalogue_column::index_info;
    result->MoveToInsertRow();
    result->UpdateString(kSchem, query->GetString(2));
    result->UpdateString(kTable, query->GetString(3));
    result->UpdateBoolean(kNonUnique, UpperCase(query->GetString(4)) != "UNIQUE");
    result->UpdateString(kName, query->GetString(6));
    result->UpdateInt(kType, query->GetInt(7));
    result->UpdateInt(kPosition, query->GetInt(8));
    result->UpdateString(kColumn, query->GetString(9));
    result->UpdateString(kAscOrDesc, query->GetString(10) == "ASC" ? "A" : "D");
    result->UpdateInt(kCardinality, query->GetInt(11));
    result->UpdateInt(kPages, query->GetInt(12));
    result->InsertRow();
  }
  query->Close();
  return result;
}

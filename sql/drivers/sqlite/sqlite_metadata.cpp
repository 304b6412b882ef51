// The SQLite catalogue: tables from sqlite_master, columns, keys and indexes
// from the PRAGMA commands, copied row by row into result sets of the fixed
// catalogue layouts; plus the keyword list and the type table.

#include "sql/drivers/sqlite/sqlite_metadata.h"

#include <algorithm>

#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/catalogue_type_info.h"
#include "sql/drivers/sqlite/sqlite_statement.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kSQLKeywords[] =
    "ALL,AND,AS,BETWEEN,BY,CASE,CHECK,COLLATE,COMMIT,CONSTRAINT,CREATE,DEFAULT,DEFERRABLE,DELETE,DISTINCT,DROP,"
    "ELSE,EXCEPT,FOREIGN,FROM,GLOB,GROUP,HAVING,IN,INDEX,INSERT,INTERSECT,INTO,IS,ISNULL,JOIN,LIKE,LIMIT,NOT,"
    "NOTNULL,NULL,ON,OR,ORDER,PRIMARY,REFERENCES,ROLLBACK,SELECT,SET,TABLE,THEN,TRANSACTION,UNION,UNIQUE,UPDATE,"
    "USING,VALUES,WHEN,WHERE,ABORT,AFTER,ASC,ATTACH,BEFORE,BEGIN,DEFERRED,CASCADE,CLUSTER,CONFLICT,COPY,CROSS,"
    "DATABASE,DELIMITERS,DESC,DETACH,EACH,END,EXPLAIN,FAIL,FOR,FULL,IGNORE,IMMEDIATE,INITIALLY,INNER,INSTEAD,KEY,"
    "LEFT,MATCH,NATURAL,OF,OFFSET,OUTER,PRAGMA,RAISE,REPLACE,RESTRICT,RIGHT,ROW,STATEMENT,TEMP,TEMPORARY,TRIGGER,"
    "VACUUM,VIEW";

using namespace catalogue_column;

// Columns of "PRAGMA table_info", "index_list" and "index_info".
namespace pragma {
constexpr int kColumnNumber = 1, kColumnName = 2, kColumnType = 3, kNotNull = 4, kDefault = 5, kPrimaryKey = 6;
constexpr int kIndexName = 2, kIndexUnique = 3;
constexpr int kIndexPosition = 1, kIndexColumnName = 3;
}

constexpr int kNone = kNoTypePrecision;
const std::vector<TZTypeInfoRow> kTypeInfo = {
    {"BOOLEAN", stBoolean, kNone},  {"TINYINT", stByte, 2},        {"SMALLINT", stShort, 4},
    {"MEDIUMINT", stInteger, 9},    {"INTEGER", stInteger, 9},     {"BIGINT", stLong, 16},
    {"REAL", stFloat, kNone},       {"FLOAT", stFloat, kNone},     {"NUMERIC", stDouble, kNone},
    {"DECIMAL", stDouble, kNone},   {"NUMBER", stDouble, kNone},   {"DOUBLE", stDouble, kNone},
    {"CHAR", stString, kNone},      {"VARCHAR", stString, kNone},  {"BINARY", stBytes, kNone},
    {"VARBINARY", stBytes, kNone},  {"DATE", stDate, kNone},       {"TIME", stTime, kNone},
    {"DATETIME", stTimestamp, kNone}, {"TIMESTAMP", stTimestamp, kNone}, {"BLOB", stBinaryStream, kNone},
    {"TEXT", stAsciiStream, kNone},
};

// A text literal of value.
AnsiString Literal(const AnsiString& value) { return TZSQLitePreparedStatement::QuoteString(value); }

// The names the library gives the indexes it makes for UNIQUE and PRIMARY
// KEY constraints: "(<table> autoindex <n>)" in 2.8, "sqlite_autoindex_..."
// in version 3.
bool IsAutomaticIndex(const AnsiString& name) {
  return name.find(" autoindex ") != AnsiString::npos || name.rfind("sqlite_autoindex_", 0) == 0;
}

struct TKeyColumn {
  int Sequence;
  AnsiString Name;
};

}  // namespace

AnsiString TZSQLiteDatabaseMetadata::GetSQLKeywords() { return kSQLKeywords; }

AnsiString TZSQLiteDatabaseMetadata::Prefix(const AnsiString& catalog) {
  if (catalog.empty()) return AnsiString();
  AnsiString quoted = "\"";
  for (char c : catalog) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\".";
}

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetTables(const AnsiString& catalog, const AnsiString&,
                                                              const AnsiString& tableNamePattern,
                                                              const TZStringDynArray& types) {
  auto wanted = [&types](const char* type) {
    return types.empty() ||
           std::any_of(types.begin(), types.end(), [type](const AnsiString& t) { return UpperCase(t) == type; });
  };
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablesColumnDefs);
  AnsiString condition;
  if (wanted("TABLE")) condition = "TYPE='table'";
  if (wanted("VIEW")) condition = condition.empty() ? "TYPE='view'" : "(" + condition + " OR TYPE='view')";
  // Neither tables nor views asked for: nothing to list.
  if (condition.empty()) return result;

  AnsiString sql = "SELECT " + Literal(catalog) +
                   " AS TABLE_CAT, NULL AS TABLE_SCHEM, TBL_NAME AS TABLE_NAME, UPPER(TYPE) AS TABLE_TYPE,"
                   " NULL AS REMARKS FROM " +
                   Prefix(catalog) + "SQLITE_MASTER WHERE " + condition +
                   " AND TBL_NAME LIKE " + Literal(tableNamePattern.empty() ? AnsiString("%") : tableNamePattern);
  TZCatalogueQuery query(*GetConnection(), sql);
  return CopyToVirtualResultSet(query.ResultSet(), result);
}

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"TABLE", "VIEW"});
}

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetColumns(const AnsiString& catalog, const AnsiString&,
                                                               const AnsiString& tableNamePattern, const AnsiString&) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);
  TZCatalogueQuery query(*GetConnection(),
                        "PRAGMA " + Prefix(catalog) + " table_info(" + Literal(tableNamePattern) + ")");
  // Only the one key column of a table is the row id; an INTEGER column in
  // a key of several columns is an ordinary column.
  int keyColumns = 0;
  while (query.Next())
    if (query->GetInt(pragma::kPrimaryKey) != 0) ++keyColumns;
  query->BeforeFirst();

  while (query.Next()) {
    const AnsiString declaredType = query->GetString(pragma::kColumnType);
    int precision = 0, decimals = 0;
    const TZSQLType type = ConvertSQLiteTypeToSQLType(declaredType, precision, decimals);
    AnsiString typeName = UpperCase(declaredType);
    typeName = typeName.substr(0, typeName.find('('));
    const bool notNull = query->GetInt(pragma::kNotNull) != 0;
    const AnsiString defaultValue = query->GetString(pragma::kDefault);

    result->MoveToInsertRow();
    UpdateOptionalString(*result, columns::kCat, catalog);
    result->UpdateString(columns::kTable, tableNamePattern);
    result->UpdateString(columns::kName, query->GetString(pragma::kColumnName));
    result->UpdateShort(columns::kDataType, static_cast<std::int16_t>(type));
    result->UpdateString(columns::kTypeName, typeName);
    result->UpdateInt(columns::kSize, precision);
    result->UpdateInt(columns::kDecimalDigits, decimals);
    result->UpdateInt(columns::kRadix, 0);
    result->UpdateInt(columns::kNullable, notNull ? ntNoNulls : ntNullable);
    if (!Trim(defaultValue).empty()) result->UpdateString(columns::kDefault, defaultValue);
    result->UpdateInt(columns::kPosition, query->GetInt(pragma::kColumnNumber) + 1);
    result->UpdateString(columns::kIsNullable, notNull ? "NO" : "YES");
    result->UpdateBoolean(columns::kAutoIncrement,
                          query->GetInt(pragma::kPrimaryKey) == 1 && keyColumns == 1 && typeName == "INTEGER");
    result->UpdateBoolean(columns::kCaseSensitive, false);
    UpdateColumnAccess(*result, true);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString&,
                                                                   const AnsiString& table) {
  TZCatalogueQuery query(*GetConnection(), "PRAGMA " + Prefix(catalog) + " table_info(" + Literal(table) + ")");
  // The version 3 library numbers the key's columns in key order; the 2.8
  // library marks each with 1, and their column order stands.
  std::vector<TKeyColumn> keyColumns;
  while (query.Next()) {
    const int sequence = query->GetInt(pragma::kPrimaryKey);
    if (sequence != 0) keyColumns.push_back({sequence, query->GetString(pragma::kColumnName)});
  }
  std::stable_sort(keyColumns.begin(), keyColumns.end(),
                   [](const TKeyColumn& a, const TKeyColumn& b) { return a.Sequence < b.Sequence; });

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(PrimaryKeysColumnDefs);
  std::int16_t keySeq = 0;
  for (const TKeyColumn& column : keyColumns) {
    result->MoveToInsertRow();
    UpdateOptionalString(*result, primary_keys::kCat, catalog);
    result->UpdateString(primary_keys::kTable, table);
    result->UpdateString(primary_keys::kColumn, column.Name);
    result->UpdateShort(primary_keys::kKeySeq, ++keySeq);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetTypeInfo() { return BuildTypeInfoResultSet(kTypeInfo); }

Ref<IZResultSet> TZSQLiteDatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString&,
                                                                 const AnsiString& table, bool unique, bool) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(IndexInfoColumnDefs);
  IZConnection& connection = *GetConnection();
  TZCatalogueQuery indexList(connection, "PRAGMA " + Prefix(catalog) + " index_list(" + Literal(table) + ")");
  while (indexList.Next()) {
    const AnsiString indexName = indexList->GetString(pragma::kIndexName);
    const bool isUnique = indexList->GetInt(pragma::kIndexUnique) != 0;
    if (IsAutomaticIndex(indexName) || (unique && !isUnique)) continue;
    TZCatalogueQuery indexInfo(connection,
                              "PRAGMA " + Prefix(catalog) + " index_info(" + Literal(indexName) + ")");
    while (indexInfo.Next()) {
      result->MoveToInsertRow();
      UpdateOptionalString(*result, index_info::kCat, catalog);
      result->UpdateString(index_info::kTable, table);
      result->UpdateBoolean(index_info::kNonUnique, !isUnique);
      result->UpdateString(index_info::kName, indexName);
      result->UpdateShort(index_info::kPosition,
                          static_cast<std::int16_t>(indexInfo->GetInt(pragma::kIndexPosition) + 1));
      result->UpdateString(index_info::kColumn, indexInfo->GetString(pragma::kIndexColumnName));
      result->UpdateString(index_info::kAscOrDesc, "A");
      result->UpdateInt(index_info::kCardinality, 0);
      result->UpdateInt(index_info::kPages, 0);
      result->InsertRow();
    }
  }
  result->BeforeFirst();
  return result;
}

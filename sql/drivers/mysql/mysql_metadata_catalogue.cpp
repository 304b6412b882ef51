// The MySQL catalogue: tables, columns, keys, indexes and privileges read
// with SHOW statements and queries on the privilege tables, copied row by row
// into result sets of the fixed catalogue layouts. Every name and pattern is
// escaped for the session before it enters a statement.

#include <algorithm>
#include <optional>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/mysql/mysql_metadata.h"
#include "sql/drivers/mysql/mysql_utils.h"

namespace {

using namespace catalogue_column;

// The "no action / not deferrable" code written for keys read from comments.
constexpr int kUnknownKeyRule = 4;
// The index type of every index the server lists.
constexpr int kIndexTypeOther = 3;

constexpr int kColumnBufferLength = 65535;

// The size a type has when its text gives none.
int DefaultTypeSize(const AnsiString& typeName) {
  static const std::pair<const char*, int> kSizes[] = {
      {"tinyint", 1},         {"smallint", 6},       {"mediumint", 6},          {"int", 11},
      {"integer", 11},        {"bigint", 25},        {"int24", 25},             {"real", 12},
      {"float", 12},          {"decimal", 12},       {"numeric", 12},           {"double", 22},
      {"char", 1},            {"varchar", 255},      {"date", 10},              {"time", 8},
      {"timestamp", 19},      {"datetime", 19},      {"tinyblob", 255},         {"blob", 65535},
      {"mediumblob", 16777215}, {"longblob", 2147483647}, {"tinytext", 255},    {"text", 65535},
      {"mediumtext", 16777215}, {"enum", 255},       {"set", 255},
  };
  for (const auto& [name, size] : kSizes)
    if (typeName == name) return size;
  return 0;
}

// Defaults the server shows as expressions: current_timestamp(),
// current_timestamp(n), CURRENT_TIMESTAMP, now(), in any case.
bool IsTimestampExpression(const AnsiString& value) {
  AnsiString lower = LowerCase(Trim(value));
  for (const char* name : {"current_timestamp", "now"}) {
    AnsiString prefix = name;
    if (lower.compare(0, prefix.size(), prefix) != 0) continue;
    AnsiString rest = lower.substr(prefix.size());
    if (rest.empty() || (rest.front() == '(' && rest.back() == ')')) return true;
  }
  return false;
}

bool TypeTakesEmptyDefault(const AnsiString& typeName) {
  return typeName.find("blob") != AnsiString::npos || typeName.find("text") != AnsiString::npos ||
         typeName.find("char") != AnsiString::npos || typeName == "set";
}

bool IsQuotedDefaultType(TZSQLType type) {
  switch (type) {
    case stString:
    case stUnicodeString:
    case stAsciiStream:
    case stBinaryStream:
    case stDate:
    case stTime:
    case stTimestamp:
      return true;
    default:
      return false;
  }
}

// "int(11) unsigned" -> name "int", arguments "11"; the name lower-cased.
void SplitTypeText(const AnsiString& typeText, AnsiString& typeName, AnsiString& typeArguments) {
  typeArguments.clear();
  if (typeText.find('(') == AnsiString::npos) {
    typeName = LowerCase(typeText);
    return;
  }
  std::unique_ptr<TStringList> pieces = SplitString(typeText, "()");
  typeName = pieces->Count() > 0 ? LowerCase((*pieces)[0]) : AnsiString();
  if (pieces->Count() > 1) typeArguments = (*pieces)[1];
}

// The widest value of an enumeration, quotes included.
int LongestEnumValue(const AnsiString& typeArguments) {
  int longest = 0;
  std::unique_ptr<TStringList> values = SplitString(typeArguments, ",");
  for (int i = 0; i < values->Count(); ++i) longest = std::max(longest, static_cast<int>((*values)[i].size()));
  return longest;
}

// The first value of an enumeration's arguments, without its quotes.
AnsiString FirstEnumValue(const AnsiString& typeArguments) {
  AnsiString rest = typeArguments.empty() ? AnsiString() : typeArguments.substr(1);
  return rest.substr(0, rest.find('\''));
}

// One key of an old-style table comment: "(`col`) REFER `db/table`(`refcol`)",
// names without their back-quotes.
struct TCommentKey {
  AnsiString Column, RefDatabase, RefTable, RefColumn;
};

std::vector<TCommentKey> ParseCommentKeys(const AnsiString& comment) {
  std::vector<TCommentKey> keys;
  std::unique_ptr<TStringList> parts = SplitString(comment, ";");
  for (int i = 0; i < parts->Count(); ++i) {
    std::unique_ptr<TStringList> pieces = SplitString((*parts)[i], "() /");
    if (pieces->Count() < 5 || UpperCase((*pieces)[1]) != "REFER") continue;
    auto name = [&](int i) { return StringReplace((*pieces)[i], "`", "", {rfReplaceAll}); };
    keys.push_back({name(0), name(2), name(3), name(4)});
  }
  return keys;
}

// Keeps server errors of the calling thread silent while it lives.
struct TSilentMySQLErrors {
  TSilentMySQLErrors() { EnterSilentMySQLErrors(); }
  ~TSilentMySQLErrors() { LeaveSilentMySQLErrors(); }
};

void RequireTable(const AnsiString& table) {
  if (table.empty()) throw Exception(SZTableIsNotSpecified);
}

// The names and texts of the builders' statements.
class TCatalogueNames {
public:
  explicit TCatalogueNames(TZMySQLDatabaseMetadata& metadata)
      : metadata_(metadata), connection_(metadata.GetConnection()) {}

  // The database to look in: the catalog, else the schema, else the URL's.
  AnsiString Database(const AnsiString& catalog, const AnsiString& schema) const {
    if (!catalog.empty()) return catalog;
    if (!schema.empty()) return schema;
    return metadata_.Database();
  }
  // A name as an identifier of the statement.
  AnsiString Name(const AnsiString& name) const { return metadata_.GetIdentifierConvertor()->Quote(name); }
  // database.table, both as identifiers.
  AnsiString Table(const AnsiString& database, const AnsiString& table) const {
    return Name(database) + "." + Name(table);
  }
  // A text inside single quotes; wildcards of a LIKE pattern keep working.
  AnsiString Text(const AnsiString& value) const { return connection_->EscapeString(value); }
  // One exact name after LIKE: its wildcards are escaped too.
  AnsiString ExactName(const AnsiString& value) const {
    return Text(metadata_.AddEscapeCharToWildcards(value));
  }
  IZConnection& Connection() const { return *connection_; }

private:
  TZMySQLDatabaseMetadata& metadata_;
  Ref<IZConnection> connection_;
};

}  // namespace

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetTables(const AnsiString& catalog,
                                                             const AnsiString& schemaPattern,
                                                             const AnsiString& tableNamePattern,
                                                             const TZStringDynArray&) {
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schemaPattern);
  const AnsiString pattern = PatternOrAll(tableNamePattern);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablesColumnDefs);
  int found = 0;
  auto addTable = [&](const AnsiString& table) {
    ++found;
    result->MoveToInsertRow();
    result->UpdateString(tables::kCat, database);
    result->UpdateString(tables::kName, table);
    result->UpdateString(tables::kType, "TABLE");
    result->InsertRow();
  };

  {
    TZCatalogueQuery query(names.Connection(), Format("SHOW TABLES FROM %s LIKE '%s'",
                                                     {names.Name(database), names.Text(pattern)}));
    while (query.Next()) addTable(query->GetString(1));
  }

  // A pattern LIKE does not match may still name a table exactly (a name
  // holding a wildcard character that the caller did not escape).
  if (found == 0 && pattern != "%") {
    try {
      TSilentMySQLErrors silent;
      TZCatalogueQuery query(names.Connection(), "SHOW COLUMNS FROM " + names.Table(database, pattern));
      if (query.Next()) addTable(pattern);
    } catch (const EZSQLException&) {
    } catch (const EZMySQLSilentException&) {
    }
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetCatalogs() {
  TCatalogueNames names(*this);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(CatalogsColumnDefs);
  TZCatalogueQuery query(names.Connection(), "SHOW DATABASES");
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(1, query->GetString(1));
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"TABLE"});
}

namespace {

// The COLUMN_DEF of one SHOW COLUMNS row; false when the column has none.
bool ColumnDefault(const TCatalogueNames& names, IZResultSet& row, int defaultColumn, const AnsiString& typeName,
                   const AnsiString& typeArguments, TZSQLType type, AnsiString& result) {
  AnsiString value = row.GetString(defaultColumn);
  if (row.WasNull()) return false;
  if (value.empty()) {
    if (typeName == "enum")
      value = FirstEnumValue(typeArguments);
    else if (!TypeTakesEmptyDefault(typeName))
      return false;
  }
  if (typeName == "enum" && type == stBoolean)
    result = (value == "y" || value == "Y") ? "1" : "0";
  else if (IsQuotedDefaultType(type) && !IsTimestampExpression(value))
    result = "'" + names.Text(value) + "'";
  else
    result = value;
  return true;
}

void FillColumnSize(IZVirtualResultSet& result, const AnsiString& typeName, const AnsiString& typeText,
                    const AnsiString& typeArguments) {
  int size = 0, digits = 0;
  if (typeName == "enum") {
    size = LongestEnumValue(typeArguments);
  } else if (typeText.find(',') != AnsiString::npos) {
    const auto comma = typeArguments.find(',');
    size = StrToIntDef(Trim(typeArguments.substr(0, comma)), 0);
    if (comma != AnsiString::npos) digits = StrToIntDef(Trim(typeArguments.substr(comma + 1)), 0);
  } else {
    size = typeArguments.empty() ? DefaultTypeSize(typeName) : StrToIntDef(Trim(typeArguments), 0);
  }
  result.UpdateInt(columns::kSize, size);
  result.UpdateInt(columns::kDecimalDigits, digits);
}

}  // namespace

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetColumns(const AnsiString& catalog,
                                                              const AnsiString& schemaPattern,
                                                              const AnsiString& tableNamePattern,
                                                              const AnsiString& columnNamePattern) {
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schemaPattern);
  const AnsiString pattern = PatternOrAll(columnNamePattern);
  Ref<IZIdentifierConvertor> convertor = GetIdentifierConvertor();
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);

  Ref<IZResultSet> tableList = GetTables(catalog, schemaPattern, tableNamePattern, {});
  while (tableList->Next()) {
    const AnsiString table = tableList->GetString(tables::kName);
    TZCatalogueQuery query(names.Connection(), Format("SHOW COLUMNS FROM %s LIKE '%s'",
                                                     {names.Table(database, table), names.Text(pattern)}));
    const int fieldColumn = query.Column({"Field"}), typeColumn = query.Column({"Type"}),
              nullColumn = query.Column({"Null"}), extraColumn = query.Column({"Extra"}),
              defaultColumn = query.Column({"Default"});
    for (int position = 1; query.Next(); ++position) {
      const AnsiString field = query->GetString(fieldColumn);
      const AnsiString typeText = query->GetString(typeColumn);
      const AnsiString extra = query->GetString(extraColumn);
      AnsiString typeName, typeArguments;
      SplitTypeText(typeText, typeName, typeArguments);
      const TZSQLType type = ConvertMySQLTypeNameToSQLType(typeName, typeText);
      const bool nullable = query->GetString(nullColumn) == "YES";

      result->MoveToInsertRow();
      result->UpdateString(columns::kCat, database);
      result->UpdateString(columns::kSchem, "");
      result->UpdateString(columns::kTable, table);
      result->UpdateString(columns::kName, field);
      result->UpdateShort(columns::kDataType, type);
      result->UpdateString(columns::kTypeName, typeName);
      FillColumnSize(*result, typeName, typeText, typeArguments);
      result->UpdateInt(columns::kBufferLength, kColumnBufferLength);
      result->UpdateInt(columns::kNullable, nullable ? ntNullable : ntNoNulls);
      result->UpdateString(columns::kIsNullable, nullable ? "YES" : "NO");
      result->UpdateString(columns::kRemarks, extra);
      AnsiString defaultValue;
      if (ColumnDefault(names, *query, defaultColumn, typeName, typeArguments, type, defaultValue))
        result->UpdateString(columns::kDefault, defaultValue);
      result->UpdateInt(columns::kPosition, position);
      result->UpdateBoolean(columns::kAutoIncrement, LowerCase(Trim(extra)) == "auto_increment");
      result->UpdateBoolean(columns::kCaseSensitive, convertor->NeedsQuoting(field));
      UpdateColumnAccess(*result, true);
      result->InsertRow();
    }
  }
  result->BeforeFirst();
  return result;
}

namespace {

// "user@host"; an empty user or host stands for any.
AnsiString Grantee(const AnsiString& user, const AnsiString& host) {
  return (user.empty() ? AnsiString("%") : user) + "@" + (host.empty() ? AnsiString("%") : host);
}

// One row per privilege of a comma-separated list; fill writes the rest.
template <typename Fill>
void AddPrivilegeRows(IZVirtualResultSet& result, const AnsiString& privilegeList, int privilegeColumn,
                      const Fill& fill) {
  std::unique_ptr<TStringList> privileges = SplitString(privilegeList, ",");
  for (int i = 0; i < privileges->Count(); ++i) {
    result.MoveToInsertRow();
    fill();
    result.UpdateString(privilegeColumn, Trim((*privileges)[i]));
    result.InsertRow();
  }
}

}  // namespace

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString& catalog,
                                                                       const AnsiString& schema,
                                                                       const AnsiString& table,
                                                                       const AnsiString& columnNamePattern) {
  using column_privileges::kGrantor, column_privileges::kGrantee, column_privileges::kPrivilege;
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schema);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnPrivilegesColumnDefs);
  TZCatalogueQuery query(
      names.Connection(),
      Format("SELECT c.host, c.db, t.grantor, c.user, c.table_name, c.column_name, c.column_priv "
             "FROM mysql.columns_priv c, mysql.tables_priv t WHERE c.host=t.host AND c.db=t.db "
             "AND c.table_name=t.table_name AND c.db='%s' AND c.table_name='%s' AND c.column_name LIKE '%s'",
             {names.Text(database), names.Text(table), names.Text(PatternOrAll(columnNamePattern))}));
  while (query.Next()) {
    const AnsiString column = query->GetString(6), grantor = query->GetString(3);
    const AnsiString grantee = Grantee(query->GetString(4), query->GetString(1));
    AddPrivilegeRows(*result, query->GetString(7), kPrivilege, [&] {
      result->UpdateString(column_privileges::kCat, database);
      result->UpdateString(column_privileges::kTable, table);
      result->UpdateString(column_privileges::kColumn, column);
      result->UpdateString(kGrantor, grantor);
      result->UpdateString(kGrantee, grantee);
    });
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString& catalog,
                                                                      const AnsiString& schemaPattern,
                                                                      const AnsiString& tableNamePattern) {
  using table_privileges::kGrantor, table_privileges::kGrantee, table_privileges::kPrivilege;
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schemaPattern);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablePrivilegesColumnDefs);
  TZCatalogueQuery query(names.Connection(),
                        Format("SELECT host,db,table_name,grantor,user,table_priv from mysql.tables_priv "
                               "WHERE db='%s' AND table_name LIKE '%s'",
                               {names.Text(database), names.Text(PatternOrAll(tableNamePattern))}));
  while (query.Next()) {
    const AnsiString db = query->GetString(2), table = query->GetString(3), grantor = query->GetString(4);
    const AnsiString grantee = Grantee(query->GetString(5), query->GetString(1));
    AddPrivilegeRows(*result, query->GetString(6), kPrivilege, [&] {
      result->UpdateString(column_privileges::kCat, db);
      result->UpdateString(column_privileges::kTable, table);
      result->UpdateString(kGrantor, grantor);
      result->UpdateString(kGrantee, grantee);
    });
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table) {
  RequireTable(table);
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schema);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(PrimaryKeysColumnDefs);
  TZCatalogueQuery query(names.Connection(), "SHOW KEYS FROM " + names.Table(database, table));
  const int keyColumn = query.Column({"Key_name"}), nameColumn = query.Column({"Column_name"}),
            seqColumn = query.Column({"Seq_in_index"});
  while (query.Next()) {
    if (UpperCase(query->GetString(keyColumn)).compare(0, 3, "PRI") != 0) continue;
    result->MoveToInsertRow();
    result->UpdateString(primary_keys::kCat, database);
    result->UpdateString(primary_keys::kSchem, "");
    result->UpdateString(primary_keys::kTable, table);
    result->UpdateString(primary_keys::kColumn, query->GetString(nameColumn));
    result->UpdateShort(primary_keys::kKeySeq, query->GetShort(seqColumn));
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

namespace {

struct TKeyRow {
  AnsiString PkCat, PkSchem, PkTable, PkColumn, FkCat, FkSchem, FkTable, FkColumn;
  int KeySeq = 0;
};

void AddKeyRow(IZVirtualResultSet& result, const TKeyRow& row) {
  result.MoveToInsertRow();
  UpdateOptionalString(result, keys::kPkCat, row.PkCat);
  UpdateOptionalString(result, keys::kPkSchem, row.PkSchem);
  UpdateOptionalString(result, keys::kPkTable, row.PkTable);
  UpdateOptionalString(result, keys::kPkColumn, row.PkColumn);
  UpdateOptionalString(result, keys::kFkCat, row.FkCat);
  UpdateOptionalString(result, keys::kFkSchem, row.FkSchem);
  UpdateOptionalString(result, keys::kFkTable, row.FkTable);
  UpdateOptionalString(result, keys::kFkColumn, row.FkColumn);
  result.UpdateShort(keys::kKeySeq, static_cast<std::int16_t>(row.KeySeq));
  result.UpdateShort(keys::kUpdateRule, kUnknownKeyRule);
  result.UpdateShort(keys::kDeleteRule, kUnknownKeyRule);
  result.UpdateShort(keys::kDeferrability, kUnknownKeyRule);
  result.InsertRow();
}

// The keys written in the comments of the InnoDB tables that a SHOW TABLE
// STATUS statement lists; makeRow turns each (with its table's name and its
// running number in that table) into a row, or into none.
template <typename MakeRow>
Ref<IZResultSet> CommentKeys(const TCatalogueNames& names, const AnsiString& sql, const TZMetadataColumnDefs& layout,
                             const MakeRow& makeRow) {
  Ref<IZVirtualResultSet> result = TZAbstractDatabaseMetadata::ConstructVirtualResultSet(layout);
  TZCatalogueQuery query(names.Connection(), sql);
  const int nameColumn = query.Column({"Name"});
  // Older servers call the storage engine column "Type".
  const int typeColumn = query.Column({"Type", "Engine"});
  const int commentColumn = query.Column({"Comment"});
  while (query.Next()) {
    if (LowerCase(query->GetString(typeColumn)) != "innodb") continue;
    const AnsiString name = query->GetString(nameColumn);
    int keySeq = 0;
    for (const TCommentKey& key : ParseCommentKeys(query->GetString(commentColumn)))
      if (std::optional<TKeyRow> row = makeRow(name, key, keySeq++)) AddKeyRow(*result, *row);
  }
  result->BeforeFirst();
  return result;
}

}  // namespace

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetImportedKeys(const AnsiString& catalog,
                                                                   const AnsiString& schema,
                                                                   const AnsiString& table) {
  RequireTable(table);
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schema);
  return CommentKeys(names, Format("SHOW TABLE STATUS FROM %s LIKE '%s'", {names.Name(database), names.ExactName(table)}),
                     ImportedKeysColumnDefs, [&](const AnsiString&, const TCommentKey& key, int keySeq) {
                       return std::optional<TKeyRow>({key.RefDatabase, "", key.RefTable, key.RefColumn, database, "",
                                                      table, key.Column, keySeq});
                     });
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetExportedKeys(const AnsiString& catalog,
                                                                   const AnsiString& schema,
                                                                   const AnsiString& table) {
  RequireTable(table);
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schema);
  return CommentKeys(names, "SHOW TABLE STATUS FROM " + names.Name(database), ExportedKeysColumnDefs,
                     [&](const AnsiString& name, const TCommentKey& key, int keySeq) {
                       return std::optional<TKeyRow>(
                           {key.RefDatabase, "", table, key.RefColumn, database, "", name, key.Column, keySeq});
                     });
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetCrossReference(
    const AnsiString&, const AnsiString& primarySchema, const AnsiString& primaryTable,
    const AnsiString& foreignCatalog, const AnsiString& foreignSchema, const AnsiString& foreignTable) {
  RequireTable(primaryTable);
  TCatalogueNames names(*this);
  const AnsiString database = foreignCatalog.empty() ? Database() : foreignCatalog;
  return CommentKeys(names, "SHOW TABLE STATUS FROM " + names.Name(database), CrossReferenceColumnDefs,
                     [&](const AnsiString& name, const TCommentKey& key, int keySeq) -> std::optional<TKeyRow> {
                       // Only keys of the foreign table that point at the primary table.
                       if (name != foreignTable || key.RefTable != primaryTable) return std::nullopt;
                       return TKeyRow{key.RefDatabase, primarySchema, primaryTable, key.RefColumn, database,
                                      foreignSchema, name, key.Column, keySeq};
                     });
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table, bool, bool) {
  RequireTable(table);
  TCatalogueNames names(*this);
  const AnsiString database = names.Database(catalog, schema);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(IndexInfoColumnDefs);
  TZCatalogueQuery query(names.Connection(), "SHOW INDEX FROM " + names.Table(database, table));
  const int tableColumn = query.Column({"Table"}), nonUniqueColumn = query.Column({"Non_unique"}),
            keyColumn = query.Column({"Key_name"}), seqColumn = query.Column({"Seq_in_index"}),
            nameColumn = query.Column({"Column_name"}), collationColumn = query.Column({"Collation"}),
            cardinalityColumn = query.Column({"Cardinality"});
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(index_info::kCat, database);
    result->UpdateString(index_info::kTable, query->GetString(tableColumn));
    result->UpdateBoolean(index_info::kNonUnique, query->GetInt(nonUniqueColumn) != 0);
    result->UpdateString(index_info::kName, query->GetString(keyColumn));
    result->UpdateShort(index_info::kType, kIndexTypeOther);
    result->UpdateShort(index_info::kPosition, query->GetShort(seqColumn));
    result->UpdateString(index_info::kColumn, query->GetString(nameColumn));
    UpdateOptionalString(*result, index_info::kAscOrDesc, query->GetString(collationColumn));
    const int cardinality = query->GetInt(cardinalityColumn);
    if (!query->WasNull()) result->UpdateInt(index_info::kCardinality, cardinality);
    result->UpdateInt(index_info::kPages, 0);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}

// MySQL tables have no version column the server maintains; the one row
// names the row identifier the catalogue has always answered with.
Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetVersionColumns(const AnsiString&, const AnsiString&,
                                                                     const AnsiString&) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(VersionColumnsColumnDefs);
  result->MoveToInsertRow();
  result->UpdateString(row_columns::kColumnName, "ctid");
  result->UpdateString(row_columns::kTypeName, "tid");
  result->InsertRow();
  result->BeforeFirst();
  return result;
}

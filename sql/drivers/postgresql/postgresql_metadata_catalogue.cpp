// PostgreSQL catalogue builders for tables, columns, privileges, keys and
// indexes. Each reads the system catalogue with one query (a form without
// schemas for servers before 7.3) and copies the rows into the fixed layout
// or builds the rows itself. Every name and pattern goes in as a quoted
// catalogue value.

#include <algorithm>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/parsesql/identifier_convertor.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/postgresql/postgresql_connection.h"
#include "sql/drivers/postgresql/postgresql_metadata.h"
#include "sql/drivers/postgresql/postgresql_types.h"

namespace {

// Key rules and deferrability as catalogue answers give them.
enum : int { kRuleCascade = 0, kRuleRestrict = 1, kRuleSetNull = 2, kRuleNoAction = 3, kRuleSetDefault = 4 };
enum : int { kInitiallyDeferred = 5, kInitiallyImmediate = 6, kNotDeferrable = 7 };

constexpr int kAllowedTypeModOffset = 4;  // a type modifier carries 4 more than the length
constexpr int kNumericScaleBase = 65536;

const char kTablesSql73[] =
    " SELECT NULL AS TABLE_CAT, n.nspname AS TABLE_SCHEM, c.relname AS TABLE_NAME,   CASE (n.nspname LIKE"
    " 'pg\\\\_%')   OR (n.nspname='information_schema') WHEN true THEN CASE n.nspname    WHEN 'pg_catalog"
    "' THEN CASE c.relkind      WHEN 'r' THEN 'SYSTEM TABLE'     WHEN 'v' THEN 'SYSTEM VIEW'      WHEN 'i"
    "' THEN 'SYSTEM INDEX'      ELSE NULL    END    WHEN 'information_schema' THEN CASE c.relkind      WH"
    "EN 'r' THEN 'SYSTEM TABLE'     WHEN 'v' THEN 'SYSTEM VIEW'      WHEN 'i' THEN 'SYSTEM INDEX'      EL"
    "SE NULL    END    WHEN 'pg_toast' THEN CASE c.relkind      WHEN 'r' THEN 'SYSTEM TOAST TABLE'      W"
    "HEN 'i' THEN 'SYSTEM TOAST INDEX'      ELSE NULL    END    ELSE CASE c.relkind \tWHEN 'r' THEN 'TEMP"
    "ORARY TABLE' \tWHEN 'i' THEN 'TEMPORARY INDEX' \tELSE NULL    END  END  WHEN false THEN CASE c.relki"
    "nd    WHEN 'r' THEN 'TABLE'    WHEN 'i' THEN 'INDEX'    WHEN 'S' THEN 'SEQUENCE'    WHEN 'v' THEN 'V"
    "IEW'    ELSE NULL  END  ELSE NULL  END  AS TABLE_TYPE, d.description AS REMARKS  FROM pg_catalog.pg_"
    "namespace n, pg_catalog.pg_class c  LEFT JOIN pg_catalog.pg_description d ON (c.oid = d.objoid AND d"
    ".objsubid = 0)  LEFT JOIN pg_catalog.pg_class dc ON (d.classoid=dc.oid AND dc.relname='pg_class') LE"
    "FT JOIN pg_catalog.pg_namespace dn ON (dn.oid=dc.relnamespace AND dn.nspname='pg_catalog')  WHERE c."
    "relnamespace = n.oid ";
const char kTablesSql72[] =
    "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM, c.relname AS TABLE_NAME, "
    " CASE c.relname LIKE 'pg\\\\_%' WHEN true THEN CASE c.relname LIKE 'pg\\\\_toast\\\\_%' WHEN true TH"
    "EN CASE c.relkind   WHEN 'r' THEN 'SYSTEM TOAST TABLE'   WHEN 'i' THEN 'SYSTEM TOAST INDEX'   ELSE N"
    "ULL END WHEN false THEN CASE c.relname LIKE 'pg\\\\_temp\\\\_%'   WHEN true THEN CASE c.relkind     "
    "WHEN 'r' THEN 'TEMPORARY TABLE'     WHEN 'i' THEN 'TEMPORARY INDEX'     ELSE NULL   END   WHEN false"
    " THEN CASE c.relkind     WHEN 'r' THEN 'SYSTEM TABLE'     WHEN 'v' THEN 'SYSTEM VIEW'     WHEN 'i' T"
    "HEN 'SYSTEM INDEX'     ELSE NULL   END   ELSE NULL END ELSE NULL END WHEN false THEN CASE c.relkind "
    "  WHEN 'r' THEN 'TABLE'   WHEN 'i' THEN 'INDEX'   WHEN 'S' THEN 'SEQUENCE'   WHEN 'v' THEN 'VIEW'   "
    "ELSE NULL END ELSE NULL  END "
    " AS TABLE_TYPE, NULL AS REMARKS FROM pg_class c WHERE true ";

const struct {
  const char* Type;
  const char* WithSchemas;
  const char* WithoutSchemas;
} kTableTypeConditions[] = {
    {"TABLE", " c.relkind = 'r' AND n.nspname NOT LIKE 'pg\\\\_%' ",
     " c.relkind = 'r' AND c.relname NOT LIKE 'pg\\\\_%' "},
    {"VIEW", " c.relkind = 'v' AND n.nspname <> 'pg_catalog' ",
     " c.relkind = 'v' AND c.relname NOT LIKE 'pg\\\\_%' "},
    {"INDEX", " c.relkind = 'i' AND n.nspname NOT LIKE 'pg\\\\_%' ",
     " c.relkind = 'i' AND c.relname NOT LIKE 'pg\\\\_%' "},
    {"SEQUENCE", " c.relkind = 'S' ",
     " c.relkind = 'S' "},
    {"SYSTEM TABLE", " c.relkind = 'r' AND n.nspname = 'pg_catalog' ",
     " c.relkind = 'r' AND c.relname LIKE 'pg\\\\_%' AND c.relname NOT LIKE 'pg\\\\_toast\\\\_%' AND c.relname NOT LIKE 'pg\\\\_temp\\\\_%' "},
    {"SYSTEM TOAST TABLE", " c.relkind = 'r' AND n.nspname = 'pg_toast' ",
     " c.relkind = 'r' AND c.relname LIKE 'pg\\\\_toast\\\\_%' "},
    {"SYSTEM TOAST INDEX", " c.relkind = 'i' AND n.nspname = 'pg_toast' ",
     " c.relkind = 'i' AND c.relname LIKE 'pg\\\\_toast\\\\_%' "},
    {"SYSTEM VIEW", " c.relkind = 'v' AND n.nspname = 'pg_catalog' ",
     "c.relkind = 'v' AND c.relname LIKE 'pg\\\\_%'"},
    {"SYSTEM INDEX", " c.relkind = 'i' AND n.nspname = 'pg_catalog' ",
     " c.relkind = 'i' AND c.relname LIKE 'pg\\\\_%' AND c.relname NOT LIKE 'pg\\\\_toast\\\\_%' AND c.relname NOT LIKE 'pg\\\\_temp\\\\_%' "},
    {"TEMPORARY TABLE", " c.relkind = 'r' AND n.nspname LIKE 'pg\\\\_temp\\\\_%' ",
     " c.relkind = 'r' AND c.relname LIKE 'pg\\\\_temp\\\\_%' "},
    {"TEMPORARY INDEX", "c.relkind = 'i' AND n.nspname LIKE 'pg\\\\_temp\\\\_%' ",
     " c.relkind = 'i' AND c.relname LIKE 'pg\\\\_temp\\\\_%' "},
};

// The condition of one table type; null for a type of no known kind.
const char* TableTypeCondition(const AnsiString& type, bool useSchemas) {
  for (const auto& entry : kTableTypeConditions)
    if (type == entry.Type) return useSchemas ? entry.WithSchemas : entry.WithoutSchemas;
  return nullptr;
}

const char* const kDefaultTableTypes[] = {"TABLE", "VIEW", "INDEX", "SEQUENCE", "TEMPORARY TABLE"};

// "cascade" of RI_FKey_cascade_upd.
int TriggerRule(const AnsiString& functionName) {
  const AnsiString action = functionName.size() > 12 ? functionName.substr(8, functionName.size() - 12) : "";
  if (action == "cascade") return kRuleCascade;
  if (action == "setnull") return kRuleSetNull;
  if (action == "setdefault") return kRuleSetDefault;
  if (action == "restrict") return kRuleRestrict;
  return kRuleNoAction;
}

// Privilege rows of one ACL item "grantee=letters/grantor": PUBLIC for an
// empty grantee, one row per letter up to the grantor, grant-option marks
// skipped. add(grantee, privilege, grantable) makes a row.
template <typename Add>
void AddPrivilegeRows(const AnsiString& item, const AnsiString& owner, Add add) {
  const std::size_t equals = item.find('=');
  if (equals == AnsiString::npos || equals + 1 >= item.size()) return;
  const AnsiString grantee = equals == 0 ? AnsiString("PUBLIC") : item.substr(0, equals);
  const char* grantable = grantee == owner ? "YES" : "NO";
  for (std::size_t i = equals + 1; i < item.size() && item[i] != '/'; ++i)
    if (item[i] != '*') add(grantee, AclPrivilegeName(item[i]), grantable);
}

}  // namespace

void SplitAclItems(TStrings* list, const AnsiString& acl) {
  if (acl.size() < 2) return;
  auto add = [list, &acl](std::size_t start, std::size_t end) {
    AnsiString item = acl.substr(start, end - start);
    if (item.size() >= 2 && item.front() == '"' && item.back() == '"') item = item.substr(1, item.size() - 2);
    list->Add(item);
  };
  bool quoted = false;
  std::size_t start = 1;
  for (std::size_t i = 1; i < acl.size(); ++i) {
    if (acl[i] == '"' && acl[i - 1] != '\\') {
      quoted = !quoted;
    } else if (acl[i] == ',' && !quoted) {
      add(start, i);
      start = i + 1;
    }
  }
  // The last item ends before the closing brace.
  if (acl.size() - 1 > start) add(start, acl.size() - 1);
}

AnsiString AclPrivilegeName(char letter) {
  switch (letter) {
    case 'a': return "INSERT";
    case 'r': return "SELECT";
    case 'w': return "UPDATE";
    case 'd': return "DELETE";
    case 'R': return "RULE";
    case 'x': return "REFERENCES";
    case 't': return "TRIGGER";
    case 'X': return "EXECUTE";
    case 'U': return "USAGE";
    case 'C': return "CREATE";
    case 'T': return "CREATE TEMP";
    default: return "UNKNOWN";
  }
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetTables(const AnsiString&, const AnsiString& schemaPattern,
                                                                 const AnsiString& tableNamePattern,
                                                                 const TZStringDynArray& types) {
  const bool useSchemas = HasMinimumServerVersion(7, 3);
  AnsiString sql = useSchemas ? kTablesSql73 : kTablesSql72;
  if (useSchemas) sql += " AND n.nspname LIKE " + QuoteMetadataString(PatternOrAll(schemaPattern));
  sql += " AND c.relname LIKE " + QuoteMetadataString(PatternOrAll(tableNamePattern)) + " AND (false";
  TZStringDynArray wanted = types;
  if (wanted.empty()) wanted.assign(std::begin(kDefaultTableTypes), std::end(kDefaultTableTypes));
  for (const AnsiString& type : wanted)
    if (const char* condition = TableTypeCondition(type, useSchemas)) sql += " OR (" + AnsiString(condition) + ")";
  sql += useSchemas ? ") ORDER BY TABLE_TYPE,TABLE_SCHEM,TABLE_NAME" : ") ORDER BY TABLE_TYPE,TABLE_NAME ";
  return CopyQuery(sql, TablesColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetColumns(const AnsiString&, const AnsiString& schemaPattern,
                                                                  const AnsiString& tableNamePattern,
                                                                  const AnsiString& columnNamePattern) {
  AnsiString sql;
  if (HasMinimumServerVersion(7, 3)) {
    sql = "SELECT n.nspname,c.relname,a.attname,a.atttypid,a.attnotnull,a.atttypmod,a.attlen,a.attnum,pg_get_ex"
    "pr(def.adbin, def.adrelid) as adsrc,dsc.description  FROM pg_catalog.pg_namespace n  JOIN pg_catalog"
    ".pg_class c ON (c.relnamespace = n.oid)  JOIN pg_catalog.pg_attribute a ON (a.attrelid=c.oid)  LEFT "
    "JOIN pg_catalog.pg_attrdef def ON (a.attrelid=def.adrelid AND a.attnum = def.adnum) LEFT JOIN pg_cat"
    "alog.pg_description dsc ON (c.oid=dsc.objoid AND a.attnum = dsc.objsubid)  LEFT JOIN pg_catalog.pg_c"
    "lass dc ON (dc.oid=dsc.classoid AND dc.relname='pg_class') LEFT JOIN pg_catalog.pg_namespace dn ON ("
    "dc.relnamespace=dn.oid AND dn.nspname='pg_catalog')  WHERE a.attnum > 0 AND NOT a.attisdropped";
    if (!schemaPattern.empty()) sql += " AND n.nspname LIKE " + QuoteMetadataString(schemaPattern);
  } else {
    sql = "SELECT NULL::text AS nspname,c.relname,a.attname,a.atttypid,a.attnotnull,a.atttypmod,a.attlen,a.attn"
    "um,NULL AS adsrc,NULL AS description FROM pg_class c, pg_attribute a  WHERE a.attrelid=c.oid AND a.a"
    "ttnum > 0 ";
  }
  sql += " AND c.relname LIKE " + QuoteMetadataString(PatternOrAll(tableNamePattern)) + " AND a.attname LIKE " +
         QuoteMetadataString(PatternOrAll(columnNamePattern)) + " ORDER BY nspname,relname,attnum";

  Ref<IZIdentifierConvertor> convertor = GetIdentifierConvertor();
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    using namespace catalogue_column::columns;
    const Oid typeOid = static_cast<Oid>(StrToInt64Def(query->GetString(4), 0));
    const int typeMod = query->GetInt(6);
    const AnsiString typeName = GetTypeNameOfOid(typeOid);
    const AnsiString columnName = query->GetString(3);
    result->MoveToInsertRow();
    result->UpdateString(kSchem, query->GetString(1));
    if (query->WasNull()) result->UpdateNull(kSchem);
    result->UpdateString(kTable, query->GetString(2));
    result->UpdateString(kName, columnName);
    result->UpdateInt(kDataType, GetSQLTypeOfOid(typeOid));
    result->UpdateString(kTypeName, typeName);
    int size;
    if (typeName == "bpchar" || typeName == "varchar") {
      size = typeMod == -1 ? 0 : typeMod - kAllowedTypeModOffset;
    } else if (typeName == "numeric" || typeName == "decimal") {
      size = (typeMod - kAllowedTypeModOffset) / kNumericScaleBase;
      result->UpdateInt(kDecimalDigits, (typeMod - kAllowedTypeModOffset) % kNumericScaleBase);
      result->UpdateInt(kRadix, 10);
      // As the results carry it: text when a double would lose digits.
      if (NumericTextDigits(typeMod)) result->UpdateInt(kDataType, stString);
    } else if (typeName == "bit" || typeName == "varbit") {
      size = typeMod;
      result->UpdateInt(kRadix, 2);
    } else {
      size = query->GetInt(7);
      result->UpdateInt(kRadix, 2);
    }
    result->UpdateInt(kSize, size);
    const bool notNull = query->GetBoolean(5);
    result->UpdateInt(kNullable, notNull ? 0 : 1);
    result->UpdateString(kIsNullable, notNull ? "NO" : "YES");
    const AnsiString remarks = query->GetString(10);
    if (!query->WasNull()) result->UpdateString(kRemarks, remarks);
    const AnsiString defaultValue = query->GetString(9);
    if (!query->WasNull()) result->UpdateString(kDefault, defaultValue);
    result->UpdateInt(kCharOctetLength, size);
    result->UpdateInt(kPosition, query->GetInt(8));
    result->UpdateBoolean(kCaseSensitive, convertor->NeedsQuoting(columnName));
    UpdateColumnAccess(*result, true);
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString&,
                                                                           const AnsiString& schema,
                                                                           const AnsiString& table,
                                                                           const AnsiString& columnNamePattern) {
  AnsiString sql;
  if (HasMinimumServerVersion(7, 3)) {
    sql = "SELECT n.nspname,c.relname,u.usename,c.relacl,a.attname  FROM pg_catalog.pg_namespace n, pg_catalog."
    "pg_class c, pg_catalog.pg_user u, pg_catalog.pg_attribute a  WHERE c.relnamespace = n.oid AND u.uses"
    "ysid = c.relowner  AND c.oid = a.attrelid AND c.relkind = 'r' AND a.attnum > 0 AND NOT a.attisdroppe"
    "d";
    if (!schema.empty()) sql += " AND n.nspname = " + QuoteMetadataString(schema);
  } else {
    sql = "SELECT NULL::text AS nspname,c.relname,u.usename,c.relacl,a.attname FROM pg_class c, pg_user u,pg_at"
    "tribute a  WHERE u.usesysid = c.relowner AND c.oid = a.attrelid  AND a.attnum > 0 AND c.relkind = 'r"
    "'";
  }
  sql += " AND c.relname = " + QuoteMetadataString(table) + " AND a.attname LIKE " +
         QuoteMetadataString(PatternOrAll(columnNamePattern)) + " ORDER BY attname";

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnPrivilegesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString owner = query->GetStringByName("usename");
    const AnsiString column = query->GetStringByName("attname");
    TStringList items;
    SplitAclItems(&items, query->GetStringByName("relacl"));
    for (int i = 0; i < items.Count(); ++i)
      AddPrivilegeRows(items[i], owner, [&](const AnsiString& grantee, const AnsiString& privilege, const char* grantable) {
        result->MoveToInsertRow();
        if (!schema.empty()) result->UpdateString(2, schema);
        result->UpdateString(3, table);
        result->UpdateString(4, column);
        result->UpdateString(5, owner);
        result->UpdateString(6, grantee);
        result->UpdateString(7, privilege);
        result->UpdateString(8, grantable);
        result->InsertRow();
      });
  }
  return result;
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetTablePrivileges(const AnsiString&,
                                                                          const AnsiString& schemaPattern,
                                                                          const AnsiString& tableNamePattern) {
  AnsiString sql;
  if (HasMinimumServerVersion(7, 3)) {
    sql = "SELECT n.nspname,c.relname,u.usename,c.relacl  FROM pg_catalog.pg_namespace n, pg_catalog.pg_class c"
    ", pg_catalog.pg_user u WHERE c.relnamespace = n.oid  AND u.usesysid = c.relowner AND c.relkind = 'r'"
    " ";
    if (!schemaPattern.empty()) sql += " AND n.nspname LIKE " + QuoteMetadataString(schemaPattern);
  } else {
    sql = "SELECT NULL::text AS nspname,c.relname,u.usename,c.relacl  FROM pg_class c, pg_user u WHERE u.usesys"
    "id = c.relowner  AND c.relkind = 'r' ";
  }
  sql += " AND c.relname LIKE " + QuoteMetadataString(PatternOrAll(tableNamePattern)) + " ORDER BY nspname, relname";

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablePrivilegesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString schema = query->GetStringByName("nspname");
    const bool noSchema = query->WasNull();
    const AnsiString table = query->GetStringByName("relname");
    const AnsiString owner = query->GetStringByName("usename");
    TStringList list;
    SplitAclItems(&list, query->GetStringByName("relacl"));
    std::vector<AnsiString> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
    std::stable_sort(items.begin(), items.end(),
                     [](const AnsiString& a, const AnsiString& b) { return LowerCase(a) < LowerCase(b); });
    for (const AnsiString& item : items)
      AddPrivilegeRows(item, owner, [&](const AnsiString& grantee, const AnsiString& privilege, const char* grantable) {
        result->MoveToInsertRow();
        if (!noSchema) result->UpdateString(2, schema);
        result->UpdateString(3, table);
        result->UpdateString(4, owner);
        result->UpdateString(5, grantee);
        result->UpdateString(6, privilege);
        result->UpdateString(7, grantable);
        result->InsertRow();
      });
  }
  return result;
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString&, const AnsiString& schema,
                                                                      const AnsiString& table) {
  const bool useSchemas = HasMinimumServerVersion(7, 3);
  AnsiString sql = useSchemas ? "SELECT NULL AS TABLE_CAT, n.nspname AS TABLE_SCHEM,"
                              : "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM,";
  sql += " ct.relname AS TABLE_NAME, a.attname AS COLUMN_NAME, a.attnum AS KEY_SEQ, ci.relname AS PK_NAME";
  sql += useSchemas ? " FROM pg_catalog.pg_namespace n, pg_catalog.pg_class ct, pg_catalog.pg_class ci, pg_catalog.pg_attri"
    "bute a, pg_catalog.pg_index i"
                    : " FROM pg_class ct, pg_class ci, pg_attribute a, pg_index i";
  sql += " WHERE ct.oid=i.indrelid AND ci.oid=i.indexrelid AND a.attrelid=ci.oid AND i.indisprimary";
  if (!table.empty()) sql += " AND ct.relname = " + QuoteMetadataString(table);
  if (useSchemas) {
    sql += " AND ct.relnamespace = n.oid";
    if (!schema.empty()) sql += " AND n.nspname = " + QuoteMetadataString(schema);
  }
  sql += " ORDER BY table_name, pk_name, key_seq";
  return CopyQuery(sql, PrimaryKeysColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetImportedKeys(const AnsiString&, const AnsiString& schema,
                                                                       const AnsiString& table) {
  return UncachedGetCrossReference("", "", "", "", schema, table);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetExportedKeys(const AnsiString&, const AnsiString& schema,
                                                                       const AnsiString& table) {
  return UncachedGetCrossReference("", schema, table, "", "", "");
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetCrossReference(
    const AnsiString&, const AnsiString& primarySchema, const AnsiString& primaryTable, const AnsiString&,
    const AnsiString& foreignSchema, const AnsiString& foreignTable) {
  // The triggers of old servers no longer say which constraint they serve.
  if (HasMinimumServerVersion(9, 0)) return ConstraintKeys(primarySchema, primaryTable, foreignSchema, foreignTable);
  return TriggerKeys(primarySchema, primaryTable, foreignSchema, foreignTable);
}

// One row per key column, numbered through the key's column arrays (a key
// has at most 32 columns).
Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::ConstraintKeys(const AnsiString& primarySchema,
                                                              const AnsiString& primaryTable,
                                                              const AnsiString& foreignSchema,
                                                              const AnsiString& foreignTable) {
  auto rule = [](const char* column) {
    return Format("CASE con.%s WHEN 'c' THEN %d WHEN 'r' THEN %d WHEN 'n' THEN %d WHEN 'd' THEN %d ELSE %d END",
                  {column, kRuleCascade, kRuleRestrict, kRuleSetNull, kRuleSetDefault, kRuleNoAction});
  };
  AnsiString sql =
      "SELECT NULL AS PKTABLE_CAT, pn.nspname AS PKTABLE_SCHEM, pc.relname AS PKTABLE_NAME, pa.attname AS "
      "PKCOLUMN_NAME, NULL AS FKTABLE_CAT, fn.nspname AS FKTABLE_SCHEM, fc.relname AS FKTABLE_NAME, fa.attname AS "
      "FKCOLUMN_NAME, k.n AS KEY_SEQ, " + rule("confupdtype") + " AS UPDATE_RULE, " + rule("confdeltype") +
      " AS DELETE_RULE, con.conname AS FK_NAME, ic.relname AS PK_NAME, " +
      Format("CASE WHEN con.condeferrable THEN CASE WHEN con.condeferred THEN %d ELSE %d END ELSE %d END",
             {kInitiallyDeferred, kInitiallyImmediate, kNotDeferrable}) +
      " AS DEFERRABILITY FROM pg_catalog.pg_constraint con"
      " JOIN pg_catalog.pg_class fc ON (fc.oid=con.conrelid)"
      " JOIN pg_catalog.pg_namespace fn ON (fn.oid=fc.relnamespace)"
      " JOIN pg_catalog.pg_class pc ON (pc.oid=con.confrelid)"
      " JOIN pg_catalog.pg_namespace pn ON (pn.oid=pc.relnamespace)"
      " JOIN pg_catalog.generate_series(1, 32) k(n) ON (k.n <= pg_catalog.array_upper(con.conkey, 1))"
      " JOIN pg_catalog.pg_attribute fa ON (fa.attrelid=con.conrelid AND fa.attnum=con.conkey[k.n])"
      " JOIN pg_catalog.pg_attribute pa ON (pa.attrelid=con.confrelid AND pa.attnum=con.confkey[k.n])"
      " LEFT JOIN pg_catalog.pg_class ic ON (ic.oid=con.conindid)"
      " WHERE con.contype = 'f'";
  if (!primarySchema.empty()) sql += " AND pn.nspname = " + QuoteMetadataString(primarySchema);
  if (!foreignSchema.empty()) sql += " AND fn.nspname = " + QuoteMetadataString(foreignSchema);
  if (!primaryTable.empty()) sql += " AND pc.relname = " + QuoteMetadataString(primaryTable);
  if (!foreignTable.empty()) sql += " AND fc.relname = " + QuoteMetadataString(foreignTable);
  sql += primaryTable.empty() ? " ORDER BY PKTABLE_SCHEM, PKTABLE_NAME, KEY_SEQ"
                              : " ORDER BY FKTABLE_SCHEM, FKTABLE_NAME, KEY_SEQ";
  return CopyQuery(sql, CrossReferenceColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::TriggerKeys(const AnsiString& primarySchema,
                                                           const AnsiString& primaryTable,
                                                           const AnsiString& foreignSchema,
                                                           const AnsiString& foreignTable) {
  const bool useSchemas = HasMinimumServerVersion(7, 3);
  AnsiString sql = useSchemas ? "SELECT DISTINCT n1.nspname as pnspname,n2.nspname as fnspname,"
                              : "SELECT DISTINCT NULL::text as pnspname, NULL::text as fnspname,";
  sql += " c1.relname as prelname, c2.relname as frelname, t1.tgconstrname, a.attnum as keyseq, ic.relname as "
         "fkeyname, t1.tgdeferrable, t1.tginitdeferred, t1.tgnargs,t1.tgargs, p1.proname as updaterule, "
         "p2.proname as deleterule";
  sql += useSchemas ? " FROM pg_catalog.pg_namespace n1 JOIN pg_catalog.pg_class c1 ON (c1.relnamespace = n1.oid) JOIN pg_c"
    "atalog.pg_index i ON (c1.oid=i.indrelid) JOIN pg_catalog.pg_class ic ON (i.indexrelid=ic.oid) JOIN p"
    "g_catalog.pg_attribute a ON (ic.oid=a.attrelid), pg_catalog.pg_namespace n2 JOIN pg_catalog.pg_class"
    " c2 ON (c2.relnamespace=n2.oid), pg_catalog.pg_trigger t1 JOIN pg_catalog.pg_proc p1 ON (t1.tgfoid=p"
    "1.oid), pg_catalog.pg_trigger t2 JOIN pg_catalog.pg_proc p2 ON (t2.tgfoid=p2.oid)"
                    : " FROM pg_class c1 JOIN pg_index i ON (c1.oid=i.indrelid) JOIN pg_class ic ON "
                      "(i.indexrelid=ic.oid) JOIN pg_attribute a ON (ic.oid=a.attrelid), pg_class c2, pg_trigger t1 "
                      "JOIN pg_proc p1 ON (t1.tgfoid=p1.oid), pg_trigger t2 JOIN pg_proc p2 ON (t2.tgfoid=p2.oid)";
  sql += " WHERE (t1.tgrelid=c1.oid AND t1.tgisconstraint AND t1.tgconstrrelid=c2.oid AND p1.proname LIKE " +
         QuoteMetadataString("RI\\_FKey\\_%\\_upd") +
         ") AND (t2.tgrelid=c1.oid AND t2.tgisconstraint AND t2.tgconstrrelid=c2.oid  AND p2.proname LIKE " +
         QuoteMetadataString("RI\\_FKey\\_%\\_del") + ") AND i.indisprimary";
  if (useSchemas && !primarySchema.empty()) sql += " AND n1.nspname = " + QuoteMetadataString(primarySchema);
  if (useSchemas && !foreignSchema.empty()) sql += " AND n2.nspname = " + QuoteMetadataString(foreignSchema);
  if (!primaryTable.empty()) sql += " AND c1.relname=" + QuoteMetadataString(primaryTable);
  if (!foreignTable.empty()) sql += " AND c2.relname=" + QuoteMetadataString(foreignTable);
  sql += " ORDER BY ";
  if (!primaryTable.empty())
    sql += useSchemas ? "fnspname, frelname" : "frelname";
  else
    sql += useSchemas ? "pnspname, prelname" : "prelname";
  sql += ", keyseq";

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(CrossReferenceColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    using namespace catalogue_column::keys;
    result->MoveToInsertRow();
    const auto copy = [&](int column, int from) {
      const AnsiString value = query->GetString(from);
      if (!query->WasNull()) result->UpdateString(column, value);
    };
    copy(kPkSchem, 1);
    copy(kFkSchem, 2);
    copy(kPkTable, 3);
    copy(kFkTable, 4);
    const AnsiString updateRule = query->GetString(12), deleteRule = query->GetString(13);
    if (!updateRule.empty()) result->UpdateInt(kUpdateRule, TriggerRule(updateRule));
    if (!deleteRule.empty()) result->UpdateInt(kDeleteRule, TriggerRule(deleteRule));
    // The trigger's arguments: name, tables, match type, then the column
    // pairs, each ended by "\000" in the text.
    const AnsiString arguments = query->GetString(11);
    TStringList pieces;
    PutSplitStringEx(&pieces, arguments, "\\000");
    const int keySeq = query->GetInt(6);
    const int k = (keySeq - 1) * 2 + 4;
    if (k >= 0 && k + 1 < pieces.Count()) {
      result->UpdateString(kFkColumn, pieces[k]);
      result->UpdateString(kPkColumn, pieces[k + 1]);
    }
    result->UpdateInt(kKeySeq, keySeq);
    const AnsiString name = pieces.Count() > 0 ? pieces[0] : AnsiString();
    result->UpdateString(kFkName, name == "<unnamed>" ? arguments : name);
    copy(kPkName, 7);
    int deferrability = kNotDeferrable;
    if (query->GetBoolean(8)) deferrability = query->GetBoolean(9) ? kInitiallyDeferred : kInitiallyImmediate;
    result->UpdateInt(kDeferrability, deferrability);
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetIndexInfo(const AnsiString&, const AnsiString& schema,
                                                                    const AnsiString& table, bool unique, bool) {
  const bool useSchemas = HasMinimumServerVersion(7, 3);
  AnsiString sql = useSchemas ? "SELECT NULL AS TABLE_CAT, n.nspname AS TABLE_SCHEM,"
                              : "SELECT NULL AS TABLE_CAT, NULL AS TABLE_SCHEM,";
  sql += " ct.relname AS TABLE_NAME, NOT i.indisunique AS NON_UNIQUE, NULL AS INDEX_QUALIFIER, ci.relname AS "
         "INDEX_NAME, CASE i.indisclustered WHEN true THEN 1 ELSE CASE am.amname WHEN 'hash' THEN 2 ELSE 3 END END "
         "AS TYPE, a.attnum AS ORDINAL_POSITION, a.attname AS COLUMN_NAME, NULL AS ASC_OR_DESC, ci.reltuples AS "
         "CARDINALITY, ci.relpages AS PAGES, NULL AS FILTER_CONDITION";
  sql += useSchemas ? " FROM pg_catalog.pg_namespace n, pg_catalog.pg_class ct, pg_catalog.pg_class ci, pg_catalog.pg_index"
    " i, pg_catalog.pg_attribute a, pg_catalog.pg_am am"
                    : " FROM pg_class ct, pg_class ci, pg_index i, pg_attribute a, pg_am am";
  sql += " WHERE ct.oid=i.indrelid AND ci.oid=i.indexrelid AND a.attrelid=ci.oid AND ci.relam=am.oid";
  if (useSchemas) {
    sql += " AND n.oid = ct.relnamespace";
    if (!schema.empty()) sql += " AND n.nspname = " + QuoteMetadataString(schema);
  }
  sql += " AND ct.relname = " + QuoteMetadataString(table);
  if (unique) sql += " AND i.indisunique";
  sql += " ORDER BY NON_UNIQUE, TYPE, INDEX_NAME, ORDINAL_POSITION";
  return CopyQuery(sql, IndexInfoColumnDefs);
}

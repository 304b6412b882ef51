// The catalogue builders of the Interbase/Firebird metadata: each runs one
// query on the system tables (RDB$RELATIONS, RDB$RELATION_FIELDS,
// RDB$PROCEDURES ...) and copies its rows into the fixed layout of its
// question. Firebird has neither catalogs nor schemas: those columns stay
// null. Names in the system tables are blank-padded; the result area trims
// them.

#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/drivers/interbase/interbase_metadata.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

namespace columns {
constexpr int kProcName = 3, kProcRemarks = 7, kProcType = 8;
constexpr int kPcName = 4, kPcType = 5, kPcDataType = 6, kPcTypeName = 7, kPcPrecision = 8, kPcScale = 10,
              kPcRadix = 11, kPcNullable = 12, kPcRemarks = 13;
constexpr int kTable = 3, kTableType = 4, kTableRemarks = 5;
constexpr int kColName = 4, kDataType = 5, kTypeName = 6, kSize = 7, kDecimalDigits = 9, kRadix = 10,
              kNullable = 11, kRemarks = 12, kDefault = 13, kCharOctetLength = 16, kPosition = 17, kIsNullable = 18,
              kCaseSensitive = 20;
constexpr int kPrivColumn = 4, kPrivGrantor = 5, kPrivGrantee = 6, kPrivPrivilege = 7, kPrivGrantable = 8;
constexpr int kTabPrivGrantor = 4, kTabPrivGrantee = 5, kTabPrivPrivilege = 6, kTabPrivGrantable = 7;
constexpr int kVerName = 2, kVerTypeName = 4, kVerPseudo = 8;
constexpr int kPkTable = 3, kPkColumn = 4, kFkTable = 7, kFkColumn = 8, kKeySeq = 9, kUpdateRule = 10,
              kDeleteRule = 11, kFkName = 12, kPkName = 13;
constexpr int kTiName = 1, kTiDataType = 2, kTiPrecision = 3, kTiNullable = 7, kTiCaseSensitive = 8,
              kTiSearchable = 9, kTiFixedPrecScale = 11, kTiAutoIncrement = 12, kTiRadix = 18;
constexpr int kIxNonUnique = 4, kIxName = 6, kIxType = 7, kIxPosition = 8, kIxColumn = 9, kIxPages = 12;
constexpr int kSeqName = 3;
}  // namespace columns

// Field type codes of RDB$FIELDS.
constexpr int kShort = 7, kLong = 8, kDate = 12, kTime = 13, kInt64 = 16, kTimestamp = 35, kText = 14,
              kVarying = 37;

// Conditions joined by " AND ", empty ones left out.
AnsiString JoinConditions(const AnsiString& first, const AnsiString& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  return first + " AND " + second;
}

AnsiString Where(const AnsiString& condition) { return condition.empty() ? condition : " WHERE " + condition; }

AnsiString AndAfter(const AnsiString& condition) { return condition.empty() ? condition : condition + " AND "; }

// A 0-based number of the system tables as the 1-based one callers expect.
int PlusOne(int value) {
  if (value == std::numeric_limits<int>::max()) throw EIntOverflow(SIntOverflow);
  return value + 1;
}

void UpdateRule(IZVirtualResultSet& result, int column, const AnsiString& rule) {
  static const char* const kRules[] = {"CASCADE", "RESTRICT", "SET NULL", "NO ACTION", "SET DEFAULT"};
  for (int i = 0; i < 5; ++i)
    if (rule == kRules[i]) result.UpdateInt(column, i);
}

}  // namespace

using namespace columns;

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetProcedures(const AnsiString&, const AnsiString&,
                                                                     const AnsiString& procedureNamePattern) {
  const AnsiString sql =
      "SELECT RDB$PROCEDURE_NAME, RDB$PROCEDURE_OUTPUTS, RDB$DESCRIPTION FROM RDB$PROCEDURES" +
      Where(ConstructNameCondition(procedureNamePattern, "RDB$PROCEDURE_NAME"));
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ProceduresColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kProcName, query->GetString(1));
    result->UpdateString(kProcRemarks, query->GetString(3));
    // Servers from Firebird 3 count no outputs as 0 where older ones leave null.
    result->UpdateInt(kProcType, query->IsNull(2) || query->GetInt(2) == 0 ? 1 : 2);
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetProcedureColumns(const AnsiString&, const AnsiString&,
                                                                           const AnsiString& procedureNamePattern,
                                                                           const AnsiString& columnNamePattern) {
  const AnsiString condition =
      Where(JoinConditions(ConstructNameCondition(procedureNamePattern, "P.RDB$PROCEDURE_NAME"),
                           ConstructNameCondition(columnNamePattern, "PP.RDB$PARAMETER_NAME")));
  AnsiString sql =
      IsInterbase5()
          ? " SELECT P.RDB$PROCEDURE_NAME, PP.RDB$PARAMETER_NAME, PP.RDB$PARAMETER_TYPE, F.RDB$FIELD_TYPE, "
            "F.RDB$FIELD_SUB_TYPE, F.RDB$FIELD_SCALE, F.RDB$FIELD_LENGTH, F.RDB$NULL_FLAG, PP.RDB$DESCRIPTION, "
            "F.RDB$FIELD_SCALE as RDB$FIELD_PRECISION, F.RDB$NULL_FLAG FROM RDB$PROCEDURES P JOIN "
            "RDB$PROCEDURE_PARAMETERS PP ON P.RDB$PROCEDURE_NAME=PP.RDB$PROCEDURE_NAME JOIN RDB$FIELDS F ON "
            "PP.RDB$FIELD_SOURCE=F.RDB$FIELD_NAME "
          : " SELECT P.RDB$PROCEDURE_NAME, PP.RDB$PARAMETER_NAME, PP.RDB$PARAMETER_TYPE, F.RDB$FIELD_TYPE, "
            "F.RDB$FIELD_SUB_TYPE, F.RDB$FIELD_SCALE, F.RDB$FIELD_LENGTH, F.RDB$NULL_FLAG, PP.RDB$DESCRIPTION, "
            "F.RDB$FIELD_PRECISION, F.RDB$NULL_FLAG  FROM RDB$PROCEDURES P JOIN RDB$PROCEDURE_PARAMETERS PP ON "
            "P.RDB$PROCEDURE_NAME = PP.RDB$PROCEDURE_NAME  JOIN RDB$FIELDS F ON PP.RDB$FIELD_SOURCE = "
            "F.RDB$FIELD_NAME ";
  sql += condition + " ORDER BY  P.RDB$PROCEDURE_NAME, PP.RDB$PARAMETER_TYPE desc, PP.RDB$PARAMETER_NUMBER";

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ProcedureColumnsColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  const int procedureName = query.Column({"RDB$PROCEDURE_NAME"}), parameterName = query.Column({"RDB$PARAMETER_NAME"}),
            parameterType = query.Column({"RDB$PARAMETER_TYPE"}), fieldType = query.Column({"RDB$FIELD_TYPE"}),
            subType = query.Column({"RDB$FIELD_SUB_TYPE"}), precision = query.Column({"RDB$FIELD_PRECISION"}),
            scale = query.Column({"RDB$FIELD_SCALE"}), nullFlag = query.Column({"RDB$NULL_FLAG"}),
            description = query.Column({"RDB$DESCRIPTION"});
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kProcName, query->GetString(procedureName));
    result->UpdateString(kPcName, query->GetString(parameterName));
    const int direction = query->GetInt(parameterType);
    result->UpdateInt(kPcType, direction == 0 ? 1 : direction == 1 ? 4 : 0);
    const int type = query->GetInt(fieldType);
    result->UpdateInt(kPcDataType, ConvertInterbase6ToSqlType(type, query->GetInt(subType)));
    result->UpdateString(kPcTypeName, IntToStr(type));
    if (!query->IsNull(precision)) result->UpdateInt(kPcPrecision, query->GetInt(precision));
    result->UpdateInt(kPcScale, query->GetInt(scale));
    result->UpdateInt(kPcRadix, 10);
    result->UpdateInt(kPcNullable, query->GetInt(nullFlag) != 0 ? 0 : 1);
    UpdateOptionalString(*result, kPcRemarks, query->GetString(description));
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetTables(const AnsiString&, const AnsiString&,
                                                                 const AnsiString& tableNamePattern,
                                                                 const TZStringDynArray& types) {
  const AnsiString sql =
      "SELECT DISTINCT a.RDB$RELATION_NAME, a.RDB$SYSTEM_FLAG,  a.RDB$VIEW_SOURCE, a.RDB$DESCRIPTION FROM "
      "RDB$RELATIONS a" +
      Where(ConstructNameCondition(tableNamePattern, "a.RDB$RELATION_NAME"));
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString type = query->GetInt(2) != 0 ? "SYSTEM TABLE" : query->IsNull(3) ? "TABLE" : "VIEW";
    int copies = types.empty() ? 1 : 0;
    for (const AnsiString& wanted : types) copies += wanted == type;
    for (int i = 0; i < copies; ++i) {
      result->MoveToInsertRow();
      result->UpdateString(kTable, query->GetString(1));
      result->UpdateString(kTableType, type);
      UpdateOptionalString(*result, kTableRemarks, query->GetString(4).substr(0, 255));
      result->InsertRow();
    }
  }
  return result;
}

namespace {

// The default clause of a column as a caller would write it again: without
// "DEFAULT", and 'NOW' of a date or time type as the matching CURRENT_...
AnsiString ColumnDefault(AnsiString text, int fieldType) {
  if (UpperCase(Trim(text)).rfind("DEFAULT", 0) == 0) {
    const std::size_t at = UpperCase(text).find("DEFAULT ");
    if (at != AnsiString::npos) text.erase(at, 8);
    text = Trim(text);
  }
  const AnsiString upper = UpperCase(text);
  if (upper == "'NOW'" || upper == "\"NOW\"") {
    if (fieldType == kDate) return "CURRENT_DATE";
    if (fieldType == kTime) return "CURRENT_TIME";
    if (fieldType == kTimestamp) return "CURRENT_TIMESTAMP";
  }
  return text;
}

AnsiString ColumnTypeName(int fieldType, int subType, const AnsiString& catalogueName) {
  switch (fieldType) {
    case kShort: return "SMALLINT";
    case kLong: return "INTEGER";
    case kVarying: return "VARCHAR";
    case kInt64:
      return subType == 0 ? catalogueName : subType == 1 ? "NUMERIC" : subType == 2 ? "DECIMAL" : AnsiString();
    default: return catalogueName;
  }
}

}  // namespace

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetColumns(const AnsiString&, const AnsiString&,
                                                                  const AnsiString& tableNamePattern,
                                                                  const AnsiString& columnNamePattern) {
  const AnsiString condition = Where(JoinConditions(ConstructNameCondition(tableNamePattern, "a.RDB$RELATION_NAME"),
                                                    ConstructNameCondition(columnNamePattern, "a.RDB$FIELD_NAME")));
  AnsiString sql =
      IsInterbase5()
          ? "SELECT a.RDB$RELATION_NAME, a.RDB$FIELD_NAME, a.RDB$FIELD_POSITION, a.RDB$NULL_FLAG, b. "
            "RDB$FIELD_LENGTH, b.RDB$FIELD_SCALE, c.RDB$TYPE_NAME, b.RDB$FIELD_TYPE, b.RDB$FIELD_SUB_TYPE, "
            "b.RDB$DESCRIPTION, b.RDB$CHARACTER_LENGTH, b.RDB$FIELD_SCALE as RDB$FIELD_PRECISION, "
            "a.RDB$DEFAULT_SOURCE, b.RDB$DEFAULT_SOURCE as RDB$DEFAULT_SOURCE_DOMAIN, b.RDB$COMPUTED_SOURCE as "
            "RDB$COMPUTED_SOURCE FROM RDB$RELATION_FIELDS a JOIN RDB$FIELDS b ON (b.RDB$FIELD_NAME = "
            "a.RDB$FIELD_SOURCE) LEFT JOIN RDB$TYPES c ON b.RDB$FIELD_TYPE = c.RDB$TYPE and c.RDB$FIELD_NAME = "
            "'RDB$FIELD_TYPE'"
          : " SELECT a.RDB$RELATION_NAME, a.RDB$FIELD_NAME, a.RDB$FIELD_POSITION, a.RDB$NULL_FLAG, "
            "a.RDB$DEFAULT_VALUE, b. RDB$FIELD_LENGTH, b.RDB$FIELD_SCALE, c.RDB$TYPE_NAME, b.RDB$FIELD_TYPE, "
            "b.RDB$FIELD_SUB_TYPE, b.RDB$DESCRIPTION, b.RDB$CHARACTER_LENGTH, b.RDB$FIELD_PRECISION, "
            "a.RDB$DEFAULT_SOURCE, b.RDB$DEFAULT_SOURCE as RDB$DEFAULT_SOURCE_DOMAIN,b.RDB$COMPUTED_SOURCE as "
            "RDB$COMPUTED_SOURCE FROM RDB$RELATION_FIELDS a JOIN RDB$FIELDS b ON (b.RDB$FIELD_NAME = "
            "a.RDB$FIELD_SOURCE) LEFT JOIN RDB$TYPES c ON (b.RDB$FIELD_TYPE = c.RDB$TYPE and c.RDB$FIELD_NAME = "
            "'RDB$FIELD_TYPE')";
  sql += condition + " ORDER BY a.RDB$RELATION_NAME, a.RDB$FIELD_POSITION";

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  const int fieldTypeColumn = query.Column({"RDB$FIELD_TYPE"}), subTypeColumn = query.Column({"RDB$FIELD_SUB_TYPE"}),
            scaleColumn = query.Column({"RDB$FIELD_SCALE"}), nameColumn = query.Column({"RDB$FIELD_NAME"}),
            defaultColumn = query.Column({"RDB$DEFAULT_SOURCE"}),
            domainDefaultColumn = query.Column({"RDB$DEFAULT_SOURCE_DOMAIN"}),
            relationColumn = query.Column({"RDB$RELATION_NAME"}), typeNameColumn = query.Column({"RDB$TYPE_NAME"}),
            precisionColumn = query.Column({"RDB$FIELD_PRECISION"}), lengthColumn = query.Column({"RDB$FIELD_LENGTH"}),
            nullFlagColumn = query.Column({"RDB$NULL_FLAG"}), descriptionColumn = query.Column({"RDB$DESCRIPTION"}),
            positionColumn = query.Column({"RDB$FIELD_POSITION"}),
            computedColumn = query.Column({"RDB$COMPUTED_SOURCE"});
  while (query.Next()) {
    const int fieldType = query->GetInt(fieldTypeColumn);
    int subType = query->GetInt(subTypeColumn);
    const int scale = query->GetInt(scaleColumn);
    const AnsiString fieldName = query->GetString(nameColumn);
    // An exact numeric with decimals and a default clause reads as NUMERIC.
    if (!query->IsNull(14) && fieldType == kInt64 && scale < 0) subType = 1;
    AnsiString defaultText = query->GetString(defaultColumn);
    if (defaultText.empty()) defaultText = query->GetString(domainDefaultColumn);

    result->MoveToInsertRow();
    result->UpdateString(kTable, query->GetString(relationColumn));
    result->UpdateString(kColName, fieldName);
    result->UpdateInt(kDataType, ConvertInterbase6ToSqlType(fieldType, subType));
    UpdateOptionalString(*result, kTypeName, ColumnTypeName(fieldType, subType, query->GetString(typeNameColumn)));
    result->UpdateInt(kSize, fieldType == kShort || fieldType == kLong ? 0
                             : fieldType == kInt64                      ? query->GetInt(precisionColumn)
                                                                        : query->GetInt(lengthColumn));
    result->UpdateInt(kDecimalDigits, scale < 0 ? -scale : 0);
    result->UpdateInt(kRadix, 10);
    const bool notNull = query->GetInt(nullFlagColumn) != 0;
    result->UpdateInt(kNullable, notNull ? 0 : 1);
    UpdateOptionalString(*result, kRemarks, query->GetString(descriptionColumn).substr(0, 255));
    UpdateOptionalString(*result, kDefault, ColumnDefault(defaultText, fieldType));
    // Texts hold as many bytes as the catalogue gives them.
    if (fieldType == kText || fieldType == kVarying) result->UpdateInt(kCharOctetLength, query->GetInt(lengthColumn));
    result->UpdateInt(kPosition, PlusOne(query->GetInt(positionColumn)));
    result->UpdateString(kIsNullable, query->IsNull(nullFlagColumn) ? "YES" : "NO");
    result->UpdateBoolean(kCaseSensitive, fieldName != UpperCase(fieldName));
    // A computed column is read-only.
    UpdateColumnAccess(*result, query->IsNull(computedColumn));
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString&, const AnsiString&,
                                                                           const AnsiString& table,
                                                                           const AnsiString& columnNamePattern) {
  const AnsiString tableCondition = ConstructNameCondition(AddEscapeCharToWildcards(table), "a.RDB$RELATION_NAME");
  const AnsiString sql =
      "SELECT a.RDB$USER, a.RDB$GRANTOR, a.RDB$PRIVILEGE, a.RDB$GRANT_OPTION, a.RDB$RELATION_NAME, "
      "a.RDB$FIELD_NAME  FROM RDB$USER_PRIVILEGES a, RDB$TYPES b  WHERE a.RDB$OBJECT_TYPE = b.RDB$TYPE AND " +
      AndAfter(tableCondition) + AndAfter(ConstructNameCondition(columnNamePattern, "a.RDB$FIELD_NAME")) +
      " b.RDB$TYPE_NAME IN ('RELATION', 'VIEW', 'COMPUTED_FIELD', 'FIELD' ) AND "
      "b.RDB$FIELD_NAME='RDB$OBJECT_TYPE' ORDER BY a.RDB$FIELD_NAME, a.RDB$PRIVILEGE  ";
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnPrivilegesColumnDefs);
  auto add = [&](const AnsiString& tableName, const AnsiString& column, const AnsiString& grantor,
                 const AnsiString& grantee, const AnsiString& privilege) {
    result->MoveToInsertRow();
    result->UpdateString(kTable, tableName);
    result->UpdateString(kPrivColumn, column);
    result->UpdateString(kPrivGrantor, grantor);
    result->UpdateString(kPrivGrantee, grantee);
    result->UpdateString(kPrivPrivilege, privilege);
    result->UpdateString(kPrivGrantable, grantor == grantee ? "YES" : "NO");
    result->InsertRow();
  };
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString grantee = query->GetString(1), grantor = query->GetString(2), tableName = query->GetString(5);
    const AnsiString privilege = GetPrivilege(query->GetString(3)), field = query->GetString(6);
    if (!field.empty()) {
      add(tableName, field, grantor, grantee, privilege);
      continue;
    }
    // A grant on the whole table covers each of its columns.
    const AnsiString fieldsSql =
        "SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS WHERE " +
        AndAfter(ConstructNameCondition(AddEscapeCharToWildcards(tableName), "RDB$RELATION_NAME")) +
        AndAfter(ConstructNameCondition(columnNamePattern, "RDB$FIELD_NAME")) + "1 = 1 ORDER BY RDB$FIELD_NAME";
    TZCatalogueQuery fields(*GetConnection(), fieldsSql);
    while (fields.Next()) add(tableName, fields->GetString(1), grantor, grantee, privilege);
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetTablePrivileges(const AnsiString&, const AnsiString&,
                                                                          const AnsiString& tableNamePattern) {
  const AnsiString condition = ConstructNameCondition(tableNamePattern, "a.RDB$RELATION_NAME");
  const AnsiString sql =
      "SELECT a.RDB$USER, a.RDB$GRANTOR, a.RDB$PRIVILEGE, a.RDB$GRANT_OPTION, a.RDB$RELATION_NAME FROM "
      "RDB$USER_PRIVILEGES a, RDB$TYPES b WHERE a.RDB$OBJECT_TYPE = b.RDB$TYPE AND  b.RDB$TYPE_NAME IN "
      "('RELATION', 'VIEW', 'COMPUTED_FIELD', 'FIELD' ) AND a.RDB$FIELD_NAME IS NULL " +
      (condition.empty() ? condition : " AND " + condition) + " ORDER BY a.RDB$RELATION_NAME, a.RDB$PRIVILEGE";
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablePrivilegesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString grantee = query->GetString(1), grantor = query->GetString(2);
    result->MoveToInsertRow();
    result->UpdateString(kTable, query->GetString(5));
    result->UpdateString(kTabPrivGrantor, grantor);
    result->UpdateString(kTabPrivGrantee, grantee);
    result->UpdateString(kTabPrivPrivilege, GetPrivilege(query->GetString(3)));
    result->UpdateString(kTabPrivGrantable, grantor == grantee ? "YES" : "NO");
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetVersionColumns(const AnsiString&, const AnsiString&,
                                                                         const AnsiString&) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(VersionColumnsColumnDefs);
  result->MoveToInsertRow();
  result->UpdateString(kVerName, "ctid");
  result->UpdateString(kVerTypeName, "tid");
  // A pseudo column: not a column of the table.
  result->UpdateInt(kVerPseudo, 2);
  result->InsertRow();
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString&, const AnsiString&,
                                                                      const AnsiString& table) {
  const AnsiString condition = ConstructNameCondition(AddEscapeCharToWildcards(table), "a.RDB$RELATION_NAME");
  const AnsiString sql =
      " SELECT null as TABLE_CAT, null as TABLE_SCHEM, a.RDB$RELATION_NAME as TABLE_NAME, b.RDB$FIELD_NAME as "
      "COLUMN_NAME, b.RDB$FIELD_POSITION+1 as KEY_SEQ, a.RDB$INDEX_NAME as PK_NAME FROM RDB$RELATION_CONSTRAINTS a "
      "JOIN RDB$INDEX_SEGMENTS b ON (a.RDB$INDEX_NAME = b.RDB$INDEX_NAME) WHERE  RDB$CONSTRAINT_TYPE = 'PRIMARY "
      "KEY'" +
      (condition.empty() ? condition : " AND " + condition) + " ORDER BY a.RDB$RELATION_NAME, b.RDB$FIELD_NAME";
  TZCatalogueQuery query(*GetConnection(), sql);
  return CopyToVirtualResultSet(query.ResultSet(), ConstructVirtualResultSet(PrimaryKeysColumnDefs));
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::Keys(const AnsiString& sql, const TZMetadataColumnDefs& layout) {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(layout);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kPkTable, query->GetString(1));
    result->UpdateString(kPkColumn, query->GetString(2));
    result->UpdateString(kFkTable, query->GetString(3));
    result->UpdateString(kFkColumn, query->GetString(4));
    result->UpdateInt(kKeySeq, PlusOne(query->GetInt(5)));
    UpdateRule(*result, kUpdateRule, query->GetString(6));
    UpdateRule(*result, kDeleteRule, query->GetString(7));
    result->UpdateString(kFkName, query->GetString(8));
    result->UpdateString(kPkName, query->GetString(9));
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetImportedKeys(const AnsiString&, const AnsiString&,
                                                                       const AnsiString& table) {
  return Keys(
      "SELECT RELC_PRIM.RDB$RELATION_NAME,  IS_PRIM.RDB$FIELD_NAME,  RELC_FOR.RDB$RELATION_NAME,  "
      "IS_FOR.RDB$FIELD_NAME,  IS_FOR.RDB$FIELD_POSITION,  REFC_PRIM.RDB$UPDATE_RULE,  REFC_PRIM.RDB$DELETE_RULE,  "
      "RELC_FOR.RDB$CONSTRAINT_NAME,  RELC_PRIM.RDB$CONSTRAINT_NAME  FROM RDB$RELATION_CONSTRAINTS RELC_FOR, "
      "RDB$REF_CONSTRAINTS REFC_FOR,  RDB$RELATION_CONSTRAINTS RELC_PRIM, RDB$REF_CONSTRAINTS REFC_PRIM,  "
      "RDB$INDEX_SEGMENTS IS_PRIM,  RDB$INDEX_SEGMENTS IS_FOR  WHERE RELC_FOR.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' "
      "AND " +
          AndAfter(ConstructNameCondition(AddEscapeCharToWildcards(table), "RELC_FOR.RDB$RELATION_NAME")) +
          " RELC_FOR.RDB$CONSTRAINT_NAME=REFC_FOR.RDB$CONSTRAINT_NAME and REFC_FOR.RDB$CONST_NAME_UQ = "
          "RELC_PRIM.RDB$CONSTRAINT_NAME and  RELC_PRIM.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' and  "
          "RELC_PRIM.RDB$INDEX_NAME = IS_PRIM.RDB$INDEX_NAME and  IS_FOR.RDB$INDEX_NAME = RELC_FOR.RDB$INDEX_NAME   "
          "and  IS_PRIM.RDB$FIELD_POSITION = IS_FOR.RDB$FIELD_POSITION  and  REFC_PRIM.RDB$CONSTRAINT_NAME = "
          "RELC_FOR.RDB$CONSTRAINT_NAME  ORDER BY RELC_PRIM.RDB$RELATION_NAME, IS_FOR.RDB$FIELD_POSITION ",
      ImportedKeysColumnDefs);
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetExportedKeys(const AnsiString&, const AnsiString&,
                                                                       const AnsiString& table) {
  return Keys(
      " SELECT RC_PRIM.RDB$RELATION_NAME,  IS_PRIM.RDB$FIELD_NAME,  RC_FOR.RDB$RELATION_NAME,  "
      "IS_FOR.RDB$FIELD_NAME,  IS_FOR.RDB$FIELD_POSITION,  REFC_PRIM.RDB$UPDATE_RULE,  REFC_PRIM.RDB$DELETE_RULE,  "
      "RC_FOR.RDB$CONSTRAINT_NAME,  RC_PRIM.RDB$CONSTRAINT_NAME  FROM RDB$RELATION_CONSTRAINTS RC_FOR, "
      "RDB$REF_CONSTRAINTS REFC_FOR,  RDB$RELATION_CONSTRAINTS RC_PRIM, RDB$REF_CONSTRAINTS REFC_PRIM,  "
      "RDB$INDEX_SEGMENTS IS_PRIM, RDB$INDEX_SEGMENTS IS_FOR  WHERE RC_PRIM.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' and " +
          AndAfter(ConstructNameCondition(AddEscapeCharToWildcards(table), "RC_PRIM.RDB$RELATION_NAME")) +
          " REFC_FOR.RDB$CONST_NAME_UQ = RC_PRIM.RDB$CONSTRAINT_NAME and RC_FOR.RDB$CONSTRAINT_NAME = "
          "REFC_FOR.RDB$CONSTRAINT_NAME and  RC_FOR.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' and  RC_PRIM.RDB$INDEX_NAME = "
          "IS_PRIM.RDB$INDEX_NAME and  IS_FOR.RDB$INDEX_NAME = RC_FOR.RDB$INDEX_NAME   and  "
          "IS_PRIM.RDB$FIELD_POSITION = IS_FOR.RDB$FIELD_POSITION  and  REFC_PRIM.RDB$CONSTRAINT_NAME = "
          "RC_FOR.RDB$CONSTRAINT_NAME  ORDER BY RC_FOR.RDB$RELATION_NAME, IS_FOR.RDB$FIELD_POSITION ",
      ExportedKeysColumnDefs);
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetTypeInfo() {
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TypeInfoColumnDefs);
  TZCatalogueQuery query(*GetConnection(),
                         " SELECT RDB$TYPE, RDB$TYPE_NAME FROM RDB$TYPES  WHERE RDB$FIELD_NAME = 'RDB$FIELD_TYPE' ");
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kTiName, query->GetString(2));
    result->UpdateInt(kTiDataType, ConvertInterbase6ToSqlType(query->GetInt(1), 0));
    result->UpdateInt(kTiPrecision, 9);
    result->UpdateInt(kTiNullable, 0);
    result->UpdateBoolean(kTiCaseSensitive, false);
    result->UpdateInt(kTiSearchable, 0);
    result->UpdateBoolean(kTiFixedPrecScale, false);
    result->UpdateBoolean(kTiAutoIncrement, false);
    result->UpdateInt(kTiRadix, 10);
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetIndexInfo(const AnsiString&, const AnsiString&,
                                                                    const AnsiString& table, bool unique, bool) {
  // The relation's own index and data pages only: both page types belong
  // to the relation.
  AnsiString sql =
      " SELECT I.RDB$RELATION_NAME, I.RDB$UNIQUE_FLAG, I.RDB$INDEX_NAME, ISGMT.RDB$FIELD_POSITION,\t"
      "ISGMT.RDB$FIELD_NAME, I.RDB$INDEX_TYPE, I.RDB$SEGMENT_COUNT, COUNT (DISTINCT P.RDB$PAGE_NUMBER)  FROM "
      "RDB$INDICES I JOIN RDB$INDEX_SEGMENTS ISGMT ON I.RDB$INDEX_NAME = ISGMT.RDB$INDEX_NAME JOIN RDB$RELATIONS R ON "
      "(R.RDB$RELATION_NAME = I.RDB$RELATION_NAME) JOIN RDB$PAGES P ON (P.RDB$RELATION_ID = R.RDB$RELATION_ID AND "
      "(P.RDB$PAGE_TYPE = 7 OR P.RDB$PAGE_TYPE = 6)) WHERE ";
  if (unique) sql += " I.RDB$UNIQUE_FLAG = 1 AND ";
  AnsiString quoted;
  for (char c : table) quoted += c == '\'' ? AnsiString("''") : AnsiString(1, c);
  sql += " I.RDB$RELATION_NAME = '" + quoted +
         "' GROUP BY  I.RDB$INDEX_NAME, I.RDB$RELATION_NAME, I.RDB$UNIQUE_FLAG,  ISGMT.RDB$FIELD_POSITION, "
         "ISGMT.RDB$FIELD_NAME, I.RDB$INDEX_TYPE,  I.RDB$SEGMENT_COUNT ORDER BY 2,3,4";
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(IndexInfoColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kTable, query->GetString(1));
    result->UpdateBoolean(kIxNonUnique, !query->GetBoolean(2));
    result->UpdateString(kIxName, query->GetString(3));
    result->UpdateInt(kIxType, 0);
    result->UpdateInt(kIxPosition, PlusOne(query->GetInt(4)));
    result->UpdateString(kIxColumn, query->GetString(5));
    result->UpdateInt(kIxPages, query->GetInt(8));
    result->InsertRow();
  }
  return result;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetSequences(const AnsiString&, const AnsiString&,
                                                                    const AnsiString& sequenceNamePattern) {
  const AnsiString condition = ConstructNameCondition(sequenceNamePattern, "RDB$GENERATOR_NAME");
  const AnsiString sql =
      " SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE (RDB$SYSTEM_FLAG IS NULL OR RDB$SYSTEM_FLAG = 0)" +
      (condition.empty() ? condition : " AND " + condition);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(SequencesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(kSeqName, query->GetString(1));
    result->InsertRow();
  }
  return result;
}

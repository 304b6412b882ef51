// The connection's schema rowsets: each of the twelve that OpenSchema answers
// is one ODBC catalogue call whose rows are copied into a recordset held in
// memory, with the columns named, typed and converted as OLE DB has them.
// Restrictions are exact names, so the wildcards of ODBC's pattern arguments
// are escaped.

#include <functional>
#include <optional>

#include "platform/rtl/text.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/ado/ado_columns.h"
#include "sql/drivers/ado/ado_messages.h"

using ado_odbc::Check;

namespace {

using Restriction = std::optional<std::string>;
using Restrictions = std::vector<Restriction>;

// The current row of an ODBC catalogue result, by 1-based column.
class CatalogueRow {
public:
  explicit CatalogueRow(Recordset15& rows) : fields_(rows.Fields()) {}
  Variant operator()(int column) const { return fields_->Item(column - 1)->Value(); }
  std::int64_t Integer(int column) const {
    const Variant value = (*this)(column);
    return VarIsNull(value) ? 0 : value.AsInteger();
  }
  // Null when the result has no column of the name.
  Variant ByName(const AnsiString& name) const {
    for (int i = 0; i < fields_->Count(); ++i)
      if (AnsiSameText(fields_->Item(i)->Name(), name)) return fields_->Item(i)->Value();
    return Null();
  }

private:
  Ref<Fields> fields_;
};

struct SchemaColumn {
  const char* name;
  int type;
  std::function<Variant(const CatalogueRow&)> value;
};

// Runs the catalogue call on statement given the (escaped) restrictions.
using CatalogueCall = std::function<SQLRETURN(SQLHSTMT, const Restrictions&)>;

struct SchemaDef {
  int number;
  std::uint8_t guidLowByte;
  std::uint32_t restrictionMask;
  // Restrictions given to ODBC as patterns, whose wildcards are escaped.
  std::uint32_t patternMask;
  CatalogueCall call;
  std::vector<SchemaColumn> columns;
  // Rows the schema leaves out (statistics rows of SQLStatistics).
  std::function<bool(const CatalogueRow&)> keep;
};

// An argument of a catalogue call: null for an unrestricted one.
SQLCHAR* Arg(const Restrictions& r, std::size_t i) {
  return i < r.size() && r[i] ? reinterpret_cast<SQLCHAR*>(const_cast<char*>(r[i]->c_str())) : nullptr;
}
SQLSMALLINT Len(const Restrictions& r, std::size_t i) { return i < r.size() && r[i] ? SQL_NTS : 0; }

SchemaColumn Copy(const char* name, int type, int column) {
  return {name, type, [column](const CatalogueRow& row) { return row(column); }};
}
SchemaColumn Text(const char* name, int column) { return Copy(name, adVarChar, column); }

// ODBC's "YES"/"NO" (or 1/0) as a Boolean.
Variant YesNo(const Variant& value) {
  if (VarIsNull(value)) return Null();
  if (VarType(value) == varString) return Variant(SameText(value.AsString(), "YES"));
  return Variant(value.AsInteger() != 0);
}

// An ODBC SQL type code as a DataTypeEnum code.
Variant AdoType(const Variant& value) {
  if (VarIsNull(value)) return Null();
  return Variant::OfInteger(varSmallint, ado_odbc::DataTypeOfOdbc(static_cast<SQLSMALLINT>(value.AsInteger()), false));
}

// Whether a column of SQLColumns gets its value from the data source: the
// driver says so in an AUTO_INCREMENT column of its own, or its default draws
// from a sequence.
bool IsAutoIncrementColumn(const CatalogueRow& row) {
  const Variant autoIncrement = YesNo(row.ByName("AUTO_INCREMENT"));
  if (!VarIsNull(autoIncrement) && autoIncrement.AsBoolean()) return true;
  const Variant defaultValue = row(13);
  return !VarIsNull(defaultValue) && SameText(defaultValue.AsString().substr(0, 8), "nextval(");
}

Variant ColumnFlags(const CatalogueRow& row) {
  unsigned flags = IsAutoIncrementColumn(row) ? 0u : unsigned(DBCOLUMNFLAGS_WRITE);
  if (ado_odbc::IsLongType(ado_odbc::DataTypeOfOdbc(static_cast<SQLSMALLINT>(row.Integer(5)), false)))
    flags |= DBCOLUMNFLAGS_ISLONG;
  return Variant(static_cast<int>(flags));
}

const std::vector<SchemaDef>& Schemas() {
  static const std::vector<SchemaDef> schemas = {
      {adSchemaCatalogs, 0x11, 0, 0,
       [](SQLHSTMT s, const Restrictions&) {
         return SQLTables(s, reinterpret_cast<SQLCHAR*>(const_cast<char*>(SQL_ALL_CATALOGS)), SQL_NTS,
                          reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS,
                          reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS, nullptr, 0);
       },
       {Text("CATALOG_NAME", 1), Text("DESCRIPTION", 5)}, nullptr},
      {adSchemaColumns, 0x14, 0xF, 0xE,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLColumns(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2), Arg(r, 3), Len(r, 3));
       },
       {Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2), Text("TABLE_NAME", 3), Text("COLUMN_NAME", 4),
        Copy("ORDINAL_POSITION", adInteger, 17),
        // A generated key has no default of its own, as an identity has none.
        {"COLUMN_DEFAULT", adVarChar,
         [](const CatalogueRow& row) { return IsAutoIncrementColumn(row) ? Null() : row(13); }},
        {"IS_NULLABLE", adBoolean, [](const CatalogueRow& row) { return Variant(row.Integer(11) != SQL_NO_NULLS); }},
        {"DATA_TYPE", adSmallInt, [](const CatalogueRow& row) { return AdoType(row(5)); }},
        Copy("CHARACTER_MAXIMUM_LENGTH", adInteger, 7), Copy("CHARACTER_OCTET_LENGTH", adInteger, 16),
        Copy("NUMERIC_PRECISION", adSmallInt, 7), Copy("NUMERIC_SCALE", adSmallInt, 9),
        Copy("DATETIME_PRECISION", adInteger, 15), Text("DESCRIPTION", 12),
        {"COLUMN_FLAGS", adUnsignedInt, ColumnFlags}},
       nullptr},
      {adSchemaIndexes, 0x1E, 0x13, 0,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLStatistics(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 4), Len(r, 4), SQL_INDEX_ALL,
                              SQL_QUICK);
       },
       {Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2), Text("TABLE_NAME", 3), Text("INDEX_CATALOG", 5),
        Text("INDEX_NAME", 6),
        {"UNIQUE", adBoolean, [](const CatalogueRow& row) { return Variant(row.Integer(4) == SQL_FALSE); }},
        Copy("TYPE", adSmallInt, 7), Copy("ORDINAL_POSITION", adInteger, 8), Text("COLUMN_NAME", 9),
        Copy("CARDINALITY", adInteger, 11), Copy("PAGES", adInteger, 12), Text("FILTER_CONDITION", 13)},
       [](const CatalogueRow& row) { return row.Integer(7) != SQL_TABLE_STAT; }},
      {adSchemaColumnPrivileges, 0x21, 0xF, 0x8,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLColumnPrivileges(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2), Arg(r, 3),
                                    Len(r, 3));
       },
       {Text("GRANTOR", 5), Text("GRANTEE", 6), Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2),
        Text("TABLE_NAME", 3), Text("COLUMN_NAME", 4), Text("PRIVILEGE_TYPE", 7),
        {"IS_GRANTABLE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(8)); }}},
       nullptr},
      {adSchemaTablePrivileges, 0x22, 0x7, 0x6,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLTablePrivileges(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2));
       },
       {Text("GRANTOR", 4), Text("GRANTEE", 5), Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2),
        Text("TABLE_NAME", 3), Text("PRIVILEGE_TYPE", 6),
        {"IS_GRANTABLE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(7)); }}},
       nullptr},
      {adSchemaProcedures, 0x24, 0x7, 0x6,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLProcedures(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2));
       },
       {Text("PROCEDURE_CATALOG", 1), Text("PROCEDURE_SCHEMA", 2), Text("PROCEDURE_NAME", 3),
        // OLE DB counts the kinds from 1: unknown, procedure, function.
        {"PROCEDURE_TYPE", adSmallInt,
         [](const CatalogueRow& row) { return Variant::OfInteger(varSmallint, row.Integer(8) + 1); }},
        Text("DESCRIPTION", 7)},
       nullptr},
      {adSchemaSchemata, 0x25, 0, 0,
       [](SQLHSTMT s, const Restrictions&) {
         return SQLTables(s, reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS,
                          reinterpret_cast<SQLCHAR*>(const_cast<char*>(SQL_ALL_SCHEMAS)), SQL_NTS,
                          reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), SQL_NTS, nullptr, 0);
       },
       {Text("CATALOG_NAME", 1), Text("SCHEMA_NAME", 2)}, nullptr},
      {adSchemaTables, 0x29, 0xF, 0x6,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLTables(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2), Arg(r, 3), Len(r, 3));
       },
       {Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2), Text("TABLE_NAME", 3), Text("TABLE_TYPE", 4),
        Text("DESCRIPTION", 5)},
       nullptr},
      {adSchemaProviderTypes, 0x2C, 0, 0, [](SQLHSTMT s, const Restrictions&) { return SQLGetTypeInfo(s, SQL_ALL_TYPES); },
       {Text("TYPE_NAME", 1), {"DATA_TYPE", adSmallInt, [](const CatalogueRow& row) { return AdoType(row(2)); }},
        Copy("COLUMN_SIZE", adInteger, 3), Text("LITERAL_PREFIX", 4), Text("LITERAL_SUFFIX", 5),
        Text("CREATE_PARAMS", 6),
        {"IS_NULLABLE", adBoolean, [](const CatalogueRow& row) { return Variant(row.Integer(7) == SQL_NULLABLE); }},
        {"CASE_SENSITIVE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(8)); }},
        // OLE DB counts the search kinds from 1.
        {"SEARCHABLE", adSmallInt,
         [](const CatalogueRow& row) { return Variant::OfInteger(varSmallint, row.Integer(9) + 1); }},
        {"UNSIGNED_ATTRIBUTE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(10)); }},
        {"FIXED_PREC_SCALE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(11)); }},
        {"AUTO_UNIQUE_VALUE", adBoolean, [](const CatalogueRow& row) { return YesNo(row(12)); }},
        Text("LOCAL_TYPE_NAME", 13), Copy("MINIMUM_SCALE", adSmallInt, 14), Copy("MAXIMUM_SCALE", adSmallInt, 15)},
       nullptr},
      {adSchemaProcedureParameters, 0xB8, 0xF, 0xE,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLProcedureColumns(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2), Arg(r, 3),
                                    Len(r, 3));
       },
       {Text("PROCEDURE_CATALOG", 1), Text("PROCEDURE_SCHEMA", 2), Text("PROCEDURE_NAME", 3),
        Text("PARAMETER_NAME", 4), Copy("ORDINAL_POSITION", adInteger, 18),
        // OLE DB: 1 input, 2 input and output, 3 output, 4 return value.
        {"PARAMETER_TYPE", adSmallInt,
         [](const CatalogueRow& row) {
           switch (row.Integer(5)) {
             case SQL_PARAM_INPUT: return Variant::OfInteger(varSmallint, 1);
             case SQL_PARAM_INPUT_OUTPUT: return Variant::OfInteger(varSmallint, 2);
             case SQL_PARAM_OUTPUT: return Variant::OfInteger(varSmallint, 3);
             case SQL_RETURN_VALUE: return Variant::OfInteger(varSmallint, 4);
             default: return Variant::OfInteger(varSmallint, 0);
           }
         }},
        Text("IS_NULLABLE", 19), {"DATA_TYPE", adSmallInt, [](const CatalogueRow& row) { return AdoType(row(6)); }},
        Text("TYPE_NAME", 7), Copy("CHARACTER_OCTET_LENGTH", adInteger, 17), Copy("NUMERIC_PRECISION", adSmallInt, 8),
        Copy("NUMERIC_SCALE", adSmallInt, 10), Text("DESCRIPTION", 13)},
       nullptr},
      {adSchemaForeignKeys, 0xC4, 0x3F, 0,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLForeignKeys(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2), Arg(r, 3),
                               Len(r, 3), Arg(r, 4), Len(r, 4), Arg(r, 5), Len(r, 5));
       },
       {Text("PK_TABLE_CATALOG", 1), Text("PK_TABLE_SCHEMA", 2), Text("PK_TABLE_NAME", 3), Text("PK_COLUMN_NAME", 4),
        Text("FK_TABLE_CATALOG", 5), Text("FK_TABLE_SCHEMA", 6), Text("FK_TABLE_NAME", 7), Text("FK_COLUMN_NAME", 8),
        Copy("ORDINAL", adInteger, 9), Copy("UPDATE_RULE", adSmallInt, 10), Copy("DELETE_RULE", adSmallInt, 11),
        Text("FK_NAME", 12), Text("PK_NAME", 13), Copy("DEFERRABILITY", adSmallInt, 14)},
       nullptr},
      {adSchemaPrimaryKeys, 0xC5, 0x7, 0,
       [](SQLHSTMT s, const Restrictions& r) {
         return SQLPrimaryKeys(s, Arg(r, 0), Len(r, 0), Arg(r, 1), Len(r, 1), Arg(r, 2), Len(r, 2));
       },
       {Text("TABLE_CATALOG", 1), Text("TABLE_SCHEMA", 2), Text("TABLE_NAME", 3), Text("COLUMN_NAME", 4),
        Copy("ORDINAL", adInteger, 5), Text("PK_NAME", 6)},
       nullptr},
  };
  return schemas;
}

// The text of element i of a restriction array; nothing for a missing,
// empty or null element.
Restriction RestrictionAt(const Variant& restrictions, int i) {
  if (!VarIsArray(restrictions) || i > VarArrayHighBound(restrictions, 1) - VarArrayLowBound(restrictions, 1))
    return std::nullopt;
  const Variant element = VarArrayGet(restrictions, VarArrayLowBound(restrictions, 1) + i);
  if (VarIsNull(element) || VarIsEmpty(element)) return std::nullopt;
  std::string text = ado_odbc::ToOdbc(element.AsString());
  if (text.empty()) return std::nullopt;
  return text;
}

std::string EscapePattern(const std::string& name, const std::string& escape) {
  if (escape.empty()) return name;
  std::string result;
  for (char c : name) {
    if (c == '_' || c == '%' || escape.find(c) == 0) result += escape;
    result += c;
  }
  return result;
}

}  // namespace

std::vector<AdoSchemaSupport> Connection15::GetSchemas() const {
  std::vector<AdoSchemaSupport> result;
  for (const SchemaDef& def : Schemas())
    result.push_back({{0xC8B52200u | def.guidLowByte, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}},
                      def.restrictionMask});
  return result;
}

Ref<Recordset15> Connection15::OpenSchema(int schema, const Variant& restrictions) {
  const SchemaDef* def = nullptr;
  for (const SchemaDef& candidate : Schemas())
    if (candidate.number == schema) def = &candidate;
  if (!def) throw EAdoError(kAdoStateNotSupported, kAdoSchemaNotSupported);
  std::shared_ptr<ado_odbc::Handle> statement = NewStatement();

  char escape[8] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc_->get(), SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof escape, &length)))
    escape[0] = '\0';
  Restrictions args;
  for (int i = 0; i < 6; ++i) {
    Restriction value = def->restrictionMask & (1u << i) ? RestrictionAt(restrictions, i) : std::nullopt;
    if (value && (def->patternMask & (1u << i))) value = EscapePattern(*value, escape);
    args.push_back(std::move(value));
  }
  Check(def->call(statement->get(), args), SQL_HANDLE_STMT, statement->get());
  auto source = MakeRef<Recordset15>();
  Variant affected;
  source->OpenResult(Ref<Connection15>(this), std::move(statement), affected);

  std::vector<AdoColumnSpec> columns;
  for (const SchemaColumn& column : def->columns) columns.push_back({column.name, column.type, 0, 0, Null(), false});
  std::vector<std::vector<Variant>> rows;
  if (source->State() == adStateOpen) {
    const CatalogueRow row(*source);
    for (; !source->Eof(); source->MoveNext()) {
      if (def->keep && !def->keep(row)) continue;
      std::vector<Variant> values;
      for (const SchemaColumn& column : def->columns) values.push_back(column.value(row));
      rows.push_back(std::move(values));
    }
  }
  auto result = MakeRef<Recordset15>();
  result->SetActiveConnection(Ref<Connection15>(this));
  result->OpenInMemory(columns, std::move(rows));
  return result;
}

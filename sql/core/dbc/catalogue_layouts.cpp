// The catalogue layouts (see catalogue_layouts.h), written as name and type
// pairs; the lengths follow from the types.

#include "sql/core/dbc/catalogue_layouts.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr int kTextColumnLength = 255;

TZMetadataColumnDefs Layout(std::initializer_list<std::pair<const char*, TZSQLType>> columns) {
  TZMetadataColumnDefs defs;
  for (const auto& [name, type] : columns) defs.push_back({name, type, type == stString ? kTextColumnLength : 0});
  return defs;
}

TZMetadataColumnDefs KeysLayout() {
  return Layout({{"PKTABLE_CAT", stString}, {"PKTABLE_SCHEM", stString}, {"PKTABLE_NAME", stString},
                 {"PKCOLUMN_NAME", stString}, {"FKTABLE_CAT", stString}, {"FKTABLE_SCHEM", stString},
                 {"FKTABLE_NAME", stString}, {"FKCOLUMN_NAME", stString}, {"KEY_SEQ", stShort},
                 {"UPDATE_RULE", stShort}, {"DELETE_RULE", stShort}, {"FK_NAME", stString}, {"PK_NAME", stString},
                 {"DEFERRABILITY", stShort}});
}

TZMetadataColumnDefs RowColumnsLayout() {
  return Layout({{"SCOPE", stShort}, {"COLUMN_NAME", stString}, {"DATA_TYPE", stShort}, {"TYPE_NAME", stString},
                 {"COLUMN_SIZE", stInteger}, {"BUFFER_LENGTH", stInteger}, {"DECIMAL_DIGITS", stShort},
                 {"PSEUDO_COLUMN", stShort}});
}

}  // namespace

const TZMetadataColumnDefs ProceduresColumnDefs =
    Layout({{"PROCEDURE_CAT", stString}, {"PROCEDURE_SCHEM", stString}, {"PROCEDURE_NAME", stString},
            {"RESERVED1", stString}, {"RESERVED2", stString}, {"RESERVED3", stString}, {"REMARKS", stString},
            {"PROCEDURE_TYPE", stShort}});

const TZMetadataColumnDefs ProcedureColumnsColumnDefs =
    Layout({{"PROCEDURE_CAT", stString}, {"PROCEDURE_SCHEM", stString}, {"PROCEDURE_NAME", stString},
            {"COLUMN_NAME", stString}, {"COLUMN_TYPE", stShort}, {"DATA_TYPE", stShort}, {"TYPE_NAME", stString},
            {"PRECISION", stInteger}, {"LENGTH", stInteger}, {"SCALE", stShort}, {"RADIX", stShort},
            {"NULLABLE", stShort}, {"REMARKS", stString}});

const TZMetadataColumnDefs TablesColumnDefs =
    Layout({{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"TABLE_TYPE", stString},
            {"REMARKS", stString}});

const TZMetadataColumnDefs SchemasColumnDefs = Layout({{"TABLE_SCHEM", stString}});
const TZMetadataColumnDefs CatalogsColumnDefs = Layout({{"TABLE_CAT", stString}});
const TZMetadataColumnDefs TableTypesColumnDefs = Layout({{"TABLE_TYPE", stString}});

const TZMetadataColumnDefs ColumnsColumnDefs =
    Layout({{"TABLE_CAT", stString},         {"TABLE_SCHEM", stString},      {"TABLE_NAME", stString},
            {"COLUMN_NAME", stString},       {"DATA_TYPE", stShort},         {"TYPE_NAME", stString},
            {"COLUMN_SIZE", stInteger},      {"BUFFER_LENGTH", stInteger},   {"DECIMAL_DIGITS", stInteger},
            {"NUM_PREC_RADIX", stInteger},   {"NULLABLE", stInteger},        {"REMARKS", stString},
            {"COLUMN_DEF", stString},        {"SQL_DATA_TYPE", stInteger},   {"SQL_DATETIME_SUB", stInteger},
            {"CHAR_OCTET_LENGTH", stInteger}, {"ORDINAL_POSITION", stInteger}, {"IS_NULLABLE", stString},
            {"AUTO_INCREMENT", stBoolean},   {"CASE_SENSITIVE", stBoolean},  {"SEARCHABLE", stBoolean},
            {"WRITABLE", stBoolean},         {"DEFINITELYWRITABLE", stBoolean}, {"READONLY", stBoolean}});

const TZMetadataColumnDefs ColumnPrivilegesColumnDefs =
    Layout({{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"COLUMN_NAME", stString},
            {"GRANTOR", stString}, {"GRANTEE", stString}, {"PRIVILEGE", stString}, {"IS_GRANTABLE", stString}});

const TZMetadataColumnDefs TablePrivilegesColumnDefs =
    Layout({{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"GRANTOR", stString},
            {"GRANTEE", stString}, {"PRIVILEGE", stString}, {"IS_GRANTABLE", stString}});

const TZMetadataColumnDefs BestRowIdentifierColumnDefs = RowColumnsLayout();
const TZMetadataColumnDefs VersionColumnsColumnDefs = RowColumnsLayout();

const TZMetadataColumnDefs PrimaryKeysColumnDefs =
    Layout({{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"COLUMN_NAME", stString},
            {"KEY_SEQ", stShort}, {"PK_NAME", stString}});

const TZMetadataColumnDefs ImportedKeysColumnDefs = KeysLayout();
const TZMetadataColumnDefs ExportedKeysColumnDefs = KeysLayout();
const TZMetadataColumnDefs CrossReferenceColumnDefs = KeysLayout();

const TZMetadataColumnDefs TypeInfoColumnDefs =
    Layout({{"TYPE_NAME", stString},        {"DATA_TYPE", stShort},          {"PRECISION", stInteger},
            {"LITERAL_PREFIX", stString},   {"LITERAL_SUFFIX", stString},    {"CREATE_PARAMS", stString},
            {"NULLABLE", stShort},          {"CASE_SENSITIVE", stBoolean},   {"SEARCHABLE", stShort},
            {"UNSIGNED_ATTRIBUTE", stBoolean}, {"FIXED_PREC_SCALE", stBoolean}, {"AUTO_INCREMENT", stBoolean},
            {"LOCAL_TYPE_NAME", stString},  {"MINIMUM_SCALE", stShort},      {"MAXIMUM_SCALE", stShort},
            {"SQL_DATA_TYPE", stInteger},   {"SQL_DATETIME_SUB", stInteger}, {"NUM_PREC_RADIX", stInteger}});

const TZMetadataColumnDefs IndexInfoColumnDefs =
    Layout({{"TABLE_CAT", stString}, {"TABLE_SCHEM", stString}, {"TABLE_NAME", stString}, {"NON_UNIQUE", stBoolean},
            {"INDEX_QUALIFIER", stString}, {"INDEX_NAME", stString}, {"TYPE", stShort}, {"ORDINAL_POSITION", stShort},
            {"COLUMN_NAME", stString}, {"ASC_OR_DESC", stString}, {"CARDINALITY", stInteger}, {"PAGES", stInteger},
            {"FILTER_CONDITION", stString}});

const TZMetadataColumnDefs SequencesColumnDefs =
    Layout({{"SEQUENCE_CAT", stString}, {"SEQUENCE_SCHEM", stString}, {"SEQUENCE_NAME", stString}});

const TZMetadataColumnDefs UDTsColumnDefs =
    Layout({{"TYPE_CAT", stString}, {"TYPE_SCHEM", stString}, {"TYPE_NAME", stString}, {"CLASS_NAME", stString},
            {"DATA_TYPE", stShort}, {"REMARKS", stString}});

// The fixed column layouts of the catalogue queries (tables, columns, keys,
// indexes ...). Every driver's catalogue builders produce exactly these
// columns in this order, so callers read catalogue answers alike whatever the
// server.
#pragma once

#include <vector>

#include "sql/core/sql_types.h"

struct TZMetadataColumnDef {
  AnsiString Name;
  TZSQLType SQLType = stUnknown;
  // Precision and display size: 255 for text columns, 0 for the others.
  int Length = 0;
};

using TZMetadataColumnDefs = std::vector<TZMetadataColumnDef>;

extern const TZMetadataColumnDefs ProceduresColumnDefs;
extern const TZMetadataColumnDefs ProcedureColumnsColumnDefs;
extern const TZMetadataColumnDefs TablesColumnDefs;
extern const TZMetadataColumnDefs SchemasColumnDefs;
extern const TZMetadataColumnDefs CatalogsColumnDefs;
extern const TZMetadataColumnDefs TableTypesColumnDefs;
extern const TZMetadataColumnDefs ColumnsColumnDefs;
extern const TZMetadataColumnDefs ColumnPrivilegesColumnDefs;
extern const TZMetadataColumnDefs TablePrivilegesColumnDefs;
extern const TZMetadataColumnDefs BestRowIdentifierColumnDefs;
extern const TZMetadataColumnDefs VersionColumnsColumnDefs;
extern const TZMetadataColumnDefs PrimaryKeysColumnDefs;
extern const TZMetadataColumnDefs ImportedKeysColumnDefs;
extern const TZMetadataColumnDefs ExportedKeysColumnDefs;
extern const TZMetadataColumnDefs CrossReferenceColumnDefs;
extern const TZMetadataColumnDefs TypeInfoColumnDefs;
extern const TZMetadataColumnDefs IndexInfoColumnDefs;
extern const TZMetadataColumnDefs SequencesColumnDefs;
extern const TZMetadataColumnDefs UDTsColumnDefs;

// 1-based column positions within the layouts above, so that every driver's
// catalogue builder fills and reads the same columns by name.
namespace catalogue_column {
namespace tables {
constexpr int kCat = 1, kSchem = 2, kName = 3, kType = 4, kRemarks = 5;
}
namespace columns {
constexpr int kCat = 1, kSchem = 2, kTable = 3, kName = 4, kDataType = 5, kTypeName = 6, kSize = 7,
              kBufferLength = 8, kDecimalDigits = 9, kRadix = 10, kNullable = 11, kRemarks = 12, kDefault = 13,
              kCharOctetLength = 16, kPosition = 17, kIsNullable = 18, kAutoIncrement = 19, kCaseSensitive = 20,
              kSearchable = 21, kWritable = 22, kDefinitelyWritable = 23, kReadOnly = 24;
}
namespace column_privileges {
constexpr int kCat = 1, kSchem = 2, kTable = 3, kColumn = 4, kGrantor = 5, kGrantee = 6, kPrivilege = 7,
              kIsGrantable = 8;
}
namespace table_privileges {
constexpr int kCat = 1, kSchem = 2, kTable = 3, kGrantor = 4, kGrantee = 5, kPrivilege = 6, kIsGrantable = 7;
}
// Imported and exported keys and the cross reference.
namespace keys {
constexpr int kPkCat = 1, kPkSchem = 2, kPkTable = 3, kPkColumn = 4, kFkCat = 5, kFkSchem = 6, kFkTable = 7,
              kFkColumn = 8, kKeySeq = 9, kUpdateRule = 10, kDeleteRule = 11, kFkName = 12, kPkName = 13,
              kDeferrability = 14;
}
namespace primary_keys {
constexpr int kCat = 1, kSchem = 2, kTable = 3, kColumn = 4, kKeySeq = 5, kPkName = 6;
}
namespace index_info {
constexpr int kCat = 1, kSchem = 2, kTable = 3, kNonUnique = 4, kQualifier = 5, kName = 6, kType = 7,
              kPosition = 8, kColumn = 9, kAscOrDesc = 10, kCardinality = 11, kPages = 12, kFilter = 13;
}
// Best row identifier and version columns.
namespace row_columns {
constexpr int kScope = 1, kColumnName = 2, kDataType = 3, kTypeName = 4;
}
}  // namespace catalogue_column

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

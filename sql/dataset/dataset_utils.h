// Free functions between the platform's fields and the SQL layer: the field
// type of a column type and back, the row layout made from fields, copying a
// result-set row into a record buffer, and the field lookup table that gives
// each field its column in the dataset's row accessor. Also the one generic
// SQL tokenizer the dataset layer uses when no dialect tokenizer is at hand.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/db_types.h"
#include "sql/core/dbc/interfaces.h"

class TField;
class TFields;
class TZColumnInfoList;
class TZRowAccessor;

Ref<IZTokenizer> SharedSQLTokenizer();

TFieldType SQLTypeToFieldType(TZSQLType type);
TZSQLType FieldTypeToSQLType(TFieldType type);

// One column description per field, in field order: the type, the field name,
// the size as precision and the display name as label. A wide-string field
// above 10240 characters becomes a wide stream column.
std::unique_ptr<TZColumnInfoList> FieldsToColumnInfos(const TFields& fields);

// The dataset's fields in order; a field's accessor column is its position + 1.
using TZFieldLookupTable = std::vector<const TField*>;
TZFieldLookupTable BuildFieldLookupTable(const TFields& fields);
// Position + 1 of the field in the table; -1 when absent.
int FieldLookupIndex(const TZFieldLookupTable& table, const TField* field);

// Copies the result set's current row into the accessor's current buffer: for
// each data field its column FieldNo, read by the field's type. The buffer's
// Index becomes the row number.
void ReadRowFromResultSet(IZResultSet* resultSet, const TZFieldLookupTable& table, const TFields& fields,
                          TZRowAccessor* rowAccessor);

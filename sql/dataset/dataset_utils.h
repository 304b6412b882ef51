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

class TZAbstractCachedResultSet;

class IZExpression;
class IZVariablesList;
class TDataSet;
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

// What copying a row between a result set and the accessor moves, worked out
// once when the cursor opens: each data field whose column FieldNo lies in
// the result set, with its type and accessor column; internal calculated
// fields are read from rows but never written back.
struct TZColumnCopy {
  int column;
  TFieldType type;
  int index;
  bool readOnly;
  // Set by PlanSlotCopies where the cache's rows hold the column as the
  // record buffer does: the slots' offsets and size (null byte included).
  int sourceOffset = -1;
  int destOffset = 0;
  int bytes = 0;
};
using TZRowCopyList = std::vector<TZColumnCopy>;
TZRowCopyList BuildRowCopyList(int columnCount, const TZFieldLookupTable& table, const TFields& fields);

// The record buffers' reading from a cached result set whose rows lay some
// columns out as the buffers do: those are copied as bytes, their value
// converted once already when the row was cached.
struct TZSlotCopySource {
  const IZResultSet* resultSet = nullptr;
  const TZAbstractCachedResultSet* cache = nullptr;
  const TZRowAccessor* layout = nullptr;
};
// Plans the slot copies from resultSet (when it is a cache) into rows of
// dest's layout; a source with no such column gives an empty source.
TZSlotCopySource PlanSlotCopies(IZResultSet* resultSet, TZRowCopyList& columns, const TZRowAccessor& dest);

// Copies the result set's current row into the accessor's current buffer,
// each column read by its field's type, or as bytes where slots planned
// from the same source and layout allow. The buffer's Index becomes the row
// number.
void ReadRowFromResultSet(IZResultSet* resultSet, const TZRowCopyList& columns, TZRowAccessor* rowAccessor,
                          const TZSlotCopySource& slots = {});

// Writes the data fields' accessor columns into the result set's current row
// with its updaters; a null column becomes UpdateNull.
void WriteRowToResultSet(IZResultSet* resultSet, const TZRowCopyList& columns, TZRowAccessor* rowAccessor);

// --- Field lists ("id;name", "id, name", "0,2", "\"a b\"").
// Fields named (or numbered, 0-based) by the list; onlyDataFields tells
// whether all of them are data fields. EZDatabaseError "Incorrect symbol in
// field list" for anything but names, numbers below the field count, "," and
// ";"; an unknown name raises the dataset's field-not-found error.
std::vector<TField*> ParseFieldList(const TDataSet* dataSet, const AnsiString& text, bool& onlyDataFields);
// As ParseFieldList; "ASC" or "DESC" after a field sets its direction.
void ParseSortFieldList(const TDataSet* dataSet, const AnsiString& text, std::vector<TField*>& fields,
                        std::vector<bool>& ascending, bool& onlyDataFields);
// The names of the data fields other than bytes, blobs and memos, joined by
// ","; a name with a blank or "-" is double-quoted.
AnsiString DataFieldNameList(const TFields& fields);

// --- Values of fields read from a result-set row.
// The dataset's field for each variable of the expression (none when no field
// has its name); empty for an empty expression.
std::vector<TField*> FieldsOfExpressionVariables(const TDataSet* dataSet, IZExpression* expression);
// Variable i takes the value of field i in the current row; positions
// without a field keep their value.
void LoadVariablesFromResultSet(const std::vector<TField*>& fields, IZResultSet* resultSet,
                                IZVariablesList* variables);
// Value i is field i's column in the current row (null when null).
void ReadKeyValuesFromResultSet(const std::vector<TField*>& fields, IZResultSet* resultSet,
                                TZVariantDynArray& values);

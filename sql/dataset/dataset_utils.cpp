// Type maps, row layout and row copying between result sets and record buffers.
#include "sql/dataset/dataset_utils.h"

#include <algorithm>

#include "platform/db/field.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"

namespace {

// Wide-string fields longer than this are kept as streams, not in the row.
constexpr int kMaxWideStringInRow = 10240;

void ReadColumn(IZResultSet* resultSet, int column, TFieldType type, TZRowAccessor* accessor, int index) {
  switch (type) {
    case ftString: accessor->SetPChar(index, resultSet->GetPChar(column)); break;
    case ftSmallint: accessor->SetShort(index, resultSet->GetShort(column)); break;
    case ftInteger: case ftAutoInc: accessor->SetInt(index, resultSet->GetInt(column)); break;
    case ftBoolean: accessor->SetBoolean(index, resultSet->GetBoolean(column)); break;
    case ftFloat: accessor->SetDouble(index, resultSet->GetDouble(column)); break;
    case ftCurrency: accessor->SetBigDecimal(index, resultSet->GetBigDecimal(column)); break;
    case ftDate: accessor->SetDate(index, resultSet->GetDate(column)); break;
    case ftTime: accessor->SetTime(index, resultSet->GetTime(column)); break;
    case ftDateTime: accessor->SetTimestamp(index, resultSet->GetTimestamp(column)); break;
    case ftBytes: accessor->SetBytes(index, resultSet->GetBytes(column)); break;
    case ftBlob: case ftMemo: accessor->SetBlob(index, resultSet->GetBlob(column)); break;
    case ftWideString: accessor->SetUnicodeString(index, resultSet->GetUnicodeString(column)); break;
    case ftLargeint: accessor->SetLong(index, resultSet->GetLong(column)); break;
    default: return;
  }
  if (resultSet->WasNull()) accessor->SetNull(index);
}

}  // namespace

Ref<IZTokenizer> SharedSQLTokenizer() {
  static const Ref<IZTokenizer> tokenizer = MakeRef<TZGenericSQLTokenizer>();
  return tokenizer;
}

TFieldType SQLTypeToFieldType(TZSQLType type) {
  switch (type) {
    case stBoolean: return ftBoolean;
    case stByte: case stShort: return ftSmallint;
    case stInteger: return ftInteger;
    case stLong: return ftLargeint;
    case stFloat: case stDouble: case stBigDecimal: return ftFloat;
    case stString: return ftString;
    case stUnicodeString: case stUnicodeStream: return ftWideString;
    case stBytes: return ftBytes;
    case stDate: return ftDate;
    case stTime: return ftTime;
    case stTimestamp: return ftDateTime;
    case stAsciiStream: return ftMemo;
    case stBinaryStream: return ftBlob;
    default: return ftUnknown;
  }
}

TZSQLType FieldTypeToSQLType(TFieldType type) {
  switch (type) {
    case ftString: return stString;
    case ftSmallint: return stShort;
    case ftInteger: case ftAutoInc: return stInteger;
    case ftBoolean: return stBoolean;
    case ftFloat: return stDouble;
    case ftCurrency: return stBigDecimal;
    case ftDate: return stDate;
    case ftTime: return stTime;
    case ftDateTime: return stTimestamp;
    case ftBytes: return stBytes;
    case ftBlob: return stBinaryStream;
    case ftMemo: return stAsciiStream;
    case ftWideString: return stUnicodeString;
    case ftLargeint: return stLong;
    default: return stUnknown;
  }
}

std::unique_ptr<TZColumnInfoList> FieldsToColumnInfos(const TFields& fields) {
  auto list = std::make_unique<TZColumnInfoList>();
  for (const TField* field : fields) {
    TZColumnInfo& info = list->Add();
    info.ColumnType = FieldTypeToSQLType(field->DataType());
    if (info.ColumnType == stUnicodeString && field->Size() > kMaxWideStringInRow) info.ColumnType = stUnicodeStream;
    info.ColumnName = field->FieldName();
    info.Precision = field->Size();
    info.Scale = 0;
    info.ColumnLabel = field->DisplayName();
  }
  return list;
}

TZFieldLookupTable BuildFieldLookupTable(const TFields& fields) {
  return TZFieldLookupTable(fields.begin(), fields.end());
}

int FieldLookupIndex(const TZFieldLookupTable& table, const TField* field) {
  auto found = std::find(table.begin(), table.end(), field);
  return found == table.end() ? -1 : static_cast<int>(found - table.begin()) + 1;
}

void ReadRowFromResultSet(IZResultSet* resultSet, const TZFieldLookupTable& table, const TFields& fields,
                          TZRowAccessor* rowAccessor) {
  rowAccessor->RowBuffer()->Index = resultSet->GetRow();
  int columnCount = resultSet->GetMetadata()->GetColumnCount();
  for (int i = 0; i < fields.Count(); ++i) {
    const TField* field = fields[i];
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc) continue;
    int column = field->FieldNo();
    if (column < 1 || column > columnCount) continue;
    ReadColumn(resultSet, column, field->DataType(), rowAccessor, FieldLookupIndex(table, field));
  }
}

// Type maps, row layout and row copying between result sets and record buffers.
#include "sql/dataset/dataset_utils.h"

#include <algorithm>
#include <cstring>

#include "platform/db/dataset.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/expr/expression.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/dataset/dataset_error.h"

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
    case ftBytes: case ftVarBytes: accessor->SetBytes(index, resultSet->GetBytes(column)); break;
    case ftBlob: case ftMemo: accessor->SetBlob(index, resultSet->GetBlob(column)); break;
    case ftWideString: accessor->SetUnicodeString(index, resultSet->GetUnicodeString(column)); break;
    case ftLargeint: accessor->SetLong(index, resultSet->GetLong(column)); break;
    default: return;
  }
  if (resultSet->WasNull()) accessor->SetNull(index);
}

void WriteColumn(TZRowAccessor* accessor, int index, TFieldType type, IZResultSet* resultSet, int column) {
  bool isNull = false;
  switch (type) {
    case ftString: resultSet->UpdatePChar(column, accessor->GetPChar(index, isNull)); break;
    case ftSmallint: resultSet->UpdateShort(column, accessor->GetShort(index, isNull)); break;
    case ftInteger: case ftAutoInc: resultSet->UpdateInt(column, accessor->GetInt(index, isNull)); break;
    case ftBoolean: resultSet->UpdateBoolean(column, accessor->GetBoolean(index, isNull)); break;
    case ftFloat: resultSet->UpdateDouble(column, accessor->GetDouble(index, isNull)); break;
    case ftCurrency: resultSet->UpdateBigDecimal(column, accessor->GetBigDecimal(index, isNull)); break;
    case ftDate: resultSet->UpdateDate(column, accessor->GetDate(index, isNull)); break;
    case ftTime: resultSet->UpdateTime(column, accessor->GetTime(index, isNull)); break;
    case ftDateTime: resultSet->UpdateTimestamp(column, accessor->GetTimestamp(index, isNull)); break;
    case ftBytes: case ftVarBytes: resultSet->UpdateBytes(column, accessor->GetBytes(index, isNull)); break;
    case ftBlob: resultSet->UpdateBinaryStream(column, accessor->GetBinaryStream(index, isNull).get()); break;
    case ftMemo: resultSet->UpdateAsciiStream(column, accessor->GetAsciiStream(index, isNull).get()); break;
    case ftWideString: resultSet->UpdateUnicodeString(column, accessor->GetUnicodeString(index, isNull)); break;
    case ftLargeint: resultSet->UpdateLong(column, accessor->GetLong(index, isNull)); break;
    default: return;
  }
  if (isNull) resultSet->UpdateNull(column);
}

// A field's column in the current row as a variant of the field's kind. Key
// values read dates and times as whole time stamps, filter variables as the
// field's own kind.
TZVariant ReadValue(IZResultSet* resultSet, const TField* field, bool wholeTimestamps) {
  int column = field->FieldNo();
  const IZVariantManager* manager = DefaultVarManager().get();
  TZVariant value;
  switch (field->DataType()) {
    case ftSmallint: case ftInteger: case ftAutoInc: manager->SetAsInteger(value, resultSet->GetInt(column)); break;
    case ftLargeint: manager->SetAsInteger(value, resultSet->GetLong(column)); break;
    case ftBoolean: manager->SetAsBoolean(value, resultSet->GetBoolean(column)); break;
    case ftFloat: manager->SetAsFloat(value, resultSet->GetDouble(column)); break;
    case ftCurrency: manager->SetAsFloat(value, resultSet->GetBigDecimal(column)); break;
    case ftDate:
      manager->SetAsDateTime(value, wholeTimestamps ? resultSet->GetTimestamp(column) : resultSet->GetDate(column));
      break;
    case ftTime:
      manager->SetAsDateTime(value, wholeTimestamps ? resultSet->GetTimestamp(column) : resultSet->GetTime(column));
      break;
    case ftDateTime: manager->SetAsDateTime(value, resultSet->GetTimestamp(column)); break;
    case ftWideString: manager->SetAsUnicodeString(value, resultSet->GetUnicodeString(column)); break;
    default: manager->SetAsString(value, resultSet->GetString(column)); break;
  }
  return value;
}

[[noreturn]] void IncorrectSymbol(const AnsiString& token) {
  throw EZDatabaseError(Format(SZIncorrectSymbolInFieldList, {token}));
}

// The field a list token names, or none for a separator.
TField* FieldOfToken(const TDataSet* dataSet, const TZToken& token) {
  if (token.TokenType == ttWord || token.TokenType == ttQuoted) return dataSet->FieldNamed(token.Value);
  if (token.TokenType == ttNumber) {
    int index = StrToIntDef(token.Value, 0);
    if (index < dataSet->Fields().Count()) return dataSet->Fields()[index];
  }
  if (token.Value != "," && token.Value != ";") IncorrectSymbol(token.Value);
  return nullptr;
}

TZTokenList FieldListTokens(const AnsiString& text) {
  return SharedSQLTokenizer()->TokenizeBufferToList(text, toSkipWhitespaces | toSkipEOF | toUnifyNumbers |
                                                              toDecodeStrings);
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
    // Binary strings have lengths of their own: no padding to the column's size.
    case stBytes: return ftVarBytes;
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
    case ftBytes: case ftVarBytes: return stBytes;
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
  // A field made from a result column usually sits at that column's place;
  // every read of a value looks its field up, so try there first.
  const auto hint = static_cast<std::size_t>(field->FieldNo() - 1);
  if (hint < table.size() && table[hint] == field) return static_cast<int>(hint) + 1;
  auto found = std::find(table.begin(), table.end(), field);
  return found == table.end() ? -1 : static_cast<int>(found - table.begin()) + 1;
}

TZRowCopyList BuildRowCopyList(int columnCount, const TZFieldLookupTable& table, const TFields& fields) {
  TZRowCopyList columns;
  for (const TField* field : fields) {
    TFieldKind kind = field->FieldKind();
    if (kind != fkData && kind != fkInternalCalc) continue;
    int column = field->FieldNo();
    if (column >= 1 && column <= columnCount)
      columns.push_back({column, field->DataType(), FieldLookupIndex(table, field), kind != fkData});
  }
  return columns;
}

namespace {

// The field types whose reading through the getters and setters gives the
// stored bytes back unchanged, with the column type the cache holds them in.
TZSQLType SlotCopyType(TFieldType type) {
  switch (type) {
    case ftString: return stString;
    case ftSmallint: return stShort;
    case ftInteger:
    case ftAutoInc: return stInteger;
    case ftLargeint: return stLong;
    case ftFloat: return stDouble;
    case ftCurrency: return stBigDecimal;
    case ftDateTime: return stTimestamp;
    default: return stUnknown;
  }
}

}  // namespace

TZSlotCopySource PlanSlotCopies(IZResultSet* resultSet, TZRowCopyList& columns, const TZRowAccessor& dest) {
  auto* cache = dynamic_cast<TZAbstractCachedResultSet*>(resultSet);
  const TZRowAccessor* layout = cache ? cache->RowLayout() : nullptr;
  bool any = false;
  for (TZColumnCopy& c : columns) {
    c.sourceOffset = -1;
    const TZSQLType type = SlotCopyType(c.type);
    if (!layout || type == stUnknown || c.column > layout->ColumnCount()) continue;
    const int from = c.column - 1;
    const int to = c.index - 1;
    if (layout->ColumnTypes()[from] != type || dest.ColumnTypes()[to] != type ||
        layout->ColumnLengths()[from] != dest.ColumnLengths()[to])
      continue;
    c.sourceOffset = layout->ColumnOffsets()[from];
    c.destOffset = dest.ColumnOffsets()[to];
    c.bytes = 1 + dest.ColumnLengths()[to];
    any = true;
  }
  if (!any) return {};
  return {resultSet, cache, layout};
}

void ReadRowFromResultSet(IZResultSet* resultSet, const TZRowCopyList& columns, TZRowAccessor* rowAccessor,
                          const TZSlotCopySource& slots) {
  TZRowBuffer* dest = rowAccessor->RowBuffer();
  dest->Index = resultSet->GetRow();
  // Slots only from the planned cache, while it keeps the planned layout
  // and stands on a row.
  const TZRowBuffer* source = nullptr;
  if (slots.resultSet == resultSet && slots.cache->RowLayout() == slots.layout)
    source = slots.layout->RowBuffer();
  for (const TZColumnCopy& c : columns) {
    if (source && c.sourceOffset >= 0) std::memcpy(dest->Columns() + c.destOffset, source->Columns() + c.sourceOffset, c.bytes);
    else ReadColumn(resultSet, c.column, c.type, rowAccessor, c.index);
  }
}

void WriteRowToResultSet(IZResultSet* resultSet, const TZRowCopyList& columns, TZRowAccessor* rowAccessor) {
  rowAccessor->RowBuffer()->Index = resultSet->GetRow();
  for (const TZColumnCopy& c : columns)
    if (!c.readOnly) WriteColumn(rowAccessor, c.index, c.type, resultSet, c.column);
}

std::vector<TField*> ParseFieldList(const TDataSet* dataSet, const AnsiString& text, bool& onlyDataFields) {
  onlyDataFields = true;
  std::vector<TField*> fields;
  for (const TZToken& token : FieldListTokens(text)) {
    TField* field = FieldOfToken(dataSet, token);
    if (!field) continue;
    onlyDataFields = onlyDataFields && field->FieldKind() == fkData;
    fields.push_back(field);
  }
  return fields;
}

void ParseSortFieldList(const TDataSet* dataSet, const AnsiString& text, std::vector<TField*>& fields,
                        std::vector<bool>& ascending, bool& onlyDataFields) {
  onlyDataFields = true;
  fields.clear();
  ascending.clear();
  for (const TZToken& token : FieldListTokens(text)) {
    AnsiString upper = UpperCase(token.Value);
    if (!fields.empty() && (upper == "ASC" || upper == "DESC")) {
      ascending.back() = upper == "ASC";
      continue;
    }
    TField* field = FieldOfToken(dataSet, token);
    if (!field) continue;
    onlyDataFields = onlyDataFields && field->FieldKind() == fkData;
    fields.push_back(field);
    ascending.push_back(true);
  }
}

AnsiString DataFieldNameList(const TFields& fields) {
  AnsiString list;
  for (const TField* field : fields) {
    TFieldType type = field->DataType();
    if (field->FieldKind() != fkData || type == ftBytes || type == ftVarBytes || type == ftBlob || type == ftMemo) continue;
    const AnsiString& name = field->FieldName();
    if (!list.empty()) list += ',';
    bool quote = name.find_first_of(" -") != AnsiString::npos;
    list += quote ? '"' + name + '"' : name;
  }
  return list;
}

std::vector<TField*> FieldsOfExpressionVariables(const TDataSet* dataSet, IZExpression* expression) {
  std::vector<TField*> fields;
  if (expression->GetExpression().empty()) return fields;
  Ref<IZVariablesList> variables = expression->GetDefaultVariables();
  for (int i = 0; i < variables->GetCount(); ++i) fields.push_back(dataSet->FieldNamedOrNone(variables->GetName(i)));
  return fields;
}

void LoadVariablesFromResultSet(const std::vector<TField*>& fields, IZResultSet* resultSet,
                                IZVariablesList* variables) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i]) continue;
    int index = static_cast<int>(i);
    if (resultSet->IsNull(fields[i]->FieldNo())) variables->SetValue(index, NullVariant());
    else variables->SetValue(index, ReadValue(resultSet, fields[i], false));
  }
}

void ReadKeyValuesFromResultSet(const std::vector<TField*>& fields, IZResultSet* resultSet,
                                TZVariantDynArray& values) {
  values.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    values[i] = ReadValue(resultSet, fields[i], true);
    if (resultSet->WasNull()) values[i] = NullVariant();
  }
}

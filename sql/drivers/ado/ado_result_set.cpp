// Reading an ADO recordset through IZResultSet, and posting cached changes
// with the identity read back (see ado_result_set.h).

#include "sql/drivers/ado/ado_result_set.h"

#include <charconv>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/ado/ado_plain_driver.h"
#include "sql/drivers/ado/ado_utils.h"

namespace {

template <class Text>
Text TrimTrailingSpaces(Text text) {
  const auto end = text.find_last_not_of(typename Text::value_type(' '));
  text.erase(end == Text::npos ? 0 : end + 1);
  return text;
}

bool IsSignedType(int adoType) {
  switch (adoType) {
    case adSmallInt:
    case adInteger:
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDecimal:
    case adTinyInt:
    case adBigInt:
    case adNumeric: return true;
    default: return false;
  }
}

bool IsText(const Variant& value) { return VarType(value) == varString || VarType(value) == varOleStr; }

// A number given as text (exact numerics are): every digit a long double
// holds; a text that is no number raises, as a variant conversion would.
long double NumberOf(const Variant& value) {
  const AnsiString text = Trim(value.AsString());
  long double number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) throw EVariantError("Invalid variant type conversion");
  return number;
}

}  // namespace

// --- result set

TZAdoResultSet::TZAdoResultSet(const Ref<IZStatement>& statement, Ref<Recordset15> recordset, const AnsiString& sql)
    : TZAbstractResultSet(statement, sql), recordset_(std::move(recordset)) {
  Open();
}

void TZAdoResultSet::Open() {
  if (!recordset_ || recordset_->State() == adStateClosed) throw EZSQLException(SZCanNotRetrieveResultSetData);
  std::vector<AdoColumnInfo> records = recordset_->GetColumnInfo();
  // A bookmark column comes first and is no field.
  if (!records.empty() && records.front().ordinal == 0) records.erase(records.begin());
  fields_ = recordset_->Fields();
  ColumnsInfo.Clear();
  const int count = fields_->Count();
  bool hasAutoIncrement = false;
  if (count > 0) {
    Ref<Properties> properties = fields_->Item(0)->Properties();
    for (int i = 0; i < properties->Count(); ++i)
      if (properties->Item(i)->Name() == "ISAUTOINCREMENT") hasAutoIncrement = true;
  }
  for (int k = 0; k < count; ++k) {
    Ref<Field> field = fields_->Item(k);
    const unsigned flags = k < static_cast<int>(records.size()) ? records[k].flags : 0;
    const int type = field->Type();
    TZColumnInfo& column = ColumnsInfo.Add();
    column.ColumnName = field->Name();
    column.ColumnLabel = field->Name();
    column.ColumnType = ConvertAdoToSqlType(static_cast<std::int16_t>(type));
    const int size = type == adGUID ? 38 : std::max(field->DefinedSize(), 0);
    column.ColumnDisplaySize = size;
    column.Precision = size;
    column.Currency = type == adCurrency;
    column.Signed = IsSignedType(type);
    Ref<Properties> properties = field->Properties();
    column.AutoIncrement = hasAutoIncrement && properties->Item("ISAUTOINCREMENT")->Value().AsBoolean();
    const bool writeFlag = (flags & (DBCOLUMNFLAGS_WRITE | DBCOLUMNFLAGS_WRITEUNKNOWN)) != 0;
    column.Writable = writeFlag && !VarIsNull(properties->Item("BASECOLUMNNAME")->Value()) && !column.AutoIncrement;
    column.ReadOnly = !writeFlag || column.AutoIncrement;
    column.Searchable = (flags & DBCOLUMNFLAGS_ISLONG) == 0;
    if (flags & DBCOLUMNFLAGS_ISLONG) {
      if (column.ColumnType == stString) column.ColumnType = stAsciiStream;
      if (column.ColumnType == stUnicodeString) column.ColumnType = stUnicodeStream;
    }
  }
  firstFetch_ = true;
  TZAbstractResultSet::Open();
}

void TZAdoResultSet::Close() {
  fields_ = nullptr;
  recordset_ = nullptr;
  TZAbstractResultSet::Close();
}

bool TZAdoResultSet::Next() {
  if (!recordset_) return false;
  if (recordset_->Bof() && recordset_->Eof()) return false;
  if (recordset_->Bof()) {
    recordset_->MoveFirst();
  } else if (!recordset_->Eof() && !firstFetch_) {
    recordset_->MoveNext();
  }
  firstFetch_ = false;
  return !recordset_->Eof();
}

bool TZAdoResultSet::MoveAbsolute(int row) {
  if (!recordset_) return false;
  if (recordset_->Eof() || recordset_->Bof()) recordset_->MoveFirst();
  // Row 0 lies before the first record; negative rows count back from the last.
  if (row > 0) {
    recordset_->Move(row - 1, adBookmarkFirst);
  } else if (row < 0) {
    recordset_->Move(row + 1, adBookmarkLast);
  } else {
    recordset_->Move(-1, adBookmarkFirst);
  }
  firstFetch_ = false;
  return !recordset_->Eof() && !recordset_->Bof();
}

int TZAdoResultSet::GetRow() {
  if (!recordset_ || recordset_->Eof() || recordset_->Bof()) return -1;
  return recordset_->AbsolutePosition();
}

Variant TZAdoResultSet::Value(int columnIndex) {
  if (!fields_) CheckClosed();
  Variant value = fields_->Item(columnIndex - 1)->Value();
  LastWasNull = VarIsNull(value) || VarIsEmpty(value);
  return value;
}

bool TZAdoResultSet::IsNull(int columnIndex) {
  Value(columnIndex);
  return LastWasNull;
}

template <class T, class Read>
T TZAdoResultSet::Converted(int columnIndex, T fallback, Read read) {
  const Variant value = Value(columnIndex);
  if (LastWasNull) return T{};
  try {
    return read(value);
  } catch (const Exception&) {
    return fallback;
  }
}

const char* TZAdoResultSet::GetPChar(int columnIndex) {
  TemporaryString = GetString(columnIndex);
  return TemporaryString.c_str();
}

// Numbers, dates and booleans as text in the forms the cached rows give them.
AnsiString TZAdoResultSet::GetString(int columnIndex) {
  const Variant value = Value(columnIndex);
  if (LastWasNull) return AnsiString();
  switch (VarType(value)) {
    case varBoolean: return value.AsBoolean() ? "True" : "False";
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
      return IntToStr(value.AsInteger());
    case varSingle: case varDouble: case varCurrency: return FloatToSqlStr(value.AsFloat());
    case varDate: {
      const TZSQLType type = GetMetadata()->GetColumnType(columnIndex);
      const char* format = type == stDate ? "yyyy-mm-dd" : type == stTime ? "hh:nn:ss" : "yyyy-mm-dd hh:nn:ss";
      return FormatDateTime(format, value.AsDateTime());
    }
    default:
      return TrimTrailingSpaces(value.AsString());
  }
}

WideString TZAdoResultSet::GetUnicodeString(int columnIndex) {
  const Variant value = Value(columnIndex);
  return LastWasNull ? WideString() : TrimTrailingSpaces(value.AsWideString());
}

bool TZAdoResultSet::GetBoolean(int columnIndex) {
  return Converted<bool>(columnIndex, false, [](const Variant& v) { return v.AsBoolean(); });
}

std::int8_t TZAdoResultSet::GetByte(int columnIndex) { return static_cast<std::int8_t>(GetInt(columnIndex)); }
std::int16_t TZAdoResultSet::GetShort(int columnIndex) { return static_cast<std::int16_t>(GetInt(columnIndex)); }

int TZAdoResultSet::GetInt(int columnIndex) { return static_cast<int>(GetLong(columnIndex)); }

std::int64_t TZAdoResultSet::GetLong(int columnIndex) {
  return Converted<std::int64_t>(columnIndex, 0, [](const Variant& v) {
    return IsText(v) ? static_cast<std::int64_t>(NumberOf(v)) : v.AsInteger();
  });
}

float TZAdoResultSet::GetFloat(int columnIndex) { return static_cast<float>(GetDouble(columnIndex)); }

double TZAdoResultSet::GetDouble(int columnIndex) { return static_cast<double>(GetBigDecimal(columnIndex)); }

long double TZAdoResultSet::GetBigDecimal(int columnIndex) {
  return Converted<long double>(columnIndex, 0, [](const Variant& v) { return IsText(v) ? NumberOf(v) : v.AsFloat(); });
}

// Dates are kept whole: a date column's time of day, if any, stays.
TDateTime TZAdoResultSet::GetDate(int columnIndex) { return GetDouble(columnIndex); }
TDateTime TZAdoResultSet::GetTime(int columnIndex) { return GetDouble(columnIndex); }
TDateTime TZAdoResultSet::GetTimestamp(int columnIndex) { return GetDouble(columnIndex); }

TByteDynArray TZAdoResultSet::GetBytes(int columnIndex) {
  const Variant value = Value(columnIndex);
  if (LastWasNull) return {};
  const std::string bytes = VariantBytes(value);
  return TByteDynArray(bytes.begin(), bytes.end());
}

Ref<IZBlob> TZAdoResultSet::GetBlob(int columnIndex) {
  const Variant value = Value(columnIndex);
  if (LastWasNull) return MakeRef<TZAbstractBlob>();
  const TVarType type = VarType(value);
  if (type == varString || type == varOleStr || VarIsArray(value)) {
    const std::string bytes = VariantBytes(value);
    return TZAbstractBlob::CreateWithData(bytes.data(), static_cast<int>(bytes.size()));
  }
  return nullptr;
}

// --- resolver

TZAdoCachedResolver::TZAdoCachedResolver(Ref<Connection15> adoConnection, const Ref<IZResultSetMetadata>& metadata,
                                         const Ref<IZStatement>& statement)
    : TZGenericCachedResolver(statement, metadata), identityCommand_(CoCommand::Create()) {
  identityCommand_->SetActiveConnection(std::move(adoConnection));
  identityCommand_->SetCommandText("SELECT @@IDENTITY");
  identityCommand_->SetCommandType(adCmdText);
  autoColumnIndex_ = FirstAutoIncrementIntegerColumn(*metadata);
}

void TZAdoCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                      TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  TZGenericCachedResolver::PostUpdates(sender, updateType, oldRowAccessor, newRowAccessor);
  // Only a value the caller left empty is the data source's to give.
  if (!InsertLeftColumnEmpty(updateType, autoColumnIndex_, newRowAccessor)) return;
  Variant recordsAffected;
  Ref<Recordset15> identity = identityCommand_->Execute(recordsAffected, Null(), 0);
  if (identity->State() == adStateOpen && identity->RecordCount() > 0)
    newRowAccessor->SetLong(autoColumnIndex_, identity->Fields()->Item(0)->Value().AsInteger());
}

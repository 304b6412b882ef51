// Common result-set behaviour (see abstract_result_set.h).

#include "sql/core/dbc/abstract_result_set.h"

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

TZAbstractResultSet::TZAbstractResultSet(const Ref<IZStatement>& statement, const AnsiString& sql)
    : Statement(statement) {
  Ref<IZDatabaseMetadata> databaseMetadata;
  if (statement) {
    FetchDirection = statement->GetFetchDirection();
    FetchSize = statement->GetFetchSize();
    ResultSetType = statement->GetResultSetType();
    ResultSetConcurrency = statement->GetResultSetConcurrency();
    PostUpdatesMode = statement->GetPostUpdates();
    LocateUpdatesMode = statement->GetLocateUpdates();
    MaxRows = statement->GetMaxRows();
    if (Ref<IZConnection> connection = statement->GetConnection()) databaseMetadata = connection->GetMetadata();
  }
  Metadata = std::make_unique<TZAbstractResultSetMetadata>(std::move(databaseMetadata), sql, this);
}

TZAbstractResultSet::~TZAbstractResultSet() = default;

void TZAbstractResultSet::BeforeDestruction() {
  if (!Closed) {
    try {
      Close();
    } catch (...) {
      // Nobody is left to hear of a failed release; the object goes anyway.
    }
  }
  TZAbstractObject::BeforeDestruction();
}

void TZAbstractResultSet::Open() { Closed = false; }

void TZAbstractResultSet::Close() {
  LastWasNull = true;
  RowNo = 0;
  LastRowNo = 0;
  Closed = true;
  ColumnsInfo.Clear();
  // Releasing the statement may close it, and a statement closes its last
  // result set, which may be this one: the hold moves its reference out first.
  Statement.Reset();
}

void TZAbstractResultSet::RaiseUnsupportedException() { throw EZSQLException(SZUnsupportedOperation); }
void TZAbstractResultSet::RaiseForwardOnlyException() { throw EZSQLException(SZOperationIsNotAllowed1); }
void TZAbstractResultSet::RaiseReadOnlyException() { throw EZSQLException(SZOperationIsNotAllowed2); }

void TZAbstractResultSet::CheckClosed() const {
  if (Closed) throw EZSQLException(SZOperationIsNotAllowed3);
}

TZSQLType TZAbstractResultSet::CheckedColumnType(int columnIndex) {
  if (columnIndex < 1 || columnIndex > Metadata->GetColumnCount())
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  return Metadata->GetColumnType(columnIndex);
}

void TZAbstractResultSet::CheckColumnConversion(int columnIndex, TZSQLType resultType) {
  CheckClosed();
  TZSQLType columnType = CheckedColumnType(columnIndex);
  if (!CanConvertSQLType(columnType, resultType))
    throw EZSQLException(Format(SZConvertionIsNotPossible,
                                {columnIndex, GetSQLTypeName(columnType), GetSQLTypeName(resultType)}));
}

void TZAbstractResultSet::CheckBlobColumn(int columnIndex) {
  CheckClosed();
  TZSQLType columnType = CheckedColumnType(columnIndex);
  if (!IsStreamSQLType(columnType))
    throw EZSQLException(Format(SZCanNotAccessBlobRecord, {columnIndex, GetSQLTypeName(columnType)}));
}

// --- values: the base has no rows, so every getter answers the empty value

bool TZAbstractResultSet::IsNull(int) { return true; }

const char* TZAbstractResultSet::GetPChar(int columnIndex) {
  TemporaryString = GetString(columnIndex);
  return TemporaryString.c_str();
}

AnsiString TZAbstractResultSet::GetString(int columnIndex) {
  CheckColumnConversion(columnIndex, stString);
  return AnsiString();
}
WideString TZAbstractResultSet::GetUnicodeString(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeString);
  return WideString();
}
bool TZAbstractResultSet::GetBoolean(int columnIndex) {
  CheckColumnConversion(columnIndex, stBoolean);
  return false;
}
std::int8_t TZAbstractResultSet::GetByte(int columnIndex) {
  CheckColumnConversion(columnIndex, stByte);
  return 0;
}
std::int16_t TZAbstractResultSet::GetShort(int columnIndex) {
  CheckColumnConversion(columnIndex, stShort);
  return 0;
}
int TZAbstractResultSet::GetInt(int columnIndex) {
  CheckColumnConversion(columnIndex, stInteger);
  return 0;
}
std::int64_t TZAbstractResultSet::GetLong(int columnIndex) {
  CheckColumnConversion(columnIndex, stLong);
  return 0;
}
float TZAbstractResultSet::GetFloat(int columnIndex) {
  CheckColumnConversion(columnIndex, stFloat);
  return 0;
}
double TZAbstractResultSet::GetDouble(int columnIndex) {
  CheckColumnConversion(columnIndex, stDouble);
  return 0;
}
long double TZAbstractResultSet::GetBigDecimal(int columnIndex) {
  CheckColumnConversion(columnIndex, stBigDecimal);
  return 0;
}
TByteDynArray TZAbstractResultSet::GetBytes(int columnIndex) {
  CheckColumnConversion(columnIndex, stBytes);
  return TByteDynArray();
}
TDateTime TZAbstractResultSet::GetDate(int columnIndex) {
  CheckColumnConversion(columnIndex, stDate);
  return 0;
}
TDateTime TZAbstractResultSet::GetTime(int columnIndex) {
  CheckColumnConversion(columnIndex, stTime);
  return 0;
}
TDateTime TZAbstractResultSet::GetTimestamp(int columnIndex) {
  CheckColumnConversion(columnIndex, stTimestamp);
  return 0;
}

namespace {

// The stream getters: null for a NULL value, else the blob's stream.
std::unique_ptr<TStream> BlobStream(IZResultSet& resultSet, int columnIndex, bool& lastWasNull) {
  std::unique_ptr<TStream> stream;
  if (!resultSet.IsNull(columnIndex))
    if (Ref<IZBlob> blob = resultSet.GetBlob(columnIndex)) stream = blob->GetStream();
  lastWasNull = !stream;
  return stream;
}

}  // namespace

std::unique_ptr<TStream> TZAbstractResultSet::GetAsciiStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stAsciiStream);
  return BlobStream(*this, columnIndex, LastWasNull);
}
std::unique_ptr<TStream> TZAbstractResultSet::GetUnicodeStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeStream);
  return BlobStream(*this, columnIndex, LastWasNull);
}
std::unique_ptr<TStream> TZAbstractResultSet::GetBinaryStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stBinaryStream);
  return BlobStream(*this, columnIndex, LastWasNull);
}

Ref<IZBlob> TZAbstractResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  return MakeRef<TZAbstractBlob>();
}

TZVariant TZAbstractResultSet::GetValue(int columnIndex) {
  CheckClosed();
  TZVariant result;
  const IZVariantManager& manager = *DefaultVarManager();
  switch (CheckedColumnType(columnIndex)) {
    case stBoolean: manager.SetAsBoolean(result, GetBoolean(columnIndex)); break;
    case stByte:
    case stShort:
    case stInteger:
    case stLong: manager.SetAsInteger(result, GetLong(columnIndex)); break;
    case stFloat:
    case stDouble:
    case stBigDecimal: manager.SetAsFloat(result, GetBigDecimal(columnIndex)); break;
    case stUnicodeString:
    case stUnicodeStream: manager.SetAsUnicodeString(result, GetUnicodeString(columnIndex)); break;
    case stDate:
    case stTime:
    case stTimestamp: manager.SetAsDateTime(result, GetTimestamp(columnIndex)); break;
    case stString:
    case stBytes:
    case stAsciiStream:
    case stBinaryStream: manager.SetAsString(result, GetString(columnIndex)); break;
    default: return result;
  }
  if (WasNull()) manager.SetNull(result);
  return result;
}

Ref<IZResultSetMetadata> TZAbstractResultSet::GetMetadata() { return Ref<IZResultSetMetadata>(Metadata.get()); }

int TZAbstractResultSet::FindColumn(const AnsiString& columnName) {
  CheckClosed();
  int count = Metadata->GetColumnCount();
  for (int i = 1; i <= count; ++i)
    if (Metadata->GetColumnLabel(i) == columnName) return i;
  AnsiString upperName = AnsiUpperCase(columnName);
  for (int i = 1; i <= count; ++i)
    if (AnsiUpperCase(Metadata->GetColumnLabel(i)) == upperName) return i;
  return 0;
}

// --- cursor: everything goes through MoveAbsolute, except Next, which
// forward-only drivers override on its own

bool TZAbstractResultSet::Next() { return MoveAbsolute(RowNo + 1); }
void TZAbstractResultSet::BeforeFirst() { MoveAbsolute(0); }
void TZAbstractResultSet::AfterLast() {
  Last();
  Next();
}
bool TZAbstractResultSet::First() { return MoveAbsolute(1); }
bool TZAbstractResultSet::Last() { return MoveAbsolute(LastRowNo); }
bool TZAbstractResultSet::MoveAbsolute(int) { RaiseForwardOnlyException(); }
bool TZAbstractResultSet::MoveRelative(int rows) { return MoveAbsolute(RowNo + rows); }
bool TZAbstractResultSet::Previous() { return MoveAbsolute(RowNo - 1); }

void TZAbstractResultSet::SetFetchDirection(TZFetchDirection value) {
  if (value != fdForward) RaiseUnsupportedException();
}

// --- updating: the base is read-only

void TZAbstractResultSet::UpdateNull(int) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateBoolean(int, bool) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateByte(int, std::int8_t) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateShort(int, std::int16_t) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateInt(int, int) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateLong(int, std::int64_t) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateFloat(int, float) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateDouble(int, double) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateBigDecimal(int, long double) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdatePChar(int columnIndex, const char* value) {
  UpdateString(columnIndex, value ? AnsiString(value) : AnsiString());
}
void TZAbstractResultSet::UpdateString(int, const AnsiString&) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateUnicodeString(int, const WideString&) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateBytes(int, const TByteDynArray&) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateDate(int, TDateTime) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateTime(int, TDateTime) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateTimestamp(int, TDateTime) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateAsciiStream(int, TStream*) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateUnicodeStream(int, TStream*) { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateBinaryStream(int, TStream*) { RaiseReadOnlyException(); }

void TZAbstractResultSet::UpdateValue(int columnIndex, const TZVariant& value) {
  switch (value.VType) {
    case vtBoolean: UpdateBoolean(columnIndex, value.VBoolean); break;
    case vtInteger: UpdateLong(columnIndex, value.VInteger); break;
    case vtFloat: UpdateBigDecimal(columnIndex, value.VFloat); break;
    case vtString: UpdateString(columnIndex, value.VString); break;
    case vtUnicodeString: UpdateUnicodeString(columnIndex, value.VUnicodeString); break;
    case vtDateTime: UpdateTimestamp(columnIndex, value.VDateTime); break;
    default: UpdateNull(columnIndex); break;
  }
}

void TZAbstractResultSet::InsertRow() { RaiseReadOnlyException(); }
void TZAbstractResultSet::UpdateRow() { RaiseReadOnlyException(); }
void TZAbstractResultSet::DeleteRow() { RaiseReadOnlyException(); }
void TZAbstractResultSet::RefreshRow() { RaiseUnsupportedException(); }
void TZAbstractResultSet::CancelRowUpdates() { RaiseReadOnlyException(); }
void TZAbstractResultSet::MoveToInsertRow() { RaiseReadOnlyException(); }

// --- row comparison

namespace {

template <class T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int TZAbstractResultSet::CompareColumn(int row1, int row2, int columnIndex) {
  MoveAbsolute(row1);
  TZVariant value1 = GetValue(columnIndex);
  MoveAbsolute(row2);
  TZVariant value2 = GetValue(columnIndex);

  bool null1 = value1.VType == vtNull;
  bool null2 = value2.VType == vtNull;
  if (null1 || null2) return null1 == null2 ? 0 : (null1 ? -1 : 1);

  // Both come from one column, so they share a kind; the lenient manager only
  // matters for a driver that mixes kinds within a column.
  const IZVariantManager& manager = *SoftVarManager();
  switch (value1.VType) {
    case vtBoolean: return Sign(value1.VBoolean, manager.GetAsBoolean(value2));
    case vtInteger: return Sign(value1.VInteger, manager.GetAsInteger(value2));
    case vtFloat: return Sign(value1.VFloat - manager.GetAsFloat(value2), 0.0L);
    case vtDateTime: return Sign(value1.VDateTime - manager.GetAsDateTime(value2), 0.0);
    case vtString: return AnsiCompareStr(value1.VString, manager.GetAsString(value2));
    case vtUnicodeString: return WideCompareStr(value1.VUnicodeString, manager.GetAsUnicodeString(value2));
    default: return 0;
  }
}

int TZAbstractResultSet::CompareRows(int row1, int row2, const TZIntegerDynArray& columnIndices,
                                     const TZBooleanDynArray& columnDirs) {
  int savedRowNo = RowNo;
  int result = 0;
  try {
    for (std::size_t i = 0; i < columnIndices.size() && result == 0; ++i) {
      result = CompareColumn(row1, row2, columnIndices[i]);
      bool ascending = i < columnDirs.size() ? columnDirs[i] : true;
      if (!ascending) result = -result;
    }
  } catch (...) {
    MoveAbsolute(savedRowNo);
    throw;
  }
  MoveAbsolute(savedRowNo);
  return result;
}

// The Oracle cursor: description and defines at open, the query run by the
// first Next, buffer conversions, and the LOB value read and written in
// pieces through the connection's service context.

#include "sql/drivers/oracle/oracle_result_set.h"

#include <cmath>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/oracle/oracle_statement.h"
#include "sql/drivers/oracle/oracle_utils.h"

namespace {

constexpr char kFetchRowLog[] = "FETCH ROW";
constexpr ub4 kLobPieceSize = 1024;
constexpr ub4 kNanosecondsPerMillisecond = 1000000;

void* StoredPointer(const TZSQLVar& variable) {
  void* pointer = nullptr;
  std::memcpy(&pointer, variable.Data, sizeof pointer);
  return pointer;
}

template <class T>
T ReadBuffer(const TZSQLVar& variable) {
  T value;
  std::memcpy(&value, variable.Data, sizeof value);
  return value;
}

}  // namespace

// --- TZOracleResultSet

TZOracleResultSet::TZOracleResultSet(Ref<IZOraclePlainDriver> plainDriver, const Ref<IZStatement>& statement,
                                     const AnsiString& sql, std::shared_ptr<TZOracleStatementHandles> handles)
    : TZAbstractResultSet(statement, sql),
      sql_(sql),
      handles_(std::move(handles)),
      plainDriver_(std::move(plainDriver)) {
  if (handles_) {
    handle_ = handles_->Handle;
    errorHandle_ = handles_->ErrorHandle;
  }
  SetConcurrency(rcReadOnly);
  Open();
}

void TZOracleResultSet::Open() {
  if (GetConcurrency() == rcUpdatable) throw EZSQLException(SZLiveResultSetsAreNotSupported);
  if (!handle_ || !errorHandle_) throw EZSQLException(SZCanNotRetrieveResultSetData);
  connection_ = Query<IZOracleConnection>(Statement->GetConnection());
  IZOraclePlainDriver* driver = plainDriver_.get();
  sword status = driver->OCIStmtExecute(connection_->GetContextHandle(), handle_, errorHandle_, 1, 0, nullptr,
                                        nullptr, OCI_DESCRIBE_ONLY);
  CheckOracleStatus(driver, errorHandle_, status, lcExecute, sql_);

  ub4 count = 0;
  driver->OCIAttrGet(handle_, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, errorHandle_);
  AllocateVarBlock(outVars_, static_cast<int>(count));
  outVars_->ActualNum = static_cast<int>(count);
  ColumnsInfo.Clear();
  for (int i = 1; i <= outVars_->ActualNum; ++i) {
    TZSQLVar& variable = outVars_->Variable(i);
    driver->OCIParamGet(handle_, OCI_HTYPE_STMT, errorHandle_, &variable.Handle, static_cast<ub4>(i));
    driver->OCIAttrGet(variable.Handle, OCI_DTYPE_PARAM, &variable.DataSize, nullptr, OCI_ATTR_DATA_SIZE,
                       errorHandle_);
    driver->OCIAttrGet(variable.Handle, OCI_DTYPE_PARAM, &variable.DataType, nullptr, OCI_ATTR_DATA_TYPE,
                       errorHandle_);
    if (variable.DataType == 2) {
      sb2 precision = 0;
      sb1 scale = 0;
      driver->OCIAttrGet(variable.Handle, OCI_DTYPE_PARAM, &precision, nullptr, OCI_ATTR_PRECISION, errorHandle_);
      driver->OCIAttrGet(variable.Handle, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, errorHandle_);
      variable.Precision = precision;
      variable.Scale = scale;
    }
    DescribeOracleColumnType(variable);
    PrepareVar(driver, connection_.get(), variable, variable.ColType, variable.TypeCode, variable.DataSize);
    status = driver->OCIDefineByPos(handle_, &variable.Define, errorHandle_, static_cast<ub4>(i), variable.Data,
                                    variable.Length, variable.TypeCode, &variable.Indicator, nullptr, nullptr,
                                    OCI_DEFAULT);
    CheckOracleStatus(driver, errorHandle_, status, lcExecute, sql_);

    const char* name = nullptr;
    ub4 nameLength = 0;
    driver->OCIAttrGet(variable.Handle, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, errorHandle_);
    TZColumnInfo& column = ColumnsInfo.Add();
    column.ColumnLabel = name ? BufferToStr(name, static_cast<int>(nameLength)) : AnsiString();
    column.Signed = true;
    column.Nullable = ntNullable;
    column.ColumnType = variable.ColType;
    column.Scale = variable.Scale;
    column.Precision = variable.ColType == stString || variable.ColType == stUnicodeString ? variable.DataSize
                                                                                           : variable.Precision;
  }
  TZAbstractResultSet::Open();
}

void TZOracleResultSet::Close() {
  parameterBlobs_.clear();
  FreeVarBlock(plainDriver_.get(), outVars_);
  handles_.reset();
  handle_ = nullptr;
  errorHandle_ = nullptr;
  TZAbstractResultSet::Close();
}

bool TZOracleResultSet::Next() {
  if (Closed || RowNo > LastRowNo || (MaxRows > 0 && RowNo >= MaxRows)) return false;
  sword status = RowNo == 0 ? plainDriver_->OCIStmtExecute(connection_->GetContextHandle(), handle_, errorHandle_, 1,
                                                           0, nullptr, nullptr, OCI_DEFAULT)
                            : plainDriver_->OCIStmtFetch(handle_, errorHandle_, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
  // The query has read its parameters once it ran.
  parameterBlobs_.clear();
  if (status != OCI_SUCCESS && status != OCI_NO_DATA)
    CheckOracleStatus(plainDriver_.get(), errorHandle_, status, lcOther, kFetchRowLog);
  if (status == OCI_SUCCESS) {
    ++RowNo;
    if (LastRowNo < RowNo) LastRowNo = RowNo;
    return true;
  }
  if (RowNo <= LastRowNo) RowNo = LastRowNo + 1;
  return false;
}

void TZOracleResultSet::CheckRow() {
  CheckClosed();
  if (RowNo <= 0 || RowNo > LastRowNo) throw EZSQLException(SZRowDataIsNotAvailable);
}

bool TZOracleResultSet::IsNull(int columnIndex) {
  CheckRow();
  if (columnIndex < 1 || columnIndex > outVars_->ActualNum)
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  return outVars_->Variable(columnIndex).Indicator < 0;
}

TZSQLVar* TZOracleResultSet::GetColumnVar(int columnIndex) {
  CheckRow();
  TZSQLVar& variable = outVars_->Variable(columnIndex);
  LastWasNull = variable.Indicator < 0 || !variable.Data;
  return LastWasNull ? nullptr : &variable;
}

AnsiString TZOracleResultSet::GetColumnAsString(int columnIndex) {
  TZSQLVar* variable = GetColumnVar(columnIndex);
  if (!variable) return AnsiString();
  switch (variable->TypeCode) {
    case SQLT_INT:
      return IntToStr(GetColumnAsInteger(columnIndex));
    case SQLT_FLT:
      return FloatToSqlStr(ReadBuffer<double>(*variable));
    case SQLT_STR:
      return AnsiString(variable->Data, strnlen(variable->Data, static_cast<std::size_t>(variable->Length)));
    case SQLT_TIMESTAMP:
      return DateTimeToAnsiSqlDate(GetColumnAsDateTime(columnIndex));
    case SQLT_LVC:
    case SQLT_LVB: {
      auto length = ReadBuffer<std::uint32_t>(*variable);
      if (length > static_cast<std::uint32_t>(variable->Length - 4)) throw ERangeError(SRangeError);
      return BufferToStr(variable->Data + 4, static_cast<int>(length));
    }
    case SQLT_CLOB:
    case SQLT_BLOB:
      return GetBlob(columnIndex)->GetString();
    default:
      return AnsiString();
  }
}

std::int64_t TZOracleResultSet::GetColumnAsInteger(int columnIndex) {
  TZSQLVar* variable = GetColumnVar(columnIndex);
  if (!variable) return 0;
  long double value;
  switch (variable->TypeCode) {
    case SQLT_INT:
      return variable->Length == 8 ? ReadBuffer<std::int64_t>(*variable) : ReadBuffer<std::int32_t>(*variable);
    case SQLT_FLT:
      value = ReadBuffer<double>(*variable);
      break;
    default:
      value = SqlStrToFloatDef(GetColumnAsString(columnIndex), 0);
  }
  value = std::trunc(value);
  if (!(value >= -9.2233720368547758e18L && value < 9.2233720368547758e18L)) throw ERangeError(SRangeError);
  return static_cast<std::int64_t>(value);
}

long double TZOracleResultSet::GetColumnAsDouble(int columnIndex) {
  TZSQLVar* variable = GetColumnVar(columnIndex);
  if (!variable) return 0;
  switch (variable->TypeCode) {
    case SQLT_INT:
      return static_cast<long double>(GetColumnAsInteger(columnIndex));
    case SQLT_FLT:
      return ReadBuffer<double>(*variable);
    default:
      return SqlStrToFloatDef(GetColumnAsString(columnIndex), 0);
  }
}

TDateTime TZOracleResultSet::GetColumnAsDateTime(int columnIndex) {
  TZSQLVar* variable = GetColumnVar(columnIndex);
  if (!variable) return 0;
  if (variable->TypeCode != SQLT_TIMESTAMP) return AnsiSqlDateToDateTime(GetColumnAsString(columnIndex));
  auto* value = static_cast<OCIDateTime*>(StoredPointer(*variable));
  OCIEnv* environment = connection_->GetEnvironmentHandle();
  TDateTime result = 0;
  if (variable->ColType == stDate || variable->ColType == stTimestamp) {
    sb2 year = 0;
    ub1 month = 0, day = 0;
    if (plainDriver_->OCIDateTimeGetDate(environment, errorHandle_, value, &year, &month, &day) == OCI_SUCCESS)
      result = EncodeDate(year, month, day);
  }
  if (variable->ColType == stTime || variable->ColType == stTimestamp) {
    ub1 hour = 0, minute = 0, second = 0;
    ub4 fraction = 0;
    if (plainDriver_->OCIDateTimeGetTime(environment, errorHandle_, value, &hour, &minute, &second, &fraction) ==
        OCI_SUCCESS) {
      // The fraction is in nanoseconds, as the parameters write it.
      TDateTime time = EncodeTime(hour, minute, second, static_cast<int>(fraction / kNanosecondsPerMillisecond));
      result = result < 0 ? result - time : result + time;
    }
  }
  return result;
}

AnsiString TZOracleResultSet::GetString(int columnIndex) {
  CheckColumnConversion(columnIndex, stString);
  return GetColumnAsString(columnIndex);
}

bool TZOracleResultSet::GetBoolean(int columnIndex) {
  CheckColumnConversion(columnIndex, stBoolean);
  AnsiString text = GetColumnAsString(columnIndex);
  return StrToIntDef(text, 0) != 0 || StrToBoolEx(text);
}

std::int8_t TZOracleResultSet::GetByte(int columnIndex) {
  CheckColumnConversion(columnIndex, stByte);
  return static_cast<std::int8_t>(GetColumnAsInteger(columnIndex));
}

std::int16_t TZOracleResultSet::GetShort(int columnIndex) {
  CheckColumnConversion(columnIndex, stShort);
  return static_cast<std::int16_t>(GetColumnAsInteger(columnIndex));
}

int TZOracleResultSet::GetInt(int columnIndex) {
  CheckColumnConversion(columnIndex, stInteger);
  return CheckedNarrow<std::int32_t>(GetColumnAsInteger(columnIndex));
}

std::int64_t TZOracleResultSet::GetLong(int columnIndex) {
  CheckColumnConversion(columnIndex, stLong);
  return GetColumnAsInteger(columnIndex);
}

float TZOracleResultSet::GetFloat(int columnIndex) {
  CheckColumnConversion(columnIndex, stFloat);
  return static_cast<float>(GetColumnAsDouble(columnIndex));
}

double TZOracleResultSet::GetDouble(int columnIndex) {
  CheckColumnConversion(columnIndex, stDouble);
  return static_cast<double>(GetColumnAsDouble(columnIndex));
}

long double TZOracleResultSet::GetBigDecimal(int columnIndex) {
  CheckColumnConversion(columnIndex, stBigDecimal);
  return GetColumnAsDouble(columnIndex);
}

TByteDynArray TZOracleResultSet::GetBytes(int columnIndex) {
  CheckColumnConversion(columnIndex, stBytes);
  return StrToBytes(GetColumnAsString(columnIndex));
}

TDateTime TZOracleResultSet::GetDate(int columnIndex) {
  CheckColumnConversion(columnIndex, stDate);
  return std::trunc(GetColumnAsDateTime(columnIndex));
}

TDateTime TZOracleResultSet::GetTime(int columnIndex) {
  CheckColumnConversion(columnIndex, stTime);
  TDateTime value = GetColumnAsDateTime(columnIndex);
  return value - std::trunc(value);
}

TDateTime TZOracleResultSet::GetTimestamp(int columnIndex) {
  CheckColumnConversion(columnIndex, stTimestamp);
  return GetColumnAsDateTime(columnIndex);
}

Ref<IZBlob> TZOracleResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  TZSQLVar* present = GetColumnVar(columnIndex);
  TZSQLVar& variable = outVars_->Variable(columnIndex);
  if (variable.TypeCode == SQLT_CLOB || variable.TypeCode == SQLT_BLOB) {
    auto* locator = present ? static_cast<OCILobLocator*>(StoredPointer(variable)) : nullptr;
    return MakeRef<TZOracleBlob>(plainDriver_, connection_, locator, variable.ColType == stBinaryStream);
  }
  if (!present) return MakeRef<TZAbstractBlob>();
  TStringStream stream(GetColumnAsString(columnIndex));
  return MakeRef<TZAbstractBlob>(&stream);
}

// --- TZOracleBlob

TZOracleBlob::TZOracleBlob(Ref<IZOraclePlainDriver> plainDriver, Ref<IZOracleConnection> connection,
                           OCILobLocator* locator, bool binary)
    : plainDriver_(std::move(plainDriver)), connection_(std::move(connection)), locator_(locator), binary_(binary) {}

TZOracleBlob::~TZOracleBlob() {
  if (temporary_)
    plainDriver_->OCILobFreeTemporary(connection_->GetContextHandle(), connection_->GetErrorHandle(), locator_);
}

void TZOracleBlob::Check(sword status, const char* logText) {
  CheckOracleStatus(plainDriver_.get(), connection_->GetErrorHandle(), status, lcOther, logText);
}

void TZOracleBlob::ReadBlob() {
  if (Updated || !locator_ || BlobSize >= 0 || temporary_) return;
  OCISvcCtx* context = connection_->GetContextHandle();
  OCIError* error = connection_->GetErrorHandle();
  Check(plainDriver_->OCILobOpen(context, error, locator_, OCI_LOB_READONLY), "Open Large Object");
  TMemoryStream stream;
  char buffer[kLobPieceSize];
  ub4 offset = 1, amount;
  try {
    // A read at the end answers OCI_NO_DATA: the end of an empty LOB or of
    // one whose length is a multiple of the piece.
    do {
      amount = kLobPieceSize;
      const sword status = plainDriver_->OCILobRead(context, error, locator_, &amount, offset, buffer,
                                                    kLobPieceSize, nullptr, nullptr, 0, SQLCS_IMPLICIT);
      if (status == OCI_NO_DATA) break;
      Check(status, "Read Large Object");
      if (amount > 0) stream.Write(buffer, static_cast<int>(amount));
      offset += kLobPieceSize;
    } while (amount >= kLobPieceSize);
  } catch (...) {
    // An open LOB left behind would fail every later row of the cursor.
    plainDriver_->OCILobClose(context, error, locator_);
    throw;
  }
  Check(plainDriver_->OCILobClose(context, error, locator_), "Close Large Object");
  stream.SetPosition(0);
  SetStream(&stream);
}

bool TZOracleBlob::IsEmpty() {
  ReadBlob();
  return TZAbstractBlob::IsEmpty();
}

// Without this an unread LOB answered -1, as if it held nothing.
int TZOracleBlob::GetLength() {
  ReadBlob();
  return TZAbstractBlob::GetLength();
}

AnsiString TZOracleBlob::GetString() {
  ReadBlob();
  return TZAbstractBlob::GetString();
}

std::unique_ptr<TStream> TZOracleBlob::GetStream() {
  ReadBlob();
  return TZAbstractBlob::GetStream();
}

Ref<IZBlob> TZOracleBlob::Clone() {
  auto copy = MakeRef<TZOracleBlob>(plainDriver_, connection_, locator_, binary_);
  copy->BlobData = BlobData;
  copy->BlobSize = BlobSize;
  return copy;
}

void TZOracleBlob::CreateBlob() {
  Check(plainDriver_->OCILobCreateTemporary(connection_->GetContextHandle(), connection_->GetErrorHandle(), locator_,
                                            0, 0, binary_ ? OCI_TEMP_BLOB : OCI_TEMP_CLOB, 0, OCI_DURATION_SESSION),
        "Create Large Object");
  temporary_ = true;
}

void TZOracleBlob::WriteBlob() {
  OCISvcCtx* context = connection_->GetContextHandle();
  OCIError* error = connection_->GetErrorHandle();
  Check(plainDriver_->OCILobOpen(context, error, locator_, OCI_LOB_READWRITE), "Open Large Object");
  sword status;
  if (BlobSize > 0) {
    auto amount = static_cast<ub4>(BlobSize);
    status = plainDriver_->OCILobWrite(context, error, locator_, &amount, 1, BlobData.data(), amount, OCI_ONE_PIECE,
                                       nullptr, nullptr, 0, SQLCS_IMPLICIT);
  } else {
    status = plainDriver_->OCILobTrim(context, error, locator_, 0);
  }
  Check(status, "Write Large Object");
  Check(plainDriver_->OCILobClose(context, error, locator_), "Close Large Object");
}

// Common statement behaviour: settings, batches, the last result set, typed
// parameter values and output parameters (see abstract_statement.h).

#include "sql/core/dbc/abstract_statement.h"

#include <utility>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

// --- TZAbstractStatement

TZAbstractStatement::TZAbstractStatement(Ref<IZConnection> connection, TStrings* properties)
    : Connection(std::move(connection)), Properties(std::make_unique<TStringList>()) {
  if (properties) Properties->AddStrings(properties);
}

TZAbstractStatement::~TZAbstractStatement() = default;

void TZAbstractStatement::BeforeDestruction() {
  try {
    Close();
  } catch (...) {
    // Nobody is left to hear of a failed close; the object goes anyway.
  }
  TZAbstractObject::BeforeDestruction();
}

int TZAbstractStatement::Release() {
  const int left = TZAbstractObject::Release();
  if (left <= 0 || left != resultSetHolds_) return left;
  // Kept whole while its results let go of it; the last release goes past
  // this check, so it cannot come back here.
  AddRef();
  ReleaseResults();
  return TZAbstractObject::Release();
}

void TZAbstractStatement::ReleaseResults() { Ref<IZResultSet> last = std::move(LastResultSet); }

void TZAbstractStatement::RaiseUnsupportedException() { throw EZSQLException(SZUnsupportedOperation); }

void TZAbstractStatement::SetLastResultSet(const Ref<IZResultSet>& resultSet) {
  // Moved out first: closing the old result set lets go of this statement.
  Ref<IZResultSet> previous = std::move(LastResultSet);
  LastResultSet = resultSet;
  if (previous && previous != resultSet) previous->Close();
}

Ref<IZResultSet> TZAbstractStatement::ExecuteQuery(const AnsiString&) { RaiseUnsupportedException(); }
int TZAbstractStatement::ExecuteUpdate(const AnsiString&) { RaiseUnsupportedException(); }
void TZAbstractStatement::Cancel() { RaiseUnsupportedException(); }

void TZAbstractStatement::Close() {
  SetLastResultSet(nullptr);
  Closed = true;
}

bool TZAbstractStatement::Execute(const AnsiString&) {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  return false;
}

TZIntegerDynArray TZAbstractStatement::ExecuteBatch() {
  TZIntegerDynArray counts;
  counts.reserve(BatchQueries.size());
  for (const AnsiString& sql : BatchQueries) counts.push_back(ExecuteUpdate(sql));
  ClearBatch();
  return counts;
}

TStrings* TZAbstractStatement::GetProperties() { return Properties.get(); }

// --- TZStatementHold

TZStatementHold::TZStatementHold(const Ref<IZStatement>& statement)
    : statement_(statement), counted_(dynamic_cast<TZAbstractStatement*>(statement.get())) {
  if (counted_) ++counted_->resultSetHolds_;
}

void TZStatementHold::Reset() {
  Ref<IZStatement> statement = std::move(statement_);
  if (counted_) --std::exchange(counted_, nullptr)->resultSetHolds_;
}

// --- TZAbstractPreparedStatement

TZAbstractPreparedStatement::TZAbstractPreparedStatement(Ref<IZConnection> connection, const AnsiString& sql,
                                                         TStrings* properties)
    : TZAbstractStatement(std::move(connection), properties), SQL(sql) {}

TZAbstractPreparedStatement::~TZAbstractPreparedStatement() = default;

void TZAbstractPreparedStatement::SetInParamCount(int newCount) {
  InParamValues.resize(newCount);
  InParamTypes.resize(newCount, stUnknown);
  InParamDefaultValues.resize(newCount);
  InParamCount = newCount;
}

void TZAbstractPreparedStatement::EnsureInParam(int parameterIndex) {
  if (parameterIndex < 1) throw ERangeError(SRangeError);
  if (parameterIndex > InParamCount) SetInParamCount(parameterIndex);
}

void TZAbstractPreparedStatement::SetInParam(int parameterIndex, TZSQLType sqlType, const TZVariant& value) {
  EnsureInParam(parameterIndex);
  InParamTypes[parameterIndex - 1] = sqlType;
  InParamValues[parameterIndex - 1] = DefaultVarManager()->Clone(value);
}

void TZAbstractPreparedStatement::SetDefaultValue(int parameterIndex, const AnsiString& value) {
  EnsureInParam(parameterIndex);
  InParamDefaultValues[parameterIndex - 1] = value;
}

Ref<IZResultSet> TZAbstractPreparedStatement::ExecuteQueryPrepared() { RaiseUnsupportedException(); }
int TZAbstractPreparedStatement::ExecuteUpdatePrepared() { RaiseUnsupportedException(); }
bool TZAbstractPreparedStatement::ExecutePrepared() { RaiseUnsupportedException(); }
Ref<IZResultSetMetadata> TZAbstractPreparedStatement::GetMetadata() { RaiseUnsupportedException(); }

namespace {

// A value built with the strict manager, as every typed setter stores it.
template <class T, class Setter>
TZVariant Make(Setter set, T data) {
  TZVariant value;
  ((*DefaultVarManager()).*set)(value, data);
  return value;
}

}  // namespace

void TZAbstractPreparedStatement::SetNull(int parameterIndex, TZSQLType sqlType) {
  SetInParam(parameterIndex, sqlType, NullVariant());
}
void TZAbstractPreparedStatement::SetBoolean(int parameterIndex, bool value) {
  SetInParam(parameterIndex, stBoolean, Make(&IZVariantManager::SetAsBoolean, value));
}
void TZAbstractPreparedStatement::SetByte(int parameterIndex, std::int8_t value) {
  SetInParam(parameterIndex, stByte, Make<std::int64_t>(&IZVariantManager::SetAsInteger, value));
}
void TZAbstractPreparedStatement::SetShort(int parameterIndex, std::int16_t value) {
  SetInParam(parameterIndex, stShort, Make<std::int64_t>(&IZVariantManager::SetAsInteger, value));
}
void TZAbstractPreparedStatement::SetInt(int parameterIndex, int value) {
  SetInParam(parameterIndex, stInteger, Make<std::int64_t>(&IZVariantManager::SetAsInteger, value));
}
void TZAbstractPreparedStatement::SetLong(int parameterIndex, std::int64_t value) {
  SetInParam(parameterIndex, stLong, Make(&IZVariantManager::SetAsInteger, value));
}
void TZAbstractPreparedStatement::SetFloat(int parameterIndex, float value) {
  SetInParam(parameterIndex, stFloat, Make<long double>(&IZVariantManager::SetAsFloat, value));
}
void TZAbstractPreparedStatement::SetDouble(int parameterIndex, double value) {
  SetInParam(parameterIndex, stDouble, Make<long double>(&IZVariantManager::SetAsFloat, value));
}
void TZAbstractPreparedStatement::SetBigDecimal(int parameterIndex, long double value) {
  SetInParam(parameterIndex, stBigDecimal, Make(&IZVariantManager::SetAsFloat, value));
}
void TZAbstractPreparedStatement::SetPChar(int parameterIndex, const char* value) {
  SetString(parameterIndex, value ? AnsiString(value) : AnsiString());
}
void TZAbstractPreparedStatement::SetString(int parameterIndex, const AnsiString& value) {
  SetInParam(parameterIndex, stString, Make<const AnsiString&>(&IZVariantManager::SetAsString, value));
}
void TZAbstractPreparedStatement::SetUnicodeString(int parameterIndex, const WideString& value) {
  SetInParam(parameterIndex, stUnicodeString,
             Make<const WideString&>(&IZVariantManager::SetAsUnicodeString, value));
}
void TZAbstractPreparedStatement::SetBytes(int parameterIndex, const TByteDynArray& value) {
  SetInParam(parameterIndex, stBytes, Make<const AnsiString&>(&IZVariantManager::SetAsString, BytesToStr(value)));
}
void TZAbstractPreparedStatement::SetDate(int parameterIndex, TDateTime value) {
  SetInParam(parameterIndex, stDate, Make(&IZVariantManager::SetAsDateTime, value));
}
void TZAbstractPreparedStatement::SetTime(int parameterIndex, TDateTime value) {
  SetInParam(parameterIndex, stTime, Make(&IZVariantManager::SetAsDateTime, value));
}
void TZAbstractPreparedStatement::SetTimestamp(int parameterIndex, TDateTime value) {
  SetInParam(parameterIndex, stTimestamp, Make(&IZVariantManager::SetAsDateTime, value));
}

void TZAbstractPreparedStatement::SetAsciiStream(int parameterIndex, TStream* value) {
  SetBlob(parameterIndex, stAsciiStream, MakeRef<TZAbstractBlob>(value));
}
void TZAbstractPreparedStatement::SetUnicodeStream(int parameterIndex, TStream* value) {
  SetBlob(parameterIndex, stUnicodeStream, MakeRef<TZAbstractBlob>(value));
}
void TZAbstractPreparedStatement::SetBinaryStream(int parameterIndex, TStream* value) {
  SetBlob(parameterIndex, stBinaryStream, MakeRef<TZAbstractBlob>(value));
}

void TZAbstractPreparedStatement::SetBlob(int parameterIndex, TZSQLType sqlType, const Ref<IZBlob>& value) {
  if (!IsStreamSQLType(sqlType)) throw EZSQLException(SZWrongTypeForBlobParameter);
  SetInParam(parameterIndex, sqlType, Make<const Ref<IZInterface>&>(&IZVariantManager::SetAsInterface, value));
}

void TZAbstractPreparedStatement::SetValue(int parameterIndex, const TZVariant& value) {
  TZSQLType sqlType;
  switch (value.VType) {
    case vtBoolean: sqlType = stBoolean; break;
    case vtInteger: sqlType = stLong; break;
    case vtFloat: sqlType = stBigDecimal; break;
    case vtUnicodeString: sqlType = stUnicodeString; break;
    case vtDateTime: sqlType = stTimestamp; break;
    default: sqlType = stString; break;
  }
  SetInParam(parameterIndex, sqlType, value);
}

void TZAbstractPreparedStatement::ClearParameters() { SetInParamCount(0); }

// --- TZAbstractCallableStatement

TZAbstractCallableStatement::TZAbstractCallableStatement(Ref<IZConnection> connection, const AnsiString& sql,
                                                         TStrings* properties)
    : TZAbstractPreparedStatement(std::move(connection), sql, properties) {}

void TZAbstractCallableStatement::SetOutParamCount(int newCount) {
  OutParamValues.resize(newCount);
  OutParamTypes.resize(newCount, stUnknown);
  OutParamCount = newCount;
}

TZVariant TZAbstractCallableStatement::GetOutParam(int parameterIndex) {
  if (parameterIndex < 1 || parameterIndex > static_cast<int>(OutParamValues.size())) {
    LastWasNull = true;
    return TZVariant();
  }
  TZVariant value = DefaultVarManager()->Clone(OutParamValues[parameterIndex - 1]);
  LastWasNull = DefaultVarManager()->IsNull(value);
  return value;
}

void TZAbstractCallableStatement::RegisterOutParameter(int parameterIndex, int sqlType) {
  if (parameterIndex < 1) throw ERangeError(SRangeError);
  SetOutParamCount(parameterIndex);
  OutParamTypes[parameterIndex - 1] = static_cast<TZSQLType>(sqlType);
}

bool TZAbstractCallableStatement::IsNull(int parameterIndex) {
  GetOutParam(parameterIndex);
  return LastWasNull;
}

const char* TZAbstractCallableStatement::GetPChar(int parameterIndex) {
  TemporaryString = GetString(parameterIndex);
  return TemporaryString.c_str();
}

AnsiString TZAbstractCallableStatement::GetString(int parameterIndex) {
  return SoftVarManager()->GetAsString(GetOutParam(parameterIndex));
}
WideString TZAbstractCallableStatement::GetUnicodeString(int parameterIndex) {
  return SoftVarManager()->GetAsUnicodeString(GetOutParam(parameterIndex));
}
bool TZAbstractCallableStatement::GetBoolean(int parameterIndex) {
  return SoftVarManager()->GetAsBoolean(GetOutParam(parameterIndex));
}
std::int8_t TZAbstractCallableStatement::GetByte(int parameterIndex) {
  return static_cast<std::int8_t>(GetLong(parameterIndex));
}
std::int16_t TZAbstractCallableStatement::GetShort(int parameterIndex) {
  return static_cast<std::int16_t>(GetLong(parameterIndex));
}
int TZAbstractCallableStatement::GetInt(int parameterIndex) { return static_cast<int>(GetLong(parameterIndex)); }
std::int64_t TZAbstractCallableStatement::GetLong(int parameterIndex) {
  return SoftVarManager()->GetAsInteger(GetOutParam(parameterIndex));
}
float TZAbstractCallableStatement::GetFloat(int parameterIndex) {
  return static_cast<float>(GetBigDecimal(parameterIndex));
}
double TZAbstractCallableStatement::GetDouble(int parameterIndex) {
  return static_cast<double>(GetBigDecimal(parameterIndex));
}
long double TZAbstractCallableStatement::GetBigDecimal(int parameterIndex) {
  return SoftVarManager()->GetAsFloat(GetOutParam(parameterIndex));
}
TByteDynArray TZAbstractCallableStatement::GetBytes(int parameterIndex) {
  return StrToBytes(GetString(parameterIndex));
}
TDateTime TZAbstractCallableStatement::GetDate(int parameterIndex) { return GetTimestamp(parameterIndex); }
TDateTime TZAbstractCallableStatement::GetTime(int parameterIndex) { return GetTimestamp(parameterIndex); }
TDateTime TZAbstractCallableStatement::GetTimestamp(int parameterIndex) {
  return SoftVarManager()->GetAsDateTime(GetOutParam(parameterIndex));
}
TZVariant TZAbstractCallableStatement::GetValue(int parameterIndex) { return GetOutParam(parameterIndex); }

void TZAbstractCallableStatement::ClearParameters() {
  TZAbstractPreparedStatement::ClearParameters();
  SetOutParamCount(0);
}

void TZAbstractCallableStatement::TrimInParameters() {
  TZVariantDynArray values;
  TZSQLTypeArray types;
  for (int i = 0; i < InParamCount; ++i) {
    if (InParamTypes[static_cast<std::size_t>(i)] == stUnknown) continue;
    values.push_back(InParamValues[static_cast<std::size_t>(i)]);
    types.push_back(InParamTypes[static_cast<std::size_t>(i)]);
  }
  if (static_cast<int>(values.size()) == InParamCount) return;
  InParamValues = std::move(values);
  InParamTypes = std::move(types);
  SetInParamCount(static_cast<int>(InParamValues.size()));
}

AnsiString TZAbstractCallableStatement::InParameterMarkers() const {
  AnsiString markers;
  for (int i = 0; i < static_cast<int>(InParamValues.size()); ++i) markers += i == 0 ? "?" : ",?";
  return markers.empty() ? markers : "(" + markers + ")";
}

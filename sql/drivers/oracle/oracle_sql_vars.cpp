// The SQL variable block and its routines. A descriptor kept in a value
// buffer takes the buffer's first pointer-sized bytes.

#include "sql/drivers/oracle/oracle_sql_vars.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_result_set.h"
#include "sql/drivers/oracle/oracle_utils.h"

namespace {

constexpr int kMaxDataSize = 65535;
constexpr int kLongDataDefaultSize = 128 * 1024;
constexpr int kLongDataLengthPrefix = 4;
constexpr int kDescriptorSize = static_cast<int>(sizeof(void*));
constexpr int kIntegerSize = 4;
constexpr int kLongIntegerSize = 8;
constexpr int kFloatSize = 8;
constexpr ub4 kNanosecondsPerMillisecond = 1000000;

bool IsLobCode(ub2 typeCode) { return typeCode == SQLT_CLOB || typeCode == SQLT_BLOB; }

// The descriptor type a variable's buffer holds; 0 for a plain value.
ub4 DescriptorType(ub2 typeCode) {
  if (IsLobCode(typeCode)) return OCI_DTYPE_LOB;
  if (typeCode == SQLT_TIMESTAMP) return OCI_DTYPE_TIMESTAMP;
  return 0;
}

void* StoredDescriptor(const TZSQLVar& variable) {
  void* descriptor = nullptr;
  std::memcpy(&descriptor, variable.Buffer.get(), sizeof descriptor);
  return descriptor;
}

// Type code and buffer length for a stream type: a LOB when asked for one,
// else long data with its 4-byte length prefix.
int StreamLength(TZSQLVar& variable, ub2 longCode) {
  if (IsLobCode(variable.TypeCode)) return kDescriptorSize;
  variable.TypeCode = longCode;
  return variable.DataSize == 0 ? kLongDataDefaultSize + kLongDataLengthPrefix
                                : variable.DataSize + kLongDataLengthPrefix;
}

// The buffer length for sqlType, adjusting the type code; -1 for no buffer
// at all (an unknown column type).
int BufferLength(TZSQLVar& variable, TZSQLType sqlType) {
  switch (sqlType) {
    case stUnknown:
      return -1;
    case stByte:
    case stShort:
    case stInteger:
      variable.TypeCode = SQLT_INT;
      return kIntegerSize;
    case stLong:
      variable.TypeCode = SQLT_INT;
      return kLongIntegerSize;
    case stFloat:
    case stDouble:
      variable.TypeCode = SQLT_FLT;
      return kFloatSize;
    case stString:
      variable.TypeCode = SQLT_STR;
      return variable.DataSize + 1;
    case stDate:
    case stTime:
    case stTimestamp:
      variable.TypeCode = SQLT_TIMESTAMP;
      return kDescriptorSize;
    case stAsciiStream:
      return StreamLength(variable, SQLT_LVC);
    case stBinaryStream:
      return StreamLength(variable, SQLT_LVB);
    default:
      // Booleans, decimals, wide texts and bytes keep their code and get no
      // buffer: they can only be sent as NULL.
      return 0;
  }
}

void StoreInteger(TZSQLVar& variable, std::int64_t value) {
  if (variable.Length == kLongIntegerSize) {
    std::memcpy(variable.Data, &value, sizeof value);
    return;
  }
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
    throw ERangeError(SRangeError);
  auto narrow = static_cast<std::int32_t>(value);
  std::memcpy(variable.Data, &narrow, sizeof narrow);
}

void StoreFloat(TZSQLVar& variable, long double value) {
  auto wide = static_cast<double>(value);
  std::memcpy(variable.Data, &wide, sizeof wide);
}

// Copies text with its NUL; a text that does not fit gets a buffer of its
// own size, bound again so the client reads that one.
void StoreText(IZOraclePlainDriver* plainDriver, OCIStmt* handle, OCIError* errorHandle, int position,
               TZSQLVar& variable, const AnsiString& text) {
  if (text.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) throw ERangeError(SRangeError);
  const int needed = static_cast<int>(text.size()) + 1;
  if (needed > variable.Length) {
    variable.Buffer = std::make_unique<char[]>(needed);
    variable.Data = variable.Buffer.get();
    variable.Length = needed;
    BindParamVar(plainDriver, handle, errorHandle, position, variable, AnsiString());
  }
  std::memcpy(variable.Data, text.c_str(), needed);
}

void StoreTimestamp(IZOraclePlainDriver* plainDriver, IZConnection* connection, OCIError* errorHandle,
                    TZSQLVar& variable, TDateTime value) {
  int year, month, day, hour, minute, second, millisecond;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, millisecond);
  Ref<IZOracleConnection> oracle = Query<IZOracleConnection>(Ref<IZConnection>(connection));
  sword status = plainDriver->OCIDateTimeConstruct(
      oracle->GetEnvironmentHandle(), errorHandle, static_cast<OCIDateTime*>(StoredDescriptor(variable)),
      static_cast<sb2>(year), static_cast<ub1>(month), static_cast<ub1>(day), static_cast<ub1>(hour),
      static_cast<ub1>(minute), static_cast<ub1>(second), static_cast<ub4>(millisecond) * kNanosecondsPerMillisecond,
      nullptr, 0);
  CheckOracleStatus(plainDriver, errorHandle, status, lcOther, AnsiString());
}

// Writes the value into a new temporary LOB on the variable's locator; the
// variable keeps the LOB until the reset.
void StoreLob(IZOraclePlainDriver* plainDriver, IZConnection* connection, TZSQLVar& variable,
              const TZVariant& value) {
  Ref<IZBlob> source = value.VType == vtInterface ? Query<IZBlob>(value.VInterface) : nullptr;
  auto lob = MakeRef<TZOracleBlob>(Ref<IZOraclePlainDriver>(plainDriver),
                                   Query<IZOracleConnection>(Ref<IZConnection>(connection)),
                                   static_cast<OCILobLocator*>(StoredDescriptor(variable)),
                                   variable.TypeCode == SQLT_BLOB);
  lob->SetString(source ? source->GetString() : DefaultVarManager()->GetAsString(value));
  lob->CreateBlob();
  variable.Blob = lob;
  lob->WriteBlob();
}

}  // namespace

TZSQLVar& TZSQLVars::Variable(int index) {
  if (index < 1 || index > AllocNum) throw ERangeError(SRangeError);
  return Variables[index - 1];
}

void AllocateVarBlock(std::unique_ptr<TZSQLVars>& block, int count) {
  if (count < 0 || count > kMaxSQLVars) throw ERangeError(SRangeError);
  block = std::make_unique<TZSQLVars>();
  block->AllocNum = count;
  block->Variables.resize(count);
}

void FreeVarBlock(IZOraclePlainDriver* plainDriver, std::unique_ptr<TZSQLVars>& block) {
  if (!block) return;
  for (int i = 1; i <= block->ActualNum; ++i) {
    TZSQLVar& variable = block->Variable(i);
    // A temporary LOB is freed while its locator still exists.
    variable.Blob = nullptr;
    // The buffer, not Data: a NULL parameter still owns its descriptor.
    if (!variable.Buffer) continue;
    ub4 type = DescriptorType(variable.TypeCode);
    void* descriptor = type ? StoredDescriptor(variable) : nullptr;
    if (descriptor) plainDriver->OCIDescriptorFree(descriptor, type);
    variable.Buffer.reset();
    variable.Data = nullptr;
  }
  block.reset();
}

void PrepareVar(IZOraclePlainDriver* plainDriver, IZConnection* connection, TZSQLVar& variable, TZSQLType sqlType,
                ub2 typeCode, int dataSize) {
  if (dataSize < 0 || dataSize > kMaxDataSize) throw ERangeError(SRangeError);
  variable.ColType = sqlType;
  variable.TypeCode = typeCode;
  variable.DataSize = static_cast<ub2>(dataSize);
  const int length = BufferLength(variable, sqlType);
  if (length < 0) return;
  variable.Length = length;
  variable.Buffer = length > 0 ? std::make_unique<char[]>(length) : nullptr;
  variable.Data = variable.Buffer.get();

  ub4 descriptorType = DescriptorType(variable.TypeCode);
  if (!descriptorType) return;
  Ref<IZOracleConnection> oracle = Query<IZOracleConnection>(Ref<IZConnection>(connection));
  plainDriver->OCIDescriptorAlloc(oracle->GetEnvironmentHandle(), reinterpret_cast<void**>(variable.Data),
                                  descriptorType, 0, nullptr);
}

void BindParamVar(IZOraclePlainDriver* plainDriver, OCIStmt* handle, OCIError* errorHandle, int position,
                  TZSQLVar& variable, const AnsiString& logMessage) {
  sword status = plainDriver->OCIBindByPos(handle, &variable.BindHandle, errorHandle, static_cast<ub4>(position),
                                           variable.Data, variable.Length, variable.TypeCode, &variable.Indicator,
                                           nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  CheckOracleStatus(plainDriver, errorHandle, status, lcExecute, logMessage);
}

void LoadParamVars(IZOraclePlainDriver* plainDriver, IZConnection* connection, OCIStmt* handle,
                   OCIError* errorHandle, const TZVariantDynArray& values, TZSQLVars& block) {
  if (values.size() < static_cast<std::size_t>(block.ActualNum))
    throw EZSQLException(SZInvalidInputParameterCount);
  const IZVariantManager& manager = *DefaultVarManager();
  for (int i = 1; i <= block.ActualNum; ++i) {
    TZSQLVar& variable = block.Variable(i);
    const TZVariant& value = values[i - 1];
    if (manager.IsNull(value)) {
      variable.Indicator = -1;
      variable.Data = nullptr;
      continue;
    }
    // A type without a buffer has nowhere to put a value.
    if (!variable.Buffer) throw EZSQLException(SZUnsupportedParameterType);
    variable.Indicator = 0;
    switch (variable.TypeCode) {
      case SQLT_INT:
        StoreInteger(variable, manager.GetAsInteger(value));
        break;
      case SQLT_FLT:
        StoreFloat(variable, manager.GetAsFloat(value));
        break;
      case SQLT_STR:
        StoreText(plainDriver, handle, errorHandle, i, variable, manager.GetAsString(value));
        break;
      case SQLT_TIMESTAMP:
        StoreTimestamp(plainDriver, connection, errorHandle, variable, manager.GetAsDateTime(value));
        break;
      case SQLT_CLOB:
      case SQLT_BLOB:
        StoreLob(plainDriver, connection, variable, value);
        break;
      default:
        break;
    }
  }
}

void ResetParamVars(TZSQLVars& block) {
  for (int i = 1; i <= block.ActualNum; ++i) {
    TZSQLVar& variable = block.Variable(i);
    variable.Blob = nullptr;
    variable.Data = variable.Buffer.get();
  }
}

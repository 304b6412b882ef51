// The descriptor area: buffers, declared types, the typed setters and
// getters and the piecewise reading of long values.

#include "sql/drivers/asa/asa_sqlda.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_utils.h"

namespace {

constexpr char kNotInitialized[] = "SQLDA not initialized.";
constexpr char kOutOfRange[] = "Out of Range.";
constexpr char kNoMemory[] = "No memory for variable in SQLDA.";
constexpr char kBlobNotInitialized[] = "Blob Record is not correctly initialized";
constexpr char kNotEnoughMemory[] = "Not enough memory for SQLDA";

// The client hands out long values in pieces of at most this many bytes.
constexpr int kBlobPiece = 32700;
// Texts and binaries this long or longer travel as long values.
constexpr std::size_t kLongFrom = 256;
constexpr int kLongHeader = 16;
constexpr int kVarPrefix = 4;

std::int16_t BaseType(std::int16_t sqlType) { return static_cast<std::int16_t>(sqlType & ~1); }
bool IsLongType(std::int16_t sqlType) {
  return BaseType(sqlType) == DT_LONGVARCHAR || BaseType(sqlType) == DT_LONGBINARY;
}

[[noreturn]] void RangeError() { throw ERangeError(SRangeError); }

template <class T>
T Read(const SQLVAR& var) {
  T value;
  std::memcpy(&value, var.sqldata, sizeof value);
  return value;
}

template <class T>
void Write(SQLVAR& var, T value) {
  std::memcpy(var.sqldata, &value, sizeof value);
  if (var.sqlind) *var.sqlind = 0;
}

LONGVARCHAR* LongHeader(const SQLVAR& var) { return static_cast<LONGVARCHAR*>(var.sqldata); }

// The text of a DT_VARCHAR, never longer than its buffer holds.
AnsiString VarText(const SQLVAR& var) {
  const std::uint16_t length = std::min<std::uint16_t>(Read<std::uint16_t>(var), var.sqllen - 2);
  return AnsiString(static_cast<const char*>(var.sqldata) + 2, length);
}

}  // namespace

TZASASQLDA::TZASASQLDA(Ref<IZASAPlainDriver> plainDriver, SQLCA* handle, AnsiString cursorName, int count)
    : plainDriver_(std::move(plainDriver)), handle_(handle), cursorName_(std::move(cursorName)) {
  AllocateSQLDA(count);
}

TZASASQLDA::~TZASASQLDA() { FreeSQLDA(); }

void TZASASQLDA::CreateException(const AnsiString& msg) {
  DriverManager()->LogError(lcOther, plainDriver_->GetProtocol(), "", -1, msg);
  throw EZSQLException(-1, Format(SZSQLError1, {msg}));
}

void TZASASQLDA::ConversionError(int index) {
  CreateException(Format(SZConvertionErrorForField,
                         {GetFieldName(index), ConvertASATypeToString(area_->sqlvar[index].sqltype)}));
}

SQLVAR& TZASASQLDA::CheckIndex(int index) {
  if (!area_) throw EAssertionFailed(kNotInitialized);
  if (index < 0 || index >= area_->sqld) throw EAssertionFailed(kOutOfRange);
  return area_->sqlvar[index];
}

SQLVAR& TZASASQLDA::CheckRange(int index) {
  SQLVAR& var = CheckIndex(index);
  if (!var.sqldata) throw EAssertionFailed(kNoMemory);
  return var;
}

void TZASASQLDA::AllocateSQLDA(int count) {
  FreeSQLDA();
  area_ = plainDriver_->alloc_sqlda(static_cast<unsigned>(count));
  if (!area_) CreateException(kNotEnoughMemory);
  declaredTypes_.assign(area_->sqln, DeclaredType{0, 0});
}

void TZASASQLDA::FreeSQLDA() {
  if (area_) {
    for (int i = 0; i < area_->sqln; ++i) {
      std::free(area_->sqlvar[i].sqldata);
      area_->sqlvar[i].sqldata = nullptr;
    }
    plainDriver_->free_sqlda(area_);
    area_ = nullptr;
  }
  declaredTypes_.clear();
}

void TZASASQLDA::SetFieldType(int index, std::int16_t sqlType, int length, bool updateDeclared) {
  SQLVAR& var = CheckIndex(index);
  const bool isLong = IsLongType(sqlType);
  const std::int16_t base = BaseType(sqlType);
  const int size = isLong ? length + kLongHeader : (base == DT_VARCHAR || base == DT_BINARY) ? length + kVarPrefix
                                                                                              : length;
  // Checked before anything changes, so a refused value leaves the variable as it was.
  if (length < 0 || size > 0xFFFF) RangeError();
  void* buffer = std::realloc(var.sqldata, static_cast<std::size_t>(std::max(size, 1)));
  if (!buffer) CreateException(kNotEnoughMemory);
  var.sqldata = buffer;
  if (isLong) {
    LONGVARCHAR* header = LongHeader(var);
    header->array_len = static_cast<std::uint32_t>(length);
    header->stored_len = 0;
    header->untrunc_len = 0;
    header->array[0] = 0;
  } else if (base == DT_VARCHAR || base == DT_BINARY) {
    Write<std::uint16_t>(var, 0);
  }
  var.sqltype = sqlType;
  var.sqllen = static_cast<std::uint16_t>(size);
  if (updateDeclared) declaredTypes_[index] = {var.sqltype, var.sqllen};
}

void TZASASQLDA::InitFields() {
  for (int i = 0; i < GetFieldCount(); ++i) {
    const SQLVAR& var = area_->sqlvar[i];
    declaredTypes_[i] = {var.sqltype, var.sqllen};
    const std::int16_t nullable = var.sqltype & 1;
    std::int16_t type = var.sqltype;
    int length = var.sqllen;
    switch (BaseType(var.sqltype)) {
      case DT_DATE: case DT_TIME: case DT_TIMESTAMP:
        type = DT_TIMESTAMP_STRUCT;
        length = sizeof(DT_TIMESTAMP_STRUCT_REC);
        break;
      case DT_VARCHAR: case DT_FIXCHAR: case DT_LONGVARCHAR: case DT_STRING:
        type = length >= static_cast<int>(kLongFrom) ? DT_LONGVARCHAR : DT_VARCHAR;
        if (type == DT_LONGVARCHAR) length = 0;
        break;
      case DT_DECIMAL:
        type = DT_DOUBLE;
        length = sizeof(double);
        break;
      case DT_BINARY: case DT_LONGBINARY:
        type = length >= static_cast<int>(kLongFrom) ? DT_LONGBINARY : DT_BINARY;
        if (type == DT_LONGBINARY) length = 0;
        break;
      default:
        break;
    }
    SetFieldType(i, static_cast<std::int16_t>(BaseType(type) | nullable), length, false);
  }
}

int TZASASQLDA::GetFieldCount() { return area_ ? area_->sqld : 0; }
bool TZASASQLDA::IsNullable(int index) { return CheckIndex(index).sqltype & 1; }
bool TZASASQLDA::IsAssigned(int index) { return CheckIndex(index).sqldata != nullptr; }
bool TZASASQLDA::IsNull(int index) {
  const SQLVAR& var = CheckIndex(index);
  return var.sqlind && *var.sqlind < 0;
}

AnsiString TZASASQLDA::GetFieldName(int index) {
  const SQLNAME& name = CheckIndex(index).sqlname;
  const int length = std::clamp<int>(name.length - 1, 0, sizeof name.data);
  return AnsiString(name.data, length);
}

int TZASASQLDA::GetFieldIndex(const AnsiString& name) {
  for (int i = 0; i < GetFieldCount(); ++i)
    if (AnsiSameText(GetFieldName(i), name)) return i;
  CreateException(Format(SZFieldNotFound1, {name}));
}

TZSQLType TZASASQLDA::GetFieldSqlType(int index) {
  const SQLVAR& var = CheckIndex(index);
  if (BaseType(var.sqltype) == DT_TIMESTAMP_STRUCT) return ConvertASATypeToSQLType(declaredTypes_[index].sqlType);
  return ConvertASATypeToSQLType(var.sqltype);
}

// A described decimal keeps its precision and scale in the declared length,
// though its buffer has become a double.
int TZASASQLDA::GetFieldLength(int index) {
  const SQLVAR& var = CheckIndex(index);
  const DeclaredType& declared = declaredTypes_[index];
  if (BaseType(declared.sqlType) == DT_DECIMAL) return (declared.sqlLen & 0xFF) / 2 + 1;
  return var.sqllen;
}

int TZASASQLDA::GetFieldScale(int index) {
  CheckIndex(index);
  const DeclaredType& declared = declaredTypes_[index];
  return BaseType(declared.sqlType) == DT_DECIMAL ? declared.sqlLen >> 8 : 0;
}

bool TZASASQLDA::IsBlob(int index) {
  const TZSQLType type = GetFieldSqlType(index);
  return type == stAsciiStream || type == stUnicodeStream || type == stBinaryStream;
}

// --- setters ---

void TZASASQLDA::UpdateNull(int index, bool isNull) {
  SQLVAR& var = CheckIndex(index);
  if (!var.sqldata) SetFieldType(index, DT_TINYINT + 1, 1, true);
  if (var.sqlind) *var.sqlind = isNull ? -1 : 0;
}

void TZASASQLDA::UpdateBoolean(int index, bool value) {
  SetFieldType(index, DT_BIT + 1, 1, true);
  Write<std::uint8_t>(area_->sqlvar[index], value ? 1 : 0);
}

void TZASASQLDA::UpdateByte(int index, int value) {
  const std::uint8_t byte = CheckedNarrow<std::uint8_t>(value);
  SetFieldType(index, DT_TINYINT + 1, 1, true);
  Write(area_->sqlvar[index], byte);
}

void TZASASQLDA::UpdateShort(int index, std::int16_t value) {
  SetFieldType(index, DT_SMALLINT + 1, 2, true);
  Write(area_->sqlvar[index], value);
}

void TZASASQLDA::UpdateInt(int index, std::int32_t value) {
  SetFieldType(index, DT_INT + 1, 4, true);
  Write(area_->sqlvar[index], value);
}

void TZASASQLDA::UpdateLong(int index, std::int64_t value) {
  SetFieldType(index, DT_BIGINT + 1, 8, true);
  Write(area_->sqlvar[index], value);
}

void TZASASQLDA::UpdateFloat(int index, float value) {
  SetFieldType(index, DT_FLOAT + 1, 4, true);
  Write(area_->sqlvar[index], value);
}

void TZASASQLDA::UpdateDouble(int index, double value) {
  SetFieldType(index, DT_DOUBLE + 1, 8, true);
  Write(area_->sqlvar[index], value);
}

void TZASASQLDA::UpdateBigDecimal(int index, long double value) { UpdateDouble(index, static_cast<double>(value)); }

void TZASASQLDA::StoreBytes(int index, const void* data, std::size_t size, std::int16_t shortType,
                            std::int16_t longType) {
  if (size < kLongFrom) {
    SetFieldType(index, static_cast<std::int16_t>(shortType + 1), kLongFrom - 1, true);
    SQLVAR& var = area_->sqlvar[index];
    Write(var, static_cast<std::uint16_t>(size));
    if (size) std::memcpy(static_cast<char*>(var.sqldata) + 2, data, size);
    return;
  }
  if (size > 0xFFFF) RangeError();
  SetFieldType(index, static_cast<std::int16_t>(longType + 1), static_cast<int>(size), true);
  SQLVAR& var = area_->sqlvar[index];
  LONGVARCHAR* header = LongHeader(var);
  std::memcpy(header->array, data, size);
  header->stored_len = header->untrunc_len = static_cast<std::uint32_t>(size);
  if (var.sqlind) *var.sqlind = 0;
}

void TZASASQLDA::UpdatePChar(int index, const char* value) {
  UpdateString(index, value ? AnsiString(value) : AnsiString());
}

void TZASASQLDA::UpdateString(int index, const AnsiString& value) {
  StoreBytes(index, value.data(), value.size(), DT_VARCHAR, DT_LONGVARCHAR);
}

void TZASASQLDA::UpdateBytes(int index, const TByteDynArray& value) {
  StoreBytes(index, value.data(), value.size(), DT_BINARY, DT_LONGBINARY);
}

void TZASASQLDA::UpdateDateTime(int index, TDateTime value) {
  SetFieldType(index, DT_TIMESTAMP_STRUCT + 1, sizeof(DT_TIMESTAMP_STRUCT_REC), true);
  int year, month, day, hour, minute, second, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  Write(area_->sqlvar[index],
        MakeTimestampRec(year, month, day, hour, minute, second, static_cast<std::uint32_t>(msec) * 1000));
  declaredTypes_[index].sqlType = DT_TIMESTAMP;
}

void TZASASQLDA::UpdateTimestamp(int index, TDateTime value) { UpdateDateTime(index, value); }
void TZASASQLDA::UpdateDate(int index, TDateTime value) {
  UpdateDateTime(index, value);
  declaredTypes_[index].sqlType = DT_DATE;
}
void TZASASQLDA::UpdateTime(int index, TDateTime value) {
  UpdateDateTime(index, value);
  declaredTypes_[index].sqlType = DT_TIME;
}

void TZASASQLDA::UpdateValue(int index, const Variant& value) {
  switch (value.Type()) {
    case varEmpty: case varNull: return UpdateNull(index, true);
    case varSmallint: return UpdateShort(index, static_cast<std::int16_t>(value.AsInteger()));
    case varInteger: return UpdateInt(index, static_cast<std::int32_t>(value.AsInteger()));
    case varSingle: return UpdateFloat(index, static_cast<float>(value.AsFloat()));
    case varDouble: return UpdateDouble(index, value.AsFloat());
    case varCurrency: return UpdateBigDecimal(index, value.AsFloat());
    case varDate: return UpdateDateTime(index, value.AsDateTime());
    case varOleStr: case varString: return UpdateString(index, value.AsString());
    case varBoolean: return UpdateBoolean(index, value.AsBoolean());
    case varByte: return UpdateByte(index, static_cast<int>(value.AsInteger()));
    default: break;
  }
  if (!VarIsArray(value) || VarArrayDimCount(value) != 1) CreateException(SZUnsupportedParameterType);
  TByteDynArray bytes;
  for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i)
    bytes.push_back(CheckedNarrow<std::uint8_t>(VarArrayGet(value, i).AsInteger()));
  UpdateBytes(index, bytes);
}

void TZASASQLDA::WriteBlob(int index, TStream* stream) {
  stream->Seek(0, soBeginning);
  const std::int64_t size = stream->Size();
  if (size > std::numeric_limits<std::int32_t>::max() || size + kLongHeader > 0xFFFF) RangeError();
  SetFieldType(index, DT_LONGBINARY + 1, static_cast<int>(size), true);
  SQLVAR& var = area_->sqlvar[index];
  LONGVARCHAR* header = LongHeader(var);
  stream->ReadBuffer(header->array, size);
  stream->Seek(0, soBeginning);
  header->stored_len = header->untrunc_len = static_cast<std::uint32_t>(size);
  if (var.sqlind) *var.sqlind = 0;
}

// --- getters ---

std::int64_t TZASASQLDA::ReadInteger(int index, SQLVAR& var) {
  switch (BaseType(var.sqltype)) {
    case DT_TINYINT: case DT_BIT: return Read<std::uint8_t>(var);
    case DT_SMALLINT: return Read<std::int16_t>(var);
    case DT_UNSSMALLINT: return Read<std::uint16_t>(var);
    case DT_INT: return Read<std::int32_t>(var);
    case DT_UNSINT: return Read<std::uint32_t>(var);
    case DT_BIGINT: case DT_UNSBIGINT: return Read<std::int64_t>(var);
    case DT_FLOAT: case DT_DOUBLE: {
      const long double value = std::trunc(ReadFloat(index, var));
      if (!(value >= -0x1p63L && value < 0x1p63L)) RangeError();
      return static_cast<std::int64_t>(value);
    }
    case DT_VARCHAR: return StrToInt64(VarText(var));
    default: ConversionError(index);
  }
}

long double TZASASQLDA::ReadFloat(int index, SQLVAR& var) {
  switch (BaseType(var.sqltype)) {
    case DT_FLOAT: return Read<float>(var);
    case DT_DOUBLE: return Read<double>(var);
    case DT_VARCHAR: return StrToFloat(VarText(var), '.');
    default: return static_cast<long double>(ReadInteger(index, var));
  }
}

bool TZASASQLDA::GetBoolean(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return false;
  switch (BaseType(var.sqltype)) {
    case DT_VARCHAR: return StrToInt(VarText(var)) == 1;
    case DT_FLOAT: case DT_DOUBLE: return ReadFloat(index, var) != 0;
    default: return ReadInteger(index, var) != 0;
  }
}

std::int8_t TZASASQLDA::GetByte(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  if (BaseType(var.sqltype) == DT_VARCHAR) return CheckedNarrow<std::int8_t>(StrToInt(VarText(var)));
  return CheckedNarrow<std::int8_t>(ReadInteger(index, var));
}

std::int16_t TZASASQLDA::GetShort(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  if (BaseType(var.sqltype) == DT_VARCHAR) return CheckedNarrow<std::int16_t>(StrToInt(VarText(var)));
  return CheckedNarrow<std::int16_t>(ReadInteger(index, var));
}

std::int32_t TZASASQLDA::GetInt(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  if (BaseType(var.sqltype) == DT_VARCHAR) return StrToInt(VarText(var));
  return CheckedNarrow<std::int32_t>(ReadInteger(index, var));
}

std::int64_t TZASASQLDA::GetLong(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  return ReadInteger(index, var);
}

long double TZASASQLDA::GetBigDecimal(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  return ReadFloat(index, var);
}
double TZASASQLDA::GetDouble(int index) { return static_cast<double>(GetBigDecimal(index)); }
float TZASASQLDA::GetFloat(int index) { return static_cast<float>(GetBigDecimal(index)); }

AnsiString TZASASQLDA::GetString(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return "";
  switch (BaseType(var.sqltype)) {
    case DT_BIT: return Read<std::uint8_t>(var) == 1 ? "True" : "False";
    case DT_TINYINT: case DT_SMALLINT: case DT_UNSSMALLINT: case DT_INT: case DT_UNSINT: case DT_BIGINT:
    case DT_UNSBIGINT:
      return IntToStr(ReadInteger(index, var));
    case DT_FLOAT: case DT_DOUBLE: return FloatToStrGeneral(static_cast<double>(ReadFloat(index, var)));
    case DT_VARCHAR: return VarText(var);
    case DT_LONGVARCHAR: return ReadBlobToString(index);
    case DT_TIMESTAMP_STRUCT: return DateToStr(GetTimestamp(index));
    default: ConversionError(index);
  }
}

std::unique_ptr<char[]> TZASASQLDA::GetPChar(int index) {
  CheckRange(index);
  if (IsNull(index)) return nullptr;
  const AnsiString text = GetString(index);
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

TByteDynArray TZASASQLDA::GetBytes(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return {};
  if (BaseType(var.sqltype) != DT_BINARY) ConversionError(index);
  const AnsiString bytes = VarText(var);
  return TByteDynArray(bytes.begin(), bytes.end());
}

TDateTime TZASASQLDA::GetTimestamp(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return 0;
  if (BaseType(var.sqltype) != DT_TIMESTAMP_STRUCT) ConversionError(index);
  const auto stamp = Read<DT_TIMESTAMP_STRUCT_REC>(var);
  const TDateTime date = EncodeDate(stamp.year, stamp.month + 1, stamp.day);
  const TDateTime time = EncodeTime(stamp.hour, stamp.minute, stamp.second, stamp.microsecond / 1000);
  return date >= 0 ? date + time : date - time;
}

Variant TZASASQLDA::GetValue(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return Unassigned();
  switch (BaseType(var.sqltype)) {
    case DT_TIMESTAMP_STRUCT: return Variant::OfFloat(varDate, GetTimestamp(index));
    case DT_VARCHAR: return Variant(VarText(var));
    case DT_LONGVARCHAR: case DT_LONGBINARY: return ReadBlobToVariant(index);
    case DT_DOUBLE: case DT_FLOAT: return Variant(static_cast<double>(ReadFloat(index, var)));
    case DT_INT: return Variant::OfInteger(varInteger, ReadInteger(index, var));
    case DT_SMALLINT: return Variant::OfInteger(varSmallint, ReadInteger(index, var));
    case DT_TINYINT: return Variant::OfInteger(varByte, ReadInteger(index, var));
    case DT_BIGINT: case DT_UNSBIGINT: return Variant::OfInteger(varInt64, ReadInteger(index, var));
    case DT_UNSSMALLINT: return Variant::OfInteger(varWord, ReadInteger(index, var));
    case DT_BIT: return Variant(ReadInteger(index, var) != 0);
    default: ConversionError(index);
  }
}

TDateTime TZASASQLDA::GetDate(int index) { return std::trunc(GetTimestamp(index)); }
TDateTime TZASASQLDA::GetTime(int index) {
  const TDateTime value = GetTimestamp(index);
  return std::fabs(value - std::trunc(value));
}

// --- long values ---

std::uint32_t TZASASQLDA::LongLength(int index, SQLVAR& var, bool textOnly) {
  const std::int16_t base = BaseType(var.sqltype);
  if (base != DT_LONGVARCHAR && (textOnly || base != DT_LONGBINARY)) ConversionError(index);
  return LongHeader(var)->untrunc_len;
}

AnsiString TZASASQLDA::ReadBlobToString(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return "";
  AnsiString text(LongLength(index, var, true), '\0');
  ReadBlob(index, text.data(), static_cast<int>(text.size()));
  return text;
}

TByteDynArray TZASASQLDA::ReadBlobToMem(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return {};
  TByteDynArray bytes(LongLength(index, var, false));
  ReadBlob(index, bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

void TZASASQLDA::ReadBlobToStream(int index, TStream* stream) {
  SQLVAR& var = CheckRange(index);
  stream->SetSize(0);
  if (IsNull(index)) return;
  auto* memory = dynamic_cast<TMemoryStream*>(stream);
  if (!memory) ConversionError(index);
  memory->SetSize(LongLength(index, var, false));
  ReadBlob(index, memory->Memory(), static_cast<int>(memory->Size()));
}

// An empty long value gives an empty byte array.
Variant TZASASQLDA::ReadBlobToVariant(int index) {
  SQLVAR& var = CheckRange(index);
  if (IsNull(index)) return Unassigned();
  const int length = static_cast<int>(LongLength(index, var, false));
  Variant value = VarArrayCreate(0, length - 1, varByte);
  if (length > 0) {
    ReadBlob(index, VarArrayLock(value), length);
    VarArrayUnlock(value);
  }
  return value;
}

void TZASASQLDA::ReadBlob(int index, void* buffer, int length) {
  SQLVAR& var = CheckRange(index);
  if (IsLongType(var.sqltype) && LongHeader(var)->array_len != 0) {
    const LONGVARCHAR* header = LongHeader(var);
    if (header->array_len != header->untrunc_len) throw EAssertionFailed(kBlobNotInitialized);
    if (static_cast<std::uint32_t>(length) != header->array_len) CreateException(SZCouldNotCompleteBlobRead);
    std::memcpy(buffer, header->array, header->array_len);
    return;
  }
  SQLDA* work = plainDriver_->alloc_sqlda(1);
  if (!work) CreateException(kNotEnoughMemory);
  try {
    SQLVAR& piece = work->sqlvar[0];
    piece.sqltype = DT_FIXCHAR;
    piece.sqlname.length = 0;
    work->sqld = work->sqln;
    piece.sqldata = buffer;
    int offset = 0;
    int received = 0;
    piece.sqllen = static_cast<std::uint16_t>(std::min(length, kBlobPiece));
    // Ends when nothing remains to ask for, even if the client still
    // reports the value as truncated: asking for 0 bytes would never end.
    while (true) {
      plainDriver_->dbpp_get_data(handle_, cursorName_.c_str(), static_cast<short>(index + 1), offset, work);
      CheckASAError(plainDriver_.get(), handle_, lcOther, "");
      if (piece.sqlind && *piece.sqlind < 0) break;
      received += piece.sqllen;
      if ((piece.sqlind && *piece.sqlind == 0) || received >= length) break;
      offset += piece.sqllen;
      piece.sqldata = static_cast<char*>(piece.sqldata) + piece.sqllen;
      piece.sqllen = static_cast<std::uint16_t>(std::min(length - received, kBlobPiece));
    }
    if (received != length) CreateException(SZCouldNotCompleteBlobRead);
    DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(),
                                Format("GET DATA for Column: %s", {GetFieldName(index)}));
  } catch (...) {
    work->sqlvar[0].sqldata = nullptr;
    plainDriver_->free_sqlda(work);
    throw;
  }
  work->sqlvar[0].sqldata = nullptr;
  plainDriver_->free_sqlda(work);
}

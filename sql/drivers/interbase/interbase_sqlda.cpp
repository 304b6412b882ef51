// The descriptor area's memory and the questions about its variables.

#include "sql/drivers/interbase/interbase_sqlda.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ibase.h>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

constexpr char kOutOfRange[] = "Out of Range.";

AnsiString Name(const char* text, short length) {
  return AnsiString(text, static_cast<std::size_t>(std::clamp<int>(length, 0, 32)));
}

}  // namespace

std::int64_t ScaleFactor(int scale) {
  if (scale < kMinScale || scale > -1) throw ERangeError(SRangeError);
  std::int64_t factor = 1;
  for (int i = 0; i < -scale; ++i) factor *= 10;
  return factor;
}

std::int64_t TruncToInt64(long double value) {
  const long double cut = std::trunc(value);
  if (!(cut >= -0x1p63L && cut < 0x1p63L)) throw EInvalidOp(SInvalidOp);
  return static_cast<std::int64_t>(cut);
}

bool TZSQLDA::IsUtf8Text(int index) {
  if (!utf8Text_) return false;
  const TZIbXSQLVar& var = Var(index);
  const int type = var.sqltype & ~1;
  if (type == SQL_BLOB) return var.sqlsubtype == 1;
  return (type == SQL_TEXT || type == SQL_VARYING) && IsUtf8CharacterSetId(var.sqlsubtype & 0xFF);
}

long long TimeTicks(TDateTime value) {
  constexpr long long kTicksPerDay = 86400 * kTicksPerSecond;
  const long long ticks = std::llround(std::fabs(value - std::trunc(value)) * kTicksPerDay);
  return std::min(ticks, kTicksPerDay - 1);
}

TDateTime TimeOfDay(ISC_TIME ticks) { return static_cast<TDateTime>(ticks) / (86400.0 * kTicksPerSecond); }

void IbReAlloc(void*& block, std::size_t oldSize, std::size_t newSize) {
  if (newSize == 0) {
    std::free(block);
    block = nullptr;
    return;
  }
  void* grown = std::realloc(block, newSize);
  if (!grown) throw EOutOfMemory(SOutOfMemory);
  block = grown;
  if (newSize > oldSize) std::memset(static_cast<char*>(block) + oldSize, 0, newSize - oldSize);
}

namespace {

template <class T>
void ReAlloc(T*& block, std::size_t newSize) {
  void* raw = block;
  IbReAlloc(raw, 0, newSize);
  block = static_cast<T*>(raw);
}

}  // namespace

TZSQLDA::TZSQLDA(Ref<IZInterbasePlainDriver> plainDriver) : plainDriver_(std::move(plainDriver)) {
  ReAlloc(sqlda_, static_cast<std::size_t>(XSQLDALength(0)));
  sqlda_->version = SQLDA_VERSION1;
}

TZSQLDA::~TZSQLDA() {
  TZSQLDA::FreeValues();
  std::free(sqlda_);
}

void TZSQLDA::CheckRange(int index) const {
  if (index < 0 || index >= sqlda_->sqln) throw EAssertionFailed(kOutOfRange);
}

TZIbXSQLVar& TZSQLDA::Var(int index) {
  CheckRange(index);
  return sqlda_->sqlvar[index];
}

char* TZSQLDA::Data(int index, int width) {
  TZIbXSQLVar& var = Var(index);
  // A variable never given its buffer, or one shorter than its type.
  if (!var.sqldata || var.sqllen < width) throw EZIBConvertError(SZInvalidState);
  return var.sqldata;
}

bool TZSQLDA::NullState(int index) {
  TZIbXSQLVar& var = Var(index);
  return var.sqlind && *var.sqlind == -1;
}

void TZSQLDA::InitFields(bool parameters) {
  for (int i = 0; i < sqlda_->sqld && i < sqlda_->sqln; ++i) {
    TZIbXSQLVar& var = sqlda_->sqlvar[i];
    const int type = var.sqltype & ~1;
    // Every described type gets a buffer: the client refuses a null one, even
    // for a type this area does not read (a BOOLEAN of one byte, say).
    const int length = type == SQL_VARYING ? var.sqllen + 2 : std::max<int>(var.sqllen, 1);
    ReAlloc(var.sqldata, static_cast<std::size_t>(length));
    if (parameters) {
      var.sqltype = static_cast<short>(var.sqltype | 1);
      ReAlloc(var.sqlind, sizeof(short));
    } else if (var.sqltype & 1) {
      ReAlloc(var.sqlind, sizeof(short));
    } else {
      ReAlloc(var.sqlind, 0);
    }
  }
}

void TZSQLDA::AllocateSQLDA() {
  const int from = sqlda_->sqln;
  const int to = sqlda_->sqld;
  // Variables cut off take their buffers with them.
  for (int i = to; i < from; ++i) {
    ReAlloc(sqlda_->sqlvar[i].sqldata, 0);
    ReAlloc(sqlda_->sqlvar[i].sqlind, 0);
  }
  void* block = sqlda_;
  IbReAlloc(block, static_cast<std::size_t>(XSQLDALength(from)), static_cast<std::size_t>(XSQLDALength(to)));
  sqlda_ = static_cast<TZIbXSQLDA*>(block);
  sqlda_->sqln = static_cast<short>(to);
}

void TZSQLDA::FreeValues() {
  for (int i = 0; i < sqlda_->sqln; ++i) {
    ReAlloc(sqlda_->sqlvar[i].sqldata, 0);
    ReAlloc(sqlda_->sqlvar[i].sqlind, 0);
  }
}

bool TZSQLDA::IsBlob(int index) { return (Var(index).sqltype & ~1) == SQL_BLOB; }
bool TZSQLDA::IsNullable(int index) { return Var(index).sqltype & 1; }

AnsiString TZSQLDA::GetFieldSqlName(int index) {
  const TZIbXSQLVar& var = Var(index);
  return Name(var.sqlname, var.sqlname_length);
}
AnsiString TZSQLDA::GetFieldRelationName(int index) {
  const TZIbXSQLVar& var = Var(index);
  return Name(var.relname, var.relname_length);
}
AnsiString TZSQLDA::GetFieldOwnerName(int index) {
  const TZIbXSQLVar& var = Var(index);
  return Name(var.ownname, var.ownname_length);
}
AnsiString TZSQLDA::GetFieldAliasName(int index) {
  const TZIbXSQLVar& var = Var(index);
  return Name(var.aliasname, var.aliasname_length);
}

int TZSQLDA::GetFieldIndex(const AnsiString& name) {
  for (int i = 0; i < sqlda_->sqld && i < sqlda_->sqln; ++i)
    if (AnsiSameText(GetFieldAliasName(i), name)) return i;
  throw Exception(Format(SZFieldNotFound1, {name}));
}

int TZSQLDA::GetFieldScale(int index) { return std::abs(Var(index).sqlscale); }

TZSQLType TZSQLDA::GetFieldSqlType(int index) {
  const TZIbXSQLVar& var = Var(index);
  const int scale = std::abs(var.sqlscale);
  switch (var.sqltype & ~1) {
    case SQL_VARYING: case SQL_TEXT: return stString;
    case SQL_DOUBLE: case SQL_FLOAT: return stDouble;
    case SQL_LONG: return scale == 0 ? stInteger : stDouble;
    case SQL_SHORT: return scale == 0 ? stShort : stDouble;
    case SQL_TIMESTAMP: return stTimestamp;
    case SQL_BLOB: case SQL_ARRAY: case SQL_QUAD:
      return var.sqlsubtype == 1 ? stAsciiStream : stBinaryStream;
    case SQL_TYPE_TIME: return stTime;
    case SQL_TYPE_DATE: return stDate;
    case SQL_INT64:
      if (scale == 0) return stLong;
      return scale <= 4 ? stDouble : stBigDecimal;
    case SQL_BOOLEAN: return stBoolean;
    default: return stString;
  }
}

int TZSQLDA::GetFieldLength(int index) { return Var(index).sqllen; }
int TZSQLDA::GetIbSqlType(int index) { return Var(index).sqltype & ~1; }
int TZSQLDA::GetIbSqlSubType(int index) { return Var(index).sqlsubtype; }
int TZSQLDA::GetIbSqlLen(int index) { return Var(index).sqllen; }

void TZSQLDA::SetFieldType(int index, int len, int scale, short sqlType) {
  TZIbXSQLVar& var = Var(index);
  var.sqltype = sqlType;
  if (scale <= 0) var.sqlscale = static_cast<short>(scale);
  var.sqllen = static_cast<short>(len);
  ReAlloc(var.sqldata, static_cast<std::size_t>(std::max(len, 0)));
}

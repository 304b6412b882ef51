// The client's SQL descriptor areas: one header and one variable record per
// parameter or result column, each variable pointing at a data buffer and a
// null indicator that the area owns. TZSQLDA owns one area and answers
// questions about its variables; the parameter area (typed setters) and the
// result area (typed getters) build on it. The layout is the client's XSQLDA.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/variant.h"
#include "sql/core/sql_types.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/interbase/interbase_plain_driver.h"

class TStream;

// Conversion errors of the descriptor areas.
VX_DECLARE_EXCEPTION(EZIBConvertError, Exception)

// Interbase 7's boolean (16 bits); Firebird 3's BOOLEAN is ibase.h's
// SQL_BOOLEAN (one byte).
inline constexpr short kSqlBoolean7 = 590;
// Scaled exact numerics reach 18 decimals (NUMERIC(18,18)).
inline constexpr int kMinScale = -18;

// 10^-scale for a scale from -18 to -1; ERangeError for any other.
std::int64_t ScaleFactor(int scale);
// value cut toward zero; EInvalidOp beyond the 64-bit range or for NaN.
std::int64_t TruncToInt64(long double value);

// The server's times count units of 1/10,000 s from midnight.
inline constexpr long long kTicksPerSecond = 10000;
// The time of day of value in those units, rounded to the nearest.
long long TimeTicks(TDateTime value);
// The part of a day that a time in those units is.
TDateTime TimeOfDay(ISC_TIME ticks);

class IZSQLDA : public virtual IZInterface {
public:
  // Gives variables 0 to sqld - 1 their buffers; parameters become nullable
  // and not null.
  virtual void InitFields(bool parameters) = 0;
  // Resizes the area to sqld variable records.
  virtual void AllocateSQLDA() = 0;
  // Frees every variable's data and indicator.
  virtual void FreeValues() = 0;
  virtual TZIbXSQLDA* GetData() = 0;
  // Index is 0-based; every Index operation raises EAssertionFailed "Out of
  // Range." at or beyond sqln.
  virtual bool IsBlob(int index) = 0;
  virtual bool IsNullable(int index) = 0;
  virtual int GetFieldCount() = 0;
  virtual AnsiString GetFieldSqlName(int index) = 0;
  virtual AnsiString GetFieldRelationName(int index) = 0;
  virtual AnsiString GetFieldOwnerName(int index) = 0;
  virtual AnsiString GetFieldAliasName(int index) = 0;
  // The first variable whose alias equals name, case ignored; Exception
  // "Field "<name>" was not found" when none does.
  virtual int GetFieldIndex(const AnsiString& name) = 0;
  virtual int GetFieldScale(int index) = 0;
  virtual TZSQLType GetFieldSqlType(int index) = 0;
  virtual int GetFieldLength(int index) = 0;
  // The type code without the nullable bit.
  virtual int GetIbSqlType(int index) = 0;
  virtual int GetIbSqlSubType(int index) = 0;
  virtual int GetIbSqlLen(int index) = 0;
};

// Parameter values written into the area before an execution. Setters do
// nothing while a parameter is null; UpdateNull is the way back.
class IZParamsSQLDA : public virtual IZSQLDA {
public:
  // Writes the stream into a new blob and binds its identifier.
  virtual void WriteBlob(int index, TStream* stream) = 0;
  virtual void UpdateNull(int index, bool value) = 0;
  virtual void UpdateBoolean(int index, bool value) = 0;
  virtual void UpdateByte(int index, std::int8_t value) = 0;
  virtual void UpdateShort(int index, std::int16_t value) = 0;
  virtual void UpdateInt(int index, std::int32_t value) = 0;
  virtual void UpdateLong(int index, std::int64_t value) = 0;
  virtual void UpdateFloat(int index, float value) = 0;
  virtual void UpdateDouble(int index, double value) = 0;
  virtual void UpdateBigDecimal(int index, long double value) = 0;
  virtual void UpdatePChar(int index, const char* value) = 0;
  virtual void UpdateString(int index, const AnsiString& value) = 0;
  virtual void UpdateBytes(int index, const TByteDynArray& value) = 0;
  virtual void UpdateDate(int index, TDateTime value) = 0;
  virtual void UpdateTime(int index, TDateTime value) = 0;
  virtual void UpdateTimestamp(int index, TDateTime value) = 0;
  virtual void UpdateQuad(int index, const ISC_QUAD& value) = 0;
};

// One fetched row read with conversions. A null column gives the getter's
// empty value (GetQuad raises).
class IZResultSQLDA : public virtual IZSQLDA {
public:
  virtual void ReadBlobFromStream(int index, TStream* stream) = 0;
  virtual void ReadBlobFromString(int index, AnsiString& value) = 0;
  virtual void ReadBlobFromVariant(int index, Variant& value) = 0;
  virtual bool IsNull(int index) = 0;
  // Valid until the next GetPChar on this area.
  virtual const char* GetPChar(int index) = 0;
  virtual AnsiString GetString(int index) = 0;
  virtual bool GetBoolean(int index) = 0;
  virtual std::uint8_t GetByte(int index) = 0;
  virtual std::int16_t GetShort(int index) = 0;
  virtual std::int32_t GetInt(int index) = 0;
  virtual std::int64_t GetLong(int index) = 0;
  virtual float GetFloat(int index) = 0;
  virtual double GetDouble(int index) = 0;
  virtual long double GetBigDecimal(int index) = 0;
  virtual TByteDynArray GetBytes(int index) = 0;
  virtual TDateTime GetDate(int index) = 0;
  virtual TDateTime GetTime(int index) = 0;
  virtual TDateTime GetTimestamp(int index) = 0;
  virtual Variant GetValue(int index) = 0;
  virtual ISC_QUAD GetQuad(int index) = 0;
  // Forgets the blob texts kept for GetString and GetValue: called at each
  // describe and each fetch, as they belong to one row.
  virtual void ClearBlobCache() = 0;
};

// Owns an XSQLDA block from malloc and every sqldata and sqlind buffer in it
// (malloc/realloc, zero-filled; they stay put while the client holds them).
class TZSQLDA : public TInterfacedObject, public virtual IZSQLDA {
public:
  // An empty area: version 1, no variables.
  explicit TZSQLDA(Ref<IZInterbasePlainDriver> plainDriver);
  ~TZSQLDA() override;
  TZSQLDA(const TZSQLDA&) = delete;
  TZSQLDA& operator=(const TZSQLDA&) = delete;

  void InitFields(bool parameters) override;
  void AllocateSQLDA() override;
  void FreeValues() override;
  TZIbXSQLDA* GetData() override { return sqlda_; }
  bool IsBlob(int index) override;
  bool IsNullable(int index) override;
  int GetFieldCount() override { return sqlda_->sqld; }
  AnsiString GetFieldSqlName(int index) override;
  AnsiString GetFieldRelationName(int index) override;
  AnsiString GetFieldOwnerName(int index) override;
  AnsiString GetFieldAliasName(int index) override;
  int GetFieldIndex(const AnsiString& name) override;
  int GetFieldScale(int index) override;
  TZSQLType GetFieldSqlType(int index) override;
  int GetFieldLength(int index) override;
  int GetIbSqlType(int index) override;
  int GetIbSqlSubType(int index) override;
  int GetIbSqlLen(int index) override;

  void CheckRange(int index) const;
  // Sets type, length and (for a scale of 0 or below) scale; the data buffer
  // becomes len zero bytes, or none for a len of 0.
  void SetFieldType(int index, int len, int scale, short sqlType);

  // On a connection whose character set is UTF8 the program's Windows-1250
  // texts are converted on their way to and from the client.
  void SetUtf8Text(bool value) { utf8Text_ = value; }

protected:
  TZIbXSQLVar& Var(int index);
  // The variable's data, which must hold at least width bytes; EZIBConvertError
  // "Invalid state" when it has no such buffer.
  char* Data(int index, int width);
  // sqlind holds -1.
  bool NullState(int index);
  Ref<IZInterbasePlainDriver> PlainDriver() const { return plainDriver_; }
  // Whether the variable carries text the client gives in UTF-8: a character
  // text of the connection's UTF8 set, or a text blob on such a connection.
  bool IsUtf8Text(int index);

private:
  bool utf8Text_ = false;
  TZIbXSQLDA* sqlda_ = nullptr;
  Ref<IZInterbasePlainDriver> plainDriver_;
};

// Reallocates block to newSize bytes (freed for 0), zero-filling from oldSize.
void IbReAlloc(void*& block, std::size_t oldSize, std::size_t newSize);

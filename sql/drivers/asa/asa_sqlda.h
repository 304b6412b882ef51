// A client descriptor area: the header the library allocates and one
// variable record per result column or parameter, each pointing at a data
// buffer this object owns and at an indicator the library supplies.
// TZASASQLDA remembers each variable's type as declared, turns described
// columns into fetchable buffers, and converts between the client's types
// and the driver's values, reading long values through the cursor in
// pieces. Indexes are 0-based.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/variant.h"
#include "sql/core/sql_types.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/asa/asa_plain_driver.h"

class TStream;

class IZASASQLDA : public virtual IZInterface {
public:
  // A fresh area of count variables; every buffer and declared type goes.
  virtual void AllocateSQLDA(int count) = 0;
  // Gives each described variable a buffer to fetch into: dates and times
  // become timestamp records, texts and binaries of 256 bytes and more long
  // values, decimals doubles.
  virtual void InitFields() = 0;
  virtual void FreeSQLDA() = 0;
  virtual SQLDA* GetData() = 0;

  // Every operation on a variable raises EAssertionFailed "SQLDA not
  // initialized." without an area and "Out of Range." at or beyond sqld.
  virtual bool IsBlob(int index) = 0;
  virtual bool IsNullable(int index) = 0;
  virtual int GetFieldCount() = 0;
  virtual AnsiString GetFieldName(int index) = 0;
  // The first variable whose name equals name, case ignored;
  // EZSQLException "Field "<name>" was not found" when none does.
  virtual int GetFieldIndex(const AnsiString& name) = 0;
  virtual int GetFieldScale(int index) = 0;
  // Dates and times report their declared type, not the timestamp record.
  virtual TZSQLType GetFieldSqlType(int index) = 0;
  virtual int GetFieldLength(int index) = 0;

  // Setters give the variable the value's own client type, then store it;
  // ERangeError when a length does not fit the record's 16 bits.
  virtual void UpdateNull(int index, bool isNull) = 0;
  virtual void UpdateBoolean(int index, bool value) = 0;
  // ERangeError for a negative value.
  virtual void UpdateByte(int index, int value) = 0;
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
  // By the variant's type; a one-dimensional array is written as bytes,
  // any other unsupported type raises "Unsupported parameter type".
  virtual void UpdateValue(int index, const Variant& value) = 0;
  virtual void WriteBlob(int index, TStream* stream) = 0;

  virtual bool IsNull(int index) = 0;
  virtual bool IsAssigned(int index) = 0;
  // Getters raise EAssertionFailed "No memory for variable in SQLDA." for a
  // variable without buffer, give the empty value for null, ERangeError for
  // a value outside the result's type, and EZSQLException "Conversion error
  // for field ..." for a client type they do not convert.
  virtual bool GetBoolean(int index) = 0;
  virtual std::int8_t GetByte(int index) = 0;
  virtual std::int16_t GetShort(int index) = 0;
  virtual std::int32_t GetInt(int index) = 0;
  virtual std::int64_t GetLong(int index) = 0;
  virtual float GetFloat(int index) = 0;
  virtual double GetDouble(int index) = 0;
  virtual long double GetBigDecimal(int index) = 0;
  // A NUL-terminated copy, the caller's; null for null.
  virtual std::unique_ptr<char[]> GetPChar(int index) = 0;
  virtual AnsiString GetString(int index) = 0;
  virtual TByteDynArray GetBytes(int index) = 0;
  virtual TDateTime GetDate(int index) = 0;
  virtual TDateTime GetTime(int index) = 0;
  virtual TDateTime GetTimestamp(int index) = 0;
  // The value in the variant kind of its client type; unassigned for null.
  virtual Variant GetValue(int index) = 0;
  // The whole long value.
  virtual TByteDynArray ReadBlobToMem(int index) = 0;
  // Into a memory stream; any other stream is a conversion error.
  virtual void ReadBlobToStream(int index, TStream* stream) = 0;
  virtual AnsiString ReadBlobToString(int index) = 0;
  // A byte array of the whole long value.
  virtual Variant ReadBlobToVariant(int index) = 0;
};

class TZASASQLDA : public TZAbstractObject, public virtual IZASASQLDA {
public:
  // handle is the connection's area, cursorName the cursor long values are
  // read through.
  TZASASQLDA(Ref<IZASAPlainDriver> plainDriver, SQLCA* handle, AnsiString cursorName, int count);
  ~TZASASQLDA() override;

  void AllocateSQLDA(int count) override;
  void InitFields() override;
  void FreeSQLDA() override;
  SQLDA* GetData() override { return area_; }
  bool IsBlob(int index) override;
  bool IsNullable(int index) override;
  int GetFieldCount() override;
  AnsiString GetFieldName(int index) override;
  int GetFieldIndex(const AnsiString& name) override;
  int GetFieldScale(int index) override;
  TZSQLType GetFieldSqlType(int index) override;
  int GetFieldLength(int index) override;

  void UpdateNull(int index, bool isNull) override;
  void UpdateBoolean(int index, bool value) override;
  void UpdateByte(int index, int value) override;
  void UpdateShort(int index, std::int16_t value) override;
  void UpdateInt(int index, std::int32_t value) override;
  void UpdateLong(int index, std::int64_t value) override;
  void UpdateFloat(int index, float value) override;
  void UpdateDouble(int index, double value) override;
  void UpdateBigDecimal(int index, long double value) override;
  void UpdatePChar(int index, const char* value) override;
  void UpdateString(int index, const AnsiString& value) override;
  void UpdateBytes(int index, const TByteDynArray& value) override;
  void UpdateDate(int index, TDateTime value) override;
  void UpdateTime(int index, TDateTime value) override;
  void UpdateTimestamp(int index, TDateTime value) override;
  void UpdateValue(int index, const Variant& value) override;
  void WriteBlob(int index, TStream* stream) override;

  bool IsNull(int index) override;
  bool IsAssigned(int index) override;
  bool GetBoolean(int index) override;
  std::int8_t GetByte(int index) override;
  std::int16_t GetShort(int index) override;
  std::int32_t GetInt(int index) override;
  std::int64_t GetLong(int index) override;
  float GetFloat(int index) override;
  double GetDouble(int index) override;
  long double GetBigDecimal(int index) override;
  std::unique_ptr<char[]> GetPChar(int index) override;
  AnsiString GetString(int index) override;
  TByteDynArray GetBytes(int index) override;
  TDateTime GetDate(int index) override;
  TDateTime GetTime(int index) override;
  TDateTime GetTimestamp(int index) override;
  Variant GetValue(int index) override;
  TByteDynArray ReadBlobToMem(int index) override;
  void ReadBlobToStream(int index, TStream* stream) override;
  AnsiString ReadBlobToString(int index) override;
  Variant ReadBlobToVariant(int index) override;

  // The only place buffers are made: gives variable index the type and a
  // buffer of length bytes (plus the long header or length prefix), and with
  // updateDeclared records the type as declared.
  void SetFieldType(int index, std::int16_t sqlType, int length, bool updateDeclared);
  void UpdateDateTime(int index, TDateTime value);
  // Length bytes of the long value into buffer: from the variable's own
  // buffer when a setter filled it, else through the cursor.
  void ReadBlob(int index, void* buffer, int length);

private:
  struct DeclaredType {
    std::int16_t sqlType;
    std::uint16_t sqlLen;
  };

  SQLVAR& CheckIndex(int index);
  SQLVAR& CheckRange(int index);
  // Logs msg and raises EZSQLException "SQL Error: <msg>" with code -1.
  [[noreturn]] void CreateException(const AnsiString& msg);
  [[noreturn]] void ConversionError(int index);
  // The variable's value as a 64-bit integer or as a double, for the
  // numeric getters; the conversion error for a type without one.
  std::int64_t ReadInteger(int index, SQLVAR& var);
  long double ReadFloat(int index, SQLVAR& var);
  // The long value's full length; the conversion error unless the variable
  // is a long type (of text alone with textOnly).
  std::uint32_t LongLength(int index, SQLVAR& var, bool textOnly);
  void StoreBytes(int index, const void* data, std::size_t size, std::int16_t shortType, std::int16_t longType);

  SQLDA* area_ = nullptr;
  Ref<IZASAPlainDriver> plainDriver_;
  SQLCA* handle_;
  AnsiString cursorName_;
  std::vector<DeclaredType> declaredTypes_;
};

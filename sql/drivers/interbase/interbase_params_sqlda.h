// The parameter area: values written into the client's descriptor area
// before an execution. Most setters re-describe the parameter in their own
// type, so the server converts the value into the column's type; booleans,
// texts and bytes are written in the type the server described.
#pragma once

#include "sql/drivers/interbase/interbase_sqlda.h"

class TZParamsSQLDA : public TZSQLDA, public virtual IZParamsSQLDA {
public:
  // The handles are read at each use: the connection may start a new
  // transaction between executions.
  TZParamsSQLDA(Ref<IZInterbasePlainDriver> plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle);

  void WriteBlob(int index, TStream* stream) override;
  void UpdateNull(int index, bool value) override;
  // By the described type: a scaled number, a one-byte BOOLEAN, a 16-bit
  // Interbase 7 boolean or the text "1" or "0".
  void UpdateBoolean(int index, bool value) override;
  void UpdateByte(int index, std::int8_t value) override;
  void UpdateShort(int index, std::int16_t value) override;
  void UpdateInt(int index, std::int32_t value) override;
  void UpdateLong(int index, std::int64_t value) override;
  // A 32-bit float that keeps the described scale.
  void UpdateFloat(int index, float value) override;
  void UpdateDouble(int index, double value) override;
  // Four decimals as a 64-bit integer, cut toward zero.
  void UpdateBigDecimal(int index, long double value) override;
  void UpdatePChar(int index, const char* value) override;
  // Integers read as 32-bit, texts and blobs as they are, a DATE (and a
  // scaled INTEGER) as a text the server converts; any other type raises
  // "Convertion error".
  void UpdateString(int index, const AnsiString& value) override;
  // Texts and blobs; any other type raises "Unsupported parameter type".
  void UpdateBytes(int index, const TByteDynArray& value) override;
  void UpdateDate(int index, TDateTime value) override;
  void UpdateTime(int index, TDateTime value) override;
  void UpdateTimestamp(int index, TDateTime value) override;
  void UpdateQuad(int index, const ISC_QUAD& value) override;

  // Writes a text in the client's form of code (448 or 452), the length
  // replacing the described one; EZIBConvertError for a text longer than the
  // 16-bit length holds.
  void EncodeString(int code, int index, const AnsiString& value);
  // Encodes a date, time or timestamp by the re-described type; seconds are
  // the finest part kept.
  void UpdateDateTime(int index, TDateTime value);

private:
  // Integers are scaled exactly, floats cut toward zero after scaling;
  // UpdateFloat alone writes a float into a scaled FLOAT.
  enum class TNumberKind { Integer, Float, FloatSetter };
  // Stores value by the variable's type and scale; errorText is the failure
  // for a type it cannot take.
  void StoreNumber(int index, long double value, TNumberKind kind, const char* errorText);
  void Stored(int index);

  isc_db_handle* dbHandle_;
  isc_tr_handle* trHandle_;
};

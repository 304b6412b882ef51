// The result area: the descriptor area the client fetches one row into,
// with getters that convert a column into the connectivity core's value
// kinds, applying the decimal scale of exact numerics, and read blobs.
// Number texts use "." and the shortest form that reads back the same.
#pragma once

#include <optional>
#include <vector>

#include "sql/drivers/interbase/interbase_sqlda.h"

class TZResultSQLDA : public TZSQLDA, public virtual IZResultSQLDA {
public:
  TZResultSQLDA(Ref<IZInterbasePlainDriver> plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle);

  void AllocateSQLDA() override;

  void ReadBlobFromStream(int index, TStream* stream) override;
  void ReadBlobFromString(int index, AnsiString& value) override;
  void ReadBlobFromVariant(int index, Variant& value) override;
  bool IsNull(int index) override;
  const char* GetPChar(int index) override;
  // Scaled integers as exact decimals without trailing zeros; "YES" or "NO"
  // for a boolean; a blob's bytes.
  AnsiString GetString(int index) override;
  // A DOUBLE PRECISION with decimals (dialect 1's NUMERIC) is true only
  // above zero.
  bool GetBoolean(int index) override;
  std::uint8_t GetByte(int index) override;
  std::int16_t GetShort(int index) override;
  std::int32_t GetInt(int index) override;
  // Scaled integers divided toward zero, floats cut toward zero, texts read
  // as 32-bit integers.
  std::int64_t GetLong(int index) override;
  float GetFloat(int index) override;
  double GetDouble(int index) override;
  long double GetBigDecimal(int index) override;
  // Always empty.
  TByteDynArray GetBytes(int index) override;
  TDateTime GetDate(int index) override;
  TDateTime GetTime(int index) override;
  // To the second; a non-date column is read as a day number.
  TDateTime GetTimestamp(int index) override;
  Variant GetValue(int index) override;
  ISC_QUAD GetQuad(int index) override;
  void ClearBlobCache() override;

  // The text of a 448 or 452 column (trailing blanks removed from 452);
  // empty for any other code.
  AnsiString DecodeString(int code, int index);

private:
  // A numeric or text column as read: exact integers with their scale,
  // floats, or texts. Raises the conversion error for any other column.
  struct TNumber;
  TNumber Number(int index);
  long double Real(int index);
  [[noreturn]] void ConversionError(int index);
  const AnsiString& BlobBytes(int index);

  isc_db_handle* dbHandle_;
  isc_tr_handle* trHandle_;
  // A blob column's bytes once read as text or variant, until the next
  // describe or fetch.
  std::vector<std::optional<AnsiString>> blobCache_;
  AnsiString pchar_;
};

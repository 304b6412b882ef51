// TZRowAccessor: knows the column layout of the row buffers for one list of
// columns. It allocates, clears, copies, moves, clones and compares buffers,
// keeps the blob references that stream columns hold, and reads and writes
// the columns of its current RowBuffer with typed getters and setters that
// convert between the stored type and the requested one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/objects.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/dbc/row_buffer.h"

class TStream;
class TZColumnInfoList;
struct TZColumnInfo;

class TZRowAccessor : public TObject {
public:
  // Lays out the columns of the list, in order. A size that leaves the signed
  // 32-bit range raises EIntOverflow.
  explicit TZRowAccessor(const TZColumnInfoList& columnsInfo);

  // Slot bytes of a column: 0 for stUnknown, the value's width for numbers and
  // dates, Precision + 1 for text, 2 * Precision + 2 for wide text, Precision +
  // 2 for bytes, one pointer for streams. A negative precision counts as 0.
  static int GetColumnSize(const TZColumnInfo& columnInfo);

  int RowSize() const { return rowSize_; }
  int ColumnsSize() const { return columnsSize_; }
  int ColumnCount() const { return static_cast<int>(columnTypes_.size()); }
  bool HasBlobs() const { return hasBlobs_; }
  // Per column, 0-based like the arrays they are.
  const std::vector<AnsiString>& ColumnNames() const { return columnNames_; }
  const std::vector<bool>& ColumnCases() const { return columnCases_; }
  const TZSQLTypeArray& ColumnTypes() const { return columnTypes_; }
  const std::vector<int>& ColumnLengths() const { return columnLengths_; }
  const std::vector<int>& ColumnOffsets() const { return columnOffsets_; }

  // The buffer the column operations work on; never owned by the accessor.
  TZRowBuffer* RowBuffer() const { return rowBuffer_; }
  void SetRowBuffer(TZRowBuffer* buffer) { rowBuffer_ = buffer; }

  // --- Buffers. Every buffer from AllocBuffer must go back through DisposeBuffer.
  // RowSize bytes, initialised; EOutOfMemory when memory runs out.
  TZRowBuffer* AllocBuffer();
  // Fresh memory: Index 0, header zero, every column null. Releases nothing.
  void InitBuffer(TZRowBuffer* buffer);
  // Index -1, header zero, blob references released, every column null.
  void ClearBuffer(TZRowBuffer* buffer);
  void DisposeBuffer(TZRowBuffer* buffer);
  // The destination gets the source's header and columns and shares its blobs.
  // Copying, moving or cloning a buffer onto itself leaves it as it is; an
  // absent buffer raises "Row buffer is not assigned".
  void CopyBuffer(const TZRowBuffer* src, TZRowBuffer* dest);
  // As CopyBuffer, then the source is cleared.
  void MoveBuffer(TZRowBuffer* src, TZRowBuffer* dest);
  // As CopyBuffer, but each blob is cloned, so the two rows never share one.
  void CloneBuffer(const TZRowBuffer* src, TZRowBuffer* dest);

  // The same on RowBuffer.
  void Alloc() { rowBuffer_ = AllocBuffer(); }
  void Dispose();
  void MoveFrom(TZRowBuffer* buffer) { MoveBuffer(buffer, rowBuffer_); }
  void CloneFrom(const TZRowBuffer* buffer) { CloneBuffer(buffer, rowBuffer_); }
  void Clear() { ClearBuffer(rowBuffer_); }

  // --- Blob references of a stream column of any buffer of this layout; any
  // other column raises "Cannot access blob record in column %d with type %s".
  // None when the column is null; otherwise the stored blob (maybe none).
  Ref<IZBlob> GetBlobObject(const TZRowBuffer* buffer, int columnIndex) const;
  // Releases the column's old reference; no blob makes the column null.
  void SetBlobObject(TZRowBuffer* buffer, int columnIndex, const Ref<IZBlob>& value);

  // --- Checks on RowBuffer. EZSQLException "Row buffer is not assigned",
  // "Column with index %d is not accessable", "Convertion is not possible for
  // column %d from %s to %s".
  // Inline, as every getter and setter runs them; the failures are out of line.
  void CheckColumnIndex(int columnIndex) const {
    if (!rowBuffer_ || columnIndex < 1 || columnIndex > ColumnCount()) RaiseColumnIndexError(columnIndex);
  }
  void CheckColumnConversion(int columnIndex, TZSQLType resultType) const {
    CheckColumnIndex(columnIndex);
    TZSQLType type = TypeOf(columnIndex);
    // A column read as its own type, or as text (which every type converts
    // to), needs no look-up.
    if ((type != resultType || type == stUnknown) && resultType != stString) CheckConvertible(columnIndex, resultType);
  }

  // --- Null flags and raw data on RowBuffer.
  // A stream column also counts as null when its blob is absent or empty.
  bool IsNull(int columnIndex) const;
  void SetNull(int columnIndex);
  // A null stream column becomes a non-null column without a blob.
  void SetNotNull(int columnIndex);
  // The column's first data byte; inline, as a dataset reads each field so.
  std::uint8_t* GetColumnData(int columnIndex, bool& isNull) const {
    CheckColumnConversion(columnIndex, stString);
    isNull = IsNullByte(columnIndex);
    return Data(rowBuffer_, columnIndex);
  }
  int GetColumnDataSize(int columnIndex) const {
    CheckColumnConversion(columnIndex, stString);
    return columnLengths_[columnIndex - 1];
  }

  // Orders two buffers by the listed columns (1-based, most significant first);
  // columnDirs holds true for ascending (a missing entry counts as ascending).
  // Negative, zero or positive. A null orders before any value.
  int CompareBuffers(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2,
                     const TZIntegerDynArray& columnIndices, const TZBooleanDynArray& columnDirs) const;

  // --- Typed getters on RowBuffer. isNull tells whether the column is null;
  // a null column gives the empty value of the type.
  // Points into the buffer for a text column, else at a copy that stays valid
  // until the next GetPChar of this accessor. Null gives nullptr.
  const char* GetPChar(int columnIndex, bool& isNull);
  AnsiString GetString(int columnIndex, bool& isNull);
  WideString GetUnicodeString(int columnIndex, bool& isNull);
  bool GetBoolean(int columnIndex, bool& isNull);
  std::int8_t GetByte(int columnIndex, bool& isNull);
  std::int16_t GetShort(int columnIndex, bool& isNull);
  int GetInt(int columnIndex, bool& isNull);
  std::int64_t GetLong(int columnIndex, bool& isNull);
  float GetFloat(int columnIndex, bool& isNull);
  double GetDouble(int columnIndex, bool& isNull);
  long double GetBigDecimal(int columnIndex, bool& isNull);
  TByteDynArray GetBytes(int columnIndex, bool& isNull);
  TDateTime GetDate(int columnIndex, bool& isNull);
  TDateTime GetTime(int columnIndex, bool& isNull);
  TDateTime GetTimestamp(int columnIndex, bool& isNull);
  // A new stream with a copy of the blob, owned by the caller; none (and
  // isNull true) when the column holds no value.
  std::unique_ptr<TStream> GetAsciiStream(int columnIndex, bool& isNull);
  std::unique_ptr<TStream> GetBinaryStream(int columnIndex, bool& isNull);
  // A null stream column receives a new empty blob, which is returned.
  Ref<IZBlob> GetBlob(int columnIndex, bool& isNull);
  TZVariant GetValue(int columnIndex);

  // --- Typed setters on RowBuffer; a value that does not fit the column
  // raises the range error (a text or bytes longer than the column: "Value
  // of %d characters is too long ...") and stores nothing.
  void SetBoolean(int columnIndex, bool value);
  void SetByte(int columnIndex, std::int8_t value);
  void SetShort(int columnIndex, std::int16_t value);
  void SetInt(int columnIndex, int value);
  void SetLong(int columnIndex, std::int64_t value);
  void SetFloat(int columnIndex, float value);
  void SetDouble(int columnIndex, double value);
  void SetBigDecimal(int columnIndex, long double value);
  // nullptr makes a text column null (and is empty text for other types).
  void SetPChar(int columnIndex, const char* value);
  // Text of a known length: a zero byte in it is refused, not taken for its end.
  void SetPChar(int columnIndex, const char* value, std::size_t length);
  void SetString(int columnIndex, const AnsiString& value);
  void SetUnicodeString(int columnIndex, const WideString& value);
  // An empty array makes the column null.
  void SetBytes(int columnIndex, const TByteDynArray& value);
  void SetDate(int columnIndex, TDateTime value);
  void SetTime(int columnIndex, TDateTime value);
  void SetTimestamp(int columnIndex, TDateTime value);
  // The stream's whole content is copied; the caller keeps the stream.
  void SetAsciiStream(int columnIndex, TStream* value);
  void SetUnicodeStream(int columnIndex, TStream* value);
  void SetBinaryStream(int columnIndex, TStream* value);
  // No blob makes the column null.
  void SetBlob(int columnIndex, const Ref<IZBlob>& value);

private:
  TZSQLType TypeOf(int columnIndex) const { return columnTypes_[columnIndex - 1]; }
  void CheckIndexRange(int columnIndex) const;
  [[noreturn]] void RaiseColumnIndexError(int columnIndex) const;
  void CheckConvertible(int columnIndex, TZSQLType resultType) const;
  void CheckStreamColumn(int columnIndex) const;
  // Two-buffer operations refuse an absent buffer.
  static void CheckBuffers(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2);
  // Null byte and first data byte of a column in a buffer, with the column
  // area's index limit checked.
  // Inline for the getters and setters; the offset check fails only for
  // columns laid out beyond the area limit.
  std::uint8_t* NullByte(const TZRowBuffer* buffer, int columnIndex) const {
    return ColumnByte(buffer, columnOffsets_[columnIndex - 1]);
  }
  std::uint8_t* Data(const TZRowBuffer* buffer, int columnIndex) const {
    return ColumnByte(buffer, columnOffsets_[columnIndex - 1] + 1);
  }
  static std::uint8_t* ColumnByte(const TZRowBuffer* buffer, int offset) {
    if (offset > kColumnAreaLimit) RaiseColumnAreaError();
    return const_cast<std::uint8_t*>(buffer->Columns()) + offset;
  }
  [[noreturn]] static void RaiseColumnAreaError();
  // The byte count of a stBytes value, within the slot and the area limit.
  int StoredByteCount(const TZRowBuffer* buffer, int columnIndex) const;
  void CheckBytesLimit(int columnIndex, int count) const;
  // A value longer than the column's slot is refused by name, never cut.
  void CheckFits(int columnIndex, std::size_t length, std::size_t precision) const;
  [[noreturn]] void RaiseHoldsZero(int columnIndex) const;
  bool IsNullByte(int columnIndex) const { return *NullByte(rowBuffer_, columnIndex) != 0; }
  void ReleaseBlobs(TZRowBuffer* buffer);
  void CopyColumns(const TZRowBuffer* src, TZRowBuffer* dest);
  int CompareColumn(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2, int columnIndex) const;

  // The getters' check; true when the column is null.
  bool BeginGet(int columnIndex, TZSQLType resultType, bool& isNull) const;
  // Reading the stored value as a wider type, for the conversions.
  std::int64_t ReadInteger(int columnIndex, bool wideText);
  long double ReadFloat(int columnIndex);
  TDateTime ReadDateTime(int columnIndex);
  AnsiString ReadString(int columnIndex);
  WideString ReadUnicodeString(int columnIndex);
  AnsiString BlobText(int columnIndex);
  WideString BlobUnicodeText(int columnIndex);
  Ref<IZBlob> BlobForWriting(int columnIndex);
  std::unique_ptr<TStream> ReadStream(int columnIndex, TZSQLType streamType, bool& isNull);

  // Writing a value into the column's stored type, after the check.
  void StoreBoolean(int columnIndex, bool value);
  void StoreInteger(int columnIndex, std::int64_t value);
  void StoreFloat(int columnIndex, long double value);
  void StoreString(int columnIndex, const char* text, std::size_t length);
  void StoreUnicodeString(int columnIndex, const WideString& value);
  void StoreBytes(int columnIndex, const TByteDynArray& value);
  void StoreDateTime(int columnIndex, TDateTime value, TZSQLType valueType);
  void StoreText(int columnIndex, const AnsiString& value);
  void StoreStream(int columnIndex, TZSQLType streamType, TStream* value);

  int rowSize_ = kRowHeaderSize;
  int columnsSize_ = 0;
  std::vector<AnsiString> columnNames_;
  std::vector<bool> columnCases_;
  TZSQLTypeArray columnTypes_;
  std::vector<int> columnLengths_;
  std::vector<int> columnOffsets_;
  TZRowBuffer* rowBuffer_ = nullptr;
  bool hasBlobs_ = false;
  AnsiString temporaryString_;
};

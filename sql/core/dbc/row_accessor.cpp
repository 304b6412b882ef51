// The row accessor's layout and buffer handling: computing the slots once,
// allocating, clearing, copying and cloning buffers with their blob
// references, the column checks, the null flags and the row comparison that
// sorting and change detection use.
#include "sql/core/dbc/row_accessor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/row_accessor_slots.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

using namespace detail::row_slots;

namespace {

constexpr std::uint8_t kNullByte = 1;

int CheckedAdd(int a, int b) {
  int sum;
  if (__builtin_add_overflow(a, b, &sum)) throw EIntOverflow(SIntOverflow);
  return sum;
}

int CheckedTwice(int a) { return CheckedAdd(a, a); }

// Positive, zero or negative by the sign of a comparison of two values.
template <class T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareBytes(const std::uint8_t* a, int lengthA, const std::uint8_t* b, int lengthB) {
  int common = std::min(lengthA, lengthB);
  int result = common > 0 ? std::memcmp(a, b, common) : 0;
  return result != 0 ? result : Sign(lengthA, lengthB);
}

}  // namespace

TZRowAccessor::TZRowAccessor(const TZColumnInfoList& columnsInfo) {
  int count = columnsInfo.Count();
  columnNames_.resize(count);
  columnCases_.resize(count);
  columnTypes_.resize(count);
  columnLengths_.resize(count);
  columnOffsets_.resize(count);
  for (int i = 0; i < count; i++) {
    const TZColumnInfo& info = columnsInfo[i];
    // For messages: a result's own label where no table column is known yet.
    columnNames_[i] = info.ColumnName.empty() ? info.ColumnLabel : info.ColumnName;
    columnCases_[i] = info.CaseSensitive;
    columnTypes_[i] = info.ColumnType;
    int length = GetColumnSize(info);
    columnLengths_[i] = length;
    columnOffsets_[i] = columnsSize_;
    columnsSize_ = CheckedAdd(columnsSize_, CheckedAdd(length, 1));
    hasBlobs_ = hasBlobs_ || IsStreamSQLType(info.ColumnType);
  }
  rowSize_ = CheckedAdd(columnsSize_, kRowHeaderSize);
}

int TZRowAccessor::GetColumnSize(const TZColumnInfo& columnInfo) {
  int precision = std::max(columnInfo.Precision, 0);
  switch (columnInfo.ColumnType) {
    case stBoolean: return 2;
    case stByte: return 1;
    case stShort: return 2;
    case stInteger: return 4;
    case stLong: return 8;
    case stFloat: return 4;
    case stDouble: return 8;
    case stBigDecimal: return kExtendedSize;
    case stString: return CheckedAdd(precision, 1);
    case stUnicodeString: return CheckedTwice(CheckedAdd(precision, 1));
    case stBytes: return CheckedAdd(precision, 2);
    case stDate:
    case stTime:
    case stTimestamp: return 8;
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: return kBlobSlotSize;
    default: return 0;
  }
}

// --- Buffers ---------------------------------------------------------------------

TZRowBuffer* TZRowAccessor::AllocBuffer() {
  auto* buffer = static_cast<TZRowBuffer*>(std::malloc(rowSize_));
  if (!buffer) throw EOutOfMemory(SOutOfMemory);
  InitBuffer(buffer);
  return buffer;
}

void TZRowAccessor::InitBuffer(TZRowBuffer* buffer) {
  if (!buffer) return;
  buffer->Index = 0;
  buffer->UpdateType = utUnmodified;
  buffer->BookmarkFlag = 0;
  std::memset(buffer->Columns(), kNullByte, columnsSize_);
}

void TZRowAccessor::ReleaseBlobs(TZRowBuffer* buffer) {
  for (int i = 0; i < ColumnCount(); i++) {
    if (!IsStreamSQLType(columnTypes_[i])) continue;
    std::uint8_t* column = buffer->Columns() + columnOffsets_[i];
    if (*column != 0) continue;
    *column = kNullByte;  // never released twice, even if a Release throws
    if (IZBlob* blob = LoadBlob(column + 1)) blob->Release();
  }
}

void TZRowAccessor::ClearBuffer(TZRowBuffer* buffer) {
  if (!buffer) return;
  buffer->Index = -1;
  buffer->UpdateType = utUnmodified;
  buffer->BookmarkFlag = 0;
  if (hasBlobs_) ReleaseBlobs(buffer);
  std::memset(buffer->Columns(), kNullByte, columnsSize_);
}

void TZRowAccessor::DisposeBuffer(TZRowBuffer* buffer) {
  if (!buffer) return;
  ClearBuffer(buffer);
  std::free(buffer);
}

void TZRowAccessor::Dispose() {
  DisposeBuffer(rowBuffer_);
  rowBuffer_ = nullptr;
}

void TZRowAccessor::CheckBuffers(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2) {
  if (!buffer1 || !buffer2) throw EZSQLException(SZRowBufferIsNotAssigned);
}

// The byte copy that copy and clone share. The destination's own blob
// references go first, so the whole block can then be overwritten at once.
void TZRowAccessor::CopyColumns(const TZRowBuffer* src, TZRowBuffer* dest) {
  if (hasBlobs_) ReleaseBlobs(dest);
  std::memcpy(dest, src, rowSize_);
}

void TZRowAccessor::CopyBuffer(const TZRowBuffer* src, TZRowBuffer* dest) {
  CheckBuffers(src, dest);
  if (src == dest) return;
  CopyColumns(src, dest);
  if (!hasBlobs_) return;
  for (int i = 0; i < ColumnCount(); i++) {
    if (!IsStreamSQLType(columnTypes_[i])) continue;
    std::uint8_t* column = dest->Columns() + columnOffsets_[i];
    if (*column != 0) continue;
    if (IZBlob* blob = LoadBlob(column + 1))
      blob->AddRef();
    else
      *column = kNullByte;
  }
}

void TZRowAccessor::MoveBuffer(TZRowBuffer* src, TZRowBuffer* dest) {
  CheckBuffers(src, dest);
  if (src == dest) return;
  CopyBuffer(src, dest);
  ClearBuffer(src);
}

void TZRowAccessor::CloneBuffer(const TZRowBuffer* src, TZRowBuffer* dest) {
  CheckBuffers(src, dest);
  if (src == dest) return;
  CopyColumns(src, dest);
  if (!hasBlobs_) return;
  int i = 0;
  try {
    for (; i < ColumnCount(); i++) {
      if (!IsStreamSQLType(columnTypes_[i])) continue;
      std::uint8_t* column = dest->Columns() + columnOffsets_[i];
      if (*column != 0) continue;
      IZBlob* blob = LoadBlob(column + 1);
      if (!blob) {
        *column = kNullByte;
        continue;
      }
      StoreBlob(column + 1, blob->Clone().Detach());
    }
  } catch (...) {
    // The columns not reached still hold the source's pointers without a
    // reference of their own: they must not be released later.
    for (; i < ColumnCount(); i++)
      if (IsStreamSQLType(columnTypes_[i])) dest->Columns()[columnOffsets_[i]] = kNullByte;
    throw;
  }
}

// --- Blob references ---------------------------------------------------------

void TZRowAccessor::CheckStreamColumn(int columnIndex) const {
  CheckIndexRange(columnIndex);
  TZSQLType type = TypeOf(columnIndex);
  if (!IsStreamSQLType(type))
    throw EZSQLException(Format(SZCanNotAccessBlobRecord, {columnIndex, GetSQLTypeName(type)}));
}

Ref<IZBlob> TZRowAccessor::GetBlobObject(const TZRowBuffer* buffer, int columnIndex) const {
  CheckStreamColumn(columnIndex);
  if (*NullByte(buffer, columnIndex) != 0) return nullptr;
  return Ref<IZBlob>(LoadBlob(Data(buffer, columnIndex)));
}

void TZRowAccessor::SetBlobObject(TZRowBuffer* buffer, int columnIndex, const Ref<IZBlob>& value) {
  CheckStreamColumn(columnIndex);
  std::uint8_t* null = NullByte(buffer, columnIndex);
  std::uint8_t* slot = Data(buffer, columnIndex);
  IZBlob* old = *null == 0 ? LoadBlob(slot) : nullptr;
  if (value) value->AddRef();
  StoreBlob(slot, value.get());
  *null = value ? 0 : kNullByte;
  if (old) old->Release();
}

// --- Checks --------------------------------------------------------------------

void TZRowAccessor::CheckIndexRange(int columnIndex) const {
  if (columnIndex < 1 || columnIndex > ColumnCount())
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
}

void TZRowAccessor::RaiseColumnIndexError(int columnIndex) const {
  if (!rowBuffer_) throw EZSQLException(SZRowBufferIsNotAssigned);
  throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
}

void TZRowAccessor::CheckConvertible(int columnIndex, TZSQLType resultType) const {
  TZSQLType type = TypeOf(columnIndex);
  if (!CanConvertSQLType(type, resultType))
    throw EZSQLException(
        Format(SZConvertionIsNotPossible, {columnIndex, GetSQLTypeName(type), GetSQLTypeName(resultType)}));
}

void TZRowAccessor::RaiseColumnAreaError() { RaiseRangeError(); }

int TZRowAccessor::StoredByteCount(const TZRowBuffer* buffer, int columnIndex) const {
  const std::uint8_t* data = Data(buffer, columnIndex);
  int count = std::clamp<int>(Load<std::int16_t>(data), 0, columnLengths_[columnIndex - 1] - 2);
  CheckBytesLimit(columnIndex, count);
  return count;
}

void TZRowAccessor::CheckFits(int columnIndex, std::size_t length, std::size_t precision) const {
  if (length > precision)
    throw EZSQLException(Format(SZValueTooLongForColumn, {static_cast<std::int64_t>(length), columnIndex,
                                                          columnNames_[columnIndex - 1],
                                                          static_cast<std::int64_t>(precision)}));
}

void TZRowAccessor::RaiseHoldsZero(int columnIndex) const {
  throw EZSQLException(Format(SZValueHoldsZeroForColumn, {columnIndex, columnNames_[columnIndex - 1]}));
}

void TZRowAccessor::CheckBytesLimit(int columnIndex, int count) const {
  if (count > 0 && columnOffsets_[columnIndex - 1] + 1 + 2 + (count - 1) > kColumnAreaLimit) RaiseRangeError();
}

// --- Null flags and raw data ---------------------------------------------------

bool TZRowAccessor::IsNull(int columnIndex) const {
  CheckColumnConversion(columnIndex, stString);
  if (IsNullByte(columnIndex)) return true;
  if (!IsStreamSQLType(TypeOf(columnIndex))) return false;
  IZBlob* blob = LoadBlob(Data(rowBuffer_, columnIndex));
  return !blob || blob->IsEmpty();
}

void TZRowAccessor::SetNull(int columnIndex) {
  CheckColumnConversion(columnIndex, stString);
  if (IsStreamSQLType(TypeOf(columnIndex))) {
    SetBlobObject(rowBuffer_, columnIndex, nullptr);
    return;
  }
  *NullByte(rowBuffer_, columnIndex) = kNullByte;
}

void TZRowAccessor::SetNotNull(int columnIndex) {
  CheckColumnConversion(columnIndex, stString);
  std::uint8_t* null = NullByte(rowBuffer_, columnIndex);
  if (*null != 0 && IsStreamSQLType(TypeOf(columnIndex))) StoreBlob(Data(rowBuffer_, columnIndex), nullptr);
  *null = 0;
}

// --- Comparison ------------------------------------------------------------------

int TZRowAccessor::CompareBuffers(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2,
                                  const TZIntegerDynArray& columnIndices,
                                  const TZBooleanDynArray& columnDirs) const {
  CheckBuffers(buffer1, buffer2);
  for (std::size_t k = 0; k < columnIndices.size(); k++) {
    int column = columnIndices[k];
    CheckIndexRange(column);
    bool null1 = *NullByte(buffer1, column) != 0;
    bool null2 = *NullByte(buffer2, column) != 0;
    if (null1 && null2) continue;
    int result;
    if (null1 != null2 && !IsStreamSQLType(TypeOf(column)))
      result = null1 ? -1 : 1;
    else
      result = CompareColumn(buffer1, buffer2, column);
    if (result == 0) continue;
    bool ascending = k >= columnDirs.size() || columnDirs[k];
    return ascending ? result : -result;
  }
  return 0;
}

// Both values present, except for stream columns where a null counts as empty.
int TZRowAccessor::CompareColumn(const TZRowBuffer* buffer1, const TZRowBuffer* buffer2, int column) const {
  TZSQLType type = TypeOf(column);
  int length = columnLengths_[column - 1];
  const std::uint8_t* a = nullptr;
  const std::uint8_t* b = nullptr;
  if (!IsStreamSQLType(type)) {
    a = Data(buffer1, column);
    b = Data(buffer2, column);
  }
  switch (type) {
    case stBoolean: return Sign(Load<std::int16_t>(a) != 0, Load<std::int16_t>(b) != 0);
    case stByte: return Sign(Load<std::int8_t>(a), Load<std::int8_t>(b));
    case stShort: return Sign(Load<std::int16_t>(a), Load<std::int16_t>(b));
    case stInteger: return Sign(Load<std::int32_t>(a), Load<std::int32_t>(b));
    case stLong: return Sign(Load<std::int64_t>(a), Load<std::int64_t>(b));
    case stFloat: return Sign<long double>(Load<float>(a), Load<float>(b));
    case stDouble:
    case stDate:
    case stTime:
    case stTimestamp: return Sign<long double>(Load<double>(a), Load<double>(b));
    case stBigDecimal: return Sign(LoadExtended(a), LoadExtended(b));
    case stString: return AnsiCompareStr(LoadText(a, length - 1), LoadText(b, length - 1));
    case stUnicodeString: return WideCompareStr(LoadWideText(a, length), LoadWideText(b, length));
    case stBytes: {
      int count1 = StoredByteCount(buffer1, column);
      int count2 = StoredByteCount(buffer2, column);
      return CompareBytes(a + 2, count1, b + 2, count2);
    }
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: {
      Ref<IZBlob> blob1 = GetBlobObject(buffer1, column);
      Ref<IZBlob> blob2 = GetBlobObject(buffer2, column);
      bool empty1 = !blob1 || blob1->IsEmpty();
      bool empty2 = !blob2 || blob2->IsEmpty();
      if (empty1 || empty2) return empty1 == empty2 ? 0 : (empty1 ? -1 : 1);
      if (type == stUnicodeStream) return WideCompareStr(blob1->GetUnicodeString(), blob2->GetUnicodeString());
      AnsiString text1 = blob1->GetString();
      AnsiString text2 = blob2->GetString();
      if (type == stAsciiStream) return AnsiCompareStr(text1, text2);
      return CompareBytes(reinterpret_cast<const std::uint8_t*>(text1.data()), static_cast<int>(text1.size()),
                          reinterpret_cast<const std::uint8_t*>(text2.data()), static_cast<int>(text2.size()));
    }
    default: return 0;
  }
}

// Walks the record chain of an extracted skin member; see skin_records.h.
#include "skin/skin_records.h"

#include <cstring>

#include "platform/rtl/streams.h"

namespace {

constexpr int kHeaderSizeField = 12;
constexpr int kFirstRecordField = 20;
constexpr int kTypeField = 64;
constexpr int kDataOffsetField = 65;
constexpr int kDataSizeField = 69;
constexpr int kNextField = 73;

[[noreturn]] void Damaged(const char* what) { throw ESkinFileError(AnsiString("Damaged skin data: ") + what); }

void ReadAt(TStream* stream, int64_t offset, void* buffer, int64_t count) {
  stream->SetPosition(offset);
  stream->ReadBuffer(buffer, count);
}

TSkinRecord ReadRecord(TStream* stream, int64_t offset, int64_t size) {
  if (offset < 0 || offset + kSkinRecordSize > size) Damaged("a record lies outside the data");
  uint8_t raw[kSkinRecordSize];
  ReadAt(stream, offset, raw, kSkinRecordSize);
  TSkinRecord r;
  r.Name.assign(reinterpret_cast<const char*>(raw), strnlen(reinterpret_cast<const char*>(raw), kSkinRecordNameSize));
  r.Type = raw[kTypeField];
  r.DataOffset = GetLE32(raw + kDataOffsetField);
  r.DataSize = GetLE32(raw + kDataSizeField);
  r.Next = GetLE32(raw + kNextField);
  return r;
}

void CheckDataSize(const TSkinRecord& r) {
  if (r.Type == srInteger && r.DataSize != 4) Damaged("an integer record is not 4 bytes");
  if (r.Type == srBoolean && r.DataSize != 1) Damaged("a boolean record is not 1 byte");
}

}  // namespace

void ReadSkinRecords(TStream* stream, const TSkinRecordVisitor& visit) {
  const int64_t size = stream->Size();
  if (size < kSkinHeaderSize) Damaged("the header is cut short");
  uint8_t header[kSkinHeaderSize];
  ReadAt(stream, 0, header, kSkinHeaderSize);
  if (GetLE32(header + kHeaderSizeField) != kSkinHeaderSize) Damaged("unknown header size");
  int64_t offset = GetLE32(header + kFirstRecordField);
  TSkinRecord record = ReadRecord(stream, offset, size);
  while (record.Next != 0) {
    // A chain that moves only forward through a finite file always ends.
    if (record.Next <= offset) Damaged("the record chain runs backwards");
    if (int64_t(record.DataOffset) + record.DataSize > size) Damaged("record data lies outside the data");
    CheckDataSize(record);
    AnsiString data(record.DataSize, '\0');
    if (record.DataSize > 0) ReadAt(stream, record.DataOffset, data.data(), record.DataSize);
    visit(record, data);
    offset = record.Next;
    record = ReadRecord(stream, offset, size);
  }
}

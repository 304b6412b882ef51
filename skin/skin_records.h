// The record chain inside a skin's "SKINDATA.SK2" member: a 24-byte header,
// then 77-byte records (name, type, data offset and size, next offset) whose
// chain ends at a terminator with next offset 0. The walker checks what a
// damaged file could use to loop or to read outside itself.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/byte_order.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

class TStream;

VX_DECLARE_EXCEPTION(ESkinFileError, Exception)

enum TSkinRecordType : uint8_t { srBitmap = 0, srInteger = 1, srBoolean = 2, srString = 3 };

inline constexpr int kSkinHeaderSize = 24;
inline constexpr int kSkinRecordSize = 77;
inline constexpr int kSkinRecordNameSize = 64;
inline constexpr char kSkinMemberName[] = "SKINDATA.SK2";

struct TSkinRecord {
  AnsiString Name;  // up to the first NUL of the name field
  uint8_t Type = 0;
  uint32_t DataOffset = 0;
  uint32_t DataSize = 0;
  uint32_t Next = 0;
};

using TSkinRecordVisitor = std::function<void(const TSkinRecord& record, const AnsiString& data)>;

// Calls visit for every record before the terminator, with the record's data
// bytes. Raises ESkinFileError when the header or a record lies outside the
// stream, the header size is not 24, an integer or boolean record has the
// wrong size, or a next offset does not move forward.
void ReadSkinRecords(TStream* stream, const TSkinRecordVisitor& visit);

// The rules that size and name directory and path-table records. The layout
// counts sectors with them and the header writer places the bytes with them,
// so both always agree on where a record ends up.
#pragma once

#include <cstdint>
#include <vector>

#include "cdwriter/iso_entries.h"

constexpr uint8_t kRecordHeaderBytes = 33;
constexpr uint8_t kDotRecordBytes = 34;

// An entry named "." or ".." (written with the name byte 0 or 1).
bool IsDotEntry(const TFEntry* entry);
// Whether the list brings its own "." record; otherwise "." and ".." are written first.
bool ListStartsWithDot(const TDEntry* dir);
// The record names, files with ";1": the ISO short name and the Joliet name.
AnsiString IsoRecordName(const TFEntry* entry);
WideString JolietRecordName(const TFEntry* entry);
uint8_t RecordLength(const TFEntry* entry, bool joliet);
// Bytes of a directory's extent: records never cross a sector end.
int64_t DirExtentSize(const TDEntry* dir, bool joliet);
// Bytes of a path table: the root's record and one per other directory.
uint32_t PathTableSize(const std::vector<TDEntry*>& dirs, bool joliet);
// Where a record of the given length starts when the area is filled up to `used`.
inline uint32_t PlaceRecord(uint32_t used, uint32_t length) {
  const uint32_t left = kSectorBytes - used % kSectorBytes;
  return length > left ? used + left : used;
}

// Sizes and names of directory and path-table records (see image_records.h).

#include "cdwriter/image_records.h"

namespace {

constexpr uint32_t kPathRecordHeaderBytes = 8;
constexpr uint32_t kRootPathRecordBytes = 10;

}  // namespace

bool IsDotEntry(const TFEntry* entry) { return entry->LongName == "." || entry->LongName == ".."; }

bool ListStartsWithDot(const TDEntry* dir) { return dir->Files && dir->Files->LongName == "."; }

AnsiString IsoRecordName(const TFEntry* entry) { return entry->Dir ? entry->ShortName : entry->ShortName + ";1"; }

WideString JolietRecordName(const TFEntry* entry) {
  const WideString name = JolietName(*entry);
  return entry->Dir ? name : name + u";1";
}

uint8_t RecordLength(const TFEntry* entry, bool joliet) {
  if (IsDotEntry(entry)) return kDotRecordBytes;
  // Joliet counts UTF-16 units, two bytes each.
  const size_t chars = joliet ? JolietRecordName(entry).size() : IsoRecordName(entry).size();
  const size_t name_bytes = joliet ? 2 * chars + 1 : chars + (chars % 2 == 0 ? 1 : 0);
  return static_cast<uint8_t>(kRecordHeaderBytes + name_bytes);
}

int64_t DirExtentSize(const TDEntry* dir, bool joliet) {
  uint32_t used = ListStartsWithDot(dir) ? 0 : 2 * kDotRecordBytes;
  for (const TFEntry* e = dir->Files; e; e = e->Next) {
    const uint8_t length = RecordLength(e, joliet);
    used = PlaceRecord(used, length) + length;
  }
  return SectorBytesOf(used);
}

uint32_t PathTableSize(const std::vector<TDEntry*>& dirs, bool joliet) {
  uint32_t size = kRootPathRecordBytes;
  for (size_t i = 1; i < dirs.size(); ++i) {
    const uint32_t chars = static_cast<uint32_t>(joliet ? JolietName(*dirs[i]).size() : dirs[i]->ShortName.size());
    size += kPathRecordHeaderBytes + (joliet ? 2 * chars : chars + chars % 2);
  }
  return size;
}

// Session import: before a multisession burn the layout reads the directory
// tree of an earlier session from the disc (its Joliet tree when it has one)
// and adds every file and folder to the tree. Imported files keep their
// sectors and are not written again; imported folders are written anew.
// Records come from the disc, so each is read only within its sector and its
// own length, and a folder that leads back to one of its ancestors is not
// entered again.

#include <algorithm>
#include <cstring>
#include <vector>

#include "cdwriter/burner.h"
#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

namespace {

constexpr uint8_t kImportTrace = 1, kImportFailure = 4;
constexpr uint32_t kFirstDescriptor = 16;
constexpr int kDescriptorsSearched = 21;
constexpr uint32_t kUnsearchedFirst = 0x7FFFFFDC, kUnsearchedLast = 0x7FFFFFEF;
constexpr size_t kTrackStartOffset = 8;
constexpr uint8_t kPrimaryType = 1, kJolietType = 2, kTerminatorType = 255;
constexpr size_t kRootRecordOffset = 156;
constexpr size_t kRecordExtent = 2, kRecordLength = 10, kRecordDate = 18, kRecordFlags = 25;
constexpr size_t kRecordNameLength = 32, kRecordName = 33;
constexpr size_t kLastRecordStart = 2015;  // a record needs at least 33 bytes
constexpr uint8_t kFlagHidden = 0x01, kFlagDirectory = 0x02;
constexpr size_t kXaBlockBytes = 14;
constexpr int kYearBase = 1900;

// UCS-2 big-endian to text, cut at the first ";".
WideString JolietNameToText(const uint8_t* bytes, size_t length) {
  WideString wide;
  for (size_t i = 0; i + 1 < length; i += 2) wide += static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]);
  return wide.substr(0, wide.find(u';'));
}

AnsiString IsoNameToText(const uint8_t* bytes, size_t length) {
  AnsiString text(reinterpret_cast<const char*>(bytes), length);
  return text.substr(0, text.find(';'));
}

// The record's date; an impossible date counts as day 0, an impossible time
// raises EConvertError.
TDateTime RecordTime(const uint8_t* date) {
  TDateTime day = 0;
  if (!TryEncodeDate(kYearBase + date[0], date[1], date[2], day)) day = 0;
  return day + EncodeTime(date[3], date[4], date[5], 0);
}

bool IsXaBlock(const uint8_t* p) {
  return p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0 && p[5] == 'U' && p[6] == 'X' && p[7] == 'A';
}

}  // namespace

bool TZIDIzizid::ImportSessionTree(uint8_t session, TDEntry* root) {
  if (!root) root = Root();
  const uint8_t count = GetSessionCount();
  if (count == 0) return false;
  if (session == 255 || session > count) session = count;
  if (session == 0) return false;
  DebugMessage(AnsiString(SDebugPrefix) + Format(SImportingSession, {int{session}}), kImportTrace);
  if (!ReadTrackInformation(session)) {
    DebugMessage(AnsiString(SDebugPrefix) + SErrorImportingSession + " # " + IntToStr(session), kImportFailure);
    return false;
  }
  uint32_t start = 0;
  std::memcpy(&start, TrackInfo() + kTrackStartOffset, sizeof start);
  if (start < kUnsearchedFirst || start > kUnsearchedLast) {
    std::vector<uint8_t> sector(kSectorBytes);
    for (const uint8_t wanted : {kJolietType, kPrimaryType}) {
      for (int i = 0; i < kDescriptorsSearched; ++i) {
        const uint32_t lba = start + kFirstDescriptor + static_cast<uint32_t>(i);
        if (!ReadSectors(static_cast<int32_t>(lba), 1, kSectorBytes, sector.data())) continue;
        if (std::memcmp(sector.data() + 1, "CD001", 5) != 0) continue;
        if (sector[0] == kTerminatorType) break;
        if (sector[0] != wanted) continue;
        const uint8_t* root_record = sector.data() + kRootRecordOffset;
        const uint32_t extent = GetLE32(root_record + kRecordExtent);
        const uint32_t size = GetLE32(root_record + kRecordLength);
        if (wanted == kJolietType) ImportJolietDir(extent, size, root);
        else ImportIsoDir(extent, size, root);
        return true;
      }
    }
  }
  DebugMessage(AnsiString(SDebugPrefix) + Format(SIsoImageNotFound, {int{session}}), kImportFailure);
  return false;
}

bool TZIDIzizid::ImportJolietDir(uint32_t extent, uint32_t size, TDEntry* dir) {
  std::vector<uint32_t> ancestors;
  return ImportDir(extent, size, dir, true, ancestors);
}

bool TZIDIzizid::ImportIsoDir(uint32_t extent, uint32_t size, TDEntry* dir) {
  std::vector<uint32_t> ancestors;
  return ImportDir(extent, size, dir, false, ancestors);
}

bool TZIDIzizid::ImportDir(uint32_t extent, uint32_t size, TDEntry* dir, bool joliet,
                           std::vector<uint32_t>& ancestors) {
  ancestors.push_back(extent);
  std::vector<uint8_t> sector(kSectorBytes);
  bool taken = false;
  bool first_sector = true;
  for (int64_t left = SectorsOf(size); left > 0; --left, ++extent, first_sector = false) {
    if (!ReadSectors(static_cast<int32_t>(extent), 1, kSectorBytes, sector.data())) break;
    size_t offset = 0;
    // "." and ".." open a Joliet folder's first sector.
    if (joliet && first_sector)
      for (int dots = 0; dots < 2 && offset < kSectorBytes && sector[offset] != 0; ++dots) offset += sector[offset];
    while (offset < kLastRecordStart) {
      const uint8_t* record = sector.data() + offset;
      if (!joliet && IsXaBlock(record)) {
        offset += kXaBlockBytes;
        continue;
      }
      const size_t length = record[0];
      if (length == 0 || offset + length > kSectorBytes) break;
      offset += length;
      if (!joliet) taken = true;
      const size_t name_length = record[kRecordNameLength];
      if (length < kRecordName || kRecordName + name_length > length) {
        const size_t shown = length > kRecordName ? length - kRecordName : 0;
        DebugMessage(AnsiString(SImportNameTooLong) + "\n\r" + IsoNameToText(record + kRecordName, shown),
                     kImportFailure);
        continue;
      }
      const uint8_t* name = record + kRecordName;
      if (!joliet && name_length == 1 && (name[0] == 0 || name[0] == 1)) continue;
      TTreeRecord entry;
      if (joliet) SplitName(JolietNameToText(name, name_length), entry.Name, entry.WideName);
      else entry.Name = IsoNameToText(name, name_length);
      // No 8.3 cut: the ISO 9660 name comes from the whole name, made unique
      // in its folder like any other.
      entry.Size = GetLE32(record + kRecordLength);
      entry.Time = RecordTime(record + kRecordDate);
      if (record[kRecordFlags] & kFlagHidden) entry.Attr |= faHidden;
      if (record[kRecordFlags] & kFlagDirectory) entry.Attr |= faDirectory;
      if (ImportEntry(entry, GetLE32(record + kRecordExtent), dir, joliet, ancestors)) taken = true;
    }
  }
  ancestors.pop_back();
  return taken;
}

// A folder is merged into the one of its name; a file never takes the place
// of one already in the tree (the caller's newer file wins), and a file with
// data but no sector is left out, as its bytes are nowhere.
bool TZIDIzizid::ImportEntry(const TTreeRecord& entry, uint32_t extent, TDEntry* dir, bool joliet,
                             std::vector<uint32_t>& ancestors) {
  if (entry.Name.empty()) return false;
  if (entry.Attr & faDirectory) {
    if (std::find(ancestors.begin(), ancestors.end(), extent) != ancestors.end()) return false;
    TDEntry* sub = AddDirEntry(dir, entry);
    if (!sub) return false;
    ImportDir(extent, static_cast<uint32_t>(entry.Size), sub, joliet, ancestors);
    return true;
  }
  if (FindFileEntry(dir, GivenName(entry.Name, entry.WideName))) return false;
  if (extent == 0 && entry.Size > 0) return false;
  return AddFileEntry(dir, entry, 0, extent, "") == 1;
}

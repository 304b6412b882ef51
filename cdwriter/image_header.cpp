// The image header: every sector before the first file (system area, volume
// descriptors, path tables, directory records, boot catalog and padding),
// written into ImageHeader from the positions the layout found.

#include <algorithm>
#include <cstring>

#include "cdwriter/burner.h"
#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/image_records.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"

namespace {

using Sector = std::vector<uint8_t>;

constexpr int64_t kSessionAtOnceLeadSectors = 150;
constexpr int64_t kSystemAreaSectors = 16;
constexpr uint8_t kTerminatorType = 0xFF;
constexpr char kStandardId[] = "CD001";
constexpr uint8_t kJolietEscape[] = {0x25, 0x2F, 0x40};  // UCS-2 level 3
constexpr size_t kDateChars = 16;
constexpr char kNoDate[] = "0000000000000000";
constexpr uint8_t kFlagHidden = 0x01, kFlagDirectory = 0x02;
constexpr uint8_t kVolumeIdMessage = 3;

// Descriptor field offsets.
constexpr size_t kSystemIdAt = 8, kVolumeIdAt = 40, kIdChars = 32;
constexpr size_t kVolumeSpaceAt = 80, kEscapeAt = 88;
constexpr size_t kVolumeSetSizeAt = 120, kVolumeSequenceAt = 124, kBlockSizeAt = 128;
constexpr size_t kPathTableSizeAt = 132, kPathTableLAt = 140, kPathTableMAt = 148;
constexpr size_t kRootRecordAt = 156;
constexpr size_t kVolumeSetAt = 190, kPublisherAt = 318, kPreparerAt = 446, kApplicationAt = 574, kLongIdBytes = 128;
constexpr size_t kCopyrightAt = 702, kAbstractAt = 739, kBibliographicAt = 776;
constexpr size_t kIsoFileIdBytes = 37, kJolietFileIdBytes = 36;
constexpr size_t kCreationAt = 813, kModificationAt = 830, kExpirationAt = 847, kEffectiveAt = 864;
constexpr size_t kStructureVersionAt = 881, kApplicationUseAt = 1024, kApplicationUseBlanks = 8;

// Boot record and catalog.
constexpr size_t kBootSystemIdAt = 7, kBootSystemIdBytes = 32, kBootCatalogPointerAt = 71;
constexpr size_t kCatalogIdAt = 4, kCatalogIdBytes = 24, kChecksumAt = 28, kValidationBytes = 32;
constexpr size_t kDefaultEntryAt = 32;
constexpr uint8_t kBootable = 0x88;

// Directory record field offsets.
constexpr size_t kExtentAt = 2, kDataLengthAt = 10, kDateAt = 18, kFlagsAt = 25, kRecordSequenceAt = 28;
constexpr size_t kNameLengthAt = 32, kNameAt = 33;

// "yyyymmddhhnnss" and the hundredths.
AnsiString DescriptorDate(TDateTime value) {
  int hour, minute, second, msec;
  DecodeTime(value, hour, minute, second, msec);
  return FormatDateTime("yyyymmddhhnnss", value) + PadNumber(2, "0", msec / 10);
}

void PutUcs2(const WideString& text, uint8_t* dest) { PutJolietText(text, dest, 2 * text.size()); }

void PutHeaderStart(Sector& s, uint8_t type) {
  s[0] = type;
  std::memcpy(s.data() + 1, kStandardId, 5);
  s[6] = 1;
}

// The common part of every directory record; date and name are the caller's.
void PutRecord(uint8_t* r, uint8_t length, uint32_t extent, uint32_t data_length, uint8_t flags) {
  r[0] = length;
  PutBoth32(r + kExtentAt, extent);
  PutBoth32(r + kDataLengthAt, data_length);
  r[kFlagsAt] = flags;
  PutBoth16(r + kRecordSequenceAt, 1);
}

// "." (name byte 0) or ".." (name byte 1) of a directory.
void PutDotRecord(uint8_t* r, uint32_t extent, uint32_t data_length, TDateTime date, uint8_t name) {
  PutRecord(r, kDotRecordBytes, extent, data_length, kFlagDirectory);
  PutRecordDate(r + kDateAt, date);
  r[kNameLengthAt] = 1;
  r[kNameAt] = name;
}

}  // namespace

std::vector<AnsiString> VolumeIdProblems(const AnsiString& id, bool joliet) {
  std::vector<AnsiString> problems;
  const auto outside = std::find_if(id.begin(), id.end(), [](char c) {
    return !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
  });
  if (outside != id.end()) problems.push_back(Format(SVolumeIdCharacters, {id}));
  if (id.size() > kIsoVolumeIdChars)
    problems.push_back(Format(SVolumeIdCut, {id, static_cast<int>(kIsoVolumeIdChars), AnsiString("ISO 9660")}));
  if (joliet && id.size() > kJolietVolumeIdChars)
    problems.push_back(Format(SVolumeIdCut, {id, static_cast<int>(kJolietVolumeIdChars), AnsiString("JOLIET")}));
  return problems;
}

bool TZIDIzizid::BuildHeader() {
  for (const AnsiString& problem : VolumeIdProblems(IdVolume, joliet_file_system_))
    DebugMessage(problem, kVolumeIdMessage);
  image_header_->Clear();
  const int64_t lead = (UseSessionAtOnce ? kSessionAtOnceLeadSectors : 0) + kSystemAreaSectors;
  image_header_->SetSize(lead * kSectorBytes);
  image_header_->Seek(0, soEnd);
  const TDateTime now = Now();  // one time for both descriptors
  WriteDescriptor(false, now);
  if (Bootable) WriteBootRecord();
  if (joliet_file_system_) WriteDescriptor(true, now);
  WriteTerminator();
  std::fill(volume_start_.begin(), volume_start_.end(), 0xFF);
  volume_start_length_ = std::min<size_t>(static_cast<size_t>(image_header_->Size()), kVolumeStartBytes);
  std::memcpy(volume_start_.data(), image_header_->Memory(), volume_start_length_);
  WritePathTable(false, false);
  WritePathTable(false, true);
  if (joliet_file_system_) {
    WritePathTable(true, false);
    WritePathTable(true, true);
  }
  WriteDirectories(false);
  if (joliet_file_system_) WriteDirectories(true);
  if (Bootable) WriteBootCatalog();
  image_header_->SetSize(image_header_->Size() + layout_.PaddingSectors * kSectorBytes);
  image_header_->Seek(0, soEnd);
  layout_.TrackSize = layout_.VolumeSpaceSize - layout_.NextWritableAddress;
  layout_valid_ = true;
  SetDoDebug(true);
  return true;
}

void TZIDIzizid::WriteDescriptor(bool joliet, TDateTime now) {
  Sector s(kSectorBytes, 0);
  PutHeaderStart(s, joliet ? 2 : 1);
  auto put = [&](const AnsiString& text, size_t at, size_t bytes) {
    if (joliet) {
      PutJolietText(text, s.data() + at, bytes);
    } else {
      PutIsoText(UpperCase(text), s.data() + at, bytes);
    }
  };
  const TImageLayout& l = layout_;
  put(IdSystem, kSystemIdAt, kIdChars);
  put(IdVolume, kVolumeIdAt, kIdChars);
  PutBoth32(s.data() + kVolumeSpaceAt, static_cast<uint32_t>(l.VolumeSpaceSize - l.LeadSectors));
  // Only the supplementary descriptor names its character set; in the
  // primary one these bytes are reserved.
  if (joliet) std::memcpy(s.data() + kEscapeAt, kJolietEscape, sizeof kJolietEscape);
  PutBoth16(s.data() + kVolumeSetSizeAt, 1);
  PutBoth16(s.data() + kVolumeSequenceAt, 1);
  PutBoth16(s.data() + kBlockSizeAt, kSectorBytes);
  PutBoth32(s.data() + kPathTableSizeAt, joliet ? l.JolietPathTableSize : l.IsoPathTableSize);
  PutLE32(s.data() + kPathTableLAt, joliet ? l.JolietPathTableL : l.IsoPathTableL);
  PutBE32(s.data() + kPathTableMAt, joliet ? l.JolietPathTableM : l.IsoPathTableM);
  const TDEntry* root = Root();
  uint8_t* r = s.data() + kRootRecordAt;
  PutRecord(r, kDotRecordBytes, joliet ? l.JolietDirStart : l.IsoDirStart,
            static_cast<uint32_t>(joliet ? root->JolietDirSize : root->DirSize), kFlagDirectory);
  r[kNameLengthAt] = 1;
  put(IdVolumeSet, kVolumeSetAt, kLongIdBytes);
  put(IdPublisher, kPublisherAt, kLongIdBytes);
  put(IdPreparer, kPreparerAt, kLongIdBytes);
  put(IdApplication, kApplicationAt, kLongIdBytes);
  const size_t file_id_bytes = joliet ? kJolietFileIdBytes : kIsoFileIdBytes;
  put(FileCopyright, kCopyrightAt, file_id_bytes);
  put(FileAbstract, kAbstractAt, file_id_bytes);
  put(FileBibliographic, kBibliographicAt, file_id_bytes);
  // A date never set is the time of writing, as in the primary descriptor.
  auto date = [&](TDateTime given) { return joliet && given != 0 ? given : now; };
  PutIsoText(DescriptorDate(date(DateCreation)), s.data() + kCreationAt, kDateChars);
  PutIsoText(DescriptorDate(date(DateModification)), s.data() + kModificationAt, kDateChars);
  PutIsoText(kNoDate, s.data() + kExpirationAt, kDateChars);
  PutIsoText(kNoDate, s.data() + kEffectiveAt, kDateChars);
  s[kStructureVersionAt] = 1;
  PutIsoText("", s.data() + kApplicationUseAt, kApplicationUseBlanks);
  image_header_->WriteBuffer(s.data(), kSectorBytes);
}

void TZIDIzizid::WriteBootRecord() {
  Sector s(kSectorBytes, 0);
  PutHeaderStart(s, 0);
  std::memcpy(s.data() + kBootSystemIdAt, SElToritoId, std::min(sizeof SElToritoId, kBootSystemIdBytes));
  PutLE32(s.data() + kBootCatalogPointerAt, layout_.BootCatalog);
  image_header_->WriteBuffer(s.data(), kSectorBytes);
}

void TZIDIzizid::WriteTerminator() {
  Sector s(kSectorBytes, 0);
  PutHeaderStart(s, kTerminatorType);
  image_header_->WriteBuffer(s.data(), kSectorBytes);
}

void TZIDIzizid::WritePathTable(bool joliet, bool big_endian) {
  const std::vector<TDEntry*>& order = joliet ? joliet_order_ : iso_order_;
  const uint32_t area = joliet ? layout_.JolietDirStart : layout_.IsoDirStart;
  // Sized from the tree as it is, so a tree changed since the layout can
  // never make the records overrun the buffer.
  Sector table(SectorBytesOf(PathTableSize(order, joliet)), 0);
  size_t at = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const TDEntry* d = order[i];
    const AnsiString& name = d->ShortName;
    const WideString joliet_name = joliet ? JolietName(*d) : WideString();
    const size_t name_bytes = i == 0 ? 1 : joliet ? 2 * joliet_name.size() : name.size();
    uint8_t* r = table.data() + at;
    r[0] = static_cast<uint8_t>(name_bytes);
    const uint32_t extent = area + static_cast<uint32_t>(joliet ? d->JolietDirIndex : d->DirIndex);
    const uint16_t parent = static_cast<uint16_t>(d->Parent->Number);
    if (big_endian) {
      PutBE32(r + 2, extent);
      PutBE16(r + 6, parent);
    } else {
      PutLE32(r + 2, extent);
      PutLE16(r + 6, parent);
    }
    if (i > 0 && joliet) PutUcs2(joliet_name, r + 8);
    if (i > 0 && !joliet) std::memcpy(r + 8, name.data(), name.size());
    at += 8 + name_bytes + name_bytes % 2;
  }
  image_header_->WriteBuffer(table.data(), static_cast<int64_t>(table.size()));
}

void TZIDIzizid::WriteDirectories(bool joliet) {
  const uint32_t area = joliet ? layout_.JolietDirStart : layout_.IsoDirStart;
  auto extent_of = [&](const TDEntry* d) {
    return area + static_cast<uint32_t>(joliet ? d->JolietDirIndex : d->DirIndex);
  };
  auto size_of = [&](const TDEntry* d) { return static_cast<uint32_t>(joliet ? d->JolietDirSize : d->DirSize); };
  for (const auto& owned : dirs_) {
    const TDEntry* dir = owned.get();
    Sector records(static_cast<size_t>(DirExtentSize(dir, joliet)), 0);  // see WritePathTable
    uint32_t used = 0;
    auto place = [&](uint8_t length) {
      used = PlaceRecord(used, length);
      uint8_t* r = records.data() + used;
      used += length;
      return r;
    };
    if (!ListStartsWithDot(dir)) {
      const TDateTime now = Now();
      PutDotRecord(place(kDotRecordBytes), extent_of(dir), size_of(dir), now, 0);
      PutDotRecord(place(kDotRecordBytes), extent_of(dir->Parent), size_of(dir->Parent), now, 1);
    }
    for (const TFEntry* e = dir->Files; e; e = e->Next) PutEntryRecord(place(RecordLength(e, joliet)), e, joliet);
    image_header_->WriteBuffer(records.data(), static_cast<int64_t>(records.size()));
  }
}

void TZIDIzizid::PutEntryRecord(uint8_t* r, const TFEntry* e, bool joliet) const {
  uint32_t extent = joliet ? e->JolietExtent : e->Extent;
  if (e->Dir) {
    extent += joliet ? layout_.JolietDirStart : layout_.IsoDirStart;
  } else if (!e->Imported) {
    extent += layout_.FirstFileLocation;
  }
  const int64_t data_length = joliet ? e->JolietSize : e->FileSize;
  if (!e->Dir && data_length == 0) extent = 0;
  uint8_t flags = e->Dir ? kFlagDirectory : 0;
  if (e->Attr & faHidden) flags |= kFlagHidden;
  PutRecord(r, RecordLength(e, joliet), extent, static_cast<uint32_t>(data_length), flags);
  PutRecordDate(r + kDateAt, e->DateTime);
  if (IsDotEntry(e)) {
    r[kNameLengthAt] = 1;
    r[kNameAt] = e->LongName == "." ? 0 : 1;
    return;
  }
  if (joliet) {
    const WideString name = JolietRecordName(e);
    r[kNameLengthAt] = static_cast<uint8_t>(2 * name.size());
    PutUcs2(name, r + kNameAt);
  } else {
    const AnsiString name = IsoRecordName(e);
    r[kNameLengthAt] = static_cast<uint8_t>(name.size());
    std::memcpy(r + kNameAt, name.data(), name.size());
  }
}

void TZIDIzizid::WriteBootCatalog() {
  Sector s(kSectorBytes, 0);
  s[0] = 1;  // validation entry; platform 0 is 80x86
  std::memcpy(s.data() + kCatalogIdAt, SBootCatalogId, std::min(sizeof SBootCatalogId - 1, kCatalogIdBytes));
  s[30] = 0x55;
  s[31] = 0xAA;
  uint16_t sum = 0;
  for (size_t i = 0; i < kValidationBytes; i += 2) sum = static_cast<uint16_t>(sum + (s[i] | s[i + 1] << 8));
  PutLE16(s.data() + kChecksumAt, static_cast<uint16_t>(-sum));
  uint8_t* entry = s.data() + kDefaultEntryAt;
  entry[0] = kBootable;
  entry[1] = layout_.BootMediaType;
  PutLE16(entry + 6, layout_.BootLoadSectors);
  PutLE32(entry + 8, layout_.BootImageSector);
  image_header_->WriteBuffer(s.data(), kSectorBytes);
}

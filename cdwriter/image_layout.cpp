// Image layout: where the session starts on the disc, the path-table order of
// the directories, and the sector of every descriptor, path table, directory,
// boot record and file. The header writer (image_header.cpp) then fills the
// sectors before the first file.

#include <algorithm>
#include <cstring>

#include "cdwriter/burner.h"
#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/image_records.h"
#include "platform/rtl/files.h"

namespace {

constexpr uint32_t kSystemAreaSectors = 16;
constexpr uint32_t kMinFirstFileLocation = 150;  // files never start before the lead-in gap
constexpr uint32_t kHighestValidAddress = 0xFF000000;
constexpr int64_t kSessionAtOnceLeadSectors = 150;
constexpr int kReadyWaitMs = 10000, kReadyStepMs = 500;
constexpr uint16_t kDvdRam = 6, kDvdRwRestricted = 8, kDvdRwSequential = 9, kDvdPlusRw = 10;
constexpr size_t kTrackNextWritableOffset = 12;
constexpr int32_t kLastDescriptorSearched = 32;
constexpr size_t kVolumeSpaceOffset = 80;
constexpr uint8_t kPrimaryType = 1, kSupplementaryType = 2;

constexpr size_t kMbrBytes = 512;
constexpr uint8_t kNoEmulation = 0, kHardDiskEmulation = 4;

// A master boot record: the signature, and partition entries whose boot flags
// are 00h or 80h with at least one partition.
bool HasPartitionTable(const uint8_t* mbr) {
  constexpr size_t kTableAt = 446, kEntryBytes = 16, kTypeAt = 4;
  if (mbr[510] != 0x55 || mbr[511] != 0xAA) return false;
  bool any = false;
  for (size_t i = 0; i < 4; ++i) {
    const uint8_t* entry = mbr + kTableAt + i * kEntryBytes;
    if (entry[0] != 0x00 && entry[0] != 0x80) return false;
    any = any || entry[kTypeAt] != 0;
  }
  return any;
}

// Parent numbers never fall and numbers never fall below the largest seen.
bool InPathTableOrder(const std::vector<TDEntry*>& items, size_t from) {
  int previous_parent = 0, largest = 0;
  for (size_t i = from; i < items.size(); ++i) {
    if (items[i]->Parent->Number < previous_parent || items[i]->Number < largest) return false;
    previous_parent = items[i]->Parent->Number;
    largest = std::max(largest, items[i]->Number);
  }
  return true;
}

uint32_t SectorCount(int64_t bytes) { return static_cast<uint32_t>(SectorsOf(bytes)); }

}  // namespace

int TZIDIzizid::LayoutImage(bool skip_disc_check, TDEntry* root) {
  if (BootImage.empty() || !FileExists(BootImage)) Bootable = false;
  SetDoDebug(false);
  layout_ = TImageLayout{};
  if (!skip_disc_check) {
    CurrentDiscType = GetDiscType();
    if (CheckNextWritable && !GetNextWritableAddress())
      DebugMessage(AnsiString(SDebugPrefix) + SNextWritableError, 0);
    if (layout_.NextWritableAddress > kHighestValidAddress) layout_.NextWritableAddress = 0;
    if (ImportSession != 0) ImportSessionTree(static_cast<uint8_t>(std::min<int>(ImportSession, 255)), root);
  }
  OrderDirectories();
  uint32_t position = layout_.NextWritableAddress + kSystemAreaSectors;
  PlaceDescriptorsAndTables(position);
  PlaceDirectories(position);
  PlaceBootAndPadding(position);
  AssignFileLocations();
  layout_.VolumeSpaceSize = layout_.FirstFileLocation + layout_.FileSectors;
  if (UseSessionAtOnce && !skip_disc_check) layout_.LeadSectors = kSessionAtOnceLeadSectors;
  layout_.VolumeSpaceSize += layout_.LeadSectors;
  layout_.TrackSize = layout_.VolumeSpaceSize - layout_.NextWritableAddress;
  return 1;
}

// Both arrays end in one order: the ISO array takes the numbers the Joliet
// name sorts gave, and both are re-sorted by parent until parents never fall.
void TZIDIzizid::OrderDirectories() {
  const int high = DirCount() - 1;
  SortByName(iso_order_, high, false);
  SortByName(joliet_order_, high, true);
  SortByParentName(joliet_order_, high, true);
  for (;;) {
    SortByNumber(iso_order_, high);
    SortByParent(iso_order_, high);
    SortByNumber(iso_order_, high);
    if (!InPathTableOrder(iso_order_, 1)) continue;
    SortByNumber(joliet_order_, high);
    SortByParent(joliet_order_, high);
    if (InPathTableOrder(joliet_order_, 0)) break;
  }
}

void TZIDIzizid::PlaceDescriptorsAndTables(uint32_t& position) {
  TImageLayout& l = layout_;
  l.PrimaryDescriptor = position++;
  if (Bootable) l.BootRecord = position++;
  if (joliet_file_system_) l.JolietDescriptor = position++;
  l.Terminator = position++;
  l.IsoPathTableSize = PathTableSize(iso_order_, false);
  const uint32_t iso_sectors = SectorCount(l.IsoPathTableSize);
  l.IsoPathTableL = position;
  l.IsoPathTableM = position + iso_sectors;
  position += 2 * iso_sectors;
  l.JolietPathTableL = position;
  if (!joliet_file_system_) return;
  l.JolietPathTableSize = PathTableSize(joliet_order_, true);
  const uint32_t joliet_sectors = SectorCount(l.JolietPathTableSize);
  l.JolietPathTableM = position + joliet_sectors;
  position += 2 * joliet_sectors;
}

void TZIDIzizid::PlaceDirectories(uint32_t& position) {
  layout_.IsoDirStart = position;
  int iso_index = 0, joliet_index = 0;
  for (const auto& dir : dirs_) {
    dir->DirIndex = iso_index;
    dir->DirSize = DirExtentSize(dir.get(), false);
    iso_index += static_cast<int>(dir->DirSize / kSectorBytes);
    if (!joliet_file_system_) continue;
    dir->JolietDirIndex = joliet_index;
    dir->JolietDirSize = DirExtentSize(dir.get(), true);
    joliet_index += static_cast<int>(dir->JolietDirSize / kSectorBytes);
  }
  layout_.IsoDirBytes = static_cast<uint32_t>(iso_index) * kSectorBytes;
  position += static_cast<uint32_t>(iso_index);
  layout_.JolietDirStart = position;
  layout_.JolietDirBytes = static_cast<uint32_t>(joliet_index) * kSectorBytes;
  position += static_cast<uint32_t>(joliet_index);
}

void TZIDIzizid::PlaceBootAndPadding(uint32_t& position) {
  TImageLayout& l = layout_;
  if (Bootable) {
    l.BootCatalog = position++;
    TFileStream boot(BootImage, fmOpenRead | fmShareDenyNone);
    l.BootImageBytes = boot.Size();
    l.BootImageSectors = SectorCount(l.BootImageBytes);
    uint8_t first[kMbrBytes] = {};
    boot.Read(first, kMbrBytes);
    SetBootEmulation(first);
    position += l.BootImageSectors;
  }
  l.DirAreaEnd = position;
  l.PaddingSectors = position < kMinFirstFileLocation ? kMinFirstFileLocation - position : 0;
  l.FirstFileLocation = position < kMinFirstFileLocation ? kMinFirstFileLocation : position;
  // The boot image follows the padding, right before the first file.
  l.BootImageSector = l.FirstFileLocation - l.BootImageSectors;
}

// Floppy sizes are floppies, an image that starts with a partition table is
// a hard disk; anything else is a boot program loaded whole, without
// emulation, as boot loaders expect.
void TZIDIzizid::SetBootEmulation(const uint8_t* first_sector) {
  TImageLayout& l = layout_;
  switch (l.BootImageSectors) {
    case 600: l.BootMediaType = 1; break;   // 1.2 MB floppy
    case 720: l.BootMediaType = 2; break;   // 1.44 MB floppy
    case 1440: l.BootMediaType = 3; break;  // 2.88 MB floppy
    default: l.BootMediaType = HasPartitionTable(first_sector) ? kHardDiskEmulation : kNoEmulation;
  }
  constexpr int64_t kVirtualSectorsPerSector = kSectorBytes / 512;
  l.BootLoadSectors = l.BootMediaType == kNoEmulation
                          ? static_cast<uint16_t>(std::min<int64_t>(l.BootImageSectors * kVirtualSectorsPerSector, 0xFFFF))
                          : 1;
}

void TZIDIzizid::AssignFileLocations() {
  int64_t total = 0;
  for (const auto& entry : files_) {
    TFEntry* e = entry.get();
    if (e->Imported) continue;
    if (e->Dir) {
      e->Extent = static_cast<uint32_t>(e->Dir->DirIndex);
      e->JolietExtent = static_cast<uint32_t>(e->Dir->JolietDirIndex);
      e->FileSize = e->Dir->DirSize;
      e->JolietSize = e->Dir->JolietDirSize;
    } else if (e->FileSize > 0) {
      e->JolietSize = e->FileSize;
      e->Extent = e->JolietExtent = static_cast<uint32_t>(total);
      total += e->XAForm2 ? Form2SectorsOf(*e) : SectorsOf(e->FileSize);
    } else {
      e->Extent = e->JolietExtent = 0;
    }
  }
  layout_.FileSectors = total;
}

bool TZIDIzizid::GetNextWritableAddress() {
  uint32_t& nwa = layout_.NextWritableAddress;
  nwa = 0;
  WaitUntilReady(kReadyWaitMs, kReadyStepMs);
  CurrentDiscType = GetDiscType();
  const bool finalize = FinalizeDisc();
  SetFinalizeDisc(true);
  SetWriteParameters(TestWrite(), UnderrunProtection(), CurrentDiscType, true);
  SetFinalizeDisc(finalize);
  WaitUntilReady(kReadyWaitMs, kReadyStepMs);
  auto next_writable = [this] {
    uint32_t value;
    std::memcpy(&value, TrackInfo() + kTrackNextWritableOffset, sizeof value);
    return value;
  };
  if (CurrentDiscType == kDvdRam || CurrentDiscType == kDvdPlusRw) {
    nwa = static_cast<uint32_t>(FindIsoVolumeEnd());
    return true;
  }
  ReadDiscInfo();
  if (CurrentDiscType == kDvdRwRestricted || CurrentDiscType == kDvdRwSequential) {
    const bool ok = ReadTrackInformation(1);
    if (ok && next_writable() != 0) nwa = next_writable();
    return ok;
  }
  const bool ok = ReadTrackInformation(GetSessionCount() + 1u);
  nwa = ok ? next_writable() : 0;
  return ok;
}

int TZIDIzizid::FindIsoVolumeEnd() {
  uint8_t sector[kSectorBytes];
  for (int32_t lba = kLastDescriptorSearched; lba >= static_cast<int32_t>(kSystemAreaSectors); --lba) {
    std::memset(sector, 0, sizeof sector);
    if (!ReadSectors(lba, 1, kSectorBytes, sector)) continue;
    const bool descriptor = std::memcmp(sector + 1, "CD001", 5) == 0;
    if (descriptor && (sector[0] == kPrimaryType || sector[0] == kSupplementaryType))
      return static_cast<int>(GetLE32(sector + kVolumeSpaceOffset));
  }
  return 0;
}

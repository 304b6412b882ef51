// Tar entries and the tar archive. An entry is read block by block until its
// own header, so long-name records and extended headers travel with it; a
// save copies unchanged entries as they are and writes new ones in the
// archive's dialect. Names that a dialect cannot hold are refused rather than
// written damaged, because one bad header loses every entry after it.
#include "archive/ab_tar.h"

#include <algorithm>
#include <cstring>

#include "archive/ab_archive_file.h"
#include "archive/ab_utils.h"
#include "archive/ab_vmstream.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"

namespace {

// Header field offsets and widths.
constexpr int kNameAt = 0;
constexpr int kModeAt = 100;
constexpr int kUidAt = 108;
constexpr int kGidAt = 116;
constexpr int kSizeAt = 124;
constexpr int kMTimeAt = 136;
constexpr int kChecksumAt = 148;
constexpr int kTypeFlagAt = 156;
constexpr int kLinkNameAt = 157;
constexpr int kMagicAt = 257;
constexpr int kVersionAt = 263;
constexpr int kUserNameAt = 265;
constexpr int kGroupNameAt = 297;
constexpr int kDevMajorAt = 329;
constexpr int kDevMinorAt = 337;
constexpr int kPrefixAt = 345;
constexpr int kIdWidth = 8;
constexpr int kNumberWidth = 12;
constexpr int kOwnerNameWidth = 32;
constexpr int kMagicWidth = 6;
// The longest name a ustar prefix and name field hold together, with the "/".
constexpr size_t kUstarMaxName = 256;
// Long names and extended headers beyond this are no real archive's.
constexpr int64_t kMaxMetaDataBytes = 1 << 20;
constexpr uint32_t kNewItemMode = 0644;
constexpr uint32_t kFolderModeBit = 0x4000;

constexpr char kUstarMagic[8] = {'u', 's', 't', 'a', 'r', 0, '0', '0'};
constexpr char kGnuMagic[8] = {'u', 's', 't', 'a', 'r', ' ', ' ', 0};

bool IsMetaFlag(char f) { return f == 'K' || f == 'L' || f == 'X' || f == 'g' || f == 'x'; }
bool IsExtendedFlag(char f) { return f == 'X' || f == 'g' || f == 'x'; }
bool IsEntryFlag(char f) { return f == 0 || f == '0' || f == '1' || f == '2' || f == '5'; }
bool IsReadOnlyFlag(char f) { return f && std::strchr("3467DMSV", f) != nullptr; }
// Entries whose size field counts data blocks that follow the header.
bool HasData(char f) { return f == 0 || (f && std::strchr("07DMSV", f) != nullptr); }
bool NeedsChecksum(char f) { return IsEntryFlag(f) || IsMetaFlag(f); }

AnsiString FieldText(const uint8_t* field, int width) {
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(field, 0, width));
  return AnsiString(reinterpret_cast<const char*>(field), end ? end - field : width);
}

int64_t BlocksFor(int64_t size) { return RoundUpToBlock(size) / kAbTarBlockSize; }

int64_t MetaDataSize(const TAbTarBlock& block) {
  int64_t size = ParseOctalField(block.data() + kSizeAt, kNumberWidth);
  if (size > kMaxMetaDataBytes) throw EAbTarInvalid();
  return size;
}

}  // namespace

// --- Field routines -------------------------------------------------------------------

int64_t ParseOctalField(const uint8_t* field, int width) {
  int i = 0;
  while (i < width && field[i] == ' ') ++i;
  int64_t value = 0;
  for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) value = value * 8 + (field[i] - '0');
  return value;
}

AnsiString FormatOctal(int64_t value) {
  if (value == 0) return "0";
  AnsiString text;
  for (uint64_t v = static_cast<uint64_t>(value); v != 0; v >>= 3) text.insert(text.begin(), char('0' + (v & 7)));
  return text;
}

AnsiString PadOctalField(const AnsiString& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  AnsiString padded = text + ' ';
  return AnsiString(width - padded.size(), ' ') + padded;
}

int64_t RoundUpToBlock(int64_t size) { return (size + kAbTarBlockSize - 1) / kAbTarBlockSize * kAbTarBlockSize; }

uint32_t TarBlockChecksum(const TAbTarBlock& block) {
  uint32_t sum = 0;
  for (int i = 0; i < kAbTarBlockSize; ++i)
    sum += (i >= kChecksumAt && i < kChecksumAt + kIdWidth) ? uint32_t(' ') : block[i];
  return sum;
}

// --- TAbTarItem: fields ----------------------------------------------------------------

TAbTarItem::TAbTarItem() {
  InsertBlock(0, bkItemHeader);
  mode_ = kNewItemMode;
  WriteOctal(kModeAt, kIdWidth, mode_);
  WriteOctal(kUidAt, kIdWidth, 0);
  WriteOctal(kGidAt, kIdWidth, 0);
  WriteOctal(kSizeAt, kNumberWidth, 0);
  WriteOctal(kDevMajorAt, kIdWidth, 0);
  WriteOctal(kDevMinorAt, kIdWidth, 0);
}

bool TAbTarItem::CanChange() {
  if (readOnly_) return false;
  changed_ = true;
  return true;
}

void TAbTarItem::WriteOctal(int offset, int width, int64_t value) {
  if (value < 0) throw EAbFileTooLarge();
  AnsiString text = PadOctalField(FormatOctal(value), width);
  if (static_cast<int>(text.size()) > width) throw EAbFileTooLarge();
  std::memcpy(Header().data() + offset, text.data(), width);
}

void TAbTarItem::WriteText(int offset, int width, const AnsiString& text) {
  uint8_t* field = Header().data() + offset;
  std::memset(field, 0, width);
  std::memcpy(field, text.data(), std::min<size_t>(text.size(), width));
}

void TAbTarItem::SetSize(int64_t value) {
  if (!CanChange()) return;
  WriteOctal(kSizeAt, kNumberWidth, value);
  size_ = value;
}

void TAbTarItem::SetModTime(int64_t unixSeconds) {
  if (!CanChange()) return;
  // The field holds no times before 1970; such files are stamped with 1970.
  unixSeconds = std::max<int64_t>(unixSeconds, 0);
  WriteOctal(kMTimeAt, kNumberWidth, unixSeconds);
  modTime_ = unixSeconds;
}

void TAbTarItem::SetExternalFileAttributes(uint32_t value) {
  if (!CanChange()) return;
  AnsiString text = PadOctalField(FormatOctal(value), kIdWidth);
  if (static_cast<int>(text.size()) > kIdWidth) throw EAbFileTooLarge();
  for (int i = 0; i < BlockCount(); ++i)
    if (kinds_[i] == bkItemHeader || kinds_[i] == bkMetaHeader)
      std::memcpy(blocks_[i]->data() + kModeAt, text.data(), kIdWidth);
  mode_ = value;
}

#define AB_TAR_NUMBER_SETTER(Name, field, offset, width) \
  void TAbTarItem::Name(int64_t value) {                  \
    if (!CanChange()) return;                             \
    WriteOctal(offset, width, value);                     \
    field = value;                                        \
  }
AB_TAR_NUMBER_SETTER(SetUserId, userId_, kUidAt, kIdWidth)
AB_TAR_NUMBER_SETTER(SetGroupId, groupId_, kGidAt, kIdWidth)
AB_TAR_NUMBER_SETTER(SetDevMajor, devMajor_, kDevMajorAt, kIdWidth)
AB_TAR_NUMBER_SETTER(SetDevMinor, devMinor_, kDevMinorAt, kIdWidth)
#undef AB_TAR_NUMBER_SETTER

void TAbTarItem::SetUserName(const AnsiString& value) {
  if (!CanChange()) return;
  userName_ = value.substr(0, kOwnerNameWidth);
  WriteText(kUserNameAt, kOwnerNameWidth, userName_);
}

void TAbTarItem::SetGroupName(const AnsiString& value) {
  if (!CanChange()) return;
  groupName_ = value.substr(0, kOwnerNameWidth);
  WriteText(kGroupNameAt, kOwnerNameWidth, groupName_);
}

void TAbTarItem::SetTypeFlag(char value) {
  if (!CanChange()) return;
  Header()[kTypeFlagAt] = static_cast<uint8_t>(value);
  typeFlag_ = value;
}

void TAbTarItem::SetMagic(const char (&value)[8]) {
  if (!CanChange()) return;
  std::memcpy(Header().data() + kMagicAt, value, 8);
  magic_ = FieldText(Header().data() + kMagicAt, kMagicWidth);
  version_.assign(value + 6, 2);
}

TDateTime TAbTarItem::GetLastModTimeAsDateTime() const { return UnixSecondsToDateTime(modTime_); }

void TAbTarItem::SetLastModTimeAsDateTime(TDateTime value) { SetModTime(DateTimeToUnixSeconds(value)); }

uint32_t TAbTarItem::GetNativeFileAttributes() const { return static_cast<uint32_t>(UnixModeToDosAttr(mode_)); }

// --- TAbTarItem: blocks ------------------------------------------------------------------

void TAbTarItem::InsertBlock(int index, TAbTarBlockKind kind) {
  blocks_.insert(blocks_.begin() + index, std::make_unique<TAbTarBlock>());
  blocks_[index]->fill(0);
  kinds_.insert(kinds_.begin() + index, kind);
  if (blocks_.size() > 1 && index <= header_) ++header_;
}

void TAbTarItem::RemoveBlocks(int index, int count) {
  blocks_.erase(blocks_.begin() + index, blocks_.begin() + index + count);
  kinds_.erase(kinds_.begin() + index, kinds_.begin() + index + count);
  if (index < header_) header_ -= count;
}

int TAbTarItem::FindMetaHeader(char flag) const {
  for (int i = 0; i < BlockCount(); ++i)
    if (kinds_[i] == bkMetaHeader && (*blocks_[i])[kTypeFlagAt] == static_cast<uint8_t>(flag)) return i;
  return -1;
}

bool TAbTarItem::VerifyChecksums() const {
  for (int i = 0; i < BlockCount(); ++i) {
    if (kinds_[i] != bkItemHeader && kinds_[i] != bkMetaHeader) continue;
    const TAbTarBlock& b = *blocks_[i];
    if (ParseOctalField(b.data() + kChecksumAt, kIdWidth) != TarBlockChecksum(b)) return false;
  }
  return true;
}

// --- TAbTarItem: reading -----------------------------------------------------------------

void TAbTarItem::LoadFromStream(TStream& stream) {
  blocks_.clear();
  kinds_.clear();
  header_ = 0;
  kind_ = tkUnknown;
  format_ = tfNone;
  bool extended = false;
  const int64_t start = stream.Position();
  for (;;) {
    auto block = std::make_unique<TAbTarBlock>();
    stream.ReadBuffer(block->data(), kAbTarBlockSize);
    const char flag = static_cast<char>((*block)[kTypeFlagAt]);
    if (IsMetaFlag(flag)) {
      const bool ustarMagic = std::memcmp(block->data() + kMagicAt, kUstarMagic, kMagicWidth) == 0;
      if (flag == 'K' || flag == 'L') format_ = tfOldGnu;
      if ((flag == 'g' || flag == 'x') && ustarMagic) format_ = tfPosix;
      extended = extended || IsExtendedFlag(flag);
      const int64_t dataBlocks = BlocksFor(MetaDataSize(*block));
      blocks_.push_back(std::move(block));
      kinds_.push_back(bkMetaHeader);
      for (int64_t i = 0; i < dataBlocks; ++i) {
        blocks_.push_back(std::make_unique<TAbTarBlock>());
        stream.ReadBuffer(blocks_.back()->data(), kAbTarBlockSize);
        kinds_.push_back(bkMetaData);
      }
      continue;
    }
    blocks_.push_back(std::move(block));
    if (IsEntryFlag(flag)) kind_ = extended ? tkReadOnly : tkSupported;
    else if (IsReadOnlyFlag(flag)) kind_ = tkReadOnly;
    kinds_.push_back(kind_ == tkUnknown ? bkUnknownHeader : bkItemHeader);
    break;
  }
  header_ = BlockCount() - 1;
  stream.Seek(start, soBeginning);
  readOnly_ = kind_ == tkReadOnly;
  if (kind_ != tkUnknown) {
    ParseHeader();
    AnsiString name = ReadLongName('L', kNameAt);
    TAbArchiveItem::SetFileName(name);
    diskFileName_ = name;
  }
  SetAction(iaNone);
  tagged_ = false;
  changed_ = false;
}

void TAbTarItem::DetectFormat() {
  const uint8_t* magic = Header().data() + kMagicAt;
  if (std::memcmp(magic, kUstarMagic, kMagicWidth) == 0) format_ = tfUstar;
  else if (std::memcmp(magic, kGnuMagic, 8) == 0) format_ = tfOldGnu;
  else format_ = tfV7;
}

void TAbTarItem::ParseHeader() {
  if (format_ == tfNone) DetectFormat();
  const uint8_t* h = Header().data();
  mode_ = ParseOctalField(h + kModeAt, kIdWidth);
  userId_ = ParseOctalField(h + kUidAt, kIdWidth);
  groupId_ = ParseOctalField(h + kGidAt, kIdWidth);
  size_ = ParseOctalField(h + kSizeAt, kNumberWidth);
  modTime_ = ParseOctalField(h + kMTimeAt, kNumberWidth);
  checksumGood_ = ParseOctalField(h + kChecksumAt, kIdWidth) == TarBlockChecksum(Header());
  typeFlag_ = static_cast<char>(h[kTypeFlagAt]);
  linkName_ = ReadLongName('K', kLinkNameAt);
  magic_ = FieldText(h + kMagicAt, kMagicWidth);
  version_.assign(reinterpret_cast<const char*>(h + kVersionAt), 2);
  userName_ = FieldText(h + kUserNameAt, kOwnerNameWidth);
  groupName_ = FieldText(h + kGroupNameAt, kOwnerNameWidth);
  devMajor_ = ParseOctalField(h + kDevMajorAt, kIdWidth);
  devMinor_ = ParseOctalField(h + kDevMinorAt, kIdWidth);
}

// The name (or link name) from its long-name record, else from the header;
// the ustar prefix field holds the leading folders of a long name.
AnsiString TAbTarItem::ReadLongName(char flag, int offset) const {
  int meta = FindMetaHeader(flag);
  if (meta >= 0) {
    int64_t length = std::max<int64_t>(MetaDataSize(*blocks_[meta]) - 1, 0);
    AnsiString name;
    for (int i = meta + 1; i < BlockCount() && kinds_[i] == bkMetaData && int64_t(name.size()) < length; ++i)
      name.append(reinterpret_cast<const char*>(blocks_[i]->data()), kAbTarBlockSize);
    name.resize(std::min<size_t>(name.size(), length));
    return name.substr(0, name.find('\0'));
  }
  const uint8_t* h = Header().data();
  AnsiString field = FieldText(h + offset, kAbTarNameSize);
  if (flag == 'L' && (format_ == tfUstar || format_ == tfPosix)) {
    AnsiString prefix = FieldText(h + kPrefixAt, kAbTarPrefixSize);
    if (!prefix.empty()) return prefix + "/" + field;
  }
  return field;
}

// --- TAbTarItem: names -------------------------------------------------------------------

void TAbTarItem::SetFileName(const AnsiString& value) {
  if (readOnly_) return;
  // An empty name reads as the end of the archive: every later entry would be lost.
  if (value.empty()) throw EAbTarBadFileName();
  if (value.size() <= kAbTarNameSize) StoreShortName(value);
  else StoreLongName(value);
  changed_ = true;
  TAbArchiveItem::SetFileName(value);
  diskFileName_ = value;
}

void TAbTarItem::StoreShortName(const AnsiString& name) {
  if (format_ == tfUstar) WriteText(kPrefixAt, kAbTarPrefixSize, AnsiString());
  int meta = FindMetaHeader('L');
  if ((format_ == tfOldGnu || format_ == tfGnu) && meta >= 0) {
    int count = 1;
    while (meta + count < BlockCount() && kinds_[meta + count] == bkMetaData) ++count;
    RemoveBlocks(meta, count);
  }
  WriteText(kNameAt, kAbTarNameSize, name);
}

void TAbTarItem::StoreLongName(const AnsiString& name) {
  int meta = FindMetaHeader('L');
  if (meta >= 0) {
    FillLongNameRecord(meta, name);
    return;
  }
  switch (format_) {
    case tfV7: throw EAbTarBadFileName();
    case tfOldGnu:
    case tfGnu: AddLongNameRecord('L', 0, name); break;
    case tfUstar: SplitUstarName(name); break;
    default: throw EAbTarBadOp();
  }
}

// Splits at the last "/" that leaves a non-empty name of at most 100
// characters and a prefix of at most 155. A name with no such "/" is refused:
// written anyway, it would give an entry that no reader can name.
void TAbTarItem::SplitUstarName(const AnsiString& name) {
  if (name.size() > kUstarMaxName) throw EAbTarBadFileName();
  for (size_t i = name.size() - 1; i > 0; --i) {
    if (name[i] != '/') continue;
    size_t rest = name.size() - i - 1;
    if (rest > kAbTarNameSize) break;
    if (rest == 0 || i > kAbTarPrefixSize) continue;
    WriteText(kNameAt, kAbTarNameSize, name.substr(i + 1));
    WriteText(kPrefixAt, kAbTarPrefixSize, name.substr(0, i));
    return;
  }
  throw EAbTarBadFileName();
}

void TAbTarItem::AddLongNameRecord(char flag, int index, const AnsiString& name) {
  InsertBlock(index, bkMetaHeader);
  uint8_t* b = blocks_[index]->data();
  std::memcpy(b + kNameAt, "././@LongLink", 13);
  for (int at : {kModeAt, kUidAt, kGidAt}) std::memcpy(b + at, "0000000", 8);
  std::memcpy(b + kMTimeAt, "00000000000", 12);
  b[kTypeFlagAt] = static_cast<uint8_t>(flag);
  std::memcpy(b + kMagicAt, kGnuMagic, 8);
  std::memcpy(b + kUserNameAt, "root", 4);
  std::memcpy(b + kGroupNameAt, "root", 4);
  FillLongNameRecord(index, name);
}

// Sets the record's size, makes its data blocks fit Name with its NUL and
// puts the first 100 characters into the entry's own header as well.
void TAbTarItem::FillLongNameRecord(int index, const AnsiString& name) {
  uint8_t* b = blocks_[index]->data();
  const int64_t bytes = static_cast<int64_t>(name.size()) + 1;
  AnsiString size = PadOctalField(FormatOctal(bytes), kNumberWidth);
  std::memcpy(b + kSizeAt, size.data(), kNumberWidth);
  const int wanted = static_cast<int>(BlocksFor(bytes));
  int have = 0;
  while (index + 1 + have < BlockCount() && kinds_[index + 1 + have] == bkMetaData) ++have;
  if (have > wanted) RemoveBlocks(index + 1 + wanted, have - wanted);
  for (; have < wanted; ++have) InsertBlock(index + 1 + have, bkMetaData);
  for (int i = 0; i < wanted; ++i) {
    TAbTarBlock& data = *blocks_[index + 1 + i];
    data.fill(0);
    size_t from = size_t(i) * kAbTarBlockSize;
    std::memcpy(data.data(), name.data() + from, std::min<size_t>(name.size() - from, kAbTarBlockSize));
  }
  const char flag = static_cast<char>(b[kTypeFlagAt]);
  WriteText(flag == 'K' ? kLinkNameAt : kNameAt, kAbTarNameSize, name.substr(0, kAbTarNameSize));
}

// --- TAbTarItem: writing -----------------------------------------------------------------

void TAbTarItem::WriteHeaders(TStream& stream) {
  if (readOnly_) return;
  if (changed_) {
    for (int i = 0; i < BlockCount(); ++i) {
      TAbTarBlock& b = *blocks_[i];
      if (kinds_[i] == bkMetaData || !NeedsChecksum(static_cast<char>(b[kTypeFlagAt]))) continue;
      AnsiString sum = PadOctalField(FormatOctal(TarBlockChecksum(b)), kIdWidth);
      std::memcpy(b.data() + kChecksumAt, sum.data(), kIdWidth);
    }
  }
  for (const auto& b : blocks_) stream.WriteBuffer(b->data(), kAbTarBlockSize);
}

// --- Detection ------------------------------------------------------------------------------

TAbArchiveKind DetectTar(TStream& stream) {
  const int64_t start = stream.Position();
  TAbArchiveKind kind = akUnknown;
  try {
    TAbTarItem item;
    item.LoadFromStream(stream);
    if (item.Kind() != tkUnknown && item.VerifyChecksums()) kind = akTar;
  } catch (const EReadError&) {
  } catch (const EAbTarInvalid&) {
  }
  stream.Seek(start, soBeginning);
  return kind;
}

// --- TAbTarStreamHelper ---------------------------------------------------------------------

bool TAbTarStreamHelper::ScanHeaders() {
  dataSize_ = 0;
  headerBlocks_ = 0;
  const int64_t start = stream_->Position();
  bool found = false;
  while (!found && stream_->Read(header_.data(), kAbTarBlockSize) == kAbTarBlockSize && header_[kNameAt] != 0) {
    const char flag = static_cast<char>(header_[kTypeFlagAt]);
    ++headerBlocks_;
    if (IsMetaFlag(flag)) {
      int64_t dataBlocks = BlocksFor(ParseOctalField(header_.data() + kSizeAt, kNumberWidth));
      stream_->Seek(dataBlocks * kAbTarBlockSize, soCurrent);
      headerBlocks_ += static_cast<int>(std::min<int64_t>(dataBlocks, INT32_MAX - headerBlocks_));
      continue;
    }
    if (HasData(flag)) dataSize_ = ParseOctalField(header_.data() + kSizeAt, kNumberWidth);
    found = true;
  }
  if (found) stream_->Seek(start, soBeginning);
  return found;
}

void TAbTarStreamHelper::CopyItemData(TStream* target) {
  if (dataSize_ <= 0) return;
  stream_->Seek(int64_t(headerBlocks_) * kAbTarBlockSize, soCurrent);
  target->CopyFrom(stream_, dataSize_);
  stream_->Seek(-(int64_t(headerBlocks_) * kAbTarBlockSize + dataSize_), soCurrent);
}

bool TAbTarStreamHelper::SeekFirstItem() {
  stream_->Seek(0, soBeginning);
  return ScanHeaders();
}

bool TAbTarStreamHelper::SeekNextItem() {
  stream_->Seek(RoundUpToBlock(dataSize_) + int64_t(headerBlocks_) * kAbTarBlockSize, soCurrent);
  return ScanHeaders();
}

bool TAbTarStreamHelper::SeekItem(int index) {
  bool found = SeekFirstItem();
  for (int i = 1; found && i < index; ++i) found = SeekNextItem();
  return found;
}

void TAbTarStreamHelper::WriteItem(TStream* source) { CopyPadded(source, source->Size()); }

void TAbTarStreamHelper::WriteTail() {
  TAbTarBlock zero{};
  stream_->WriteBuffer(zero.data(), kAbTarBlockSize);
  stream_->WriteBuffer(zero.data(), kAbTarBlockSize);
}

int32_t TAbTarStreamHelper::CountItems() {
  int32_t count = 0;
  for (bool found = SeekFirstItem(); found; found = SeekNextItem()) ++count;
  return count;
}

void TAbTarStreamHelper::CopyPadded(TStream* source, int64_t count) {
  if (count <= 0) return;
  stream_->CopyFrom(source, count);
  TAbTarBlock zero{};
  stream_->WriteBuffer(zero.data(), RoundUpToBlock(count) - count);
}

// --- TAbTarArchive ----------------------------------------------------------------------------

TAbTarArchive::TAbTarArchive(const AnsiString& fileName, uint16_t mode) : TAbArchive(fileName, mode) {}

TAbTarArchive::TAbTarArchive(TStream* stream, const AnsiString& archiveName) : TAbArchive(stream, archiveName) {}

void TAbTarArchive::LoadArchive() {
  TStream* tar = TarStream();
  itemList_.Clear();
  readOnly_ = false;
  TAbTarStreamHelper helper(tar);
  const int64_t size = tar->Size();
  bool found = size > 0 && helper.SeekFirstItem();
  format_ = found ? tfNone : tfV7;
  try {
    while (found && tar->Position() < size) {
      auto item = std::make_unique<TAbTarItem>();
      item->SetStreamPosition(tar->Position());
      item->LoadFromStream(*tar);
      readOnly_ = readOnly_ || item->ReadOnly();
      if (item->Kind() == tkUnknown) {
        bool confirm = true;
        DoConfirmProcessItem(item.get(), ptUnhandledEntity, confirm);
      } else {
        format_ = std::max(format_, item->Format());
        item->SetAction(iaNone);
        itemList_.Add(item.release());
      }
      bool abort = false;
      DoArchiveProgress(static_cast<uint8_t>(tar->Position() * 100 / size), abort);
      if (abort) {
        status_ = arInvalid;
        throw EAbUserAbort();
      }
      found = helper.SeekNextItem();
    }
  } catch (...) {
    throw EAbTarBadOp();
  }
  for (int i = 0; i < Count(); ++i) {
    TarItems(i)->SetFormat(format_);
    TarItems(i)->SetReadOnly(readOnly_);
  }
  bool abort = false;
  DoArchiveProgress(100, abort);
  isDirty_ = false;
}

void TAbTarArchive::SetUpNewItem(TAbTarItem& item, const AnsiString& storedName) {
  switch (format_) {
    case tfOldGnu:
    case tfGnu:
      item.SetFormat(format_);
      item.SetTypeFlag('0');
      item.SetMagic(kGnuMagic);
      break;
    case tfUstar:
      item.SetFormat(tfUstar);
      item.SetTypeFlag('0');
      item.SetMagic(kUstarMagic);
      break;
    case tfV7:
      if (storedName.size() <= kAbTarNameSize) break;
      format_ = tfOldGnu;
      for (int i = 0; i < Count(); ++i) TarItems(i)->SetFormat(tfOldGnu);
      item.SetFormat(tfOldGnu);
      break;
    default: break;
  }
}

TAbArchiveItem* TAbTarArchive::CreateItem(const AnsiString& fileName) {
  if (readOnly_) throw EAbTarBadOp();
  AnsiString stored = FixName(fileName);
  auto item = std::make_unique<TAbTarItem>();
  SetUpNewItem(*item, stored);
  item->SetFileName(stored);
  item->SetDiskFileName(DiskNameOf(fileName));
  item->SetAction(iaNone);
  return item.release();
}

TAbTarItem* TAbTarArchive::CheckedItem(int index) const {
  if (index < 0 || index >= Count()) throw EListError(::Format(SListIndexError, {index}));
  TAbTarItem* item = TarItems(index);
  if (item->Kind() == tkUnknown) throw EAbTarBadOp();
  if (item->Kind() == tkReadOnly &&
      (item->GetFileName().size() >= kAbTarNameSize || item->LinkName().size() >= kAbTarNameSize))
    throw EAbTarBadOp();
  return item;
}

void TAbTarArchive::ExtractItemToStreamAt(int index, TStream* stream) {
  TAbTarItem* item = CheckedItem(index);
  TStream* tar = TarStream();
  tar->Seek(item->DataPosition(), soBeginning);
  if (item->GetUncompressedSize() > 0) stream->CopyFrom(tar, item->GetUncompressedSize());
}

void TAbTarArchive::ExtractToNewFile(int index, const AnsiString& newName) {
  TFileStream out(newName, fmCreate);
  try {
    ExtractItemToStreamAt(index, &out);
  } catch (const EAbUserAbort&) {
    DeleteFile(newName);
    status_ = arInvalid;
    throw;
  } catch (...) {
    DeleteFile(newName);
    throw;
  }
}

// Links, devices and FIFOs have no data of their own: written as files they
// would be empty files in their place, so they are refused by name.
void TAbTarArchive::RefuseSpecialEntry(const TAbTarItem& item) {
  const AnsiString& name = item.GetFileName();
  switch (item.TypeFlag()) {
    case '1': throw EAbTarBadOp(::Format(AbHardLinkS, {name, item.LinkName()}));
    case '2': throw EAbTarBadOp(::Format(AbSymbolicLinkS, {name, item.LinkName()}));
    case '3':
    case '4':
    case '6': throw EAbTarBadOp(::Format(AbSpecialFileS, {name}));
    default: break;
  }
}

void TAbTarArchive::ExtractItemAt(int index, const AnsiString& newName) {
  TAbTarItem* item = CheckedItem(index);
  if (IsUnsafeStoredName(item->GetFileName())) throw EAbTarBadOp(::Format(AbUnsafeNameS, {item->GetFileName()}));
  RefuseSpecialEntry(*item);
  if (item->GetIsDirectory()) {
    ForceDirectoryPath(newName);
  } else {
    ExtractToNewFile(index, newName);
  }
  SetFileDateTime(newName, item->GetLastModTimeAsDateTime());
  ApplyFileAttributes(newName, static_cast<int32_t>(item->GetNativeFileAttributes()));
}

void TAbTarArchive::TestItemAt(int index) {
  TAbTarItem* item = CheckedItem(index);
  TStream* tar = TarStream();
  tar->Seek(item->StreamPosition(), soBeginning);
  if (DetectTar(*tar) != akTar) throw EAbTarInvalid();
}

void TAbTarArchive::CopyEntry(TAbTarItem& item, TStream& old, TAbTarStreamHelper& out, TStream& work) {
  old.Seek(item.DataPosition(), soBeginning);
  item.SetStreamPosition(work.Position());
  item.WriteHeaders(work);
  out.CopyPadded(&old, item.GetUncompressedSize());
}

void TAbTarArchive::AddFileEntry(TAbTarItem& item, TAbTarStreamHelper& out, TStream& work) {
  const AnsiString disk = DiskNameOf(item.DiskFileName());
  TAbFileInfo info;
  if (!GetFileInfo(disk, info)) throw EAbFileNotFound();
  item.SetExternalFileAttributes(info.Mode & 07777);
  item.SetLastModTimeAsDateTime(info.DateTime);
  if (info.Mode & kFolderModeBit) {
    item.SetTypeFlag('5');
    item.SetSize(0);
    item.SetStreamPosition(work.Position());
    item.WriteHeaders(work);
    return;
  }
  TFileStream in(disk, fmOpenRead | fmShareDenyWrite);
  item.SetSize(in.Size());
  item.SetStreamPosition(work.Position());
  item.WriteHeaders(work);
  out.CopyPadded(&in, item.GetUncompressedSize());
}

void TAbTarArchive::SaveArchive() {
  if (readOnly_) throw EAbTarBadOp();
  TStream* old = TarStream();
  TAbVirtualMemoryStream work;
  work.SetSwapFileDirectory(ScratchFolder());
  TAbTarStreamHelper out(&work);
  for (int i = 0; i < Count(); ++i) {
    TAbTarItem& item = *TarItems(i);
    currentItem_ = &item;
    const int64_t entryStart = work.Position();
    try {
      switch (item.Action()) {
        case iaNone:
        case iaMove: CopyEntry(item, *old, out, work); break;
        case iaAdd:
        case iaFreshen:
        case iaReplace: AddFileEntry(item, out, work); break;
        case iaStreamAdd:
          inStream_->Seek(0, soBeginning);
          item.SetSize(inStream_->Size());
          item.SetStreamPosition(work.Position());
          item.WriteHeaders(work);
          out.CopyPadded(inStream_, item.GetUncompressedSize());
          break;
        default: break;
      }
    } catch (...) {
      if (item.Action() == iaNone || item.Action() == iaMove) throw;
      DropFailedItem(item, work, entryStart);
    }
  }
  currentItem_ = nullptr;
  if (work.Size() > 0) out.WriteTail();
  ReplaceTarStream(work);
  FinishSave();
}

void TAbTarArchive::DropFailedItem(TAbArchiveItem& item, TStream& work, int64_t start, TAbErrorClass errorClass,
                                   int32_t errorCode) {
  work.SetSize(start);
  work.Seek(start, soBeginning);
  item.SetAction(iaDelete);
  DoProcessItemFailure(&item, ptAdd, errorClass, errorCode);
}

void TAbTarArchive::FinishSave() {
  for (int i = Count() - 1; i >= 0; --i) {
    TAbArchiveItem* item = Items(i);
    if (item->Action() == iaDelete) itemList_.Delete(i);
    else if (item->Action() != iaFailed) item->SetAction(iaNone);
  }
  bool abort = false;
  DoArchiveSaveProgress(100, abort);
  DoArchiveProgress(100, abort);
}

void TAbTarArchive::ReplaceTarStream(TStream& work) { ReplaceArchiveStream(work); }

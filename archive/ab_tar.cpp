// Tar entries: reading, names and writing, and the detection of a tar
// stream. An entry is read block by block until its own header, so long-name
// records and extended headers travel with it. Names that a dialect cannot
// hold are refused rather than written damaged, because one bad header loses
// every entry after it.
#include "archive/ab_tar.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "archive/ab_archive_file.h"
#include "archive/ab_tar_format.h"
#include "archive/ab_utils.h"
#include "archive/ab_vmstream.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

using namespace detail;

// --- Field routines -------------------------------------------------------------------

int64_t ParseOctalField(const uint8_t* field, int width) {
  int i = 0;
  while (i < width && field[i] == ' ') ++i;
  int64_t value = 0;
  for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) value = value * 8 + (field[i] - '0');
  return value;
}

bool ParseTarSize(const uint8_t* field, int width, int64_t& value) {
  value = 0;
  if (field[0] == 0x80) {
    for (int i = 1; i < width; ++i) {
      if (value >> 55) return false;
      value = (value << 8) | field[i];
    }
    return true;
  }
  int i = 0;
  while (i < width && (field[i] == ' ' || field[i] == 0)) ++i;
  for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) {
    if (value >> 60) return false;
    value = value * 8 + (field[i] - '0');
  }
  for (; i < width; ++i)
    if (field[i] != ' ' && field[i] != 0) return false;
  return true;
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

AnsiString TAbTarItem::HeaderDamage() const {
  for (int i = 0; i < BlockCount(); ++i) {
    if (kinds_[i] == bkMetaData) continue;
    const TAbTarBlock& b = *blocks_[i];
    // Some old writers summed the bytes as signed values; that sum counts too.
    const int64_t stored = ParseOctalField(b.data() + kChecksumAt, kIdWidth);
    int64_t signedSum = TarBlockChecksum(b);
    for (uint8_t byte : b) signedSum -= byte >= 0x80 ? 256 : 0;
    for (int at = kChecksumAt; at < kChecksumAt + kIdWidth; ++at) signedSum += b[at] >= 0x80 ? 256 : 0;
    if (stored != TarBlockChecksum(b) && stored != signedSum) return "header checksum does not match";
    int64_t size = 0;
    if (!ParseTarSize(b.data() + kSizeAt, kNumberWidth, size)) return "size field is not a number";
  }
  if (kind_ != tkUnknown && utf8Name_.empty()) return "entry without a name";
  return {};
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
    // An extended header's path is the whole name in UTF-8 (its header field
    // holds a stand-in, often with "?" for every other character).
    AnsiString path;
    wholeName_ = ExtendedValue("path", path) || FindMetaHeader('L') >= 0;
    utf8Name_ = path.empty() ? StoredNameToUtf8(ReadLongName('L', kNameAt)) : std::string(path);
    AnsiString name = Utf8ToSystem(utf8Name_);
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
  if (!ParseTarSize(h + kSizeAt, kNumberWidth, size_)) size_ = 0;  // reported by HeaderDamage
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

// The value of Key in the entry's own extended header, whose data is records
// of the form "LENGTH KEY=VALUE\n"; the last record of the key counts.
bool TAbTarItem::ExtendedValue(const AnsiString& key, AnsiString& value) const {
  bool found = false;
  for (int i = 0; i < BlockCount(); ++i) {
    if (kinds_[i] != bkMetaHeader || (*blocks_[i])[kTypeFlagAt] != 'x') continue;
    AnsiString data;
    for (int d = i + 1; d < BlockCount() && kinds_[d] == bkMetaData; ++d)
      data.append(reinterpret_cast<const char*>(blocks_[d]->data()), kAbTarBlockSize);
    data.resize(std::min<size_t>(data.size(), MetaDataSize(*blocks_[i])));
    for (size_t at = 0; at < data.size();) {
      size_t space = data.find(' ', at);
      if (space == AnsiString::npos) break;
      const size_t length = std::strtoul(data.c_str() + at, nullptr, 10);
      if (length <= space - at || at + length > data.size() || data[at + length - 1] != '\n') break;
      const AnsiString record = data.substr(space + 1, at + length - 1 - (space + 1));
      const size_t equals = record.find('=');
      if (equals != AnsiString::npos && record.compare(0, equals, key) == 0) {
        value = record.substr(equals + 1);
        found = true;
      }
      at += length;
    }
  }
  return found;
}

// --- TAbTarItem: names -------------------------------------------------------------------

void TAbTarItem::SetFileName(const AnsiString& value) {
  if (readOnly_) return;
  // An empty name reads as the end of the archive: every later entry would be lost.
  if (value.empty()) throw EAbTarBadFileName();
  const std::string stored = AnsiToUtf8(value);
  if (stored.size() <= kAbTarNameSize) StoreShortName(stored);
  else StoreLongName(stored);
  utf8Name_ = stored;
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

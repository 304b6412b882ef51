// Gzip members and the gzip archive. A plain archive is one listed entry;
// decoding walks every member of the file and checks each trailer, so a
// damaged or concatenated file never passes for less than it holds. In tar
// mode the members are decoded into the scratch tar stream on load and the
// rebuilt tar stream becomes one new member on save.
#include "archive/ab_gzip.h"

#include <algorithm>
#include <cstring>

#include "archive/ab_archive_file.h"
#include "archive/ab_bitbucket.h"
#include "archive/ab_utils.h"
#include "archive/deflate/deflate.h"
#include "platform/rtl/byte_order.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

constexpr int kFixedHeaderSize = 10;
constexpr int kTrailerSize = 8;
constexpr int kNulChunk = 1023;
constexpr int64_t kDetectOutputBytes = 512;
constexpr int32_t kBitBucketSize = 1024;
constexpr int64_t kMaxModTime = 0xFFFFFFFFll;

// The text from the position up to the next NUL; the stream is left just
// after the NUL, or at its end when there is none.
AnsiString ReadToNul(TStream& stream) {
  AnsiString text;
  char chunk[kNulChunk];
  for (;;) {
    int64_t got = stream.Read(chunk, kNulChunk);
    const char* nul = static_cast<const char*>(std::memchr(chunk, 0, static_cast<size_t>(std::max<int64_t>(got, 0))));
    if (nul) {
      text.append(chunk, nul - chunk);
      stream.Seek(-(got - (nul - chunk) - 1), soCurrent);
      return text;
    }
    if (got <= 0) return text;
    text.append(chunk, got);
  }
}

// True when another member starts at the stream's position.
bool MemberFollows(TStream& stream) {
  uint8_t head[3];
  const int64_t at = stream.Position();
  bool follows = stream.Read(head, 3) == 3 && IsGzipHeader(head);
  stream.Seek(at, soBeginning);
  return follows;
}

}  // namespace

// --- TAbGzipItem --------------------------------------------------------------------------

void TAbGzipExtraField::Changed() {
  if (Buffer().empty()) flags_ &= static_cast<uint8_t>(~kAbGzipFlagExtra);
  else flags_ |= kAbGzipFlagExtra;
}

TAbGzipItem::TAbGzipItem() = default;

TDateTime TAbGzipItem::GetLastModTimeAsDateTime() const { return UnixSecondsToDateTime(modTime_); }

void TAbGzipItem::SetLastModTimeAsDateTime(TDateTime value) {
  modTime_ = static_cast<uint32_t>(std::clamp<int64_t>(DateTimeToUnixSeconds(value), 0, kMaxModTime));
}

void TAbGzipItem::SetFileName(const AnsiString& value) {
  if (value.empty()) flags_ &= static_cast<uint8_t>(~kAbGzipFlagName);
  else flags_ |= kAbGzipFlagName;
  utf8Name_ = AnsiToUtf8(value);
  TAbArchiveItem::SetFileName(value);
}

void TAbGzipItem::SetFileComment(const AnsiString& value) {
  comment_ = value;
  if (value.empty()) flags_ &= static_cast<uint8_t>(~kAbGzipFlagComment);
  else flags_ |= kAbGzipFlagComment;
}

bool TAbGzipItem::IsGzipHeader() const { return id1_ == 0x1F && id2_ == 0x8B && method_ == 8; }

bool IsGzipHeader(const uint8_t* bytes) { return bytes[0] == 0x1F && bytes[1] == 0x8B && bytes[2] == 8; }

void TAbGzipItem::LoadHeader(TStream& stream) {
  uint8_t h[kFixedHeaderSize];
  stream.ReadBuffer(h, kFixedHeaderSize);
  id1_ = h[0];
  id2_ = h[1];
  method_ = h[2];
  flags_ = h[3];
  modTime_ = GetLE32(h + 4);
  extraFlags_ = h[8];
  os_ = h[9];
  if (!IsGzipHeader()) return;
  if (HasExtraField()) {
    uint8_t len[2];
    stream.ReadBuffer(len, 2);
    extraField_.LoadFromStream(stream, GetLE16(len));
  } else {
    extraField_.Clear();
  }
  utf8Name_ = HasFileName() ? StoredNameToUtf8(ReadToNul(stream)) : std::string("unknown");
  TAbArchiveItem::SetFileName(Utf8ToSystem(utf8Name_));
  comment_ = HasFileComment() ? ReadToNul(stream) : AnsiString();
  if (flags_ & kAbGzipFlagHeaderCrc) {
    uint8_t crc[2];
    stream.ReadBuffer(crc, 2);
  }
  compressedSize_ = stream.Size() - stream.Position() - kTrailerSize;
  diskFileName_ = GetFileName();
  SetAction(iaNone);
  tagged_ = false;
}

void TAbGzipItem::SaveHeader(TStream& stream) {
  id1_ = 0x1F;
  id2_ = 0x8B;
  method_ = 8;
  // No header CRC is written, and the reserved bits stay clear.
  flags_ &= static_cast<uint8_t>(~(kAbGzipFlagHeaderCrc | 0xE0));
  uint8_t h[kFixedHeaderSize] = {id1_, id2_, method_, flags_, 0, 0, 0, 0, extraFlags_, os_};
  PutLE32(h + 4, modTime_);
  stream.WriteBuffer(h, kFixedHeaderSize);
  if (HasExtraField()) {
    const auto& extra = extraField_.Buffer();
    uint8_t len[2];
    PutLE16(len, static_cast<uint16_t>(extra.size()));
    stream.WriteBuffer(len, 2);
    stream.WriteBuffer(extra.data(), static_cast<int64_t>(extra.size()));
  }
  if (HasFileName()) stream.WriteBuffer(utf8Name_.c_str(), static_cast<int64_t>(utf8Name_.size()) + 1);
  if (HasFileComment()) stream.WriteBuffer(comment_.c_str(), static_cast<int64_t>(comment_.size()) + 1);
}

// --- Detection -------------------------------------------------------------------------------

TAbArchiveKind DetectGzip(TStream& stream) {
  const int64_t start = stream.Position();
  TAbArchiveKind kind = akUnknown;
  try {
    stream.Seek(0, soBeginning);
    TAbGzipItem item;
    item.LoadHeader(stream);
    if (item.IsGzipHeader()) {
      kind = akGzip;
      TMemoryStream head;
      TAbDeflateHelper helper;
      helper.SetOutputLimit(kDetectOutputBytes);
      Inflate(&stream, &head, &helper);
      head.Seek(0, soBeginning);
      if (DetectTar(head) == akTar) kind = akGzippedTar;
    }
  } catch (const EReadError&) {
    kind = akUnknown;
  } catch (const EAbInflateError&) {
    // A gzip header over damaged data is still a gzip file.
  }
  stream.Seek(start, soBeginning);
  return kind;
}

// --- TAbGzipStreamHelper ----------------------------------------------------------------------

TAbGzipStreamHelper::TAbGzipStreamHelper(TStream* stream) : TAbArchiveStreamHelper(stream) {}

void TAbGzipStreamHelper::DecodeData(TStream* target) {
  TAbDeflateHelper helper;
  if (dynamic_cast<TAbBitBucketStream*>(target)) helper.SetOptions(helper.Options() | kDfTestOnly);
  item_.SetCRC32(Inflate(stream_, target, &helper));
  item_.SetUncompressedSize(helper.UncompressedBytes());
}

void TAbGzipStreamHelper::CopyItemData(TStream* target) {
  stream_->Seek(0, soBeginning);
  item_.LoadHeader(*stream_);
  DecodeData(target);
}

void TAbGzipStreamHelper::CheckTail() const {
  if (item_.GetCRC32() != tailCrc_) throw EAbGzipBadCRC();
  if (static_cast<uint32_t>(item_.GetUncompressedSize()) != tailSize_) throw EAbGzipBadFileSize();
}

void TAbGzipStreamHelper::DecodeAll(TStream* target) {
  stream_->Seek(0, soBeginning);
  do {
    ReadHeader();
    if (!item_.IsGzipHeader()) throw EAbGzipInvalid();
    DecodeData(target);
    ReadTail();
    CheckTail();
  } while (MemberFollows(*stream_));
}

bool TAbGzipStreamHelper::SeekFirstItem() {
  stream_->Seek(0, soBeginning);
  uint8_t h[kFixedHeaderSize];
  bool found = stream_->Read(h, kFixedHeaderSize) == kFixedHeaderSize && IsGzipHeader(h);
  stream_->Seek(0, soBeginning);
  if (found) {
    item_.LoadHeader(*stream_);
    stream_->Seek(0, soBeginning);
  }
  return found;
}

void TAbGzipStreamHelper::ReadTail() {
  uint8_t tail[kTrailerSize];
  stream_->ReadBuffer(tail, kTrailerSize);
  tailCrc_ = GetLE32(tail);
  tailSize_ = GetLE32(tail + 4);
}

bool TAbGzipStreamHelper::SeekItem(int index) { return index < 1 && SeekFirstItem(); }

void TAbGzipStreamHelper::WriteItem(TStream* source) {
  const int64_t start = source->Position();
  item_.SetCRC32(Deflate(source, stream_, nullptr));
  item_.SetUncompressedSize(source->Size() - start);
}

void TAbGzipStreamHelper::WriteTail() {
  uint8_t tail[kTrailerSize];
  PutLE32(tail, item_.GetCRC32());
  PutLE32(tail + 4, static_cast<uint32_t>(item_.GetUncompressedSize()));
  stream_->WriteBuffer(tail, kTrailerSize);
}

void TAbGzipStreamHelper::WriteMember(TAbGzipItem& item, TStream* source) {
  item.SaveHeader(*stream_);
  WriteItem(source);
  item.SetCRC32(item_.GetCRC32());
  item.SetUncompressedSize(item_.GetUncompressedSize());
  WriteTail();
}

// --- TAbGzipArchive ------------------------------------------------------------------------------

TAbGzipArchive::TAbGzipArchive(const AnsiString& fileName, uint16_t mode) : TAbCompressedTarArchive(fileName, mode) {}

TAbGzipArchive::TAbGzipArchive(TStream* stream, const AnsiString& archiveName)
    : TAbCompressedTarArchive(stream, archiveName) {}

AnsiString TAbGzipArchive::FixName(const AnsiString& name) {
  if (TarMode()) return TAbTarArchive::FixName(name);
  storeOptions_.Include(soStripDrive);
  storeOptions_.Include(soStripPath);
  AnsiString n = name;
  BackslashesToSlashes(n);
  return ExtractFileName(n);
}

TAbArchiveItem* TAbGzipArchive::CreateItem(const AnsiString& fileName) {
  if (TarMode()) return TAbTarArchive::CreateItem(fileName);
  auto item = std::make_unique<TAbGzipItem>();
  item->SetCompressedSize(0);
  item->SetCRC32(0);
  item->SetDiskFileName(DiskNameOf(fileName));
  item->SetFileName(FixName(fileName));
  return item.release();
}

void TAbGzipArchive::ExtractItemToStreamAt(int index, TStream* stream) {
  if (TarMode()) return TAbTarArchive::ExtractItemToStreamAt(index, stream);
  DecodeMemberTo(stream);
}

// Decoding failures name the archive: the member inside is rarely what the
// user knows it by.
void TAbGzipArchive::DecodeMemberTo(TStream* target) {
  AbNamingFailures(archiveName_, [&] {
    TAbGzipStreamHelper helper(stream_);
    helper.DecodeAll(target);
  });
}

void TAbGzipArchive::ExtractItemAt(int index, const AnsiString& newName) {
  if (TarMode()) return TAbTarArchive::ExtractItemAt(index, newName);
  TAbGzipItem* item = GzipItems(0);
  if (IsUnsafeStoredName(item->GetFileName())) throw EAbGzipInvalid(::Format(AbUnsafeNameS, {item->GetFileName()}));
  ExtractToNewFile(index, newName);
  SetFileDateTime(newName, item->GetLastModTimeAsDateTime());
  ApplyFileAttributes(newName, static_cast<int32_t>(item->GetNativeFileAttributes()));
}

void TAbGzipArchive::LoadArchive() {
  BeginLoad();
  member_.reset();
  if (stream_->Size() == 0) return;
  TAbGzipStreamHelper helper(stream_);
  if (helper.SeekFirstItem()) {
    auto item = std::make_unique<TAbGzipItem>();
    item->LoadHeader(*stream_);
    stream_->Seek(-kTrailerSize, soEnd);
    helper.ReadTail();
    item->SetCRC32(helper.TailCRC());
    item->SetUncompressedSize(helper.TailSize());
    item->SetAction(iaNone);
    if (TarMode()) {
      DecodeMemberTo(tarStream_.get());
      member_ = std::move(item);
      TAbTarArchive::LoadArchive();
    } else {
      itemList_.Add(item.release());
    }
  }
  bool abort = false;
  DoArchiveProgress(100, abort);
  isDirty_ = false;
}

void TAbGzipArchive::TestItemAt(int index) {
  if (TarMode()) return TAbTarArchive::TestItemAt(index);
  const int64_t start = stream_->Position();
  TAbArchiveKind kind = DetectGzip(*stream_);
  if (kind != akGzip && kind != akGzippedTar) throw EAbGzipInvalid();
  TAbBitBucketStream bucket(kBitBucketSize);
  DecodeMemberTo(&bucket);
  stream_->Seek(start, soBeginning);
}

void TAbGzipArchive::SaveTarMode(TStream& work) {
  TAbTarArchive::SaveArchive();
  if (!member_) member_ = std::make_unique<TAbGzipItem>();
  member_->SetAction(iaNone);
  member_->SetLastModTimeAsDateTime(Now());
  tarStream_->Seek(0, soBeginning);
  TAbGzipStreamHelper out(&work);
  out.WriteMember(*member_, tarStream_.get());
}

void TAbGzipArchive::SavePlainItem(TAbGzipItem& item, TAbGzipStreamHelper& out, TStream& work) {
  switch (item.Action()) {
    case iaNone:
    case iaMove: {
      item.SaveHeader(work);
      stream_->Seek(0, soBeginning);
      TAbGzipItem old;
      old.LoadHeader(*stream_);
      work.CopyFrom(stream_, stream_->Size() - stream_->Position());
      break;
    }
    case iaAdd:
    case iaFreshen:
    case iaReplace: {
      const AnsiString disk = DiskNameOf(item.DiskFileName());
      item.SetLastModTimeAsDateTime(FileDateTimeOf(disk));
      TFileStream in(disk, fmOpenRead | fmShareDenyWrite);
      out.WriteMember(item, &in);
      break;
    }
    case iaStreamAdd:
      inStream_->Seek(0, soBeginning);
      out.WriteMember(item, inStream_);
      break;
    default: break;
  }
}

void TAbGzipArchive::SaveArchive() {
  auto work = NewWorkStream();
  if (TarMode()) {
    SaveTarMode(*work);
    ReplaceArchiveStream(*work);
    return;
  }
  TAbGzipStreamHelper out(work.get());
  bool holdsOne = false;
  for (int i = 0; i < Count(); ++i) {
    TAbGzipItem& item = *GzipItems(i);
    const TAbItemAction action = item.Action();
    if (action == iaFailed || action == iaDelete) continue;
    currentItem_ = &item;
    const int64_t memberStart = work->Position();
    if (holdsOne && action != iaNone && action != iaMove) {
      RefuseSecondFile(item, *work);
      continue;
    }
    try {
      SavePlainItem(item, out, *work);
      holdsOne = true;
    } catch (...) {
      if (item.Action() == iaNone || item.Action() == iaMove) throw;
      DropFailedItem(item, *work, memberStart);
    }
  }
  currentItem_ = nullptr;
  ReplaceArchiveStream(*work);
  FinishSave();
}

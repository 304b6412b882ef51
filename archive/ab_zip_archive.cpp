// The ZIP item and the ZIP archive's load and save. A plain archive file is
// replaced by renaming a fully written sibling over it, so a failed save
// leaves the previous archive as it was.
#include "archive/ab_zip_archive.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "archive/ab_archive_file.h"
#include "archive/ab_exceptions.h"
#include "archive/ab_tail_stream.h"
#include "archive/ab_utils.h"
#include "archive/ab_vmstream.h"
#include "archive/ab_zip_directory_check.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int64_t kMax32 = 0xFFFFFFFFll;
constexpr int kMaxEntries = 0xFFFF;
constexpr int64_t kMaxVolumeSize = 2147483647;
constexpr int64_t kDirectorySlack = 512;
constexpr uint16_t kReadDenyWrite = fmOpenRead | fmShareDenyWrite;
constexpr uint16_t kWriteDenyWrite = fmOpenWrite | fmShareDenyWrite;
constexpr uint16_t kReadWriteDenyWrite = fmOpenReadWrite | fmShareDenyWrite;
constexpr uint32_t kFolderAttr = 0x10;
constexpr uint8_t kHostUnix = 3;

uint32_t Checked32(int64_t value) {
  if (value < 0 || value > kMax32) throw EAbFileTooLarge();
  return static_cast<uint32_t>(value);
}

// Moves the count bytes at from to begin at to, in chunks taken from the end
// that moves first, so bytes not yet moved are never overwritten; the stream
// then ends after them.
void MoveStreamBytes(TStream& stream, int64_t from, int64_t to, int64_t count) {
  constexpr int64_t kChunk = 1 << 16;
  std::vector<char> chunk(static_cast<size_t>(std::min(count, kChunk)));
  for (int64_t done = 0; done < count;) {
    const int64_t n = std::min(count - done, kChunk);
    const int64_t offset = to > from ? count - done - n : done;
    stream.Seek(from + offset, soBeginning);
    stream.ReadBuffer(chunk.data(), n);
    stream.Seek(to + offset, soBeginning);
    stream.WriteBuffer(chunk.data(), n);
    done += n;
  }
  stream.SetSize(to + count);
}

// The stream a save writes to. It remembers a failed write, so that a full
// disk or a file size limit met while one member is compressed fails the save
// instead of being taken for that member's own failure and leaving it out.
class TSaveStream : public TStream {
public:
  explicit TSaveStream(TStream& target) : target_(target) {}
  bool WriteFailed() const { return writeFailed_; }

  int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override {
    return Watch([&] { return target_.Write(buffer, count); }, count);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return target_.Seek(offset, origin); }
  int64_t Size() override { return target_.Size(); }
  void SetSize(int64_t size) override {
    Watch([&] { target_.SetSize(size); return int64_t{0}; }, 0);
  }

private:
  template <typename Action>
  int64_t Watch(Action&& action, int64_t expected) {
    try {
      const int64_t done = action();
      if (done != expected) writeFailed_ = true;
      return done;
    } catch (...) {
      writeFailed_ = true;
      throw;
    }
  }

  TStream& target_;
  bool writeFailed_ = false;
};

bool HasStub(const uint8_t* head) {
  return (head[0] == 'M' && head[1] == 'Z') || (head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F');
}

}  // namespace

// --- TAbZipItem --------------------------------------------------------------------

bool TAbZipItem::GetIsDirectory() const {
  if (header_.ExternalFileAttributes & kFolderAttr) return true;
  const AnsiString& name = GetFileName();
  return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

uint32_t TAbZipItem::GetNativeFileAttributes() const {
  uint32_t ext = header_.ExternalFileAttributes;
  if (HostOS() == kHostUnix || ext > 0x1FFFF) return static_cast<uint32_t>(UnixModeToDosAttr(ext >> 16));
  return ext & 0xFF;
}

void TAbZipItem::SetCompressedSize(int64_t value) { header_.CompressedSize = Checked32(value); }

void TAbZipItem::SetUncompressedSize(int64_t value) {
  TAbArchiveItem::SetUncompressedSize(value);
  header_.UncompressedSize = static_cast<uint32_t>(value);
}

void TAbZipItem::SetRelativeOffset(int64_t value) { header_.RelativeOffset = Checked32(value); }

void TAbZipItem::SetFileName(const AnsiString& value) {
  AbZipApplyName(header_, value);
  TAbArchiveItem::SetFileName(value);
}

std::string TAbZipItem::GetUtf8FileName() const {
  // Looking a block up walks the extra field without changing it.
  return AbZipUtf8Name(const_cast<TAbZipDirectoryFileHeader&>(header_));
}

void TAbZipItem::UseUtf8NameBesideDescriptor() {
  if (header_.ExtraField.FindField(kAbUnicodePathBlockId) >= 0) AbZipApplyUtf8Name(header_, GetFileName());
}

void TAbZipItem::LoadFromStream(TStream& stream) {
  header_.LoadFromStream(stream);
  TAbArchiveItem::SetFileName(AbZipDisplayName(header_));
  AnsiString disk = GetFileName();
  BackslashesToSlashes(disk);
  SetDiskFileName(disk);
  SetAction(iaNone);
  SetTagged(false);
}

void TAbZipItem::WriteLocalHeader(TStream& stream) const {
  TAbZipLocalFileHeader local;
  local.VersionNeededToExtract = header_.VersionNeededToExtract;
  local.GeneralPurposeBitFlag = header_.GeneralPurposeBitFlag;
  local.CompressionMethod = header_.CompressionMethod;
  local.LastModFileTime = header_.LastModFileTime;
  local.LastModFileDate = header_.LastModFileDate;
  local.CRC32 = header_.CRC32;
  local.CompressedSize = header_.CompressedSize;
  local.UncompressedSize = header_.UncompressedSize;
  local.FileName = header_.FileName;
  local.ExtraField.Assign(header_.ExtraField.Buffer());
  local.SaveToStream(stream);
}

void TAbZipItem::WriteDataDescriptor(TStream& stream) const {
  TAbZipDataDescriptor d;
  d.CRC32 = header_.CRC32;
  d.CompressedSize = header_.CompressedSize;
  d.UncompressedSize = header_.UncompressedSize;
  d.SaveToStream(stream);
}

// --- Construction ----------------------------------------------------------------------

TAbZipArchive::TAbZipArchive(const AnsiString& fileName, uint16_t mode) : TAbArchive(nullptr, fileName) {
  InitZip();
  isRemovable_ = IsRemovableDrive(fileName);
  OwnStream(std::unique_ptr<TStream>(NewSpanStream(fileName, mode, VolumeMediaKind())));
  mode_ = mode;
}

TAbZipArchive::TAbZipArchive(TStream* stream, const AnsiString& archiveName) : TAbArchive(stream, archiveName) {
  InitZip();
}

TAbZipArchive::~TAbZipArchive() = default;

void TAbZipArchive::InitZip() {
  storeOptions_.Include(soStripDrive);
  tempDirectory_.clear();
  SetSpanningThreshold(0);
}

TAbSpanStream* TAbZipArchive::NewSpanStream(const AnsiString& name, uint16_t mode, TAbMediaKind kind) {
  auto* span = new TAbSpanStream(name, mode, GetSpanningThreshold(), kind);
  span->OnRequestImage = [this](TObject* sender, int32_t n, AnsiString& image, bool& abort) {
    DoSpanningMediaRequest(sender, n, image, abort);
  };
  span->OnWriteProgress = [this](uint8_t progress, bool& abort) { DoArchiveSaveProgress(progress, abort); };
  return span;
}

TAbArchiveItem* TAbZipArchive::CreateItem(const AnsiString& fileName) {
  auto* item = new TAbZipItem;
  item->SetCompressionMethod(8);
  item->SetDiskFileName(DiskNameOf(fileName));
  item->SetFileName(FixName(fileName));
  return item;
}

AnsiString TAbZipArchive::FixName(const AnsiString& name) {
  storeOptions_.Include(soStripDrive);
  return TAbArchive::FixName(name);
}

void TAbZipArchive::SetZipfileComment(const AnsiString& comment) {
  footer_.ZipfileComment = comment;
  isDirty_ = true;
}

// --- Hooks -------------------------------------------------------------------------------

void TAbZipArchive::ExtractItemAt(int index, const AnsiString& newName) {
  if (!ExtractHelper) throw EAbZipNoExtraction();
  ExtractHelper(this, ZipItems(index), newName);
}

void TAbZipArchive::ExtractItemToStreamAt(int index, TStream* stream) {
  if (!ExtractToStreamHelper) throw EAbZipNoExtraction();
  ExtractToStreamHelper(this, ZipItems(index), stream);
}

void TAbZipArchive::TestItemAt(int index) {
  if (!TestHelper) throw EAbZipNoExtraction();
  TestHelper(this, ZipItems(index));
}

// --- Loading --------------------------------------------------------------------------

// Finds the end record; for the first volume of a spanned set the user is
// asked for the last one until it is found. False when the user gave up.
bool TAbZipArchive::FindEndRecord(bool spannedMarker) {
  if (!spannedMarker) {
    if (LocateEndRecord(*stream_) < 0) throw EAbZipInvalid();
    return true;
  }
  bool found = !isRemovable_ && LocateEndRecord(*stream_) >= 0;
  while (!found) {
    try {
      OpenReadVolume(-1);
    } catch (const EAbUserAbort&) {
      return false;
    }
    found = LocateEndRecord(*stream_) >= 0;
    spanned_ = found;
  }
  return true;
}

void TAbZipArchive::LoadArchive() {
  autoImageNames_ = false;
  if (stream_->Size() == 0) return;
  uint8_t head[4] = {};
  stream_->Seek(0, soBeginning);
  stream_->Read(head, 4);
  isExecutable_ = HasStub(head);
  if (dynamic_cast<TAbSpanStream*>(stream_)) isRemovable_ = IsRemovableDrive(archiveName_);
  bool marker = head[0] == 0x50 && head[1] == 0x4B && head[2] == 0x07 && head[3] == 0x08;
  try {
    if (!FindEndRecord(marker)) return;
    ReadDirectory();
  } catch (...) {
    status_ = arInvalid;
    throw;
  }
}

void TAbZipArchive::ReadDirectory() {
  int64_t endPosition = stream_->Position();
  footer_.LoadFromStream(*stream_);
  AbZipRefuseZip64Archive(*stream_, endPosition, footer_);
  currentVolume_ = footer_.DiskNumber;
  if (auto* span = dynamic_cast<TAbSpanStream*>(stream_)) span->SetSpanNumber(currentVolume_);
  if (currentVolume_ > 0) spanned_ = true;
  if (spanned_ && !isRemovable_) autoImageNames_ = true;
  if (footer_.StartDiskNumber != footer_.DiskNumber) {
    OpenDirectoryVolume(footer_.StartDiskNumber);
    currentVolume_ = footer_.StartDiskNumber;
  }
  stream_->Seek(footer_.DirectoryOffset, soBeginning);
  int entries = 0;
  int64_t smallestOffset = std::numeric_limits<int64_t>::max();
  while (stream_->Position() < endPosition || currentVolume_ != footer_.DiskNumber) {
    if (spanned_ && ((currentVolume_ < footer_.DiskNumber && entries == footer_.EntriesOnDisk) ||
                     stream_->Position() >= stream_->Size())) {
      try {
        OpenReadVolume(++currentVolume_);
      } catch (const EAbUserAbort&) {
        return;
      }
    }
    auto item = std::make_unique<TAbZipItem>();
    item->LoadFromStream(*stream_);
    AbZipRefuseZip64Entry(*item);
    // A header that straddles two volumes moves the stream on by itself.
    if (auto* span = dynamic_cast<TAbSpanStream*>(stream_); span && spanned_)
      currentVolume_ = static_cast<uint16_t>(span->SpanNumber());
    if (isExecutable_) smallestOffset = std::min<int64_t>(smallestOffset, item->RelativeOffset());
    itemList_.Add(item.release());
    ++entries;
    bool abort = false;
    // A crafted end record may claim no entries at all: the share is then 0.
    DoArchiveProgress(static_cast<uint8_t>(PercentOf(entries, footer_.TotalEntries)), abort);
    if (abort) throw EAbUserAbort();
  }
  CheckDirectory(entries, endPosition);
  bool abort = false;
  DoArchiveProgress(100, abort);
  if (isExecutable_ && entries > 0) stubSize_ = static_cast<uint32_t>(smallestOffset);
  isDirty_ = false;
}

// The walk above runs on positions; a directory that ends early, starts late
// or holds members sharing bytes is damaged, and saying so beats listing part
// of it or testing one member's data many times over.
void TAbZipArchive::CheckDirectory(int entries, int64_t endPosition) {
  if (entries != footer_.TotalEntries)
    throw EAbZipInvalid(Format(AbZipEntryCountS, {entries, static_cast<int>(footer_.TotalEntries)}));
  if (stream_->Position() != endPosition) throw EAbZipInvalid(AbZipDirectoryEndS);
  if (spanned_) return;  // offsets count within each volume
  std::vector<const TAbZipItem*> members;
  for (int i = 0; i < Count(); ++i) members.push_back(ZipItems(i));
  AbZipCheckMemberSpans(members, footer_.DirectoryOffset);
}

// --- Saving ---------------------------------------------------------------------------

void TAbZipArchive::CopyEntry(TAbZipItem* item, int64_t oldOffset, TStream& oldStream, TStream& work) {
  oldStream.Seek(oldOffset, soBeginning);
  TAbZipLocalFileHeader old;
  old.LoadFromStream(oldStream);
  item->WriteLocalHeader(work);
  if (item->GetCompressedSize() > 0) work.CopyFrom(&oldStream, item->GetCompressedSize());
}

// Compresses an added entry straight into the work stream behind a header
// written ahead with what is known so far; the header is then written again
// with the sizes and checksum. A failure drops the entry (reported, its
// partial bytes removed) and the save goes on.
void TAbZipArchive::InsertEntry(int index, TStream& work) {
  TAbZipItem* item = ZipItems(index);
  int64_t start = work.Position();
  try {
    item->WriteLocalHeader(work);
    const int64_t dataStart = work.Position();
    TAbTailStream data(work, dataStart);
    if (item->Action() == iaStreamAdd) {
      if (!InsertFromStreamHelper) throw EAbZipNoInsertion();
      InsertFromStreamHelper(this, item, &data, inStream_);
    } else {
      if (!InsertHelper) throw EAbZipNoInsertion();
      InsertHelper(this, item, &data);
    }
    RewriteLocalHeader(item, work, start, dataStart);
  } catch (const EAbUserAbort&) {
    throw;
  } catch (...) {
    if (auto* save = dynamic_cast<TSaveStream*>(&work); save && save->WriteFailed())
      NamingStreamFailures([] { throw; });
    work.SetSize(start);
    work.Seek(start, soBeginning);
    item->SetAction(iaDelete);
    DoProcessItemFailure(item, ptAdd, ecFileOpen, 0);
  }
}

// The final local header in place of the one written ahead. Compressing may
// change the stored name (an encrypted entry keeps its name in UTF-8 instead
// of a Unicode block), and so the header's length: the data then moves to
// follow it. The work stream ends up positioned after the data.
void TAbZipArchive::RewriteLocalHeader(TAbZipItem* item, TStream& work, int64_t start, int64_t dataStart) {
  const int64_t dataSize = work.Size() - dataStart;
  TMemoryStream header;
  item->WriteLocalHeader(header);
  const int64_t newDataStart = start + header.Size();
  if (newDataStart != dataStart) MoveStreamBytes(work, dataStart, newDataStart, dataSize);
  work.Seek(start, soBeginning);
  work.CopyFrom(&header, 0);
  work.Seek(newDataStart + dataSize, soBeginning);
}

// A replacement that fails keeps the member it was to replace: the failure is
// reported by InsertEntry, and the old data is copied as it was.
void TAbZipArchive::ReplaceEntry(int index, int64_t oldOffset, TStream& work) {
  TAbZipItem* item = ZipItems(index);
  const TAbZipDirectoryFileHeader previous = item->Header();
  InsertEntry(index, work);
  if (item->Action() != iaDelete) return;
  item->RestoreHeader(previous);
  item->SetAction(iaNone);
  CopyEntry(item, oldOffset, *stream_, work);
}

// A save writes the whole archive (stub or marker, entries, central
// directory, end record) and then puts it in place of the old file in one
// step. An archive file of our own that cannot span is written straight into
// the file that replaces it, so its bytes reach the disk once; any other
// target is built in a scratch stream first.
void TAbZipArchive::SaveArchive() {
  if (Count() == 0) return;
  RefuseSpannedOverwrite();
  if (auto* span = dynamic_cast<TAbSpanStream*>(stream_); span && span->Writing() && OwnsStream())
    OwnStream(std::unique_ptr<TStream>(NewSpanStream(archiveName_, kReadDenyWrite, span->MediaKind())));
  isRemovable_ = IsRemovableDrive(archiveName_);
  const bool maySpan = isRemovable_ ? stream_->Size() == 0 : GetSpanningThreshold() > 0;
  TVolumeCursor cursor{VolumeSize(maySpan)};

  std::unique_ptr<TAbReplacementFile> replacement;
  std::unique_ptr<TAbVirtualMemoryStream> scratch;
  if (!maySpan && OwnsStream() && !dynamic_cast<TMemoryStream*>(stream_)) {
    NamingStreamFailures([&] { replacement = std::make_unique<TAbReplacementFile>(archiveName_); });
  } else {
    scratch = std::make_unique<TAbVirtualMemoryStream>();
    scratch->SetSwapFileDirectory(ScratchFolder());
  }
  TSaveStream work(replacement ? replacement->Stream() : *scratch);
  WriteStartOfArchive(work, maySpan);
  TMemoryStream directory;
  WriteEntries(work, directory, cursor);
  WriteDirectory(work, directory, cursor, maySpan);

  if (replacement) {
    NamingStreamFailures([&] {
      replacement->Commit();
      OwnStream(std::make_unique<TFileStream>(archiveName_, kReadWriteDenyWrite));
    });
  } else {
    spanned_ = currentVolume_ > 0 && work.Size() > cursor.volumeSize && maySpan;
    if (spanned_) {
      uint32_t marker = kAbZipSpannedSetSignature;
      work.Seek(0, soBeginning);
      work.WriteBuffer(&marker, 4);
    }
    try {
      ReplaceFile(work);
    } catch (...) {
      spanned_ = false;  // the file on disk is not the new set
      throw;
    }
    if (spanned_ && !isRemovable_) RenameSpannedImages();
  }
  SettleItemActions();
  bool abort = false;
  DoArchiveSaveProgress(100, abort);
  DoArchiveProgress(100, abort);
}

// A spanned set is never rewritten: its items are left as they were loaded.
void TAbZipArchive::RefuseSpannedOverwrite() {
  if (!spanned_) return;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Action() != iaFailed) Items(i)->SetAction(iaNone);
  isDirty_ = false;
  throw EAbZipSpanOverwrite();
}

// Volume numbers only count when the archive may span: an unspanned archive
// larger than the free space must still be one volume 0.
int64_t TAbZipArchive::VolumeSize(bool maySpan) {
  if (!maySpan) return std::numeric_limits<int64_t>::max();
  const int64_t size = isRemovable_ ? FreeSpaceOf(archiveName_) : GetSpanningThreshold();
  return size > 0 ? size : kMaxVolumeSize;
}

// The stub of a self-extracting archive, or the marker of one that may span.
void TAbZipArchive::WriteStartOfArchive(TStream& work, bool maySpan) {
  if (isExecutable_) {
    stream_->Seek(0, soBeginning);
    work.CopyFrom(stream_, stubSize_);
  } else if (maySpan) {
    uint32_t marker = kAbZipSingleVolumeSignature;
    work.WriteBuffer(&marker, 4);
  }
}

// The volume and the offset inside it where the next record starts.
void TAbZipArchive::AdvanceVolume(TStream& work, TVolumeCursor& cursor) {
  const int64_t pos = work.Position();
  currentVolume_ = static_cast<uint16_t>(pos / cursor.volumeSize);
  cursor.offset = pos - static_cast<int64_t>(currentVolume_) * cursor.volumeSize;
}

// Every item that stays, copied, replaced or inserted, each followed by its
// data descriptor when its flags announce one; their central headers go to
// directory.
void TAbZipArchive::WriteEntries(TStream& work, TMemoryStream& directory, TVolumeCursor& cursor) {
  footer_.EntriesOnDisk = footer_.TotalEntries = 0;
  currentVolume_ = 0;
  cursor.offset = work.Position();
  stream_->Seek(0, soBeginning);
  int written = 0;
  for (int i = 0; i < Count(); ++i) {
    auto* item = ZipItems(i);
    currentItem_ = item;
    TAbItemAction action = item->Action();
    if (action != iaFailed && action != iaDelete) {
      int64_t oldOffset = item->RelativeOffset();
      item->SetDiskNumberStart(currentVolume_);
      item->SetRelativeOffset(cursor.offset);
      if (action == iaNone || action == iaMove)
        CopyEntry(item, oldOffset, *stream_, work);
      else if (action == iaReplace)
        ReplaceEntry(i, oldOffset, work);
      else
        InsertEntry(i, work);
      if (item->Action() != iaDelete) {
        // One descriptor whenever the flags announce one, also for stored and
        // encrypted entries, so readers that walk the local records stay in step.
        if (item->GeneralPurposeBitFlag() & kAbZipFlagDataDescriptor) item->WriteDataDescriptor(work);
        if (++written > kMaxEntries) throw EAbFileTooLarge(AbTooManyEntriesS);
        item->WriteCentralHeader(directory);
      }
    }
    bool abort = false;
    DoArchiveProgress(static_cast<uint8_t>(PercentOf(9 * (i + 1), 10 * Count())), abort);
    if (abort) throw EAbUserAbort();
    AdvanceVolume(work, cursor);
  }
  currentItem_ = nullptr;  // dropped items are freed by SettleItemActions
  footer_.EntriesOnDisk = footer_.TotalEntries = static_cast<uint16_t>(written);
}

// The central directory, moved to the next volume when it would not fit
// whole in this one, and the end record.
void TAbZipArchive::WriteDirectory(TStream& work, TMemoryStream& directory, TVolumeCursor& cursor, bool maySpan) {
  const int64_t remainder = cursor.volumeSize - cursor.offset;
  if (maySpan && remainder > 0 && remainder < directory.Size() + kDirectorySlack) {
    AnsiString zeros(static_cast<size_t>(remainder + 1), '\0');
    work.WriteBuffer(zeros.data(), remainder + 1);
    AdvanceVolume(work, cursor);
  }
  footer_.StartDiskNumber = currentVolume_;
  footer_.DirectoryOffset = Checked32(cursor.offset);
  work.CopyFrom(&directory, 0);
  if (GetSpanningThreshold() > 0) currentVolume_ = static_cast<uint16_t>(work.Position() / cursor.volumeSize);
  footer_.DirectorySize = Checked32(directory.Size());
  footer_.DiskNumber = currentVolume_;
  footer_.SaveToStream(work);
}

// After a save, deleted items leave the list and the others are settled.
void TAbZipArchive::SettleItemActions() {
  for (int i = Count() - 1; i >= 0; --i) {
    if (Items(i)->Action() == iaDelete)
      itemList_.Delete(i);
    else if (Items(i)->Action() != iaFailed)
      Items(i)->SetAction(iaNone);
  }
}

void TAbZipArchive::ReplaceFile(TStream& work) {
  work.Seek(0, soBeginning);
  if (!OwnsStream() || dynamic_cast<TMemoryStream*>(stream_)) {
    RewriteStream(*stream_, work);
    return;
  }
  NamingStreamFailures([&] {
    if (!spanned_) {
      ReplaceByRename(work);
      return;
    }
    // A spanned set is written volume by volume onto the media it names.
    if (isRemovable_) {
      currentVolume_ = 0;
      SetSpanVolumeLabel("PKBACK# 001", archiveName_);
    }
    OwnStream(std::unique_ptr<TStream>(NewSpanStream(archiveName_, kWriteDenyWrite, VolumeMediaKind())));
    auto* out = static_cast<TAbSpanStream*>(stream_);
    out->SetSize(0);
    out->SetArchiveTotalSize(work.Size());
    out->CopyFrom(&work, 0);
  });
}

// Failures of the archive file itself come out as EAbBadStream naming it; a
// user's abort stays what it is.
template <typename Action>
void TAbZipArchive::NamingStreamFailures(Action&& action) {
  try {
    action();
  } catch (const EAbUserAbort&) {
    throw;
  } catch (Exception& e) {
    AbPrefixMessage(e, archiveName_);
    throw EAbBadStream(std::current_exception());
  } catch (...) {
    throw EAbBadStream(std::current_exception());
  }
}

// After a spanned save the first volume becomes name.z01 and the last one,
// written as name.zNN, takes the archive's own name.
void TAbZipArchive::RenameSpannedImages() {
  auto* span = static_cast<TAbSpanStream*>(stream_);
  TAbMediaKind kind = span->MediaKind();
  AnsiString last = span->ImageName();
  OwnStream(nullptr);
  RenameFile(archiveName_, ImageNameFor(archiveName_, 0));
  RenameFile(last, archiveName_);
  OwnStream(std::unique_ptr<TStream>(NewSpanStream(archiveName_, kReadDenyWrite, kind)));
}

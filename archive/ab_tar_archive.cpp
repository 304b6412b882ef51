// The tar archive: the stream helper that finds each entry's header and
// data, and the archive's load and save. A save copies unchanged entries as
// they are and writes new ones in the archive's dialect.
#include "archive/ab_tar.h"

#include <algorithm>
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

// --- TAbTarStreamHelper ---------------------------------------------------------------------

bool TAbTarStreamHelper::ScanHeaders() {
  dataSize_ = 0;
  headerBlocks_ = 0;
  const int64_t start = stream_->Position();
  bool found = false;
  while (!found) {
    header_.fill(0);
    const int64_t got = stream_->Read(header_.data(), kAbTarBlockSize);
    if (IsZeroBlock(header_)) break;
    // Part of a header is what is left of an archive cut short, not its end.
    if (got < kAbTarBlockSize) throw EAbTarInvalid(AbTarCutShortS);
    const char flag = static_cast<char>(header_[kTypeFlagAt]);
    ++headerBlocks_;
    if (IsMetaFlag(flag)) {
      int64_t dataBlocks = BlocksFor(MetaDataSize(header_));
      stream_->Seek(dataBlocks * kAbTarBlockSize, soCurrent);
      headerBlocks_ += static_cast<int>(std::min<int64_t>(dataBlocks, INT32_MAX - headerBlocks_));
      continue;
    }
    if (HasData(flag) && !ParseTarSize(header_.data() + kSizeAt, kNumberWidth, dataSize_))
      throw EAbTarInvalid("size field is not a number");
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
  format_ = tfV7;
  try {
    bool found = size > 0 && helper.SeekFirstItem();
    if (found) format_ = tfNone;
    while (found && tar->Position() < size) {
      auto item = std::make_unique<TAbTarItem>();
      item->SetStreamPosition(tar->Position());
      item->LoadFromStream(*tar);
      CheckEntry(*item, size);
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
  } catch (const EReadError&) {
    throw EAbTarBadOp(AbTarCutShortS);
  } catch (const Exception& e) {
    throw EAbTarBadOp(e.Message());
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

// A damaged header or an entry whose data runs past the end of the archive is
// refused with the whole archive: what follows it cannot be found reliably,
// and extracting it would give a file that is not what was stored.
void TAbTarArchive::CheckEntry(const TAbTarItem& item, int64_t tarSize) {
  if (AnsiString damage = item.HeaderDamage(); !damage.empty())
    throw EAbTarInvalid(::Format("entry at offset %d: ", {item.StreamPosition()}) + damage);
  const int64_t data = HasData(item.TypeFlag()) ? item.GetUncompressedSize() : 0;
  if (item.DataPosition() + data > tarSize)
    throw EAbTarInvalid(item.GetFileName() + ": " + AbTarCutShortS);
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
      if (AnsiToUtf8(storedName).size() <= kAbTarNameSize) break;
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
  if (item->NameMayBeCut() || (item->Kind() == tkReadOnly && item->LinkName().size() >= kAbTarNameSize))
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

// Compressing one entry: the method follows the archive's setting, and the
// best-method trial stores the source afresh when deflating made it larger.
#include "archive/ab_zip_compress.h"

#include <cmath>
#include <memory>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "archive/ab_vmstream.h"
#include "archive/ab_zip_archive.h"
#include "archive/deflate/deflate.h"
#include "archive/deflate/df_crypt.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int64_t kCopyBufferSize = 8192;
constexpr uint16_t kVersionStored = 10;
constexpr uint16_t kVersionDeflated = 20;
constexpr uint16_t kFlagEncryptedWithDescriptor = 0x0009;
constexpr uint16_t kFlagMaximum = 0x0002;
constexpr uint16_t kFlagFast = 0x0004;
constexpr uint16_t kFlagSuperFast = 0x0006;
constexpr int32_t kFolderAttr = 16;

std::unique_ptr<TAbVirtualMemoryStream> NewScratch(TAbZipArchive* archive) {
  auto scratch = std::make_unique<TAbVirtualMemoryStream>();
  scratch->SetSwapFileDirectory(archive->ScratchFolder());
  return scratch;
}

// Deflates, and stores instead when the deflated data came out larger. An
// empty, unencrypted target takes the deflated data straight away and is
// emptied again for storing; through the cipher, the trial goes to a scratch
// stream first, as encrypted bytes cannot be taken back.
void CompressBest(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* out, TStream* source) {
  int64_t start = source->Position();
  if (out == target && target->Size() == 0) {
    DeflateItem(archive, item, target, source);
    if (target->Size() <= source->Size()) return;
    source->Seek(start, soBeginning);
    target->SetSize(0);
    target->Seek(0, soBeginning);
    StoreItem(archive, item, target, source);
    return;
  }
  auto scratch = NewScratch(archive);
  DeflateItem(archive, item, scratch.get(), source);
  if (scratch->Size() > source->Size()) {
    source->Seek(start, soBeginning);
    scratch = NewScratch(archive);
    StoreItem(archive, item, scratch.get(), source);
  }
  out->CopyFrom(scratch.get(), 0);
}

}  // namespace

void CompressItemFromFile(TAbZipArchive* archive, TAbZipItem* item, TStream* target) {
  AnsiString name = item->DiskFileName();
  if (PathKindOf(name) != 2 && !archive->BaseDirectory().empty())
    name = WithTrailingBackslash(archive->BaseDirectory()) + name;
  TAbFileInfo info;
  if (!GetFileInfo(name, info)) throw EAbFileNotFound();
  std::unique_ptr<TStream> source;
  if (info.Attr & kFolderAttr)
    source = std::make_unique<TMemoryStream>();
  else
    source = std::make_unique<TFileStream>(name, fmOpenRead | fmShareDenyWrite);
  item->SetExternalFileAttributes(static_cast<uint32_t>(info.Attr));
  item->SetLastModTimeAsDateTime(info.DateTime);
  CompressItem(archive, item, target, source.get());
}

void CompressItemFromStream(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source) {
  item->SetExternalFileAttributes(0);
  item->SetLastModTimeAsDateTime(Now());
  CompressItem(archive, item, target, source);
}

void CompressItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source) {
  item->SetUncompressedSize(source->Size());
  item->SetGeneralPurposeBitFlag(item->GeneralPurposeBitFlag() & kAbZipFlagUtf8);
  item->SetCompressedSize(0);
  item->SetVersionMadeBy(static_cast<uint16_t>((item->VersionMadeBy() & 0xFF00) | kVersionDeflated));

  std::unique_ptr<TAbDfEncryptStream> encrypt;
  TStream* out = target;
  if (!archive->Password().empty()) {
    uint32_t checkValue = static_cast<uint32_t>(item->GetLastModFileTime()) << 16;
    encrypt = std::make_unique<TAbDfEncryptStream>(target, archive->Password(), checkValue);
    out = encrypt.get();
  }
  if (source->Size() > 0) {
    switch (archive->CompressionMethodToUse()) {
      case smStored: StoreItem(archive, item, out, source); break;
      case smDeflated: DeflateItem(archive, item, out, source); break;
      case smBestMethod: CompressBest(archive, item, target, out, source); break;
    }
  } else {
    item->SetCRC32(0);
    StoreItem(archive, item, out, source);
  }
  item->SetVersionNeededToExtract(item->CompressionMethod() == 8 ? kVersionDeflated : kVersionStored);
  if (encrypt) {
    item->SetGeneralPurposeBitFlag(item->GeneralPurposeBitFlag() | kFlagEncryptedWithDescriptor);
    item->UseUtf8NameBesideDescriptor();
  }
  encrypt.reset();
  item->SetCompressedSize(target->Size());
  item->SetInternalFileAttributes(0);
}

void StoreItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source) {
  item->SetCompressionMethod(0);
  uint32_t crc = 0xFFFFFFFF;
  int64_t done = 0, total = source->Size();
  int last = 0;
  bool abort = false;
  std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
  for (int64_t n = source->Read(buffer.get(), kCopyBufferSize); n > 0 && !abort;
       n = source->Read(buffer.get(), kCopyBufferSize)) {
    if (archive->OnProgress) {
      done += n;
      int percent = static_cast<int>(std::lround(static_cast<double>(done) * 100.0 / static_cast<double>(total)));
      if (percent != last) archive->OnProgress(static_cast<uint8_t>(percent), abort);
      last = percent;
    }
    UpdateCrc32(crc, buffer.get(), static_cast<size_t>(n));
    target->WriteBuffer(buffer.get(), n);
  }
  item->SetCRC32(~crc);
  if (last < 100 && archive->OnProgress) archive->OnProgress(100, abort);
  if (abort) throw EAbUserAbort();
}

void DeflateItem(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source) {
  item->SetCompressionMethod(8);
  TAbDeflateHelper settings;
  settings.SetSourceSize(source->Size());
  settings.SetPreset('0');
  uint16_t flags = item->GeneralPurposeBitFlag();
  switch (archive->DeflationOption()) {
    case doNormal: settings.SetPreset('n'); break;
    case doMaximum: settings.SetPreset('x'); flags |= kFlagMaximum; break;
    case doFast: settings.SetPreset('f'); flags |= kFlagFast; break;
    case doSuperFast: settings.SetPreset('s'); flags |= kFlagSuperFast; break;
    case doInvalid: break;
  }
  item->SetGeneralPurposeBitFlag(flags);
  settings.SetProgressCallback([archive](int32_t percent) { archive->DoDeflateProgress(percent); });
  item->SetCRC32(Deflate(source, target, &settings));
}

// The bzip2 archive. Saves compress into a scratch stream first and then
// replace the file whole, so a failed save never leaves half an archive.
#include "archive/ab_bzip2.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/ab_archive_file.h"
#include "archive/ab_bitbucket.h"
#include "archive/ab_bzip2_streams.h"
#include "archive/ab_utils.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

constexpr int kHeaderSize = 10;
constexpr int64_t kDetectBytes = 1024;
constexpr int32_t kBitBucketSize = 1024;
// What a bit bucket of kBitBucketSize takes in one write.
constexpr int32_t kBitBucketPiece = 32768;

// The entry of a plain archive is named after the file: a compressed tar
// becomes ".tar", anything else loses its extension.
AnsiString PlainEntryName(const AnsiString& archiveName) {
  AnsiString name = ExtractFileName(archiveName);
  if (name.empty()) return "unknown";
  AnsiString ext = AnsiUpperCase(ExtractFileExt(name));
  if (ext == ".TBZ" || ext == ".TBZ2") return ChangeFileExt(name, ".tar");
  return ChangeFileExt(name, "");
}

}  // namespace

bool IsBzip2Header(const uint8_t* bytes) {
  static const uint8_t kBlockSignature[6] = {0x31, 0x41, 0x59, 0x26, 0x53, 0x59};
  return std::memcmp(bytes, "BZh", 3) == 0 && bytes[3] >= '1' && bytes[3] <= '9' &&
         std::memcmp(bytes + 4, kBlockSignature, 6) == 0;
}

TAbArchiveKind DetectBzip2(TStream& stream) {
  const int64_t start = stream.Position();
  TAbArchiveKind kind = akUnknown;
  try {
    uint8_t header[kHeaderSize];
    stream.Seek(0, soBeginning);
    if (stream.Read(header, kHeaderSize) == kHeaderSize && IsBzip2Header(header)) {
      kind = akBzip2;
      stream.Seek(0, soBeginning);
      TBZDecompressionStream decoder(&stream);
      std::vector<char> head(kDetectBytes);
      TMemoryStream decoded;
      decoded.WriteBuffer(head.data(), decoder.Read(head.data(), kDetectBytes));
      decoded.Seek(0, soBeginning);
      if (DetectTar(decoded) == akTar) kind = akBzippedTar;
    }
  } catch (const EStreamError&) {
  } catch (const EBZip2Error&) {
    // A bzip2 header over damaged data is still a bzip2 file.
  }
  stream.Seek(start, soBeginning);
  return kind;
}

TAbBzip2Archive::TAbBzip2Archive(const AnsiString& fileName, uint16_t mode)
    : TAbCompressedTarArchive(fileName, mode) {}

TAbBzip2Archive::TAbBzip2Archive(TStream* stream, const AnsiString& archiveName)
    : TAbCompressedTarArchive(stream, archiveName) {}

void TAbBzip2Archive::DecompressTo(TStream* target, int32_t pieceSize) {
  AbNamingFailures(archiveName_, [&] {
    stream_->Seek(0, soBeginning);
    TBZDecompressionStream decoder(stream_);
    std::vector<char> piece(pieceSize);
    for (int64_t got; (got = decoder.Read(piece.data(), pieceSize)) > 0;) target->WriteBuffer(piece.data(), got);
  });
}

TAbArchiveItem* TAbBzip2Archive::CreateItem(const AnsiString& fileName) {
  if (TarMode()) return TAbTarArchive::CreateItem(fileName);
  auto item = std::make_unique<TAbBzip2Item>();
  item->SetDiskFileName(DiskNameOf(fileName));
  item->SetFileName(FixName(fileName));
  return item.release();
}

void TAbBzip2Archive::ExtractItemAt(int index, const AnsiString& newName) {
  if (TarMode()) return TAbTarArchive::ExtractItemAt(index, newName);
  ExtractToNewFile(index, newName);
}

void TAbBzip2Archive::ExtractItemToStreamAt(int index, TStream* stream) {
  if (TarMode()) return TAbTarArchive::ExtractItemToStreamAt(index, stream);
  DecompressTo(stream);
}

void TAbBzip2Archive::LoadArchive() {
  BeginLoad();
  if (stream_->Size() == 0) return;
  if (TarMode()) {
    DecompressTo(tarStream_.get());
    TAbTarArchive::LoadArchive();
    return;
  }
  auto item = std::make_unique<TAbBzip2Item>();
  AnsiString name = PlainEntryName(archiveName_);
  item->SetFileName(name);
  item->SetDiskFileName(name);
  item->SetAction(iaNone);
  itemList_.Add(item.release());
  bool abort = false;
  DoArchiveProgress(100, abort);
  isDirty_ = false;
}

void TAbBzip2Archive::CompressInto(TStream& work, TStream* source) {
  TBZCompressionStream encoder(bs9, &work);
  encoder.CopyFrom(source, 0);
  encoder.Finish();
}

void TAbBzip2Archive::SavePlain() {
  auto work = NewWorkStream();
  std::vector<TAbArchiveItem*> dropped;
  TAbArchiveItem* written = nullptr;
  bool decided = false;
  for (int i = 0; i < Count(); ++i) {
    TAbArchiveItem* item = Items(i);
    const TAbItemAction action = item->Action();
    if (action == iaFailed || action == iaDelete) continue;
    const bool adds = action == iaAdd || action == iaFreshen || action == iaReplace || action == iaStreamAdd;
    if (!adds) {
      decided = true;
      continue;
    }
    currentItem_ = item;
    if (decided) {
      RefuseSecondFile(*item, *work);
      dropped.push_back(item);
      continue;
    }
    decided = true;
    try {
      if (action == iaStreamAdd) {
        CompressInto(*work, inStream_);
      } else {
        TFileStream in(DiskNameOf(item->DiskFileName()), fmOpenRead | fmShareDenyWrite);
        CompressInto(*work, &in);
      }
      written = item;
    } catch (...) {
      DropFailedItem(*item, *work, 0);
      dropped.push_back(item);
    }
  }
  currentItem_ = nullptr;
  if (written) {
    ReplaceArchiveStream(*work);
    written->SetAction(iaNone);
  }
  for (int i = Count() - 1; i >= 0; --i)
    if (std::find(dropped.begin(), dropped.end(), Items(i)) != dropped.end()) itemList_.Delete(i);
}

void TAbBzip2Archive::SaveArchive() {
  if (!TarMode()) return SavePlain();
  TAbTarArchive::SaveArchive();
  auto work = NewWorkStream();
  CompressInto(*work, tarStream_.get());
  ReplaceArchiveStream(*work);
}

void TAbBzip2Archive::TestItemAt(int index) {
  if (TarMode()) return TAbTarArchive::TestItemAt(index);
  TAbArchiveKind kind = DetectBzip2(*stream_);
  if (kind != akBzip2 && kind != akBzippedTar) throw EAbGzipInvalid();
  TAbBitBucketStream bucket(kBitBucketSize);
  DecompressTo(&bucket, kBitBucketPiece);
}

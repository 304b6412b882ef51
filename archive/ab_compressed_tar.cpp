// Tar-mode plumbing shared by the gzip and bzip2 archives.
#include "archive/ab_compressed_tar.h"

#include "archive/ab_archive_file.h"
#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"

TAbCompressedTarArchive::TAbCompressedTarArchive(const AnsiString& fileName, uint16_t mode)
    : TAbTarArchive(fileName, mode), tarStream_(std::make_unique<TAbVirtualMemoryStream>()) {}

TAbCompressedTarArchive::TAbCompressedTarArchive(TStream* stream, const AnsiString& archiveName)
    : TAbTarArchive(stream, archiveName), tarStream_(std::make_unique<TAbVirtualMemoryStream>()) {}

void TAbCompressedTarArchive::DoSpanningMediaRequest(TObject*, int32_t, AnsiString&, bool& abort) { abort = false; }

void TAbCompressedTarArchive::BeginLoad() {
  itemList_.Clear();
  tarStream_->SetSize(0);
  tarMode_ = openInnerTar_ && isCompressedTar_;
}

void TAbCompressedTarArchive::ReplaceTarStream(TStream& work) { RewriteStream(*tarStream_, work); }

void TAbCompressedTarArchive::RefuseSecondFile(TAbArchiveItem& item, TStream& work) {
  // Raised and caught here so that the failure event sees the reason.
  try {
    throw EAbUnhandledType(::Format(AbOneFileOnlyS, {item.GetFileName()}));
  } catch (const EAbUnhandledType&) {
    DropFailedItem(item, work, work.Position(), ecLibrary, AbUnhandledType);
  }
}

std::unique_ptr<TAbVirtualMemoryStream> TAbCompressedTarArchive::NewWorkStream() const {
  auto work = std::make_unique<TAbVirtualMemoryStream>();
  work->SetSwapFileDirectory(ScratchFolder());
  return work;
}

// The zip browser: choosing the archive class for a file's kind and opening
// it for reading, and passing the ZIP-only settings into ZIP archives.
#include "archive/ab_zip_browser.h"

#include "archive/ab_bzip2.h"
#include "archive/ab_detect.h"
#include "archive/ab_gzip.h"
#include "archive/ab_tar.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

namespace {

template <class Compressed>
std::unique_ptr<TAbArchive> NewCompressed(const AnsiString& fileName, uint16_t mode, bool openInnerTar,
                                          bool isTar) {
  auto archive = std::make_unique<Compressed>(fileName, mode);
  archive->SetOpenInnerTar(openInnerTar);
  archive->SetIsCompressedTar(isTar);
  return archive;
}

}  // namespace

std::unique_ptr<TAbArchive> TAbCustomZipBrowser::NewArchive(TAbArchiveKind kind, const AnsiString& fileName,
                                                            uint16_t mode) const {
  switch (kind) {
    case akZip:
    case akSpannedZip:
    case akSelfExtractingZip: return std::make_unique<TAbZipArchive>(fileName, mode);
    case akTar: return std::make_unique<TAbTarArchive>(fileName, mode);
    case akGzip:
    case akGzippedTar: return NewCompressed<TAbGzipArchive>(fileName, mode, OpenInnerTar, kind == akGzippedTar);
    case akBzip2:
    case akBzippedTar: return NewCompressed<TAbBzip2Archive>(fileName, mode, OpenInnerTar, kind == akBzippedTar);
    case akUnknown:
    case akCabinet: break;
  }
  return nullptr;
}

TAbArchiveKind TAbCustomZipBrowser::KindOfFile(const AnsiString& fileName) const {
  return ForceKind ? ArchiveKind : DetermineArchiveKind(fileName, akUnknown);
}

void TAbCustomZipBrowser::SetFileName(const AnsiString& value) {
  fileName_ = value;
  if (InState(csDesigning)) return;
  if (archive_) {
    // Reading only: whatever the old archive could not write is given up.
    try {
      archive_->Save();
    } catch (const std::exception&) {
    }
    archive_.reset();
  }
  if (!value.empty() && FileExists(value)) {
    TAbArchiveKind kind = KindOfFile(value);
    std::unique_ptr<TAbArchive> archive = NewArchive(kind, value, fmOpenRead | fmShareDenyNone);
    if (!archive) throw EAbUnhandledType();
    Install(std::move(archive), true);
    ArchiveKind = kind;
  }
  DoChange();
}

void TAbCustomZipBrowser::SetOnRequestImage(const TAbRequestImageEvent& handler) {
  TAbBaseBrowser::SetOnRequestImage(handler);
  if (spanStream_) spanStream_->OnRequestImage = handler;
}

TAbArchiveItem* TAbCustomZipBrowser::GetItem(int index) const {
  if (!archive_) throw EAbNoArchive();
  return archive_->Items(index);
}

void TAbCustomZipBrowser::SetPassword(const AnsiString& value) {
  password_ = value;
  if (TAbZipArchive* zip = ZipArchive()) zip->SetPassword(value);
}

void TAbCustomZipBrowser::SetOnRequestLastDisk(const TAbRequestDiskEvent& handler) {
  onRequestLastDisk_ = handler;
  if (TAbZipArchive* zip = ZipArchive()) zip->OnRequestLastDisk = handler;
}

void TAbCustomZipBrowser::SetOnRequestNthDisk(const TAbRequestNthDiskEvent& handler) {
  onRequestNthDisk_ = handler;
  if (TAbZipArchive* zip = ZipArchive()) zip->OnRequestNthDisk = handler;
}

void TAbCustomZipBrowser::InitArchive() {
  TAbBaseBrowser::InitArchive();
  TAbZipArchive* zip = ZipArchive();
  if (!zip) return;
  zip->SetPassword(password_);
  zip->OnRequestLastDisk = onRequestLastDisk_;
  zip->OnRequestNthDisk = onRequestNthDisk_;
}

// The zipper: opening or creating the archive a file name points at, adding
// files, saving, and the insert routines that compress each added ZIP entry.
#include "archive/ab_zipper.h"

#include "archive/ab_zip_compress.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

namespace {

bool IsZipKind(TAbArchiveKind kind) { return kind == akZip || kind == akSpannedZip || kind == akSelfExtractingZip; }

bool IsCompressedKind(TAbArchiveKind kind) {
  return kind == akGzip || kind == akGzippedTar || kind == akBzip2 || kind == akBzippedTar;
}

// Kinds a new archive can be made of: a spanned set or a self-extracting stub
// cannot be started from nothing.
bool IsCreatableKind(TAbArchiveKind kind) {
  switch (kind) {
    case akZip:
    case akTar:
    case akGzip:
    case akGzippedTar:
    case akBzip2:
    case akBzippedTar: return true;
    default: return false;
  }
}

}  // namespace

// --- Opening -------------------------------------------------------------------------

void TAbCustomZipper::SetFileName(const AnsiString& value) {
  fileName_ = value;
  if (InState(csDesigning)) return;
  if (archive_) {
    archive_->Save();
    archive_.reset();
  }
  if (!value.empty()) OpenOrCreate(value);
  DoChange();
}

void TAbCustomZipper::OpenOrCreate(const AnsiString& fileName) {
  const bool exists = FileExists(fileName);
  const TAbArchiveKind kind = KindOfFile(fileName);
  if (!exists && !IsCreatableKind(kind)) throw EAbUnhandledType();
  uint16_t mode = fmCreate;
  if (exists) mode = IsZipKind(kind) ? fmOpenRead | fmShareDenyNone : fmOpenReadWrite | fmShareDenyNone;
  std::unique_ptr<TAbArchive> archive = NewArchive(kind, fileName, mode);
  if (!archive) throw EAbUnhandledType();
  try {
    // A gzip or bzip2 archive takes its entry mode (tar inside or one plain
    // entry) when it loads, so a new one loads its empty file too.
    Install(std::move(archive), exists || IsCompressedKind(kind));
  } catch (...) {
    // A file made a moment ago for an archive that never opened is no archive.
    if (!archive_ && !exists) DeleteFile(fileName);
    throw;
  }
  ArchiveKind = kind;
}

void TAbCustomZipper::InitArchive() {
  TAbCustomZipBrowser::InitArchive();
  TAbZipArchive* zip = ZipArchive();
  if (!zip) return;
  zip->SetAutoSave(autoSave_);
  zip->SetCompressionMethodToUse(compressionMethod_);
  zip->SetDeflationOption(deflationOption_);
  zip->SetDOSMode(dosMode_);
  zip->SetStoreOptions(storeOptions_);
  zip->OnRequestBlankDisk = onRequestBlankDisk_;
  zip->OnArchiveSaveProgress = [this](TObject*, uint8_t p, bool& abort) { DoArchiveSaveProgress(p, abort); };
  zip->OnConfirmSave = [this](TObject*, bool& confirm) { DoConfirmSave(confirm); };
  zip->OnSave = [this](TObject*) { DoSave(); };
  zip->InsertHelper = [this](TAbZipArchive* a, TAbZipItem* item, TStream* target) {
    InsertFromFile(a, item, target);
  };
  zip->InsertFromStreamHelper = [this](TAbZipArchive* a, TAbZipItem* item, TStream* target, TStream* source) {
    InsertFromStream(a, item, target, source);
  };
}

// --- Operations ----------------------------------------------------------------------

void TAbCustomZipper::AddFiles(const AnsiString& fileMask, int32_t searchAttr) {
  if (!archive_) throw EAbNoArchive();
  archive_->AddFiles(fileMask, searchAttr);
  DoChange();
}

void TAbCustomZipper::Save() {
  if (!archive_) return;
  archive_->Save();
  DoChange();
}

void TAbCustomZipper::SetZipfileComment(const AnsiString& text) {
  TAbZipArchive* zip = ZipArchive();
  if (!zip) throw EAbNoArchive();
  zip->SetZipfileComment(text);
}

void TAbCustomZipper::InsertFromFile(TAbZipArchive* archive, TAbZipItem* item, TStream* target) {
  CompressItemFromFile(archive, item, target);
}

void TAbCustomZipper::InsertFromStream(TAbZipArchive* archive, TAbZipItem* item, TStream* target,
                                       TStream* source) {
  if (!source) throw EAbZipNoInsertion();
  CompressItemFromStream(archive, item, target, source);
}

// --- Settings ----------------------------------------------------------------------------

void TAbCustomZipper::SetAutoSave(bool value) {
  autoSave_ = value;
  if (archive_) archive_->SetAutoSave(value);
}

void TAbCustomZipper::SetDOSMode(bool value) {
  dosMode_ = value;
  if (archive_) archive_->SetDOSMode(value);
}

void TAbCustomZipper::SetStoreOptions(TAbStoreOptions value) {
  storeOptions_ = value;
  if (archive_) archive_->SetStoreOptions(value);
}

void TAbCustomZipper::SetCompressionMethodToUse(TAbZipSupportedMethod value) {
  compressionMethod_ = value;
  if (TAbZipArchive* zip = ZipArchive()) zip->SetCompressionMethodToUse(value);
}

void TAbCustomZipper::SetDeflationOption(TAbZipDeflationOption value) {
  deflationOption_ = value;
  if (TAbZipArchive* zip = ZipArchive()) zip->SetDeflationOption(value);
}

void TAbCustomZipper::SetOnRequestBlankDisk(const TAbRequestDiskEvent& handler) {
  onRequestBlankDisk_ = handler;
  if (TAbZipArchive* zip = ZipArchive()) zip->OnRequestBlankDisk = handler;
}

// --- Events and meters -----------------------------------------------------------------------

void TAbCustomZipper::ResetMeters() {
  TAbCustomZipBrowser::ResetMeters();
  ResetMeter(saveMeter_);
}

void TAbCustomZipper::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component && saveMeter_.component == component) saveMeter_ = MeterRef();
  TAbCustomZipBrowser::Notification(component, operation);
}

void TAbCustomZipper::DoConfirmSave(bool& confirm) {
  confirm = true;
  if (OnConfirmSave) OnConfirmSave(this, confirm);
}

void TAbCustomZipper::DoSave() {
  if (OnSave) OnSave(this);
}

void TAbCustomZipper::DoArchiveSaveProgress(uint8_t progress, bool& abort) {
  abort = false;
  Report(saveMeter_, progress);
  if (OnArchiveSaveProgress) OnArchiveSaveProgress(this, progress, abort);
}

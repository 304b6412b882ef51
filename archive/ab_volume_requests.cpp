// How a ZIP archive answers its span stream's requests for another volume,
// asks the user for disks, names image files, and opens the last volume, the
// directory's volume and each further volume while loading a spanned set.
#include <dirent.h>

#include <algorithm>

#include <cstdio>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"

namespace {

constexpr int32_t kLastImageSearched = 99;

bool Ask(const AnsiString& text, const AnsiString& caption) { return AbMediaServices().Confirm(text, caption); }

AnsiString WithNumber(const char* pattern, int number) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, number);
  return text;
}

// Name with its extension replaced by one that equals Ext ignoring case and
// exists in the folder; Name + Ext when no such file is there.
AnsiString ExistingWithExtension(const AnsiString& name, const AnsiString& ext) {
  AnsiString wanted = ExtractFileName(ChangeFileExt(name, ext));
  AnsiString folder = ExtractFilePath(name);
  if (DIR* dir = ::opendir(detail::ToOsName(folder.empty() ? "." : folder).c_str())) {
    AnsiString match;
    while (dirent* e = ::readdir(dir)) {
      AnsiString entry = detail::FromOsName(e->d_name);
      if (SameText(entry, wanted)) match = entry;
    }
    ::closedir(dir);
    if (!match.empty()) return folder + match;
  }
  return ChangeFileExt(name, ext);
}

}  // namespace

AnsiString TAbZipArchive::ImageNameFor(const AnsiString& name, int32_t n) {
  AnsiString ext = ExtractFileExt(name);
  char digits[12];
  std::snprintf(digits, sizeof digits, "%02d", static_cast<int>((n + 1) % 100));
  AnsiString prefix = ext.size() > 1 ? AnsiString(".") + LowerCase(ext.substr(1, 1)) : AnsiString(".");
  return ChangeFileExt(name, prefix + digits);
}

void TAbZipArchive::DoRequestLastDisk(bool& abort) {
  abort = false;
  if (OnRequestLastDisk)
    OnRequestLastDisk(this, abort);
  else
    abort = !Ask(AbLastDiskRequestS, AbDiskRequestS);
}

void TAbZipArchive::DoRequestNthDisk(uint8_t diskNumber, bool& abort) {
  abort = false;
  if (OnRequestNthDisk)
    OnRequestNthDisk(this, diskNumber, abort);
  else
    abort = !Ask(WithNumber(AbDiskNumRequestS, diskNumber), AbDiskRequestS);
}

void TAbZipArchive::DoRequestBlankDisk(bool& abort) {
  abort = false;
  spanned_ = true;
  if (OnRequestBlankDisk)
    OnRequestBlankDisk(this, abort);
  else
    abort = !Ask(AbBlankDiskS, AbDiskRequestS);
}

void TAbZipArchive::RequestImageName(bool reading, int32_t imageNumber, AnsiString& imageName, bool& abort) {
  abort = false;
  if (OnRequestImage) {
    OnRequestImage(this, imageNumber, imageName, abort);
  } else if (autoImageNames_) {
    imageName = ImageNameFor(imageName, imageNumber);
    if (reading && !FileExists(imageName)) imageName = ExistingWithExtension(imageName, ".zip");
  } else if (reading) {
    abort = !Ask(WithNumber(AbImageNumRequestS, imageNumber), AbImageRequestS);
  }
}

void TAbZipArchive::DoSpanningMediaRequest(TObject* sender, int32_t imageNumber, AnsiString& imageName,
                                           bool& abort) {
  auto* span = dynamic_cast<TAbSpanStream*>(sender);
  bool writing = span && span->Writing();
  bool removable = span && span->MediaKind() == mkRemovable;
  if (writing && removable) {
    DoRequestBlankDisk(abort);
    SetSpanVolumeLabel(WithNumber("PKBACK# %3.3d", imageNumber - 1), archiveName_);
  } else if (removable) {
    DoRequestNthDisk(static_cast<uint8_t>(imageNumber), abort);
  } else {
    RequestImageName(!writing, imageNumber, imageName, abort);
  }
}

// --- Opening volumes while loading -------------------------------------------------

void TAbZipArchive::ReopenVolume(int32_t number) {
  // Volumes can only be changed on a file the archive opened itself.
  if (!OwnsStream() || !dynamic_cast<TAbSpanStream*>(stream_)) throw EAbZipInvalid();
  OwnStream(nullptr);
  std::unique_ptr<TAbSpanStream> span(NewSpanStream(imageName_, fmOpenRead, VolumeMediaKind()));
  span->SetSpanNumber(std::max(number, 0));
  OwnStream(std::move(span));
}

void TAbZipArchive::OpenReadVolume(int32_t number) {
  imageName_ = archiveName_;
  bool abort = false;
  if (isRemovable_) {
    if (number >= 0) {
      DoRequestNthDisk(static_cast<uint8_t>(number + 1), abort);
      if (abort) throw EAbUserAbort();
      ReopenVolume(number);
      currentVolume_ = static_cast<uint16_t>(number);
    }
    if (currentVolume_ == kAbNoVolume && LocateEndRecord(*stream_) < 0) {
      DoRequestLastDisk(abort);
      if (abort) throw EAbUserAbort();
      ReopenVolume(number);
    }
    return;
  }
  if (OnRequestImage) {
    OnRequestImage(this, number, imageName_, abort);
    if (abort) throw EAbUserAbort();
    ReopenVolume(number);
    return;
  }
  if (number >= 0) {
    imageName_ = ImageNameFor(imageName_, number);
    if (!FileExists(imageName_)) throw EAbFileNotFound();
    ReopenVolume(number);
    return;
  }
  autoImageNames_ = true;
  for (int32_t i = 1; i <= kLastImageSearched; ++i) {
    imageName_ = ImageNameFor(imageName_, i);
    if (!FileExists(imageName_)) throw EAbFileNotFound();
    ReopenVolume(i);
    if (LocateEndRecord(*stream_) >= 0) {
      currentVolume_ = kAbNoVolume;
      return;
    }
  }
  throw EAbFileNotFound();
}

void TAbZipArchive::OpenDirectoryVolume(int32_t number) {
  imageName_ = archiveName_;
  bool abort = false;
  if (isRemovable_) {
    DoRequestNthDisk(static_cast<uint8_t>(number + 1), abort);
  } else if (OnRequestImage) {
    OnRequestImage(this, number, imageName_, abort);
  } else {
    imageName_ = ImageNameFor(imageName_, number);
  }
  if (abort) throw EAbUserAbort();
  ReopenVolume(number);
}

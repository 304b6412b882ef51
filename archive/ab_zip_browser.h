// The zip browser: an archive component that opens existing archives of every
// kind it knows for reading, with the settings only ZIP archives understand
// (password, disk requests). The zipper builds on it to create and fill them.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/ab_base_component.h"
#include "archive/ab_zip_archive.h"

class TAbCustomZipBrowser : public TAbBaseBrowser {
public:
  using TAbBaseBrowser::TAbBaseBrowser;

  // Opens an existing archive for reading. The archive open before is saved
  // (a failure there is ignored) and freed; a missing file leaves none open.
  void SetFileName(const AnsiString& value) override;
  void SetOnRequestImage(const TAbRequestImageEvent& handler) override;

  // The open archive's item; EAbNoArchive when none is open.
  virtual TAbArchiveItem* GetItem(int index) const;
  virtual void SetZipfileComment(const AnsiString&) {}

  // Password and disk requests reach ZIP archives only.
  const AnsiString& Password() const { return password_; }
  void SetPassword(const AnsiString& value);
  const TAbRequestDiskEvent& OnRequestLastDisk() const { return onRequestLastDisk_; }
  void SetOnRequestLastDisk(const TAbRequestDiskEvent& handler);
  const TAbRequestNthDiskEvent& OnRequestNthDisk() const { return onRequestNthDisk_; }
  void SetOnRequestNthDisk(const TAbRequestNthDiskEvent& handler);
  // Handed to gzip and bzip2 archives: list the tar entries inside.
  bool OpenInnerTar = false;

  // A span stream that should hear about image requests too; nothing in the
  // system sets one.
  void SetSpanStream(TAbSpanStream* stream) { spanStream_ = stream; }

protected:
  void InitArchive() override;
  // The open archive when it is a ZIP archive, else null.
  TAbZipArchive* ZipArchive() const { return dynamic_cast<TAbZipArchive*>(archive_.get()); }
  // A new archive object of Kind over FileName opened with Mode; null for a
  // kind that has no archive class (unknown, cabinet).
  std::unique_ptr<TAbArchive> NewArchive(TAbArchiveKind kind, const AnsiString& fileName, uint16_t mode) const;
  // Kind of an existing file: the forced one or the detected one.
  TAbArchiveKind KindOfFile(const AnsiString& fileName) const;

private:
  TAbSpanStream* spanStream_ = nullptr;
  AnsiString password_;
  TAbRequestDiskEvent onRequestLastDisk_;
  TAbRequestNthDiskEvent onRequestNthDisk_;
};

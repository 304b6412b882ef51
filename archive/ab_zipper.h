// The zipper: the archive component that creates archives, adds files and
// saves. Naming a file opens it when it exists and otherwise creates a new
// archive of the kind its extension gives; with AutoSave every confirmed
// change is written at once. TAbZipper is the component a form places.
#pragma once

#include <cstdint>

#include "archive/ab_zip_browser.h"

class TAbCustomZipper : public TAbCustomZipBrowser {
public:
  using TAbCustomZipBrowser::TAbCustomZipBrowser;

  // Saves and frees the open archive (a failed save propagates and keeps it
  // open), then opens Value, or creates it empty when it does not exist and
  // its kind can be created (ZIP, tar, gzip, bzip2); EAbUnhandledType for any
  // other kind, before anything is created.
  void SetFileName(const AnsiString& value) override;
  // EAbNoArchive unless a ZIP archive is open.
  void SetZipfileComment(const AnsiString& text) override;

  // EAbNoArchive when no archive is open.
  void AddFiles(const AnsiString& fileMask, int32_t searchAttr);
  // Writes the open archive when something is pending (or it has no items).
  void Save();

  bool AutoSave() const { return autoSave_; }
  void SetAutoSave(bool value);
  bool DOSMode() const { return dosMode_; }
  void SetDOSMode(bool value);
  TAbStoreOptions StoreOptions() const { return storeOptions_; }
  void SetStoreOptions(TAbStoreOptions value);
  TAbZipSupportedMethod CompressionMethodToUse() const { return compressionMethod_; }
  void SetCompressionMethodToUse(TAbZipSupportedMethod value);
  TAbZipDeflationOption DeflationOption() const { return deflationOption_; }
  void SetDeflationOption(TAbZipDeflationOption value);
  IAbProgressMeter* ArchiveSaveProgressMeter() const { return saveMeter_.meter; }
  void SetArchiveSaveProgressMeter(IAbProgressMeter* value) { SetMeter(saveMeter_, value); }
  const TAbRequestDiskEvent& OnRequestBlankDisk() const { return onRequestBlankDisk_; }
  void SetOnRequestBlankDisk(const TAbRequestDiskEvent& handler);

  TAbArchiveConfirmEvent OnConfirmSave;
  TAbArchiveEvent OnSave;
  TAbArchiveProgressEvent OnArchiveSaveProgress;

protected:
  void ResetMeters() override;
  void InitArchive() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoConfirmSave(bool& confirm);
  virtual void DoSave();
  void DoArchiveSaveProgress(uint8_t progress, bool& abort);
  // The ZIP archive's insert routines.
  void InsertFromFile(TAbZipArchive* archive, TAbZipItem* item, TStream* target);
  void InsertFromStream(TAbZipArchive* archive, TAbZipItem* item, TStream* target, TStream* source);

private:
  void OpenOrCreate(const AnsiString& fileName);

  bool autoSave_ = false;
  bool dosMode_ = false;
  TAbStoreOptions storeOptions_{soStripDrive, soRemoveDots};
  TAbZipSupportedMethod compressionMethod_ = smBestMethod;
  TAbZipDeflationOption deflationOption_ = doNormal;
  MeterRef saveMeter_;
  TAbRequestDiskEvent onRequestBlankDisk_;
};

class TAbZipper : public TAbCustomZipper {
public:
  using TAbCustomZipper::TAbCustomZipper;
};

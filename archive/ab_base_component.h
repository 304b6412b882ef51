// The archive components' common ground. TAbBaseBrowser owns one open archive
// on behalf of a form: it keeps the settings a program sets before any archive
// exists, copies them into each archive it opens, and turns the archive's
// callbacks into its own events (with itself as sender) and meter updates.
// The zip browser and the zipper derive from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "archive/ab_archive.h"
#include "archive/ab_zip_records.h"
#include "platform/rtl/components.h"

// What the archive components report progress to (0-100). Meters are
// components: their owner keeps them alive, and a meter that is freed is
// dropped from every property that referred to it.
class IAbProgressMeter {
public:
  virtual void DoProgress(uint8_t progress) = 0;
  virtual void Reset() = 0;

protected:
  virtual ~IAbProgressMeter() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TAbBaseComponent : public TComponent {
public:
  using TComponent::TComponent;

  static constexpr const char* kVersion = "4.0";
  AnsiString Version() const { return kVersion; }
  void SetVersion(const AnsiString&) {}
};

class TAbBaseBrowser : public TAbBaseComponent {
public:
  explicit TAbBaseBrowser(TComponent* owner);
  ~TAbBaseBrowser() override;

  // --- Settings, copied into each archive that is opened ---
  TAbArchive* Archive() const { return archive_.get(); }
  int32_t SpanningThreshold() const { return spanningThreshold_; }
  void SetSpanningThreshold(int32_t value);
  IAbProgressMeter* ItemProgressMeter() const { return itemMeter_.meter; }
  void SetItemProgressMeter(IAbProgressMeter* value) { SetMeter(itemMeter_, value); }
  IAbProgressMeter* ArchiveProgressMeter() const { return archiveMeter_.meter; }
  void SetArchiveProgressMeter(IAbProgressMeter* value) { SetMeter(archiveMeter_, value); }
  const AnsiString& BaseDirectory() const { return baseDirectory_; }
  // With an open archive the archive checks the folder first
  // (EAbNoSuchDirectory leaves both unchanged) and its normalised value is kept.
  void SetBaseDirectory(const AnsiString& value);
  const AnsiString& FileName() const { return fileName_; }
  // Saves and frees the open archive, then opens Value (an empty name only closes).
  virtual void SetFileName(const AnsiString& value) = 0;
  const AnsiString& LogFile() const { return logFile_; }
  // Naming a log file switches logging on, clearing it switches it off.
  void SetLogFile(const AnsiString& value);
  bool Logging() const { return logging_; }
  void SetLogging(bool value);
  const TAbRequestImageEvent& OnRequestImage() const { return onRequestImage_; }
  virtual void SetOnRequestImage(const TAbRequestImageEvent& handler);
  const AnsiString& TempDirectory() const { return tempDirectory_; }
  void SetTempDirectory(const AnsiString& value);

  // The kind of the last archive opened or created, or the kind to use when ForceKind.
  TAbArchiveKind ArchiveKind = akUnknown;
  bool ForceKind = false;

  // The open archive's status; arInvalid without one.
  TAbArchiveStatus Status() const;

  void OpenArchive(const AnsiString& fileName) { SetFileName(fileName); }
  // Saves and frees the open archive; nothing when FileName is empty.
  void CloseArchive();

  TAbArchiveProgressEvent OnArchiveProgress;
  TAbArchiveItemProgressEvent OnArchiveItemProgress;
  TNotifyEvent OnChange;
  TAbArchiveItemConfirmEvent OnConfirmProcessItem;
  TAbArchiveEvent OnLoad;
  TAbArchiveItemFailureEvent OnProcessItemFailure;

protected:
  // A meter property: the interface and the component behind it, whose
  // removal notification clears the property.
  struct MeterRef {
    IAbProgressMeter* meter = nullptr;
    TComponent* component = nullptr;
  };
  void SetMeter(MeterRef& ref, IAbProgressMeter* value);
  static void Report(const MeterRef& ref, uint8_t progress);
  static void ResetMeter(const MeterRef& ref);

  virtual void ResetMeters();
  virtual void DoArchiveItemProgress(TAbArchiveItem* item, uint8_t progress, bool& abort);
  virtual void DoArchiveProgress(uint8_t progress, bool& abort);
  virtual void DoChange();
  virtual void DoConfirmProcessItem(TAbArchiveItem* item, TAbProcessType processType, bool& confirm);
  virtual void DoLoad();
  virtual void DoProcessItemFailure(TAbArchiveItem* item, TAbProcessType processType, TAbErrorClass errorClass,
                                    int32_t errorCode);
  // Copies the settings into a newly made archive and binds its callbacks.
  virtual void InitArchive();

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // Makes Archive the open one, set up by InitArchive, and loads it when asked.
  // A failed setup frees it again; a failed load leaves it open (marked
  // invalid by its format) and passes the failure on.
  void Install(std::unique_ptr<TAbArchive> archive, bool load);

  std::unique_ptr<TAbArchive> archive_;
  AnsiString fileName_;

private:
  int32_t spanningThreshold_ = 0;
  MeterRef itemMeter_;
  MeterRef archiveMeter_;
  AnsiString baseDirectory_;
  AnsiString logFile_;
  bool logging_ = false;
  TAbRequestImageEvent onRequestImage_;
  AnsiString tempDirectory_;
};

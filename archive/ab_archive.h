// The format-independent archive: an owned list of items, each with a pending
// action, the rules that turn a disk file's name into a stored name, and the
// callbacks through which callers confirm, follow and hear about each step.
// Nothing reaches the archive file until Save hands the whole list to the
// format's SaveArchive; the ZIP, tar, gzip and bzip2 classes derive from here.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include "archive/ab_exceptions.h"
#include "archive/ab_item.h"
#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

class TStream;
class TFileStream;

enum TAbStoreOption : uint8_t {
  soStripDrive = 0,
  soStripPath = 1,
  soRemoveDots = 2,
  soRecurse = 3,
  soFreshen = 4,
  soReplace = 5
};

// A set of store options (bit = 1 shl option).
class TAbStoreOptions {
public:
  TAbStoreOptions() = default;
  TAbStoreOptions(std::initializer_list<TAbStoreOption> options) {
    for (TAbStoreOption o : options) Include(o);
  }
  bool Contains(TAbStoreOption o) const { return bits_ & (1u << o); }
  void Include(TAbStoreOption o) { bits_ |= static_cast<uint8_t>(1u << o); }
  void Exclude(TAbStoreOption o) { bits_ &= static_cast<uint8_t>(~(1u << o)); }
  uint8_t Bits() const { return bits_; }
  bool operator==(const TAbStoreOptions&) const = default;

private:
  uint8_t bits_ = 0;
};

enum TAbArchiveStatus : uint8_t { arInvalid = 0, arIdle = 1, arBusy = 2 };

enum TAbProcessType : uint8_t {
  ptAdd = 0,
  ptDelete = 1,
  ptExtract = 2,
  ptFreshen = 3,
  ptMove = 4,
  ptReplace = 5,
  ptUnhandledEntity = 6
};

// Kinds of log lines; the process types map to the kind of the same number,
// ptUnhandledEntity to lkUnhandledEntity.
enum TAbLogKind : uint8_t {
  lkAdded = 0,
  lkDeleted = 1,
  lkExtracted = 2,
  lkFreshened = 3,
  lkMoved = 4,
  lkReplaced = 5,
  lkLogging = 6,
  lkUnhandledEntity = 7
};

class TAbArchive;

using TAbArchiveEvent = std::function<void(TObject* sender)>;
using TAbArchiveConfirmEvent = std::function<void(TObject* sender, bool& confirm)>;
using TAbArchiveProgressEvent = std::function<void(TObject* sender, uint8_t progress, bool& abort)>;
using TAbArchiveItemProgressEvent =
    std::function<void(TObject* sender, TAbArchiveItem* item, uint8_t progress, bool& abort)>;
using TAbArchiveItemConfirmEvent =
    std::function<void(TObject* sender, TAbArchiveItem* item, TAbProcessType processType, bool& confirm)>;
using TAbArchiveItemFailureEvent =
    std::function<void(TObject* sender, TAbArchiveItem* item, TAbProcessType processType,
                       TAbErrorClass errorClass, int32_t errorCode)>;
using TAbConfirmOverwriteEvent = std::function<void(AnsiString& name, bool& confirm)>;
using TAbProgressEvent = std::function<void(uint8_t progress, bool& abort)>;
using TAbRequestImageEvent =
    std::function<void(TObject* sender, int32_t imageNumber, AnsiString& imageName, bool& abort)>;

class TAbArchive : public TObject {
public:
  ~TAbArchive() override;
  TAbArchive(const TAbArchive&) = delete;
  TAbArchive& operator=(const TAbArchive&) = delete;

  // --- Operations the formats supply ---
  // Builds an item for a disk file; the stored name comes from FixName and the
  // disk file name from DiskNameOf.
  virtual TAbArchiveItem* CreateItem(const AnsiString& fileName) = 0;
  virtual void ExtractItemAt(int index, const AnsiString& newName) = 0;
  virtual void ExtractItemToStreamAt(int index, TStream* stream) = 0;
  virtual void LoadArchive() = 0;
  virtual void SaveArchive() = 0;
  virtual void TestItemAt(int index) = 0;

  // --- Notifications; each calls its event when one is set ---
  virtual void DoProcessItemFailure(TAbArchiveItem* item, TAbProcessType processType,
                                    TAbErrorClass errorClass, int32_t errorCode);
  virtual void DoArchiveSaveProgress(uint8_t progress, bool& abort);
  virtual void DoArchiveProgress(uint8_t progress, bool& abort);
  virtual void DoArchiveItemProgress(TAbArchiveItem* item, uint8_t progress, bool& abort);
  virtual void DoConfirmOverwrite(AnsiString& name, bool& confirm);
  // Confirmed items are logged when logging is on.
  virtual void DoConfirmProcessItem(TAbArchiveItem* item, TAbProcessType processType, bool& confirm);
  virtual void DoConfirmSave(bool& confirm);
  virtual void DoLoad();
  virtual void DoProgress(uint8_t progress, bool& abort);
  virtual void DoSave();
  // The stored name of a disk file under the store options.
  virtual AnsiString FixName(const AnsiString& name);
  virtual int64_t GetSpanningThreshold() const { return spanningThreshold_; }
  virtual bool GetSupportsEmptyFolders() const { return false; }
  virtual void SetSpanningThreshold(int64_t value) { spanningThreshold_ = value; }
  // Formats with spanning answer another volume; the others refuse.
  virtual void DoSpanningMediaRequest(TObject* sender, int32_t imageNumber, AnsiString& imageName,
                                      bool& abort);

  // Progress callbacks of the compression engine; an abort raises EAbAbortProgress.
  void DoInflateProgress(int32_t progress);
  void DoDeflateProgress(int32_t progress);

  // --- The archive ---
  // The item belongs to the archive from this call on, kept or freed.
  void Add(TAbArchiveItem* item);
  void AddFiles(const AnsiString& fileMask, int32_t searchAttr);
  void AddFilesEx(const AnsiString& fileMask, const AnsiString& exclusionMask, int32_t searchAttr);
  void CheckValid() const;
  int FindItem(const TAbArchiveItem* item) const;
  void Freshen(TAbArchiveItem* item);
  void Freshen(int index);
  void Replace(TAbArchiveItem* item);
  void Replace(int index);
  void Move(TAbArchiveItem* item, const AnsiString& newName);
  void Load();
  void Save();
  int Count() const { return itemList_.Count(); }
  TAbArchiveItem* Items(int index) const { return itemList_.Items(index); }
  TAbArchiveList& ItemList() { return itemList_; }

  // --- Settings ---
  TStream* Stream() const { return stream_; }
  TAbArchiveStatus Status() const { return status_; }
  const AnsiString& ArchiveName() const { return archiveName_; }
  bool AutoSave() const { return autoSave_; }
  void SetAutoSave(bool value) { autoSave_ = value; }
  // The program's folder until one is set: read when first asked for, so an
  // archive object costs no look-up of the program path.
  const AnsiString& BaseDirectory() const;
  // A final "/" is dropped (the root keeps it); EAbNoSuchDirectory for a
  // folder that does not exist, keeping the old value.
  void SetBaseDirectory(const AnsiString& value);
  TAbArchiveItem* CurrentItem() const { return currentItem_; }
  bool DOSMode() const { return dosMode_; }
  void SetDOSMode(bool value) { dosMode_ = value; }
  TStream* InStream() const { return inStream_; }
  void SetInStream(TStream* value) { inStream_ = value; }
  bool IsDirty() const { return isDirty_; }
  void SetIsDirty(bool value) { isDirty_ = value; }
  const AnsiString& LogFile() const { return logFile_; }
  void SetLogFile(const AnsiString& value) { logFile_ = value; }
  bool Logging() const { return logging_; }
  // Switching on empties the log file and writes the archive's name with
  // " logging "; "Error creating Log File" when that fails.
  void SetLogging(bool value);
  void WriteLogLine(const AnsiString& name, TAbLogKind kind);
  uint16_t Mode() const { return mode_; }
  bool Spanned() const { return spanned_; }
  TAbStoreOptions StoreOptions() const { return storeOptions_; }
  void SetStoreOptions(TAbStoreOptions value) { storeOptions_ = value; }
  const AnsiString& TempDirectory() const { return tempDirectory_; }
  void SetTempDirectory(const AnsiString& value) { tempDirectory_ = value; }
  // Where a save keeps its scratch data: TempDirectory when it is a folder,
  // else the system's temp folder.
  AnsiString ScratchFolder() const;

  TAbArchiveItemFailureEvent OnProcessItemFailure;
  TAbArchiveProgressEvent OnArchiveProgress;
  TAbArchiveProgressEvent OnArchiveSaveProgress;
  TAbArchiveItemProgressEvent OnArchiveItemProgress;
  TAbArchiveItemConfirmEvent OnConfirmProcessItem;
  TAbConfirmOverwriteEvent OnConfirmOverwrite;
  TAbArchiveConfirmEvent OnConfirmSave;
  TAbArchiveEvent OnLoad;
  TAbProgressEvent OnProgress;
  TAbRequestImageEvent OnRequestImage;
  TAbArchiveEvent OnSave;

protected:
  // Over a stream the caller keeps owning.
  TAbArchive(TStream* stream, const AnsiString& archiveName);
  // Over the file FileName opened with Mode (fmCreate creates or empties it).
  TAbArchive(const AnsiString& fileName, uint16_t mode);

  // Full path of a disk file: a relative name lies in the base folder.
  AnsiString DiskNameOf(const AnsiString& fileName) const;
  void SaveIfNeeded(TAbArchiveItem* item);
  void ResolveDiskFileName(TAbArchiveItem* item);
  bool DiskFileChanged(TAbArchiveItem* item);

  bool OwnsStream() const { return ownedStream_ != nullptr; }
  // Makes `stream` the archive's own stream in use, freeing the one it had;
  // nullptr leaves none.
  void OwnStream(std::unique_ptr<TStream> stream);
  // Puts all of work in place of the archive's contents: a file the archive
  // opened itself through ReplaceByRename, a memory or lent stream in place.
  void ReplaceArchiveStream(TStream& work);
  // Writes work beside the archive file, renames it over the old name and
  // reopens the archive on it; until the rename the old file is untouched.
  void ReplaceByRename(TStream& work);

  // The stream in use: ownedStream_ when the archive opened it itself, else
  // one the caller lent.
  TStream* stream_ = nullptr;
  TAbArchiveStatus status_ = arIdle;
  AnsiString archiveName_;
  bool autoSave_ = false;
  mutable std::optional<AnsiString> baseDirectory_;
  TAbArchiveItem* currentItem_ = nullptr;
  bool dosMode_ = false;
  TStream* inStream_ = nullptr;
  bool isDirty_ = false;
  int64_t spanningThreshold_ = 0;
  TAbArchiveList itemList_{true};
  AnsiString logFile_;
  bool logging_ = false;
  std::unique_ptr<TFileStream> logStream_;
  uint16_t mode_ = 0;
  bool spanned_ = false;
  TAbStoreOptions storeOptions_;
  AnsiString tempDirectory_;

private:
  std::unique_ptr<TStream> ownedStream_;

  void Init(TStream* stream, const AnsiString& archiveName);
  void MatchFiles(const AnsiString& fileMask, const AnsiString& exclusionMask, int32_t searchAttr);
  bool IsArchiveFile(const AnsiString& name) const;
  bool IsTakenByOther(const AnsiString& name, const TAbArchiveItem* item) const;
  // The index of the member the item stands for (-1 when none), which takes
  // over the item's disk file name when that has a full path.
  int IndexTakingFoundFile(TAbArchiveItem* item);
  void ConfirmAction(TAbArchiveItem* item, TAbProcessType processType, TAbItemAction action);
};

// Base of the stream walkers of the tar and gzip formats.
class TAbArchiveStreamHelper {
public:
  // Raises an Exception "nil stream" without a stream.
  explicit TAbArchiveStreamHelper(TStream* stream);
  virtual ~TAbArchiveStreamHelper() = default;

  virtual void CopyItemData(TStream* target) = 0;
  virtual bool SeekFirstItem() = 0;
  virtual bool SeekNextItem() = 0;
  virtual void ReadHeader() = 0;
  virtual void ReadTail() = 0;
  virtual bool SeekItem(int index) = 0;
  virtual void WriteHeader() = 0;
  virtual void WriteItem(TStream* source) = 0;
  virtual void WriteTail() = 0;
  virtual int32_t CountItems() = 0;

protected:
  TStream* stream_;
};

// The log words, by kind.
const char* AbLogWord(TAbLogKind kind);

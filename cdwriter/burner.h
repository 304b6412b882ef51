// TZIDIzizid: the burner component an application places on a window. On top
// of the drive device it holds the tree of files and folders to write, the
// volume identification, the write options and the events, and lays the tree
// out as an ISO 9660 image with Joliet names and an optional El Torito boot
// record: the sectors before the first file go into ImageHeader.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cdwriter/iso_entries.h"
#include "cdwriter/scsi_device.h"
#include "platform/rtl/streams.h"

using TNotifyEvent = std::function<void(TObject* sender)>;
using TAddFileEvent = std::function<void(TObject* sender, const AnsiString& full_path, AnsiString& long_file_name,
                                         AnsiString& short_file_name, TDateTime& date_time, int attr,
                                         int64_t file_size, bool& skip)>;
using TAddDirEvent =
    std::function<void(TObject* sender, AnsiString& long_name, AnsiString& short_name, bool& skip)>;
using TWriteDoneEvent = std::function<void(TObject* sender, const AnsiString& error)>;

constexpr int kMaxTreeFiles = 65535;
constexpr int kMaxTreeDirs = 8191;  // the root included
constexpr int kDefaultCacheBytes = 4194304;
constexpr int kMinCacheBytes = 2097152;
constexpr int64_t kImageHeaderBytes = 67108864;  // what the header may need at most
constexpr size_t kVolumeStartBytes = 65536;

// An entry as a folder search or a session import finds it.
struct TTreeRecord {
  AnsiString Name;
  WideString WideName;  // the name as given when Name cannot hold it (see SplitName)
  AnsiString AltName;  // 8.3 name; "" when there is none
  TDateTime Time = 0;
  int Attr = 0;
  int64_t Size = 0;
};

// What keeps a volume ID from reaching the descriptors as given: characters
// outside A-Z, 0-9 and "_" (written, but not every reader shows them), and a
// cut at 32 characters (ISO 9660) or 16 (Joliet). Empty when there is nothing.
constexpr size_t kIsoVolumeIdChars = 32, kJolietVolumeIdChars = 16;
std::vector<AnsiString> VolumeIdProblems(const AnsiString& id, bool joliet);

// The 8.3-style name a folder search would give: the first 13 characters in
// upper case, every character outside 21h-7Ah turned into "_".
AnsiString MakeAltName(const AnsiString& name);

// Where the last layout put everything; sector numbers are absolute disc
// addresses, sizes of path tables and directory areas are in bytes.
struct TImageLayout {
  uint32_t NextWritableAddress = 0;
  uint32_t PrimaryDescriptor = 0, BootRecord = 0, JolietDescriptor = 0, Terminator = 0;
  uint32_t IsoPathTableL = 0, IsoPathTableM = 0, JolietPathTableL = 0, JolietPathTableM = 0;
  uint32_t IsoPathTableSize = 0, JolietPathTableSize = 0;
  uint32_t IsoDirStart = 0, JolietDirStart = 0;
  uint32_t IsoDirBytes = 0, JolietDirBytes = 0;
  uint32_t BootCatalog = 0, BootImageSector = 0, BootImageSectors = 0;
  int64_t BootImageBytes = 0;
  uint8_t BootMediaType = 0;   // 0 no emulation, 1-3 floppy, 4 hard disk
  uint16_t BootLoadSectors = 0;  // 512-byte sectors the BIOS loads
  // Sectors before the volume that a session-at-once write sends as the
  // track's pre-gap; counted in VolumeSpaceSize, not in the descriptors.
  int64_t LeadSectors = 0;
  uint32_t DirAreaEnd = 0;
  int64_t PaddingSectors = 0;
  uint32_t FirstFileLocation = 0;
  int64_t FileSectors = 0;
  int64_t VolumeSpaceSize = 0;
  int64_t TrackSize = 0;
};

class TCacheThread;
class TThWrite;

class TZIDIzizid : public TSCSIDevice {
public:
  explicit TZIDIzizid(TComponent* owner);
  // Aborts a running burn and joins both threads before the tree goes.
  ~TZIDIzizid() override;

  // --- stored properties
  bool ReplaceFile() const { return replace_file_; }
  void SetReplaceFile(bool value) { replace_file_ = value; }
  bool FinalizeTrack() const { return finalize_track_; }
  void SetFinalizeTrack(bool value) { finalize_track_ = value; }
  bool PerformOPC() const { return perform_opc_; }
  void SetPerformOPC(bool value) { perform_opc_ = value; }
  bool WritePostGap() const { return write_post_gap_; }
  void SetWritePostGap(bool value) { write_post_gap_ = value; }
  int CacheSize() const { return cache_size_; }
  // Below 2 MiB stores 2 MiB, else the value rounded down to whole sectors.
  void SetCacheSize(int value);
  bool JolietFileSystem() const { return joliet_file_system_; }
  void SetJolietFileSystem(bool value) { joliet_file_system_ = value; }
  const AnsiString& Version() const { return version_; }
  void SetVersion(const AnsiString&) {}

  AnsiString IdVolume, IdSystem, IdVolumeSet, IdPublisher, IdPreparer, IdApplication;
  AnsiString FileCopyright, FileAbstract, FileBibliographic;
  TDateTime DateCreation = 0, DateModification = 0, DateEffective = 0, DateExpiration = 0;
  AnsiString ISOFileName;  // kept for the application, not used here
  TAddFileEvent OnAddFile;
  TAddDirEvent OnAddDir;  // kept for the application, never raised here
  TWriteDoneEvent OnWriteDone;
  TNotifyEvent OnFinalizingTrack;

  // --- public fields
  bool Bootable = false;
  AnsiString BootImage;
  uint16_t ImportSession = 0;
  // Set by the write process: ask the drive where to start, and write the
  // session at once with 150 lead sectors before the volume.
  bool CheckNextWritable = false;
  bool UseSessionAtOnce = false;

  // --- burning (write_process.cpp)
  // True when the writer was started; OnWriteDone then comes through the
  // message loop, so the caller keeps pumping. False when a burn is running
  // (nothing happens) or the cache failed first (OnWriteDone has been called).
  bool WriteDisc();
  // The running writer stops at its next check with "OPERATION ABORTED BY USER".
  void AbortWrite() { abort_requested_ = true; }
  bool AbortRequested() const { return abort_requested_; }
  bool Writing() const { return writing_; }
  // From WriteDisc until the threads have let go of the tree (just before
  // OnWriteDone); the tree cannot change meanwhile.
  bool Burning() const { return burning_; }
  int GetCacheFillPercent() const;
  // TrackSize, raised to the shortest track when a post-gap is written.
  int64_t TrackLength() const;
  int64_t BytesWritten() const { return bytes_written_; }
  AnsiString LastWriteError();
  AnsiString CurrentWriteFile();

  // --- file tree (file_tree.cpp)
  bool ClearTree(int file_capacity = kMaxTreeFiles, int dir_capacity = kMaxTreeDirs);
  // Names and paths come in Windows-1250 (AnsiString) or as given in UTF-16
  // (WideString): a name the code page cannot hold reaches the Joliet tree
  // unchanged and the ISO 9660 tree with "_" for what the code page lacks.
  //
  // 1 the file is in the tree; 0 no such destination, 255 no such regular
  // file, 2 the tree refused it (name taken, too long or skipped, file too
  // large, tree full; the debug message names it). stored_name, when given,
  // is the name the file gets in the image.
  uint8_t InsertFile(const AnsiString& dest_path, const AnsiString& file_name, bool keep_source_path);
  uint8_t InsertFile(const WideString& dest_path, const WideString& file_name, bool keep_source_path,
                     const WideString& stored_name = {});
  // The folder of exactly that path, else the first one whose path matches
  // without regard to letter case.
  TDEntry* FindDirectory(const AnsiString& path) const;
  TDEntry* FindDirectory(const WideString& path) const;
  // Folders of exactly these names: "Data" and "data" are two folders.
  TDEntry* ForceDirectory(const AnsiString& path);
  TDEntry* ForceDirectory(const WideString& path);
  TDEntry* AddDirectory(TDEntry* parent, const AnsiString& name, int attr);
  TDEntry* AddDirectory(TDEntry* parent, const WideString& name, int attr);
  TDEntry* AddDirEntry(TDEntry* parent, const TTreeRecord& record);
  // 1 when the entry was added or replaced, 0 when it was refused.
  int AddFileEntry(TDEntry* dir, const TTreeRecord& record, uint8_t add_kind, uint32_t imported_extent,
                   const AnsiString& source_path);
  int AddFileEntry(TDEntry* dir, const TTreeRecord& record, uint8_t add_kind, uint32_t imported_extent,
                   const WideString& source_path);

  TDEntry* Root() const { return dirs_.empty() ? nullptr : dirs_[0].get(); }
  int DirCount() const { return static_cast<int>(dirs_.size()); }
  TDEntry* Dir(int index) const { return dirs_.at(index).get(); }
  int FileCount() const { return static_cast<int>(files_.size()); }
  TFEntry* File(int index) const { return files_.at(index).get(); }
  const std::vector<TDEntry*>& IsoOrder() const { return iso_order_; }
  const std::vector<TDEntry*>& JolietOrder() const { return joliet_order_; }
  int64_t TotalDataSize() const { return total_data_size_; }
  bool LayoutValid() const { return layout_valid_; }

  // --- image layout (image_layout.cpp) and header (image_header.cpp)
  // 0 and nothing changed while a burn runs.
  int PrepareImage(bool skip_disc_check, TDEntry* root) {
    return burning_ ? 0 : LayoutImage(skip_disc_check, root);
  }
  int LayoutImage(bool skip_disc_check, TDEntry* root);
  bool BuildHeader();
  bool GetNextWritableAddress();
  int FindIsoVolumeEnd();

  // --- session import (session_import.cpp)
  bool ImportSessionTree(uint8_t session, TDEntry* root);
  bool ImportJolietDir(uint32_t extent, uint32_t size, TDEntry* dir);
  bool ImportIsoDir(uint32_t extent, uint32_t size, TDEntry* dir);
  const TImageLayout& Layout() const { return layout_; }
  TMemoryStream* ImageHeader() const { return image_header_.get(); }
  // The first sectors of the volume as the header began, for rewriting them
  // on overwritable media; the rest of the buffer is FFh.
  const std::vector<uint8_t>& VolumeStart() const { return volume_start_; }
  size_t VolumeStartLength() const { return volume_start_length_; }

private:
  friend class TThWrite;
  struct WriteRun;
  void FormatDvdRw();
  void RunWriter(TThWrite& thread);
  bool SetUpDrive(WriteRun& run);
  bool WriteData(WriteRun& run);
  bool WriteVolumeStart(WriteRun& run, uint32_t bytes);
  bool CloseSession(WriteRun& run);
  bool CloseBy(uint16_t disc_type, uint8_t track);
  void ResetDrive();
  void EndWrite(TThWrite& thread);
  int NextChunk(uint8_t* buffer);
  bool Fail(const AnsiString& text);
  // text + " [" + the drive's error text + "]".
  bool FailWithDriveText(const char* text);
  bool DriveBusy() const;
  bool WaitWhileNotReady(uint32_t pause_ms);
  void JoinThreads();
  bool ImportDir(uint32_t extent, uint32_t size, TDEntry* dir, bool joliet, std::vector<uint32_t>& ancestors);
  bool ImportEntry(const TTreeRecord& entry, uint32_t extent, TDEntry* dir, bool joliet,
                   std::vector<uint32_t>& ancestors);

  // What a folder's list holds, so an insert never walks the list: entries by
  // Joliet name, the ISO 9660 names taken and the last entry.
  struct FolderIndex {
    std::unordered_map<WideString, TFEntry*> by_name;
    std::unordered_set<AnsiString> short_names;
    TFEntry* last = nullptr;
  };
  TFEntry* NewFileEntry();
  TDEntry* NewDirEntry();
  void DropLastDir();
  TFEntry* FindFileEntry(const TDEntry* dir, const WideString& joliet_name) const;
  // Appends an entry whose names are set; its ISO 9660 name is made unique first.
  void AppendEntry(TDEntry* dir, TFEntry* entry);
  AnsiString UniqueShortName(const TDEntry* dir, const AnsiString& wanted, bool file) const;
  TDEntry* FindExactDirectory(const WideString& path) const;
  AnsiString BuildPath(TDEntry* dir) const;
  // Names a file whose names cannot be stored as given: too long for a
  // record, or with a character outside UCS-2.
  bool RefuseName(const WideString& joliet_name, const AnsiString& long_name, const AnsiString& short_name);

  void OrderDirectories();
  void PlaceDescriptorsAndTables(uint32_t& position);
  void PlaceDirectories(uint32_t& position);
  void PlaceBootAndPadding(uint32_t& position);
  void SetBootEmulation(const uint8_t* first_sector);
  void AssignFileLocations();

  void WriteDescriptor(bool joliet, TDateTime now);
  void WriteBootRecord();
  void WriteTerminator();
  void WritePathTable(bool joliet, bool big_endian);
  void WriteDirectories(bool joliet);
  void PutEntryRecord(uint8_t* record, const TFEntry* entry, bool joliet) const;
  void WriteBootCatalog();

  bool replace_file_ = false;
  bool finalize_track_ = true;
  bool perform_opc_ = false;
  bool write_post_gap_ = true;
  int cache_size_ = kDefaultCacheBytes;
  bool joliet_file_system_ = true;
  AnsiString version_ = "1.22";

  std::vector<std::unique_ptr<TDEntry>> dirs_;  // creation order; owns the records
  std::vector<TDEntry*> iso_order_, joliet_order_;
  std::vector<std::unique_ptr<TFEntry>> files_;
  std::unordered_map<const TDEntry*, FolderIndex> folders_;
  std::unordered_map<WideString, TDEntry*> dir_by_path_;        // paths of the names as given
  std::unordered_map<WideString, TDEntry*> dir_by_upper_path_;  // the first folder of each upper-case path
  int file_capacity_ = 0, dir_capacity_ = 0;
  int64_t total_data_size_ = 0;
  bool layout_valid_ = false;

  TImageLayout layout_;
  std::unique_ptr<TMemoryStream> image_header_;
  std::vector<uint8_t> volume_start_;
  size_t volume_start_length_ = 0;

  std::unique_ptr<TCacheThread> cache_;
  std::unique_ptr<TThWrite> writer_;
  std::atomic<bool> burning_{false};
  std::atomic<bool> writing_{false};
  std::atomic<bool> abort_requested_{false};
  std::atomic<bool> destroying_{false};
  bool in_write_done_ = false;  // on the message loop's thread only
  std::atomic<int64_t> bytes_written_{0};
  // Under the device lock.
  AnsiString last_write_error_;
  AnsiString current_write_file_;
};

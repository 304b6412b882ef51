// TBackupRun: the backup itself, started by the "zálohovat" button or by the
// scheduler: the folder check, pruning of old dated backups, the table dumps,
// the protocol, the ZIP archives, the operator's batch transfer and the end of
// the run in each mode; and the backup of every database of the server.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <map>
#include <set>
#include <vector>

#include "app/run/dump_command.h"
#include "archive/ab_zipper.h"
#include "platform/rtl/lists.h"

class IBackupView;
class TFolderLock;
class TBackupEngine;
class TZQuery;

// The entries of a folder that fit the filter (plain files and folders, as
// the window's finder is set up), as full paths.
std::vector<AnsiString> FindEntries(const AnsiString& folder, const AnsiString& filter);

class TBackupRun {
public:
  TBackupRun(TBackupEngine& engine, IBackupView& view);
  ~TBackupRun();

  // The window's handlers: the "zálohovat" button and the scheduler's
  // all-databases start.
  void suiButton2Click() { BackUpTickedTables(); }
  void vsechno() { BackUpAllDatabases(); }

  // The run of the ticked tables. A start while a run is pumping messages is
  // ignored.
  void BackUpTickedTables();
  // Every database of the server, each into its own folder of today's date
  // folder; then the program is asked to end.
  void BackUpAllDatabases();

  // Tables, dumps, archives and batch commands that failed in the last run,
  // and a run that could not start or was stopped.
  int FailureCount() const { return failures_; }

private:
  class TItemMeter;
  // Marks a run as going on for its scope, so a start from inside it is refused.
  class TRunScope {
  public:
    explicit TRunScope(std::atomic<bool>& running) : running_(running) { running_ = true; }
    ~TRunScope() { running_ = false; }

  private:
    std::atomic<bool>& running_;
  };

  // Checks, pruning and dumps.
  bool FoldersChosen();
  bool LockFolders(TFolderLock& lock);
  void Prune(int keepEntries);
  void TrashOldDumps();
  void DeleteArchivedDumps();
  void EnsureConnected();
  // Dumps, counts and logs one table, in parts of rowsPerPart rows when not 0.
  void DumpTable(TZQuery& query, const AnsiString& table, std::int64_t rowsPerPart);
  AnsiString ClaimDumpFile(const AnsiString& partName);
  void DumpPart(TZQuery& query, const AnsiString& table, std::int64_t n, std::int64_t rowsPerPart);
  void LogDumpedPart(TZQuery& query, const AnsiString& table, const AnsiString& partName, const TDumpPart& part);
  bool RunDump(const TDumpPart& part, const AnsiString& partName);
  bool TableExists(TZQuery& query, const AnsiString& table);
  std::int64_t CountRows(TZQuery& query, const AnsiString& table);
  void NoteFailure(const AnsiString& name, const AnsiString& why);
  TDumpTarget Target() const;
  void WriteCommandFile(std::int64_t part, const AnsiString& argumentString);

  // Protocol file, archives, transfer and end.
  void SaveProtocol();
  bool WriteProtocolFile();
  void PackProtocol(const AnsiString& folder);
  void SaveStoppedProtocol();
  void MakeZipper();
  void ShowZipStatus();
  void HideZipStatus(bool keepArchiveMeter);
  void ZipIntoFolder(const AnsiString& folder, int extraSteps);
  void ZipPartsWithDatedNames();
  void ZipOne(const AnsiString& archive, const AnsiString& file, TAbStoreOptions options);
  void AddExactFile(const AnsiString& file);
  void ReportUnarchived();
  void RunBatches(int keepEntries);
  void EndRun();

  void ClearProtocol();
  void AddLine(const AnsiString& line);
  void AddStampedLine(const AnsiString& text);
  AnsiString Today() const;  // "yyyymmdd"
  AnsiString WorkDir() const;
  AnsiString ZipDir() const;
  void Pump();
  void SetArchiveMeter(int maximum, int position);

  TBackupEngine& engine_;
  IBackupView& view_;
  // Made anew after a failed save, which drops the archive that failed.
  std::unique_ptr<TAbZipper> zipper_;
  std::unique_ptr<TItemMeter> itemMeter_;
  TStringList protocol_;  // shared with the stop watch's fallback: changed under its lock
  AnsiString protocolFile_;  // the run's protocol file, for the fallback
  std::atomic<bool> running_{false};
  int failures_ = 0;
  int dumpCount_ = 0;
  TDumpNames dumpNames_;
  std::vector<AnsiString> partNames_;  // dump file names of the paged parts
  AnsiString itemLabel_;             // what Label7 shows
  AnsiString zipping_;               // the dump being archived
  std::map<AnsiString, AnsiString> unarchived_;  // dumps the zipper failed on, with the reason
  std::set<AnsiString> ownDumps_;  // file names of the dumps this run made: only these are archived
  int meterMaximum_ = 0;
  int meterPosition_ = 0;
};

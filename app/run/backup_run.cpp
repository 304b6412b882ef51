// The first half of a backup run: the folder check, the switches of the run,
// pruning of the ZIP folder's dated entries, removal of old dumps and the
// dump of every ticked table, part by part, with its protocol lines.
#include "app/run/backup_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"
#include "app/engine/query_runs.h"
#include "app/engine/sql_names.h"
#include "app/run/dump_child.h"
#include "app/run/folder_lock.h"
#include "app/run/run_stop.h"
#include "app/run/run_texts.h"
#include "platform/rtl/files.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "platform/rtl/trash.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "util/routines/file_finder.h"
#include "util/routines/program_routines.h"

std::vector<AnsiString> FindEntries(const AnsiString& folder, const AnsiString& filter) {
  TFindFile finder(nullptr);
  finder.SetAttributes(ffDirectory);
  finder.SetDirectory(folder);
  finder.SetFilter(filter);
  finder.Execute();
  std::vector<AnsiString> entries;
  for (int i = 0; i < finder.Files()->Count(); ++i) entries.push_back(finder.Files()->Strings(i));
  return entries;
}

void TBackupRun::BackUpTickedTables() {
  if (running_) return;
  TRunScope scope(running_);

  failures_ = 0;
  unarchived_.clear();
  ownDumps_.clear();
  dumpNames_ = TDumpNames();
  const bool allTablesMode = engine_.Settings().ReadString(kAllTablesKey, kFalse) != kFalse;
  if (!FoldersChosen()) return;
  const TSwitch keep = FindSwitch(engine_.Params(), "/P:", kTextValueChars);
  const int keepEntries = keep.found ? StrToIntDef(keep.value, 0) : 0;
  const bool runBatches = FindSwitch(engine_.Params(), "/BAT").found;
  ClearProtocol();
  TFolderLock lock;
  if (!LockFolders(lock)) {
    EndRun();
    return;
  }
  if (keepEntries > 0) Prune(keepEntries);
  TrashOldDumps();

  dumpCount_ = 0;
  partNames_.clear();
  const bool kalmirDatabase = engine_.Connection().Database().compare(0, 6, kDefaultDatabase) == 0;
  for (int i = 0; i < view_.TableCount() && !RunStopRequested(); ++i) {
    const AnsiString table = view_.TableName(i);
    const bool choice = allTablesMode && kalmirDatabase ? engine_.Kontrola_vylouceni(table) : true;
    if (view_.TableChecked(i) && choice) DumpTable(engine_.Query(), table, engine_.State().RowsPerPart);
  }
  if (RunStopRequested()) {
    AddStampedLine(kStoppedLine);
    ++failures_;
    WriteProtocolFile();
    EndRun();
    return;
  }

  // The dated-names layout has no archive for the protocol: it stays.
  const AnsiString dateFolder = AddBackslash(ZipDir()) + Today();
  const bool packsProtocol = dumpCount_ > 0 && engine_.State().ZipDumps && engine_.State().RowsPerPart <= 0;
  if (dumpCount_ > 0) {
    SaveProtocol();
    if (engine_.State().ZipDumps) {
      ShowZipStatus();
      if (packsProtocol) {
        ZipIntoFolder(dateFolder, runBatches ? 11 : 0);
        HideZipStatus(runBatches);
      } else {
        ZipPartsWithDatedNames();
      }
      ReportUnarchived();
      if (packsProtocol) PackProtocol(dateFolder);
      DeleteArchivedDumps();
    }
  }
  if (runBatches) {
    const int failuresBefore = failures_;
    RunBatches(keepEntries);
    // The upload took the protocol as it stood; the archive gets the batches' failures too.
    if (packsProtocol && failures_ > failuresBefore) PackProtocol(dateFolder);
  }
  EndRun();
}

// A one-shot run that cannot start leaves nothing to wait for: the program ends.
bool TBackupRun::FoldersChosen() {
  if (!view_.WorkFolder().empty() && !view_.ZipFolder().empty()) return true;
  view_.ShowMessage(kChooseFoldersMessage, TMessageIcon::Stop);
  ++failures_;
  if (engine_.State().OneShotMode) view_.TerminateApplication();
  return false;
}

// A second run on the same folders would cut the dumps and archives of the
// first: it names the run that holds them and does nothing.
bool TBackupRun::LockFolders(TFolderLock& lock) {
  AnsiString busy, holder;
  if (lock.Take({WorkDir(), ZipDir()}, busy, holder)) return true;
  NoteFailure(busy, kFolderBusyText + holder + ")");
  return false;
}

// Dated entries are those whose name starts with eight characters that read
// as a nonzero number. The oldest go so that keepEntries - 1 remain for this
// run to add its own. Folders go to the trash whole, each named in the
// protocol as removed or as a failure; dated files stay, unnamed.
void TBackupRun::Prune(int keepEntries) {
  TStringList entries;
  for (const AnsiString& entry : FindEntries(ZipDir(), "*")) entries.Add(entry);
  entries.Sort();
  for (int i = entries.Count() - 1; i >= 0; --i) {
    AnsiString name = ReplaceAllText(entries[i], ZipDir(), "");
    name = StringReplace(name, AnsiString(1, PathDelim), "", rfReplaceAll);
    int date = 0;
    if (!TryStrToInt(name.substr(0, 8), date) || date == 0) entries.Delete(i);
  }
  const int count = entries.Count();
  for (int i = 0; count >= keepEntries && i < count - keepEntries + 1; ++i) {
    if (!DirectoryExists(entries[i])) continue;
    AnsiString reason;
    if (!MoveToTrash(entries[i], reason)) {
      NoteFailure(entries[i], kNotTrashedText + reason);
      continue;
    }
    AddStampedLine(UpperCase(entries[i]) + kPrunedSuffix);
    AddLine(" ");
  }
}

// Old dumps may be ones an earlier run could not archive: they go to the
// trash, not to nowhere. One that cannot go stays, named, and is kept out of
// this run's archives.
void TBackupRun::TrashOldDumps() {
  for (const AnsiString& file : FindEntries(WorkDir(), AnsiString("*") + kDumpExtension)) {
    AnsiString reason;
    if (!MoveToTrash(file, reason)) NoteFailure(ExtractFileName(file), kOldDumpStaysText + reason);
  }
}

void TBackupRun::DeleteArchivedDumps() {
  for (const AnsiString& file : FindEntries(WorkDir(), AnsiString("*") + kDumpExtension))
    if (ownDumps_.count(ExtractFileName(file)) && !unarchived_.count(file)) DeleteFile(file);
}

// The start-up connection may have been closed by the server while the
// program waited for the backup time.
void TBackupRun::EnsureConnected() {
  TZConnection& connection = engine_.Connection();
  if (connection.PingServer()) return;
  connection.Disconnect();
  connection.Connect();
}

bool TBackupRun::TableExists(TZQuery& query, const AnsiString& table) {
  OpenSql(query, ShowTablesLike(table));
  const bool exists = !query.HasNoRecords();
  query.Close();
  return exists;
}

std::int64_t TBackupRun::CountRows(TZQuery& query, const AnsiString& table) {
  OpenSql(query, "select count(*) as celkemv from " + SqlName(table));
  const std::int64_t rows = query.FieldNamed("celkemv")->ValueAsLargeInt();
  query.Close();
  return rows;
}

void TBackupRun::NoteFailure(const AnsiString& name, const AnsiString& why) {
  AddStampedLine(UpperCase(name) + kFailedSuffix + why);
  AddLine(" ");
  ++failures_;
}

// The one routine both runs dump a table with. Whatever goes wrong with the
// table is its own failure: the run goes on with the next one.
void TBackupRun::DumpTable(TZQuery& query, const AnsiString& table, std::int64_t rowsPerPart) {
  try {
    EnsureConnected();
    if (!TableExists(query, table)) {
      AddStampedLine(UpperCase(table) + kTableMissingSuffix);
      AddLine(" ");
      ++failures_;
      return;
    }
    AddStampedLine(UpperCase(table));
    AddLine(kDumpingLine);
    const std::int64_t parts = rowsPerPart > 0 ? PartCount(CountRows(query, table), rowsPerPart) : 1;
    for (std::int64_t n = 1; n <= parts && !RunStopRequested(); ++n) DumpPart(query, table, n, rowsPerPart);
  } catch (const Exception& e) {
    query.Close();
    NoteFailure(table, e.Message());
  }
}

// A dump whose file name is not the part's own is named in the protocol.
AnsiString TBackupRun::ClaimDumpFile(const AnsiString& partName) {
  const AnsiString fileName = dumpNames_.Claim(partName);
  if (fileName != partName + kDumpExtension) AddStampedLine(UpperCase(partName) + kSavedAsInfix + fileName);
  return fileName;
}

// Part n of a table (the whole table when rowsPerPart is 0): its dump, a new
// session for the count (the dump may have taken long enough for the server
// to drop the old one) and its protocol line.
void TBackupRun::DumpPart(TZQuery& query, const AnsiString& table, std::int64_t n, std::int64_t rowsPerPart) {
  query.Close();
  query.SQL().Clear();
  const bool paged = rowsPerPart > 0;
  const AnsiString partName = paged ? table + IntToStr(n) : table;
  const AnsiString fileName = ClaimDumpFile(partName);
  TDumpPart part{table, AddBackslash(WorkDir()) + fileName, paged, (n - 1) * rowsPerPart, rowsPerPart};
  if (FileExists(part.ResultFile)) DeleteFile(part.ResultFile);
  WriteCommandFile(n, DumpArgumentString(Target(), part));
  const bool dumped = RunDump(part, partName);
  ++dumpCount_;
  // A part that failed is not archived: it has no dump to hold.
  if (dumped) ownDumps_.insert(fileName);
  if (dumped && paged) partNames_.push_back(fileName);
  // A stopped run asks the server nothing more: it may be what stopped answering.
  if (RunStopRequested()) return;

  engine_.Connection().Disconnect();
  Pump();
  engine_.Connection().Connect();
  if (dumped) LogDumpedPart(query, table, partName, part);
  AddLine(" ");
  query.Close();
}

// A paged part names its rows; a whole table gets its row count. A count the
// server cannot give marks the line, but the dump stands and is archived.
void TBackupRun::LogDumpedPart(TZQuery& query, const AnsiString& table, const AnsiString& partName,
                               const TDumpPart& part) {
  const AnsiString upper = UpperCase(partName);
  if (part.Paged) {
    AddStampedLine(upper + kDoneSuffix + "od " + IntToStr(part.Offset) + "," + IntToStr(part.Rows) + kRowsSuffix);
    return;
  }
  try {
    AddStampedLine(upper + kDoneSuffix + IntToStr(CountRows(query, table)) + kRowsSuffix);
  } catch (const Exception&) {
    query.Close();
    AddStampedLine(upper + kCountErrorSuffix);
  }
}

// A failed dump gets the exit code and the child's first complaint in the
// protocol instead of a success line; what it left is no backup, so it goes.
bool TBackupRun::RunDump(const TDumpPart& part, const AnsiString& partName) {
  const TDumpOutcome outcome = RunDumpChild(DumpArguments(engine_.Files().Dir + kDumpProgram, Target(), part),
                                            part.ResultFile, [this] { Pump(); });
  if (outcome.Succeeded) return true;
  DeleteFile(part.ResultFile);
  AddStampedLine(UpperCase(partName) + kDumpFailedSuffix + IntToStr(outcome.ExitCode));
  AddLine(outcome.FirstError);
  ++failures_;
  return false;
}

TDumpTarget TBackupRun::Target() const {
  TZConnection& connection = engine_.Connection();
  return {connection.HostName(), connection.User(),     connection.Password(),
          connection.Port(),     connection.Database(), engine_.State().ExtraDumpOptions};
}

// The command file holds the password, so only its owner may read it.
void TBackupRun::WriteCommandFile(std::int64_t part, const AnsiString& argumentString) {
  const std::string path = AnsiToUtf8(engine_.Files().Dir + kCommandFilePrefix + IntToStr(part) + ".txt");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return;
  ::fchmod(fd, 0600);
  const AnsiString line = argumentString + "\r\n";
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

// The backup of every database of the server: each database's tables are
// dumped, counted and archived into a folder of its own inside today's date
// folder. Databases of the server itself and those already backed up today
// are skipped, so a second start on the same day resumes where one stopped.
#include <array>
#include <string_view>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"
#include "app/engine/query_runs.h"
#include "app/engine/sql_names.h"
#include "app/run/backup_run.h"
#include "app/run/folder_lock.h"
#include "app/run/run_stop.h"
#include "app/run/run_texts.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "util/routines/program_routines.h"

namespace {

constexpr std::array<std::string_view, 3> kSkippedDatabases = {"mysql", "test", "information_schema"};

bool SkippedDatabase(const AnsiString& name) {
  for (std::string_view skipped : kSkippedDatabases)
    if (name == skipped) return true;
  return false;
}

}  // namespace

void TBackupRun::BackUpAllDatabases() {
  if (running_) return;
  TRunScope scope(running_);

  failures_ = 0;
  // The folder names below are built from both texts; without them nothing can be saved.
  if (!FoldersChosen()) {
    view_.TerminateApplication();
    return;
  }
  ClearProtocol();
  TFolderLock lock;
  if (!LockFolders(lock)) {
    view_.TerminateApplication();
    return;
  }
  TZConnection& connection = engine_.Connection();
  TZQuery databaseQuery(nullptr);
  TZQuery tableQuery(nullptr);
  databaseQuery.SetConnection(&connection);
  tableQuery.SetConnection(&connection);

  std::vector<AnsiString> databases;
  try {
    EnsureConnected();
    databases = ColumnValues(databaseQuery, "show databases", "Database");
  } catch (const Exception& e) {
    AddStampedLine(kDatabaseListFailedLine + e.Message());
    ++failures_;
    view_.TerminateApplication();
    return;
  }
  TFolderNames folderNames;
  for (const AnsiString& database : databases) {
    if (RunStopRequested()) break;
    if (SkippedDatabase(database)) continue;
    // Claimed for every database in the server's order, so a second start
    // on the same day finds the same folders.
    const AnsiString folderName = folderNames.Claim(database);
    const AnsiString databaseFolder = AddBackslash(ZipDir()) + Today() + PathDelim + folderName;
    if (DirectoryExists(databaseFolder)) continue;
    ClearProtocol();
    AddStampedLine("***** " + UpperCase(database) + " *****");
    AddLine("");
    if (folderName != database) AddStampedLine(UpperCase(database) + kSavedAsInfix + folderName);
    try {
      connection.Disconnect();
      connection.SetDatabase(database);
      connection.Connect();
      view_.ClearTables();
      for (const AnsiString& table : ColumnValues(tableQuery, "show tables", kTablesColumnPrefix + database)) {
        view_.AddTable(table);
        view_.SetTableChecked(view_.TableCount() - 1, true);
      }
    } catch (const Exception& e) {
      NoteFailure(database, e.Message());
      continue;
    }
    unarchived_.clear();
    ownDumps_.clear();
    dumpNames_ = TDumpNames();
    TrashOldDumps();

    dumpCount_ = 0;
    for (int i = 0; i < view_.TableCount() && !RunStopRequested(); ++i)
      if (view_.TableChecked(i)) DumpTable(databaseQuery, view_.TableName(i), 0);
    if (RunStopRequested()) {
      AddStampedLine(kStoppedLine);
      ++failures_;
      WriteProtocolFile();
      break;
    }

    if (dumpCount_ == 0) continue;
    SaveProtocol();
    if (!engine_.State().ZipDumps) continue;
    ShowZipStatus();
    ZipIntoFolder(databaseFolder, 0);
    HideZipStatus(false);
    ReportUnarchived();
    PackProtocol(databaseFolder);
    DeleteArchivedDumps();
  }
  view_.TerminateApplication();
}

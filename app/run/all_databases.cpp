// The backup of every database of the server: each database's tables are
// dumped, counted and archived into a folder of its own inside today's date
// folder. Databases of the server itself and those already backed up today
// are skipped, so a second start on the same day resumes where one stopped.
#include <array>
#include <string_view>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"
#include "app/run/backup_run.h"
#include "app/run/run_texts.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "util/routines/program_routines.h"

namespace {

constexpr std::array<std::string_view, 3> kSkippedDatabases = {"mysql", "test", "information_schema"};

bool SkippedDatabase(const AnsiString& name) {
  for (std::string_view skipped : kSkippedDatabases)
    if (name == skipped) return true;
  return false;
}

std::vector<AnsiString> ColumnValues(TZQuery& query, const AnsiString& sql, const AnsiString& column) {
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(sql);
  query.Open();
  std::vector<AnsiString> values;
  for (; !query.Eof(); query.Next()) values.push_back(query.FieldNamed(column)->ValueAsString());
  query.Close();
  query.SQL().Clear();
  return values;
}

}  // namespace

void TBackupRun::vsechno() {
  if (running_) return;
  TRunScope scope(running_);

  failures_ = 0;
  unarchived_.clear();
  // The folder names below are built from both texts; without them nothing can be saved.
  if (!FoldersChosen()) {
    ++failures_;
    view_.TerminateApplication();
    return;
  }
  TZConnection& connection = engine_.Connection();
  TZQuery databaseQuery(nullptr);
  TZQuery tableQuery(nullptr);
  databaseQuery.SetConnection(&connection);
  tableQuery.SetConnection(&connection);

  for (const AnsiString& database : ColumnValues(databaseQuery, "show databases", "Database")) {
    const AnsiString databaseFolder = AddBackslash(ZipDir()) + Today() + PathDelim + database;
    if (SkippedDatabase(database) || DirectoryExists(databaseFolder)) continue;
    ClearProtocol();
    AddStampedLine("***** " + AnsiUpperCase(database) + " *****");
    AddLine("");
    connection.Disconnect();
    connection.SetDatabase(database);
    connection.Connect();
    view_.ClearTables();
    for (const AnsiString& table : ColumnValues(tableQuery, "show tables", kTablesColumnPrefix + database)) {
      view_.AddTable(table);
      view_.SetTableChecked(view_.TableCount() - 1, true);
    }
    // A protocol kept from the database before makes way for this one's.
    unarchived_.erase(AddBackslash(WorkDir()) + kProtocolFile);
    DeleteWorkDumps(true);

    int databaseDumpCount = 0;
    for (int i = 0; i < view_.TableCount(); ++i) {
      const AnsiString table = view_.TableName(i);
      if (!view_.TableChecked(i) || !TableExists(databaseQuery, table)) continue;
      AddStampedLine(AnsiUpperCase(table));
      AddLine(kDumpingLine);
      const TDumpPart part{table, AddBackslash(WorkDir()) + table + kDumpExtension};
      if (FileExists(part.ResultFile)) DeleteFile(part.ResultFile);
      connection.Disconnect();
      Pump();
      const bool dumped = RunDump(part, table);
      Pump();
      connection.Connect();
      Pump();
      if (dumped) {
        try {
          databaseQuery.SQL().Clear();
          databaseQuery.SQL().Add("select count(*) as celkemv from " + SqlTableName(table));
          databaseQuery.Open();
          AddStampedLine(AnsiUpperCase(table) + kDoneSuffix + databaseQuery.FieldNamed("celkemv")->ValueAsString() +
                         kRowsSuffix);
        } catch (const Exception&) {
          AddStampedLine(AnsiUpperCase(table) + kCountErrorSuffix);
        }
      }
      databaseQuery.Close();
      AddLine(" ");
      ++databaseDumpCount;
    }

    if (databaseDumpCount == 0) continue;
    SaveProtocol();
    if (!engine_.State().ZipDumps) continue;
    ShowZipStatus();
    ZipIntoFolder(databaseFolder, 0);
    HideZipStatus(false);
    ReportUnarchived();
    DeleteWorkDumps(true);
  }
  view_.TerminateApplication();
}

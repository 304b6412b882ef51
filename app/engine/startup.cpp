// Start-up of the backup program: the switches, the two ini files and the
// developer mode become the connection settings and the run mode; then the
// connection, the table list and, with "/A:", the daily schedule.
#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"
#include "app/engine/query_runs.h"
#include "app/engine/sql_names.h"
#include "platform/rtl/files.h"
#include "platform/rtl/net_info.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "sql/drivers/mysql/mysql_driver.h"

namespace {

constexpr const char* kLogOnSection = "LogOn";
constexpr const char* kLoopbackHost = "127.0.0.1";
constexpr int kDefaultPort = 3306;
// Time limits of every call to the server, in seconds: one that stops
// answering ends the call with an error instead of holding the run for good.
// Reads wait long, as a count of a big table may take minutes.
constexpr int kConnectTimeout = 10;
constexpr int kReadWriteTimeout = 300;

}  // namespace

TProgramFiles ProgramFilesOf(const AnsiString& programPath) {
  return {ExtractFilePath(programPath), programPath + ".ini"};
}

TBackupEngine::TBackupEngine(IBackupView& view, const TProgramFiles& files, TParamList params)
    : view_(view),
      files_(files),
      params_(std::move(params)),
      connection_(new TZConnection(nullptr)),
      query_(new TZQuery(nullptr)),
      settings_(files.IniFile),
      clock_(Now) {
  RegisterMySQLDriver();
  connection_->SetProtocol("mysql-4.1");
  connection_->SetPort(kDefaultPort);
  connection_->SetDatabase(kDefaultDatabase);
  connection_->Properties()->Add("Codepage=cp1250");
  connection_->Properties()->Add("compress=yes");
  connection_->Properties()->Add("timeout=" + IntToStr(kConnectTimeout));
  connection_->Properties()->Add("MYSQL_OPT_READ_TIMEOUT=" + IntToStr(kReadWriteTimeout));
  connection_->Properties()->Add("MYSQL_OPT_WRITE_TIMEOUT=" + IntToStr(kReadWriteTimeout));
  query_->SetConnection(connection_.get());
}

TBackupEngine::~TBackupEngine() = default;

void TBackupEngine::FormCreate() {
  state_.AllDatabases = false;
  state_.ExtraDumpOptions.clear();
  if (!FileExists(files_.Dir + kDumpProgram)) {
    view_.ShowMessage(kNoDumpProgramMessage, TMessageIcon::Information);
    view_.TerminateApplication();
    return;
  }
  state_.DeveloperMode = FileExists(files_.Dir + kProjectFile);
  if (state_.DeveloperMode) {
    connection_->SetHostName(kLoopbackHost);
    connection_->SetUser(kDefaultUser);
    connection_->SetPassword(kDefaultPassword);
  }

  state_.DatabaseInEffect = kDefaultDatabase;
  state_.RowsPerPart = 0;
  if (TSwitch rows = FindSwitch(params_, "/M:", kTextValueChars); rows.found)
    state_.RowsPerPart = StrToInt(Trim(rows.value));  // a bad number ends start-up here
  connection_->SetDatabase(state_.DatabaseInEffect);

  TSwitch zip = FindSwitch(params_, "/Z:", kTextValueChars);
  state_.ZipDumps = !(zip.found && UpperCase(zip.value) == "NE");

  if (!state_.DeveloperMode) {
    ReadLogOn(files_.IniFile, true);
    const AnsiString second =
        ExtractFilePath(ExcludeTrailingPathDelimiter(files_.Dir)) + kSecondIniFile;
    if (FileExists(second)) ReadLogOn(second, false);
  }

  if (TSwitch database = FindSwitch(params_, "/B:"); database.found) {
    state_.DatabaseInEffect = database.value;
    state_.AllDatabases = database.value == "*";
    if (!state_.AllDatabases) connection_->SetDatabase(database.value);
  }

  if (!ConnectOrQuit()) return;
  if (!state_.AllDatabases) ListTables(state_.DatabaseInEffect);

  state_.ScheduledMode = false;
  state_.OneShotMode = false;
  state_.ExtraDumpOptions = FindSwitch(params_, "/Q:").found ? kQuickDumpOptions : "";
  if (TSwitch time = FindSwitch(params_, "/A:", kTimeValueChars); time.found)
    StartSchedule(time);
  else
    state_.AllDatabases = false;
}

// The first file's defaults are fixed values, the second file's are what the
// connection holds at that moment, so a key missing there keeps the first's.
void TBackupEngine::ReadLogOn(const AnsiString& iniFile, bool programDefaults) {
  TIniFile ini(iniFile);
  if (!ini.SectionExists(kLogOnSection)) return;
  auto text = [&](const char* key, const AnsiString& programDefault, const AnsiString& current) {
    return ini.ReadString(kLogOnSection, key, programDefaults ? programDefault : current);
  };
  const AnsiString localAddress = programDefaults ? IPAddressToStr(GetLocalIPAddress()) : "";
  connection_->SetHostName(text("IP", localAddress, connection_->HostName()));
  connection_->SetUser(text("User", kDefaultUser, connection_->User()));
  connection_->SetPassword(text("Password", kDefaultPassword, connection_->Password()));
  connection_->SetPort(
      ini.ReadInteger(kLogOnSection, "Sqlport", programDefaults ? kDefaultPort : connection_->Port()));
  connection_->SetDatabase(text("Database", state_.DatabaseInEffect, connection_->Database()));
  state_.DatabaseInEffect = connection_->Database();
}

bool TBackupEngine::ConnectOrQuit() {
  try {
    connection_->Connect();
    return true;
  } catch (const Exception&) {
    view_.ShowMessage(kConnectFailedMessage, TMessageIcon::Information);
    view_.TerminateApplication();
    view_.CloseWindow();
    return false;
  }
}

void TBackupEngine::ListTables(const AnsiString& database) {
  const std::vector<AnsiString> tables =
      ColumnValues(*query_, kShowTablesFrom + SqlName(database), kTablesColumnPrefix + database);
  view_.ClearTables();
  for (const AnsiString& table : tables) view_.AddTable(table);
}

void TBackupEngine::StartSchedule(const TSwitch& timeSwitch) {
  TDateTime backupTime = 0;
  if (TryStrToTime(timeSwitch.value, backupTime)) {
    state_.OneShotMode = false;
    state_.AllDatabases = false;
  } else {
    state_.OneShotMode = true;
    backupTime = TimeOfDay(CurrentTime());
  }
  view_.SetCloseButtonCaption(kMinimizeCaption);
  state_.ScheduledMode = true;
  state_.BackupTime = backupTime;
  state_.DayMask = "AAAAAAA";
  view_.SetTimeEditValue(backupTime);

  if (TSwitch days = FindSwitch(params_, "/D:", kDayMaskChars); days.found)
    state_.DayMask = days.value.empty() ? AnsiString("AAAAAAA")
                                        : UpperCase(days.value) + AnsiString(7 - days.value.size(), 'N');
  state_.LastScheduledRunDay = 0;
  ShowNextBackupDay(DayOfTheWeek(CurrentTime()));
  view_.ShowScheduleControls();
  view_.SetTimerEnabled(TFormTimer::Timer1, true);
  if (state_.AllDatabases) state_.RowsPerPart = 0;
}

void TBackupEngine::ShowNextBackupDay(int startDay) {
  for (int step = 0; step < 7; ++step) {
    const int day = (startDay - 1 + step) % 7 + 1;
    if (!DayMarked(day)) continue;
    view_.SetLabelText(TFormLabel::Label11, kDayNames[day - 1]);
    return;
  }
}

void TBackupEngine::obnovit1Click() { ListTables(connection_->Database()); }

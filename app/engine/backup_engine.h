// TBackupEngine: the backup program's behaviour, independent of its window.
// The window's handlers call the methods of the same names; the engine talks
// back through IBackupView and owns the connection and the query it uses.
#pragma once

#include <functional>

#include "app/engine/app_state.h"
#include "app/engine/program_settings.h"
#include "app/engine/switches.h"
#include "platform/rtl/components.h"

class IBackupView;
class TZConnection;
class TZQuery;

// Where the program finds its companions: its folder (with a trailing
// PathDelim) and its own ini file (the program path + ".ini").
struct TProgramFiles {
  AnsiString Dir;
  AnsiString IniFile;
};
TProgramFiles ProgramFilesOf(const AnsiString& programPath);

class TBackupEngine {
public:
  TBackupEngine(IBackupView& view, const TProgramFiles& files, TParamList params);
  ~TBackupEngine();
  TBackupEngine(const TBackupEngine&) = delete;
  TBackupEngine& operator=(const TBackupEngine&) = delete;

  TAppState& State() { return state_; }
  TZConnection& Connection() { return *connection_; }
  TZQuery& Query() { return *query_; }
  TProgramSettings& Settings() { return settings_; }
  const TProgramFiles& Files() const { return files_; }
  const TParamList& Params() const { return params_; }
  // Wall-clock source (local date and time); tests put it on the virtual clock.
  void SetClock(std::function<TDateTime()> clock) { clock_ = std::move(clock); }
  TDateTime CurrentTime() const { return clock_(); }
  // The all-databases backup, started by the scheduler in that mode.
  std::function<void()> OnAllDatabasesBackup;

  // Start-up and the table list.
  void FormCreate();
  void obnovit1Click();
  // Shows in Label11 the first marked day from startDay (1 = Monday) on.
  void ShowNextBackupDay(int startDay);

  // Table choices, exclusion mask and help.
  void FormShow();
  void vechnytabulky1Click();
  void dntabulky1Click();
  void suiCheckListBox1ClickCheck();
  void suiButton1Click();
  void Maskaproignorovat1Click();
  // True when the table is to be backed up, false when the mask leaves it out.
  bool Kontrola_vylouceni(const AnsiString& tableName) const;
  void suiForm1TitleBarHelpBtnClick();

  // Schedule and tray.
  void Timer1Timer();
  void Timer2Timer();
  void rmTimeSpinEdit1Change(TDateTime value);
  void rmTimeSpinEdit1Enter();
  void rmTimeSpinEdit1Exit();
  // False when the window must stay (scheduled mode minimises it instead).
  bool FormClose();
  void ZobrazitVorbex051Click();
  void Konecprogramu1Click();

private:
  static TDateTime TimeOfDay(TDateTime value);
  // Letter `day` (1 = Monday) of the day mask is "A", in either case.
  bool DayMarked(int day) const;
  void ReadLogOn(const AnsiString& iniFile, bool programDefaults);
  bool ConnectOrQuit();
  void ListTables(const AnsiString& database);
  void StartSchedule(const TSwitch& timeSwitch);
  bool AllTablesStored(const char* defaultValue) const;
  void TickAllTables(bool checked);

  IBackupView& view_;
  TProgramFiles files_;
  TParamList params_;
  TAppState state_;
  // The query goes before the connection it uses.
  TOwned<TZConnection> connection_;
  TOwned<TZQuery> query_;
  TProgramSettings settings_;
  std::function<TDateTime()> clock_;
};

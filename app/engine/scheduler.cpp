// The daily schedule: Timer1 sends the window to the tray, Timer2 ticks every
// second and starts a backup at the first tick at or after the backup time on
// a marked weekday, once per date. Also the time edit, closing and the tray menu.
#include <cctype>
#include <cmath>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/engine/backup_view.h"

TDateTime TBackupEngine::TimeOfDay(TDateTime value) { return value - std::trunc(value); }

bool TBackupEngine::DayMarked(int day) const {
  if (day < 1 || static_cast<std::size_t>(day) > state_.DayMask.size()) return false;
  return std::toupper(static_cast<unsigned char>(state_.DayMask[day - 1])) == 'A';
}

void TBackupEngine::Timer1Timer() {
  view_.SetTimerEnabled(TFormTimer::Timer1, false);
  view_.MinimizeApplication();
  view_.SetTimerEnabled(TFormTimer::Timer2, true);
}

void TBackupEngine::Timer2Timer() {
  const TDateTime now = CurrentTime();
  // Compared in whole milliseconds, so a tick at the exact backup time counts.
  if (DateTimeToTimeStamp(now).Time < DateTimeToTimeStamp(state_.BackupTime).Time) return;
  if (state_.AllDatabases) {
    view_.SetTimerEnabled(TFormTimer::Timer2, false);
    if (OnAllDatabasesBackup) OnAllDatabasesBackup();
    return;
  }
  // The run is booked on the date it starts: one that ends after midnight
  // must not use up the next day's backup.
  const TDateTime today = std::trunc(now);
  if (!DayMarked(DayOfTheWeek(now)) || state_.LastScheduledRunDay == today) return;
  view_.SetTimerEnabled(TFormTimer::Timer2, false);
  if (AllTablesStored(kTrue)) TickAllTables(true);
  view_.ClickBackupButton();  // an exception leaves Timer2 off and the day open
  view_.ProcessMessages();
  state_.LastScheduledRunDay = today;
  view_.SetTimerEnabled(TFormTimer::Timer2, true);
}

void TBackupEngine::rmTimeSpinEdit1Change(TDateTime value) {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  DecodeTime(value, hour, minute, second, millisecond);
  state_.BackupTime = EncodeTime(hour, minute, second, 0);
}

void TBackupEngine::rmTimeSpinEdit1Enter() { view_.SetTimerEnabled(TFormTimer::Timer2, false); }

void TBackupEngine::rmTimeSpinEdit1Exit() { view_.SetTimerEnabled(TFormTimer::Timer2, true); }

bool TBackupEngine::FormClose() {
  if (!state_.ScheduledMode) return true;
  view_.MinimizeApplication();
  return false;
}

void TBackupEngine::ZobrazitVorbex051Click() { view_.RestoreApplication(); }

void TBackupEngine::Konecprogramu1Click() { view_.TerminateApplication(); }

// The state the backup program shares between start-up, the scheduler and the
// backup runs: the run mode, the schedule and the dump settings.
#pragma once

#include <cstdint>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

struct TAppState {
  bool ScheduledMode = false;  // "/A:" given: tray and timers
  bool OneShotMode = false;    // "/A:" without a readable time: one run, then the end
  bool AllDatabases = false;   // "/B:*" in effect: every database of the server
  TDateTime BackupTime = 0;    // time of day when the daily backup becomes due
  AnsiString DayMask;          // seven letters, Monday first; "A" = back up that day
  // The day (whole date) on which the last scheduled run was started. A
  // weekday counts as done only on that date, so the next week runs again.
  TDateTime LastScheduledRunDay = 0;
  bool ZipDumps = false;
  std::int32_t RowsPerPart = 0;  // 0 = no paging
  AnsiString ExtraDumpOptions;   // appended to "--compress"
  bool DeveloperMode = false;    // the project file lies beside the program
  AnsiString DatabaseInEffect;   // the database whose tables are listed
};

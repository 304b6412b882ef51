// vorbex05: the backup program without its window. Start-up as the window
// does it, then the timers' work in the console: one-shot modes back up and
// end, the daily schedule keeps ticking, and without "/A:" the program runs
// one backup. The exit code is 1 when start-up ended the program, a message
// stopped the run, a table, dump, archive or batch command failed, SIGTERM or
// SIGINT stopped the program, or an error escaped.
#include <signal.h>

#include <cstdio>

#include "app/engine/backup_engine.h"
#include "app/program/console_view.h"
#include "app/run/backup_run.h"
#include "app/run/run_stop.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/text.h"
#include "util/routines/program_routines.h"
#include "util/routines/utility_units.h"

namespace {

void OnStopSignal(int) { RequestRunStop(); }

// SIGTERM and SIGINT end a run cleanly: the run notices the stop while it waits.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

int Run() {
  TParamList params;
  for (int i = 1; i <= ParamCount(); ++i) params.push_back(ParamStr(i));
  TConsoleView view;
  TBackupEngine engine(view, ProgramFilesOf(ParamStr(0)), params);
  TBackupRun run(engine, view);
  view.Attach(&engine);
  view.OnBackupClick = [&run] { run.suiButton2Click(); };
  engine.OnAllDatabasesBackup = [&run] { run.vsechno(); };

  try {
    engine.FormCreate();
    if (view.Terminated()) return 1;
    view.RestoreStored();
    engine.FormShow();
    if (!engine.State().ScheduledMode) {
      view.ClickBackupButton();
    } else {
      while (!view.Terminated()) {
        if (RunStopRequested()) return 1;
        if (view.TimerEnabled(TFormTimer::Timer1)) {
          Delay(kTrayDelayMs);
          engine.Timer1Timer();
        } else if (view.TimerEnabled(TFormTimer::Timer2)) {
          engine.Timer2Timer();
          if (!view.Terminated()) Delay(kSchedulerTickMs);
        } else {
          return 1;  // nothing left that could start a backup
        }
      }
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", AnsiToUtf8(e.Message()).c_str());
    return 1;
  }
  return view.StopShown() || run.FailureCount() > 0 || RunStopRequested() ? 1 : 0;
}

}  // namespace

int main() {
  CatchStopSignals();
  InitializeUtilityUnits();
  const int code = Run();
  FinalizeUtilityUnits();
  return code;
}

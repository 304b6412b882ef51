// vorbex05: the backup program. Makes the main window (its start-up runs
// while it is made) and ends at once when start-up refused to go on; else
// makes the progress window and runs the message loop. On a display the
// window and the tray icon show; without one the same windows run on the
// headless backend, and a window meant for a person (no "/A:") backs up once
// and closes, as nobody could press its buttons. SIGTERM and SIGINT end the
// program as the tray's "Konec programu" does, stopping a dump on the way.
// The exit code is 1 when start-up refused, a message stopped the run, a
// table, dump, archive or batch command failed, an error was reported, or a
// signal ended the program; else 0.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "app/run/run_stop.h"
#include "app/window/main_form.h"
#include "app/window/progress_form.h"
#include "platform/gui/application.h"
#include "platform/rtl/files.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/paths.h"
#include "skin/skin_button.h"
#include "util/routines/utility_units.h"

namespace {

int stopPipe[2] = {-1, -1};

// Only async-signal-safe work here: the flag the run polls and a byte that
// wakes the message loop.
void OnStopSignal(int) {
  RequestRunStop();
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

void CatchStopSignals() {
  if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  AddFdWatch(stopPipe[0], POLLIN, [](int fd, short) {
    char bytes[16];
    while (::read(fd, bytes, sizeof bytes) > 0) {
    }
    if (Form1) Form1->Engine().Konecprogramu1Click();
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

int RunProgram() {
  Application->Initialize();
  // The title heads the error reports, as the program's name does.
  Application->SetTitle(ChangeFileExt(ExtractFileName(ParamStr(0)), ""));
  Application->CreateForm(Form1);
  if (Form1->StartupRefused()) return 1;
  Application->CreateForm(Form2);
  if (!DisplayPresent() && !Form1->Engine().State().ScheduledMode) {
    Form1->suiButton2->Click();
    Form1->Close();
  }
  Application->Run();
  return Form1->Failed() ? 1 : 0;
}

}  // namespace

int main() {
  InitializeUtilityUnits();
  StartStopWatch();
  CatchStopSignals();
  const int code = RunProgram();
  FinalizeUtilityUnits();
  return code;
}

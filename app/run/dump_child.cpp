// The dump child: argv as given, no shell, stdin from /dev/null, its output
// collected so it never blocks on a full pipe; a stop of the run ends it.
#include "app/run/dump_child.h"

#include <cstring>

#include "app/run/run_stop.h"
#include "platform/rtl/files.h"
#include "platform/rtl/process.h"
#include "platform/rtl/text.h"

namespace {

// How often the wait lets the window repaint.
constexpr std::uint32_t kChildPollMs = 100;

}  // namespace

TDumpOutcome RunDumpChild(const std::vector<AnsiString>& arguments, const AnsiString& resultFile,
                          const std::function<void()>& pump) {
  TDumpOutcome outcome;
  TChildProcess child;
  if (!child.Start(arguments, TChildOutput::Keep)) {
    outcome.FirstError = Utf8ToAnsi(std::strerror(child.StartError()));
    return outcome;
  }
  while (!child.WaitFor(kChildPollMs)) {
    if (RunStopRequested()) {
      child.Terminate();
      child.Wait();
      break;
    }
    pump();
  }
  outcome.ExitCode = child.ExitCode();
  const AnsiString errors = child.ErrorOutput();
  outcome.FirstError = Utf8ToAnsi(errors.substr(0, errors.find_first_of("\r\n")));
  outcome.Succeeded = outcome.ExitCode == 0 && FileExists(resultFile);
  return outcome;
}

// Runs the dump program as a child and tells whether it did its job: started,
// ended with code 0 and left its result file. The window stays alive while
// the child runs.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/strings.h"

struct TDumpOutcome {
  bool Succeeded = false;
  int ExitCode = -1;      // -1 when the child could not be started
  AnsiString FirstError;  // the first line the child wrote to stderr, or why it did not start
};

// Waits in steps of 100 ms and calls pump between them.
TDumpOutcome RunDumpChild(const std::vector<AnsiString>& arguments, const AnsiString& resultFile,
                          const std::function<void()>& pump);

// Running the system's own tools (power management, sound playing) by
// argument list, so no name is read as shell text. Tests put a recorder in place of the
// real runner, so nothing is switched off or played while they run.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/strings.h"

// Wait: run to the end and answer the exit code; otherwise start it and
// answer 0 (-1 when it could not be started).
using TUtlCommandRunner = std::function<int(const std::vector<AnsiString>& arguments, bool wait)>;

int UtlRunSystemCommand(const std::vector<AnsiString>& arguments, bool wait = true);
// Ends the commands started without waiting that still run.
void UtlStopSystemCommands();
// nullptr goes back to running the tools.
void UtlSetCommandRunner(TUtlCommandRunner runner);

// Runs a shell command line for a test and collects its standard output; a
// shell that cannot be started fails the test instead of reading as empty
// output.
#pragma once

#include <string>

struct ShellResult {
  int status;          // the exit code; -1 when the command did not exit normally
  std::string output;  // standard output only: add "2>&1" to collect messages too
};

ShellResult RunShell(const std::string& command);

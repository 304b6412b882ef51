// The shell runner of shell_runner.h over popen.

#include "tests/support/shell_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

ShellResult RunShell(const std::string& command) {
  ShellResult result{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run: " << command;
    return result;
  }
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

// A trash of the test's own: XDG_DATA_HOME points into the test's temp folder
// while it runs and is put back afterwards, so nothing reaches the user's
// trash. RunAndRead gives a shell command's output, for the trash tools.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/platform/rtl/temp_folder.h"

class OwnTrashTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* old = getenv("XDG_DATA_HOME");
    if (old) saved_ = old;
    had_ = old != nullptr;
    setenv("XDG_DATA_HOME", (tmp.path() / "data").c_str(), 1);
  }
  void TearDown() override {
    if (had_) setenv("XDG_DATA_HOME", saved_.c_str(), 1); else unsetenv("XDG_DATA_HOME");
  }

  TempFolder tmp;
  std::filesystem::path trash = tmp.path() / "data/Trash";

private:
  std::string saved_;
  bool had_ = false;
};

inline std::string RunAndRead(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, got);
  pclose(pipe);
  return out;
}

// A trash of the test's own: XDG_DATA_HOME points into the test's temp folder
// while it runs and is put back afterwards, so nothing reaches the user's
// trash.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

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

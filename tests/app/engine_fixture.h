// A throwaway program folder for the backup engine's tests: <temp>/bin holds
// the program's name, the dump program and the ini file; the second ini file
// lies one folder up. The engine is built over a RecordingView on demand.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <memory>

#include "app/engine/backup_engine.h"
#include "platform/rtl/files.h"
#include "tests/app/recording_view.h"

class EngineFixture : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/vx-app-XXXXXX";
    root_ = mkdtemp(pattern);
    ForceDirectories(BinDir());
    WriteFile(BinDir() + "mysqldump", "");
  }
  void TearDown() override {
    engine_.reset();
    DeleteTree(root_);
  }

  AnsiString BinDir() const { return root_ + "/bin/"; }
  AnsiString ProgramIni() const { return BinDir() + "vorbex05.ini"; }
  AnsiString SecondIni() const { return root_ + "/kalmir05.ini"; }

  static void WriteFile(const AnsiString& name, const AnsiString& text) {
    std::ofstream(name, std::ios::binary) << text;
  }

  // The engine for these parameters (made once per test).
  TBackupEngine& Engine(TParamList params = {}) {
    engine_ = std::make_unique<TBackupEngine>(view, ProgramFilesOf(BinDir() + "vorbex05"), std::move(params));
    view.engine = engine_.get();
    return *engine_;
  }

  RecordingView view;

private:
  AnsiString root_;
  std::unique_ptr<TBackupEngine> engine_;
};

// A throwaway program folder for the backup engine's tests: <temp>/bin holds
// the program's name, the dump program and the ini file; the second ini file
// lies one folder up. The engine is built over a RecordingView on demand.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/engine/backup_engine.h"
#include "platform/rtl/files.h"
#include "tests/app/recording_view.h"
#include "tests/support/temp_folder.h"

class EngineFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ForceDirectories(BinDir());
    WriteFile(BinDir() + "mysqldump", "");
  }
  void TearDown() override { engine_.reset(); }

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
  TempFolder temp_;
  AnsiString root_ = temp_.name();
  std::unique_ptr<TBackupEngine> engine_;
};

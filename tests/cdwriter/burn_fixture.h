// Shared by the burn tests: a burner on a software drive whose disc keeps its
// sectors in a file, source files in a temp folder, a burn run to its end
// while the test thread pumps the message loop (OnWriteDone arrives there),
// and the disc read back with xorriso.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "cdwriter/aspi_transport.h"
#include "cdwriter/soft_drive/soft_drive.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/thread.h"
#include "tests/support/temp_folder.h"
#include "tests/cdwriter/burner_test_util.h"
#include "tests/cdwriter/soft_drive_fixture.h"

struct BurnResult {
  bool started = false;
  bool done = false;
  bool on_test_thread = false;
  AnsiString error;
};

// Public, so that the tables of cases can arrange a burn through it.
class BurnTest : public ::testing::Test {
public:
  void SetUp() override {
    SetVirtualClock(true);
    SptiSetPort(&port_);
    disc_file_ = dir_ / "disc.iso";
    src_ = dir_ / "src";
    std::filesystem::create_directories(src_);
  }

  void TearDown() override {
    burner_.reset();
    ShutdownTransport();
    SptiSetPort(nullptr);
    SetVirtualClock(false);
    CurrentDiscType = 0;
    SessionAtOnceMode = false;
  }

  // A writer holding a disc of that type; the burner has it selected.
  TSoftDrive& Insert(TSoftMediumSetup medium) {
    medium.sector_file = Utf8ToAnsi(disc_file_);
    TSoftDrive& drive = port_.Add(0, std::make_unique<TSoftDrive>("SOFTVEND", "SOFT WRITER"));
    drive.Insert(medium);
    burner_ = NewBurner(log_);
    EXPECT_TRUE(burner_->InitializeASPI(true, ""));
    burner_->SelectDevice(burner_->DeviceList()->Strings(0));
    burner_->OnWriteDone = [this](TObject*, const AnsiString& error) {
      result_.done = true;
      result_.on_test_thread = IsMainThread();
      result_.error = error;
    };
    drive.ClearLog();
    return drive;
  }

  std::string Source(const std::string& name, const std::string& content) { return dir_.Write("src/" + name, content); }

  // Adds every file below src to the image folder of its relative path.
  void InsertSources() {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(src_))
      if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      WideString rel = Utf8ToWide(std::filesystem::relative(f.parent_path(), src_).string());
      std::replace(rel.begin(), rel.end(), u'/', u'\\');
      const WideString dest = rel == u"." ? WideString(u"\\") : u"\\" + rel;
      ASSERT_NE(burner_->ForceDirectory(dest), nullptr);
      ASSERT_EQ(burner_->InsertFile(dest, Utf8ToWide(f.string()), false), 1);
    }
  }

  // Runs a burn to its end, pumping messages as the application does.
  BurnResult Burn() {
    result_ = BurnResult{};
    result_.started = burner_->WriteDisc();
    if (!result_.started) return result_;
    while (!result_.done) {
      WaitMessage();
      ProcessMessages();
    }
    return result_;
  }

  // The disc's files, extracted by xorriso from the session at sbsector.
  ShellResult Extract(const std::string& out, uint32_t sbsector = 0) {
    const std::string load = sbsector ? "-load sbsector " + std::to_string(sbsector) + " " : "";
    return Peer("xorriso", "-osirrox on -local_charset UTF-8 -return_with SORRY 32 " + load + "-indev " +
                               Quote(disc_file_) + " -extract / " + Quote(out));
  }

  void ExpectDiscEqualsSources() {
    const std::string out = dir_ / "out";
    std::filesystem::remove_all(out);
    const ShellResult x = Extract(out);
    ASSERT_EQ(x.status, 0) << x.output;
    const ShellResult diff = Peer("diff", "-r " + Quote(src_) + " " + Quote(out));
    EXPECT_EQ(diff.status, 0) << diff.output;
  }

  TempFolder dir_;
  std::string disc_file_, src_;
  TSoftDrivePort port_;
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
  BurnResult result_;
};

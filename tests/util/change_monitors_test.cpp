// Folder and registry change monitors: OnChange on the loop's thread for a
// file in a watched sub-folder and for a key another process creates,
// changes and deletes; filters; and workers that end at once when stopped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/gui/application.h"
#include "platform/rtl/files.h"
#include "platform/rtl/text.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "tests/util/loop_wait.h"
#include "util/components/change_monitors.h"

namespace {


struct Monitors : ::testing::Test {
  void TearDown() override { EXPECT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 0; })); }
  TempFolder temp;
  std::atomic<int> changes{0};
  bool onMain = true;
  TUtlChangeEvent Counter() {
    return [this] {
      onMain = onMain && IsMainThread();
      ++changes;
    };
  }
};

TEST(MonitorFilters, MapToThePlatformsBits) {
  EXPECT_EQ(UtlFolderPlatformFilter(0x3F), 0x11Fu);
  EXPECT_EQ(UtlFolderPlatformFilter(1u << fmfWriteChange), 0x10u);
  EXPECT_EQ(UtlRegistryPlatformFilter(0xFF), 0xFu);
  EXPECT_EQ(UtlRegRootKeyHandle(rrkCurrentConfig), rkCurrentConfig);
  EXPECT_EQ(UtlRegRootKeyHandle(rrkDynData), rkDynData);
}

TEST_F(Monitors, AFileInAWatchedSubFolderFiresOnTheLoopsThread) {
  std::filesystem::create_directories(temp.path() / "a" / "b");
  TOwned<TUtlFolderMonitor> m(new TUtlFolderMonitor(nullptr));
  m->SetFolder(temp.name());
  m->SetOnChange(Counter());
  m->SetActive(true);
  EXPECT_EQ(TUtlMonitorThread::LiveCount(), 1);
  temp.Write("a/b/new file.txt", "x");
  ASSERT_TRUE(PumpUntil([&] { return changes >= 1; }));
  EXPECT_TRUE(onMain);
  // A folder made after the start is watched too.
  std::filesystem::create_directories(temp.path() / "a" / "c");
  ASSERT_TRUE(PumpUntil([&] { return changes >= 2; }));
  const int seen = changes;
  Settle();
  temp.Write("a/c/later.txt", "y");
  ASSERT_TRUE(PumpUntil([&] { return changes > seen; }));

  // Without the sub-tree only the folder itself counts.
  m->SetWatchSubTree(false);
  const int before = changes;
  temp.Write("a/b/ignored.txt", "z");
  Settle();
  EXPECT_EQ(changes, before);
  temp.Write("top.txt", "z");
  ASSERT_TRUE(PumpUntil([&] { return changes > before; }));
}

TEST_F(Monitors, FiltersChooseWhatCounts) {
  temp.Write("f.txt", "1");
  TOwned<TUtlFolderMonitor> m(new TUtlFolderMonitor(nullptr));
  m->SetFolder(temp.name());
  m->SetOnChange(Counter());
  m->SetNotifyFilters(1u << fmfDirNameChange);
  m->SetActive(true);
  temp.Write("other.txt", "2");  // a file name: not watched
  { std::ofstream(temp / "f.txt", std::ios::app) << "more"; }
  Settle();
  EXPECT_EQ(changes, 0);
  std::filesystem::create_directory(temp.path() / "dir");
  ASSERT_TRUE(PumpUntil([&] { return changes == 1; }));
  m->SetNotifyFilters(1u << fmfWriteChange);
  { std::ofstream(temp / "f.txt", std::ios::app) << "more"; }
  // Writing and closing may arrive in one read or in two.
  ASSERT_TRUE(PumpUntil([&] { return changes >= 2; }));
}

TEST_F(Monitors, AMissingFolderEndsTheWorkerAndABlankOneIsTheCurrentFolder) {
  TOwned<TUtlFolderMonitor> m(new TUtlFolderMonitor(nullptr));
  m->SetOnChange(Counter());
  m->SetFolder(temp / "missing");
  m->SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return m->Worker() && m->Worker()->Finished(); }));  // ended at once

  const AnsiString cwd = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(temp.name()));
  m->SetWatchSubTree(false);
  m->SetFolder("   ");
  SetCurrentDir(cwd);
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 1; }));
  temp.Write("here.txt", "x");
  ASSERT_TRUE(PumpUntil([&] { return changes == 1; }));
}

TEST_F(Monitors, StoppingEndsTheWorkerAtOnceAndNoEventFollows) {
  TOwned<TUtlFolderMonitor> m(new TUtlFolderMonitor(nullptr));
  m->SetFolder(temp.name());
  m->SetActive(true);
  EXPECT_EQ(TUtlMonitorThread::LiveCount(), 0);  // no OnChange, no worker
  m->SetOnChange(Counter());
  EXPECT_EQ(TUtlMonitorThread::LiveCount(), 1);
  temp.Write("x.txt", "1");  // a notice that may still be on its way
  m->SetActive(false);
  // Gone without a further change in the folder.
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 0; }));
  const int seen = changes;
  temp.Write("y.txt", "1");
  Settle();
  EXPECT_EQ(changes, seen);

  m->SetActive(true);
  for (int i = 0; i < 5; ++i) m->SetWatchSubTree(i % 2);  // each change replaces the worker
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 1; }));
  m->SetActive(false);  // nothing pending in the folder this time: only the stop can end it
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 0; }));
  m->SetActive(true);
  EXPECT_EQ(TUtlMonitorThread::LiveCount(), 1);
  m.reset();  // destruction too
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 0; }));
}

TEST_F(Monitors, ARegistryKeyAnotherProcessCreatesChangesAndDeletesFiresEachTime) {
  setenv("XDG_CONFIG_HOME", temp.name().c_str(), 1);
  auto peer = [](const std::string& args) {
    // The peer takes its arguments as every process here does: UTF-8.
    EXPECT_EQ(RunShell(std::string(VX_REGISTRY_PEER) + " " + AnsiToUtf8(args)).status, 0) << AnsiToUtf8(args);
  };
  TOwned<TUtlRegistryMonitor> m(new TUtlRegistryMonitor(nullptr));
  m->SetRootKey(rrkCurrentUser);
  m->SetRegistryKey("Software\\Vx\\Sledovaný");
  m->SetOnChange(Counter());
  m->SetActive(true);
  struct Step {
    std::string args;
    int changes;
  } steps[] = {
      {"set 'Software\\Vx\\Other' v 1", 0},             // elsewhere: nothing
      {"set 'Software\\Vx\\Sledovaný' v 1", 1},         // created
      {"set 'Software\\Vx\\Sledovaný' v 2", 2},         // changed
      {"set 'Software\\Vx\\Sledovaný\\Sub' w 3", 3},    // below it
      {"delete 'Software\\Vx\\Sledovaný'", 4},          // deleted
  };
  for (const Step& s : steps) {
    peer(s.args);
    if (s.changes == changes)
      Settle();
    else
      ASSERT_TRUE(PumpUntil([&] { return changes == s.changes; })) << s.args << ": " << changes << " changes";
    EXPECT_EQ(changes, s.changes) << s.args;
  }
  EXPECT_TRUE(onMain);
  m->SetActive(false);
  ASSERT_TRUE(PumpUntil([] { return TUtlMonitorThread::LiveCount() == 0; }));
  peer("set 'Software\\Vx\\Sledovaný' v 3");
  Settle();
  EXPECT_EQ(changes, 4);
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace

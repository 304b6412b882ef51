#include "platform/rtl/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/text.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// Children of this process that have ended but were not reaped.
int CountZombieChildren() {
  int zombies = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid() &&
        state == 'Z')
      ++zombies;
  }
  return zombies;
}

bool NoZombiesWithin(std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (CountZombieChildren() > 0) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

int timer_ticks = 0;
void Tick(HWND, UINT, UINT_PTR, std::uint32_t) { ++timer_ticks; }

}  // namespace

TEST(SplitCommandLine, FollowsThePlatformRules) {
  using Args = std::vector<AnsiString>;
  struct {
    const char* line;
    Args args;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\x.exe\" \"two words\"", {"C:\\Program Files\\x.exe", "two words"}},
      {"p \"\" x", {"p", "", "x"}},
      {"p a\\\\b", {"p", "a\\\\b"}},                    // backslashes alone are literal
      {"p \\\"quoted\\\"", {"p", "\"quoted\""}},        // \" is a literal quote
      {"p \"a\\\\\" b", {"p", "a\\", "b"}},              // \\" is one backslash, then the quote
      {"p \"say \"\"hi\"\"\"", {"p", "say \"hi\""}},     // "" inside quotes is a quote
      {"p ab\"c d\"e", {"p", "abc de"}},
      {"p --where=\"1 ORDER BY id limit 0,500\" --host=h", {"p", "--where=1 ORDER BY id limit 0,500", "--host=h"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(ChildProcess, ReturnsTheExitStatusAndIsReaped) {
  {
    TChildProcess child;
    ASSERT_TRUE(child.Start(std::vector<AnsiString>{"sh", "-c", "exit 3"}));
    child.Wait();
    EXPECT_EQ(child.ExitCode(), 3);
    EXPECT_FALSE(child.Running());
  }
  {
    TChildProcess never_waited;
    ASSERT_TRUE(never_waited.Start("sh -c \"exit 0\""));
  }
  TChildProcess killed;
  ASSERT_TRUE(killed.Start("sh -c \"kill -9 $$\""));
  killed.Wait();
  EXPECT_EQ(killed.ExitCode(), 128 + 9);
  EXPECT_TRUE(NoZombiesWithin(std::chrono::seconds(3)));
}

TEST(ChildProcess, ArgumentsWithBlanksQuotesAndCzechReachTheChildIntact) {
  TChildProcess child;
  ASSERT_TRUE(child.Start("sh -c \"for a; do printf '[%s]' \\\"$a\\\"; done\" sh \"a b\" "
                          "\"say \\\"hi\\\"\" back\\slash \"kůň\"",
                          TChildOutput::Keep));
  child.Wait();
  EXPECT_EQ(child.Output(), AnsiToUtf8("[a b][say \"hi\"][back\\slash][kůň]"));  // raw UTF-8 bytes
}

TEST(ChildProcess, AMebibyteOnStandardErrorDoesNotBlockTheChild) {
  for (TChildOutput mode : {TChildOutput::Keep, TChildOutput::Discard}) {
    TChildProcess child;
    ASSERT_TRUE(child.Start("sh -c \"head -c 1048576 /dev/zero >&2; echo done\"", mode));
    ASSERT_TRUE(child.WaitFor(10000));
    EXPECT_EQ(child.ExitCode(), 0);
    if (mode == TChildOutput::Keep) {
      EXPECT_EQ(child.ErrorOutput().size(), 1048576u);
      EXPECT_EQ(child.Output(), "done\n");
    } else {
      EXPECT_EQ(child.ErrorOutput(), "");
    }
  }
}

TEST(ChildProcess, StandardInputIsEmpty) {
  TChildProcess child;
  ASSERT_TRUE(child.Start("sh -c \"wc -c\"", TChildOutput::Keep));
  child.Wait();
  EXPECT_EQ(child.Output(), "0\n");
}

TEST(ChildProcess, WaitWithATimeOut) {
  TChildProcess child;
  ASSERT_TRUE(child.Start("sleep 1"));
  EXPECT_FALSE(child.WaitFor(50));
  EXPECT_TRUE(child.Running());
  EXPECT_EQ(child.ExitCode(), -1);
  EXPECT_TRUE(child.WaitFor(10000));
  EXPECT_EQ(child.ExitCode(), 0);
}

TEST(ChildProcess, TimersKeepFiringWhileAChildIsAwaitedWithPumping) {
  SetVirtualClock(false);
  timer_ticks = 0;
  UINT_PTR timer = SetTimer(0, 0, 100, Tick);
  TChildProcess child;
  ASSERT_TRUE(child.Start("sleep 2"));
  auto start = std::chrono::steady_clock::now();
  child.WaitPumping();
  auto waited = std::chrono::steady_clock::now() - start;
  KillTimer(0, timer);
  EXPECT_EQ(child.ExitCode(), 0);
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
  EXPECT_GE(timer_ticks, 10);  // about 20 on an idle machine
  EXPECT_LE(timer_ticks, 21);
}

// Batch files: executable ones run as they are, a "#!" line picks the
// interpreter, any other goes through /bin/sh.
TEST(ChildProcess, BatchFilesRunDirectlyByTheirFirstLineOrThroughTheShell) {
  TempFolder tmp;
  const struct {
    const char* text;
    bool executable;
    int code;
  } cases[] = {
      {"exit $(( $# + 4 ))\n", false, 6},
      {"#!/bin/sh -e\r\nfalse\nexit 9\n", false, 1},       // "-e" reaches the interpreter
      {"#!/usr/bin/env python3\nimport sys; sys.exit(len(sys.argv) + 10)\n", false, 13},
      {"#!/bin/sh\nexit $(( $# + 20 ))\n", true, 22},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    const fs::path batch = tmp.path() / "bck_uloz.bat";
    fs::remove(batch);
    std::ofstream(batch) << c.text;
    if (c.executable) fs::permissions(batch, fs::perms::owner_all);
    TChildProcess child;
    ASSERT_TRUE(child.Start("\"" + tmp.name() + "/bck_uloz.bat\" \"a b\" c")) << c.text;
    child.Wait();
    EXPECT_EQ(child.ExitCode(), c.code) << c.text;
  }
}

TEST(ChildProcess, ABareProgramNameIsFoundBesideOurProgramFirst) {
  fs::path beside = fs::read_symlink("/proc/self/exe").parent_path() /
                    ("vx_beside_" + std::to_string(getpid()));
  std::ofstream(beside) << "#!/bin/sh\nexit 42\n";
  fs::permissions(beside, fs::perms::owner_all);
  TChildProcess child;
  bool started = child.Start(beside.filename().string());
  child.Wait();
  fs::remove(beside);
  ASSERT_TRUE(started);
  EXPECT_EQ(child.ExitCode(), 42);
}

TEST(ChildProcess, AMissingProgramIsNotStarted) {
  TChildProcess child;
  EXPECT_FALSE(child.Start("surely-no-such-program-here x"));
  EXPECT_EQ(child.StartError(), ENOENT);
  EXPECT_FALSE(child.Running());
  EXPECT_EQ(child.ExitCode(), -1);
  EXPECT_FALSE(child.Start(""));
}

// The general routines: piece cutting, replace-all, the wildcard matcher's
// rules, folder chains, truncation, running programs and the pumping delay.

#include "util/routines/program_routines.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

TEST(Pieces, WordCountAndPiecesTreatAdjacentAndTrailingDelimiters) {
  struct Case {
    const char* text;
    int count;
  } cases[] = {{"a;b;", 2}, {";;", 2}, {"", 0}, {"a", 1}, {";", 1}, {"a;;b", 3}, {"a;b", 2}};
  for (const Case& c : cases) EXPECT_EQ(WordCount(c.text, ';'), c.count) << c.text;

  struct Piece {
    const char* text;
    char delimiter;
    int index;
    const char* piece;
  } pieces[] = {{"a;;b", ';', 0, "a"}, {"a;;b", ';', 1, ""}, {"a;;b", ';', 2, "b"},
                {"ab", ';', 1, ""},    {"a;b;", ';', 1, "b"}, {"a;b;", ';', 2, ""},
                {"x", ';', -1, ""},    {"dump.part1.zal", '.', 0, "dump"}};
  for (const Piece& p : pieces) {
    EXPECT_EQ(DelimitedPiece(p.text, p.delimiter, p.index), p.piece) << p.text << " " << p.index;
  }
  EXPECT_EQ(ExtractWord("TMP_*;LOG*", ';', 1), "LOG*");
}

TEST(Pieces, LeftCharsAndBackslash) {
  EXPECT_EQ(LeftChars("abcdef", 3), "abc");
  EXPECT_EQ(LeftChars("ab", 5), "ab");
  EXPECT_EQ(LeftChars("ab", 0), "");
  EXPECT_EQ(LeftChars("ab", -2), "");
  EXPECT_EQ(AddBackslash("/zip"), "/zip/");
  EXPECT_EQ(AddBackslash("/zip/"), "/zip/");
}

TEST(ReplaceAll, IgnoresCaseAndResumesAfterTheInsertedText) {
  EXPECT_EQ(ReplaceAllText("aXa", "a", "aa"), "aaXaa");
  EXPECT_EQ(ReplaceAllText("Abc", "", "x"), "Abc");
  EXPECT_EQ(ReplaceAllText("/opt/App.Exe", ".exe", ".ini"), "/opt/App.ini");
  EXPECT_EQ(ReplaceAllText("kniha.ZAL", ".zal", ".zip"), "kniha.zip");
  EXPECT_EQ(ReplaceAllText("/w/a/b", "/w/", ""), "a/b");
  // Czech letters are found across their cases.
  EXPECT_EQ(ReplaceAllText("Čtvrtek čtvrtek", "ČTVRTEK", "x"), "x x");
}

TEST(Wildcard, MatchesByTheLeftToRightRules) {
  struct Case {
    const char* text;
    const char* mask;
    bool match;
  } cases[] = {
      {"", "*", true},          {"", "**", false},       {"ABC", "A*", true},
      {"ABC", "A?C", true},     {"ABD", "A?C", false},   {"TMP_X", "TMP_*", true},
      {"TMP_", "TMP_*", true},  {"XTMP_A", "TMP_*", false}, {"CAB_1", "C??_*", true},
      {"CA_1", "C??_*", false}, {"ABC", "*C", true},     {"ACBC", "*C", false},
      {"AXYB", "A*B", true},    {"ABXB", "A*B", false},  {"ABBC", "A*BC", false},
      {"", "", true},           {"A", "", false},        {"A?", "A*?", true},
      {"AXB", "A*?", false},    {"ABCD", "*", true},     {"AXBYC", "A*BC", false},
      {"AXBC", "A*BC", true},   {"ABXC", "A*BYC", false}, {"ABXBYC", "A*BYC", true},
      {"ABXC", "*X?", true},    {"ABXCD", "*X?", false},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.text, c.mask), c.match) << c.text << " ~ " << c.mask;
}

TEST(Wildcard, AQuestionMarkEndsTheRetriesOfAnEarlierStar) {
  // Without the "?" the star would be retried and find the later "BC".
  EXPECT_TRUE(WildcardMatch("ABXBC", "A*BC"));
  EXPECT_FALSE(WildcardMatch("ABXQBC", "A*B?BC"));
}

TEST(FolderChain, CreatesMissingParentsAndCountsExistingFoldersAsDone) {
  TempFolder tmp;
  AnsiString target = tmp.name() + "/a/b/";
  EXPECT_TRUE(CreateFolderChain(target));
  EXPECT_TRUE(fs::is_directory(tmp.path() / "a/b"));
  EXPECT_TRUE(CreateFolderChain(target));
  EXPECT_TRUE(CreateFolderChain("/"));
  EXPECT_FALSE(CreateFolderChain(""));
  EXPECT_FALSE(CreateFolderChain("relative-name"));
  std::ofstream(tmp.path() / "file") << "x";
  EXPECT_FALSE(CreateFolderChain(tmp.name() + "/file/sub"));
}

TEST(FolderChain, DoubledTrailingDelimiterStillCreatesTheFolder) {
  TempFolder tmp;
  EXPECT_TRUE(CreateFolderChain(tmp.name() + "/c//"));
  EXPECT_TRUE(fs::is_directory(tmp.path() / "c"));
}

TEST(Truncation, TowardZeroAndIndefiniteOutsideTheRange) {
  struct Case {
    long double x;
    int expected;
  } cases[] = {{7.9L, 7}, {-7.9L, -7}, {2.5e10L, INT_MIN}, {-2.5e10L, INT_MIN},
               {2147483647.9L, INT_MAX}, {-2147483648.9L, INT_MIN}, {0.0L, 0}};
  for (const Case& c : cases) EXPECT_EQ(TruncToInt(c.x), c.expected) << static_cast<double>(c.x);
  EXPECT_EQ(TruncToInt(std::nanl("")), INT_MIN);
}

TEST(Folders, ProgramDirAndCachedTempDir) {
  AnsiString dir = GetProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(fs::path(dir), fs::read_symlink("/proc/self/exe").parent_path() / "");

  AnsiString first = GetCachedTempDir();
  EXPECT_EQ(first.back(), '/');
  const char* old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", "/var/tmp", 1);
  EXPECT_EQ(GetCachedTempDir(), first);
  if (old) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}

// Children of this process that have ended but were never reaped.
int ZombieChildren() {
  int zombies = 0;
  DIR* proc = opendir("/proc");
  while (dirent* entry = readdir(proc)) {
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    size_t close = line.rfind(')');
    char state = 0;
    int ppid = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid() &&
        state == 'Z') {
      ++zombies;
    }
  }
  closedir(proc);
  return zombies;
}

TEST(Programs, RunAndWaitReportsTheStartAndLeavesNoZombie) {
  EXPECT_TRUE(RunProgram("sh -c 'exit 3'", true, true));
  EXPECT_EQ(ZombieChildren(), 0);
  EXPECT_FALSE(RunProgram("/nonexistent/program", true, true));
  EXPECT_FALSE(RunProgram("", true, false));
}

TEST(Programs, WaitBlocksUntilTheEndAndBatchFilesRunThroughTheShell) {
  TempFolder tmp;
  fs::path bat = tmp.path() / "prenos.bat";
  std::ofstream(bat) << "sleep 0.2\necho done > " << (tmp.path() / "out").string() << "\n";
  EXPECT_TRUE(RunProgram(bat.string(), true, true));
  EXPECT_TRUE(fs::exists(tmp.path() / "out"));
}

TEST(Programs, AChildNotWaitedForIsReapedWhenItEnds) {
  EXPECT_TRUE(RunProgram("sh -c 'sleep 0.1'", true, false));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  while (ZombieChildren() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(ZombieChildren(), 0);
}

int timerTicks = 0;
void CountTick(HWND, UINT, UINT_PTR, std::uint32_t) { ++timerTicks; }

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

TEST(DelayWait, OnTheVirtualClockTimersFireWithoutRealWaiting) {
  SetVirtualClock(true);
  timerTicks = 0;
  UINT_PTR id = SetTimer(0, 0, 100, CountTick);
  uint64_t start = GetTickCount64();
  auto realStart = std::chrono::steady_clock::now();
  Delay(500);
  EXPECT_GE(GetTickCount64() - start, 500u);
  EXPECT_GE(timerTicks, 4);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(250));
  KillTimer(0, id);
  SetVirtualClock(false);
}

TEST(DelayWait, SleepsBetweenMessagesInsteadOfSpinning) {
  auto realStart = std::chrono::steady_clock::now();
  double cpuStart = CpuSeconds();
  Delay(300);
  // The tick count has whole milliseconds, so the wait may end up to one short.
  EXPECT_GE(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(299));
  EXPECT_LT(CpuSeconds() - cpuStart, 0.1);
}

TEST(DelayWait, ZeroStillDispatchesPendingMessages) {
  int seen = 0;
  TMessageDispatcher old = SetMessageDispatcher([&](const MSG& msg) {
    if (msg.message == WM_USER + 7) ++seen;
    return LRESULT(0);
  });
  PostMessage(0, WM_USER + 7, 0, 0);
  Delay(0);
  EXPECT_EQ(seen, 1);
  SetMessageDispatcher(old);
}

}  // namespace

// The file-backed registry store, registry writing, automatic-start entries
// with their login-start files, and registry change notices.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/rtl/files.h"
#include "platform/rtl/text.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/registry_readers.h"
#include "util/routines/registry_writing.h"
#include "util/routines/text_slicing.h"
#include "util/routines/util_errors.h"

namespace {

using namespace std::chrono_literals;

struct RegistryWriting : ::testing::Test {
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", temp.name().c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (temp / "machine:/etc/xdg").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
  }
  TempFolder temp;
  TFileRegistryStore& store = FileRegistryStore();
};

TEST_F(RegistryWriting, WrittenTextsReadBackWhateverTheCase) {
  UtlWriteRegistryText(rkCurrentUser, "Software\\Vx\\Test", "Name", "Žluťoučký kůň");
  UtlWriteRegistryText(rkCurrentUser, "software\\VX\\test", "Path", "%HOME%\\x");
  UtlWriteRegistryText(rkLocalMachine, "Software\\Vx\\Test", "name", "machine");
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, "SOFTWARE\\vx\\TEST", "NAME"), "Žluťoučký kůň");
  EXPECT_EQ(ReadRegistryText(rkLocalMachine, "Software\\Vx\\Test", "Name"), "machine");
  std::uint32_t type = 0;
  ASSERT_TRUE(GetRegistryValueType(rkCurrentUser, "Software\\Vx\\Test", "Path", type));
  EXPECT_EQ(type, kRegExpandString);
  ASSERT_TRUE(GetRegistryValueType(rkCurrentUser, "Software\\Vx\\Test", "Name", type));
  EXPECT_EQ(type, kRegString);
  // Parents exist; the spelling of the first write stays.
  EXPECT_TRUE(store.KeyExists(rkCurrentUser, u"SOFTWARE\\VX"));
  EXPECT_EQ(store.SubKeyNames(rkCurrentUser, u"software\\vx"), std::vector<WideString>{u"Test"});
  EXPECT_TRUE(FileExists(TFileRegistryStore::FileOf(rkCurrentUser)));
  EXPECT_FALSE(FileExists(TFileRegistryStore::FileOf(rkCurrentUser) + ".new"));

  EXPECT_TRUE(store.DeleteKey(rkCurrentUser, u"software"));
  EXPECT_FALSE(store.KeyExists(rkCurrentUser, u"Software\\Vx\\Test"));
  EXPECT_FALSE(store.DeleteKey(rkCurrentUser, u"software"));
}

// A line the store cannot read is skipped: the values around it read as ever,
// and a write keeps them and the line itself.
TEST_F(RegistryWriting, UnreadableLinesAreSkippedAndKeptThroughAWrite) {
  ForceDirectories(TFileRegistryStore::Folder());
  const std::string key = "[K]\n\"Name\"=1:41000000\n";
  const struct {
    std::string text;
    const char* kept;  // the unreadable line, found again after the write
  } cases[] = {
      {"\xEF\xBB\xBFvorbex05 registry 1\n" + key, nullptr},                  // a byte-order mark
      {"\x01vorbex05 registry 1\n" + key, "\x01vorbex05 registry 1"},      // a stray byte in the header
      {"\x01\x02\xff binary\n" + key, "\x01\x02\xff binary"},
      {key, nullptr},                                                          // no header
      {"vorbex05 registry 1\n\"Out\"=1:4100\n" + key, "\"Out\"=1:4100"},     // a value outside any key
      {"vorbex05 registry 1\n" + key + "\"X\"=x:00\n", "\"X\"=x:00"},          // broken values
      {"vorbex05 registry 1\n" + key + "\"Y\"=1:4\n", "\"Y\"=1:4"},
      {"vorbex05 registry 1\n" + key + "\"Z=1:00\r\n", "\"Z=1:00"},
  };
  const AnsiString file = TFileRegistryStore::FileOf(rkCurrentUser);
  for (const auto& c : cases) {
    temp.Write("vorbex05/registry/HKEY_CURRENT_USER.reg", c.text);
    EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K", "Name"), "A") << c.text;
    for (const char* name : {"Out", "X", "Y", "Z"}) EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, "K", name, "-"), "-");
    UtlWriteRegistryText(rkCurrentUser, "K2", "Other", "ok");
    EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K", "Name"), "A") << c.text;
    EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K2", "Other"), "ok") << c.text;
    const std::string written = FileBytes(file);
    EXPECT_EQ(written.rfind("vorbex05 registry 1\n", 0), 0u) << written;
    if (c.kept) {
      EXPECT_NE(written.find(std::string(c.kept) + "\n"), std::string::npos) << written;
    }
    UtlWriteRegistryText(rkCurrentUser, "K2", "Other", "again");  // kept once, not once per write
    const std::string again = FileBytes(file);
    if (c.kept) {
      EXPECT_EQ(again.find(c.kept), again.rfind(c.kept)) << again;
    }
    EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K", "Name"), "A") << c.text;
  }
}

// A writer gives up on a lock another process holds, with an error that says
// so, and writes again once the lock is free.
TEST_F(RegistryWriting, AWriterGivesUpOnAnotherProcesssLock) {
  ForceDirectories(TFileRegistryStore::Folder());
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const std::string lockFile = AnsiToUtf8(TFileRegistryStore::LockFileOf(rkCurrentUser));
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX) == 0) (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  const int saved = TFileRegistryStore::LockTimeoutMs;
  TFileRegistryStore::LockTimeoutMs = 300;
  const auto start = std::chrono::steady_clock::now();
  try {
    UtlWriteRegistryText(rkCurrentUser, "K", "Name", "v");
    ADD_FAILURE() << "no error";
  } catch (const EUtlRegistryLocked& e) {
    EXPECT_EQ(std::string(e.what()), "The registry file " + AnsiToUtf8(TFileRegistryStore::FileOf(rkCurrentUser)) +
                                         " is locked by another process");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(UtlRegisterAutoRun(aekUserRun, "/bin/true"));  // reported, not claimed
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  UtlWriteRegistryText(rkCurrentUser, "K", "Name", "v");
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K", "Name"), "v");
  TFileRegistryStore::LockTimeoutMs = saved;
}

TEST_F(RegistryWriting, AnUnwritableStoreRaises) {
  temp.Write("vorbex05/registry", "a file where the folder belongs");
  try {
    UtlWriteRegistryText(rkCurrentUser, "Software\\X", "N", "v");
    FAIL() << "no error";
  } catch (const EUtlRegistryError& e) {
    EXPECT_STREQ(e.what(), "Unable to open the Software\\X key");
  }
  EXPECT_FALSE(UtlRegisterAutoRun(aekUserRunOnce, "/bin/true"));  // swallowed
}

TEST_F(RegistryWriting, AutoRunKeys) {
  struct Case {
    TUtlAutoExecKind kind;
    TRegistryRoot root;
    const char* last;
  } cases[] = {
      {aekMachineRun, rkLocalMachine, "Run"},          {aekMachineRunOnce, rkLocalMachine, "RunOnce"},
      {aekUserRun, rkCurrentUser, "Run"},              {aekUserRunOnce, rkCurrentUser, "RunOnce"},
      {aekServiceRun, rkLocalMachine, "RunServices"},  {aekServiceRunOnce, rkLocalMachine, "RunServicesOnce"},
  };
  for (const Case& c : cases) {
    TRegistryRoot root = 0;
    AnsiString key;
    UtlAutoRunKey(c.kind, root, key);
    EXPECT_EQ(root, c.root);
    EXPECT_EQ(key, AnsiString("Software\\Microsoft\\Windows\\CurrentVersion\\") + c.last);
  }
  // The service kinds belong to another platform line: nothing written.
  EXPECT_FALSE(UtlRegisterAutoRun(aekServiceRun, "/bin/true"));
  EXPECT_FALSE(UtlUnregisterAutoRun(aekServiceRunOnce, "/bin/true"));
  EXPECT_FALSE(FileExists(TFileRegistryStore::FileOf(rkLocalMachine)));
  // Unregistering: no key is a failure, no value is not.
  EXPECT_FALSE(UtlUnregisterAutoRun(aekMachineRun, "/bin/true"));
  ASSERT_TRUE(UtlRegisterAutoRun(aekMachineRun, "/bin/false"));
  EXPECT_TRUE(UtlUnregisterAutoRun(aekMachineRun, "/bin/true"));
  EXPECT_TRUE(FileExists(temp / "machine/autostart/false.desktop"));
  EXPECT_FALSE(FileExists(temp / "autostart/false.desktop"));
}

// Every kind that registers leaves an entry a session starts, and a run-once
// entry removes itself when the launcher starts it.
TEST_F(RegistryWriting, AutoStartEntriesOfEveryKindAreValidAndRunOnceGoesAfterItsStart) {
  const std::string program = temp.Write("bin/mark $1 \"x\"", "#!/bin/sh\necho started >> \"$0.log\"\n");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  const struct {
    TUtlAutoExecKind kind;
    const char* entry;
  } cases[] = {
      {aekMachineRun, "machine/autostart/mark $1 \"x\".desktop"},
      {aekMachineRunOnce, "machine/autostart/mark $1 \"x\"-once.desktop"},
      {aekUserRun, "autostart/mark $1 \"x\".desktop"},
      {aekUserRunOnce, "autostart/mark $1 \"x\"-once.desktop"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(UtlRegisterAutoRun(c.kind, program)) << c.entry;
    const std::string entry = temp / c.entry;
    EXPECT_EQ(AnsiToUtf8(UtlAutoStartFile(program, c.kind)), entry);
    const ShellResult check = RunShell("desktop-file-validate '" + entry + "' 2>&1; echo rc=$?");
    EXPECT_EQ(check.output, "rc=0\n") << FileBytes(entry);
    const bool once = c.kind == aekMachineRunOnce || c.kind == aekUserRunOnce;
    std::remove((program + ".log").c_str());
    const ShellResult launched = RunShell("gio launch '" + entry + "' 2>&1; echo rc=$?");
    for (int i = 0; i < 200 && FileBytes(program + ".log").empty(); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(FileBytes(program + ".log"), "started\n") << launched.output << FileBytes(entry);
    EXPECT_EQ(FileExists(entry), !once) << c.entry;
    ASSERT_TRUE(UtlUnregisterAutoRun(c.kind, program));
    EXPECT_FALSE(FileExists(entry));
  }
  // A machine folder that cannot be written: nothing claimed, nothing stored.
  setenv("XDG_CONFIG_DIRS", temp.Write("plain file", "").c_str(), 1);
  EXPECT_FALSE(UtlRegisterAutoRun(aekMachineRun, program));
  EXPECT_EQ(ReadRegistryTextOr(rkLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "mark $1 \"x\"", "-"),
            "-");
}

TEST_F(RegistryWriting, UserRunWritesAValidLoginStartFileAndRemovesIt) {
  const char* const programs[] = {"/opt/vx/backup", "/opt/My Apps/zálohy \"dnes\" $HOME 100%.sh",
                                  "/opt/a\\b/-x"};
  for (const char* program : programs) {
    ASSERT_TRUE(UtlRegisterAutoRun(aekUserRun, program)) << program;
    const AnsiString name = UtlExtractName(program);
    EXPECT_EQ(ReadRegistryText(rkCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", name), program);
    const AnsiString file = UtlAutoStartFile(program);
    EXPECT_EQ(file, AnsiString(temp.name()) + "/autostart/" + name + ".desktop");
    const ShellResult check = RunShell("desktop-file-validate '" + AnsiToUtf8(file) + "' 2>&1; echo rc=$?");
    EXPECT_EQ(check.output, "rc=0\n") << FileBytes(AnsiToUtf8(file));
    // What the launcher reads back is the program itself.
    EXPECT_EQ(RunShell("sed -n 's/^Exec=//p' '" + AnsiToUtf8(file) + "'").output.empty(), false);

    ASSERT_TRUE(UtlUnregisterAutoRun(aekUserRun, program));
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", name, "-"),
              "-");
  }
}

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 2000) == 1;
}

TEST_F(RegistryWriting, ChangeNoticesTellTheWatchedKeyApart) {
  TUtlRegChangeInfo info;
  int event = UtlCreateRegChangeEvent(rkCurrentUser, "Software\\Watched", true,
                                      REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, info);
  ASSERT_GE(event, 0);
  struct Step {
    const char* what;
    std::function<void()> change;
    bool seen;
  } steps[] = {
      {"other key", [] { UtlWriteRegistryText(rkCurrentUser, "Software\\Other", "v", "1"); }, false},
      {"key created", [] { UtlWriteRegistryText(rkCurrentUser, "Software\\Watched", "v", "1"); }, true},
      {"same value again", [] { UtlWriteRegistryText(rkCurrentUser, "Software\\Watched", "v", "1"); }, false},
      {"sub-key value", [] { UtlWriteRegistryText(rkCurrentUser, "Software\\Watched\\Sub", "v", "2"); }, true},
      {"other root", [] { UtlWriteRegistryText(rkLocalMachine, "Software\\Watched", "v", "3"); }, false},
      {"key deleted", [this] { store.DeleteKey(rkCurrentUser, u"Software\\Watched"); }, true},
  };
  for (const Step& s : steps) {
    s.change();
    ASSERT_TRUE(Readable(event)) << s.what;
    EXPECT_EQ(UtlRearmRegChangeEvent(event, info), s.seen) << s.what;
  }
  UtlCloseHandleSafe(event);
  EXPECT_EQ(event, -1);
  EXPECT_FALSE(UtlRearmRegChangeEvent(event, info));
}

// A change notice reads the key's state in many calls; the read lock keeps
// another writer's change from landing between them (which gave one change
// two notices: a state that never was, then the real one).
TEST_F(RegistryWriting, AReadLockHoldsOffWritersUntilItGoes) {
  UtlWriteRegistryText(rkCurrentUser, "Software\\Vx", "v", "1");
  std::optional<TRegistryLock> steady(std::in_place, rkCurrentUser, false);
  std::atomic<bool> written{false};
  std::thread writer([&] {
    UtlWriteRegistryText(rkCurrentUser, "Software\\Vx", "v", "2");
    written = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, "Software\\Vx", "v"), "1");  // readers still read
  UtlWriteRegistryText(rkLocalMachine, "Software\\Vx", "v", "3");  // another root is not held
  steady.reset();
  writer.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, "Software\\Vx", "v"), "2");
}

}  // namespace

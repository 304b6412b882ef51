// The file-backed registry store, registry writing, automatic-start entries
// with their login-start files, and registry change notices.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
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

struct RegistryWriting : ::testing::Test {
  void SetUp() override { setenv("XDG_CONFIG_HOME", temp.name().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
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

TEST_F(RegistryWriting, GarbledStoreFilesReadAsMissingKeys) {
  ForceDirectories(TFileRegistryStore::Folder());
  const char* const garbage[] = {
      "\x01\x02\xff binary",
      "vorbex05 registry 1\n\"Name\"=1:4100\n",                 // a value outside any key
      "vorbex05 registry 1\n[K]\n\"Name\"=1:41\n\"X\"=x:00\n\"Y\"=1:4\n\"Z=1:00\n",  // broken values
      "[K]\n\"Name\"=1:41000000\n",                             // no header
  };
  for (const char* text : garbage) {
    temp.Write("vorbex05/registry/HKEY_CURRENT_USER.reg", text);
    TRegistryValue v;
    EXPECT_FALSE(store.QueryValue(rkCurrentUser, u"K", u"Y", v)) << text;
    EXPECT_FALSE(store.QueryValue(rkCurrentUser, u"K", u"Name", v) && v.Data.size() > 4) << text;
    EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, "K", "Z", "default"), "default");
  }
  // The store is still usable: the next write replaces the file.
  UtlWriteRegistryText(rkCurrentUser, "K", "Name", "ok");
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, "K", "Name"), "ok");
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
  EXPECT_FALSE(FileExists(UtlAutoStartFile("/bin/false")));  // only the user's login kind has one
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

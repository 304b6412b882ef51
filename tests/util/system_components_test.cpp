// The small system components: automatic start switched on and off (the
// store's value and a login-start file desktop-file-validate accepts),
// shutdown and sound through a recording runner, and the Start button that
// does not exist here.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/type_info.h"
#include "platform/rtl/files.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "util/components/component_classes.h"
#include "util/components/file_operation.h"
#include "util/components/system_component_classes.h"
#include "util/components/system_components.h"
#include "util/components/wav_player.h"
#include "util/routines/registry_readers.h"
#include "util/routines/system_commands.h"

namespace {

struct Recorded {
  std::vector<AnsiString> arguments;
  bool wait;
};

struct SystemComponents : ::testing::Test {
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", tmp.name().c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (tmp / "machine").c_str(), 1);
    UtlSetCommandRunner([this](const std::vector<AnsiString>& arguments, bool wait) {
      calls.push_back({arguments, wait});
      return answer;
    });
  }
  void TearDown() override {
    UtlSetCommandRunner(nullptr);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
  }
  TempFolder tmp;
  std::vector<Recorded> calls;
  int answer = 0;
};

TEST_F(SystemComponents, AutoRunForThisUserWritesTheValueAndALoginStartFileThenRemovesBoth) {
  const AnsiString program = tmp.Write("bin/vorbex 05", "#!/bin/sh\n");
  TUtlAutoRun autoRun(nullptr);
  autoRun.SetFileName(program);
  autoRun.SetKind(aekUserRun);
  autoRun.SetAutoRun(true);
  const AnsiString runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, runKey, "vorbex 05", ""), program);
  const AnsiString desktop = UtlAutoStartFile(program);
  ASSERT_TRUE(FileExists(desktop));
  const ShellResult valid = RunShell("desktop-file-validate '" + desktop + "' 2>&1");
  EXPECT_EQ(valid.status, 0) << valid.output;
  EXPECT_EQ(valid.output, "");

  autoRun.SetAutoRun(false);
  EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, runKey, "vorbex 05", "gone"), "gone");
  EXPECT_FALSE(FileExists(desktop));
}

TEST_F(SystemComponents, AutoRunOfTheDefaultKindWritesTheMachinesEntryOrAnswersFalse) {
  const AnsiString program = tmp.Write("bin/vorbex 05", "#!/bin/sh\n");
  TUtlAutoRun autoRun(nullptr);
  EXPECT_EQ(autoRun.Kind(), aekMachineRun);
  autoRun.SetFileName(program);
  autoRun.SetAutoRun(true);
  EXPECT_TRUE(autoRun.RegisterAutoRun());
  const std::string entry = tmp / "machine/autostart/vorbex 05.desktop";
  const ShellResult valid = RunShell("desktop-file-validate '" + entry + "' 2>&1; echo rc=$?");
  EXPECT_EQ(valid.output, "rc=0\n") << FileBytes(entry);
  EXPECT_EQ(ReadRegistryTextOr(rkLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "vorbex 05", ""),
            program);
  autoRun.SetAutoRun(false);
  EXPECT_FALSE(FileExists(entry));

  setenv("XDG_CONFIG_DIRS", tmp.Write("not a folder", "").c_str(), 1);
  autoRun.SetAutoRun(true);
  EXPECT_FALSE(autoRun.RegisterAutoRun());
}

TEST_F(SystemComponents, ShutdownAsksTheSystemToolsForEachAction) {
  const char* user = std::getenv("USER");
  unsetenv("XDG_SESSION_ID");
  const struct {
    TUtlShutdownActionType action;
    bool force;
    std::vector<AnsiString> command;
  } cases[] = {
      {aatPowerOff, false, {"systemctl", "poweroff"}},
      {aatShutdown, true, {"systemctl", "halt", "--ignore-inhibitors"}},
      {aatReboot, false, {"systemctl", "reboot"}},
      {aatSuspend, false, {"systemctl", "suspend"}},
      {aatHibernate, true, {"systemctl", "hibernate", "--ignore-inhibitors"}},
      {aatLogOff, false, {"loginctl", "terminate-user", user ? user : ""}},
  };
  TUtlShutdown shutdown(nullptr);
  for (const auto& c : cases) {
    calls.clear();
    shutdown.SetActionType(c.action);
    shutdown.SetForce(c.force);
    EXPECT_TRUE(shutdown.Execute());
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].arguments, c.command);
    EXPECT_TRUE(calls[0].wait);
  }
  answer = 1;  // refused by the system
  EXPECT_FALSE(shutdown.Execute());
  calls.clear();
  shutdown.OnQueryShutdown = [](TObject*, bool& can) { can = false; };
  EXPECT_FALSE(shutdown.Execute());
  EXPECT_TRUE(calls.empty());
}

TEST_F(SystemComponents, SoundsPlayFromAFileOrTheStoredBytesAndStop) {
  const AnsiString wav = tmp.Write("ding.wav", "RIFF....WAVEfmt ");
  TUtlWav sound(nullptr);
  std::vector<std::string> events;
  sound.OnPlayBefore = [&](TObject*) { events.push_back(sound.Playing() ? "before playing" : "before"); };
  sound.OnPlayAfter = [&](TObject*) { events.push_back("after"); };
  sound.SetFileName(wav);
  sound.Play();
  sound.SetAsyncPlay(false);
  sound.Play();
  ASSERT_EQ(calls.size(), 4u);  // each play stops what plays first
  EXPECT_EQ(calls[0].arguments, std::vector<AnsiString>{});
  EXPECT_EQ(calls[1].arguments, (std::vector<AnsiString>{"aplay", "-q", wav}));
  EXPECT_FALSE(calls[1].wait);
  EXPECT_TRUE(calls[3].wait);
  EXPECT_EQ(events, (std::vector<std::string>{"before playing", "after", "before playing", "after"}));
  EXPECT_FALSE(sound.Playing());

  calls.clear();
  sound.SetPlayFrom(pfDFM);  // the file's bytes become the stored sound
  EXPECT_EQ(sound.DataSize(), 16u);
  sound.SetLooped(true);
  sound.SetNoStopSound(true);
  sound.Play();
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].arguments.size(), 5u);
  EXPECT_EQ(calls[0].arguments[0], "sh");
  EXPECT_FALSE(calls[0].wait);  // a loop never blocks
  EXPECT_EQ(FileBytes(calls[0].arguments[4].c_str()), "RIFF....WAVEfmt ");

  calls.clear();
  for (TUtlWavPlayFrom from : {pfSystemEvent, pfResource}) {  // no event sounds; no "WAVE1" in this program
    sound.SetPlayFrom(from);
    sound.Play();
  }
  sound.Stop();
  ASSERT_EQ(calls.size(), 1u);  // only the stop
  EXPECT_TRUE(calls[0].arguments.empty());
}

TEST_F(SystemComponents, TheStartButtonReadsZero) {
  TUtlStartButtonProperties start(nullptr);
  start.SetButtonLeft(100);
  EXPECT_EQ(start.ButtonLeft() + start.ButtonTop() + start.ButtonWidth() + start.ButtonHeight(), 0);
  EXPECT_FALSE(start.Visible());
}

TEST(SystemComponentClasses, TheNamesCreateTheirClassesAndASecondRegistrationIsSilent) {
  RegisterUtilComponents();
  EXPECT_NO_THROW(RegisterSystemComponentClasses());
  for (const TUtlClassEntry& entry : SystemComponentClasses()) {
    const TComponentFactory* factory = GetClass(entry.first);
    ASSERT_NE(factory, nullptr) << entry.first;
    TOwned<TComponent> c((*factory)(nullptr));
    EXPECT_TRUE(c != nullptr) << entry.first;
  }
}

// Form data that names a class as the components' other edition does builds
// the same component, with its published values.
TEST(SystemComponentClasses, TheOtherEditionsNamesBuildTheSameComponents) {
  RegisterUtilComponents();
  ASSERT_EQ(UtilComponentOtherNames().size(), 25u);
  for (const auto& [other, ours] : UtilComponentOtherNames()) {
    const TComponentFactory* factory = GetClass(other);
    ASSERT_NE(factory, nullptr) << other;
    TOwned<TComponent> c((*factory)(nullptr));
    EXPECT_EQ(c->ClassName(), ours) << other;
  }
  TOwned<TComponent> op((*GetClass("TabfFileOperation"))(nullptr));
  SetEnumProp(op.get(), "Operation", "fotMove");
  EXPECT_EQ(dynamic_cast<TUtlFileOperation&>(*op).Operation(), fotMove);
}

}  // namespace

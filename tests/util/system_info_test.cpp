// Release classification over injected version facts and registry values, the
// registry readers and their messages, and the published system information.

#include "util/routines/system_info.h"

#include <gtest/gtest.h>

#include "platform/rtl/text.h"
#include "tests/support/shell_runner.h"
#include "util/routines/util_errors.h"
#include "util/routines/registry_readers.h"

namespace {

const WideString kVersionKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Each test reads from a registry of its own.
class Registry : public ::testing::Test {
protected:
  void SetUp() override { SetRegistryStore(&store); }
  void TearDown() override { SetRegistryStore(nullptr); }
  void Set(const WideString& name, TRegistryValue value) {
    store.SetValue(rkLocalMachine, kVersionKey, name, std::move(value));
  }
  TMemoryRegistryStore store;
};

TWindowsVersionFacts Facts(int platform, int major, int minor, const char* servicePack = "") {
  TWindowsVersionFacts f;
  f.PlatformId = platform;
  f.Major = major;
  f.Minor = minor;
  f.ServicePack = servicePack;
  return f;
}

TWindowsVersionFacts Server(TWindowsVersionFacts f) {
  f.ProductType = 3;
  return f;
}

TEST_F(Registry, VersionNumbersAloneClassifyMostReleases) {
  TWindowsVersionFacts me = Facts(1, 4, 10);
  me.KernelProductVersion = 0x0004005A;
  TWindowsVersionFacts r2 = Facts(2, 5, 2);
  r2.ServerR2 = true;
  r2.NativeArchitecture = 0;
  TWindowsVersionFacts xp64 = Facts(2, 5, 2);
  TWindowsVersionFacts x86 = Facts(2, 5, 2);
  x86.NativeArchitecture = 0;
  struct Case {
    TWindowsVersionFacts facts;
    TWindowsRelease release;
  } cases[] = {
      {Facts(1, 4, 0, " B "), relWin95OSR2}, {Facts(1, 4, 0, "b"), relWin95},  {Facts(1, 4, 0, "C"), relWin95OSR2},
      {me, relWinME},                        {Facts(1, 4, 10, "A"), relWin98SE}, {Facts(1, 4, 10), relWin98},
      {Facts(1, 4, 90), relWinME},           {Facts(1, 4, 95), relUnknown},
      {Facts(2, 3, 1), relWinNT31},          {Facts(2, 3, 5), relWinNT35},      {Facts(2, 3, 51), relWinNT351},
      {Facts(2, 3, 2), relUnknown},          {Facts(2, 4, 0), relWinNT4},       {Facts(2, 5, 0), relWin2000},
      {Facts(2, 5, 1), relWinXP},            {r2, relWinServer2003R2},          {xp64, relWinXP64},
      {x86, relWinServer2003},               {Server(xp64), relWinServer2003},  {Facts(2, 5, 3), relUnknown},
      {Facts(2, 6, 0), relWinVista},         {Server(Facts(2, 6, 0)), relWinServer2008},
      {Facts(2, 6, 1), relWin7},             {Server(Facts(2, 6, 1)), relWinServer2008R2},
      {Facts(2, 6, 3), relWin81},            {Server(Facts(2, 6, 3)), relWinServer2012R2},
      {Facts(2, 10, 0), relWin10},           {Server(Facts(2, 10, 0)), relWinServer2016},
      {Facts(2, 10, 1), relUnknown},         {Facts(2, 7, 0), relUnknown},      {Facts(3, 10, 0), relUnknown},
      {PlatformVersionFacts(), relWin10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyWindowsRelease(c.facts), c.release)
        << c.facts.PlatformId << " " << c.facts.Major << "." << c.facts.Minor << " '" << c.facts.ServicePack << "'";
  }
}

TEST_F(Registry, ReleasesReporting62AreToldApartByTheRegistry) {
  struct Case {
    const char16_t* product;
    int major;  // CurrentMajorVersionNumber, -1 for none
    int minor;
    bool server;
    TWindowsRelease release;
  } cases[] = {
      {u"Windows 8.1 Pro", -1, -1, false, relWin81},
      {u"Windows Server 2012 R2 Standard", -1, -1, true, relWinServer2012R2},
      {u"Windows 8 Pro", -1, -1, false, relWin8},
      {u"Windows Server 2012 Standard", -1, -1, true, relWinServer2012},
      {u"windows 8", -1, -1, false, relWin10},  // compared exactly: unknown name, registry major 6
      {u"Windows 10 Pro", 10, 0, false, relWin10},
      {u"Windows 10 Pro", 10, 0, true, relWinServer2016},
      {u"Windows 10 Pro", 10, 1, false, relUnknown},
      {u"Windows 10 Pro", 6, -1, true, relWinServer2016},
      {nullptr, -1, -1, false, relWin10},  // nothing recorded: 6.2 itself, so sub-version 4
  };
  for (const Case& c : cases) {
    TMemoryRegistryStore fresh;
    store = fresh;
    if (c.product) Set(u"ProductName", RegistryText(c.product));
    if (c.major >= 0) Set(u"CurrentMajorVersionNumber", RegistryDword(c.major));
    if (c.minor >= 0) Set(u"CurrentMinorVersionNumber", RegistryDword(c.minor));
    TWindowsVersionFacts facts = Facts(2, 6, 2);
    if (c.server) facts = Server(facts);
    EXPECT_EQ(ClassifyWindowsRelease(facts), c.release) << (c.product ? WideToAnsi(c.product) : "none");
  }
}

TEST_F(Registry, TheVersionTextGivesTheTrueNumbersAndMustHoldIntegers) {
  Set(u"CurrentVersion", RegistryText(u"10.0"));
  EXPECT_EQ(TrueWindowsMajorVersion(Facts(2, 6, 2)), 10);
  EXPECT_EQ(TrueWindowsMinorVersion(Facts(2, 6, 2)), 0);
  EXPECT_EQ(TrueWindowsMajorVersion(Facts(2, 6, 1)), 6);
  EXPECT_EQ(ClassifyWindowsRelease(Facts(2, 6, 2)), relWin10);
  Set(u"CurrentVersion", RegistryText(u"x.0"));
  EXPECT_THROW(ClassifyWindowsRelease(Facts(2, 6, 2)), EConvertError);
}

TEST_F(Registry, RootNamesInKeyPathsMustMatchTheRoot) {
  EXPECT_EQ(StripRootKeyPrefix(rkLocalMachine, "HKLM\\Software\\X"), "Software\\X");
  EXPECT_EQ(StripRootKeyPrefix(rkLocalMachine, "\\HKEY_LOCAL_MACHINE\\Software"), "Software");
  EXPECT_EQ(StripRootKeyPrefix(rkCurrentUser, "\\Software"), "Software");
  EXPECT_EQ(StripRootKeyPrefix(rkCurrentUser, "HKLMX\\Software"), "HKLMX\\Software");
  try {
    StripRootKeyPrefix(rkCurrentUser, "HKLM\\Software");
    FAIL();
  } catch (const EUtlRegistryError& e) {
    EXPECT_EQ(e.Message(), "\"HKLM\\Software\" does not match RootKey");
  }
  Set(u"ProductName", RegistryText(u"Produkt"));
  EXPECT_EQ(ReadRegistryText(rkLocalMachine, "HKLM\\" + WideToAnsi(kVersionKey), "ProductName"), "Produkt");
  EXPECT_EQ(ReadRegistryTextOr(rkCurrentUser, "HKLM\\" + WideToAnsi(kVersionKey), "ProductName", "d"), "d");
  EXPECT_EQ(RootKeyDisplayName(rkUsers), "HKEY_USERS");
  EXPECT_EQ(RootKeyDisplayName(0x12), "$00000012");
}

TEST_F(Registry, ReadersReportEachFailingStep) {
  const AnsiString key = WideToAnsi(kVersionKey);
  Set(u"Build", RegistryDword(19045));
  Set(u"Text", RegistryText(u"Žluťoučký"));
  struct Case {
    AnsiString key;
    AnsiString name;
    AnsiString message;
  } cases[] = {
      {"Software\\Missing", "A", "Unable to open key \"HKEY_LOCAL_MACHINE\\Software\\Missing\" for read"},
      {key, "Missing", "Unable to open key \"HKEY_LOCAL_MACHINE\\" + key + "\" and access value \"Missing\""},
  };
  for (const Case& c : cases) {
    try {
      ReadRegistryText(rkLocalMachine, c.key, c.name);
      ADD_FAILURE() << c.name;
    } catch (const EUtlRegistryError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  try {
    ReadRegistryText(rkLocalMachine, key, "Build");
    ADD_FAILURE();
  } catch (const EUtlRegistryError& e) {
    EXPECT_EQ(e.Message(), "\"HKEY_LOCAL_MACHINE\\" + key + "\\Build\" is of wrong kind or size");
  }
  AnsiString value = "old";
  EXPECT_FALSE(ReadRegistryTextEx(rkLocalMachine, key, "Build", value, false));
  EXPECT_EQ(value, "");
  EXPECT_EQ(ReadRegistryText(rkLocalMachine, key, "Text"), "Žluťoučký");
  EXPECT_EQ(ReadRegistryTextOr(rkLocalMachine, key, "Missing", "default"), "default");
}

TEST_F(Registry, IntegersFromNumbersDataAndTexts) {
  const AnsiString key = WideToAnsi(kVersionKey);
  Set(u"Dword", RegistryDword(7));
  Set(u"Qword", TRegistryValue{kRegQword, std::string("\x05\0\0\0\x01\0\0\0", 8)});
  Set(u"Digits", RegistryText(u"-42"));
  Set(u"Words", RegistryText(u"forty"));
  Set(u"Long", TRegistryValue{kRegBinary, std::string(9, '\1')});
  std::int32_t value = 0;
  EXPECT_TRUE(ReadRegistryInteger(rkLocalMachine, key, "Dword", true, value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(ReadRegistryInteger(rkLocalMachine, key, "Qword", true, value));
  EXPECT_EQ(value, 5);  // the low half
  EXPECT_EQ(ReadRegistryIntegerOr(rkLocalMachine, key, "Digits", 0), -42);
  EXPECT_FALSE(ReadRegistryInteger(rkLocalMachine, key, "Words", false, value));
  EXPECT_THROW(ReadRegistryInteger(rkLocalMachine, key, "Words", true, value), EConvertError);
  EXPECT_FALSE(ReadRegistryInteger(rkLocalMachine, key, "Long", false, value));
  EXPECT_THROW(ReadRegistryInteger(rkLocalMachine, key, "Long", true, value), EUtlRegistryError);
  EXPECT_EQ(ReadRegistryIntegerOr(rkLocalMachine, key, "Missing", -1), -1);
  std::uint32_t type = 99;
  EXPECT_TRUE(GetRegistryValueType(rkLocalMachine, key, "Digits", type));
  EXPECT_EQ(type, kRegString);
  EXPECT_FALSE(GetRegistryValueType(rkLocalMachine, key, "Missing", type));
  EXPECT_EQ(type, kRegNone);
}

TEST(SystemInformation, PublishedStateAndReleaseFlags) {
  InitSystemInformation();
  const TSystemInformation& info = SystemInformation();
  EXPECT_TRUE(info.IsWinNT);
  EXPECT_EQ(info.Release, relWin10);
  EXPECT_TRUE(info.ReleaseFlags[relWin10]);
  EXPECT_GE(info.ProcessorCount, 1u);
  EXPECT_GT(info.PageSize, 0u);
  EXPECT_EQ(info.KernelProductVersion, 0u);
  EXPECT_TRUE(IsWindowsVersionAtLeast(10, 0));
  EXPECT_FALSE(IsWindowsVersionAtLeast(10, 1));
  // The running system itself, as its own tools name it.
  EXPECT_EQ(info.SystemName + "\n", RunShell("uname -s").output);
  EXPECT_EQ(info.KernelRelease + "\n", RunShell("uname -r").output);
  EXPECT_EQ(info.KernelVersion + "\n", RunShell("uname -v").output);
  EXPECT_EQ(info.Machine + "\n", RunShell("uname -m").output);
  EXPECT_EQ(AnsiToUtf8(info.Distribution) + "\n", RunShell(". /etc/os-release && echo \"$PRETTY_NAME\"").output);

  InitSystemInformation(Facts(2, 3, 51));
  EXPECT_TRUE(info.ReleaseFlags[relWinNT351]);
  EXPECT_TRUE(info.ReleaseFlags[relWinNT35]);
  EXPECT_FALSE(info.ReleaseFlags[relWin10]);
  EXPECT_TRUE(info.IsWinNT3);
  InitSystemInformation(Facts(1, 4, 10, "A"));
  EXPECT_FALSE(info.IsWinNT);
  EXPECT_EQ(info.Release, relWin98SE);
}

}  // namespace

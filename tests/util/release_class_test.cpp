// The desktop components' own release classification: service texts are
// trimmed and compared exactly, and the unknown release counts as later.
#include <gtest/gtest.h>

#include "util/routines/release_class.h"

namespace {

TEST(ReleaseClass, VersionsAndServiceTexts) {
  struct Case {
    int platform, major, minor;
    const char* service;
    TUtlWinRelease release;
  } cases[] = {
      {1, 4, 0, "", awrWin95},     {1, 4, 0, " B ", awrWin95OSR2}, {1, 4, 0, "C", awrWin95},  // "C" is not OSR2 here
      {1, 4, 10, "A", awrWin98SE}, {1, 4, 10, "B", awrWin98},      {1, 4, 90, "", awrWinME},
      {1, 4, 3, "", awrUnknown},   {2, 3, 51, "", awrNT3},         {2, 4, 0, "", awrNT4},
      {2, 5, 0, "", awrWin2000},   {2, 5, 1, "", awrWinXP},        {2, 5, 2, "", awrServer2003},
      {2, 6, 1, "", awrUnknown},   {2, 10, 0, "", awrUnknown},     {3, 5, 1, "", awrUnknown},
  };
  for (const Case& c : cases) {
    TWindowsVersionFacts f;
    f.PlatformId = c.platform;
    f.Major = c.major;
    f.Minor = c.minor;
    f.ServicePack = c.service;
    const TUtlReleaseClass r = UtlClassifyWindows(f);
    EXPECT_EQ(r.Release, c.release) << c.platform << " " << c.major << "." << c.minor << " '" << c.service << "'";
    EXPECT_EQ(r.IsWin9x, c.platform == 1);
    EXPECT_EQ(r.IsWinNT, c.platform == 2);
  }
}

TEST(ReleaseClass, CumulativeFlags) {
  struct Case {
    int major, minor;
    bool win98, win2000, winXP;
  } cases[] = {
      {4, 0, false, false, false}, {5, 0, true, true, false}, {5, 1, true, true, true}, {10, 0, true, true, true},
  };
  for (const Case& c : cases) {
    TWindowsVersionFacts f;
    f.Major = c.major;
    f.Minor = c.minor;
    const TUtlReleaseClass r = UtlClassifyWindows(f);
    EXPECT_EQ(r.IsWin98OrLater, c.win98) << c.major;
    EXPECT_EQ(r.IsWin2000OrLater, c.win2000) << c.major;
    EXPECT_EQ(r.IsWinXPOrLater, c.winXP) << c.major;
  }
  EXPECT_EQ(UtlThisRelease().Release, awrUnknown);
  EXPECT_TRUE(UtlThisRelease().IsWinNT);
}

}  // namespace

// The desktop components' release classification (see release_class.h).
#include "util/routines/release_class.h"

#include "platform/rtl/text.h"

namespace {
TUtlWinRelease Classify(const TWindowsVersionFacts& f, TUtlReleaseClass& c) {
  const AnsiString service = Trim(f.ServicePack);
  if (f.PlatformId == kPlatformConsumer) {
    c.IsWin9x = true;
    switch (f.Minor) {
      case 0: return service == "B" ? awrWin95OSR2 : awrWin95;
      case 10: return service == "A" ? awrWin98SE : awrWin98;
      case 90: return awrWinME;
      default: return awrUnknown;
    }
  }
  if (f.PlatformId == kPlatformNT) {
    c.IsWinNT = true;
    switch (f.Major) {
      case 3: return awrNT3;
      case 4: return awrNT4;
      case 5: return f.Minor == 1 ? awrWinXP : f.Minor == 2 ? awrServer2003 : awrWin2000;
      default: return awrUnknown;
    }
  }
  return awrUnknown;
}
}  // namespace

TUtlReleaseClass UtlClassifyWindows(const TWindowsVersionFacts& facts) {
  TUtlReleaseClass c;
  c.Release = Classify(facts, c);
  const int v = c.Release;
  c.IsWin98OrLater = v == 0 || v >= awrWin98;
  c.IsWin2000OrLater = v == 0 || v >= awrWin2000;
  c.IsWinXPOrLater = v == 0 || v >= awrWinXP;
  return c;
}

const TUtlReleaseClass& UtlThisRelease() {
  static const TUtlReleaseClass c = UtlClassifyWindows(PlatformVersionFacts());
  return c;
}

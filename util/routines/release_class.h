// The desktop components' own, simpler classification of the Windows release
// the system presents itself as (it differs from the system information's on
// purpose in how service releases count), with its platform-line and
// cumulative flags.
#pragma once

#include "util/routines/system_info.h"

enum TUtlWinRelease {
  awrUnknown, awrNT3, awrWin95, awrWin95OSR2, awrNT4, awrWin98, awrWin98SE, awrWinME, awrWin2000, awrWinXP,
  awrServer2003
};

struct TUtlReleaseClass {
  TUtlWinRelease Release = awrUnknown;
  bool IsWin9x = false, IsWinNT = false;
  // The unknown release counts as later in all three.
  bool IsWin98OrLater = true, IsWin2000OrLater = true, IsWinXPOrLater = true;
};

TUtlReleaseClass UtlClassifyWindows(const TWindowsVersionFacts& facts);
// The running system's (NT line, 10.0: unknown release).
const TUtlReleaseClass& UtlThisRelease();

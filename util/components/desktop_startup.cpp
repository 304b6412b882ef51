// Start-up work of the desktop component routines, done once on first use:
// a static initialiser would run before the window layer it registers the
// message with is guaranteed to exist, and the values are the same either way.
#include "util/components/desktop_startup.h"

#include <array>
#include <utility>

#include "platform/gui/user.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"

namespace {
constexpr std::array<std::pair<const char*, TColor>, 21> kColorNames = {{
    {"clBrown", 0x003090}, {"clOliveGreen", 0x003030}, {"clDarkGreen", 0x003000}, {"clDarkTeal", 0x603000},
    {"clIndigo", 0x903030}, {"clNight", 0x303030}, {"clOrange", 0x0068FF}, {"clBlueGray", 0x906060},
    {"clLightOrange", 0x0098FF}, {"clSeaGreen", 0x609830}, {"clLightBlue", 0xFF6830}, {"clMetal", 0x909090},
    {"clGold", 0x00C8FF}, {"clPlum", 0x603090}, {"clRose", 0xD098FF}, {"clTan", 0xA0C8FF},
    {"clLightYellow", 0x90FFFF}, {"clLightGreen", 0xD0FFD0}, {"clLightTurquoise", 0xFFFFC0},
    {"clPaleBlue", 0xFFC890}, {"clLavender", 0xFF98C0},
}};

TUtlDesktopFacts Compute() {
  TUtlDesktopFacts f;
  const AnsiString program = ParamStr(0);
  if (!program.empty()) f.LogFileName = ChangeFileExt(program, ".log");
  const TUtlReleaseClass& release = UtlThisRelease();
  f.Release = release.Release;
  f.IsWin9x = release.IsWin9x;
  f.IsWinNT = release.IsWinNT;
  f.IsWin98OrLater = release.IsWin98OrLater;
  f.IsWin2000OrLater = release.IsWin2000OrLater;
  f.IsWinXPOrLater = release.IsWinXPOrLater;
  f.ProgramFolder = ExtractFilePath(program);
  f.TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  return f;
}
}  // namespace

const TUtlDesktopFacts& DesktopFacts() {
  static const TUtlDesktopFacts facts = Compute();
  return facts;
}

bool UtlColorToIdent(TColor color, AnsiString& name) {
  for (const auto& [n, c] : kColorNames)
    if (c == color) {
      name = n;
      return true;
    }
  return false;
}

bool UtlIdentToColor(const AnsiString& name, TColor& color) {
  for (const auto& [n, c] : kColorNames)
    if (AnsiSameText(n, name)) {
      color = c;
      return true;
    }
  return false;
}

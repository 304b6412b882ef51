// What the desktop component routines set up when the program starts,
// whether or not a component is created: the log file name and program
// folder, the release classification with its flags, the 21 extra colour
// names, and the "TaskbarCreated" message the tray icons listen for.
#pragma once

#include "platform/gui/gdi_types.h"
#include "platform/rtl/strings.h"
#include "util/routines/release_class.h"

struct TUtlDesktopFacts {
  AnsiString LogFileName;    // the program file with ".log" for its extension
  AnsiString ProgramFolder;  // with its trailing separator
  // This system is none of the releases (NT line, unknown release), which
  // counts as later in the three cumulative flags.
  TUtlWinRelease Release = awrUnknown;
  bool IsWin9x = false, IsWinNT = false;
  bool IsWin98OrLater = true, IsWin2000OrLater = true, IsWinXPOrLater = true;
  unsigned TaskbarCreatedMessage = 0;
};

// Computed once, on first use.
const TUtlDesktopFacts& DesktopFacts();

// The 21 extra colour names ("clBrown" ... "clLavender"), compared without
// regard to letter case; false for any other name or colour.
bool UtlColorToIdent(TColor color, AnsiString& name);
bool UtlIdentToColor(const AnsiString& name, TColor& color);

// The general routines the backup program calls at start-up and during a run:
// string pieces, a case-insensitive replace-all, the wildcard matcher of table
// masks, the program folder, running a program and waiting for it, a delay
// that keeps the windows alive, the cached temporary folder, folder creation
// and float truncation. The local address and the temporary folder itself are
// the runtime's (platform/rtl/net_info.h, platform/rtl/files.h).
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

// The first Count characters of S (all of S when longer, empty when Count <= 0).
AnsiString LeftChars(const AnsiString& s, int count);
// S with PathDelim appended unless it already ends with one.
AnsiString AddBackslash(const AnsiString& s);

// Pieces of S cut at each Delimiter: a delimiter at the very end starts no
// piece, two adjacent ones enclose an empty piece, an empty S has none.
int WordCount(const AnsiString& s, char delimiter);
// Piece Index (from 0); empty when S has fewer pieces.
AnsiString DelimitedPiece(const AnsiString& s, char delimiter, int index);
// The name the backup program uses for DelimitedPiece.
inline AnsiString ExtractWord(const AnsiString& s, char delimiter, int index) {
  return DelimitedPiece(s, delimiter, index);
}

// Every occurrence of OldText, found without regard to letter case, replaced
// by NewText; the search goes on after the inserted text, so NewText may
// contain OldText. An empty OldText changes nothing.
AnsiString ReplaceAllText(const AnsiString& s, const AnsiString& oldText, const AnsiString& newText);

// Left-to-right "*"/"?" matcher with exact letters (callers upper-case both).
// A "*" skips S to the first occurrence of the mask character after it (taken
// literally, even "?") and is retried one character further on a later
// mismatch, until a "?" has been consumed; an empty mask matches only "".
bool WildcardMatch(const AnsiString& s, const AnsiString& mask);

// The running program's folder with a trailing PathDelim.
AnsiString GetProgramDir();

// Starts CommandLine (split by the platform's command-line rules; ".bat" files
// run through /bin/sh). With Wait, blocks without pumping messages until the
// program ends. Returns whether the process was started; it is always reaped.
// Hidden has no meaning here: programs never get a window from us.
bool RunProgram(const AnsiString& commandLine, bool hidden, bool wait);

// Returns after Milliseconds on the clock while dispatching messages, so timers
// and windows stay alive; between messages it sleeps instead of spinning.
// Messages are dispatched at least once, also for 0. A posted quit ends the
// wait early and stays posted for the main loop.
void Delay(std::uint32_t milliseconds);

// GetTempDir of the first call, returned unchanged for the rest of the run.
AnsiString GetCachedTempDir();

// Creates Dir and every missing parent. True when the folder exists afterwards
// or is the root; False for an empty name, a relative single name (no parent)
// or a folder that cannot be created.
bool CreateFolderChain(const AnsiString& dir);

// X truncated toward zero; -2147483648 when outside the 32-bit range or NaN.
int TruncToInt(long double x);

// The larger / the smaller of two integers.
inline int MaxOf(int a, int b) { return a > b ? a : b; }
inline int MinOf(int a, int b) { return a < b ? a : b; }

// The process error mode. Nothing here shows critical-error or open-file
// boxes, so the mode changes no behaviour; it is kept so that code which sets
// a mode for a while and puts the old one back sees the values it set.
constexpr unsigned SEM_FAILCRITICALERRORS = 0x0001;
constexpr unsigned SEM_NOOPENFILEERRORBOX = 0x8000;
// Returns the previous mode.
unsigned SetErrorMode(unsigned mode);

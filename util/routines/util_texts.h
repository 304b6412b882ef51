// The utility library's message texts, verbatim. "%s" and "%u" are filled with
// Format.
#pragma once

inline constexpr char RsIntlAnsiReplacementChar[] = "Failed to get ANSI replacement character";
inline constexpr char RsBlankSearchString[] = "Search string cannot be blank";
inline constexpr char RsArgumentOutOfRange[] = "Argument out of range";
inline constexpr char RsUnableToOpenKeyRead[] = "Unable to open key \"%s\\%s\" for read";
inline constexpr char RsUnableToAccessValue[] = "Unable to open key \"%s\\%s\" and access value \"%s\"";
inline constexpr char RsWrongValueKind[] = "\"%s\\%s\\%s\" is of wrong kind or size";
inline constexpr char RsInconsistentPath[] = "\"%s\" does not match RootKey";
inline constexpr char RsSynchCreateMutex[] = "Failed to create mutex";
inline constexpr char RsInvalidMMFName[] = "Invalid MMF name \"%s\"";
inline constexpr char RsInvalidMMFEmpty[] = "The MMF named \"%s\" cannot be created empty";
inline constexpr char RsWin32Prefix[] = "Win32 error: %s (%u)%s%s";
inline constexpr char RsOSVersionWin8[] = "Windows 8";
inline constexpr char RsOSVersionWinServer2012[] = "Windows Server 2012";
inline constexpr char RsOSVersionWin81[] = "Windows 8.1";
inline constexpr char RsOSVersionWinServer2012R2[] = "Windows Server 2012 R2";

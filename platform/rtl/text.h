// Text helpers of the platform: Windows-1250 <-> UTF-16 <-> UTF-8 conversion,
// locale-aware comparison and casing under the Czech collation, ASCII helpers,
// and the small string routines (Trim, Pos, Copy, quoting) whose positions are
// 1-based like the rest of the system's string handling.
#pragma once

#include <string_view>

#include "platform/rtl/strings.h"

// --- Code page conversion -------------------------------------------------
// Every byte maps to one UTF-16 unit; the five bytes that Windows-1250 leaves
// undefined map to the C1 control of the same value, so all 256 round-trip.
// Characters without a Windows-1250 byte become "?".
char16_t AnsiCharToWide(unsigned char c);
char AnsiCharFromWide(char16_t c, char fallback = '?');
WideString AnsiToWide(std::string_view s);
AnsiString WideToAnsi(std::u16string_view s);

// UTF-8 is what crosses to the operating system (file names, console, argv).
// Malformed UTF-8 input decodes to U+FFFD per bad byte (then "?" in AnsiString).
std::string AnsiToUtf8(std::string_view s);
AnsiString Utf8ToAnsi(std::string_view s);
std::string WideToUtf8(std::u16string_view s);
WideString Utf8ToWide(std::string_view s);

// --- Locale-aware comparison and casing ("cs") ----------------------------
// Results are <0, 0 or >0. Ties of the collation are broken by bytes (or UTF-16
// units), so only identical texts compare equal; the *Text forms ignore case
// and break ties on the upper-cased texts.
int AnsiCompareStr(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
int WideCompareStr(std::u16string_view a, std::u16string_view b);
int WideCompareText(std::u16string_view a, std::u16string_view b);

// Character-by-character case mapping; the length never changes and a
// character whose other case has no Windows-1250 byte stays as it is.
AnsiString AnsiUpperCase(std::string_view s);
AnsiString AnsiLowerCase(std::string_view s);
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
WideString WideUpperCase(std::u16string_view s);
WideString WideLowerCase(std::u16string_view s);

// --- ASCII-only helpers (only "a".."z" / "A".."Z" change case) -------------
AnsiString UpperCase(std::string_view s);
AnsiString LowerCase(std::string_view s);
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// --- Trimming: characters up to and including the blank (control chars) ---
AnsiString Trim(std::string_view s);
AnsiString TrimLeft(std::string_view s);
AnsiString TrimRight(std::string_view s);

// --- Positions are 1-based; 0 means "not found" ---------------------------
// Pos finds SubStr in S (0 for an empty SubStr); PosEx starts at Offset.
int Pos(std::string_view subStr, std::string_view s);
int PosEx(std::string_view subStr, std::string_view s, int offset = 1);
// Copy takes Count bytes from 1-based Index; out-of-range parts are clipped.
AnsiString Copy(std::string_view s, int index, int count);
// Removes Count bytes from 1-based Index (clipped); Insert puts Source before
// 1-based Index (clipped to the ends).
void Delete(AnsiString& s, int index, int count);
void Insert(std::string_view source, AnsiString& s, int index);

enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
// Replaces the first (or, with rfReplaceAll, every) occurrence of OldPattern;
// rfIgnoreCase matches with the locale's upper-casing.
AnsiString StringReplace(std::string_view s, std::string_view oldPattern,
                         std::string_view newPattern, int flags);
// Repeats a character.
AnsiString StringOfChar(char c, int count);

// --- Quoting ---------------------------------------------------------------
// QuotedStr wraps in apostrophes and doubles the ones inside; AnsiQuotedStr
// does the same with any quote character.
AnsiString QuotedStr(std::string_view s);
AnsiString AnsiQuotedStr(std::string_view s, char quote);
// Reads a quoted text starting at s[pos] (which must be the quote), undoubles
// inner quotes and leaves pos just past the closing quote (or at the end when
// it is missing). Returns "" and leaves pos alone when s[pos] is not the quote.
AnsiString AnsiExtractQuotedStr(std::string_view s, size_t& pos, char quote);

// String and character routines of the utility library: the character-type and
// case tables built at start-up, case-insensitive search and slicing, tokens,
// the file-mask matcher that file listings use, and locale text comparison.
// All over Windows-1250 bytes; positions are 1-based.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

class TStrings;

// --- character tables (built by BuildCharTypeTable / BuildCaseTables) -------
constexpr int kLowerCaseTable = 0;
constexpr int kUpperCaseTable = 256;
constexpr int kSwapCaseTable = 512;

void BuildCharTypeTable();
// Builds the three case tables once; later calls do nothing.
void BuildCaseTables();
bool IsUpperChar(char c);
bool IsLowerChar(char c);
// Every byte of S through the case table at Offset (0, 256 or 512).
void MapCaseInPlace(AnsiString& s, int offset);
void UpperCaseInPlace(AnsiString& s);
AnsiString UpperCaseCopy(const AnsiString& s);

// --- search and slicing ------------------------------------------------------
// Position of SubStr in S, both upper-cased; 0 when absent.
int PosNoCase(const AnsiString& subStr, const AnsiString& s);
// First case-insensitive occurrence at or after Index; 0 when none or when
// either text is empty.
int FindTextFrom(const AnsiString& subStr, const AnsiString& s, int index);
// The part of S after / before the first case-insensitive SubStr; TextAfter
// is empty and TextBefore all of S when there is none.
AnsiString TextAfter(const AnsiString& subStr, const AnsiString& s);
AnsiString TextBefore(const AnsiString& subStr, const AnsiString& s);
AnsiString TextLeft(const AnsiString& s, int count);
AnsiString TextFrom(const AnsiString& s, int n);
// Token := S up to the first Separator, S := the rest after it (without one:
// Token := S, S := empty).
void TakeToken(AnsiString& s, char separator, AnsiString& token);
// List cleared, then one entry per token while text remains: "a;;b" gives
// three entries, "a;" one, "" none. Nothing when List is null.
void SplitToList(const AnsiString& s, char separator, TStrings* list);

// "*" any run (also empty), "?" one character, other bytes exact; S is
// matched from Index. Raises EUtlStringError for an empty mask ("Search
// string cannot be blank") and for Index outside S ("Argument out of range");
// the mask "*" matches before either check on S.
bool StrMatchesMask(const AnsiString& mask, const AnsiString& s, int index);

// First occurrence of SubText in Text (NUL-terminated), nullptr when none.
const char* AnsiStrPosition(const char* text, const char* subText);
// The same for wide texts; nullptr also when either is null or empty.
const char16_t* WideStrPosition(const char16_t* text, const char16_t* subText);

// --- locale ------------------------------------------------------------------
using TLocaleId = std::uint32_t;
constexpr TLocaleId kLocaleUserDefault = 0x0400;
// Every locale's single-byte text is Windows-1250 here.
int AnsiCodePageOfLocale(TLocaleId locale);
// Case-insensitive comparison: negative, 0 or positive.
int CompareTextByWide(const WideString& a, const WideString& b, TLocaleId locale);
int CompareTextByAnsi(const WideString& a, const WideString& b, TLocaleId locale);
// The comparison chosen at start-up (PrepareUnicodeSupport).
int CompareLocaleText(const WideString& a, const WideString& b, TLocaleId locale);

// The default character of the active code page, read at start-up.
char AnsiReplacementChar();
void ReadAnsiReplacementChar();
// Start-up and shutdown of the Unicode support: the loading lock and the choice
// of comparison.
void PrepareUnicodeSupport();
void FreeUnicodeSupport();

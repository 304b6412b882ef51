// Text, number and date helpers of the SQL library: the wildcard matcher,
// locale-independent SQL number and date texts, boolean words, splitting and
// joining, backslash escapes, byte arrays and packed version numbers. Numbers
// always use "." whatever the user's settings; nothing here keeps state but
// the pseudo-random generator behind RandomString.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

class TStrings;
class TStringList;

using TByteDynArray = std::vector<std::uint8_t>;

// --- Wildcard matching ("*", "?", "[a-z]", "[!..]"/"[^..]"), case ignored ----
// Result codes of MatchPattern.
enum : int {
  kMatchValid = 1,         // the text matches
  kMatchEnd = 2,           // the pattern ended while text was left
  kMatchAbort = 3,         // the text ended while pattern was left
  kMatchRange = 4,         // a character did not satisfy a bracket expression
  kMatchLiteral = 5,       // a literal pattern character differed
  kMatchPatternError = 6,  // unfinished bracket expression
};
int MatchPattern(const AnsiString& pattern, const AnsiString& text);
// Matches the rest of a pattern that starts at a "*".
int MatchAfterStar(const AnsiString& pattern, const AnsiString& text);
bool IsMatch(const AnsiString& pattern, const AnsiString& text);

// --- Plain text helpers; positions are 1-based, 0 = none -----------------------
int FirstDelimiter(const AnsiString& delimiters, const AnsiString& str);
int LastDelimiter(const AnsiString& delimiters, const AnsiString& str);
bool MemLCompAnsi(const char* p1, const char* p2, int length);
// An empty prefix starts every text; an empty suffix ends none.
bool StartsWith(const AnsiString& str, const AnsiString& subStr);
bool EndsWith(const AnsiString& str, const AnsiString& subStr);
AnsiString BufferToStr(const char* buffer, int length);

// --- Splitting and joining ------------------------------------------------------
// Appends the non-empty pieces between any of the delimiter characters.
void SplitToStringList(TStrings* list, const AnsiString& str, const AnsiString& delimiters);
std::unique_ptr<TStringList> SplitString(const AnsiString& str, const AnsiString& delimiters);
// Clears the list first.
void PutSplitString(TStrings* list, const AnsiString& str, const AnsiString& delimiters);
// Splits at a delimiter text: empty pieces between delimiters count, an empty
// rest after the last one does not.
void SplitToStringListEx(TStrings* list, const AnsiString& str, const AnsiString& delimiter);
void PutSplitStringEx(TStrings* list, const AnsiString& str, const AnsiString& delimiter);
AnsiString ComposeString(const TStrings* list, const AnsiString& delimiter);

// --- SQL numbers: "." as decimal separator, a leading "$" ignored --------------
long double SqlStrToFloatDef(const AnsiString& str, long double defaultValue);
// Raises EConvertError for unreadable text.
long double SqlStrToFloat(const AnsiString& str);
// General form with the fewest digits that read back as the same value
// (15 where they do, 17 for any double), exponent when needed.
AnsiString FloatToSqlStr(long double value);

// --- Bytes as hexadecimal ----------------------------------------------------------
// prefix, the bytes as upper-case hexadecimal digits, then suffix: the form the
// dialects take binary literals in ("X'" ... "'", "0x" ...), so no character
// set conversion touches them.
AnsiString HexText(const AnsiString& bytes, const char* prefix, const char* suffix = "");

// --- Booleans and addresses ----------------------------------------------------
// "Y", "YES", "T", "TRUE" (any case) or a nonzero integer.
bool StrToBoolEx(const AnsiString& str);
AnsiString BoolToStrEx(bool value);
bool IsIpAddr(const AnsiString& str);

// --- Backslash escapes ("\000", "\'", "\"", "\\"; "\n", "\r", "\t" on reading) --
AnsiString EncodeCString(const AnsiString& value);
AnsiString DecodeCString(const AnsiString& value);

// --- Byte arrays -----------------------------------------------------------------
AnsiString BytesToStr(const TByteDynArray& value);
TByteDynArray StrToBytes(const AnsiString& value);

// --- SQL dates: "yyyy-mm-dd hh:nn:ss[.ffffff]" and the compact "yyyymmddhhnnss" --
// Impossible dates or times are left out of the result, never raised. A time
// alone may be a span: "-838:59:59.5" reads as that many days, signed.
TDateTime AnsiSqlDateToDateTime(std::string_view value);
TDateTime TimestampStrToDateTime(std::string_view value);
// The value AnsiSqlDateToDateTime gives a possible "yyyy-mm-dd" or
// "yyyy-mm-dd hh:nn:ss[.f...]", the forms servers send, read in one pass;
// false for any other zero-terminated text.
bool TryReadPlainSqlMoment(const char* text, TDateTime& value);
AnsiString DateTimeToAnsiSqlDate(TDateTime value);
// A date text of zeros only ("0000-00-00", "0000-00-00 00:00:00"): no date.
// 1899-12-30 is day 0 and a date like any other.
bool IsZeroSqlDate(std::string_view value);
// Literal bodies, to the microsecond; the fraction only when there is one.
// A time below 35 days is a span ("838:59:59", "-01:00:00.5"); a larger
// value is a moment and gives its time of day.
AnsiString SqlDateText(TDateTime value);
// A time as TIME columns keep it: a span below 35 days whole, the time of
// day of a later moment.
TDateTime SqlTimeValue(TDateTime value);
AnsiString SqlTimeText(TDateTime value);
AnsiString SqlTimestampText(TDateTime value);
// A moment's day, and its time of day as SqlTimestampText writes it (a time
// that rounds up to midnight belongs to the next day).
TDateTime SqlMomentDay(TDateTime value, AnsiString& timeOfDay);

// --- Packed versions: major * 1000000 + minor * 1000 + sub ---------------------
// Raises EIntOverflow when the result leaves the 32-bit range.
int EncodeSqlVersioning(int major, int minor, int sub);
void DecodeSqlVersioning(int version, int& major, int& minor, int& sub);

// length decimal digits, pseudo-random: names of cursors and result sets.
AnsiString RandomString(int length);

// value as a T; the platform's ERangeError when it does not fit.
template <class T>
T CheckedNarrow(std::int64_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) throw ERangeError(SRangeError);
  return static_cast<T>(value);
}

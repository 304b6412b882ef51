// Text, number and date helpers of the SQL library. The wildcard matcher
// follows the classic recursive scheme: a "*" tries every later text position
// that could start the rest of the pattern.
#include "sql/core/sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string_view>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

// --- Wildcard matching ---------------------------------------------------------

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Matches one bracket expression starting at pattern[p] == '[' against the text
// character c. On success p is left on the closing "]".
int MatchBracket(std::string_view pattern, size_t& p, unsigned char c) {
  const size_t n = pattern.size();
  ++p;
  bool invert = false;
  if (p < n && (pattern[p] == '!' || pattern[p] == '^')) {
    invert = true;
    ++p;
  }
  if (p >= n || pattern[p] == ']') return kMatchPatternError;
  bool matched = false;
  while (!matched && pattern[p] != ']') {
    size_t rangeStart = p;
    size_t rangeEnd = p;
    if (++p >= n) return kMatchPatternError;
    if (pattern[p] == '-') {
      rangeEnd = ++p;
      if (p >= n || pattern[rangeEnd] == ']') return kMatchPatternError;
      ++p;
    }
    if (p >= n) return kMatchPatternError;
    const auto low = static_cast<unsigned char>(pattern[rangeStart]);
    const auto high = static_cast<unsigned char>(pattern[rangeEnd]);
    matched = rangeStart == rangeEnd ? c == low : (low <= c && c <= high);
  }
  if (invert == matched) return kMatchRange;
  if (matched) {
    while (p < n && pattern[p] != ']') ++p;
    if (p >= n) return kMatchPatternError;
  }
  return 0;
}

// Matches suffixes of one lower-cased pattern and text, addressed by offsets.
// A rest that failed after a "*" is remembered, so patterns with many stars
// take polynomial rather than exponential time.
class TWildcardMatcher {
public:
  TWildcardMatcher(std::string_view pattern, std::string_view text) : pattern_(pattern), text_(text) {}

  int Match(size_t p, size_t t) {
    int result = 0;
    while (result == 0 && p < pattern_.size()) {
      if (t >= text_.size()) return pattern_[p] == '*' && p + 1 == pattern_.size() ? kMatchValid : kMatchAbort;
      switch (pattern_[p]) {
        case '*':
          return MatchAfterStar(p, t);
        case '[':
          result = MatchBracket(pattern_, p, static_cast<unsigned char>(text_[t]));
          break;
        case '?':
          break;
        default:
          if (pattern_[p] != text_[t]) result = kMatchLiteral;
          break;
      }
      ++p;
      ++t;
    }
    if (result != 0) return result;
    return t >= text_.size() ? kMatchValid : kMatchEnd;
  }

  int MatchAfterStar(size_t p, size_t t) {
    if (p >= pattern_.size() || t >= text_.size()) return kMatchAbort;
    const size_t key = p * (text_.size() + 1) + t;
    if (failed_.empty()) failed_.resize((pattern_.size() + 1) * (text_.size() + 1));
    if (failed_[key]) return kMatchAbort;
    const int result = TryRests(p, t);
    if (result != kMatchValid) failed_[key] = true;
    return result;
  }

private:
  // Skips the run of "*" and "?" (each "?" takes one character), then tries
  // every text position that could start the rest of the pattern.
  int TryRests(size_t p, size_t t) {
    for (; p < pattern_.size() && (pattern_[p] == '*' || pattern_[p] == '?'); ++p) {
      if (pattern_[p] != '?') continue;
      if (t >= text_.size()) return kMatchAbort;
      ++t;
    }
    if (p >= pattern_.size()) return kMatchValid;
    const char next = pattern_[p];
    for (; t < text_.size(); ++t) {
      if ((text_[t] == next || next == '[') && Match(p, t) == kMatchValid) return kMatchValid;
    }
    return kMatchAbort;
  }

  std::string_view pattern_;
  std::string_view text_;
  std::vector<bool> failed_;
};

}  // namespace

int MatchPattern(const AnsiString& pattern, const AnsiString& text) {
  const AnsiString lowerPattern = AnsiLowerCase(pattern);
  const AnsiString lowerText = AnsiLowerCase(text);
  return TWildcardMatcher(lowerPattern, lowerText).Match(0, 0);
}

int MatchAfterStar(const AnsiString& pattern, const AnsiString& text) {
  const AnsiString lowerPattern = AnsiLowerCase(pattern);
  const AnsiString lowerText = AnsiLowerCase(text);
  return TWildcardMatcher(lowerPattern, lowerText).MatchAfterStar(0, 0);
}

bool IsMatch(const AnsiString& pattern, const AnsiString& text) {
  return MatchPattern(pattern, text) == kMatchValid;
}

// --- Plain text helpers --------------------------------------------------------

int FirstDelimiter(const AnsiString& delimiters, const AnsiString& str) {
  const size_t pos = str.find_first_of(delimiters);
  return pos == AnsiString::npos ? 0 : static_cast<int>(pos) + 1;
}

int LastDelimiter(const AnsiString& delimiters, const AnsiString& str) {
  const size_t pos = str.find_last_of(delimiters);
  return pos == AnsiString::npos ? 0 : static_cast<int>(pos) + 1;
}

bool MemLCompAnsi(const char* p1, const char* p2, int length) {
  return length <= 0 || std::memcmp(p1, p2, static_cast<size_t>(length)) == 0;
}

bool StartsWith(const AnsiString& str, const AnsiString& subStr) {
  return subStr.size() <= str.size() && str.compare(0, subStr.size(), subStr) == 0;
}

bool EndsWith(const AnsiString& str, const AnsiString& subStr) {
  if (subStr.empty() || subStr.size() > str.size()) return false;
  return str.compare(str.size() - subStr.size(), subStr.size(), subStr) == 0;
}

AnsiString BufferToStr(const char* buffer, int length) {
  if (buffer == nullptr || length <= 0) return {};
  return AnsiString(buffer, static_cast<size_t>(length));
}

// --- Splitting and joining ------------------------------------------------------

void SplitToStringList(TStrings* list, const AnsiString& str, const AnsiString& delimiters) {
  size_t start = 0;
  while (start < str.size()) {
    const size_t end = std::min(str.find_first_of(delimiters, start), str.size());
    if (end > start) list->Add(str.substr(start, end - start));
    start = end + 1;
  }
}

std::unique_ptr<TStringList> SplitString(const AnsiString& str, const AnsiString& delimiters) {
  auto list = std::make_unique<TStringList>();
  SplitToStringList(list.get(), str, delimiters);
  return list;
}

void PutSplitString(TStrings* list, const AnsiString& str, const AnsiString& delimiters) {
  list->Clear();
  SplitToStringList(list, str, delimiters);
}

void SplitToStringListEx(TStrings* list, const AnsiString& str, const AnsiString& delimiter) {
  size_t start = 0;
  if (!delimiter.empty()) {
    for (size_t found; (found = str.find(delimiter, start)) != AnsiString::npos; start = found + delimiter.size())
      list->Add(str.substr(start, found - start));
  }
  if (start < str.size()) list->Add(str.substr(start));
}

void PutSplitStringEx(TStrings* list, const AnsiString& str, const AnsiString& delimiter) {
  list->Clear();
  SplitToStringListEx(list, str, delimiter);
}

AnsiString ComposeString(const TStrings* list, const AnsiString& delimiter) {
  AnsiString result;
  for (int i = 0; i < list->Count(); ++i) {
    if (i > 0) result += delimiter;
    result += list->Strings(i);
  }
  return result;
}

// --- SQL numbers ---------------------------------------------------------------

namespace {

bool TrySqlStrToFloat(const AnsiString& str, long double& value) {
  std::string_view text = str;
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  double parsed = 0;
  if (text.empty() || !TryStrToFloat(text, parsed, '.')) return false;
  value = parsed;
  // Whole numbers up to 2^64 keep every digit in the extended value
  // (unsigned 64-bit columns); a double would round them above 2^53.
  const bool whole = text.find_first_not_of("+-0123456789") == std::string_view::npos;
  if (whole && std::fabs(parsed) > 9007199254740992.0) value = std::strtold(std::string(text).c_str(), nullptr);
  return true;
}

}  // namespace

long double SqlStrToFloatDef(const AnsiString& str, long double defaultValue) {
  long double value = 0;
  return TrySqlStrToFloat(str, value) ? value : defaultValue;
}

long double SqlStrToFloat(const AnsiString& str) { return StrToFloat(str, '.'); }

AnsiString HexText(const AnsiString& bytes, const char* prefix, const char* suffix) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const size_t head = std::strlen(prefix);
  AnsiString text(head + bytes.size() * 2 + std::strlen(suffix), '\0');
  std::memcpy(text.data(), prefix, head);
  char* out = text.data() + head;
  for (unsigned char c : bytes) {
    *out++ = kDigits[c >> 4];
    *out++ = kDigits[c & 15];
  }
  std::memcpy(out, suffix, std::strlen(suffix));
  return text;
}

AnsiString FloatToSqlStr(long double value) {
  // The fewest digits that read back as the same value: 15 where they do,
  // up to 17 for any double, more for an extended value a double cannot
  // hold (an unsigned 64-bit integer, for one).
  const double asDouble = static_cast<double>(value);
  if (static_cast<long double>(asDouble) == value || !std::isfinite(value)) {
    for (int precision = 15;; ++precision) {
      AnsiString text = FloatToStrGeneral(asDouble, precision, '.');
      if (precision >= 17 || std::strtod(text.c_str(), nullptr) == asDouble) return text;
    }
  }
  // The shortest "d.ddde+x" that reads back, laid out as the general form does.
  char buffer[64];
  int precision = 1;
  for (;; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*Le", precision - 1, std::fabs(value));
    if (precision >= 21 || std::strtold(buffer, nullptr) == std::fabs(value)) break;
  }
  const char* e = std::strchr(buffer, 'e');
  const int exponent = std::atoi(e + 1);
  AnsiString digits;
  for (const char* c = buffer; c != e; ++c)
    if (IsDigit(*c)) digits += *c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int count = static_cast<int>(digits.size());
  AnsiString text;
  if (exponent >= std::max(precision, 15) || exponent < -5) {
    text = digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : AnsiString()) + "E" + IntToStr(exponent);
  } else if (exponent < 0) {
    text = "0." + AnsiString(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    if (count <= exponent) digits.append(static_cast<std::size_t>(exponent + 1 - count), '0');
    text = digits.substr(0, static_cast<std::size_t>(exponent) + 1);
    if (static_cast<int>(digits.size()) > exponent + 1) text += "." + digits.substr(static_cast<std::size_t>(exponent) + 1);
  }
  return value < 0 ? "-" + text : text;
}

// --- Booleans and addresses ----------------------------------------------------

bool StrToBoolEx(const AnsiString& str) {
  const AnsiString upper = UpperCase(str);
  if (upper == "Y" || upper == "YES" || upper == "T" || upper == "TRUE") return true;
  return StrToIntDef(upper, 0) != 0;
}

AnsiString BoolToStrEx(bool value) { return value ? "True" : "False"; }

bool IsIpAddr(const AnsiString& str) {
  if (!IsMatch("*.*.*.*", str)) return false;
  int dots = 0;
  size_t groupStart = 0;
  for (size_t i = 0; i < str.size(); ++i) {
    if (str[i] == '.') {
      ++dots;
    } else if (!IsDigit(str[i])) {
      return false;
    }
    if (i - groupStart >= 4) return false;
    if (str[i] == '.') groupStart = i + 1;
  }
  // Every group is a number; only the first three are held to 255.
  if (dots != 3 || str.back() == '.') return false;
  size_t start = 0;
  for (int group = 0; group < 3; ++group) {
    const size_t dot = str.find('.', start);
    int64_t value = 0;
    if (!TryStrToDecimal(str.substr(start, dot - start), value) || value > 255) return false;
    start = dot + 1;
  }
  return true;
}

// --- Backslash escapes -----------------------------------------------------------

AnsiString EncodeCString(const AnsiString& value) {
  size_t length = 0;
  for (char c : value) length += c == '\0' ? 4 : (c == '"' || c == '\'' || c == '\\') ? 2 : 1;
  AnsiString result;
  result.reserve(length);
  for (char c : value) {
    if (c == '\0') {
      result += "\\000";
      continue;
    }
    if (c == '"' || c == '\'' || c == '\\') result += '\\';
    result += c;
  }
  return result;
}

namespace {

char EscapedChar(char c) {
  switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return c;
  }
}

// Three octal-style digits after the backslash; only the low 8 bits count.
char OctalByte(const char* digits) {
  std::uint32_t code = 0;
  for (int i = 0; i < 3; ++i)
    code = (code << 3) | (static_cast<std::uint32_t>(static_cast<unsigned char>(digits[i])) - '0');
  return static_cast<char>(code & 0xFF);
}

}  // namespace

AnsiString DecodeCString(const AnsiString& value) {
  AnsiString result;
  result.reserve(value.size());
  const size_t n = value.size();
  size_t i = 0;
  while (i < n) {
    if (value[i] != '\\' || i + 1 >= n) {  // a final lone backslash is kept as it is
      result += value[i++];
      continue;
    }
    // An octal escape needs all three digits; a shorter one at the end reads as a plain escape.
    if (IsDigit(value[i + 1]) && i + 3 < n) {
      result += OctalByte(&value[i + 1]);
      i += 4;
    } else {
      result += EscapedChar(value[i + 1]);
      i += 2;
    }
  }
  return result;
}

// --- Byte arrays -----------------------------------------------------------------

AnsiString BytesToStr(const TByteDynArray& value) { return AnsiString(value.begin(), value.end()); }

TByteDynArray StrToBytes(const AnsiString& value) { return TByteDynArray(value.begin(), value.end()); }

// --- SQL dates -------------------------------------------------------------------

namespace {

// A part of a date text at a 1-based position; 0 when it does not read as a number.
// The number in count characters from the 1-based index (clamped to the
// text, as Copy does); read in place, as result sets call this per value.
int DatePart(std::string_view value, int index, int count) {
  const std::size_t from = static_cast<std::size_t>(index - 1);
  if (from >= value.size()) return 0;
  const std::string_view part = value.substr(from, static_cast<std::size_t>(count));
  // Plain digits, as dates are written, need no general number reader.
  int number = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return StrToIntDef(part, 0);
    number = number * 10 + (c - '0');
  }
  return part.empty() ? 0 : number;
}

TDateTime EncodedDate(int year, int month, int day) {
  TDateTime date = 0;
  if (year != 0 && month != 0 && day != 0 && TryEncodeDate(year, month, day, date)) return date;
  return 0;
}

constexpr double kMicrosPerDay = 86400e6;

// Seconds with an optional fraction ("05" or "05.123456") from the start of
// text; false when they are not there or not below 60.
bool ReadSeconds(std::string_view text, double& seconds) {
  if (text.size() < 2 || !IsDigit(text[0]) || !IsDigit(text[1])) return false;
  seconds = (text[0] - '0') * 10 + (text[1] - '0');
  if (text.size() > 2 && text[2] == '.') {
    double scale = 0.1;
    for (std::size_t i = 3; i < text.size() && IsDigit(text[i]); ++i, scale /= 10) seconds += (text[i] - '0') * scale;
  }
  return seconds < 60;
}

// A possible time of day added to date; before 1899-12-30 the time counts
// toward zero.
TDateTime WithTimeOfDay(TDateTime date, int hour, int minute, double seconds) {
  const TDateTime time = ((hour * 60 + minute) * 60 + seconds) / 86400;
  return date >= 0 ? date + time : date - time;
}

// Adds a time of day ("hh:nn:ss" with an optional fraction). An impossible
// time adds nothing.
TDateTime WithTime(TDateTime date, std::string_view text) {
  const int hour = DatePart(text, 1, 2), minute = DatePart(text, 4, 2);
  double seconds = 0;
  if (text.size() < 8 || hour > 23 || minute > 59 || !ReadSeconds(text.substr(6), seconds)) return date;
  return WithTimeOfDay(date, hour, minute, seconds);
}

// A time span as TIME columns hold it: "[-]h...h:nn:ss[.ffffff]", hours
// beyond 24 and a sign allowed. The result is the signed span in days.
bool TryReadSpan(std::string_view text, TDateTime& span) {
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  std::size_t colon = text.find(':');
  if (colon == 0 || colon == std::string_view::npos || colon > 7 || text.size() < colon + 6) return false;
  long hours = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsDigit(text[i])) return false;
    hours = hours * 10 + (text[i] - '0');
  }
  const std::string_view rest = text.substr(colon + 1);
  double seconds = 0;
  if (!IsDigit(rest[0]) || !IsDigit(rest[1]) || rest[2] != ':' || !ReadSeconds(rest.substr(3), seconds)) return false;
  const int minutes = (rest[0] - '0') * 10 + (rest[1] - '0');
  if (minutes > 59) return false;
  span = ((hours * 60.0 + minutes) * 60 + seconds) / 86400;
  if (negative) span = -span;
  return true;
}

// The number that the two digits at text make; -1 when they are not two
// digits. The second is not looked at when the first ends the text.
int TwoDigits(const char* text) {
  const unsigned tens = static_cast<unsigned char>(text[0]) - unsigned{'0'};
  if (tens > 9) return -1;
  const unsigned ones = static_cast<unsigned char>(text[1]) - unsigned{'0'};
  return ones > 9 ? -1 : static_cast<int>(tens * 10 + ones);
}

}  // namespace

bool TryReadPlainSqlMoment(const char* text, TDateTime& value) {
  // Each test stops at the terminating zero, so no length is needed.
  const int century = TwoDigits(text), year = century < 0 ? -1 : TwoDigits(text + 2);
  if (year < 0 || text[4] != '-') return false;
  const int month = TwoDigits(text + 5);
  if (month < 0 || text[7] != '-') return false;
  const int day = TwoDigits(text + 8);
  TDateTime date = 0;
  if (day < 0 || !TryEncodeDate(century * 100 + year, month, day, date)) return false;
  if (text[10] == '\0') {
    value = date;
    return true;
  }
  if (text[10] != ' ') return false;
  const int hour = TwoDigits(text + 11);
  if (hour < 0 || hour > 23 || text[13] != ':') return false;
  const int minute = TwoDigits(text + 14);
  if (minute < 0 || minute > 59 || text[16] != ':' || TwoDigits(text + 17) < 0) return false;
  std::size_t end = 19;
  if (text[end] == '.')
    while (IsDigit(text[++end])) {
    }
  double seconds = 0;
  if (text[end] != '\0' || !ReadSeconds(std::string_view(text + 17, end - 17), seconds)) return false;
  value = WithTimeOfDay(date, hour, minute, seconds);
  return true;
}

TDateTime AnsiSqlDateToDateTime(std::string_view value) {
  TDateTime result = 0;
  if (TryReadSpan(value, result)) return result;
  std::string_view text = value;
  if (text.size() > 9) {
    result = EncodedDate(DatePart(text, 1, 4), DatePart(text, 6, 2), DatePart(text, 9, 2));
    text = text.size() > 11 ? text.substr(11) : std::string_view();
  }
  return WithTime(result, text);
}

TDateTime TimestampStrToDateTime(std::string_view value) {
  const int length = static_cast<int>(value.size());
  const bool longYear = length == 14 || length == 8;
  const int year = longYear ? DatePart(value, 1, 4) : DatePart(value, 1, 2);
  int pos = longYear ? 5 : 3;
  // Month, day, hour, minute, second: each present once the text is long enough.
  int parts[5] = {};
  for (int i = 0; i < 5; ++i, pos += 2)
    if (length > 2 * (i + 1)) parts[i] = DatePart(value, pos, 2);
  const TDateTime date = EncodedDate(year, parts[0], parts[1]);
  TDateTime time = 0;
  if (!TryEncodeTime(parts[2], parts[3], parts[4], 0, time)) return date;
  return date >= 0 ? date + time : date - time;
}

bool IsZeroSqlDate(std::string_view value) {
  return !value.empty() && value.find_first_of("123456789") == std::string_view::npos;
}

namespace {

char* WriteFraction(char* out, std::int64_t micros) {
  if (micros == 0) return out;
  *out++ = '.';
  int digits = 6;
  while (micros % 10 == 0) micros /= 10, --digits;
  for (int i = digits - 1; i >= 0; --i, micros /= 10) out[i] = static_cast<char>('0' + micros % 10);
  return out + digits;
}

// A time of day or a span as "hh:nn:ss" with the fraction, when there is one.
AnsiString TimeOfDayText(bool negative, std::int64_t micros) {
  char buffer[48];
  const std::int64_t seconds = micros / 1000000;
  int n = std::snprintf(buffer, sizeof buffer, "%s%02lld:%02d:%02d", negative ? "-" : "",
                        static_cast<long long>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                        static_cast<int>(seconds % 60));
  *WriteFraction(buffer + n, micros % 1000000) = '\0';
  return buffer;
}

// The microseconds from base to value (a time of day or a span), rounded to
// the coarsest decimal unit that still gives back the same double: a moment
// far from day 0 holds fewer digits, and none are invented for it.
std::int64_t ShortestMicros(TDateTime value, TDateTime base) {
  const double sign = value < 0 ? -1 : 1;
  const double exact = std::fabs(value - base) * kMicrosPerDay;
  for (std::int64_t unit = 1000000; unit > 1; unit /= 10) {
    const std::int64_t rounded = std::llround(exact / unit) * unit;
    if (base + sign * (static_cast<double>(rounded) / kMicrosPerDay) == value) return rounded;
  }
  return std::llround(exact);
}

// The day and the microseconds into it of a moment.
void SplitMoment(TDateTime value, TDateTime& day, std::int64_t& micros) {
  day = std::trunc(value);
  micros = ShortestMicros(value, day);
  if (micros >= static_cast<std::int64_t>(kMicrosPerDay)) {
    micros -= static_cast<std::int64_t>(kMicrosPerDay);
    day += 1;
  }
}

}  // namespace

AnsiString SqlDateText(TDateTime value) {
  TDateTime day;
  std::int64_t micros;
  SplitMoment(value, day, micros);
  int year, month, dayOfMonth;
  DecodeDate(day, year, month, dayOfMonth);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, dayOfMonth);
  return buffer;
}

TDateTime SqlTimeValue(TDateTime value) {
  // A TIME column holds spans up to 838:59:59 either way; a value beyond
  // that is a moment, and its time of day is what is meant.
  constexpr double kLongestSpan = 35;
  return std::fabs(value) < kLongestSpan ? value : std::fabs(value - std::trunc(value));
}

AnsiString SqlTimeText(TDateTime value) {
  value = SqlTimeValue(value);
  return TimeOfDayText(value < 0, ShortestMicros(value, 0));
}

TDateTime SqlMomentDay(TDateTime value, AnsiString& timeOfDay) {
  TDateTime day;
  std::int64_t micros;
  SplitMoment(value, day, micros);
  timeOfDay = TimeOfDayText(false, micros);
  return day;
}

AnsiString SqlTimestampText(TDateTime value) {
  AnsiString timeOfDay;
  SqlMomentDay(value, timeOfDay);
  return SqlDateText(value) + " " + timeOfDay;
}

AnsiString DateTimeToAnsiSqlDate(TDateTime value) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", value); }

// --- Packed versions ---------------------------------------------------------------

int EncodeSqlVersioning(int major, int minor, int sub) {
  const int64_t version = int64_t{major} * 1000000 + int64_t{minor} * 1000 + sub;
  if (version < std::numeric_limits<int>::min() || version > std::numeric_limits<int>::max())
    throw EIntOverflow(SIntOverflow);
  return static_cast<int>(version);
}

void DecodeSqlVersioning(int version, int& major, int& minor, int& sub) {
  major = version / 1000000;
  minor = (version % 1000000) / 1000;
  sub = version % 1000;
}

AnsiString RandomString(int length) {
  static std::mt19937 generator(std::random_device{}());
  std::uniform_int_distribution<int> distribution(0, std::numeric_limits<int>::max() - 1);
  AnsiString result;
  while (static_cast<int>(result.size()) < length) result += IntToStr(distribution(generator));
  result.resize(static_cast<std::size_t>(std::max(length, 0)));
  return result;
}

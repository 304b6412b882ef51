// Code page conversion, Czech collation and casing, and the small string
// routines. The Windows-1250 table is built in so conversion never depends on
// the host's iconv or locale; ICU supplies the collation and case data.
#include "platform/rtl/text.h"

#include <unicode/ucol.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

// Bytes 0x80..0xFF; below 0x80 the byte is its own code point.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

struct ReverseEntry {
  char16_t wide;
  unsigned char byte;
};

// The high half sorted by code point, for the way back.
const std::array<ReverseEntry, 128>& ReverseTable() {
  static const std::array<ReverseEntry, 128> table = [] {
    std::array<ReverseEntry, 128> t{};
    for (int i = 0; i < 128; ++i) t[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(t.begin(), t.end(), [](auto& a, auto& b) { return a.wide < b.wide; });
    return t;
  }();
  return table;
}

// The byte of a UTF-16 unit, or -1 when Windows-1250 has none.
int ByteOf(char16_t c) {
  if (c < 0x80) return c;
  const auto& t = ReverseTable();
  auto it = std::lower_bound(t.begin(), t.end(), c,
                             [](const ReverseEntry& e, char16_t w) { return e.wide < w; });
  return (it != t.end() && it->wide == c) ? it->byte : -1;
}

// Per-byte case maps derived once from ICU's simple case mapping.
struct CaseTables {
  std::array<char, 256> upper{};
  std::array<char, 256> lower{};
};

const CaseTables& Cases() {
  static const CaseTables tables = [] {
    CaseTables t;
    for (int b = 0; b < 256; ++b) {
      char16_t w = AnsiCharToWide(static_cast<unsigned char>(b));
      int up = ByteOf(static_cast<char16_t>(u_toupper(w)));
      int low = ByteOf(static_cast<char16_t>(u_tolower(w)));
      t.upper[b] = static_cast<char>(up < 0 ? b : up);
      t.lower[b] = static_cast<char>(low < 0 ? b : low);
    }
    return t;
  }();
  return tables;
}

struct CollatorCloser {
  void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

CollatorPtr OpenCollator(UCollationStrength strength) {
  UErrorCode status = U_ZERO_ERROR;
  CollatorPtr coll(ucol_open("cs", &status));
  if (U_FAILURE(status)) return nullptr;
  ucol_setStrength(coll.get(), strength);
  return coll;
}

// Collators are per thread: ICU collators must not be shared while comparing.
UCollator* CaseSensitiveCollator() {
  thread_local CollatorPtr coll = OpenCollator(UCOL_TERTIARY);
  return coll.get();
}

UCollator* CaseInsensitiveCollator() {
  thread_local CollatorPtr coll = OpenCollator(UCOL_SECONDARY);
  return coll.get();
}

int Sign(int v) { return (v > 0) - (v < 0); }

int CollateWide(UCollator* coll, std::u16string_view a, std::u16string_view b) {
  if (!coll) return 0;  // no collation data: callers fall back to the tie-break
  return static_cast<int>(ucol_strcoll(coll, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                       static_cast<int32_t>(b.size())));
}

// Collates two Windows-1250 texts through reused per-thread UTF-16 buffers.
int CollateAnsi(UCollator* coll, std::string_view a, std::string_view b) {
  thread_local WideString wa, wb;
  wa.resize(a.size());
  wb.resize(b.size());
  for (size_t i = 0; i < a.size(); ++i) wa[i] = AnsiCharToWide(static_cast<unsigned char>(a[i]));
  for (size_t i = 0; i < b.size(); ++i) wb[i] = AnsiCharToWide(static_cast<unsigned char>(b[i]));
  return CollateWide(coll, wa, wb);
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(WideString& out, char32_t cp) {
  if (cp > 0xFFFF) {
    out += static_cast<char16_t>(U16_LEAD(cp));
    out += static_cast<char16_t>(U16_TRAIL(cp));
  } else {
    out += static_cast<char16_t>(cp);
  }
}

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at s[i], advancing i; malformed input (bad lead,
// truncated, overlong, surrogate, beyond U+10FFFF) consumes one byte.
char32_t NextUtf8(std::string_view s, size_t& i) {
  unsigned char lead = static_cast<unsigned char>(s[i]);
  int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra <= 0) {
    ++i;
    return extra == 0 ? lead : kReplacement;
  }
  if (lead > 0xF4 || i + extra >= s.size()) {
    ++i;
    return kReplacement;
  }
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

}  // namespace

char16_t AnsiCharToWide(unsigned char c) { return c < 0x80 ? c : kHighHalf[c - 0x80]; }

char AnsiCharFromWide(char16_t c, char fallback) {
  int b = ByteOf(c);
  return b < 0 ? fallback : static_cast<char>(b);
}

WideString AnsiToWide(std::string_view s) {
  WideString out(s.size(), u'\0');
  for (size_t i = 0; i < s.size(); ++i) out[i] = AnsiCharToWide(static_cast<unsigned char>(s[i]));
  return out;
}

AnsiString WideToAnsi(std::u16string_view s) {
  AnsiString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    // A surrogate pair is one character outside the code page: one "?".
    if (U16_IS_LEAD(s[i]) && i + 1 < s.size() && U16_IS_TRAIL(s[i + 1])) ++i;
    out += AnsiCharFromWide(s[i]);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char c : s) AppendUtf8(out, AnsiCharToWide(static_cast<unsigned char>(c)));
  return out;
}

AnsiString Utf8ToAnsi(std::string_view s) {
  AnsiString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp = NextUtf8(s, i);
    out += cp > 0xFFFF ? '?' : AnsiCharFromWide(static_cast<char16_t>(cp));
  }
  return out;
}

std::string WideToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char32_t cp;
    U16_NEXT(s.data(), i, s.size(), cp);
    if (U_IS_SURROGATE(cp)) cp = kReplacement;  // an unpaired half
    AppendUtf8(out, cp);
  }
  return out;
}

WideString Utf8ToWide(std::string_view s) {
  WideString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    AppendUtf16(out, NextUtf8(s, i));
  }
  return out;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
  int r = CollateAnsi(CaseSensitiveCollator(), a, b);
  return r != 0 ? Sign(r) : Sign(a.compare(b));
}

namespace {

// Byte order of the upper-cased texts, without building them.
int CompareUpperBytes(std::string_view a, std::string_view b) {
  const auto& up = Cases().upper;
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(up[static_cast<unsigned char>(a[i])]);
    auto cb = static_cast<unsigned char>(up[static_cast<unsigned char>(b[i])]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return (a.size() > b.size()) - (a.size() < b.size());
}

}  // namespace

int AnsiCompareText(std::string_view a, std::string_view b) {
  int r = CollateAnsi(CaseInsensitiveCollator(), a, b);
  return r != 0 ? Sign(r) : CompareUpperBytes(a, b);
}

bool AnsiSameStr(std::string_view a, std::string_view b) { return a == b; }

// Equal upper-cased bytes is exactly when AnsiCompareText gives 0, since the
// collation ignores case and its ties are broken on those bytes.
bool AnsiSameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareUpperBytes(a, b) == 0;
}

int WideCompareStr(std::u16string_view a, std::u16string_view b) {
  int r = CollateWide(CaseSensitiveCollator(), a, b);
  return r != 0 ? Sign(r) : Sign(a.compare(b));
}

int WideCompareText(std::u16string_view a, std::u16string_view b) {
  int r = CollateWide(CaseInsensitiveCollator(), a, b);
  return r != 0 ? Sign(r) : Sign(WideUpperCase(a).compare(WideUpperCase(b)));
}

char AnsiUpperChar(char c) { return Cases().upper[static_cast<unsigned char>(c)]; }
char AnsiLowerChar(char c) { return Cases().lower[static_cast<unsigned char>(c)]; }

namespace {

AnsiString MapBytes(std::string_view s, char (*map)(char)) {
  AnsiString out(s);
  for (char& c : out) c = map(c);
  return out;
}

// Simple (one-to-one) case mapping over code points, so lengths stay put.
template <class MapFn>
WideString MapWideCase(std::u16string_view s, MapFn map) {
  WideString out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    UChar32 cp;
    U16_NEXT(s.data(), i, s.size(), cp);
    UChar32 mapped = U_IS_SURROGATE(cp) ? cp : map(cp);
    if (U16_LENGTH(mapped) != U16_LENGTH(cp)) mapped = cp;
    AppendUtf16(out, static_cast<char32_t>(mapped));
  }
  return out;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

WideString WideUpperCase(std::u16string_view s) {
  return MapWideCase(s, [](UChar32 c) { return u_toupper(c); });
}

WideString WideLowerCase(std::u16string_view s) {
  return MapWideCase(s, [](UChar32 c) { return u_tolower(c); });
}

AnsiString AnsiUpperCase(std::string_view s) { return MapBytes(s, AnsiUpperChar); }
AnsiString AnsiLowerCase(std::string_view s) { return MapBytes(s, AnsiLowerChar); }
AnsiString UpperCase(std::string_view s) { return MapBytes(s, AsciiUpper); }
AnsiString LowerCase(std::string_view s) { return MapBytes(s, AsciiLower); }

int CompareStr(std::string_view a, std::string_view b) { return Sign(a.compare(b)); }

int CompareText(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(AsciiUpper(a[i]));
    unsigned char cb = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

AnsiString Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

AnsiString TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return AnsiString(s.substr(i));
}

AnsiString TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return AnsiString(s.substr(0, n));
}

int Pos(std::string_view subStr, std::string_view s) { return PosEx(subStr, s, 1); }

int PosEx(std::string_view subStr, std::string_view s, int offset) {
  if (subStr.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
  size_t at = s.find(subStr, static_cast<size_t>(offset) - 1);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString Copy(std::string_view s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > s.size()) return AnsiString();
  return AnsiString(s.substr(static_cast<size_t>(index) - 1, static_cast<size_t>(count)));
}

void Delete(AnsiString& s, int index, int count) {
  if (index < 1 || count <= 0 || static_cast<size_t>(index) > s.size()) return;
  s.erase(static_cast<size_t>(index) - 1, static_cast<size_t>(count));
}

void Insert(std::string_view source, AnsiString& s, int index) {
  size_t at = index < 1 ? 0 : std::min(static_cast<size_t>(index) - 1, s.size());
  s.insert(at, source);
}

AnsiString StringReplace(std::string_view s, std::string_view oldPattern,
                         std::string_view newPattern, int flags) {
  if (oldPattern.empty()) return AnsiString(s);
  const bool ignoreCase = flags & rfIgnoreCase;
  const AnsiString searchIn = ignoreCase ? AnsiUpperCase(s) : AnsiString(s);
  const AnsiString pattern = ignoreCase ? AnsiUpperCase(oldPattern) : AnsiString(oldPattern);
  AnsiString out;
  size_t from = 0;
  while (from <= searchIn.size()) {
    size_t at = searchIn.find(pattern, from);
    if (at == AnsiString::npos) break;
    out.append(s.substr(from, at - from)).append(newPattern);
    from = at + pattern.size();
    if (!(flags & rfReplaceAll)) break;
  }
  out.append(s.substr(std::min(from, s.size())));
  return out;
}

AnsiString StringOfChar(char c, int count) { return AnsiString(count > 0 ? count : 0, c); }

AnsiString QuotedStr(std::string_view s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiQuotedStr(std::string_view s, char quote) {
  AnsiString out;
  out.reserve(s.size() + 2);
  out += quote;
  for (char c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

AnsiString AnsiExtractQuotedStr(std::string_view s, size_t& pos, char quote) {
  if (pos >= s.size() || s[pos] != quote) return AnsiString();
  AnsiString out;
  size_t i = pos + 1;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) {
        out += quote;
        i += 2;
        continue;
      }
      ++i;  // the closing quote
      break;
    }
    out += s[i++];
  }
  pos = i;
  return out;
}

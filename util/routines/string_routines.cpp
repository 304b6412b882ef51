// The utility library's string routines (string_routines.h). The character tables
// come from the runtime's Windows-1250 casing and ICU's classification of each
// byte's character.

#include "util/routines/string_routines.h"

#include <unicode/uchar.h>

#include <array>
#include <cstring>
#include <memory>

#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "util/routines/util_errors.h"
#include "util/routines/sync_objects.h"
#include "util/routines/util_texts.h"

namespace {

constexpr std::uint16_t kUpperType = 0x0001;
constexpr std::uint16_t kLowerType = 0x0002;
constexpr char kCodePageDefaultChar = '?';

struct CharTables {
  std::array<std::uint16_t, 256> types{};
  std::array<unsigned char, 768> cases{};
  bool casesBuilt = false;
  char replacement = kCodePageDefaultChar;
  std::unique_ptr<TUtlCriticalSection> unicodeLoadLock;
  int (*compareText)(const WideString&, const WideString&, TLocaleId) = CompareTextByWide;
};

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

void FillTypes(CharTables& t) {
  for (int c = 0; c < 256; ++c) {
    UChar32 ch = AnsiCharToWide(static_cast<unsigned char>(c));
    t.types[c] = (u_isupper(ch) ? kUpperType : 0) | (u_islower(ch) ? kLowerType : 0);
  }
}

void FillCases(CharTables& t) {
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    const auto lower = Byte(AnsiLowerChar(ch));
    const auto upper = Byte(AnsiUpperChar(ch));
    t.cases[kLowerCaseTable + c] = lower;
    t.cases[kUpperCaseTable + c] = upper;
    const bool isUpper = (t.types[c] & kUpperType) != 0;
    const bool isLower = (t.types[c] & kLowerType) != 0;
    t.cases[kSwapCaseTable + c] = isUpper ? lower : isLower ? upper : Byte(ch);
  }
  t.casesBuilt = true;
}

// Built on first use, so a routine called before start-up never reads empty tables.
CharTables& Tables() {
  static CharTables tables = [] {
    CharTables t;
    FillTypes(t);
    FillCases(t);
    return t;
  }();
  return tables;
}

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

void BuildCharTypeTable() { FillTypes(Tables()); }

void BuildCaseTables() {
  CharTables& t = Tables();
  if (!t.casesBuilt) FillCases(t);
}

bool IsUpperChar(char c) { return (Tables().types[Byte(c)] & kUpperType) != 0; }
bool IsLowerChar(char c) { return (Tables().types[Byte(c)] & kLowerType) != 0; }

void MapCaseInPlace(AnsiString& s, int offset) {
  const auto& cases = Tables().cases;
  for (char& c : s) c = static_cast<char>(cases[offset + Byte(c)]);
}

void UpperCaseInPlace(AnsiString& s) { MapCaseInPlace(s, kUpperCaseTable); }

AnsiString UpperCaseCopy(const AnsiString& s) {
  AnsiString copy = s;
  UpperCaseInPlace(copy);
  return copy;
}

int PosNoCase(const AnsiString& subStr, const AnsiString& s) {
  return Pos(UpperCaseCopy(subStr), UpperCaseCopy(s));
}

int FindTextFrom(const AnsiString& subStr, const AnsiString& s, int index) {
  if (subStr.empty() || s.empty()) return 0;
  int p = PosNoCase(subStr, Copy(s, index, static_cast<int>(s.size())));
  return p == 0 ? 0 : index + p - 1;
}

AnsiString TextAfter(const AnsiString& subStr, const AnsiString& s) {
  int p = PosNoCase(subStr, s);
  return p == 0 ? AnsiString() : s.substr(p - 1 + subStr.size());
}

AnsiString TextBefore(const AnsiString& subStr, const AnsiString& s) {
  int p = PosNoCase(subStr, s);
  return p == 0 ? s : s.substr(0, p - 1);
}

AnsiString TextLeft(const AnsiString& s, int count) { return Copy(s, 1, count); }

AnsiString TextFrom(const AnsiString& s, int n) { return Copy(s, n, static_cast<int>(s.size())); }

void TakeToken(AnsiString& s, char separator, AnsiString& token) {
  size_t at = s.find(separator);
  if (at == AnsiString::npos) {
    token = std::move(s);
    s.clear();
    return;
  }
  token = s.substr(0, at);
  s.erase(0, at + 1);
}

void SplitToList(const AnsiString& s, char separator, TStrings* list) {
  if (!list) return;
  list->BeginUpdate();
  try {
    list->Clear();
    AnsiString rest = s;
    AnsiString token;
    while (!rest.empty()) {
      TakeToken(rest, separator, token);
      list->Add(token);
    }
  } catch (...) {
    list->EndUpdate();
    throw;
  }
  list->EndUpdate();
}

bool StrMatchesMask(const AnsiString& mask, const AnsiString& s, int index) {
  if (mask.empty()) throw EUtlStringError(RsBlankSearchString);
  if (mask == "*") return true;
  if (s.empty()) return false;
  if (index < 1 || index > static_cast<int>(s.size())) throw EUtlStringError(RsArgumentOutOfRange);
  constexpr size_t kUnset = AnsiString::npos;
  const size_t maskEnd = mask.size();
  const size_t textEnd = s.size();
  size_t t = static_cast<size_t>(index) - 1;
  size_t m = 0;
  size_t star = kUnset;    // mask position after the last "*"
  size_t resume = kUnset;  // where the text resumes when that star is retried
  bool scanning = false;
  for (;;) {
    if (!scanning) {
      const bool retry = star != kUnset && resume != kUnset;
      if (m == maskEnd) {
        if (t == textEnd) return true;
        if (!retry) return false;
        t = resume;
        m = star;
        scanning = true;
      } else if (mask[m] == '*') {
        star = ++m;
        scanning = true;
      } else if (t == textEnd) {
        return false;
      } else if (mask[m] == '?' || mask[m] == s[t]) {
        ++t;
        ++m;
      } else if (retry) {
        t = resume;
        m = star;
        scanning = true;
      } else {
        return false;
      }
      continue;
    }
    // After a star: "*" and "?" are taken as they come, the next literal is
    // looked for in the text.
    if (m == maskEnd) return true;
    if (mask[m] == '*') {
      star = ++m;
    } else if (mask[m] == '?') {
      if (t == textEnd) return false;
      ++t;
      ++m;
    } else {
      while (t < textEnd && s[t] != mask[m]) ++t;
      if (t == textEnd) return false;
      resume = ++t;
      ++m;
      scanning = false;
    }
  }
}

const char* AnsiStrPosition(const char* text, const char* subText) {
  if (!text || !subText) return nullptr;
  return std::strstr(text, subText);
}

const char16_t* WideStrPosition(const char16_t* text, const char16_t* subText) {
  if (!text || !subText || !*text || !*subText) return nullptr;
  std::u16string_view haystack(text);
  size_t at = haystack.find(subText);
  return at == std::u16string_view::npos ? nullptr : text + at;
}

int AnsiCodePageOfLocale(TLocaleId /*locale*/) { return 1250; }

int CompareTextByWide(const WideString& a, const WideString& b, TLocaleId /*locale*/) {
  return Sign(WideCompareText(a, b));
}

int CompareTextByAnsi(const WideString& a, const WideString& b, TLocaleId /*locale*/) {
  return Sign(AnsiCompareText(WideToAnsi(a), WideToAnsi(b)));
}

int CompareLocaleText(const WideString& a, const WideString& b, TLocaleId locale) {
  return Tables().compareText(a, b, locale);
}

char AnsiReplacementChar() { return Tables().replacement; }

void ReadAnsiReplacementChar() { Tables().replacement = kCodePageDefaultChar; }

void PrepareUnicodeSupport() {
  CharTables& t = Tables();
  t.unicodeLoadLock = std::make_unique<TUtlCriticalSection>();
  t.compareText = CompareTextByWide;  // this platform is of the NT line
}

void FreeUnicodeSupport() { Tables().unicodeLoadLock.reset(); }

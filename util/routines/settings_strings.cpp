// The settings library's string routines (settings_strings.h). Positions are
// 1-based like the rest of the system's string handling.

#include "util/routines/settings_strings.h"

namespace {

constexpr unsigned kInvalidHexPair = 32;

bool IsDelimiter(const TCharSet& delimiters, char c) {
  return delimiters.test(static_cast<unsigned char>(c));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char KeyByte(const AnsiString& key, size_t index) {
  return key.empty() ? 0 : key[index % key.size()];
}

}  // namespace

TCharSet CharSetOf(std::string_view chars) {
  TCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

AnsiString detail::ReplaceOccurrences(const AnsiString& s, const AnsiString& searched,
                                      const AnsiString& pattern, const AnsiString& replacement) {
  AnsiString result;
  size_t from = 0;
  for (size_t hit = searched.find(pattern); hit != AnsiString::npos; hit = searched.find(pattern, from)) {
    result.append(s, from, hit - from);
    result += replacement;
    from = hit + pattern.size();
  }
  result.append(s, from, AnsiString::npos);
  return result;
}

AnsiString SubstituteText(const AnsiString& s, const AnsiString& find, const AnsiString& replacement) {
  if (find.empty()) return s;
  return detail::ReplaceOccurrences(s, s, find, replacement);
}

int CountDelimitedWords(const AnsiString& s, const TCharSet& delimiters) {
  int count = 0;
  bool inWord = false;
  for (char c : s) {
    bool delimiter = IsDelimiter(delimiters, c);
    if (!delimiter && !inWord) ++count;
    inWord = !delimiter;
  }
  return count;
}

int DelimitedWordStart(int n, const AnsiString& s, const TCharSet& delimiters) {
  int count = 0;
  bool inWord = false;
  for (size_t i = 0; i < s.size(); ++i) {
    bool delimiter = IsDelimiter(delimiters, s[i]);
    if (!delimiter && !inWord && ++count == n) return static_cast<int>(i) + 1;
    inWord = !delimiter;
  }
  return 0;
}

AnsiString DelimitedWord(int n, const AnsiString& s, const TCharSet& delimiters) {
  int start = DelimitedWordStart(n, s, delimiters);
  if (start == 0) return AnsiString();
  size_t end = static_cast<size_t>(start) - 1;
  while (end < s.size() && !IsDelimiter(delimiters, s[end])) ++end;
  return s.substr(static_cast<size_t>(start) - 1, end - (static_cast<size_t>(start) - 1));
}

AnsiString NextDelimitedField(const AnsiString& s, int& pos, const TCharSet& delimiters) {
  const int length = static_cast<int>(s.size());
  const int start = pos < 1 ? 1 : pos;
  int i = start;
  while (i <= length && !IsDelimiter(delimiters, s[i - 1])) ++i;
  AnsiString field = start <= length ? s.substr(start - 1, i - start) : AnsiString();
  pos = i <= length ? i + 1 : length + 1;
  return field;
}

AnsiString HexXorEncode(const AnsiString& key, const AnsiString& source) {
  static const char kDigits[] = "0123456789abcdef";
  AnsiString result;
  result.reserve(source.size() * 2);
  for (size_t i = 0; i < source.size(); ++i) {
    auto c = static_cast<unsigned char>(source[i] ^ KeyByte(key, i));
    result += kDigits[c >> 4];
    result += kDigits[c & 15];
  }
  return result;
}

AnsiString HexXorDecode(const AnsiString& key, const AnsiString& source) {
  AnsiString result;
  for (size_t i = 0; i + 1 < source.size(); i += 2) {
    int high = HexDigit(source[i]);
    int low = HexDigit(source[i + 1]);
    unsigned v = high < 0 || low < 0 ? kInvalidHexPair : static_cast<unsigned>(high * 16 + low);
    result += static_cast<char>(v ^ static_cast<unsigned char>(KeyByte(key, i / 2)));
  }
  return result;
}

// The general routines of program_routines.h. They are thin on purpose: the
// runtime does the system work, these keep the rules the program relies on
// (piece counting, the matcher's retry rule, the folder-chain rule).

#include "util/routines/program_routines.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <optional>

#include "platform/rtl/files.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/process.h"
#include "platform/rtl/text.h"
#include "util/routines/settings_strings.h"

AnsiString LeftChars(const AnsiString& s, int count) {
  if (count <= 0) return AnsiString();
  return s.substr(0, static_cast<size_t>(count));
}

AnsiString AddBackslash(const AnsiString& s) {
  if (!s.empty() && s.back() == PathDelim) return s;
  return s + PathDelim;
}

int WordCount(const AnsiString& s, char delimiter) {
  if (s.empty()) return 0;
  int delimiters = 0;
  for (char c : s) delimiters += c == delimiter;
  return s.back() == delimiter ? delimiters : delimiters + 1;
}

AnsiString DelimitedPiece(const AnsiString& s, char delimiter, int index) {
  if (index < 0 || index >= WordCount(s, delimiter)) return AnsiString();
  size_t start = 0;
  for (int i = 0; i < index; ++i) start = s.find(delimiter, start) + 1;
  size_t end = s.find(delimiter, start);
  return s.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start);
}

AnsiString ReplaceAllText(const AnsiString& s, const AnsiString& oldText, const AnsiString& newText) {
  if (oldText.empty()) return s;
  // Casing keeps lengths, so positions in the upper-cased copy are positions in s.
  return detail::ReplaceOccurrences(s, AnsiUpperCase(s), AnsiUpperCase(oldText), newText);
}

bool WildcardMatch(const AnsiString& s, const AnsiString& mask) {
  // Cursors are 1-based positions of the characters last looked at; 0 = before
  // the first. The rules below, the retry one included, are relied on by
  // stored exclusion masks, so they stay exactly as they are.
  const int maskLen = static_cast<int>(mask.size());
  const int textLen = static_cast<int>(s.size());
  int m = 0;
  int t = 0;
  int starPos = 0;
  bool failed = false;
  bool afterStar = false;
  while (m < maskLen && t < textLen && !failed) {
    ++m;
    ++t;
    const char c = mask[m - 1];
    if (c == '*') {
      starPos = m;
      afterStar = true;
      ++m;
      if (m > maskLen) {
        t = textLen;
      } else {
        while (t <= textLen && s[t - 1] != mask[m - 1]) ++t;
        failed = t > textLen;
      }
    } else if (c == '?') {
      afterStar = false;
    } else if (c != s[t - 1]) {
      if (afterStar) {
        m = starPos - 1;  // the star is taken again one character further on
      } else {
        failed = true;
      }
    }
  }
  if (failed) return false;
  if (m == maskLen - 1 && mask[maskLen - 1] == '*') return true;
  return m >= maskLen && t >= textLen;
}

AnsiString GetProgramDir() { return ExtractFilePath(ParamStr(0)); }

bool RunProgram(const AnsiString& commandLine, bool /*hidden*/, bool wait) {
  TChildProcess child;
  if (!child.Start(commandLine)) return false;
  if (wait) child.Wait();
  return true;
}

void Delay(std::uint32_t milliseconds) { ProcessMessagesFor(milliseconds); }

AnsiString GetCachedTempDir() {
  static std::optional<AnsiString> cached;
  if (!cached) cached = GetTempDir();
  return *cached;
}

bool CreateFolderChain(const AnsiString& dir) {
  if (dir.empty()) return false;
  // All trailing delimiters go: with one left over, the folder would look like
  // its own parent and count as created without being made.
  AnsiString folder = dir;
  while (!folder.empty() && folder.back() == PathDelim) folder.pop_back();
  if (folder.empty() || DirectoryExists(folder)) return true;
  const size_t last = folder.rfind(PathDelim);
  if (last == AnsiString::npos) return false;  // a single relative name has no parent
  return CreateFolderChain(folder.substr(0, last + 1)) && CreateDir(folder);
}

int TruncToInt(long double x) {
  constexpr int kIndefinite = std::numeric_limits<int>::min();
  const long double truncated = std::trunc(x);
  if (std::isnan(truncated) || truncated < kIndefinite ||
      truncated > std::numeric_limits<int>::max()) {
    return kIndefinite;
  }
  return static_cast<int>(truncated);
}

namespace {
std::atomic<unsigned> errorMode{0};
}

unsigned SetErrorMode(unsigned mode) { return errorMode.exchange(mode); }

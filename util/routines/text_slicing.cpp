// Text search and replacement and path slicing for the desktop components.
#include "util/routines/text_slicing.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"

int UtlMin(int a, int b) { return a < b ? a : b; }

int UtlPosFrom(const AnsiString& subStr, const AnsiString& s, int offset) {
  if (subStr.empty() || s.empty() || subStr.size() > s.size() || offset < 1) return 0;
  const size_t at = s.find(subStr, size_t(offset - 1));
  return at == AnsiString::npos ? 0 : int(at) + 1;
}

int UtlLastPosBefore(const AnsiString& subStr, const AnsiString& s, int limit) {
  if (s.empty() || subStr.size() > s.size()) return 0;
  const int last = UtlMin(limit, int(s.size())) - int(subStr.size()) + 1;
  for (int p = last; p >= 1; --p)
    if (s.compare(size_t(p - 1), subStr.size(), subStr) == 0) return p;
  return 0;
}

int UtlLastPos(const AnsiString& subStr, const AnsiString& s) { return UtlLastPosBefore(subStr, s, int(s.size())); }

void UtlReplaceAt(AnsiString& s, int position, const AnsiString& oldText, const AnsiString& newText) {
  if (position < 1 || size_t(position) > s.size() + 1) return;
  s.replace(size_t(position - 1), oldText.size(), newText);
}

void UtlReplaceAll(AnsiString& s, const AnsiString& oldText, const AnsiString& newText) {
  int p = UtlPosFrom(oldText, s, 1);
  while (p > 0) {
    UtlReplaceAt(s, p, oldText, newText);
    p = UtlPosFrom(oldText, s, p + int(newText.size()));
  }
}

void UtlReplaceChar(AnsiString& s, char oldChar, char newChar) {
  for (char& c : s)
    if (c == oldChar) c = newChar;
}

void UtlSplitText(const AnsiString& s, const AnsiString& delimiter, TStrings* list) {
  AnsiString text = s;
  if (delimiter.size() == 1)
    UtlReplaceChar(text, delimiter[0], '\n');
  else if (!delimiter.empty())
    UtlReplaceAll(text, delimiter, "\n");
  TStringList lines;
  lines.SetText(text);
  list->AddStrings(&lines);
}

bool UtlCanCreateFile(const AnsiString& fileName) {
  if (fileName.empty()) return false;
  if (FileExists(fileName)) return true;
  // O_EXCL: never truncate or remove something that appeared meanwhile.
  const int fd = ::open(AnsiToUtf8(fileName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST && FileExists(fileName);  // a folder of that name is no file
  ::close(fd);
  DeleteFile(fileName);
  return true;
}

AnsiString UtlAddSlash(const AnsiString& s) {
  return !s.empty() && s.back() == PathDelim ? s : s + PathDelim;
}

AnsiString UtlRemoveDoubleSlashes(const AnsiString& s) {
  AnsiString r = s;
  UtlReplaceAll(r, "//", "/");
  return r;
}

AnsiString UtlExtractName(const AnsiString& s) {
  const size_t at = s.rfind(PathDelim);
  return at == AnsiString::npos ? s : s.substr(at + 1);
}

AnsiString UtlExtractPath(const AnsiString& s) {
  const size_t at = s.rfind(PathDelim);
  return at == AnsiString::npos ? AnsiString() : s.substr(0, at + 1);
}

AnsiString UtlExtractNameNoExt(const AnsiString& s) {
  const AnsiString name = UtlExtractName(s);
  return name.substr(0, name.size() - ExtractFileExt(name).size());
}

namespace {
bool HasWildcard(const AnsiString& s) { return s.find_first_of("*?") != AnsiString::npos; }
}  // namespace

AnsiString UtlMergeFileName(const AnsiString& fileName, const AnsiString& mask) {
  if (Trim(mask).empty()) return fileName;
  AnsiString result = UtlExtractPath(mask);
  if (result.empty()) result = UtlExtractPath(fileName);
  const AnsiString maskName = UtlExtractNameNoExt(mask);
  result += maskName.empty() || HasWildcard(maskName) ? UtlExtractNameNoExt(fileName) : maskName;
  const AnsiString maskExt = ExtractFileExt(UtlExtractName(mask));
  result += maskExt.empty() || HasWildcard(maskExt) ? ExtractFileExt(UtlExtractName(fileName)) : maskExt;
  return result;
}

AnsiString UtlExpandPath(const AnsiString& folder, const AnsiString& path) {
  if (!path.empty() && path[0] == PathDelim) return path;
  return UtlRemoveDoubleSlashes(UtlAddSlash(folder) + path);
}

AnsiString UtlSystemFolder() { return "/usr/lib/"; }

// Path text operations (see paths.h).

#include "platform/rtl/paths.h"

#include <vector>

#include "platform/rtl/files.h"

namespace {

size_t NameStart(const AnsiString& name) {
  size_t delim = name.rfind(PathDelim);
  return delim == AnsiString::npos ? 0 : delim + 1;
}

size_t ExtensionStart(const AnsiString& name) {
  size_t dot = name.rfind('.');
  if (dot == AnsiString::npos || dot < NameStart(name)) return AnsiString::npos;
  return dot;
}

}  // namespace

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

AnsiString ExtractFilePath(const AnsiString& name) { return name.substr(0, NameStart(name)); }

AnsiString ExtractFileDir(const AnsiString& name) {
  return ExcludeTrailingPathDelimiter(ExtractFilePath(name));
}

AnsiString ExtractFileName(const AnsiString& name) { return name.substr(NameStart(name)); }

AnsiString ExtractFileExt(const AnsiString& name) {
  size_t dot = ExtensionStart(name);
  return dot == AnsiString::npos ? AnsiString() : name.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& extension) {
  return name.substr(0, ExtensionStart(name)) + extension;
}

AnsiString ExpandFileName(const AnsiString& name) {
  if (name.empty()) return name;
  AnsiString full = !name.empty() && name[0] == PathDelim
                        ? name
                        : IncludeTrailingPathDelimiter(GetCurrentDir()) + name;
  std::vector<AnsiString> parts;
  size_t pos = 0;
  while (pos <= full.size()) {
    size_t next = full.find(PathDelim, pos);
    if (next == AnsiString::npos) next = full.size();
    AnsiString part = full.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  AnsiString result;
  for (const AnsiString& part : parts) result += PathDelim + part;
  bool keep_delim = full.back() == PathDelim && !result.empty();
  return result.empty() ? AnsiString(1, PathDelim) : keep_delim ? result + PathDelim : result;
}

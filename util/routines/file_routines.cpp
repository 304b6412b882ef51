// File and shell routines (file_routines.h) over the runtime's files, folder
// search and trash.

#include "util/routines/file_routines.h"

#include <dlfcn.h>
#include <link.h>

#include <cerrno>

#include "platform/rtl/file_search.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "util/routines/shell_file_operation.h"
#include "util/routines/string_routines.h"

namespace {

constexpr int kLowAttributes = 0x3F;

bool IsLinkAttr(int attributes) { return attributes != -1 && (attributes & faSymLink); }

bool IsLink(const AnsiString& path) { return IsLinkAttr(FileGetAttr(path)); }

bool DeleteTreeEntry(const AnsiString& full, bool abortOnFailure, const TDeleteTreeCallback& callback) {
  const int attributes = FileGetAttr(full);
  if (attributes != -1 && (attributes & faDirectory)) {
    return DeleteDirectoryTree(full, abortOnFailure, callback);
  }
  if (callback && !callback(full, attributes)) return false;
  // A link has no attributes of its own to reset; it is removed as it is.
  if (!IsLinkAttr(attributes) && FileSetAttr(full, faNormal) != 0) return false;
  return DeleteFile(full);
}

}  // namespace

std::int64_t GetSizeOfFile(const AnsiString& name) {
  const int attributes = FileGetAttr(name);
  if (attributes == -1) return -1;
  if (attributes & faDirectory) return 0;
  return FileSize(name);
}

AnsiString AddTrailingSeparator(const AnsiString& path) {
  if (!path.empty() && path.back() == PathDelim) return path;
  return path + PathDelim;
}

AnsiString RemoveTrailingSeparator(const AnsiString& path) {
  if (!path.empty() && path.back() == PathDelim) return path.substr(0, path.size() - 1);
  return path;
}

bool FileNameMatchesMask(const AnsiString& fileName, const AnsiString& mask, bool caseSensitive) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  AnsiString name = fileName;
  if (name.find('.') == AnsiString::npos) name += '.';
  if (caseSensitive) return StrMatchesMask(mask, name, 1);
  return StrMatchesMask(AnsiUpperCase(mask), AnsiUpperCase(name), 1);
}

bool ListMatchingFiles(const AnsiString& path, int attr, TStrings* list, bool includeDirectoryName) {
  const AnsiString folder = ExtractFilePath(path);
  TStringList masks;
  SplitToList(folder.empty() ? path : TextAfter(folder, path), ';', &masks);
  TSearchRec rec;
  int found = FindFirst(folder + "*", faAnyFile, rec);
  bool result = found == 0;
  list->BeginUpdate();
  for (; found == 0; found = FindNext(rec)) {
    if (rec.Attr & kLowAttributes & ~attr) continue;
    for (int i = 0; i < masks.Count(); ++i) {
      if (FileNameMatchesMask(rec.Name, masks[i], false)) {
        list->Add(includeDirectoryName ? folder + rec.Name : rec.Name);
        break;
      }
    }
  }
  if (found != ENOENT) result = false;
  FindClose(rec);
  list->EndUpdate();
  return result;
}

bool DeleteDirectoryTree(const AnsiString& dir, bool abortOnFailure, const TDeleteTreeCallback& callback) {
  if (dir.empty()) return false;
  const AnsiString folder = RemoveTrailingSeparator(dir);
  if (IsLink(folder)) return DeleteFile(folder);  // the link goes, never what it points to
  TStringList names;
  ListMatchingFiles(folder + PathDelim + "*.*", faAnyFile, &names, false);
  bool result = true;
  for (int i = 0; i < names.Count(); ++i) {
    if (DeleteTreeEntry(folder + PathDelim + names[i], abortOnFailure, callback)) continue;
    result = false;
    if (abortOnFailure) break;
  }
  if (!result || FileSetAttr(folder, faNormal) != 0) return false;
  return RemoveDir(folder);
}

std::uint16_t ShellDeleteFlags(TShellDeleteOptions options) {
  std::uint16_t flags = 0;
  if (options & sdoSilent) flags |= FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
  if (options & sdoAllowUndo) flags |= FOF_ALLOWUNDO;
  if (options & sdoFilesOnly) flags |= FOF_FILESONLY;
  return flags;
}

bool ShellDeleteFiles(HWND window, const AnsiString& files, TShellDeleteOptions options) {
  // A folder reached through a link has no contents of its own; its target's are never touched.
  if (ExtractFileName(files).find_first_of("*?") != AnsiString::npos && IsLink(RemoveTrailingSeparator(ExtractFilePath(files))))
    return true;
  const AnsiString list = files + '\0';
  SHFILEOPSTRUCTA op{window, FO_DELETE, list.c_str(), nullptr, ShellDeleteFlags(options), 0, nullptr, nullptr};
  return SHFileOperationA(&op) == 0;
}

bool ShellDeleteFolder(HWND window, const AnsiString& dir, TShellDeleteOptions options) {
  options &= static_cast<TShellDeleteOptions>(~sdoFilesOnly);
  if (!ShellDeleteFiles(window, AddTrailingSeparator(dir) + "*.*", options)) return false;
  return ShellDeleteFiles(window, RemoveTrailingSeparator(dir), options);
}

bool DeleteDirectory(const AnsiString& dir, bool useShell) {
  if (useShell) return ShellDeleteFolder(0, dir, sdoSilent | sdoAllowUndo);
  return DeleteDirectoryTree(dir);
}

AnsiString GetModuleFilePath(HMODULE module) {
  link_map* map = nullptr;
  if (!module || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) return AnsiString();
  // The program itself is listed without a name.
  if (map->l_name && *map->l_name) return detail::FromOsName(map->l_name);
  return ParamStr(0);
}

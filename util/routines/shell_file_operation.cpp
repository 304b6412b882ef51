// The shell's file operation over std::filesystem: sources expanded from
// their wildcards, targets resolved (an existing folder takes the items by
// name; one source to a new name is copied to that name; several sources
// make the target folder), collisions settled by the flags, deletions to the
// trash on request. Moves across file systems copy, then delete.
#include "util/routines/shell_file_operation.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/rtl/file_search.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/trash.h"

namespace fs = std::filesystem;

namespace {

std::vector<AnsiString> NulList(const char* list) {
  std::vector<AnsiString> out;
  if (!list) return out;
  for (const char* p = list; *p; p += out.back().size() + 1) out.emplace_back(p);
  return out;
}

fs::path Os(const AnsiString& name) { return fs::path(detail::ToOsName(name)); }

bool HasWildcard(const AnsiString& name) { return name.find_first_of("*?") != AnsiString::npos; }

bool Exists(const AnsiString& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(Os(path), ec));
}

// The items a source names: itself, or what its wildcard matches.
std::vector<AnsiString> Expand(const AnsiString& source, bool filesOnly) {
  if (!HasWildcard(ExtractFileName(source)))
    return Exists(source) ? std::vector<AnsiString>{source} : std::vector<AnsiString>{};
  std::vector<AnsiString> items;
  const AnsiString folder = ExtractFilePath(source);
  TSearchRec rec;
  for (int found = FindFirst(source, faAnyFile, rec); found == 0; found = FindNext(rec))
    if (!(filesOnly && (rec.Attr & faDirectory))) items.push_back(folder + rec.Name);
  FindClose(rec);
  return items;
}

// "name (2).ext", "name (3).ext", ... : the first that is free.
AnsiString FreeName(const AnsiString& target) {
  const AnsiString ext = ExtractFileExt(target);
  const AnsiString stem = target.substr(0, target.size() - ext.size());
  for (int n = 2;; ++n) {
    const AnsiString candidate = stem + " (" + std::to_string(n) + ")" + ext;
    if (!Exists(candidate)) return candidate;
  }
}

int ErrorOf(const std::error_code& ec) { return ec.value() ? ec.value() : EIO; }

class Operation {
public:
  explicit Operation(const SHFILEOPSTRUCTA& op) : op_(op) {}

  int Run() {
    const std::vector<AnsiString> sources = NulList(op_.pFrom);
    const std::vector<AnsiString> targets = NulList(op_.pTo);
    if (op_.wFunc == FO_DELETE) {
      for (const AnsiString& s : sources) DeleteSource(s);
      return result_;
    }
    if (op_.wFunc != FO_COPY && op_.wFunc != FO_MOVE && op_.wFunc != FO_RENAME) return EINVAL;
    const bool paired = (op_.fFlags & FOF_MULTIDESTFILES) || op_.wFunc == FO_RENAME;
    for (size_t i = 0; i < sources.size(); ++i) {
      const AnsiString target = paired ? (i < targets.size() ? targets[i] : AnsiString()) : Front(targets);
      const std::vector<AnsiString> items = Expand(sources[i], op_.fFlags & FOF_FILESONLY);
      if (items.empty()) Fail(ENOENT);
      if (target.empty() && !items.empty()) Fail(EINVAL);
      if (target.empty()) continue;
      // One item to a name that is no folder becomes that name; otherwise the target is a folder.
      const bool intoFolder = DirectoryExists(target) || (!paired && (sources.size() > 1 || items.size() > 1 ||
                                                                      HasWildcard(ExtractFileName(sources[i]))));
      for (const AnsiString& item : items)
        Transfer(item, intoFolder ? IncludeTrailingPathDelimiter(target) + ExtractFileName(item) : target);
    }
    return result_;
  }

private:
  static AnsiString Front(const std::vector<AnsiString>& list) { return list.empty() ? AnsiString() : list[0]; }

  void Fail(int code) {
    if (!result_) result_ = code;
  }

  void DeleteSource(const AnsiString& source) {
    const std::vector<AnsiString> items = Expand(source, op_.fFlags & FOF_FILESONLY);
    // A wildcard that matches nothing in an existing folder has nothing to do; any other source that names nothing fails.
    const AnsiString folder = ExtractFilePath(source);
    if (items.empty() && (!HasWildcard(ExtractFileName(source)) || (!folder.empty() && !DirectoryExists(folder))))
      Fail(ENOENT);
    for (const AnsiString& item : items) {
      const bool gone = (op_.fFlags & FOF_ALLOWUNDO) ? MoveToTrash(item) : DeleteTree(item);
      if (!gone) Fail(EACCES);
    }
  }

  void Transfer(const AnsiString& item, AnsiString target) {
    if (Exists(target)) {
      if (fs::equivalent(Os(item), Os(target))) return Fail(EEXIST);
      if (op_.fFlags & FOF_RENAMEONCOLLISION) {
        target = FreeName(target);
      } else if (!(op_.fFlags & FOF_NOCONFIRMATION)) {
        return Fail(EEXIST);  // nobody to ask: the existing target stays
      } else if (!DeleteTree(target)) {
        return Fail(EACCES);
      }
    }
    const AnsiString folder = ExtractFileDir(target);
    if (!folder.empty() && !ForceDirectories(folder)) return Fail(EACCES);
    std::error_code ec;
    if (op_.wFunc == FO_COPY) return Copy(item, target);
    fs::rename(Os(item), Os(target), ec);
    if (ec == std::errc::cross_device_link) {
      Copy(item, target);
      if (Exists(target) && !DeleteTree(item)) Fail(EACCES);
      return;
    }
    if (ec) Fail(ErrorOf(ec));
  }

  void Copy(const AnsiString& item, const AnsiString& target) {
    std::error_code ec;
    fs::copy(Os(item), Os(target), fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) Fail(ErrorOf(ec));
  }

  const SHFILEOPSTRUCTA& op_;
  int result_ = 0;
};

}  // namespace

int SHFileOperationA(SHFILEOPSTRUCTA* operation) {
  if (!operation) return EINVAL;
  operation->fAnyOperationsAborted = 0;
  return Operation(*operation).Run();
}

// The shell's file operation over std::filesystem: sources expanded from
// their wildcards, targets resolved (an existing folder takes the items by
// name; one source to a new name is copied to that name; several sources
// make the target folder), collisions settled by the flags, deletions to the
// trash on request. A copy, and a move across file systems, is built under a
// name of its own beside the target and renamed into place only when whole;
// the source of such a move goes only then.
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
    bool replace = false;
    if (Exists(target)) {
      if (fs::equivalent(Os(item), Os(target))) return Fail(EEXIST);
      if (op_.fFlags & FOF_RENAMEONCOLLISION) {
        target = FreeName(target);
      } else if (!(op_.fFlags & FOF_NOCONFIRMATION)) {
        return Fail(EEXIST);  // nobody to ask: the existing target stays
      } else {
        replace = true;
      }
    }
    const AnsiString folder = ExtractFileDir(target);
    if (!folder.empty() && !ForceDirectories(folder)) return Fail(EACCES);
    std::error_code ec;
    const bool move = op_.wFunc != FO_COPY;
    if (move && !replace) {
      fs::rename(Os(item), Os(target), ec);
      if (ec != std::errc::cross_device_link) return ec ? Fail(ErrorOf(ec)) : void();
    }
    // Everything else is built whole under a name of its own beside the
    // target first: a failed copy leaves the source and any old target as
    // they were.
    const fs::path staged = FreePath(Os(target), ".partial");
    bool copied = false;
    if (move) fs::rename(Os(item), staged, ec);
    if (!move || ec == std::errc::cross_device_link) {
      ec.clear();
      fs::copy(Os(item), staged, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
      copied = true;
    }
    if (ec) {
      std::error_code ignored;
      if (copied) fs::remove_all(staged, ignored);
      return Fail(ErrorOf(ec));
    }
    if (!PutInPlace(staged, Os(target), replace, ec)) {
      std::error_code ignored;
      if (copied) fs::remove_all(staged, ignored);
      else fs::rename(staged, Os(item), ignored);  // the source back where it was
      return Fail(ErrorOf(ec));
    }
    if (move && copied && !DeleteTree(item)) Fail(EACCES);
  }

  // Renames staged to target. A file replaces an old file in one step; any
  // other old target is set aside until the new one is in place.
  static bool PutInPlace(const fs::path& staged, const fs::path& target, bool replace, std::error_code& ec) {
    const bool folders = fs::is_directory(fs::symlink_status(staged, ec)) ||
                         fs::is_directory(fs::symlink_status(target, ec));
    if (!replace || !folders) {
      fs::rename(staged, target, ec);
      return !ec;
    }
    const fs::path old = FreePath(target, ".old");
    fs::rename(target, old, ec);
    if (ec) return false;
    fs::rename(staged, target, ec);
    std::error_code ignored;
    if (ec) {
      fs::rename(old, target, ignored);
      return false;
    }
    fs::remove_all(old, ignored);
    return true;
  }

  // A name beside path that nothing holds: ".name.tag", ".name.tag2", ...
  static fs::path FreePath(const fs::path& path, const std::string& tag) {
    for (int n = 1;; ++n) {
      fs::path candidate = path.parent_path() / ("." + path.filename().string() + tag + (n > 1 ? std::to_string(n) : ""));
      std::error_code ec;
      if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
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

// Folder search (see file_search.h). The whole folder is read and sorted at
// FindFirst; FindNext walks the sorted list.

#include "platform/rtl/file_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/rtl/file_attributes.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"

namespace detail {

struct SearchState {
  std::vector<TSearchRec> entries;
  size_t next = 0;
};

}  // namespace detail

namespace {

constexpr int kExcludableAttributes = faHidden | faSysFile | faVolumeID | faDirectory;

bool MatchUpper(const char* name, const char* mask) {
  // Iterative matcher with one back-track point for the last "*".
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*mask == '*') {
      star = ++mask;
      resume = name;
    } else if (*mask == '?' || *mask == *name) {
      ++mask;
      ++name;
    } else if (star) {
      mask = star;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

bool NameLess(const TSearchRec& a, const TSearchRec& b) {
  AnsiString ua = detail::UpperName(a.Name);
  AnsiString ub = detail::UpperName(b.Name);
  return ua != ub ? ua < ub : a.Name < b.Name;
}

std::vector<TSearchRec> ReadFolder(const AnsiString& folder, const AnsiString& mask,
                                   int exclude) {
  std::vector<TSearchRec> entries;
  std::string os_folder = detail::ToOsName(folder.empty() ? AnsiString(".") : folder);
  DIR* dir = opendir(os_folder.c_str());
  if (dir == nullptr) return entries;
  while (dirent* entry = readdir(dir)) {
    std::string os_name = entry->d_name;
    if (os_name == "." || os_name == "..") continue;
    TSearchRec rec;
    rec.Name = detail::FromOsName(os_name);
    struct stat st;
    if (fstatat(dirfd(dir), os_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    rec.Attr = detail::AttributesOf(rec.Name, st);
    if ((rec.Attr & exclude) != 0 || !MatchesMask(rec.Name, mask)) continue;
    rec.Size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : 0;
    rec.ModifyTime = static_cast<int64_t>(st.st_mtime);
    rec.ExcludeAttr = exclude;
    entries.push_back(std::move(rec));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), NameLess);
  return entries;
}

}  // namespace

bool MatchesMask(const AnsiString& name, const AnsiString& mask) {
  if (mask == "*.*") return true;
  return MatchUpper(detail::UpperName(name).c_str(), detail::UpperName(mask).c_str());
}

int FindFirst(const AnsiString& path, int attributes, TSearchRec& rec) {
  FindClose(rec);
  AnsiString folder = ExtractFilePath(path);
  if (!folder.empty() && !DirectoryExists(folder)) return ENOENT;
  auto state = std::make_shared<detail::SearchState>();
  state->entries = ReadFolder(folder, ExtractFileName(path), ~attributes & kExcludableAttributes);
  rec.FindHandle = state;
  return FindNext(rec);
}

int FindNext(TSearchRec& rec) {
  auto state = rec.FindHandle;
  if (!state || state->next >= state->entries.size()) return ENOENT;
  rec = state->entries[state->next++];
  rec.FindHandle = state;
  return 0;
}

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

#include "tools/arctool/extract_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

ExtractTarget::ExtractTarget(const AnsiString& folder, bool overwrite)
    : root_(AnsiToUtf8(ExcludeTrailingPathDelimiter(ExpandFileName(folder)))), overwrite_(overwrite) {
  // The permissions a new file gets; asked once, since asking sets it.
  fileMode_ = ::umask(0);
  ::umask(fileMode_);
  fileMode_ = 0666 & ~fileMode_;
  MakeFolders(root_, {});
}

// Elements "." and empty ones are dropped; ".." and an absolute name are
// refused, so nothing lands outside the folder and "a", "./a" and "../a"
// never meet on one file unnoticed.
std::string ExtractTarget::PathOf(const std::string& name) const {
  if (!name.empty() && name[0] == '/') throw Exception("absolute name, not extracted");
  std::string path = root_;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string element = name.substr(start, end - start);
    if (element == "..") throw Exception("name climbs out of the folder with \"..\", not extracted");
    if (!element.empty() && element != ".") path += "/" + element;
    start = end + 1;
  }
  return path == root_ ? std::string() : path;
}

// A folder made or found once is not asked about again: members of one
// folder would otherwise cost a failing mkdir and a stat each.
void ExtractTarget::MakeFolders(const std::string& path, const std::string& name) {
  if (folders_.count(path)) return;
  for (size_t at = name.empty() ? 1 : root_.size() + 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    std::string folder = path.substr(0, at);
    if (::mkdir(folder.c_str(), 0777) != 0 && !IsFolder(folder))
      throw Exception(Exists(folder) ? "a file stands where its folder belongs" : "cannot create its folder");
  }
  folders_.insert(path);
}

std::string ExtractTarget::PlaceFile(const std::string& name) {
  std::string path = PathOf(name);
  if (path.empty()) return path;
  if (written_.count(path)) throw Exception("another member of the archive was already extracted to this path");
  if (Exists(path) && (!overwrite_ || IsFolder(path)))
    throw Exception(IsFolder(path) ? "a folder stands in its place" : "file exists, not overwritten (-f overwrites)");
  MakeFolders(path.substr(0, path.rfind('/')), name);
  return path;
}

void ExtractTarget::PlaceFolder(const std::string& name) {
  std::string path = PathOf(name);
  if (!path.empty()) MakeFolders(path, name);
}

AnsiString ExtractTarget::NewScratchFile(int* handle) const {
  std::string pattern = root_ + "/.arctool-XXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw Exception("cannot create a scratch file in the folder");
  // The permissions a new file gets, not the scratch file's private ones.
  ::fchmod(fd, fileMode_);
  if (handle) *handle = fd;
  else ::close(fd);
  return Utf8ToAnsi(pattern);
}

void ExtractTarget::Commit(const AnsiString& scratch, const std::string& path) {
  const std::string from = AnsiToUtf8(scratch);
  int done = overwrite_ ? ::rename(from.c_str(), path.c_str())
                        : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
  if (done == 0) {
    written_.insert(path);
    return;
  }
  const bool existed = errno == EEXIST;
  ::unlink(from.c_str());
  throw Exception(existed ? "file exists, not overwritten (-f overwrites)" : "cannot give the file its name");
}

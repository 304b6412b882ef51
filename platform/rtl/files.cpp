// Files and folders on the local file system (see files.h).

#include "platform/rtl/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "platform/rtl/file_attributes.h"
#include "platform/rtl/os_names.h"

using detail::FromOsName;
using detail::ToOsName;

namespace {

bool StatFollowing(const AnsiString& name, struct stat& st) {
  return !name.empty() && stat(ToOsName(name).c_str(), &st) == 0;
}

bool DeleteTreeAt(int parent_fd, const std::string& name);

// Deletes the contents of an open folder; the caller removes the folder.
bool DeleteContents(int dir_fd) {
  DIR* dir = fdopendir(dir_fd);
  if (dir == nullptr) {
    close(dir_fd);
    return false;
  }
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  bool ok = true;
  for (const std::string& name : names) ok = DeleteTreeAt(dirfd(dir), name) && ok;
  closedir(dir);
  return ok;
}

bool DeleteTreeAt(int parent_fd, const std::string& name) {
  struct stat st;
  if (fstatat(parent_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return unlinkat(parent_fd, name.c_str(), 0) == 0;
  // O_NOFOLLOW: if the entry was swapped for a link since the check, it is not entered.
  int fd = openat(parent_fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = DeleteContents(fd);
  return unlinkat(parent_fd, name.c_str(), AT_REMOVEDIR) == 0 && ok;
}

// The arguments as the kernel holds them, NUL-separated in /proc/self/cmdline.
const std::vector<AnsiString>& Arguments() {
  static const std::vector<AnsiString> args = [] {
    std::vector<AnsiString> result;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t pos = 0;
    while (pos < raw.size()) {
      size_t end = raw.find('\0', pos);
      if (end == std::string::npos) end = raw.size();
      result.push_back(FromOsName(raw.substr(pos, end - pos)));
      pos = end + 1;
    }
    return result;
  }();
  return args;
}

AnsiString ProgramPath() {
  char buffer[PATH_MAX];
  ssize_t len = readlink("/proc/self/exe", buffer, sizeof buffer);
  return len > 0 ? FromOsName(std::string(buffer, static_cast<size_t>(len))) : AnsiString();
}

AnsiString HexDigits(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
  return text;
}

}  // namespace

bool FileExists(const AnsiString& name) {
  struct stat st;
  return StatFollowing(name, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& name) {
  struct stat st;
  return StatFollowing(name, st) && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const AnsiString& dir) {
  if (dir.empty()) return false;
  AnsiString path = ExcludeTrailingPathDelimiter(dir);
  if (path == "/" || DirectoryExists(path)) return true;
  AnsiString parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
  return CreateDir(path) || DirectoryExists(path);
}

bool CreateDir(const AnsiString& dir) {
  return !dir.empty() && mkdir(ToOsName(dir).c_str(), 0777) == 0;
}

bool RemoveDir(const AnsiString& dir) { return !dir.empty() && rmdir(ToOsName(dir).c_str()) == 0; }

bool DeleteFile(const AnsiString& name) {
  struct stat st;
  std::string os_name = ToOsName(name);
  if (name.empty() || lstat(os_name.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(os_name.c_str()) == 0;
}

bool RenameFile(const AnsiString& old_name, const AnsiString& new_name) {
  if (old_name.empty() || new_name.empty()) return false;
  return rename(ToOsName(old_name).c_str(), ToOsName(new_name).c_str()) == 0;
}

int FileGetAttr(const AnsiString& name) {
  struct stat st;
  if (name.empty() || lstat(ToOsName(name).c_str(), &st) != 0) return -1;
  return detail::AttributesOf(ExtractFileName(ExcludeTrailingPathDelimiter(name)), st);
}

int FileSetAttr(const AnsiString& name, int attributes) {
  struct stat st;
  std::string os_name = ToOsName(name);
  if (name.empty() || lstat(os_name.c_str(), &st) != 0) return errno;
  if (S_ISLNK(st.st_mode)) return EPERM;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & faReadOnly) ? mode & ~S_IWUSR : mode | S_IWUSR;
  return chmod(os_name.c_str(), mode) == 0 ? 0 : errno;
}

int64_t FileSize(const AnsiString& name) {
  struct stat st;
  if (!StatFollowing(name, st) || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool DeleteTree(const AnsiString& path) {
  if (path.empty()) return false;
  AnsiString full = ExcludeTrailingPathDelimiter(ExpandFileName(path));
  if (full == "/") return false;
  int parent = open(ToOsName(ExtractFileDir(full)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return false;
  bool ok = DeleteTreeAt(parent, ToOsName(ExtractFileName(full)));
  close(parent);
  return ok;
}

AnsiString GetCurrentDir() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? FromOsName(buffer) : AnsiString();
}

bool SetCurrentDir(const AnsiString& dir) { return !dir.empty() && chdir(ToOsName(dir).c_str()) == 0; }

AnsiString GetTempDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = tmp && *tmp ? tmp : "/tmp";
  return IncludeTrailingPathDelimiter(FromOsName(dir));
}

AnsiString GetTempFileName(const AnsiString& dir, const AnsiString& prefix, unsigned unique) {
  AnsiString base = IncludeTrailingPathDelimiter(dir) + prefix;
  if (unique != 0) return base + HexDigits(unique) + ".tmp";
  static std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 0x10000; ++attempt) {
    AnsiString name = base + HexDigits(random() % 0xFFFF + 1) + ".tmp";
    int fd = open(ToOsName(name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  return AnsiString();
}

int ParamCount() {
  int count = static_cast<int>(Arguments().size()) - 1;
  return count > 0 ? count : 0;
}

AnsiString ParamStr(int index) {
  if (index == 0) return ProgramPath();
  if (index < 0 || index > ParamCount()) return AnsiString();
  return Arguments()[static_cast<size_t>(index)];
}

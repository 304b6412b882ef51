// The home trash (see trash.h). The info file is created first with O_EXCL,
// which reserves the name against other programs trashing at the same time;
// the item is then renamed into files/. Renaming never crosses file systems,
// so an item on another file system is reported as not trashable.

#include "platform/rtl/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"

namespace {

constexpr int kMaxNameAttempts = 10000;

std::string TrashFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/") + "/.local/share/Trash";
}

bool MakeFolders(const std::string& trash) {
  if (!ForceDirectories(detail::FromOsName(trash.substr(0, trash.rfind('/'))))) return false;
  for (const std::string& dir : {trash, trash + "/files", trash + "/info"}) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// Percent-encodes a path for the Path= line, keeping "/" and unreserved bytes.
std::string EscapePath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string InfoText(const std::string& original) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + EscapePath(original) + "\nDeletionDate=" + date + "\n";
}

std::string CandidateName(const std::string& base, int attempt) {
  return attempt == 0 ? base : base + "_" + std::to_string(attempt + 1);
}

}  // namespace

bool MoveToTrash(const AnsiString& path) {
  if (path.empty()) return false;
  AnsiString full = ExcludeTrailingPathDelimiter(ExpandFileName(path));
  std::string original = detail::ToOsName(full);
  struct stat st;
  if (full == "/" || lstat(original.c_str(), &st) != 0) return false;
  std::string trash = TrashFolder();
  if (!MakeFolders(trash)) return false;
  std::string base = detail::ToOsName(ExtractFileName(full));
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    std::string name = CandidateName(base, attempt);
    std::string info = trash + "/info/" + name + ".trashinfo";
    std::string target = trash + "/files/" + name;
    if (lstat(target.c_str(), &st) == 0) continue;
    int fd = open(info.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    std::string text = InfoText(original);
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    written = close(fd) == 0 && written;
    if (written && rename(original.c_str(), target.c_str()) == 0) return true;
    std::remove(info.c_str());
    return false;
  }
  return false;
}

// The trash (see trash.h). The info file is created first with O_EXCL, which
// reserves the name against other programs trashing at the same time; the
// item is then renamed into files/. The file system of a path is told by the
// mount table, so a bind mount counts as the separate mount a rename cannot
// cross.

#include "platform/rtl/trash.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"

namespace {

constexpr int kMaxNameAttempts = 10000;

// A failed step: its system message, kept for the caller.
struct TFailure {
  std::string text;
};

TFailure SystemFailure(const std::string& what) { return {what + ": " + std::strerror(errno)}; }

std::string HomeTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/") + "/.local/share/Trash";
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// A mount point as the mount table writes it: blank, tab, newline and
// backslash as three octal digits after a backslash.
std::string UnescapeMountPoint(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool Inside(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

// The top folder of the mount that holds a resolved path: the longest mount
// point above it ("/" when the table cannot be read).
std::string MountPointOf(const std::string& path) {
  std::ifstream table("/proc/self/mountinfo");
  std::string best = "/", line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point;
    if (!(fields >> id >> parent >> device >> root >> point)) continue;
    point = UnescapeMountPoint(point);
    if (Inside(path, point) && point.size() > best.size()) best = point;
  }
  return best;
}

// The nearest folder at or above path that exists, resolved.
std::string ExistingFolder(std::string path) {
  char resolved[PATH_MAX];
  while (!realpath(path.c_str(), resolved)) {
    if (path == "/") return "/";
    path = ParentOf(path);
  }
  return resolved;
}

bool MakeFolder(const std::string& dir, mode_t mode, TFailure& failure) {
  if (mkdir(dir.c_str(), mode) == 0 || errno == EEXIST) return true;
  failure = SystemFailure(dir);
  return false;
}

// A trash folder made by someone else is taken only when it is a real folder
// of this user: a link or a foreign folder could lead the items anywhere.
bool OwnFolder(const std::string& dir, TFailure& failure) {
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0) {
    failure = SystemFailure(dir);
    return false;
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
    failure = {dir + ": " + std::strerror(ENOTDIR)};
    return false;
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

// Moves the item into the trash folder, its info file naming infoPath.
bool MoveInto(const std::string& trash, const std::string& item, const std::string& infoPath, TFailure& failure) {
  if (!MakeFolder(trash, 0700, failure) || !OwnFolder(trash, failure) || !MakeFolder(trash + "/files", 0700, failure) ||
      !MakeFolder(trash + "/info", 0700, failure))
    return false;
  const std::string base = item.substr(item.rfind('/') + 1);
  struct stat st;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    const std::string name = CandidateName(base, attempt);
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const std::string target = trash + "/files/" + name;
    if (lstat(target.c_str(), &st) == 0) continue;
    const int fd = open(info.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      failure = SystemFailure(info);
      return false;
    }
    const std::string text = InfoText(infoPath);
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    written = close(fd) == 0 && written;
    if (!written) failure = SystemFailure(info);
    if (written && rename(item.c_str(), target.c_str()) == 0) return true;
    if (written) failure = SystemFailure(item);
    std::remove(info.c_str());
    return false;
  }
  failure = {trash + ": " + std::strerror(EEXIST)};
  return false;
}

// The trash of the mount's top folder: .Trash/<uid> when .Trash is a sticky
// folder and not a link, else .Trash-<uid>. Paths in their info files are
// relative to the top folder, so the trash stays right wherever the file
// system is mounted next.
bool MoveToTopTrash(const std::string& top, const std::string& item, TFailure& failure) {
  const std::string prefix = top == "/" ? "/" : top + "/";
  const std::string relative = item.substr(prefix.size());
  const std::string uid = std::to_string(getuid());
  struct stat st;
  const std::string shared = prefix + ".Trash";
  if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
      MoveInto(shared + "/" + uid, item, relative, failure))
    return true;
  return MoveInto(prefix + ".Trash-" + uid, item, relative, failure);
}

bool Trash(const AnsiString& path, TFailure& failure) {
  failure = {std::strerror(ENOENT)};
  if (path.empty()) return false;
  const AnsiString full = ExcludeTrailingPathDelimiter(ExpandFileName(path));
  const std::string given = detail::ToOsName(full);
  struct stat st;
  if (full == "/" || lstat(given.c_str(), &st) != 0) {
    failure = SystemFailure(given);
    return false;
  }
  // The folder holding the item is resolved; the item itself is not, so a
  // link goes as the link.
  char parent[PATH_MAX];
  if (!realpath(ParentOf(given).c_str(), parent)) {
    failure = SystemFailure(given);
    return false;
  }
  const std::string item =
      (std::string(parent) == "/" ? "" : std::string(parent)) + "/" + given.substr(given.rfind('/') + 1);
  const std::string mount = MountPointOf(parent);
  const std::string home = HomeTrash();
  if (MountPointOf(ExistingFolder(home)) == mount) {
    if (!ForceDirectories(detail::FromOsName(ParentOf(home)))) {
      failure = SystemFailure(ParentOf(home));
      return false;
    }
    return MoveInto(home, item, item, failure);
  }
  return MoveToTopTrash(mount, item, failure);
}

}  // namespace

bool MoveToTrash(const AnsiString& path, AnsiString& reason) {
  TFailure failure;
  if (Trash(path, failure)) return true;
  reason = detail::FromOsName(failure.text);
  return false;
}

bool MoveToTrash(const AnsiString& path) {
  AnsiString reason;
  return MoveToTrash(path, reason);
}

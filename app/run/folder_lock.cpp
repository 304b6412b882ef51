// The folder lock. flock does not tell who holds a lock, but the kernel's
// lock table (/proc/locks) does, by the locked folder's device and inode.
#include "app/run/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"

namespace {

// The process that holds a flock on the file with this device and inode.
AnsiString LockHolder(const struct stat& st) {
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%llu", major(st.st_dev), minor(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, pid, file;
    if (!(fields >> number >> kind) || kind == "->") continue;
    if (!(fields >> mode >> access >> pid >> file) || kind != "FLOCK" || file != id) continue;
    std::ifstream cmdline("/proc/" + pid + "/cmdline", std::ios::binary);
    std::string command((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    while (!command.empty() && command.back() == '\0') command.pop_back();
    for (char& c : command)
      if (c == '\0') c = ' ';
    return "pid " + pid + (command.empty() ? "" : ": " + Utf8ToAnsi(command));
  }
  return "?";
}

}  // namespace

TFolderLock::~TFolderLock() { Release(); }

void TFolderLock::Release() {
  for (int fd : fds_) ::close(fd);
  fds_.clear();
}

bool TFolderLock::Take(const std::vector<AnsiString>& folders, AnsiString& busy, AnsiString& holder) {
  Release();
  std::vector<std::pair<dev_t, ino_t>> taken;
  for (const AnsiString& folder : folders) {
    const int fd = ::open(detail::ToOsName(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;  // a folder the run makes later
    struct stat st;
    if (::fstat(fd, &st) != 0 ||
        std::find(taken.begin(), taken.end(), std::make_pair(st.st_dev, st.st_ino)) != taken.end()) {
      ::close(fd);
      continue;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      Release();
      busy = folder;
      holder = LockHolder(st);
      return false;
    }
    fds_.push_back(fd);
    taken.emplace_back(st.st_dev, st.st_ino);
  }
  return true;
}

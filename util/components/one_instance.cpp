// Single instance over flock: "<base>CriticalSection" is held while one copy
// checks, "<base>Default" by the first copy for its whole life (the
// descriptor stays open until the process ends, which releases the lock).
#include "util/components/one_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"
#include "util/components/app_window_routines.h"

namespace {
constexpr char SAlreadyRunning[] = "Application \"%s\" is already running.";

int defaultLock = -1;  // held by the first copy until the program ends

// A lock file's name: "/" (and "%", to stay unambiguous) escaped.
AnsiString LockFile(const AnsiString& name) {
  AnsiString escaped;
  for (char c : name) {
    if (c == '/') escaped += "%2F";
    else if (c == '%') escaped += "%25";
    else escaped += c;
  }
  return OneInstanceLockFolder() + escaped;
}

// An open descriptor holding the lock, or -1 (errno EWOULDBLOCK when another holds it).
int TakeLock(const AnsiString& name) {
  const int fd = ::open(detail::ToOsName(LockFile(name)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
  const int error = errno;
  ::close(fd);
  errno = error;
  return -1;
}
}  // namespace

AnsiString OneInstanceLockFolder() {
  const auto withSlash = [](const std::string& folder) {
    return detail::FromOsName(folder.back() == '/' ? folder : folder + "/");
  };
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return withSlash(runtime);
  // Without one, a folder of this user's own in the temp folder: locks of
  // another user, stale or alive, never meet this user's.
  const char* temp = std::getenv("TMPDIR");
  const std::string own = std::string(temp && *temp ? temp : "/tmp") + "/vorbex05-" + std::to_string(::getuid());
  ::mkdir(own.c_str(), 0700);
  struct stat st;
  if (::lstat(own.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && !(st.st_mode & 077))
    return withSlash(own);
  // Someone else took that name: the user's cache folder.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const AnsiString folder = withSlash(cache && *cache ? std::string(cache) : std::string(home ? home : "") + "/.cache") +
                            "vorbex05/";
  ForceDirectories(folder);
  return folder;
}

AnsiString TUtlOneInstance::LockBase() const {
  AnsiString base = exeNameAsIdentifier_ ? AnsiUpperCase(Application->ExeName()) : Application->Title();
  base += identifier_ + ".OneInstance.";
  for (char& c : base)
    if (c == '\\') c = '/';
  return base;
}

bool TUtlOneInstance::IsAnotherInstanceRunning() {
  if (InState(csDesigning)) return false;
  const AnsiString base = LockBase();
  // Another copy checking at this moment counts as running.
  const int critical = TakeLock(base + "CriticalSection");
  if (critical < 0) return true;
  bool another = true;
  if (defaultLock >= 0) {
    another = false;  // this copy already holds it
  } else {
    defaultLock = TakeLock(base + "Default");
    another = defaultLock < 0;
  }
  ::close(critical);
  return another;
}

bool TUtlOneInstance::CheckInstance() {
  if (!IsAnotherInstanceRunning()) return false;
  terminate_ = true;
  if (showMessage_) ShowAlreadyRunning();
  if (activatePrevInstance_) ActivatePrevious();
  if (terminate_) Application->Terminate();
  return true;
}

void TUtlOneInstance::Loaded() {
  TUtlComponent::Loaded();
  CheckInstance();
}

void TUtlOneInstance::ActivatePrevious() {
  if (UtlActivatePrevInstance()) return;
  // The first copy is another process: its application window is asked by class and title.
  char cls[256] = {};
  GetClassNameA(Application->Handle(), cls, sizeof cls);
  ActivateForeignWindow(cls, Application->Title().c_str());
}

void TUtlOneInstance::ShowAlreadyRunning() {
  if (OnShowMessage) {
    OnShowMessage(this, terminate_);
    return;
  }
  const AnsiString& title = Application->Title();
  const AnsiString text = message_.empty() ? Format(SAlreadyRunning, {title}) : message_;
  MessageBoxA(Application->Handle(), text.c_str(), title.c_str(), MB_ICONWARNING);
}

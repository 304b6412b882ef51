// Folder and registry change monitors (see change_monitors.h).
#include "util/components/change_monitors.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/gui/type_info.h"
#include "platform/rtl/files.h"
#include "platform/rtl/text.h"

namespace {
std::atomic<int> liveMonitors{0};

// Platform folder filter bits.
constexpr unsigned kFileName = 0x1, kDirName = 0x2, kAttributes = 0x4, kSize = 0x8, kLastWrite = 0x10,
                   kSecurity = 0x100;
constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
}  // namespace

TRegistryRoot UtlRegRootKeyHandle(TUtlRegRootKey key) {
  static const TRegistryRoot roots[] = {rkClassesRoot, rkCurrentUser,   rkLocalMachine,
                                        rkUsers,       rkCurrentConfig, rkDynData};
  return roots[key];
}

unsigned UtlFolderPlatformFilter(TFolderMonitorFilters filters) {
  return (filters & 0x1F) | ((filters & (1u << fmfSecurityChange)) ? kSecurity : 0);
}

unsigned UtlRegistryPlatformFilter(TUtlRegistryMonitorFilters filters) { return filters & 0xF; }

// --- the workers' shared part ---------------------------------------------------------------

// The component owns its current worker; the worker frees itself only once
// the component has let it go (TerminateAndFree), so a worker that ends by
// itself (a missing folder) is never left dangling in its component.
TUtlMonitorThread::TUtlMonitorThread() : stop_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) { ++liveMonitors; }

TUtlMonitorThread::~TUtlMonitorThread() {
  if (stop_ >= 0) ::close(stop_);
  --liveMonitors;
}

int TUtlMonitorThread::LiveCount() { return liveMonitors; }

void TUtlMonitorThread::Interrupt() {
  const std::uint64_t one = 1;
  if (stop_ >= 0) (void)!::write(stop_, &one, sizeof one);
}

bool TUtlMonitorThread::WaitReadable(int fd) {
  pollfd p[2] = {{fd, POLLIN, 0}, {stop_, POLLIN, 0}};
  while (!Terminated()) {
    const int n = ::poll(p, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || p[1].revents) return false;
    if (p[0].revents & POLLIN) return true;
    if (p[0].revents) return false;  // the descriptor broke
  }
  return false;
}

void TUtlMonitorThread::Changed() {
  // The handler belongs to the component, which only the loop's thread changes.
  Synchronize([this] {
    if (OnChange && !Terminated()) OnChange();
  });
}

// --- the folder worker ----------------------------------------------------------------------

TUtlFolderMonitorThread::~TUtlFolderMonitorThread() {
  if (notify_ >= 0) ::close(notify_);
}

void TUtlFolderMonitorThread::WatchTree(const std::string& path) {
  const int wd = inotify_add_watch(notify_, path.c_str(), watchMask_);
  if (wd < 0) return;
  paths_[wd] = path;
  if (!subTree_) return;
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return;
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string child = path + "/" + name;
    struct stat st;
    // Links are not followed: a link to a folder above would loop.
    if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) WatchTree(child);
  }
  ::closedir(dir);
}

void TUtlFolderMonitorThread::SetParams(const AnsiString& folder, bool watchSubTree, unsigned platformFilter) {
  subTree_ = watchSubTree;
  filter_ = platformFilter;
  watchMask_ = IN_ONLYDIR;
  if (filter_ & (kFileName | kDirName)) watchMask_ |= kNameEvents;
  if (filter_ & (kAttributes | kSecurity)) watchMask_ |= IN_ATTRIB;
  if (filter_ & (kSize | kLastWrite)) watchMask_ |= IN_MODIFY | IN_CLOSE_WRITE;
  if (subTree_) watchMask_ |= IN_CREATE | IN_MOVED_TO;  // new sub-folders get watched
  std::string path = AnsiToUtf8(Trim(folder).empty() ? GetCurrentDir() : folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (notify_ >= 0) ::close(notify_);
  paths_.clear();
  notify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (notify_ < 0) return;
  WatchTree(path);
  if (paths_.empty()) {  // no such folder: the worker ends at once
    ::close(notify_);
    notify_ = -1;
  }
}

bool TUtlFolderMonitorThread::Counts(std::uint32_t mask) const {
  const bool isDir = mask & IN_ISDIR;
  if (mask & kNameEvents) return filter_ & (isDir ? kDirName : kFileName);
  if (mask & IN_ATTRIB) return filter_ & (kAttributes | kSecurity);
  if (mask & (IN_MODIFY | IN_CLOSE_WRITE)) return filter_ & (kSize | kLastWrite);
  return false;
}

void TUtlFolderMonitorThread::Execute() {
  if (notify_ < 0) return;
  alignas(inotify_event) char buffer[16384];
  while (!Terminated() && WaitReadable(notify_)) {
    bool counted = false;
    const ssize_t n = ::read(notify_, buffer, sizeof buffer);
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + e->len);
      if (e->mask & IN_IGNORED) {
        paths_.erase(e->wd);
        continue;
      }
      auto folder = paths_.find(e->wd);
      if (subTree_ && (e->mask & IN_ISDIR) && (e->mask & (IN_CREATE | IN_MOVED_TO)) && e->len &&
          folder != paths_.end())
        WatchTree(folder->second + "/" + e->name);
      counted = counted || Counts(e->mask);
    }
    if (counted) Changed();
  }
}

// --- the registry worker --------------------------------------------------------------------

TUtlRegistryMonitorThread::~TUtlRegistryMonitorThread() { UtlCloseHandleSafe(event_); }

void TUtlRegistryMonitorThread::SetParams(TRegistryRoot root, const AnsiString& key, unsigned platformFilter,
                                          bool watchSubTree) {
  UtlCloseHandleSafe(event_);
  event_ = UtlCreateRegChangeEvent(root, key, watchSubTree, platformFilter, info_);
}

void TUtlRegistryMonitorThread::Execute() {
  // The notice compares the key with its state when armed, so the key being
  // created or deleted is a change like any other.
  while (event_ >= 0 && !Terminated() && WaitReadable(event_))
    if (UtlRearmRegChangeEvent(event_, info_)) Changed();
}

// --- the monitors ---------------------------------------------------------------------------

TUtlCustomChangeMonitor::~TUtlCustomChangeMonitor() { StopMonitor(); }

void TUtlCustomChangeMonitor::SetActive(bool value) {
  active_ = value;
  UpdateMonitor();
}

void TUtlCustomChangeMonitor::SetWatchSubTree(bool value) {
  if (value == watchSubTree_) return;
  watchSubTree_ = value;
  UpdateMonitor();
}

void TUtlCustomChangeMonitor::SetNotifyFilters(unsigned value) {
  if (value == filters_) return;
  filters_ = value;
  UpdateMonitor();
}

void TUtlCustomChangeMonitor::SetOnChange(TUtlChangeEvent value) {
  onChange_ = std::move(value);
  UpdateMonitor();
}

void TUtlCustomChangeMonitor::UpdateMonitor() {
  if (active_)
    StartMonitor();
  else
    StopMonitor();
}

void TUtlCustomChangeMonitor::StartMonitor() {
  StopMonitor();
  if (InState(csDesigning) || InState(csLoading) || InState(csDestroying) || !active_ || !onChange_) return;
  worker_ = CreateWorker();
  worker_->OnChange = onChange_;
  worker_->Resume();
}

void TUtlCustomChangeMonitor::StopMonitor() {
  if (InState(csDesigning) || InState(csReading) || !worker_) return;
  TUtlMonitorThread* old = worker_;
  worker_ = nullptr;
  old->OnChange = nullptr;
  old->TerminateAndFree();  // its stop descriptor ends its wait at once
}

void TUtlCustomChangeMonitor::Loaded() {
  TUtlComponent::Loaded();
  SetActive(active_);
}

void TUtlCustomFolderMonitor::SetFolder(const AnsiString& value) {
  if (value == folder_) return;
  folder_ = value;
  UpdateMonitor();
}

TUtlMonitorThread* TUtlCustomFolderMonitor::CreateWorker() {
  auto* worker = new TUtlFolderMonitorThread;
  worker->SetParams(folder_, WatchSubTree(), UtlFolderPlatformFilter(NotifyFilters()));
  return worker;
}

void TUtlCustomRegistryMonitor::SetRegistryKey(const AnsiString& value) {
  if (value == key_) return;
  key_ = value;
  UpdateMonitor();
}

void TUtlCustomRegistryMonitor::SetRootKey(TUtlRegRootKey value) {
  if (value == root_) return;
  root_ = value;
  UpdateMonitor();
}

TUtlMonitorThread* TUtlCustomRegistryMonitor::CreateWorker() {
  auto* worker = new TUtlRegistryMonitorThread;
  worker->SetParams(UtlRegRootKeyHandle(root_), key_, UtlRegistryPlatformFilter(NotifyFilters()), WatchSubTree());
  return worker;
}

void RegisterChangeMonitorProps() {
  using F = TUtlFolderMonitor;
  RegisterProps<F>("TUtlFolderMonitor",
                   {BoolProp("Active", &F::Active, &F::SetActive),
                    StrProp<F>("Folder", &F::Folder, &F::SetFolder),
                    SetProp("NotifyFilters",
                            {"fmfFileNameChange", "fmfDirNameChange", "fmfAttributeChange", "fmfSizeChange",
                             "fmfWriteChange", "fmfSecurityChange"},
                            &F::NotifyFilters, &F::SetNotifyFilters),
                    BoolProp("WatchSubTree", &F::WatchSubTree, &F::SetWatchSubTree)});
  using R = TUtlRegistryMonitor;
  RegisterProps<R>("TUtlRegistryMonitor",
                   {BoolProp("Active", &R::Active, &R::SetActive),
                    StrProp<R>("RegistryKey", &R::RegistryKey, &R::SetRegistryKey),
                    EnumProp("RootKey",
                             {"rrkClassesRoot", "rrkCurrentUser", "rrkLocalMachine", "rrkUsers", "rrkCurrentConfig",
                              "rrkDynData"},
                             &R::RootKey, &R::SetRootKey),
                    SetProp("NotifyFilters", {"rmfSubTreeChange", "rmfAttributeChange", "rmfValueChange", "rmfSecurityChange"},
                            &R::NotifyFilters, &R::SetNotifyFilters),
                    BoolProp("WatchSubTree", &R::WatchSubTree, &R::SetWatchSubTree)});
}

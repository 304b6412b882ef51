// Folder and registry change monitors: while Active with OnChange set, a
// worker waits for the kernel's change notices (inotify) and runs OnChange on
// the message loop's thread, once per batch of notices it reads. Every
// property change replaces the worker. A stopped worker ends at once: it also
// waits on a stop descriptor that stopping, a property change or destruction
// signals, and frees itself when it ends.
//
// LiveCount counts worker objects, so "at once" shows in tests.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <string>

#include "util/components/desktop_component.h"
#include "util/components/worker_threads.h"
#include "util/routines/registry_writing.h"

using TUtlChangeEvent = std::function<void()>;

enum TFolderMonitorFilter {
  fmfFileNameChange, fmfDirNameChange, fmfAttributeChange, fmfSizeChange, fmfWriteChange, fmfSecurityChange
};
using TFolderMonitorFilters = unsigned;  // bit (1 << filter)

enum TUtlRegistryMonitorFilter { rmfSubTreeChange, rmfAttributeChange, rmfValueChange, rmfSecurityChange };
using TUtlRegistryMonitorFilters = unsigned;

enum TUtlRegRootKey { rrkClassesRoot, rrkCurrentUser, rrkLocalMachine, rrkUsers, rrkCurrentConfig, rrkDynData };
TRegistryRoot UtlRegRootKeyHandle(TUtlRegRootKey key);

// The platform's filter values: folder bits 0-4 as they are, bit 5 as $100;
// registry bits 0-3 as they are.
unsigned UtlFolderPlatformFilter(TFolderMonitorFilters filters);
unsigned UtlRegistryPlatformFilter(TUtlRegistryMonitorFilters filters);

// The workers' shared part: the stop descriptor, the synchronised OnChange
// and the count of workers alive.
class TUtlMonitorThread : public TUtlThread {
public:
  TUtlMonitorThread();
  ~TUtlMonitorThread() override;
  // Read and changed on the message loop's thread only.
  TUtlChangeEvent OnChange;
  static int LiveCount();

protected:
  void Interrupt() override;
  // Waits until fd is readable (true) or the worker is stopped (false).
  bool WaitReadable(int fd);
  void Changed();

private:
  int stop_ = -1;
};

class TUtlFolderMonitorThread : public TUtlMonitorThread {
public:
  ~TUtlFolderMonitorThread() override;
  // On the creating thread, before Resume: starts watching, so nothing
  // changed after this call is missed. A blank folder is the current one.
  void SetParams(const AnsiString& folder, bool watchSubTree, unsigned platformFilter);

protected:
  void Execute() override;

private:
  void WatchTree(const std::string& path);
  bool Counts(std::uint32_t mask) const;

  int notify_ = -1;
  std::map<int, std::string> paths_;  // watched folders by watch
  bool subTree_ = true;
  unsigned filter_ = 0;
  std::uint32_t watchMask_ = 0;
};

class TUtlRegistryMonitorThread : public TUtlMonitorThread {
public:
  ~TUtlRegistryMonitorThread() override;
  void SetParams(TRegistryRoot root, const AnsiString& key, unsigned platformFilter, bool watchSubTree);

protected:
  void Execute() override;

private:
  int event_ = -1;
  TUtlRegChangeInfo info_;
};

// What both monitors share: the switch, the sub-tree flag, the filters, the
// event and the worker that the settings make.
class TUtlCustomChangeMonitor : public TUtlComponent {
public:
  ~TUtlCustomChangeMonitor() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  bool WatchSubTree() const { return watchSubTree_; }
  void SetWatchSubTree(bool value);
  unsigned NotifyFilters() const { return filters_; }
  void SetNotifyFilters(unsigned value);
  const TUtlChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TUtlChangeEvent value);
  // The current worker, or null.
  TUtlMonitorThread* Worker() const { return worker_; }

  virtual void UpdateMonitor();
  // A new worker when Active with OnChange set at run time (not while loading
  // or being destroyed); the old one is let go first.
  virtual void StartMonitor();
  virtual void StopMonitor();

protected:
  TUtlCustomChangeMonitor(TComponent* owner, unsigned filters) : TUtlComponent(owner), filters_(filters) {}
  void Loaded() override;
  // A worker watching with the present settings, not yet resumed.
  virtual TUtlMonitorThread* CreateWorker() = 0;

private:
  bool active_ = false;
  bool watchSubTree_ = true;
  unsigned filters_;
  TUtlChangeEvent onChange_;
  TUtlMonitorThread* worker_ = nullptr;
};

class TUtlCustomFolderMonitor : public TUtlCustomChangeMonitor {
public:
  explicit TUtlCustomFolderMonitor(TComponent* owner)
      : TUtlCustomChangeMonitor(owner, (1u << fmfFileNameChange) | (1u << fmfDirNameChange)) {}

  const AnsiString& Folder() const { return folder_; }
  void SetFolder(const AnsiString& value);

protected:
  TUtlMonitorThread* CreateWorker() override;

private:
  AnsiString folder_ = "/";
};

class TUtlFolderMonitor : public TUtlCustomFolderMonitor {
public:
  using TUtlCustomFolderMonitor::TUtlCustomFolderMonitor;
};

class TUtlCustomRegistryMonitor : public TUtlCustomChangeMonitor {
public:
  explicit TUtlCustomRegistryMonitor(TComponent* owner)
      : TUtlCustomChangeMonitor(owner, (1u << rmfSubTreeChange) | (1u << rmfValueChange)) {}

  const AnsiString& RegistryKey() const { return key_; }
  void SetRegistryKey(const AnsiString& value);
  TUtlRegRootKey RootKey() const { return root_; }
  void SetRootKey(TUtlRegRootKey value);

protected:
  TUtlMonitorThread* CreateWorker() override;

private:
  AnsiString key_;
  TUtlRegRootKey root_ = rrkCurrentUser;
};

class TUtlRegistryMonitor : public TUtlCustomRegistryMonitor {
public:
  using TUtlCustomRegistryMonitor::TUtlCustomRegistryMonitor;
};

void RegisterChangeMonitorProps();

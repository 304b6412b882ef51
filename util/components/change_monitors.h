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

class TUtlCustomFolderMonitor : public TUtlComponent {
public:
  explicit TUtlCustomFolderMonitor(TComponent* owner) : TUtlComponent(owner) {}
  ~TUtlCustomFolderMonitor() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  const AnsiString& Folder() const { return folder_; }
  void SetFolder(const AnsiString& value);
  bool WatchSubTree() const { return watchSubTree_; }
  void SetWatchSubTree(bool value);
  TFolderMonitorFilters NotifyFilters() const { return filters_; }
  void SetNotifyFilters(TFolderMonitorFilters value);
  const TUtlChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TUtlChangeEvent value);
  // The current worker, or null.
  TUtlFolderMonitorThread* Worker() const { return worker_; }

  virtual void UpdateMonitor();
  virtual void StartMonitor();
  virtual void StopMonitor();

protected:
  void Loaded() override;

private:
  bool active_ = false;
  AnsiString folder_ = "/";
  bool watchSubTree_ = true;
  TFolderMonitorFilters filters_ = (1u << fmfFileNameChange) | (1u << fmfDirNameChange);
  TUtlChangeEvent onChange_;
  TUtlFolderMonitorThread* worker_ = nullptr;
};

class TUtlFolderMonitor : public TUtlCustomFolderMonitor {
public:
  using TUtlCustomFolderMonitor::TUtlCustomFolderMonitor;
};

class TUtlCustomRegistryMonitor : public TUtlComponent {
public:
  explicit TUtlCustomRegistryMonitor(TComponent* owner) : TUtlComponent(owner) {}
  ~TUtlCustomRegistryMonitor() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  const AnsiString& RegistryKey() const { return key_; }
  void SetRegistryKey(const AnsiString& value);
  TUtlRegRootKey RootKey() const { return root_; }
  void SetRootKey(TUtlRegRootKey value);
  bool WatchSubTree() const { return watchSubTree_; }
  void SetWatchSubTree(bool value);
  TUtlRegistryMonitorFilters NotifyFilters() const { return filters_; }
  void SetNotifyFilters(TUtlRegistryMonitorFilters value);
  const TUtlChangeEvent& OnChange() const { return onChange_; }
  void SetOnChange(TUtlChangeEvent value);
  TUtlRegistryMonitorThread* Worker() const { return worker_; }

  virtual void UpdateMonitor();
  virtual void StartMonitor();
  virtual void StopMonitor();

protected:
  void Loaded() override;

private:
  bool active_ = false;
  AnsiString key_;
  TUtlRegRootKey root_ = rrkCurrentUser;
  bool watchSubTree_ = true;
  TUtlRegistryMonitorFilters filters_ = (1u << rmfSubTreeChange) | (1u << rmfValueChange);
  TUtlChangeEvent onChange_;
  TUtlRegistryMonitorThread* worker_ = nullptr;
};

class TUtlRegistryMonitor : public TUtlCustomRegistryMonitor {
public:
  using TUtlCustomRegistryMonitor::TUtlCustomRegistryMonitor;
};

void RegisterChangeMonitorProps();

// One run per folder: a run holds an exclusive flock on its work folder and
// its ZIP folder. The kernel drops the lock with the process, so a run that
// was killed leaves nothing behind, and no lock file is ever written.
#pragma once

#include <vector>

#include "platform/rtl/strings.h"

class TFolderLock {
public:
  TFolderLock() = default;
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

  // Locks each of the folders that exists (a folder named twice once). When
  // another process holds one, nothing stays locked, busy names that folder
  // and holder names the process ("pid 123: /opt/vorbex05 /A:").
  bool Take(const std::vector<AnsiString>& folders, AnsiString& busy, AnsiString& holder);

private:
  void Release();

  std::vector<int> fds_;
};

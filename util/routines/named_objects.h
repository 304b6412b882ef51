// Named kernel objects, process-local: a named mutex and a named block of
// shared memory live while a handle to them is open, and creating one whose
// name is taken opens the existing object instead. Only modules of this
// process ever share them, so no file or system-wide object is needed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/strings.h"

namespace detail {

// A mutex owned by a thread, recursively, like the platform's.
class NamedMutex {
public:
  // False when not acquired within timeoutMs (0xFFFFFFFF waits without limit).
  bool Acquire(std::uint32_t timeoutMs);
  // False when the calling thread does not own it.
  bool Release();

private:
  std::mutex lock_;
  std::condition_variable released_;
  std::thread::id owner_;
  int depth_ = 0;
};

struct NamedMapping {
  std::vector<unsigned char> memory;
};

std::shared_ptr<NamedMutex> CreateNamedMutex(const AnsiString& name, bool& existed);
// nullptr when no mapping of that name is open.
std::shared_ptr<NamedMapping> OpenNamedMapping(const AnsiString& name);
// A new zero-filled mapping of size bytes, or the open one of that name.
std::shared_ptr<NamedMapping> CreateNamedMapping(const AnsiString& name, std::size_t size, bool& existed);

// Whether a named mutex or mapping of that name is open; the size of an open
// mapping (-1 when none). For diagnostics and tests.
bool NamedObjectExists(const AnsiString& name);
long NamedMappingSize(const AnsiString& name);

}  // namespace detail

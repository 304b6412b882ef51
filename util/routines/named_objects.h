// Named kernel objects shared between processes: a named mutex and a named
// block of shared memory, both POSIX shared-memory objects of this user. An
// object lives while a handle to it is open in any process (a process that
// ended holds none), and creating one whose name is taken opens the existing
// object instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rtl/strings.h"

namespace detail {

// One open handle to a named shared object: the mapped payload past the header.
class SharedObject {
public:
  // Takes over the descriptor of the object osName, held with a shared flock
  // and mapped at base.
  SharedObject(std::string osName, int fd, void* base, std::size_t size)
      : osName_(std::move(osName)), fd_(fd), base_(base), size_(size) {}
  ~SharedObject();
  SharedObject(const SharedObject&) = delete;
  SharedObject& operator=(const SharedObject&) = delete;

  void* Payload() const;
  std::size_t Size() const { return size_; }

private:
  std::string osName_;
  int fd_;
  void* base_;
  std::size_t size_;
};

// A mutex owned by a thread, recursively, like the platform's; one whose
// owner died with it is handed on as abandoned.
class NamedMutex : public SharedObject {
public:
  using SharedObject::SharedObject;
  // The platform's wait results: 0 acquired, 0x80 acquired after its owner
  // died holding it, 0x102 not acquired within timeoutMs (0xFFFFFFFF waits
  // without limit), anything else an error.
  std::uint32_t Acquire(std::uint32_t timeoutMs);
  // False when the calling thread does not own it.
  bool Release();
};

class NamedMapping : public SharedObject {
public:
  using SharedObject::SharedObject;
  void* Memory() const { return Payload(); }
};

// nullptr when the object cannot be created or opened (errno tells why).
std::shared_ptr<NamedMutex> CreateNamedMutex(const AnsiString& name, bool& existed);
// nullptr when no mapping of that name is open anywhere.
std::shared_ptr<NamedMapping> OpenNamedMapping(const AnsiString& name);
// A new zero-filled mapping of size bytes, or the open one of that name.
std::shared_ptr<NamedMapping> CreateNamedMapping(const AnsiString& name, std::size_t size, bool& existed);

// Whether a named mutex or mapping of that name is open; the size of an open
// mapping (-1 when none). For diagnostics and tests.
bool NamedObjectExists(const AnsiString& name);
long NamedMappingSize(const AnsiString& name);

}  // namespace detail

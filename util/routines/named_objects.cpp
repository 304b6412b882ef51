// The named objects of named_objects.h over shm_open. Every handle keeps the
// object's descriptor open with a shared flock on it, so the system itself
// knows who holds the object, also after a process died. The handle that
// closes and finds nobody else holding it (an exclusive flock succeeds) marks
// the object gone and removes the name; an opener that meets a gone object,
// or one nobody holds any more, makes a new one. The header also carries the
// flag the creator sets once the payload is ready.

#include "util/routines/named_objects.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <functional>
#include <thread>

namespace detail {
namespace {

struct Header {
  std::atomic<int> ready;
  std::atomic<int> gone;
};
constexpr std::size_t kPayload = 64;  // the header, padded so the payload is aligned
static_assert(sizeof(Header) <= kPayload);

Header& HeaderOf(void* base) { return *static_cast<Header*>(base); }

// "/vorbex05-<kind>.<name>" with "/" and "%" escaped: one name per object.
std::string OsName(const char* kind, const AnsiString& name) {
  std::string os = std::string("/vorbex05-") + kind + ".";
  for (char c : name) {
    if (c == '/') os += "%2F";
    else if (c == '%') os += "%25";
    else os += c;
  }
  return os;
}

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

// Marks the object gone and frees its name; the caller holds it alone.
void Remove(const std::string& osName, void* base) {
  HeaderOf(base).gone.store(1);
  ::shm_unlink(osName.c_str());
}

// Maps an object another process made, once its creator has made it ready,
// and holds it; nullptr with errno set otherwise (EAGAIN: it is gone, or was
// left by processes that ended, and has been removed: make a new one).
void* MapExisting(const std::string& osName, int fd, std::size_t& size) {
  struct stat st;
  void* base = MAP_FAILED;
  for (int i = 0;; ++i) {  // the creator sizes it and sets ready just after creating it
    if (::fstat(fd, &st) != 0) return nullptr;
    if (base == MAP_FAILED && std::size_t(st.st_size) >= kPayload)
      base = ::mmap(nullptr, std::size_t(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (base != MAP_FAILED && HeaderOf(base).ready.load(std::memory_order_acquire)) break;
    if (i == 1000) {
      if (base != MAP_FAILED) ::munmap(base, std::size_t(st.st_size));
      return errno = ETIMEDOUT, nullptr;
    }
    Pause();
  }
  const auto fail = [&](int error) { return ::munmap(base, std::size_t(st.st_size)), errno = error, nullptr; };
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {  // nobody holds it
    if (!HeaderOf(base).gone.load()) Remove(osName, base);
    return fail(EAGAIN);
  }
  if (::flock(fd, LOCK_SH) != 0) return fail(errno);
  if (HeaderOf(base).gone.load()) return fail(EAGAIN);
  size = std::size_t(st.st_size) - kPayload;
  return base;
}

// Removes the objects of this system that nobody holds any more: a process
// that ended without closing its handles (killed, or never shut down)
// leaves its names behind, and names that carry a process id would pile up.
// An object still being made is not ready yet and stays.
void SweepAbandoned() {
  DIR* folder = ::opendir("/dev/shm");
  if (!folder) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = std::string("/") + entry->d_name;
    if (name.rfind("/vorbex05-", 0) != 0) continue;
    const int fd = ::shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) continue;
    struct stat st;
    void* base = ::fstat(fd, &st) == 0 && std::size_t(st.st_size) >= kPayload
                     ? ::mmap(nullptr, kPayload, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
    if (base != MAP_FAILED) {
      if (HeaderOf(base).ready.load(std::memory_order_acquire) && !HeaderOf(base).gone.load() &&
          ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        Remove(name, base);
      ::munmap(base, kPayload);
    }
    ::close(fd);
  }
  ::closedir(folder);
}

// Opens the object, or creates it (size bytes, made ready by init) when
// create is set and it exists nowhere.
template <class Object>
std::shared_ptr<Object> Open(const std::string& osName, bool create, std::size_t size, bool& existed,
                             const std::function<bool(void*)>& init = nullptr) {
  if (create) SweepAbandoned();
  for (;;) {
    int fd = create ? ::shm_open(osName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1;
    if (fd >= 0) {
      const std::size_t total = kPayload + size;
      void* base = ::flock(fd, LOCK_SH) == 0 && ::ftruncate(fd, off_t(total)) == 0
                       ? ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                       : MAP_FAILED;
      if (base == MAP_FAILED || (init && !init(static_cast<char*>(base) + kPayload))) {
        const int error = errno;
        if (base != MAP_FAILED) ::munmap(base, total);
        ::shm_unlink(osName.c_str());
        ::close(fd);
        errno = error;
        return nullptr;
      }
      HeaderOf(base).ready.store(1, std::memory_order_release);
      existed = false;
      return std::make_shared<Object>(osName, fd, base, size);
    }
    if (create && errno != EEXIST) return nullptr;
    fd = ::shm_open(osName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
      if (create && errno == ENOENT) continue;  // removed in between
      return nullptr;
    }
    std::size_t mapped = 0;
    void* base = MapExisting(osName, fd, mapped);
    if (base) {
      existed = true;
      return std::make_shared<Object>(osName, fd, base, mapped);
    }
    const int error = errno;
    ::close(fd);
    if (error != EAGAIN) return errno = error, nullptr;
    if (!create) return errno = ENOENT, nullptr;
  }
}

}  // namespace

SharedObject::~SharedObject() {
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) Remove(osName_, base_);  // the last holder
  ::munmap(base_, kPayload + size_);
  ::close(fd_);
}

void* SharedObject::Payload() const { return static_cast<char*>(base_) + kPayload; }

std::uint32_t NamedMutex::Acquire(std::uint32_t timeoutMs) {
  auto* mutex = static_cast<pthread_mutex_t*>(Payload());
  int result;
  if (timeoutMs == 0xFFFFFFFF) {
    result = ::pthread_mutex_lock(mutex);
  } else {
    timespec end;
    ::clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += timeoutMs / 1000;
    end.tv_nsec += long(timeoutMs % 1000) * 1000000;
    if (end.tv_nsec >= 1000000000) end.tv_sec += 1, end.tv_nsec -= 1000000000;
    result = ::pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &end);
  }
  switch (result) {
    case 0: return 0;
    case EOWNERDEAD: ::pthread_mutex_consistent(mutex); return 0x80;
    case ETIMEDOUT: return 0x102;
    default: return 0xFFFFFFFF;
  }
}

bool NamedMutex::Release() { return ::pthread_mutex_unlock(static_cast<pthread_mutex_t*>(Payload())) == 0; }

std::shared_ptr<NamedMutex> CreateNamedMutex(const AnsiString& name, bool& existed) {
  return Open<NamedMutex>(OsName("mutex", name), true, sizeof(pthread_mutex_t), existed, [](void* payload) {
    pthread_mutexattr_t attributes;
    ::pthread_mutexattr_init(&attributes);
    ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    ::pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    const int result = ::pthread_mutex_init(static_cast<pthread_mutex_t*>(payload), &attributes);
    ::pthread_mutexattr_destroy(&attributes);
    return result == 0 || (errno = result, false);
  });
}

std::shared_ptr<NamedMapping> OpenNamedMapping(const AnsiString& name) {
  bool existed = false;
  return Open<NamedMapping>(OsName("shm", name), false, 0, existed);
}

std::shared_ptr<NamedMapping> CreateNamedMapping(const AnsiString& name, std::size_t size, bool& existed) {
  return Open<NamedMapping>(OsName("shm", name), true, size, existed);
}

bool NamedObjectExists(const AnsiString& name) {
  bool existed = false;
  return Open<SharedObject>(OsName("mutex", name), false, 0, existed) || OpenNamedMapping(name);
}

long NamedMappingSize(const AnsiString& name) {
  auto mapping = OpenNamedMapping(name);
  return mapping ? static_cast<long>(mapping->Size()) : -1;
}

}  // namespace detail

// The process-local table of named objects (named_objects.h). Entries are
// weak: an object goes when its last handle is closed, so its name is free
// again, as with the platform's kernel objects.

#include "util/routines/named_objects.h"

#include <chrono>
#include <map>

namespace detail {
namespace {

struct Table {
  std::mutex lock;
  std::map<AnsiString, std::weak_ptr<NamedMutex>> mutexes;
  std::map<AnsiString, std::weak_ptr<NamedMapping>> mappings;
};

Table& Objects() {
  static Table table;
  return table;
}

}  // namespace

bool NamedMutex::Acquire(std::uint32_t timeoutMs) {
  const auto self = std::this_thread::get_id();
  std::unique_lock guard(lock_);
  auto free = [&] { return depth_ == 0 || owner_ == self; };
  if (timeoutMs == 0xFFFFFFFF) {
    released_.wait(guard, free);
  } else if (!released_.wait_for(guard, std::chrono::milliseconds(timeoutMs), free)) {
    return false;
  }
  owner_ = self;
  ++depth_;
  return true;
}

bool NamedMutex::Release() {
  std::lock_guard guard(lock_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return false;
  if (--depth_ == 0) {
    owner_ = std::thread::id();
    released_.notify_one();
  }
  return true;
}

std::shared_ptr<NamedMutex> CreateNamedMutex(const AnsiString& name, bool& existed) {
  Table& t = Objects();
  std::lock_guard guard(t.lock);
  auto& slot = t.mutexes[name];
  auto mutex = slot.lock();
  existed = mutex != nullptr;
  if (!mutex) slot = mutex = std::make_shared<NamedMutex>();
  return mutex;
}

std::shared_ptr<NamedMapping> OpenNamedMapping(const AnsiString& name) {
  Table& t = Objects();
  std::lock_guard guard(t.lock);
  auto it = t.mappings.find(name);
  return it == t.mappings.end() ? nullptr : it->second.lock();
}

std::shared_ptr<NamedMapping> CreateNamedMapping(const AnsiString& name, std::size_t size, bool& existed) {
  Table& t = Objects();
  std::lock_guard guard(t.lock);
  auto& slot = t.mappings[name];
  auto mapping = slot.lock();
  existed = mapping != nullptr;
  if (!mapping) {
    mapping = std::make_shared<NamedMapping>();
    mapping->memory.resize(size);
    slot = mapping;
  }
  return mapping;
}

bool NamedObjectExists(const AnsiString& name) {
  Table& t = Objects();
  std::lock_guard guard(t.lock);
  auto alive = [&](const auto& map) {
    auto it = map.find(name);
    return it != map.end() && !it->second.expired();
  };
  return alive(t.mutexes) || alive(t.mappings);
}

long NamedMappingSize(const AnsiString& name) {
  auto mapping = OpenNamedMapping(name);
  return mapping ? static_cast<long>(mapping->memory.size()) : -1;
}

}  // namespace detail

// The list of mapped shared blocks (shared_memory.h) over the named mappings
// shared between processes. The list lock is created on first use with a compare-and-
// exchange, so two threads racing to create it end up sharing one.

#include "util/routines/shared_memory.h"

#include <atomic>
#include <memory>
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "util/routines/util_errors.h"
#include "util/routines/sync_objects.h"
#include "util/routines/util_texts.h"
#include "util/routines/named_objects.h"
#include "util/routines/system_info.h"

namespace {

struct TMMFHandleListItem {
  void* memory = nullptr;
  std::shared_ptr<detail::NamedMapping> mapping;
  AnsiString name;
  int references = 0;
};

// Newest first, as blocks are mapped.
std::vector<TMMFHandleListItem>& MappedBlocks() {
  static std::vector<TMMFHandleListItem> blocks;
  return blocks;
}

std::atomic<TUtlIntfCriticalSection*> listLock{nullptr};
std::atomic<bool> listLockFinalized{false};

void CheckName(const AnsiString& name) {
  if (IsWindowsVersionAtLeast(5, 0)) return;
  if (name.empty() || name.find('\\') != AnsiString::npos) {
    throw ESharedMemError(Format(RsInvalidMMFName, {name}));
  }
}

}  // namespace

Ref<IInterface> GetSharedListLock() {
  TUtlIntfCriticalSection* lock = listLock.load();
  if (!lock && !listLockFinalized.load()) {
    auto* created = new TUtlIntfCriticalSection;
    TUtlIntfCriticalSection* expected = nullptr;
    if (listLock.compare_exchange_strong(expected, created)) {
      lock = created;
    } else {
      delete created;
      lock = expected;
    }
  }
  return Ref<IInterface>(lock);
}

void FinalizeSharedListLock() {
  listLockFinalized = true;
  delete listLock.exchange(nullptr);
}

std::uint32_t GetSharedMemory(void*& memory, const AnsiString& name, std::size_t size,
                              std::uint32_t /*access*/) {
  memory = nullptr;
  CheckName(name);
  Ref<IInterface> locked = GetSharedListLock();
  auto& blocks = MappedBlocks();
  for (TMMFHandleListItem& item : blocks) {
    if (AnsiSameText(item.name, name)) {
      ++item.references;
      memory = item.memory;
      return kErrorAlreadyExists;
    }
  }
  std::uint32_t code = 0;
  std::shared_ptr<detail::NamedMapping> mapping = detail::OpenNamedMapping(name);
  if (mapping) {
    code = kErrorAlreadyExists;
  } else {
    if (size == 0) throw ESharedMemError(Format(RsInvalidMMFEmpty, {name}));
    bool existed = false;
    mapping = detail::CreateNamedMapping(name, size, existed);
    if (existed) code = kErrorAlreadyExists;
  }
  memory = mapping->Memory();
  blocks.insert(blocks.begin(), TMMFHandleListItem{memory, mapping, name, 1});
  return code;
}

bool ReleaseSharedMemory(void*& memory) {
  if (!memory) return true;
  Ref<IInterface> locked = GetSharedListLock();
  auto& blocks = MappedBlocks();
  for (auto it = blocks.begin(); it != blocks.end(); ++it) {
    if (it->memory != memory) continue;
    if (it->references < 2) {
      blocks.erase(it);
    } else {
      --it->references;
    }
    memory = nullptr;
    return true;
  }
  return false;
}

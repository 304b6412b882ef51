// The unit-version registry (unit_versioning.h). The shared block holds the
// registry's address; it is as wide as an address, since a 64-bit address in a
// 32-bit slot would lose its upper half.

#include "util/routines/unit_versioning.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "util/routines/sync_objects.h"
#include "util/routines/shared_memory.h"

namespace {

struct RegistryState {
  std::unique_ptr<TUtlMutex> mutex;
  void* block = nullptr;  // the shared block, holding the registry's address
  TUnitVersioning* registry = nullptr;
  bool owned = false;
  bool finalized = false;
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

TUnitVersioning* StoredRegistry(const RegistryState& s) {
  TUnitVersioning* registry;
  std::memcpy(&registry, s.block, sizeof registry);
  return registry;
}

// Releases the mutex when the scope ends, also after an error.
class MutexHold {
public:
  explicit MutexHold(TUtlMutex& mutex) : mutex_(mutex) { mutex_.WaitSignal(kInfiniteWait); }
  ~MutexHold() { mutex_.ReleaseOwnership(); }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;

private:
  TUtlMutex& mutex_;
};

void CreateRegistry(RegistryState& s) {
  MutexHold hold(*s.mutex);
  if (!s.block) {
    try {
      GetSharedMemory(s.block, UnitVersioningBlockName(), sizeof(TUnitVersioning*), kFileMapAllAccess);
    } catch (const Exception&) {
      s.block = nullptr;  // a private registry instead
    }
  }
  if (s.block) {
    s.registry = StoredRegistry(s);
    if (s.registry) return;
  }
  s.registry = new TUnitVersioning;
  s.owned = true;
  if (s.block) std::memcpy(s.block, &s.registry, sizeof s.registry);
}

}  // namespace

void TUnitVersioningModule::AddRecord(const TUnitVersionRecord* record) {
  if (IndexOfRecord(record) < 0) items_.push_back(std::make_unique<TUnitVersion>(record));
}

int TUnitVersioningModule::IndexOfRecord(const TUnitVersionRecord* record) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[i]->Record() == record) return i;
  }
  return -1;
}

void TUnitVersioning::AddRecord(HMODULE instance, const TUnitVersionRecord* record) {
  for (auto& module : modules_) {
    if (module->Instance() == instance) {
      module->AddRecord(record);
      return;
    }
  }
  modules_.push_back(std::make_unique<TUnitVersioningModule>(instance));
  modules_.back()->AddRecord(record);
}

void TUnitVersioning::RemoveModule(HMODULE instance) {
  for (auto it = modules_.rbegin(); it != modules_.rend(); ++it) {
    if ((*it)->Instance() == instance) {
      modules_.erase(std::next(it).base());
      return;
    }
  }
}

AnsiString UnitVersioningMutexName() { return "MutexNPA_UnitVersioning_" + IntToStr(getpid()); }
AnsiString UnitVersioningBlockName() { return "ShmNPA_UnitVersioning_" + IntToStr(getpid()); }

HMODULE ProgramModuleHandle() {
  static HMODULE handle = dlopen(nullptr, RTLD_LAZY);
  return handle;
}

TUnitVersioning* GetUnitVersionRegistry() {
  RegistryState& s = State();
  if (s.finalized) return nullptr;
  if (!s.mutex) s.mutex = std::make_unique<TUtlMutex>(false, UnitVersioningMutexName());
  if (!s.registry) {
    CreateRegistry(s);
  } else if (s.block) {
    MutexHold hold(*s.mutex);
    s.registry = StoredRegistry(s);
  }
  return s.registry;
}

void AddUnitVersion(HMODULE instance, const TUnitVersionRecord* record) {
  if (TUnitVersioning* registry = GetUnitVersionRegistry()) registry->AddRecord(instance, record);
}

void RemoveUnitVersions(HMODULE instance) {
  if (TUnitVersioning* registry = GetUnitVersionRegistry()) registry->RemoveModule(instance);
}

void FinalizeUnitVersionRegistry() {
  RegistryState& s = State();
  s.finalized = true;
  if (s.block) {
    try {
      ReleaseSharedMemory(s.block);
    } catch (const Exception&) {
    }
    s.block = nullptr;
  }
  if (s.owned) delete s.registry;
  s.registry = nullptr;
  s.owned = false;
  s.mutex.reset();
}

void ZeroFill(void* buffer, int count) {
  if (count > 0) std::memset(buffer, 0, static_cast<size_t>(count));
}

void FreeLibraryHandle(HMODULE& handle) {
  if (!handle) return;
  FreeLibrary(handle);
  handle = nullptr;
}

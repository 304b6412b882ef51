// The unit-version registry with its named mutex and shared block, the list
// of mapped shared blocks, and the synchronisation objects.

#include "util/routines/unit_versioning.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "platform/rtl/text.h"
#include "tests/support/shell_runner.h"
#include "util/routines/util_errors.h"
#include "util/routines/sync_objects.h"
#include "util/routines/named_objects.h"
#include "util/routines/shared_memory.h"
#include "util/routines/utility_units.h"

namespace {

TEST(UnitVersionRegistry, RecordsAreKeptOncePerModuleInOrderOfFirstRegistration) {
  static const TUnitVersionRecord a{"$URL$", "$Revision$", "$Date$", "x", "", nullptr};
  static const TUnitVersionRecord b = a;  // equal content, another record
  HMODULE first = reinterpret_cast<HMODULE>(0x1000);
  HMODULE second = reinterpret_cast<HMODULE>(0x2000);
  TUnitVersioning registry;
  registry.AddRecord(first, &a);
  registry.AddRecord(first, &a);
  registry.AddRecord(second, &a);
  registry.AddRecord(first, &b);
  ASSERT_EQ(registry.ModuleCount(), 2);
  EXPECT_EQ(registry.ModuleAt(0)->Instance(), first);
  EXPECT_EQ(registry.ModuleAt(0)->Count(), 2);
  EXPECT_EQ(registry.ModuleAt(0)->IndexOfRecord(&b), 1);
  EXPECT_EQ(registry.ModuleAt(1)->IndexOfRecord(&b), -1);
  registry.RemoveModule(reinterpret_cast<HMODULE>(0x3000));
  EXPECT_EQ(registry.ModuleCount(), 2);
  registry.RemoveModule(first);
  ASSERT_EQ(registry.ModuleCount(), 1);
  EXPECT_EQ(registry.ModuleAt(0)->Instance(), second);
}

TEST(SharedMemory, OneMappingPerNameWithCountedReferences) {
  // Named objects are seen by every process: names of this process's own.
  const AnsiString name = "Test_Block_" + std::to_string(getpid());
  void* first = nullptr;
  void* second = nullptr;
  EXPECT_EQ(GetSharedMemory(first, name, 16, kFileMapAllAccess), 0u);
  EXPECT_EQ(GetSharedMemory(second, AnsiUpperCase(name), 16, kFileMapAllAccess), kErrorAlreadyExists);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(ReleaseSharedMemory(first));
  EXPECT_EQ(first, nullptr);
  EXPECT_TRUE(detail::NamedObjectExists(name));
  EXPECT_TRUE(CloseSharedMemory(second));
  EXPECT_FALSE(detail::NamedObjectExists(name));
  int unknown = 0;
  void* notMapped = &unknown;
  EXPECT_FALSE(ReleaseSharedMemory(notMapped));
  void* none = nullptr;
  EXPECT_TRUE(ReleaseSharedMemory(none));
}

TEST(SharedMemory, ABlockThatExistsNowhereCannotBeCreatedEmpty) {
  void* block = &block;
  try {
    GetSharedMemory(block, "X", 0, kFileMapAllAccess);
    FAIL();
  } catch (const ESharedMemError& e) {
    EXPECT_EQ(e.Message(), "The MMF named \"X\" cannot be created empty");
  }
  EXPECT_EQ(block, nullptr);
}

TEST(SharedMemory, HoldingTheListLockBlocksOtherThreads) {
  std::atomic<bool> entered{false};
  std::thread other;
  {
    Ref<IInterface> held = GetSharedListLock();
    ASSERT_TRUE(held);
    other = std::thread([&] {
      Ref<IInterface> lock = GetSharedListLock();
      entered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(entered);
  }
  other.join();
  EXPECT_TRUE(entered);
}

TEST(Mutex, NamedMutexIsOwnedPerThreadAndOpenedByName) {
  const AnsiString name = "util-test-mutex-" + std::to_string(getpid());
  TUtlMutex mutex(false, name);
  EXPECT_FALSE(mutex.Existed());
  EXPECT_EQ(mutex.WaitSignal(0), woSignaled);
  EXPECT_EQ(mutex.WaitSignal(0), woSignaled);  // recursive for its owner
  TUtlMutex same(false, name);
  EXPECT_TRUE(same.Existed());
  TWaitOutcome otherThread = woError;
  std::thread([&] { otherThread = same.WaitSignal(20); }).join();
  EXPECT_EQ(otherThread, woTimeout);
  EXPECT_TRUE(mutex.ReleaseOwnership());
  EXPECT_TRUE(mutex.ReleaseOwnership());
  EXPECT_FALSE(mutex.ReleaseOwnership());
  std::thread([&] {
    otherThread = same.WaitSignal(20);
    same.ReleaseOwnership();
  }).join();
  EXPECT_EQ(otherThread, woSignaled);
}

TEST(Errors, SystemErrorsCarryCodeAndText) {
  EUtlMutexError error(2, "Failed to create mutex");
  EXPECT_EQ(error.LastError(), 2u);
  EXPECT_EQ(error.Message(), "Win32 error: No such file or directory (2)\r\nFailed to create mutex");
  EXPECT_STREQ(error.ClassName(), "EUtlMutexError");
}

TEST(SmallRoutines, ZeroFillAndFreeLibraryHandle) {
  char buffer[4] = {1, 2, 3, 4};
  ZeroFill(buffer, -1);
  EXPECT_EQ(buffer[0], 1);
  ZeroFill(buffer, 3);
  EXPECT_EQ(std::string(buffer, 4), std::string("\0\0\0\x04", 4));
  HMODULE library = LoadLibrary("libm.so.6");
  ASSERT_NE(library, nullptr);
  FreeLibraryHandle(library);
  EXPECT_EQ(library, nullptr);
  FreeLibraryHandle(library);
}

std::string Peer(const AnsiString& block, const AnsiString& mutex, const char* text) {
  const ShellResult r = RunShell(std::string(VX_NAMED_OBJECTS_PEER) + " " + block + " " + mutex + " '" + text + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  return r.output;
}

// What one process puts into a named block another reads, and a named
// mutex one process owns keeps the other out until released; one that ends
// owning it leaves it abandoned to the next.
TEST(NamedObjects, TwoProcessesShareOneBlockAndOneMutex) {
  const AnsiString block = "Vx_Block_" + std::to_string(getpid()), mutex = "Vx_Mutex_" + std::to_string(getpid());
  void* memory = nullptr;
  ASSERT_EQ(GetSharedMemory(memory, block, 64, kFileMapAllAccess), 0u);
  std::strcpy(static_cast<char*>(memory), "from the first");
  {
    TUtlMutex owned(true, mutex);
    EXPECT_FALSE(owned.Existed());
    EXPECT_EQ(Peer(block, mutex, "from the second"), "block=from the first\nmutex existed=1 timeout\n");
    EXPECT_STREQ(static_cast<char*>(memory), "from the second");
    EXPECT_TRUE(owned.ReleaseOwnership());
    EXPECT_FALSE(owned.ReleaseOwnership());  // no longer this thread's
    EXPECT_EQ(Peer(block, mutex, "hold"), "block=from the second\nmutex existed=1 signaled\n");
    EXPECT_EQ(owned.WaitSignal(1000), woAbandoned);
    EXPECT_EQ(owned.WaitSignal(0), woSignaled);  // owned twice now, recursively
    EXPECT_TRUE(owned.ReleaseOwnership());
    EXPECT_TRUE(owned.ReleaseOwnership());
  }
  EXPECT_TRUE(ReleaseSharedMemory(memory));
  // Both names went with their last handle.
  EXPECT_FALSE(detail::NamedObjectExists(block));
  EXPECT_FALSE(detail::NamedObjectExists(mutex));
  EXPECT_EQ(Peer(block, mutex, "x"), "block=none\nmutex existed=0 signaled\n");
  // A process that ends without closing its handles leaves nobody holding
  // them: the next object made clears their names away.
  EXPECT_EQ(Peer(block, mutex, "hold"), "block=none\nmutex existed=0 signaled\n");
  const std::string left = "/dev/shm/vorbex05-mutex." + mutex;
  EXPECT_EQ(::access(left.c_str(), F_OK), 0);
  TUtlMutex fresh(false, mutex + "_next");
  EXPECT_NE(::access(left.c_str(), F_OK), 0);
}

// Shutdown frees the shared list lock for good, so this runs last of the
// tests that map shared blocks.
TEST(UtilityUnits, StartCreatesTheRegistryMutexAndBlockAndShutdownReleasesBoth) {
  const AnsiString mutexName = UnitVersioningMutexName();
  const AnsiString blockName = UnitVersioningBlockName();
  EXPECT_EQ(mutexName, "MutexNPA_UnitVersioning_" + std::to_string(getpid()));
  EXPECT_EQ(blockName, "ShmNPA_UnitVersioning_" + std::to_string(getpid()));
  EXPECT_FALSE(detail::NamedObjectExists(mutexName));

  InitializeUtilityUnits();
  EXPECT_TRUE(detail::NamedObjectExists(mutexName));
  EXPECT_EQ(detail::NamedMappingSize(blockName), static_cast<long>(sizeof(void*)));
  TUnitVersioning* registry = GetUnitVersionRegistry();
  ASSERT_NE(registry, nullptr);
  ASSERT_EQ(registry->ModuleCount(), 1);
  TUnitVersioningModule* module = registry->ModuleAt(0);
  EXPECT_EQ(module->Instance(), ProgramModuleHandle());
  ASSERT_EQ(module->Count(), kUtilityUnitCount);
  int common = 0;
  for (int i = 0; i < module->Count(); ++i) {
    common += std::strcmp(module->ItemAt(i)->Record()->LogPath, "util\\source\\common") == 0;
  }
  EXPECT_EQ(common, 19);
  // The block holds the registry's whole address.
  void* block = nullptr;
  EXPECT_EQ(GetSharedMemory(block, blockName, 0, kFileMapAllAccess), kErrorAlreadyExists);
  TUnitVersioning* published = nullptr;
  std::memcpy(&published, block, sizeof published);
  EXPECT_EQ(published, registry);
  EXPECT_TRUE(ReleaseSharedMemory(block));

  FinalizeUtilityUnits();
  EXPECT_FALSE(detail::NamedObjectExists(mutexName));
  EXPECT_FALSE(detail::NamedObjectExists(blockName));
  EXPECT_EQ(GetUnitVersionRegistry(), nullptr);
  static const TUnitVersionRecord late{"$URL$", "$Revision$", "$Date$", "", "", nullptr};
  AddUnitVersion(ProgramModuleHandle(), &late);
  EXPECT_EQ(GetUnitVersionRegistry(), nullptr);
  EXPECT_FALSE(detail::NamedObjectExists(mutexName));
}

}  // namespace

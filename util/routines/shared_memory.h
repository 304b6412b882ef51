// Named blocks of shared memory with the process-wide list of mapped blocks:
// mapping a name twice in this process maps it once and counts references, and
// the last release unmaps it. The list is guarded by one lock that an interface
// reference holds (GetSharedListLock).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kFileMapCopy = 0x0001;
constexpr std::uint32_t kFileMapAllAccess = 0xF001F;

// Maps the block Name of Size bytes, creating it when it exists nowhere.
// Returns 0 when this call created it, kErrorAlreadyExists when it existed.
// ESharedMemError "The MMF named "%s" cannot be created empty" for Size 0 and
// a name that exists nowhere.
std::uint32_t GetSharedMemory(void*& memory, const AnsiString& name, std::size_t size,
                              std::uint32_t access);
// Drops one reference to the block at Memory (unmapping it with the last) and
// clears Memory; true also for a null Memory, false when it is not mapped here.
bool ReleaseSharedMemory(void*& memory);
inline bool CloseSharedMemory(void*& memory) { return ReleaseSharedMemory(memory); }

// The list lock, held while the reference lives; null once shut down.
Ref<IInterface> GetSharedListLock();
// Frees the list lock at shutdown; no new one is made afterwards.
void FinalizeSharedListLock();
